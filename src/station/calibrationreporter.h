#pragma once

#include "control/calibrationjournal.h"
#include "station/asker.h"
#include "station/calibrationreportfiles.h"
#include "station/certificateamendment.h"
#include "station/issuerecord.h"
#include "station/issuesignature.h"

#include <QObject>
#include <QStringList>

#include <memory>

class AuditRecorder;
class CurveRecorder;
class SigningKey;

// A run's report: its certificate issued once, as a record in the run's journal before any file is
// written, and its content made from that record alone, for a run that just ended and for one read back
// from its journal after 稍后 or a crash alike; written into the report folder all or nothing and never
// over another report; the record then archived in the data folder's "issued" folder. Where the folder
// is missing or a write fails, the Asker of the door that ran it decides. GUI thread only (the
// certificate is painted).
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
    // Where issue records are kept once their reports are written: "<number>.json", and its chart.
    static QString issuedFolder();

    // Builds the report of a run that just ended and delivers it. `journal` is the run's, whole when it
    // holds every row and the end.
    void reportRun(
        const CalibrationJournal::Contents &run, const QString &journal, bool journalWhole, Asker *asker);
    // The record archived for the certificate `number`, and the report files it was written to; nothing,
    // with the reason, when the archive is missing or does not match its own hash.
    static std::optional<IssueRecord> readIssued(const QString &number, QStringList *files, QString *error);
    // Signs the PDF of the certificate `number`, issued unsigned, after the fact: the signatory is asked as
    // at an issue, and the PDF is replaced by its signed update, which keeps its bytes in front. What came
    // of it; the reason in `error` when it was not signed for a cause other than the signatory's choice.
    IssueSignature signLater(const QString &number, Asker *asker, QString *error);
    // Re-issues the certificate `number` with `amendment`'s fields under a new number, which says which
    // certificate it replaces; written and archived like any report, and signed where the signatory
    // consents (lastSignature()). The new number, or empty with the reason in `error`.
    QString amend(const QString &number, const CertificateAmendment &amendment, Asker *asker, QString *error);

    // Journals of runs without a report that no run, here or in another instance, still writes.
    static QStringList pendingJournals();
    // Offers to write their reports, and writes them when `asker` agrees.
    void offerPending(Asker *asker);

    // Where issues are recorded, and whose head each record carries; outlives the reporter.
    void setAudit(AuditRecorder *audit) { m_audit = audit; }

    // The report's CSV file of the last run, once written.
    QString lastReport() const { return m_lastReport; }
    // Whether the last report's PDF was signed, and why not: for the audit trail's issue line.
    IssueSignature lastSignature() const { return m_lastSignature; }
    // Why the last certificate went without its machine-readable twin; empty when it has one, or for a
    // test report.
    QString lastTwinMissing() const;

signals:
    void reportWritten(const QStringList &files);
    // The report of the run that just ended, or of a journal (`fromJournal`), was written (`file` the
    // CSV) or not (`file` the journal the results wait in).
    void reported(CalibrationReporter::Fate fate, const QString &file, bool fromJournal);
    void journalUnreadable(const QString &journal, const QString &error);

private:
    // The record of a run that just ended, issued now; what the recorder holds decides the curve's state.
    IssueRecord liveRecord(const CalibrationJournal::Contents &run) const;
    // The content of a report, from `record` and the curve and chart it left beside `journal` (none
    // without a journal); null when a file the record names is missing or altered.
    std::optional<CalibrationReportContent> contentOf(
        const IssueRecord &record, const QString &journal) const;
    QString curveNote(const IssueRecord &record) const;
    // Keeps the curve and the chart beside the journal and journals the record: from here on the
    // certificate is issued. False, with the reason, when the journal does not take it.
    bool issue(CalibrationJournal *journal, IssueRecord *record, QString *error) const;
    // Writes the issued record's report and, once written, archives the record and removes the journal.
    // False when `asker` puts it off, or when the number was issued already with other content.
    bool deliverIssued(CalibrationJournal *journal, const IssueRecord &record, bool mayWait, Asker *asker);
    // The write a crash cut short, if any: the set if it was named whole (true), else its files removed.
    bool settleInterrupted(const CalibrationJournal::Contents &contents, QStringList *files) const;
    // Archives `record` with the report `files`; false when the number holds another record already.
    // The chart `chart` (none when empty or missing) is kept beside it.
    bool archive(
        const QJsonObject &issue, const QString &chart, const QStringList &files, QString *error) const;
    // With a signing key configured and someone to answer, asks the run's signatory to sign `record`'s
    // certificate until the key opens for them or they decline; sets `content`'s signing step when it
    // does. What came of it is lastSignature().
    // The key, opened, when it signs; null otherwise.
    std::shared_ptr<const SigningKey> prepareSignature(const IssueRecord &record,
        CalibrationReportContent *content, Asker *asker, Asker::SignatureMoment moment);
    // A certificate's twin: the DCC around the PDF as written, signed with `key` when there is one. Sets
    // lastTwinMissing() when a certificate gets none.
    void prepareTwin(const IssueRecord &record, CalibrationReportContent *content,
        const std::shared_ptr<const SigningKey> &key);
    // Both, in the order of issue: the PDF signed first, then the twin made around it.
    void prepareIssue(const IssueRecord &record, CalibrationReportContent *content, Asker *asker);
    // The issued files of certificate `number` as the audit trail recorded them (path → SHA-256), for
    // an act that builds on them; `files` must all still be those. Empty when the trail is off; the
    // reason in `error` when it does not vouch for them.
    bool checkIssuedFiles(const QString &number, const QStringList &files, QHash<QString, QString> *recorded,
        QString *error) const;
    // Writes into the report folder until written or `asker` gives up. True once written.
    bool deliver(const CalibrationReportContent &content, bool mayWait, Asker *asker,
        const CalibrationReportNotes &notes = {});

    // Records the issue of `record` (`sha256` its issue record's hash) with the files just written and
    // what came of its signature and its twin; after a crash, `recoveredSignature` says what the PDF shows.
    void recordIssue(const QString &number, const QString &sha256, const QStringList &files,
        const QString &recoveredSignature = QString()) const;

    CurveRecorder *m_recorder;
    AuditRecorder *m_audit = nullptr;
    QString m_lastReport;
    QStringList m_lastFiles;
    IssueSignature m_lastSignature;
    bool m_twinMissing = false; // a certificate went without its twin: the lab has no country
};
