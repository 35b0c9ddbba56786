#pragma once

#include "control/calibrationjournal.h"
#include "station/calibrationreportfiles.h"

#include <QObject>
#include <QStringList>

class Asker;
class CurveRecorder;

// A run's report: its content, built the same way for a run that just ended and for one read back from
// its journal, written into the report folder all or nothing, and the journals of runs still waiting for
// theirs. Where the folder is missing or a write fails, the Asker of the door that ran it decides.
// GUI thread only (the certificate is painted).
class CalibrationReporter : public QObject
{
    Q_OBJECT

public:
    // The settings key of the folder reports go to.
    static const QString reportFolderKey;

    // What became of a run's report.
    enum class Fate {
        Written,
        Waiting, // not written; the results and the curve wait beside the journal for a later report
        WaitingWithoutCurve, // likewise, but the curve could not be kept
        Lost, // not written, and no journal holds the results
    };

    // The recorder holds the run's curve and outlives the reporter.
    explicit CalibrationReporter(CurveRecorder *recorder, QObject *parent = nullptr);

    // The stored folder while it exists and can be written; empty otherwise.
    static QString storedFolder();
    static bool isWritableFolder(const QString &folder);
    // Stores `folder` as the report folder; the settings' failure to save, if any.
    static SaveResult storeFolder(const QString &folder);
    // The folder the journals wait in.
    static QString journalFolder();

    // Builds the report of a run that just ended and delivers it. `journal` is the run's, whole when it
    // holds every row and the end.
    void reportRun(
        const CalibrationJournal::Contents &run, const QString &journal, bool journalWhole, Asker *asker);
    // Journals of runs without a report that no run, here or in another instance, still writes.
    static QStringList pendingJournals();
    // Offers to write their reports, and writes them when `asker` agrees.
    void offerPending(Asker *asker);

    // The report's CSV file of the last run, once written.
    QString lastReport() const { return m_lastReport; }

signals:
    void reportWritten(const QStringList &files);
    // The report of the run that just ended, or of a journal (`fromJournal`), was written (`file` the
    // CSV) or not (`file` the journal the results wait in).
    void reported(CalibrationReporter::Fate fate, const QString &file, bool fromJournal);
    void journalUnreadable(const QString &journal, const QString &error);

private:
    CalibrationReportContent content(const CalibrationJournal::Contents &run) const;
    CalibrationReportContent liveContent(const CalibrationJournal::Contents &run) const;
    CalibrationReportContent recoveredContent(
        const QString &journal, const CalibrationJournal::Contents &contents) const;
    // Whether the recorded curve holds the whole run, or from when it does.
    QString curveNote() const;
    // Writes into the report folder until written or `asker` gives up. True once written.
    bool deliver(const CalibrationReportContent &content, bool mayWait, Asker *asker);

    CurveRecorder *m_recorder;
    QString m_lastReport;
};
