#include "auditcommand.h"

#include "files/audittrail.h"
#include "files/auditverification.h"

#include <QDir>

#include <cstdio>

namespace {

void print(FILE *to, const QString &text)
{
    std::fprintf(to, "%s\n", text.toLocal8Bit().constData());
}

} // namespace

int AuditCommand::verify(const QString &file, const QString &reports, const QString &userDataDir)
{
    using Outcome = AuditVerification::Result::Outcome;
    const QString log = file.isEmpty() ? AuditTrail::filePath(userDataDir) : file;
    const AuditVerification::Result result = AuditVerification::check(log, reports);
    const QString shown = QDir::toNativeSeparators(log);
    switch (result.outcome) {
    case Outcome::Unreadable:
        print(stderr, QStringLiteral("%1: cannot be read: %2").arg(shown, result.reason));
        return kUnreadable;
    case Outcome::BadLine:
        print(stderr,
            QStringLiteral("%1: line %2 does not verify: %3")
                .arg(shown)
                .arg(result.badLine)
                .arg(result.reason));
        return kBadLine;
    case Outcome::BadReports:
        for (const QString &problem : result.problems)
            print(stderr, problem);
        print(stderr,
            QStringLiteral("%1: %2 lines verify, but %3 of %4 reports do not agree with them")
                .arg(shown)
                .arg(result.lines)
                .arg(result.problems.size())
                .arg(result.reports));
        return kBadReports;
    case Outcome::Verified:
        break;
    }
    print(stdout, result.head);
    print(stderr,
        reports.isEmpty() ? QStringLiteral("%1: %2 lines verify").arg(shown).arg(result.lines)
                          : QStringLiteral("%1: %2 lines and %3 reports verify")
                                .arg(shown)
                                .arg(result.lines)
                                .arg(result.reports));
    return kVerified;
}
