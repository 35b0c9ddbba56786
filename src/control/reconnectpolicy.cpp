#include "reconnectpolicy.h"

void ReconnectPolicy::lost(qint64 now)
{
    m_active = true;
    m_warned = false;
    m_lostAt = now;
    m_nextAttempt = now;
}

void ReconnectPolicy::stop()
{
    m_active = false;
}

bool ReconnectPolicy::takeAttempt(qint64 now)
{
    if (!m_active || now < m_nextAttempt)
        return false;
    // Counted from the due time, so a late timer does not push every later attempt back.
    while (m_nextAttempt <= now)
        m_nextAttempt += kRetryMs;
    return true;
}

bool ReconnectPolicy::takeWarning(qint64 now)
{
    if (!m_active || m_warned || now - m_lostAt < m_warnAfterMs)
        return false;
    m_warned = true;
    return true;
}
