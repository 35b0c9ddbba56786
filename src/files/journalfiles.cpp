#include "journalfiles.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

QStringList journalFiles(const QString &folder, const QString &suffix)
{
    const QDir dir(folder);
    QStringList paths;
    const QStringList names = dir.entryList({QLatin1Char('*') + suffix}, QDir::Files, QDir::Name);
    for (const QString &name : names)
        paths << dir.filePath(name);
    return paths;
}

bool journalInUse(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return locked;
}
