#include "samplestore.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {
// Below this many samples per column the samples are drawn as they are.
const int kRawPerColumn = 2;
} // namespace

SampleStore::SampleStore(int capacity)
    : m_capacity(qMax(capacity, 1))
    , m_pyramid(m_capacity)
{ }

SampleStore::SampleStore(const QVector<Sample> &samples)
    : SampleStore(samples.size())
{
    for (const Sample &d : samples)
        append(d.key, d.value);
}

void SampleStore::append(double key, double value)
{
    if (!std::isfinite(key) || !std::isfinite(value))
        return;
    if (m_size > 0)
        key = std::max(key, at(m_size - 1).key);
    if (m_size >= m_capacity) {
        ++m_head;
        --m_size;
        ++m_firstSeq;
        if (m_head > kBlockMask) {
            m_spare = std::move(m_blocks.front());
            m_blocks.pop_front();
            m_head = 0;
        }
    }
    const qint64 slot = m_head + m_size;
    if ((slot >> kBlockShift) >= qint64(m_blocks.size()))
        m_blocks.push_back(m_spare
                ? std::move(m_spare)
                : Block(static_cast<Sample *>(::operator new(size_t(kBlockMask + 1) * sizeof(Sample)))));
    new (m_blocks[size_t(slot >> kBlockShift)].get() + (slot & kBlockMask)) Sample {key, value};
    ++m_size;
    m_pyramid.append(m_firstSeq + m_size - 1, value);
}

int SampleStore::lowerBound(double key) const
{
    int lo = 0;
    int hi = m_size;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (at(mid).key < key)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

int SampleStore::upperBound(double key) const
{
    int lo = 0;
    int hi = m_size;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (key < at(mid).key)
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

SampleStore::Extremes SampleStore::valueRange(int from, int to) const
{
    from = qBound(0, from, size());
    to = qBound(from, to, size());
    const qint64 first = m_firstSeq;
    return m_pyramid.range(
        first + from, first + to, [this, first](qint64 seq) { return at(int(seq - first)).value; });
}

void SampleStore::lineData(
    int begin, int end, double keyLo, double keyHi, int columns, QVector<Sample> *out) const
{
    out->clear();
    begin = qBound(0, begin, size());
    end = qBound(begin, end, size());
    // Only the last sample left of the span and the first right of it matter.
    int i = std::max(begin, lowerBound(keyLo) - 1);
    const int last = std::min(end, upperBound(keyHi) + 1);
    if (last - i <= kRawPerColumn * columns + 2 || columns <= 0 || !(keyHi > keyLo)) {
        out->reserve(last - i);
        for (; i < last; ++i)
            out->append(at(i));
        return;
    }
    out->reserve(4 * columns + 2);
    if (at(i).key < keyLo)
        out->append(at(i++));
    const int spanEnd = at(last - 1).key > keyHi ? last - 1 : last;

    const double width = (keyHi - keyLo) / columns;
    for (int c = 0; c < columns && i < spanEnd; ++c) {
        int j = spanEnd;
        if (c + 1 < columns) {
            // Columns are consecutive, so the search only spans the samples not yet placed.
            const double boundary = keyLo + (c + 1) * width;
            int hi = spanEnd;
            j = i;
            while (j < hi) {
                const int mid = j + (hi - j) / 2;
                if (at(mid).key < boundary)
                    j = mid + 1;
                else
                    hi = mid;
            }
        }
        if (j - i <= 4) {
            for (; i < j; ++i)
                out->append(at(i));
            continue;
        }
        const Extremes e = valueRange(i, j);
        const double mid = (at(i).key + at(j - 1).key) / 2;
        out->append(at(i));
        out->append(Sample {mid, e.min});
        out->append(Sample {mid, e.max});
        out->append(at(j - 1));
        i = j;
    }
    if (spanEnd < last)
        out->append(at(spanEnd));
}

size_t SampleStore::bytes() const
{
    const size_t blocks = m_blocks.size() + (m_spare ? 1 : 0);
    return blocks * size_t(kBlockMask + 1) * sizeof(Sample) + m_pyramid.bytes();
}
