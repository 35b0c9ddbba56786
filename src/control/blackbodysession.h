#pragma once

#include "control/blackbodypoll.h"
#include "control/controlleridentity.h"
#include "control/reconnectpolicy.h"
#include "control/setpointconfirmation.h"
#include "control/setpointrequest.h"
#include "control/stabilityjudge.h"

#include <QByteArray>
#include <QSerialPort>
#include <QString>
#include <QVector>

// The rules of the blackbody link as a state machine with no port, timer or clock of its own: the link
// feeds it events, with monotonic milliseconds that never decrease, and carries out the commands each
// event returns, in their order. It polls with one request in flight, holds back implausible readings,
// marks a reading stale after the stale time, confirms set points by reading them back, tells a
// controller that may be another one from ours, judges stability and reconnects a vanished port.
// One set frame at a time is with the worker, and no poll goes out during its exchange; a newer request
// takes the place of one still waiting, which is told it was superseded. The poll timer keeps its grid
// while the port is open, so polls and the stale rule go on however many set points are asked for.
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
            SetPointRequested, // request: its frame went out
            SetPointOutcome, // request, outcome
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
        SetPointRequest request;
        SetPointOutcome outcome = SetPointOutcome::NotConfirmed;
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
    // Sent at once when no set frame is with the worker, else after its answer; one request still waiting
    // is superseded. Over a link that cannot carry it, the request is not confirmed at once. Returns
    // the commands; the request's id is `request.id` as given, which the caller numbers.
    Commands requestSetPoint(const SetPointRequest &request, qint64 now);
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
    // The latest reading from our controller, while it is valid and no older than the stale time at
    // `now`: a reading is never served stale, whatever the timer is doing.
    std::optional<BlackbodyPoll::Reading> latest(qint64 now) const;
    // The request not yet settled, if any.
    std::optional<SetPointRequest> pendingSetPoint() const { return m_current; }

    void setReconnectWarningDelay(qint64 ms) { m_reconnect.setWarningDelay(ms); }

private:
    enum class Link { Closed, Opening, Open, Reconnecting };
    enum class Note { None, NoAnswer, Unconfirmed };

    void sendOpen(Commands &out) const;
    void setNote(Note note, Commands &out);
    void sendPoll(qint64 now, Commands &out);
    void outcome(SetPointConfirmation::Outcome outcome, Commands &out);
    // Settles the current request with `outcome`.
    void settle(SetPointOutcome outcome, Commands &out);
    // Sends the waiting request's frame when no set frame is with the worker.
    void sendSetFrame(qint64 now, Commands &out);
    // A set frame's exchange ended (answered, or lost with the worker's queue): a poll due meanwhile
    // goes first, then the next waiting request.
    void setExchangeEnded(qint64 now, Commands &out);
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
    std::optional<SetPointRequest> m_current; // the newest request, until settled
    bool m_currentSent = false; // its frame went out
    bool m_setInFlight = false; // a set frame is with the worker, ours or a superseded one's
    qint64 m_setSentAt = 0;
    bool m_pollDue = false; // a tick came during a set exchange
    qint64 m_lastValidAt = 0; // of the latest valid reading
    BlackbodyPoll::Reading m_latest {};
    BlackbodyPoll m_poll;
    SetPointConfirmation m_confirmation;
    ControllerIdentity m_identity;
    ReconnectPolicy m_reconnect;
    StabilityJudge m_stability;
};
