#include "blackbodysession.h"

#include "control/blackbodymodel.h"
#include "control/blackbodyprotocol.h"
#include "control/linkpolicy.h"

#include <utility>

namespace {

using Command = BlackbodySession::Command;
using Kind = Command::Kind;

Command make(Kind kind)
{
    Command command {};
    command.kind = kind;
    return command;
}

} // namespace

BlackbodySession::State BlackbodySession::state() const
{
    return stateOf(m_link, m_note);
}

BlackbodySession::State BlackbodySession::stateOf(Link link, Note note)
{
    switch (link) {
    case Link::Closed:
        return State::Closed;
    case Link::Opening:
        return State::Opening;
    case Link::Reconnecting:
        return State::Reconnecting;
    case Link::Open:
        break;
    }
    switch (note) {
    case Note::NoAnswer:
        return State::Silent;
    case Note::Unconfirmed:
        return State::Unconfirmed;
    case Note::None:
        break;
    }
    return State::Open;
}

std::optional<BlackbodyPoll::Reading> BlackbodySession::latest(qint64 now) const
{
    if (!m_latestValid || !LinkPolicy::readingFresh(now - m_lastValidAt))
        return std::nullopt;
    return m_latest;
}

void BlackbodySession::setLink(Link link, Note note, Commands &out)
{
    const State after = stateOf(link, note);
    const bool changed = after != state();
    m_link = link;
    m_note = note;
    if (changed) {
        Command command = make(Kind::StateChanged);
        command.state = after;
        out << command;
    }
}

BlackbodySession::Commands BlackbodySession::open(
    const QString &port, QSerialPort::BaudRate baud, int modelIndex, qint64)
{
    Commands out;
    m_port = port;
    m_baud = baud;
    m_modelIndex = modelIndex;
    setLink(Link::Opening, m_note, out);
    sendOpen(out);
    return out;
}

void BlackbodySession::sendOpen(Commands &out) const
{
    Command command = make(Kind::OpenPort);
    command.port = m_port;
    command.baud = m_baud;
    command.stopBits = blackbodyModel(m_modelIndex).stopBits;
    out << command;
}

BlackbodySession::Commands BlackbodySession::close(qint64)
{
    Commands out;
    if (m_link == Link::Reconnecting) {
        // The operator gives up on the vanished port.
        stopReconnecting(out);
        setLink(Link::Closed, m_note, out);
        showClosed(true, out);
    } else if (m_portOpen) {
        out << make(Kind::ClosePort);
    }
    return out;
}

BlackbodySession::Commands BlackbodySession::opened(bool ok, qint64 now)
{
    Commands out;
    m_attemptPending = false;
    if (m_link == Link::Reconnecting) {
        // Failed attempts stay silent; the status already says what is going on.
        if (!ok)
            return out;
        // The same path is back: polling resumes where it stopped, and a recording goes on. A paused
        // run goes on once a reading shows the controller is ours.
        stopReconnecting(out);
        m_portOpen = true;
        setLink(Link::Open, Note::None, out);
        m_poll.start(blackbodyModel(m_modelIndex).wireScale, now);
        m_confirmation.reset();
        m_setInFlight = false;
        m_pollDue = false;
        m_polling = true;
        out << make(Kind::StartPollTimer) << make(Kind::Back);
        return out;
    }
    if (m_link == Link::Closed) {
        // An attempt the operator's close overtook.
        if (ok) {
            m_portOpen = true;
            out << make(Kind::ClosePort);
        }
        return out;
    }
    if (!ok) {
        setLink(Link::Closed, m_note, out);
        out << make(Kind::OpenFailed);
        return out;
    }
    m_portOpen = true;
    setLink(Link::Open, m_note, out);
    out << make(Kind::Opened);
    m_poll.start(blackbodyModel(m_modelIndex).wireScale, now);
    m_confirmation.reset();
    m_setInFlight = false;
    m_pollDue = false;
    m_identity.opened();
    m_polling = true;
    out << make(Kind::StartPollTimer);
    return out;
}

BlackbodySession::Commands BlackbodySession::closed(bool ok, qint64 now)
{
    Commands out;
    m_portOpen = false;
    m_setInFlight = false;
    // Nobody can tell whether a set point on its way reached the controller.
    settle(SetPointOutcome::NotConfirmed, out);
    clearStability(out);
    if (m_refusing) {
        // The operator turned the controller down; a loss meanwhile changes nothing about that.
        stopReconnecting(out);
        setLink(Link::Closed, m_note, out);
        showClosed(ok, out);
        return out;
    }
    if (m_link == Link::Reconnecting) {
        // The worker let go of the vanished port: keep everything as it is and try again every second.
        stopPolling(out);
        noReading(out);
        m_identity.interrupted();
        dropQuestion(out);
        m_reconnect.lost(now);
        m_reconnectTimer = true;
        out << make(Kind::StartReconnectTimer) << make(Kind::Lost);
        return out;
    }
    setLink(Link::Closed, m_note, out);
    showClosed(ok, out);
    return out;
}

