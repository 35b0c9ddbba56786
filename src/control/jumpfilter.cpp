#include "jumpfilter.h"

#include <QtGlobal>

#include <cmath>

JumpFilter::JumpFilter(float maxJump, int confirmCount)
    : m_maxJump(maxJump)
    , m_confirmCount(confirmCount)
{ }

void JumpFilter::reset()
{
    m_hasAccepted = false;
    m_runLength = 0;
}

float JumpFilter::filter(float reading)
{
    if (!m_hasAccepted || std::fabs(reading - m_lastAccepted) <= m_maxJump) {
        m_hasAccepted = true;
        m_lastAccepted = reading;
        m_runLength = 0;
        return reading;
    }

    if (m_runLength > 0 && qMax(m_runMax, reading) - qMin(m_runMin, reading) <= m_maxJump) {
        ++m_runLength;
        m_runMin = qMin(m_runMin, reading);
        m_runMax = qMax(m_runMax, reading);
    } else {
        m_runLength = 1;
        m_runMin = m_runMax = reading;
    }

    if (m_runLength >= m_confirmCount) {
        m_lastAccepted = reading;
        m_runLength = 0;
        return reading;
    }
    return m_lastAccepted;
}
