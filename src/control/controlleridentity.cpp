#include "controlleridentity.h"

void ControllerIdentity::opened()
{
    *this = ControllerIdentity();
}

void ControllerIdentity::interrupted()
{
    // An unconfirmed controller that goes again is judged afresh against the set point ours held; it stays
    // suspect until then.
    if (m_knowsHeld)
        m_state = State::Checking;
}

void ControllerIdentity::sent(qint16 wire)
{
    if (m_state != State::Confirmed)
        return;
    m_hasSent = true;
    m_sent = wire;
}

ControllerIdentity::State ControllerIdentity::reading(qint16 setWire)
{
    m_reported = setWire;
    if (m_state == State::Checking)
        m_state = mayHold(setWire) ? State::Confirmed : State::Unconfirmed;
    if (m_state == State::Unconfirmed)
        m_suspect = true;
    if (m_state == State::Confirmed) {
        m_suspect = false;
        m_held = setWire;
        m_knowsHeld = true;
    }
    return m_state;
}

void ControllerIdentity::accept()
{
    if (m_state == State::Confirmed)
        return;
    // Vouched for while silent: it holds what it last reported.
    m_state = State::Confirmed;
    m_suspect = false;
    m_held = m_reported;
}

bool ControllerIdentity::mayHold(qint16 setWire) const
{
    return setWire == m_held || (m_hasSent && setWire == m_sent);
}
