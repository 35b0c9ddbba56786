#include "dwellstatistics.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

void DwellStatistics::add(double reading)
{
    ++m_count;
    const double delta = reading - m_mean;
    m_mean += delta / m_count;
    m_squares += delta * (reading - m_mean);
    m_minimum = m_count == 1 ? reading : std::min(m_minimum, reading);
    m_maximum = m_count == 1 ? reading : std::max(m_maximum, reading);
}

void DwellStatistics::addAmbient(double ambient)
{
    ++m_ambientCount;
    m_ambientMean += (ambient - m_ambientMean) / m_ambientCount;
}

double DwellStatistics::mean() const
{
    return m_count > 0 ? m_mean : kNaN;
}

double DwellStatistics::minimum() const
{
    return m_count > 0 ? m_minimum : kNaN;
}

double DwellStatistics::maximum() const
{
    return m_count > 0 ? m_maximum : kNaN;
}

double DwellStatistics::standardDeviation() const
{
    return m_count > 1 ? std::sqrt(m_squares / (m_count - 1)) : kNaN;
}

double DwellStatistics::ambientMean() const
{
    return m_ambientCount > 0 ? m_ambientMean : kNaN;
}
