#include "audittrail.h"

#include "control/auditline.h"
#include "files/saveresult.h"
#include "files/syncfolder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray kHashMember = QByteArrayLiteral(",\"hash\":\"");

QString failure(const QString &path, const QString &reason)
{
    return QCoreApplication::translate("AuditTrail", "无法写入审计记录 %1（%2）。")
        .arg(QDir::toNativeSeparators(path), reason);
}

QString systemReason(int errorNumber)
{
    return SaveResult::systemError(errorNumber).reason();
}

// An open file descriptor, closed (and so unlocked) when it goes.
class Descriptor
{
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    { }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd = -1;
};

int openFile(const QString &path, int flags)
{
    int fd;
    do
        fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC, 0644);
    while (fd < 0 && errno == EINTR);
    return fd;
}

bool lockExclusive(int fd)
{
    int locked;
    do
        locked = ::flock(fd, LOCK_EX);
    while (locked < 0 && errno == EINTR);
    return locked == 0;
}

bool readAt(int fd, qint64 offset, qint64 length, QByteArray *into)
{
    into->resize(int(length));
    qint64 done = 0;
    while (done < length) {
        const ssize_t got = ::pread(fd, into->data() + done, size_t(length - done), offset + done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        done += got;
    }
    return true;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put == 0)
            errno = ENOSPC;
        if (put <= 0)
            return false;
        done += put;
    }
    return true;
}

// Where the trail's last whole line ends, and what is after it (a torn line, or nothing).
struct Tail
{
    qint64 size = 0;
    qint64 wholeEnd = 0; // the offset just past the last '\n'
    QByteArray lastLine; // without its '\n'
};

bool readTail(int fd, Tail *tail)
{
    struct stat info
    {
    };
    if (::fstat(fd, &info) < 0)
        return false;
    tail->size = info.st_size;
    // Back from the end in blocks, until the line end before the last whole line is found.
    constexpr qint64 kBlock = 4096;
    QByteArray bytes;
    qint64 from = tail->size;
    int newlines = 0;
    while (from > 0 && newlines < 2) {
        const qint64 length = qMin(kBlock, from);
        QByteArray block;
        if (!readAt(fd, from - length, length, &block))
            return false;
        from -= length;
        bytes.prepend(block);
        newlines = bytes.count('\n');
    }
    const int lastEnd = bytes.lastIndexOf('\n');
    tail->wholeEnd = lastEnd < 0 ? 0 : from + lastEnd + 1;
    if (lastEnd >= 0) {
        const int start = lastEnd > 0 ? bytes.lastIndexOf('\n', lastEnd - 1) + 1 : 0;
        tail->lastLine = bytes.mid(start, lastEnd - start);
    }
    return true;
}

// The seq and hash the last line carries; false when it carries none.
bool chainOf(const QByteArray &line, qint64 *seq, QByteArray *hash)
{
    if (line.isEmpty()) {
        *seq = 0;
        *hash = AuditLine::kGenesis;
        return true;
    }
    AuditLine parsed;
    QString reason;
    if (!AuditCheck::parse(line, &parsed, &reason))
        return false;
    *seq = parsed.seq;
    *hash = line.mid(line.lastIndexOf(kHashMember) + kHashMember.size(), 64);
    return true;
}

} // namespace

AuditTrail::AuditTrail(const QString &log, const QString &lock)
    : m_log(log)
    , m_lock(lock)
{ }

QString AuditTrail::filePath(const QString &folder)
{
    return folder + QStringLiteral("/audit.log");
}

QString AuditTrail::osUser()
{
    if (const passwd *entry = ::getpwuid(::getuid()))
        return QString::fromLocal8Bit(entry->pw_name);
    return qEnvironmentVariable("USER");
}

QString AuditTrail::append(
    const QString &act, const QJsonObject &details, const QString &operatorName, QString *error)
{
    const QString folder = QFileInfo(m_log).absolutePath();
    QDir().mkpath(folder);
    const Descriptor lock(openFile(m_lock, O_RDWR | O_CREAT));
    if (lock.fd() < 0 || !lockExclusive(lock.fd())) {
        *error = failure(m_lock, systemReason(errno));
        return QString();
    }
    const bool existed = QFileInfo::exists(m_log);
    const Descriptor log(openFile(m_log, O_RDWR | O_CREAT | O_APPEND));
    Tail tail;
    if (log.fd() < 0 || !readTail(log.fd(), &tail)) {
        *error = failure(m_log, systemReason(errno));
        return QString();
    }
    if (!existed)
        syncFolder(folder);
    qint64 seq = 0;
    QByteArray last;
    if (!chainOf(tail.lastLine, &seq, &last)) {
        // A line that does not read is for the check to name; chaining past it would hide it.
        *error = failure(m_log, QCoreApplication::translate("AuditTrail", "最后一行已损坏"));
        return QString();
    }
    const QString user = osUser();
    const auto write = [&](const QString &what, const QJsonObject &said) {
        AuditLine line = AuditLine::after(seq, last);
        line.utc = QDateTime::currentDateTimeUtc();
        line.osUser = user;
        line.operatorName = operatorName;
        line.act = what;
        line.details = said;
        if (!writeAll(log.fd(), line.bytes()) || ::fsync(log.fd()) < 0) {
            *error = failure(m_log, systemReason(errno));
            return false;
        }
        seq = line.seq;
        last = line.hash();
        return true;
    };
    if (tail.wholeEnd < tail.size) {
        // A crash cut the last line short: its bytes are kept aside, and the trail says so.
        QByteArray torn;
        const QString aside = m_log + QStringLiteral(".torn-")
            + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddTHHmmss.zzzZ"));
        const Descriptor kept(openFile(aside, O_WRONLY | O_CREAT | O_EXCL));
        if (!readAt(log.fd(), tail.wholeEnd, tail.size - tail.wholeEnd, &torn) || kept.fd() < 0
            || !writeAll(kept.fd(), torn) || ::fsync(kept.fd()) < 0) {
            *error = failure(aside, systemReason(errno));
            return QString();
        }
        syncFolder(folder);
        if (::ftruncate(log.fd(), tail.wholeEnd) < 0 || ::fsync(log.fd()) < 0) {
            *error = failure(m_log, systemReason(errno));
            return QString();
        }
        if (!write(QStringLiteral("tornLineKept"),
                {{QStringLiteral("file"), QFileInfo(aside).fileName()},
                    {QStringLiteral("bytes"), QString::number(torn.size())}}))
            return QString();
    }
    if (!write(act, details))
        return QString();
    return QString::fromLatin1(last);
}

QString AuditTrail::head(QString *error) const
{
    if (!QFileInfo::exists(m_log))
        return QString::fromLatin1(AuditLine::kGenesis);
    const Descriptor lock(openFile(m_lock, O_RDWR | O_CREAT));
    if (lock.fd() < 0 || !lockExclusive(lock.fd())) {
        if (error)
            *error = failure(m_lock, systemReason(errno));
        return QString();
    }
    const Descriptor log(openFile(m_log, O_RDONLY));
    Tail tail;
    qint64 seq = 0;
    QByteArray hash;
    if (log.fd() < 0 || !readTail(log.fd(), &tail)) {
        if (error)
            *error = failure(m_log, systemReason(errno));
        return QString();
    }
    if (!chainOf(tail.lastLine, &seq, &hash)) {
        if (error)
            *error = failure(m_log, QCoreApplication::translate("AuditTrail", "最后一行已损坏"));
        return QString();
    }
    return QString::fromLatin1(hash);
}
