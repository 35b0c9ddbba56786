#pragma once

#include "curveinfo.h"
#include "files/saveresult.h"
#include "sampleinbox.h"
#include "settings/recordestimate.h"
#include "writefilethread.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSharedPointer>
#include <QTimer>
#include <QVector>

#include <memory>
#include <mutex>

class Collect;
class JournalWriter;
class SampleStore;

// A recording and what belongs to it, without widgets: its curves, the controller's set points along it,
// its marks, and whether it was saved; and the view's pause. At every interval the collector's thread
// stamps the latest readings into the inboxes; the GUI thread drains them into the recording's curves
// every 30 ms and says so with drained(). The last recording stays after stop() until the next start()
// or drop(), so that it can still be saved. Given a journal folder, each recording's samples also go to a
// journal there as they are drained, kept until the curve is saved or dropped, so that a crash loses at
// most the last second (see JournalWriter); adopt() takes one back after a crash. Everything runs on the GUI
// thread except setReading() and setAmbientReading(), which any thread may call, and the ticks, which only
// stamp.
class CurveRecorder : public QObject
{
    Q_OBJECT

public:
    static constexpr double NoReading = SampleInbox::NoReading;
    // The largest capacity the settings dialog offers; larger values are clamped to it.
    static constexpr int MaxCacheSize = kMaxCacheThousands * 1000;

    // A moment of the recording worth a line on its chart: `step` 0 for the source becoming stable, n > 0
    // for the start of a run's step n, -1 for a step's end. Seconds since the recording started.
    struct Mark
    {
        double at = 0;
        int step = 0;
    };

    explicit CurveRecorder(QObject *parent = nullptr);
    // Joins the collector's thread before the inboxes it stamps into are gone.
    ~CurveRecorder() override;

    // Capacity (samples), interval (ms) and unit code of the next recording.
    void setCacheSize(int n);
    void setSampleInterval(int ms);
    void setUnit(int unit) { m_unit = unit; }
    // The folder the next recordings keep their journals in; empty (the default) keeps none.
    void setJournalFolder(const QString &folder) { m_journalFolder = folder; }
    const QString &journalFolder() const { return m_journalFolder; }
    int cacheSize() const { return m_cacheSize; }
    int sampleInterval() const { return m_sampleInterval; }
    // The description of a recording started at `startMsecs`; also what an opened file leaves unsaid.
    CurveInfo newCurveInfo(qint64 startMsecs) const;

    // start() begins new curves, marks and set points, and ends any pause; stop() drains what was
    // stamped before it. Each does nothing in the state it leads to.
    void start();
    void stop();
    bool isRecording() const { return m_recording; }
    // The running or last recording's curve, its ambient companion and its description; null before
    // the first recording and after drop().
    const QSharedPointer<SampleStore> &curve() const { return m_curve; }
    const QSharedPointer<SampleStore> &ambientCurve() const { return m_ambientCurve; }
    const CurveInfo &info() const { return m_info; }

    // The controller's set point with each reading; kept while recording, as a change of it.
    void setSetPoint(double celsius);
    const QVector<double> &setPointKeys() const { return m_setPointKeys; }
    const QVector<double> &setPointValues() const { return m_setPointValues; }
    // Marks this moment of the running recording; nothing while not recording. Steps are numbered from
    // the recording's first.
    void markStable();
    void markStep(bool start);
    const QVector<Mark> &marks() const { return m_marks; }
    // The blackbody model a recording started now is taken with, and the one the recording was taken with.
    void setModelName(const QString &name) { m_modelName = name; }
    const QString &curveModel() const { return m_curveModel; }

    // A recorded curve with samples that was never written to a curve file.
    bool hasUnsavedCurve() const;
    // The recorded curve is now in a file (a saved report's curve, or the operator's save).
    void markSaved(const QString &fileName = QString());
    // The file the recorded curve was last saved to; empty while never saved.
    const QString &savedFile() const { return m_savedFile; }
    // Forgets the last recording, saved or not; nothing while recording.
    void drop();
    // The recording as a writer takes it, unchanged by a recording that goes on; `appName` heads the file.
    CurveSnapshot snapshot(const QString &appName) const;
    // Writes the last recording to `fileName` on this thread, whole or not at all; it then counts as
    // saved. Refused while recording and for a curve without samples.
    SaveResult save(const QString &fileName, const QString &appName);

    // Takes the journal a crash left at `path` back as the last recording, unsaved, with its journal held
    // until it is saved or dropped. Refused while recording, for a journal without samples or one another
    // process holds; false with the reason.
    bool adopt(const QString &path, QString *error);
    // The running or last recording's journal; empty when it keeps none.
    QString journalPath() const;
    // The running or last recording's journal writer, for its figures; null when it keeps none.
    JournalWriter *journal() const { return m_journal.get(); }

    // The latest readings, as they arrive; NoReading when there is none. Every tick stamps the latest one
    // while it is recordable by the link's policy, and nothing once it is older.
    void setReading(double value) { m_reading.set(value, m_readingClock.elapsed()); }
    void setAmbientReading(double value) { m_ambientReading.set(value, m_readingClock.elapsed()); }
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
    // A recording started (true) or stopped, whoever asked.
    void recordingChanged(bool recording);
    void markAdded(const CurveRecorder::Mark &mark);
    // The last recording was dropped.
    void dropped();
    // A journal was taken back by adopt(): the last recording is now its curve.
    void adopted();
    // The recording goes on without its journal (it could not be made, or a write failed): a crash would
    // lose it.
    void journalFailed(const QString &reason);
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
    void appendDrained(const QVector<Sample> &samples);
    void removeJournal();

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
    QVector<double> m_setPointKeys; // elapsed seconds of each change
    QVector<double> m_setPointValues;
    QVector<Mark> m_marks;
    int m_stepMarks = 0;
    QString m_modelName;
    QString m_curveModel;
    bool m_saved = true;
    QString m_savedFile;
    QString m_journalFolder;
    std::unique_ptr<JournalWriter> m_journal;
    bool m_journalFailureTold = false;
    // A reading and when it arrived, written on the GUI thread and read on the collector's.
    class Latest
    {
    public:
        void set(double value, qint64 atMs);
        // The reading while it is recordable at `nowMs`, else NoReading.
        double recordable(qint64 nowMs) const;

    private:
        mutable std::mutex m_mutex;
        double m_value = NoReading; // nothing is recorded until a reading has arrived
        qint64 m_atMs = 0;
    };

    QElapsedTimer m_readingClock;
    Latest m_reading;
    Latest m_ambientReading;
    SampleInbox m_inbox;
    // Ambient samples take the same road, through an inbox of their own.
    SampleInbox m_ambientInbox;
    QTimer m_drainTimer;
    Collect *m_collector = nullptr;
};
