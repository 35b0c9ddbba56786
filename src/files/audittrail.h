#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

// The audit trail's file: append only, one line per act (control/auditline.h), shared by every profile
// and instance of the user. Each append takes the certificate counter's lock, so lines of two instances
// never interleave and each chains onto the one truly before it, reads the last line for its seq and
// hash, and fsyncs the line before it returns. A last line a crash cut short is moved aside into
// "audit.log.torn-<utc>" and noted in a line of its own before the next one. Any thread; blocks while
// another process holds the lock.
class AuditTrail
{
public:
    // `log` is the trail's file, `lock` the certificate counter's.
    AuditTrail(const QString &log, const QString &lock);

    // The trail's file in the user's data folder `folder`.
    static QString filePath(const QString &folder);
    // The operating system's user this process runs as.
    static QString osUser();

    // Appends the act and returns the new head (64 hex digits); empty, with the reason in `error`, when
    // the line is not on disk. `operatorName` is the run's operator, empty when none is named.
    QString append(
        const QString &act, const QJsonObject &details, const QString &operatorName, QString *error);
    // The hash of the last whole line, 64 zeros for an empty trail; empty, with the reason, when it
    // cannot be read.
    QString head(QString *error = nullptr) const;

    QString path() const { return m_log; }

private:
    QString m_log;
    QString m_lock;
};
