#pragma once

#include "sample.h"

#include <QElapsedTimer>
#include <QVector>

#include <mutex>

// Hands samples from the collector's thread to the GUI thread, which alone may touch the graph's data.
// The collector stamps and pushes; the GUI thread opens, drains and closes. The gate and the pending
// samples share one lock, so no sample slips in after close() has returned.
class SampleInbox
{
public:
    // The value that stands for "no reading": it advances the clock but is never stored.
    static constexpr double NoReading = -10000;

    // GUI thread: starts a recording's clock and accepts samples; at most `limit` wait at a time.
    void open(int limit);
    // GUI thread: stops accepting and returns what was still waiting.
    QVector<Sample> close();
    // GUI thread: takes the waiting samples.
    QVector<Sample> take();

    // Collector thread: stamps `value` with the seconds since open() on a monotonic clock, at millisecond
    // resolution. Returns false when closed or when value is NoReading.
    bool push(double value);

    // Seconds of the latest tick since open(), 0 when closed.
    double lastElapsed() const;
    // Seconds since open() at this moment, on the clock the samples are stamped with; 0 when closed.
    double elapsedNow() const;

private:
    // std::mutex rather than QMutex: Qt 5 takes a contended QMutex inside its (uninstrumented) library,
    // where ThreadSanitizer cannot see it.
    mutable std::mutex m_mutex;
    bool m_open = false;
    int m_limit = 1;
    QElapsedTimer m_clock;
    double m_lastElapsed = 0;
    QVector<Sample> m_pending;
};
