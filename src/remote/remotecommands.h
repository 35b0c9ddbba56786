#pragma once

#include "control/calibrationrun.h"
#include "remote/scpihandler.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVector>

#include <functional>
#include <optional>

class BlackbodyLink;
class CalibrationRunner;
class ScpiSession;
struct ScpiParameter;

// The recording as the window's 开始 and 停止 drive it, so that the window shows what a client does.
struct RemoteRecording
{
    std::function<bool()> start; // false when 开始 is not offered
    std::function<bool()> stop; // false while a run holds the recording
    std::function<bool()> isRecording;
    std::function<bool()> hasUnsavedCurve;
};

// What each SCPI command does: through the blackbody link, the recording and the calibration runner,
// with the rules the window keeps, never through widgets. Queries answer from what the link and the
// runner hold; *OPC? waits for the outcome of the client's set point. GUI thread only.
class RemoteCommands : public QObject, public ScpiHandler
{
    Q_OBJECT

public:
    // The headers the commands answer to, for the server's parser.
    static QStringList patterns();

    // All three outlive the commands.
    RemoteCommands(BlackbodyLink *link, CalibrationRunner *runner, const RemoteRecording &recording,
        QObject *parent = nullptr);

    // Whether clients may change anything; queries and *CLS are always allowed.
    void setWritesAllowed(bool on) { m_writes = on; }

    void execute(ScpiSession &session, const ScpiUnit &unit) override;
    void sessionEnded(int id) override;

private:
    bool checkParameters(
        ScpiSession &session, const QVector<ScpiParameter> &parameters, const QVector<int> &kinds) const;
    void answerData(ScpiSession &session, std::optional<double> value);
    QByteArray formatted(double value) const;
    void linkOpen(ScpiSession &session, const QVector<ScpiParameter> &parameters);
    void setPoint(ScpiSession &session, const ScpiParameter &value);
    void stabilityLimit(ScpiSession &session, const ScpiParameter &value, bool window);
    void programLoad(ScpiSession &session, const QString &path);
    void programState(ScpiSession &session, const QString &state);
    QByteArray programStep() const;
    // The set point waiting for its outcome is settled: confirmed, refused, superseded or gone with
    // the link. Its client's *OPC? waiters answer.
    void settle();
    // Tells the client whose set point is on its way that it will not be confirmed, and why.
    void unconfirmed(const QString &why);

    BlackbodyLink *m_link;
    CalibrationRunner *m_runner;
    RemoteRecording m_recording;
    bool m_writes = false;
    // The client whose set point waits for its outcome; only the newest set point has one.
    QPointer<ScpiSession> m_setPointClient;
    bool m_setPointPending = false;
    QPointer<ScpiSession> m_openClient; // the client whose SYST:LINK:OPEN is on its way
    QVector<quint64> m_opcSlots; // the *OPC? answers m_setPointClient waits for
    CalibrationRun m_program;
    QString m_programFile;
    bool m_programLoaded = false;
};
