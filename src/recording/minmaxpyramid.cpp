#include "minmaxpyramid.h"

#include <numeric>

namespace {
const int kFirstShift = 5; // 32 samples
const int kShiftStep = 3; // each level 8 times coarser
} // namespace

MinMaxPyramid::MinMaxPyramid(qint64 capacity)
{
    reset(capacity);
}

void MinMaxPyramid::reset(qint64 capacity)
{
    capacity = qMax<qint64>(capacity, 1);
    m_levels.clear();
    for (int shift = kFirstShift;; shift += kShiftStep) {
        Level level;
        level.shift = shift;
        // A bucket slot is reused only once every sample of its previous bucket has left the live window.
        level.ring.assign(size_t((capacity >> shift) + 3), Extremes {qInf(), -qInf()});
        m_levels.push_back(std::move(level));
        if ((qint64(1) << shift) >= capacity)
            break;
    }
}

void MinMaxPyramid::append(qint64 seq, double value)
{
    for (Level &level : m_levels) {
        const qint64 mask = (qint64(1) << level.shift) - 1;
        Extremes &e = level.ring[size_t((seq >> level.shift) % qint64(level.ring.size()))];
        if ((seq & mask) == 0) {
            e = Extremes {value, value};
        } else {
            e.min = value < e.min ? value : e.min;
            e.max = value > e.max ? value : e.max;
        }
    }
}

size_t MinMaxPyramid::bytes() const
{
    return std::accumulate(m_levels.begin(), m_levels.end(), size_t(0),
        [](size_t total, const Level &level) { return total + level.ring.capacity() * sizeof(Extremes); });
}
