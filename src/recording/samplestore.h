#pragma once

#include "minmaxpyramid.h"
#include "sample.h"

#include <QVector>

#include <deque>
#include <memory>

// The one copy of a curve, kept in fixed blocks so appending and dropping the oldest sample are O(1) with
// no pause ever (no block is copied or grown), plus a min/max pyramid so fitting and whole-curve drawing
// cost in proportion to pixels, not samples. Keys never decrease. Not thread-safe: while a graph draws
// it, only the GUI thread may change it; a reader on another thread needs the owner's promise that no
// change happens meanwhile.
class SampleStore
{
public:
    using Extremes = MinMaxPyramid::Extremes;

    // Room for `capacity` samples (at least 1); once full, each append drops the oldest.
    explicit SampleStore(int capacity = 1);
    // Samples sorted by key; the capacity becomes their count (at least 1).
    explicit SampleStore(const QVector<Sample> &samples);

    // O(1); a key below the last one is raised to it, and non-finite samples are ignored.
    void append(double key, double value);

    int size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    int capacity() const { return m_capacity; }
    const Sample &at(int index) const
    {
        const qint64 i = m_head + index;
        return m_blocks[size_t(i >> kBlockShift)].get()[i & kBlockMask];
    }

    // Index of the first sample whose key is not below `key` / is above `key`.
    int lowerBound(double key) const;
    int upperBound(double key) const;

    // Extremes of the values of samples [from, to); the whole store without arguments.
    Extremes valueRange() const { return valueRange(0, size()); }
    Extremes valueRange(int from, int to) const;

    // Points to draw samples [begin, end) over the key span [keyLo, keyHi] split into `columns` equal
    // columns (one per pixel): the samples themselves when they are few, otherwise per column its first
    // sample, its minimum, its maximum and its last sample, so every extreme stays visible. Of the samples
    // outside the span only the nearest on each side is kept, to carry the line to the edges.
    void lineData(int begin, int end, double keyLo, double keyHi, int columns, QVector<Sample> *out) const;

    // Memory held, for the benchmarks.
    size_t bytes() const;

private:
    static constexpr int kBlockShift = 16;
    static constexpr qint64 kBlockMask = (qint64(1) << kBlockShift) - 1;
    // Raw storage: constructing a block's samples up front would touch a whole megabyte at once, a
    // page-fault pause of several milliseconds; untouched pages fault in one by one as samples arrive.
    struct BlockDeleter
    {
        void operator()(Sample *p) const { ::operator delete(p); }
    };
    using Block = std::unique_ptr<Sample, BlockDeleter>;

    std::deque<Block> m_blocks;
    Block m_spare; // the last emptied block, reused for the next one needed
    qint64 m_head = 0; // index of sample 0 within the first block
    int m_size = 0;
    int m_capacity = 1;
    MinMaxPyramid m_pyramid;
    qint64 m_firstSeq = 0; // pyramid sequence number of sample 0
};
