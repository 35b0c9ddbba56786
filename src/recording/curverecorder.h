#pragma once

#include "curveinfo.h"
#include "sampleinbox.h"
#include "settings/recordestimate.h"

#include <QObject>
#include <QSharedPointer>
#include <QTimer>

#include <atomic>

class Collect;
class SampleStore;

// A recording and the view's pause, without widgets. At every interval the collector's thread stamps the
// latest readings into the inboxes; the GUI thread drains them into the recording's curves every 30 ms
// and says so with drained(). Everything runs on the GUI thread except setReading() and
// setAmbientReading(), which any thread may call, and the ticks, which only stamp.
class CurveRecorder : public QObject
{
    Q_OBJECT

public:
    static constexpr double NoReading = SampleInbox::NoReading;
    // The largest capacity the settings dialog offers; larger values are clamped to it.
    static constexpr int MaxCacheSize = kMaxCacheThousands * 1000;

    explicit CurveRecorder(QObject *parent = nullptr);
    // Joins the collector's thread before the inboxes it stamps into are gone.
    ~CurveRecorder() override;

    // Capacity (samples), interval (ms) and unit code of the next recording.
    void setCacheSize(int n);
    void setSampleInterval(int ms);
    void setUnit(int unit) { m_unit = unit; }
    int cacheSize() const { return m_cacheSize; }
    int sampleInterval() const { return m_sampleInterval; }
    // The description of a recording started at `startMsecs`; also what an opened file leaves unsaid.
    CurveInfo newCurveInfo(qint64 startMsecs) const;

    // start() begins new curves and ends any pause; stop() drains what was stamped before it and lets the
    // curves go to whoever holds them. Each does nothing in the state it leads to.
    void start();
    void stop();
    bool isRecording() const { return m_recording; }
    // The running recording's curve, its ambient companion and its description; null when not recording.
    const QSharedPointer<SampleStore> &curve() const { return m_curve; }
    const QSharedPointer<SampleStore> &ambientCurve() const { return m_ambientCurve; }
    const CurveInfo &info() const { return m_info; }

    // The latest readings, stamped at every tick; NoReading when there is none, which stamps nothing.
    void setReading(double value) { m_reading.store(value, std::memory_order_relaxed); }
    void setAmbientReading(double value) { m_ambientReading.store(value, std::memory_order_relaxed); }
    // Seconds of the latest tick since start(), and of this moment; 0 when not recording.
    double lastElapsed() const { return m_inbox.lastElapsed(); }
    double elapsedNow() const { return m_inbox.elapsedNow(); }

    // The operator's pause: the view stands still while the recording goes on.
    void setPaused(bool on);
    bool isPaused() const { return m_paused; }
    // A pause while something is inspected; it ends with endInspection() unless the operator has paused
    // or resumed meanwhile.
    void pauseForInspection();
    void endInspection();

signals:
    // After each drain while recording.
    void drained();
    // Every change of the pause, whoever made it.
    void pausedChanged(bool paused);
    // Queued to the collector's thread, which alone may start and stop its timer.
    void startcollect(int ms);
    void stopcollect();

private:
    // On the collector's thread.
    void tick();
    void drain();
    void showPaused(bool on);

    int m_cacheSize = 1'000'000;
    int m_sampleInterval = 100;
    int m_unit = 2;
    bool m_recording = false;
    bool m_paused = false;
    // The pause is the inspection's own: the operator's pause or resume takes it over.
    bool m_pausedByInspection = false;
    QSharedPointer<SampleStore> m_curve;
    QSharedPointer<SampleStore> m_ambientCurve;
    CurveInfo m_info;
    // Nothing is recorded until a reading has arrived.
    std::atomic<double> m_reading {NoReading};
    std::atomic<double> m_ambientReading {NoReading};
    SampleInbox m_inbox;
    // Ambient samples take the same road, through an inbox of their own.
    SampleInbox m_ambientInbox;
    QTimer m_drainTimer;
    Collect *m_collector = nullptr;
};
