#include "auditverification.h"

#include "control/auditline.h"
#include "files/filehash.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>

namespace {

// An issue line, where it stands in the chain.
struct Issue
{
    int index = 0; // 1-based line number
    QJsonObject details;
};

// The report `path`'s issue record against the chain; empty when it agrees, else why not.
QString checkRecord(const QString &path, const QHash<QString, int> &heads,
    const QHash<QString, Issue> &issues, const QString &folder)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("%1: cannot be read").arg(path);
    const QJsonObject kept = QJsonDocument::fromJson(file.readAll()).object();
    const QJsonObject record = kept.value(QLatin1String("issued")).toObject();
    if (record.isEmpty())
        return QStringLiteral("%1: not an issue record").arg(path);
    const QString number = record.value(QLatin1String("number")).toString();
    const QString sha256 = QString::fromLatin1(QCryptographicHash::hash(
        QJsonDocument(record).toJson(QJsonDocument::Compact), QCryptographicHash::Sha256)
                                                   .toHex());
    if (sha256 != kept.value(QLatin1String("sha256")).toString())
        return QStringLiteral("report %1: its issue record was altered (%2)").arg(number, path);
    const auto issue = issues.constFind(number);
    if (issue == issues.cend())
        return QStringLiteral("report %1: the trail has no line for its issue").arg(number);
    const QString head = record.value(QLatin1String("auditHead")).toString();
    const auto at = heads.constFind(head);
    // The head stood before the issue line: the lines between are other acts written meanwhile.
    if (head.isEmpty() || at == heads.cend() || *at >= issue->index)
        return QStringLiteral("report %1: the head it carries (%2) is not in the trail before line %3")
            .arg(number, head.left(16))
            .arg(issue->index);
    if (issue->details.value(QLatin1String("record")).toString() != sha256)
        return QStringLiteral("report %1: line %2 recorded another issue record")
            .arg(number)
            .arg(issue->index);
    for (const QJsonValue &value : issue->details.value(QLatin1String("files")).toArray()) {
        const QJsonObject entry = value.toObject();
        QString found = entry.value(QLatin1String("path")).toString();
        if (!QFileInfo(found).isFile())
            found = QDir(folder).filePath(QFileInfo(found).fileName());
        if (!QFileInfo(found).isFile())
            return QStringLiteral("report %1: %2 is missing")
                .arg(number, entry.value(QLatin1String("path")).toString());
        if (fileSha256(found) != entry.value(QLatin1String("sha256")).toString())
            return QStringLiteral("report %1: %2 is not the file issued").arg(number, found);
    }
    return QString();
}

} // namespace

AuditVerification::Result AuditVerification::check(const QString &log, const QString &reports)
{
    Result result;
    QFile file(log);
    if (!file.open(QIODevice::ReadOnly)) {
        result.reason = file.errorString();
        return result;
    }
    AuditCheck chain;
    // Every hash with its line, the zeros before the first; the last issue or signing line of each number.
    QHash<QString, int> heads {{QString::fromLatin1(AuditLine::kGenesis), 0}};
    QHash<QString, Issue> issues;
    int number = 0;
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        ++number;
        if (!line.endsWith('\n')) {
            result.outcome = Result::Outcome::BadLine;
            result.badLine = number;
            result.reason = QStringLiteral("it was cut short (the program's next start keeps it aside)");
            result.head = QString::fromLatin1(chain.head);
            result.lines = chain.lines;
            return result;
        }
        line.chop(1);
        chain.feed(line, number);
        if (!chain.ok)
            break;
        heads.insert(QString::fromLatin1(chain.head), number);
        AuditLine parsed;
        QString reason;
        // A certificate signed after its issue has its files' hashes anew in the later line.
        if (AuditCheck::parse(line, &parsed, &reason)
            && (parsed.act == QLatin1String("issued") || parsed.act == QLatin1String("signed")))
            issues.insert(parsed.details.value(QLatin1String("number")).toString(), {number, parsed.details});
    }
    result.head = QString::fromLatin1(chain.head);
    result.lines = chain.lines;
    if (!chain.ok) {
        result.outcome = Result::Outcome::BadLine;
        result.badLine = chain.badLine;
        result.reason = chain.reason;
        return result;
    }
    result.outcome = Result::Outcome::Verified;
    if (reports.isEmpty())
        return result;
    QDirIterator records(reports, {QStringLiteral("*.json")}, QDir::Files, QDirIterator::Subdirectories);
    QSet<QString> kept;
    while (records.hasNext()) {
        const QString path = records.next();
        ++result.reports;
        kept.insert(QFileInfo(path).completeBaseName());
        const QString problem = checkRecord(path, heads, issues, reports);
        if (!problem.isEmpty())
            result.problems << problem;
    }
    // A certificate removed with its record leaves only its line: the trail names what should be there.
    for (auto issue = issues.cbegin(); issue != issues.cend(); ++issue)
        if (!issue.key().isEmpty() && !kept.contains(issue.key()))
            result.problems << QStringLiteral(
                "report %1: issued at line %2, but its issue record is not in %3")
                                   .arg(issue.key())
                                   .arg(issue->index)
                                   .arg(reports);
    if (!result.problems.isEmpty())
        result.outcome = Result::Outcome::BadReports;
    return result;
}
