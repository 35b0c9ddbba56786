#include "setpointconfirmation.h"

void SetPointConfirmation::sent(qint16 wire)
{
    m_state = State::Sent;
    m_wire = wire;
}

SetPointConfirmation::Outcome SetPointConfirmation::setReply(bool valid, qint64 now)
{
    if (m_state != State::Sent)
        return Outcome::None;
    if (!valid) {
        m_state = State::Idle;
        return Outcome::NotConfirmed;
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
    if (now > m_deadline)
        return Outcome::NotConfirmed;
    return setWire == m_wire ? Outcome::Confirmed : Outcome::Refused;
}

SetPointConfirmation::Outcome SetPointConfirmation::expire(qint64 now)
{
    if (m_state != State::Confirming || now < m_deadline)
        return Outcome::None;
    m_state = State::Idle;
    return Outcome::NotConfirmed;
}

void SetPointConfirmation::reset()
{
    m_state = State::Idle;
}
