#pragma once

#include <QtGlobal>

#include <vector>

// Minimum and maximum of a growing sequence of values over aligned buckets of 32, 256, 2048, ... samples,
// so the extremes of any span cost O(levels) instead of O(span). Samples are numbered by a sequence
// number that only grows; at most `capacity` of the newest are live, and buckets reaching below the oldest
// live sample are never used. Not thread-safe; the owner serialises access.
class MinMaxPyramid
{
public:
    struct Extremes
    {
        double min;
        double max;
    };

    explicit MinMaxPyramid(qint64 capacity = 1);

    // Forgets everything and sizes the rings for `capacity` live samples.
    void reset(qint64 capacity);
    // Records the value of sample `seq`; seq must be one more than the previous one (or 0 after reset).
    void append(qint64 seq, double value);

    // Extremes of samples [from, to); value(i) must return the value of live sample i. Empty span:
    // min = +inf, max = -inf.
    template<class ValueAt>
    Extremes range(qint64 from, qint64 to, ValueAt value) const;

    // Memory held, for the benchmarks.
    size_t bytes() const;

private:
    struct Level
    {
        int shift = 0;
        std::vector<Extremes> ring;
    };

    const Extremes &bucket(const Level &level, qint64 index) const
    {
        return level.ring[size_t(index % qint64(level.ring.size()))];
    }

    std::vector<Level> m_levels;
};

template<class ValueAt>
MinMaxPyramid::Extremes MinMaxPyramid::range(qint64 from, qint64 to, ValueAt value) const
{
    Extremes result {qInf(), -qInf()};
    qint64 i = from;
    while (i < to) {
        // The coarsest bucket that starts at i and ends within the span; alignment is nested, so the
        // first level that does not fit ends the search.
        int best = -1;
        for (size_t l = 0; l < m_levels.size(); ++l) {
            const qint64 size = qint64(1) << m_levels[l].shift;
            if ((i & (size - 1)) != 0 || i + size > to)
                break;
            best = int(l);
        }
        if (best < 0) {
            const double v = value(i);
            result.min = v < result.min ? v : result.min;
            result.max = v > result.max ? v : result.max;
            ++i;
            continue;
        }
        const Level &level = m_levels[size_t(best)];
        const Extremes &e = bucket(level, i >> level.shift);
        result.min = e.min < result.min ? e.min : result.min;
        result.max = e.max > result.max ? e.max : result.max;
        i += qint64(1) << level.shift;
    }
    return result;
}
