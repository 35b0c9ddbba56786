#include "curverecorder.h"

#include "collect.h"
#include "control/linkpolicy.h"
#include "journalwriter.h"
#include "recordingjournal.h"
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
    m_readingClock.start();
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
    // An unsaved recording's journal stays for the next start; the writer only lets it go.
    m_journal.reset();
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
    m_setPointKeys.clear();
    m_setPointValues.clear();
    m_marks.clear();
    m_stepMarks = 0;
    m_curveModel = m_modelName;
    m_saved = false;
    m_savedFile.clear();
    // The last recording is replaced: whoever starts has saved it or let it go.
    removeJournal();
    if (!m_journalFolder.isEmpty()) {
        m_journal = std::make_unique<JournalWriter>();
        QString error;
        if (!m_journal->create(m_journalFolder, {m_info, m_curveModel}, &error)) {
            m_journal.reset();
            m_journalFailureTold = true;
            emit journalFailed(error);
        }
    }
    m_pausedByInspection = false;
    showPaused(false);
    m_inbox.open(m_cacheSize);
    m_ambientInbox.open(m_cacheSize);
    emit startcollect(m_sampleInterval);
    m_drainTimer.start();
    emit recordingChanged(true);
}

void CurveRecorder::stop()
{
    if (!m_recording)
        return;
    m_recording = false;
    m_drainTimer.stop();
    emit stopcollect();
    // Whatever the collector stamped before the gate closed belongs to this recording.
    appendDrained(m_inbox.close());
    for (const Sample &d : m_ambientInbox.close())
        m_ambientCurve->append(d.key, d.value);
    // A stopped curve is on the disk before anyone is told; its journal stays until it is saved.
    if (m_journal)
        m_journal->finish();
    emit recordingChanged(false);
}

void CurveRecorder::setSetPoint(double celsius)
{
    if (!m_recording || celsius == NoReading)
        return;
    if (!m_setPointValues.isEmpty() && m_setPointValues.constLast() == celsius)
        return;
    m_setPointKeys.append(elapsedNow());
    m_setPointValues.append(celsius);
}

void CurveRecorder::markStable()
{
    if (!m_recording)
        return;
    m_marks.append({elapsedNow(), 0});
    emit markAdded(m_marks.constLast());
}

void CurveRecorder::markStep(bool start)
{
    if (!m_recording)
        return;
    m_marks.append({elapsedNow(), start ? ++m_stepMarks : -1});
    emit markAdded(m_marks.constLast());
}

bool CurveRecorder::hasUnsavedCurve() const
{
    return !m_saved && m_curve && !m_curve->isEmpty();
}

void CurveRecorder::markSaved(const QString &fileName)
{
    m_saved = true;
    if (!m_recording)
        removeJournal();
    if (!fileName.isEmpty())
        m_savedFile = fileName;
}

void CurveRecorder::drop()
{
    if (m_recording)
        return;
    removeJournal();
    if (!m_curve)
        return;
    m_curve.reset();
    m_ambientCurve.reset();
    m_setPointKeys.clear();
    m_setPointValues.clear();
    m_marks.clear();
    m_saved = true;
    m_savedFile.clear();
    emit dropped();
}

CurveSnapshot CurveRecorder::snapshot(const QString &appName) const
{
    CurveSnapshot shot;
    const QString symbol = m_info.unit == 1 ? QStringLiteral("℉")
        : m_info.unit == 2                  ? QStringLiteral("℃")
                                            : QString();
    shot.header = m_info.fileHeader(appName, symbol);
    shot.store = m_curve;
    return shot;
}

SaveResult CurveRecorder::save(const QString &fileName, const QString &appName)
{
    if (m_recording || !m_curve || m_curve->isEmpty())
        return SaveResult::failure(QStringLiteral("no recorded curve to save"));
    const SaveResult saved = WriteFileThread::writeCurveFile(fileName, snapshot(appName));
    if (saved)
        markSaved(fileName);
    return saved;
}

bool CurveRecorder::adopt(const QString &path, QString *error)
{
    if (m_recording) {
        *error = tr("正在记录曲线，请先停止！");
        return false;
    }
    auto held = std::make_unique<JournalWriter>();
    if (!held->adopt(path, error))
        return false;
    const RecordingJournal::Contents contents = RecordingJournal::readFile(path);
    if (contents.status != RecordingJournal::Status::Ok) {
        *error = contents.error;
        return false;
    }
    removeJournal();
    m_journal = std::move(held);
    m_curve = QSharedPointer<SampleStore>::create(contents.samples);
    m_ambientCurve = QSharedPointer<SampleStore>::create(m_cacheSize);
    m_info = contents.header.info;
    m_curveModel = contents.header.model;
    m_setPointKeys.clear();
    m_setPointValues.clear();
    m_marks.clear();
    m_stepMarks = 0;
    m_saved = false;
    m_savedFile.clear();
    emit adopted();
    return true;
}

QString CurveRecorder::journalPath() const
{
    return m_journal ? m_journal->path() : QString();
}

void CurveRecorder::appendDrained(const QVector<Sample> &samples)
{
    for (const Sample &d : samples)
        m_curve->append(d.key, d.value);
    if (!m_journal)
        return;
    m_journal->append(samples);
    if (!m_journalFailureTold) {
        const QString error = m_journal->error();
        if (!error.isEmpty()) {
            m_journalFailureTold = true;
            emit journalFailed(error);
        }
    }
}

void CurveRecorder::removeJournal()
{
    if (m_journal)
        m_journal->remove();
    m_journal.reset();
    m_journalFailureTold = false;
}

void CurveRecorder::Latest::set(double value, qint64 atMs)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_value = value;
    m_atMs = atMs;
}

double CurveRecorder::Latest::recordable(qint64 nowMs) const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return LinkPolicy::readingRecordable(nowMs - m_atMs) ? m_value : NoReading;
}

void CurveRecorder::tick()
{
    const qint64 now = m_readingClock.elapsed();
    m_inbox.push(m_reading.recordable(now));
    m_ambientInbox.push(m_ambientReading.recordable(now));
}

void CurveRecorder::drain()
{
    appendDrained(m_inbox.take());
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
