#include "exclusivecommit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include "syncfolder.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef Q_OS_WIN

int commitExclusively(const QString &from, const QString &to)
{
    // Without MOVEFILE_REPLACE_EXISTING the system refuses a name that is taken, in the same step.
    if (MoveFileExW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(from).utf16()),
            reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(to).utf16()), MOVEFILE_WRITE_THROUGH))
        return 0;
    const DWORD error = GetLastError();
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? EEXIST : EIO;
}

QString fileIdentity(const QString &)
{
    return QString();
}

int linkFile(const QString &from, const QString &to)
{
    return CreateHardLinkW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(to).utf16()),
               reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(from).utf16()), nullptr)
        ? 0
        : EXDEV;
}

#else

namespace {

// A file system without RENAME_NOREPLACE (some network and FUSE ones) says so with one of these.
bool refusesNoReplace(int error)
{
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == ENOTSUP;
}

} // namespace

int commitExclusively(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0) {
        syncFolder(QFileInfo(to).absolutePath());
        return 0;
    }
    if (!refusesNoReplace(errno))
        return errno;
#endif
    // link() fails with EEXIST as atomically; the file then has both names for a moment.
    if (::link(source.constData(), target.constData()) != 0)
        return errno;
    ::unlink(source.constData());
    syncFolder(QFileInfo(to).absolutePath());
    return 0;
}

int linkFile(const QString &from, const QString &to)
{
    return ::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0 ? 0 : errno;
}

QString fileIdentity(const QString &path)
{
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return QString();
    return QString::number(quint64(info.st_dev)) + QLatin1Char(':') + QString::number(quint64(info.st_ino));
}

#endif
