#include "certificatecounter.h"

#include "files/saveresult.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#else
#include <QLockFile>
#include <QSaveFile>
#endif

namespace {

const QString kFileName = QStringLiteral("certificate-counter");
// Written at a fixed width, so a new value always covers the old one whole and the file never needs
// truncating: there is no moment at which it holds less than a number.
constexpr int kWidth = 20;

// The value a file holds: digits, spaces around them allowed; an empty file is a counter never raised.
bool parse(const QByteArray &bytes, qint64 *value)
{
    const QByteArray text = bytes.trimmed();
    if (text.isEmpty()) {
        *value = 0;
        return true;
    }
    // Digits only: a parser that stops at the first NUL or sign would read a damaged file as a number.
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    bool ok = false;
    *value = text.toLongLong(&ok);
    return ok && std::all_of(text.cbegin(), text.cend(), digit);
}

QByteArray format(qint64 value)
{
    return QByteArray::number(value).rightJustified(kWidth, '0') + '\n';
}

QString unreadable(const QString &path, const QString &reason)
{
    return QCoreApplication::translate(
        "CertificateCounter", "无法取得证书编号：计数文件 %1 无法使用（%2）。为免重复编号，本次不发编号。")
        .arg(QDir::toNativeSeparators(path), reason);
}

#ifdef Q_OS_UNIX

QString systemReason(int errorNumber)
{
    return SaveResult::systemError(errorNumber).reason();
}

// Reads all of `fd` from its start.
bool readAll(int fd, QByteArray *bytes)
{
    char buffer[256];
    qint64 offset = 0;
    for (;;) {
        const ssize_t got = ::pread(fd, buffer, sizeof buffer, offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        bytes->append(buffer, int(got));
        offset += got;
        // A counter is a few bytes; anything this long is not one.
        if (bytes->size() > 4096)
            return true;
    }
}

bool writeAll(int fd, const QByteArray &bytes)
{
    qint64 offset = 0;
    while (offset < bytes.size()) {
        const ssize_t put = ::pwrite(fd, bytes.constData() + offset, size_t(bytes.size() - offset), offset);
        if (put < 0 && errno == EINTR)
            continue;
        if (put == 0)
            errno = ENOSPC;
        if (put <= 0)
            return false;
        offset += put;
    }
    return true;
}

#endif

} // namespace

QString CertificateCounter::filePath(const QString &folder)
{
    return folder + QLatin1Char('/') + kFileName;
}

#ifdef Q_OS_UNIX

namespace {

// Raises the counter to the larger of its value and `floor`, plus one when `next`; the new value, or -1.
qint64 raiseCounter(const QString &path, qint64 floor, bool next, QString *error)
{
    const QString folder = QFileInfo(path).absolutePath();
    QDir().mkpath(folder);
    const bool existed = QFileInfo::exists(path);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        *error = unreadable(path, systemReason(errno));
        return qint64(-1);
    }
    const auto fail = [&](const QString &reason) {
        ::close(fd); // also releases the lock
        *error = unreadable(path, reason);
        return qint64(-1);
    };
    // Waits for the other instance, which holds it for one read and one write.
    int locked;
    do
        locked = ::flock(fd, LOCK_EX);
    while (locked < 0 && errno == EINTR);
    if (locked < 0)
        return fail(systemReason(errno));

    QByteArray bytes;
    qint64 last = 0;
    if (!readAll(fd, &bytes))
        return fail(systemReason(errno));
    if (!parse(bytes, &last))
        return fail(QCoreApplication::translate("CertificateCounter", "内容不是一个编号"));
    const qint64 number = qMax(last, floor) + (next ? 1 : 0);
    if (number == last) {
        ::close(fd);
        return number;
    }
    if (!writeAll(fd, format(number)))
        return fail(systemReason(errno));
    if (::fsync(fd) < 0)
        return fail(systemReason(errno));
    if (!existed || last == 0) {
        // The file's name must outlast a power cut too, or the next start would begin again at the floor.
        const int dir = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir < 0 || ::fsync(dir) < 0) {
            const int saved = errno;
            if (dir >= 0)
                ::close(dir);
            return fail(systemReason(saved));
        }
        ::close(dir);
    }
    ::close(fd);
    return number;
}

} // namespace

#else

namespace {

qint64 raiseCounter(const QString &path, qint64 floor, bool next, QString *error)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    // The file itself is replaced at each number, so the lock is a file beside it.
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.lock()) {
        *error = unreadable(path, QCoreApplication::translate("CertificateCounter", "无法锁定"));
        return qint64(-1);
    }
    qint64 last = 0;
    QFile current(path);
    if (current.exists()) {
        if (!current.open(QIODevice::ReadOnly)) {
            *error = unreadable(path, current.errorString());
            return qint64(-1);
        }
        if (!parse(current.read(4096), &last)) {
            *error = unreadable(path, QCoreApplication::translate("CertificateCounter", "内容不是一个编号"));
            return qint64(-1);
        }
        current.close();
    }
    const qint64 number = qMax(last, floor) + (next ? 1 : 0);
    if (number == last)
        return number;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(format(number)) < 0 || !file.commit()) {
        *error = unreadable(path, file.errorString());
        return qint64(-1);
    }
    return number;
}

} // namespace

#endif

qint64 CertificateCounter::take(const QString &path, qint64 floor, QString *error)
{
    return qMax(raiseCounter(path, floor, true, error), qint64(0));
}

bool CertificateCounter::seed(const QString &path, qint64 floor, QString *error)
{
    return raiseCounter(path, floor, false, error) >= 0;
}

qint64 CertificateCounter::legacyCount(const QString &configPath)
{
    QFile file(configPath);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    QXmlStreamReader xml(&file);
    int depth = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement())
            --depth;
        if (!xml.isStartElement())
            continue;
        ++depth;
        // Settings, then Chart, then the entry.
        if (depth == 3 && xml.name() == QLatin1String("CertificateCounter")) {
            bool ok = false;
            const qint64 count = xml.readElementText().trimmed().toLongLong(&ok);
            --depth;
            if (ok && count > 0)
                return count;
        }
    }
    return 0;
}
