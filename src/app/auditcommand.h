#pragma once

#include <QString>

// The command line's check of the audit trail: no window and no display, only what it finds on standard
// output and standard error.
namespace AuditCommand {

// Exit codes: verified, a line that does not verify, a file that cannot be read, a report that disagrees.
constexpr int kVerified = 0;
constexpr int kBadLine = 1;
constexpr int kUnreadable = 2;
constexpr int kBadReports = 5;

// Checks `file` (empty: the user's audit.log in `userDataDir`) and, when `reports` is not empty, the issue
// records in that folder against it; prints the head or what does not verify. The exit code.
int verify(const QString &file, const QString &reports, const QString &userDataDir);

} // namespace AuditCommand
