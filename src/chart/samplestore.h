#pragma once

#include "minmaxpyramid.h"
#include "qcp.h"

#include <QSharedPointer>
#include <QVector>

class StoreContainer;

// The one copy of a curve: the graph's own data container, appended in place and dropping its oldest
// sample once `capacity` are held, plus a min/max pyramid over it so fitting and whole-curve drawing cost
// in proportion to pixels, not samples. Keys never decrease. Not thread-safe: once its container is given
// to a graph, only the GUI thread may change it. reset() and assign() start a new container, so a holder
// of the previous one (a file writer) keeps an unchanging curve.
class SampleStore
{
public:
    using Extremes = MinMaxPyramid::Extremes;

    explicit SampleStore(int capacity = 1);

    // Empties the store into a new container with room for `capacity` samples (at least 1).
    void reset(int capacity);
    // Takes samples sorted by key; capacity becomes their count (at least 1).
    void assign(const QVector<QCPGraphData> &samples);
    // Amortised O(1); a key below the last one is raised to it, and non-finite samples are ignored.
    void append(double key, double value);

    QSharedPointer<QCPGraphDataContainer> data() const;
    int size() const;
    bool isEmpty() const { return size() == 0; }
    int capacity() const { return m_capacity; }
    const QCPGraphData &at(int index) const;

    // Extremes of the values of samples [from, to); the whole store without arguments.
    Extremes valueRange() const { return valueRange(0, size()); }
    Extremes valueRange(int from, int to) const;

    // Points to draw samples [begin, end) over the key span [keyLo, keyHi] split into `columns` equal
    // columns (one per pixel): the samples themselves when they are few, otherwise per column its first
    // sample, its minimum, its maximum and its last sample, so every extreme stays visible.
    void lineData(
        int begin, int end, double keyLo, double keyHi, int columns, QVector<QCPGraphData> *out) const;

    // Memory held, for the benchmarks.
    size_t bytes() const;

private:
    const QCPGraphData *samples() const;

    QSharedPointer<StoreContainer> m_data;
    MinMaxPyramid m_pyramid;
    qint64 m_firstSeq = 0; // pyramid sequence number of sample 0
    int m_capacity = 1;
};
