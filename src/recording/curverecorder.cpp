#include "curverecorder.h"

#include "collect.h"
#include "samplestore.h"

#include <QDateTime>

namespace {
const int kDrainMs = 30;
// What every new recording is written with; only an opened file brings another.
const float kFreshEmissivity = 1;
} // namespace

CurveRecorder::CurveRecorder(QObject *parent)
    : QObject(parent)
    , m_collector(new Collect)
{
    m_drainTimer.setTimerType(Qt::CoarseTimer);
    m_drainTimer.setInterval(kDrainMs);
    connect(&m_drainTimer, &QTimer::timeout, this, &CurveRecorder::drain);
    connect(this, &CurveRecorder::startcollect, m_collector, &Collect::start);
    connect(this, &CurveRecorder::stopcollect, m_collector, &Collect::stop);
    connect(m_collector, &Collect::timeOut, this, &CurveRecorder::tick, Qt::DirectConnection);
}

CurveRecorder::~CurveRecorder()
{
    delete m_collector;
}

void CurveRecorder::setCacheSize(int n)
{
    m_cacheSize = qBound(0, n, MaxCacheSize);
}

void CurveRecorder::setSampleInterval(int ms)
{
    // A zero or negative interval would make the collector spin.
    m_sampleInterval = qMax(ms, 1);
}

CurveInfo CurveRecorder::newCurveInfo(qint64 startMsecs) const
{
    CurveInfo fresh;
    fresh.startMsecs = startMsecs;
    fresh.intervalMs = m_sampleInterval;
    fresh.unit = m_unit;
    fresh.emissivity = kFreshEmissivity;
    return fresh;
}

void CurveRecorder::start()
{
    if (m_recording)
        return;
    m_recording = true;
    m_curve = QSharedPointer<SampleStore>::create(m_cacheSize);
    m_ambientCurve = QSharedPointer<SampleStore>::create(m_cacheSize);
    m_info = newCurveInfo(QDateTime::currentMSecsSinceEpoch());
    m_pausedByInspection = false;
    showPaused(false);
    m_inbox.open(m_cacheSize);
    m_ambientInbox.open(m_cacheSize);
    emit startcollect(m_sampleInterval);
    m_drainTimer.start();
}

void CurveRecorder::stop()
{
    if (!m_recording)
        return;
    m_recording = false;
    m_drainTimer.stop();
    emit stopcollect();
    // Whatever the collector stamped before the gate closed belongs to this recording.
    for (const Sample &d : m_inbox.close())
        m_curve->append(d.key, d.value);
    for (const Sample &d : m_ambientInbox.close())
        m_ambientCurve->append(d.key, d.value);
    m_curve.reset();
    m_ambientCurve.reset();
}

void CurveRecorder::tick()
{
    m_inbox.push(m_reading.load(std::memory_order_relaxed));
    m_ambientInbox.push(m_ambientReading.load(std::memory_order_relaxed));
}

void CurveRecorder::drain()
{
    for (const Sample &d : m_inbox.take())
        m_curve->append(d.key, d.value);
    for (const Sample &d : m_ambientInbox.take())
        m_ambientCurve->append(d.key, d.value);
    emit drained();
}

void CurveRecorder::setPaused(bool on)
{
    m_pausedByInspection = false;
    showPaused(on);
}

void CurveRecorder::pauseForInspection()
{
    if (m_paused)
        return;
    m_pausedByInspection = true;
    showPaused(true);
}

void CurveRecorder::endInspection()
{
    if (!m_pausedByInspection)
        return;
    m_pausedByInspection = false;
    showPaused(false);
}

void CurveRecorder::showPaused(bool on)
{
    if (on == m_paused)
        return;
    m_paused = on;
    emit pausedChanged(on);
}
