#include "jumpfilter.h"

#include <cmath>

namespace {

// The value a straight line through a and b takes at time t; equal times count as equal spacing.
double extrapolate(int a, qint64 aAt, int b, qint64 bAt, qint64 t)
{
    if (bAt <= aAt)
        return 2.0 * b - a;
    return b + double(b - a) * double(t - bAt) / double(bAt - aAt);
}

double slopeBetween(int a, qint64 aAt, int b, qint64 bAt)
{
    return bAt > aAt ? double(b - a) / double(bAt - aAt) : 0.0;
}

} // namespace

JumpFilter::JumpFilter(int maxJump)
    : m_maxJump(maxJump)
{ }

void JumpFilter::reset()
{
    m_hasAccepted = false;
    m_slope = 0;
    m_heldCount = 0;
}

int JumpFilter::filter(int reading, qint64 nowMs)
{
    const Point point {reading, nowMs};
    if (!m_hasAccepted) {
        accept(point, 0.0);
        return reading;
    }
    const double predicted = m_accepted.value + m_slope * double(nowMs - m_accepted.at);
    if (std::abs(reading - m_accepted.value) <= m_maxJump || near(predicted, reading)) {
        accept(point, slopeBetween(m_accepted.value, m_accepted.at, reading, nowMs));
        return reading;
    }

    if (m_heldCount == 3) {
        m_held[0] = m_held[1];
        m_held[1] = m_held[2];
        m_heldCount = 2;
    }
    m_held[m_heldCount++] = point;
    if (m_heldCount == 3) {
        const Point &a = m_held[0];
        const Point &b = m_held[1];
        if (near(extrapolate(a.value, a.at, b.value, b.at, nowMs), reading)) {
            accept(point, slopeBetween(b.value, b.at, reading, nowMs));
            return reading;
        }
    }
    return m_accepted.value;
}

void JumpFilter::accept(const Point &point, double slope)
{
    m_hasAccepted = true;
    m_accepted = point;
    m_slope = slope;
    m_heldCount = 0;
}

bool JumpFilter::near(double expected, int reading) const
{
    return std::abs(double(reading) - expected) <= double(m_maxJump);
}
