#pragma once

#include <QString>
#include <QStringList>

// Checks an audit trail's file, and with them the issue records of the reports it anchors: a cut tail or a
// chain computed anew after an edit shows only against the heads the reports carry. Reads only; any
// thread.
namespace AuditVerification {

struct Result
{
    enum class Outcome {
        Verified,
        BadLine, // a line does not verify: `badLine`, `reason`
        BadReports, // the chain verifies, but not every report agrees with it: `problems`
        Unreadable, // the file cannot be read: `reason`
    };
    Outcome outcome = Outcome::Unreadable;
    QString head; // the last good line's hash
    int lines = 0;
    int badLine = 0;
    QString reason;
    int reports = 0; // issue records checked
    QStringList problems; // one sentence per report that disagrees
};

// Checks the trail `log`, and with `reports` not empty the issue records ("<number>.json") in that folder
// and its subfolders against it: each one's auditHead must be the hash of a line before its issue line,
// its SHA-256 the one that line recorded, and each file the line names must still have its SHA-256
// (at its recorded path, else by its name in `reports`).
Result check(const QString &log, const QString &reports = QString());

} // namespace AuditVerification
