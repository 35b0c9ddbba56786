#pragma once

#include "control/blackbodysession.h"
#include "serial/stableportnames.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <optional>

class OptSerial;
struct BlackbodyModel;

// The one source of truth about the blackbody: owns the port worker on its thread, the poll and
// reconnect timers and the session that holds the link's rules. The window, the chart, a calibration
// run and remote clients all listen to it and ask it for set points; none of them talks to the worker.
// GUI thread only; the worker answers through queued signals.
class BlackbodyLink : public QObject
{
    Q_OBJECT

public:
    using State = BlackbodySession::State;
    using CloseCause = BlackbodySession::CloseCause;

    explicit BlackbodyLink(QObject *parent = nullptr);
    ~BlackbodyLink() override;

    // Opens `port` for the model at `modelIndex` in the model table; opened() or openFailed() answers. An
    // adapter with a stable name is opened, remembered and reconnected under it, so a re-plugged one is
    // found under its new number.
    void open(const QString &port, QSerialPort::BaudRate baud, int modelIndex);
    // Closes the port, or stops reconnecting to a vanished one; closed() answers.
    void close();
    // Numbers the request and hands it to the session, which sends it when it can; setPointOutcome()
    // answers with the same request, whatever becomes of it. Returns the request's number. Whether the
    // requester may ask at all is the link policy's to say, before this.
    quint64 requestSetPoint(double celsius, Requester requester, const QString &origin = QString());
    // The number the next request will get, for an asker who must be ready for an outcome heard at once.
    quint64 nextRequestId() const { return m_lastRequest + 1; }
    // Whether the controller that reported another set point is ours; no closes the link, and a run
    // that paused for it stays paused. Yes also vouches for a suspect controller that fell silent.
    void answerIdentity(bool same);
    void setStabilityLimits(double band, qint64 windowMs);
    // How long a vanished port may stay away before portLostWarning(); one minute unless a test wants it
    // sooner.
    void setReconnectWarningDelay(qint64 ms);
    // Where the stable names are looked up; udev's folder unless a test has its own.
    void setStableNameFolder(const QString &folder) { m_stableFolder = folder; }

    State state() const { return m_session.state(); }
    // True between a successful open and the worker's close.
    bool isPortOpen() const { return m_session.portOpen(); }
    // identityQuestion() is out and nobody has answered it yet.
    bool isAskingIdentity() const { return m_session.identityAsked(); }
    // The latest reading from our controller, while it is valid and fresh.
    std::optional<BlackbodyPoll::Reading> latest() const { return m_session.latest(m_clock.elapsed()); }
    const StabilityJudge &stability() const { return m_session.stability(); }
    // No interruption since the controller last showed it is ours, or someone vouched for it.
    bool controllerConfirmed() const
    {
        return m_session.identity().state() == ControllerIdentity::State::Confirmed;
    }
    // Reported a set point it did not hold, and nobody vouched for it since, silent or not.
    bool controllerSuspect() const { return m_session.identity().suspect(); }
    int modelIndex() const { return m_session.modelIndex(); }
    const BlackbodyModel &model() const;
    const QString &port() const { return m_session.port(); }
    QSerialPort::BaudRate baud() const { return m_session.baud(); }
    // What the status bar says about the link beyond port and baud rate, in the language in force.
    QString statusText() const;
    // The monotonic clock every time of the link is taken from.
    const QElapsedTimer &clock() const { return m_clock; }

public slots:
    // The worker's reports.
    void recvdata(uchar code, const QByteArray &data, bool ok);
    void open_successed(bool ok);
    void onOpenFailed(const QString &name, QSerialPort::SerialPortError error, const QString &reason);
    void close_successed(bool ok);
    void handleSerialError(QSerialPort::SerialPortError error);

signals:
    // A valid reading from our controller.
    void reading(double current, double setPoint);
    // A reading from a controller that may be another one: shown as such, trusted by nobody.
    void unconfirmedReading(double current, double setPoint);
    // Someone opens `port`; the window's boxes show what is being opened.
    void openRequested(const QString &port, QSerialPort::BaudRate baud, int modelIndex);
    // Whatever was shown is no longer a valid reading.
    void noReading();
    // The request's frame went out.
    void setPointRequested(const SetPointRequest &request);
    void setPointOutcome(const SetPointRequest &request, SetPointOutcome outcome);
    void stateChanged(BlackbodyLink::State state);
    void stabilityChanged(StabilityJudge::State state);
    void statusTextChanged();
    // The operator's opening succeeded, or failed for the reason given in the operator's words.
    void opened();
    void openFailed(const QString &text);
    void closed(BlackbodyLink::CloseCause cause, bool ok);
    void lost();
    void back();
    // The vanished port has stayed away for the warning delay; attempts go on.
    void portLostWarning();
    // No valid reply for the stale time while the port stays open.
    void silent();
    void controllerUnconfirmed();
    // Ask whoever can see the controller whether it is ours; answerIdentity() takes the answer.
    void identityQuestion(qint16 heldWire, qint16 reportedWire);
    void identityQuestionDropped();
    void controllerAccepted(qint16 heldWire);
    // A poll tick went by while polling.
    void ticked();

    // To the worker.
    void sig_opencom1(QString name, QSerialPort::BaudRate baud, QSerialPort::DataBits dataBits,
        QSerialPort::FlowControl flowControl, QSerialPort::Parity parity, QSerialPort::StopBits stopBits);
    void sig_closecom();
    void sig_sendread(QByteArray data);

private:
    void apply(const BlackbodySession::Commands &commands);

    QElapsedTimer m_clock;
    QString m_stableFolder = StablePortNames::defaultFolder();
    BlackbodySession m_session;
    OptSerial *m_worker = nullptr; // lives on its own thread until the link goes
    QTimer m_pollTimer;
    QTimer m_reconnectTimer;
    QString m_openFailure; // the reason the last open failed, for the operator
    quint64 m_lastRequest = 0;
};
