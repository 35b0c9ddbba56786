#include "dwellstatistics.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

DwellStatistics::State DwellStatistics::state() const
{
    return {m_count, m_mean, m_squares, m_minimum, m_maximum, m_ambientCount, m_ambientMean};
}

std::optional<DwellStatistics> DwellStatistics::fromState(const State &state)
{
    const bool finite = std::isfinite(state.mean) && std::isfinite(state.squares)
        && std::isfinite(state.minimum) && std::isfinite(state.maximum) && std::isfinite(state.ambientMean);
    // Rounding may put a mean of equal readings a hair outside them.
    const double slack = 1e-9 * (1 + std::abs(state.mean));
    if (!finite || state.count < 0 || state.ambientCount < 0 || state.squares < 0
        || (state.count > 0
            && (state.minimum > state.maximum || state.mean < state.minimum - slack
                || state.mean > state.maximum + slack)))
        return std::nullopt;
    DwellStatistics statistics;
    statistics.m_count = state.count;
    statistics.m_mean = state.mean;
    statistics.m_squares = state.squares;
    statistics.m_minimum = state.minimum;
    statistics.m_maximum = state.maximum;
    statistics.m_ambientCount = state.ambientCount;
    statistics.m_ambientMean = state.ambientMean;
    return statistics;
}

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
