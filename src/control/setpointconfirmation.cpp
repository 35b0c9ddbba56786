#include "setpointconfirmation.h"

void SetPointConfirmation::sent(qint16 wire)
{
    m_state = State::Sent;
    m_wire = wire;
    ++m_repliesDue;
}

SetPointConfirmation::Outcome SetPointConfirmation::setReply(bool valid, qint64 now)
{
    if (m_repliesDue > 0)
        --m_repliesDue;
    // The answer to a superseded set point, or one nobody waits for.
    if (m_state != State::Sent || m_repliesDue > 0)
        return Outcome::None;
    if (!valid) {
        m_state = State::Idle;
        return Outcome::Refused;
    }
    m_state = State::Confirming;
    m_deadline = now + kReadBackWithinMs;
    return Outcome::None;
}

SetPointConfirmation::Outcome SetPointConfirmation::readBack(qint16 setWire, qint64 now)
{
    if (m_state != State::Confirming)
        return Outcome::None;
    m_state = State::Idle;
    return setWire == m_wire && now <= m_deadline ? Outcome::Confirmed : Outcome::Refused;
}

SetPointConfirmation::Outcome SetPointConfirmation::expire(qint64 now)
{
    if (m_state != State::Confirming || now < m_deadline)
        return Outcome::None;
    m_state = State::Idle;
    return Outcome::Refused;
}

void SetPointConfirmation::reset()
{
    m_state = State::Idle;
    m_repliesDue = 0;
}
