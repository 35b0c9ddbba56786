#pragma once

#include "control/calibrationrun.h"
#include "control/calibrationstart.h"
#include "control/linkpolicy.h"
#include "control/setpointrequest.h"
#include "remote/scpihandler.h"
#include "remote/scpinumeric.h"
#include "station/unattendedasker.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <QVector>

#include <optional>

class Station;
struct ScpiParameter;

// What each SCPI command does: through the station, by the rules every door keeps, worded as SCPI
// errors. Queries answer from what the station holds. SOUR:SPO is sequential: its client's next command
// waits for the set point's outcome. A run a client starts asks nobody: every question takes its safe
// answer and the client hears why it did not start (-221). GUI thread only.
class RemoteCommands : public QObject, public ScpiHandler
{
    Q_OBJECT

public:
    // The headers the commands answer to, for the server's parser.
    static QStringList patterns();
    // The link policy's refusal and a run's obstacle as the reason of a -221 "Settings conflict".
    static QString conflictReason(LinkPolicy::Refusal refusal);
    static QString conflictReason(CalibrationStart::Obstacle obstacle);
    // A set point's outcome as the error it queues; none for a confirmed one.
    static std::optional<QPair<int, QString>> outcomeError(SetPointOutcome outcome);

    // The station outlives the commands.
    explicit RemoteCommands(Station *station, QObject *parent = nullptr);

    // Whether clients may change anything; queries and *CLS are always allowed.
    void setWritesAllowed(bool on) { m_writes = on; }

    void execute(ScpiClient &client, const ScpiUnit &unit) override;
    void sessionStarted(ScpiClient &client) override;
    void sessionEnded(int id) override;

private:
    bool checkParameters(
        ScpiClient &client, const QVector<ScpiParameter> &parameters, const QVector<int> &kinds) const;
    void answerData(ScpiClient &client, std::optional<double> value);
    QByteArray formatted(double value) const;
    void linkOpen(ScpiClient &client, const QVector<ScpiParameter> &parameters);
    void setPoint(ScpiClient &client, const ScpiParameter &value);
    void setPointSettled(const SetPointRequest &request, SetPointOutcome outcome);
    void stabilityLimit(ScpiClient &client, const ScpiParameter &value, bool window);
    void programLoad(ScpiClient &client, const QString &path);
    void programState(ScpiClient &client, const QString &state);
    QByteArray programStep() const;
    void reportFolder(ScpiClient &client, const QString &folder);
    void lab(ScpiClient &client, int command, const QString &text);
    void saveSettings(ScpiClient &client);
    static ScpiNumeric::Bounds stabilityBounds(bool window);
    // The station as STATus:OPERation's and STATus:QUEStionable's condition bits.
    quint16 operationCondition() const;
    quint16 questionableCondition() const;
    // Every client's registers follow the station: a rising bit is latched as the client's event.
    void refreshStatus();

    Station *m_station;
    UnattendedAsker m_asker;
    bool m_writes = false;
    // Each client's set point waiting for its outcome, by the link's request number.
    QHash<quint64, ScpiClient *> m_waiting;
    QVector<ScpiClient *> m_clients; // every client connected, for its status registers
    ScpiClient *m_openClient = nullptr; // the client whose SYST:LINK:OPEN is on its way
    CalibrationRun m_program;
    QString m_programFile;
    bool m_programLoaded = false;
};
