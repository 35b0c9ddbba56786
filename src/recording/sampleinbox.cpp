#include "sampleinbox.h"

void SampleInbox::open(int limit)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_open = true;
    m_limit = qMax(limit, 1);
    m_pending.clear();
    m_lastElapsed = 0;
    m_clock.start();
}

QVector<Sample> SampleInbox::close()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_open = false;
    m_lastElapsed = 0;
    QVector<Sample> rest;
    rest.swap(m_pending);
    return rest;
}

QVector<Sample> SampleInbox::take()
{
    QVector<Sample> taken;
    const std::lock_guard<std::mutex> lock(m_mutex);
    taken.swap(m_pending);
    return taken;
}

bool SampleInbox::push(double value)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_open)
        return false;
    // 64-bit milliseconds: a recording may run for years at long intervals.
    const qint64 elapsedMs = m_clock.elapsed();
    m_lastElapsed = double(elapsedMs) / 1000.0;
    if (value == NoReading)
        return false;
    // Only reached when the GUI thread has stopped draining for a whole capacity of ticks; those samples
    // would be dropped for capacity anyway.
    if (m_pending.size() >= m_limit)
        m_pending.removeFirst();
    m_pending.append(Sample {m_lastElapsed, value});
    return true;
}

double SampleInbox::lastElapsed() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastElapsed;
}

double SampleInbox::elapsedNow() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_open ? double(m_clock.elapsed()) / 1000.0 : 0.0;
}
