#pragma once

#include "control/blackbodypoll.h"
#include "control/controlleridentity.h"
#include "control/reconnectpolicy.h"
#include "control/setpointconfirmation.h"
#include "control/stabilityjudge.h"

#include <QByteArray>
#include <QSerialPort>
#include <QString>
#include <QVector>

// Who asked for a set point, so that each asker hears its own answer.
enum class Requester { Window, Scpi, Mqtt, Run };

// The rules of the blackbody link as a state machine with no port, timer or clock of its own: the link
// feeds it events, with monotonic milliseconds that never decrease, and carries out the commands each
// event returns, in their order. It polls with one request in flight, holds back implausible readings,
// marks a reading stale after the stale time, confirms set points by reading them back, tells a
// controller that may be another one from ours, judges stability and reconnects a vanished port.
// GUI thread only.
class BlackbodySession
{
public:
    enum class State {
        Closed,
        Opening,
        Open,
        Silent, // open, but no valid reply for the stale time
        Reconnecting, // the port vanished; attempts go on until it is back or the operator gives up
        Unconfirmed, // readings come from a controller that may be another one
    };
    // Why the link closed: a run survives only the operator turning down another controller.
    enum class CloseCause { Operator, ControllerRefused };

    struct Command
    {
        enum class Kind {
            OpenPort, // port, baud, stopBits
            ClosePort,
            Send, // payload: a poll or a set frame
            StartPollTimer,
            StopPollTimer,
            StartReconnectTimer,
            StopReconnectTimer,
            Opened, // the operator's opening succeeded
            OpenFailed,
            Closed, // cause, ok (the worker's answer)
            Lost, // the port vanished while open; reconnecting
            Silence, // no valid reply for the stale time
            ControllerUnconfirmed, // a reading came from a controller that may be another one
            Back, // the vanished port is open again
            WarnPortLost, // it has stayed away for the warning delay
            StateChanged, // state
            Reading, // reading: valid, from our controller
            UnconfirmedReading, // reading: shown as unconfirmed, reaches nobody else
            NoReading,
            Stability, // stability: the judge changed its mind, or was reset
            SetPointRequested, // value, requester: the frame went out
            SetPointOutcome, // confirmed, value, requester
            AskIdentity, // heldWire, reportedWire
            DropIdentityQuestion,
            ControllerAccepted, // heldWire
            Tick, // a poll tick went by while polling
            // Feed readBack() with heldWire now: after the reading's listeners, one of which may have
            // sent a new set point meanwhile, which the reading cannot confirm.
            ReadBack,
        };

        Kind kind;
        QByteArray payload;
        QString port;
        QSerialPort::BaudRate baud = QSerialPort::Baud9600;
        QSerialPort::StopBits stopBits = QSerialPort::OneStop;
        State state = State::Closed;
        CloseCause cause = CloseCause::Operator;
        bool ok = false;
        BlackbodyPoll::Reading reading {};
        StabilityJudge::State stability = StabilityJudge::State::Unknown;
        double value = 0;
        Requester requester = Requester::Window;
        bool confirmed = false;
        qint16 heldWire = 0;
        qint16 reportedWire = 0;
    };
    using Commands = QVector<Command>;

    // The operator opens `port` for the model at `modelIndex` (see blackbodyModel()).
    Commands open(const QString &port, QSerialPort::BaudRate baud, int modelIndex, qint64 now);
    // The operator closes the link, or gives up on a vanished port.
    Commands close(qint64 now);
    // The worker's answer to an open request.
    Commands opened(bool ok, qint64 now);
    // The worker closed the port: asked to, or after the line went.
    Commands closed(bool ok, qint64 now);
    // The worker reported the port gone (unplugged adapter, hung-up line); its close follows.
    Commands portLost(qint64 now);
    Commands pollTick(qint64 now);
    Commands reconnectTick(qint64 now);
    // The end of an exchange: the request's code, the bytes collected and whether they made a valid reply.
    Commands reply(uchar code, const QByteArray &bytes, bool ok, qint64 now);
    Commands requestSetPoint(double celsius, Requester requester, qint64 now);
    // The set point a valid reading of our controller reported, once its listeners have seen it.
    Commands readBack(qint16 setWire, qint64 now);
    // Someone who can see the controller says whether it is the one the link was opened to.
    Commands identityAnswered(bool same, qint64 now);
    Commands setStabilityLimits(double band, qint64 windowMs);

    State state() const;
    // True between a successful open and the worker's close.
    bool portOpen() const { return m_portOpen; }
    bool identityAsked() const { return m_asking; }
    int modelIndex() const { return m_modelIndex; }
    const QString &port() const { return m_port; }
    QSerialPort::BaudRate baud() const { return m_baud; }
    const StabilityJudge &stability() const { return m_stability; }
    const ControllerIdentity &identity() const { return m_identity; }
    // The latest reading from our controller, while it is valid.
    std::optional<BlackbodyPoll::Reading> latest() const;

    void setReconnectWarningDelay(qint64 ms) { m_reconnect.setWarningDelay(ms); }

private:
    enum class Link { Closed, Opening, Open, Reconnecting };
    enum class Note { None, NoAnswer, Unconfirmed };

    void sendOpen(Commands &out) const;
    void setNote(Note note, Commands &out);
    void sendPoll(qint64 now, Commands &out);
    void outcome(SetPointConfirmation::Outcome outcome, Commands &out) const;
    void clearStability(Commands &out);
    void noReading(Commands &out);
    void stopReconnecting(Commands &out);
    void stopPolling(Commands &out);
    void dropQuestion(Commands &out);
    void showClosed(bool ok, Commands &out);
    void readReply(const QByteArray &bytes, bool ok, qint64 now, Commands &out);
    void setReply(const QByteArray &bytes, bool ok, qint64 now, Commands &out);
    // Every change of the link or its note goes through here, so each change of state() is told.
    void setLink(Link link, Note note, Commands &out);
    static State stateOf(Link link, Note note);
    Command stabilityCommand() const;

    Link m_link = Link::Closed;
    Note m_note = Note::None;
    bool m_portOpen = false;
    bool m_polling = false;
    bool m_reconnectTimer = false;
    bool m_attemptPending = false; // an open request is with the worker
    bool m_refusing = false; // the coming close turns down the controller
    bool m_asking = false; // the identity question is out
    bool m_latestValid = false;
    QString m_port;
    QSerialPort::BaudRate m_baud = QSerialPort::Baud9600;
    int m_modelIndex = 0;
    double m_requested = 0; // the newest set point sent, as asked
    Requester m_requester = Requester::Window;
    BlackbodyPoll::Reading m_latest {};
    BlackbodyPoll m_poll;
    SetPointConfirmation m_confirmation;
    ControllerIdentity m_identity;
    ReconnectPolicy m_reconnect;
    StabilityJudge m_stability;
};