// The closed state, after the operator's close or when the operator gives up reconnecting.
void BlackbodySession::showClosed(bool ok, Commands &out)
{
    dropQuestion(out);
    Command command = make(Kind::Closed);
    command.cause = m_refusing ? CloseCause::ControllerRefused : CloseCause::Operator;
    command.ok = ok;
    m_refusing = false;
    if (ok)
        setLink(m_link, Note::None, out);
    out << command;
    if (ok)
        noReading(out);
    stopPolling(out);
}

BlackbodySession::Commands BlackbodySession::portLost(qint64)
{
    Commands out;
    // The worker closes the vanished port and reports it next; reconnecting starts from there.
    if (m_link == Link::Open)
        setLink(Link::Reconnecting, Note::None, out);
    return out;
}

BlackbodySession::Commands BlackbodySession::pollTick(qint64 now)
{
    Commands out;
    // Once the port is reported gone, nothing is polled until it is back.
    if (!m_polling || !m_portOpen || m_link != Link::Open)
        return out;
    if (m_poll.expire(now)) {
        noReading(out);
        clearStability(out);
        setLink(m_link, Note::NoAnswer, out);
        // What answers next may be another controller on the same adapter; it is judged afresh.
        m_identity.interrupted();
        dropQuestion(out);
        out << make(Kind::Silence);
    }
    // Polling runs while a set point waits to be read back, so the tick also ends an overdue wait.
    outcome(m_confirmation.expire(now), out);
    // The worker drops requests once its port is gone; a set frame it never answers stops blocking.
    if (m_setInFlight && now - m_setSentAt >= BlackbodyPoll::kLostAfterMs) {
        m_setInFlight = false;
        outcome(m_confirmation.setReply(false, now), out);
        setExchangeEnded(now, out);
    }
    out << make(Kind::Tick);
    // No poll goes out during a set frame's exchange; it follows the exchange's end.
    if (m_setInFlight)
        m_pollDue = true;
    else
        sendPoll(now, out);
    return out;
}

BlackbodySession::Commands BlackbodySession::reconnectTick(qint64 now)
{
    Commands out;
    if (!m_reconnect.active())
        return out;
    if (m_reconnect.takeWarning(now))
        out << make(Kind::WarnPortLost);
    if (!m_attemptPending && m_reconnect.takeAttempt(now)) {
        m_attemptPending = true;
        sendOpen(out);
    }
    return out;
}

void BlackbodySession::sendPoll(qint64 now, Commands &out)
{
    if (!m_poll.takePollTurn(now))
        return;
    Command command = make(Kind::Send);
    command.payload = BlackbodyProtocol::pollPayload();
    out << command;
}

BlackbodySession::Commands BlackbodySession::requestSetPoint(const SetPointRequest &request, qint64 now)
{
    Commands out;
    // The worker drops a request to a closed port, and one that is closing or gone answers nothing: the
    // asker hears so at once rather than wait for nothing.
    if (!m_portOpen || m_link != Link::Open || m_identity.suspect()) {
        Command command = make(Kind::SetPointOutcome);
        command.request = request;
        command.outcome = SetPointOutcome::NotConfirmed;
        out << command;
        return out;
    }
    settle(SetPointOutcome::Superseded, out);
    m_current = request;
    m_currentSent = false;
    sendSetFrame(now, out);
    return out;
}

void BlackbodySession::sendSetFrame(qint64 now, Commands &out)
{
    if (!m_current || m_currentSent || m_setInFlight)
        return;
    const int wireScale = blackbodyModel(m_modelIndex).wireScale;
    const qint16 wire = BlackbodyProtocol::toWireUnits(m_current->celsius, wireScale);
    m_confirmation.sent(wire);
    m_identity.sent(wire);
    m_currentSent = true;
    m_setInFlight = true;
    m_setSentAt = now;
    Command requested = make(Kind::SetPointRequested);
    requested.request = *m_current;
    Command frame = make(Kind::Send);
    frame.payload = BlackbodyProtocol::setPointPayload(m_current->celsius, wireScale);
    out << requested << frame;
}

void BlackbodySession::setExchangeEnded(qint64 now, Commands &out)
{
    if (std::exchange(m_pollDue, false))
        sendPoll(now, out);
    sendSetFrame(now, out);
}

BlackbodySession::Commands BlackbodySession::reply(uchar code, const QByteArray &bytes, bool ok, qint64 now)
{
    Commands out;
    if (code == BlackbodyProtocol::kReadCode)
        readReply(bytes, ok, now, out);
    else if (code == BlackbodyProtocol::kSetCode)
        setReply(bytes, ok, now, out);
    return out;
}

