#include "samplestore.h"

#include <algorithm>
#include <cmath>

// The graph container with the two things QCustomPlot does not offer: reserved room, and dropping exactly
// one front sample in O(1) even when keys repeat (removeBefore() works by key).
class StoreContainer : public QCPGraphDataContainer
{
public:
    StoreContainer(int room)
    {
        setAutoSqueeze(false);
        mData.reserve(room);
    }

    int room() const { return mData.capacity(); }
    bool full() const { return mData.size() == mData.capacity(); }
    void dropFront() { ++mPreallocSize; }
    // Moves the live samples to the front of the reserved block; the room is kept.
    void compact() { squeeze(true, false); }
    void appendSorted(const QCPGraphData &d) { mData.append(d); }
    void appendSorted(const QVector<QCPGraphData> &d) { mData.append(d); }
};

namespace {
// Spare room past the capacity: a full store compacts once per this many samples.
int slackFor(int capacity)
{
    return capacity / 8 + 16;
}

// Below this many samples per column the samples are drawn as they are.
const int kRawPerColumn = 2;
} // namespace

SampleStore::SampleStore(int capacity)
{
    reset(capacity);
}

void SampleStore::reset(int capacity)
{
    m_capacity = qMax(capacity, 1);
    m_data = QSharedPointer<StoreContainer>::create(m_capacity + slackFor(m_capacity));
    m_pyramid.reset(m_capacity);
    m_firstSeq = 0;
}

void SampleStore::assign(const QVector<QCPGraphData> &samples)
{
    m_capacity = qMax(samples.size(), 1);
    m_data = QSharedPointer<StoreContainer>::create(m_capacity);
    m_data->appendSorted(samples);
    m_pyramid.reset(m_capacity);
    m_firstSeq = 0;
    for (int i = 0; i < samples.size(); ++i)
        m_pyramid.append(i, samples[i].value);
}

void SampleStore::append(double key, double value)
{
    if (!std::isfinite(key) || !std::isfinite(value))
        return;
    const int n = size();
    if (n > 0)
        key = std::max(key, at(n - 1).key);
    if (n >= m_capacity) {
        m_data->dropFront();
        ++m_firstSeq;
    }
    if (m_data->full())
        m_data->compact();
    m_data->appendSorted(QCPGraphData(key, value));
    m_pyramid.append(m_firstSeq + size() - 1, value);
}

QSharedPointer<QCPGraphDataContainer> SampleStore::data() const
{
    return m_data;
}

int SampleStore::size() const
{
    return m_data->size();
}

const QCPGraphData &SampleStore::at(int index) const
{
    return samples()[index];
}

const QCPGraphData *SampleStore::samples() const
{
    // QVector iterators are plain pointers in Qt 5 (no strict iterators here).
    return m_data->constBegin();
}

SampleStore::Extremes SampleStore::valueRange(int from, int to) const
{
    from = qBound(0, from, size());
    to = qBound(from, to, size());
    const QCPGraphData *d = samples();
    const qint64 first = m_firstSeq;
    return m_pyramid.range(first + from, first + to, [d, first](qint64 seq) { return d[seq - first].value; });
}

void SampleStore::lineData(
    int begin, int end, double keyLo, double keyHi, int columns, QVector<QCPGraphData> *out) const
{
    out->clear();
    begin = qBound(0, begin, size());
    end = qBound(begin, end, size());
    const QCPGraphData *d = samples();
    if (end - begin <= kRawPerColumn * columns + 2 || columns <= 0 || !(keyHi > keyLo)) {
        out->reserve(end - begin);
        std::copy(d + begin, d + end, std::back_inserter(*out));
        return;
    }
    const auto keyLess = [](const QCPGraphData &a, double k) { return a.key < k; };
    const auto keyAbove = [](double k, const QCPGraphData &a) { return k < a.key; };
    out->reserve(4 * columns + 2);

    // Only the last sample left of the span and the first right of it matter: they carry the line to
    // the edges.
    int i = int(std::lower_bound(d + begin, d + end, keyLo, keyLess) - d);
    if (i > begin)
        out->append(d[i - 1]);
    const int spanEnd = int(std::upper_bound(d + i, d + end, keyHi, keyAbove) - d);

    const double width = (keyHi - keyLo) / columns;
    for (int c = 0; c < columns && i < spanEnd; ++c) {
        const int j = c + 1 == columns
            ? spanEnd
            : int(std::lower_bound(d + i, d + spanEnd, keyLo + (c + 1) * width, keyLess) - d);
        if (j - i <= 4) {
            std::copy(d + i, d + j, std::back_inserter(*out));
        } else {
            const Extremes e = valueRange(i, j);
            const double mid = (d[i].key + d[j - 1].key) / 2;
            out->append(d[i]);
            out->append(QCPGraphData(mid, e.min));
            out->append(QCPGraphData(mid, e.max));
            out->append(d[j - 1]);
        }
        i = j;
    }
    if (spanEnd < end)
        out->append(d[spanEnd]);
}

size_t SampleStore::bytes() const
{
    return size_t(m_data->room()) * sizeof(QCPGraphData) + m_pyramid.bytes();
}
