#include "stabilityjudge.h"

#include <cmath>

void StabilityJudge::setLimits(double band, qint64 windowMs)
{
    if (band < m_band)
        restart();
    m_band = band;
    m_windowMs = windowMs;
    // A longer window ends a stability it no longer covers; a shorter one counts from the next reading.
    if (m_state == State::Stable && m_lastAt - m_windowStart < m_windowMs)
        m_state = State::Settling;
}

bool StabilityJudge::reading(qint64 now, double current, double set, bool accepted)
{
    if (m_state == State::Unknown || now - m_lastAt > kMaxGapMs) {
        m_state = State::Settling;
        m_inWindow = false;
    }
    m_lastAt = now;
    if (m_inWindow && set != m_windowSet)
        restart();
    if (!accepted || std::abs(current - set) > m_band + kEdgeTolerance) {
        restart();
        return false;
    }
    if (!m_inWindow) {
        m_inWindow = true;
        m_windowStart = now;
        m_windowSet = set;
    }
    // Also ends a stability the window was lengthened past.
    if (now - m_windowStart < m_windowMs) {
        m_state = State::Settling;
        return false;
    }
    if (m_state == State::Stable)
        return false;
    m_state = State::Stable;
    m_stableSince = now;
    return true;
}

void StabilityJudge::reset()
{
    m_state = State::Unknown;
    m_inWindow = false;
}

void StabilityJudge::restart()
{
    m_inWindow = false;
    if (m_state == State::Stable)
        m_state = State::Settling;
}

QString stableDurationText(qint64 ms)
{
    const qint64 seconds = qMax<qint64>(ms, 0) / 1000;
    return QStringLiteral("%1:%2")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