void BlackbodySession::readReply(const QByteArray &bytes, bool ok, qint64 now, Commands &out)
{
    // A reply that overtook a close or the port's loss is not shown after the link said so.
    if (m_link != Link::Open)
        return;
    const auto reading = m_poll.readReply(bytes, ok, now);
    if (!reading)
        return;
    const bool checking = m_identity.state() == ControllerIdentity::State::Checking;
    if (m_identity.reading(reading->setWire) == ControllerIdentity::State::Unconfirmed) {
        m_latestValid = false;
        Command shown = make(Kind::UnconfirmedReading);
        shown.reading = *reading;
        out << shown;
        if (checking) {
            // The controller may be another one: a run pauses, and someone who can see it is asked.
            clearStability(out);
            // Whatever it reads back, a controller that may be another one confirms nothing.
            settle(SetPointOutcome::NotConfirmed, out);
            setLink(m_link, Note::Unconfirmed, out);
            out << make(Kind::ControllerUnconfirmed);
            if (!m_asking) {
                m_asking = true;
                Command ask = make(Kind::AskIdentity);
                ask.heldWire = m_identity.held();
                ask.reportedWire = m_identity.reported();
                out << ask;
            }
        }
        return;
    }
    setLink(m_link, Note::None, out);
    m_latest = *reading;
    m_latestValid = true;
    m_lastValidAt = now;
    // Judged before it is shown, so whoever shows it finds the judge up to date.
    const StabilityJudge::State before = m_stability.state();
    m_stability.reading(now, reading->raw, reading->set, reading->accepted);
    Command shown = make(Kind::Reading);
    shown.reading = *reading;
    out << shown;
    if (m_stability.state() != before)
        out << stabilityCommand();
    Command check = make(Kind::ReadBack);
    check.heldWire = reading->setWire;
    out << check;
}

BlackbodySession::Commands BlackbodySession::readBack(qint16 setWire, qint64 now)
{
    Commands out;
    outcome(m_confirmation.readBack(setWire, now), out);
    return out;
}

void BlackbodySession::setReply(const QByteArray &bytes, bool ok, qint64 now, Commands &out)
{
    if (!m_portOpen || !m_setInFlight)
        return;
    m_setInFlight = false;
    const bool valid = ok && bytes.size() == BlackbodyProtocol::kReplyLength;
    // The answer to a superseded frame confirms nothing: nobody waits for it.
    const auto result = m_confirmation.setReply(valid, now);
    // Read the set point back at once rather than at the next tick.
    if (m_confirmation.state() == SetPointConfirmation::State::Confirming && m_link == Link::Open) {
        m_pollDue = false;
        sendPoll(now, out);
    }
    outcome(result, out);
    setExchangeEnded(now, out);
}

void BlackbodySession::outcome(SetPointConfirmation::Outcome result, Commands &out)
{
    switch (result) {
    case SetPointConfirmation::Outcome::None:
        return;
    case SetPointConfirmation::Outcome::Confirmed:
        settle(SetPointOutcome::Confirmed, out);
        return;
    case SetPointConfirmation::Outcome::Refused:
        settle(SetPointOutcome::Refused, out);
        return;
    case SetPointConfirmation::Outcome::NotConfirmed:
        settle(SetPointOutcome::NotConfirmed, out);
        return;
    }
}

void BlackbodySession::settle(SetPointOutcome result, Commands &out)
{
    if (!m_current)
        return;
    m_confirmation.reset();
    Command command = make(Kind::SetPointOutcome);
    command.request = *m_current;
    command.outcome = result;
    m_current.reset();
    out << command;
}

BlackbodySession::Commands BlackbodySession::identityAnswered(bool same, qint64)
{
    Commands out;
    // Whoever answered, one who has not yet (another door's question box) no longer needs to.
    dropQuestion(out);
    if (same) {
        m_identity.accept();
        // Vouched for while silent, it is still silent.
        if (m_note == Note::Unconfirmed)
            setLink(m_link, Note::None, out);
        Command accepted = make(Kind::ControllerAccepted);
        accepted.heldWire = m_identity.held();
        out << accepted;
    } else if (m_portOpen) {
        // Closed without ending a paused run, which keeps its results for the operator.
        m_refusing = true;
        out << make(Kind::ClosePort);
    }
    return out;
}

BlackbodySession::Commands BlackbodySession::setStabilityLimits(double band, qint64 windowMs)
{
    Commands out;
    const StabilityJudge::State before = m_stability.state();
    m_stability.setLimits(band, windowMs);
    if (m_stability.state() != before)
        out << stabilityCommand();
    return out;
}

void BlackbodySession::clearStability(Commands &out)
{
    m_stability.reset();
    out << stabilityCommand();
}

BlackbodySession::Command BlackbodySession::stabilityCommand() const
{
    Command command = make(Kind::Stability);
    command.stability = m_stability.state();
    return command;
}

void BlackbodySession::noReading(Commands &out)
{
    m_latestValid = false;
    out << make(Kind::NoReading);
}

void BlackbodySession::dropQuestion(Commands &out)
{
    if (!m_asking)
        return;
    m_asking = false;
    out << make(Kind::DropIdentityQuestion);
}

void BlackbodySession::stopPolling(Commands &out)
{
    if (!m_polling)
        return;
    m_polling = false;
    out << make(Kind::StopPollTimer);
}

void BlackbodySession::stopReconnecting(Commands &out)
{
    m_reconnect.stop();
    if (m_reconnectTimer) {
        m_reconnectTimer = false;
        out << make(Kind::StopReconnectTimer);
    }
}
