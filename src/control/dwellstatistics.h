#pragma once

#include <optional>

// Summary of the readings taken during one dwell, and of the ambient temperature over the same time.
// Welford's running mean and sum of squared deviations: readings near 500 °C that differ by hundredths
// would lose their spread in a plain sum of squares.
class DwellStatistics
{
public:
    // Everything the statistics hold, to be kept on disk and brought back whole.
    struct State
    {
        int count = 0;
        double mean = 0;
        double squares = 0;
        double minimum = 0;
        double maximum = 0;
        int ambientCount = 0;
        double ambientMean = 0;
    };

    State state() const;
    // Nothing for a state no readings could have left: negative counts, values that are not finite,
    // or a minimum above the mean or the maximum.
    static std::optional<DwellStatistics> fromState(const State &state);

    void add(double reading);
    void addAmbient(double ambient);
    void clear() { *this = DwellStatistics(); }

    int count() const { return m_count; }
    // NaN without readings.
    double mean() const;
    double minimum() const;
    double maximum() const;
    // Sample standard deviation (n - 1 in the divisor); NaN below two readings.
    double standardDeviation() const;

    int ambientCount() const { return m_ambientCount; }
    // NaN without ambient readings.
    double ambientMean() const;

private:
    int m_count = 0;
    double m_mean = 0;
    double m_squares = 0; // sum of squared deviations from the running mean
    double m_minimum = 0;
    double m_maximum = 0;
    int m_ambientCount = 0;
    double m_ambientMean = 0;
};
