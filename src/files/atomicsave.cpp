#include "atomicsave.h"

#include "savetarget.h"

#ifdef Q_OS_UNIX
#include "fdwritedevice.h"
#include "syncfolder.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QSaveFile>
#endif

#ifdef Q_OS_UNIX

namespace {

// Tries before giving up on finding a free temporary name; a clash at all is already rare.
const int kNameTries = 100;

// A hidden name beside the target, so a file manager does not show the half-written file.
QByteArray temporaryName(const QFileInfo &target)
{
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray suffix(8, '0');
    for (char &c : suffix)
        c = kChars[QRandomGenerator::global()->bounded(int(sizeof kChars - 1))];
    return QFile::encodeName(target.absolutePath() + QStringLiteral("/.") + target.fileName()) + '.' + suffix;
}

} // namespace

SaveResult saveAtomically(
    const QString &fileName, const std::function<bool(QIODevice *)> &write, bool ownerOnly)
{
    const QString target = saveTarget(fileName);
    if (target.isEmpty())
        return SaveResult::notRegularFile();
    const QFileInfo targetInfo(target);
    const QByteArray targetPath = QFile::encodeName(targetInfo.absoluteFilePath());

    QByteArray temporary;
    int fd = -1;
    for (int i = 0; i < kNameTries && fd < 0; ++i) {
        temporary = temporaryName(targetInfo);
        // 0666 under the umask, as any new file of the user's gets; a secret's file is never more than 0600,
        // not even for the moment before the old file's bits are copied.
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, ownerOnly ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST)
            return SaveResult::systemError(errno);
    }
    if (fd < 0)
        return SaveResult::systemError(EEXIST);

    const auto fail = [&](int errorNumber) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(temporary.constData());
        return errorNumber != 0 ? SaveResult::systemError(errorNumber) : SaveResult::writerFailed();
    };

    struct stat old;
    // Best effort: a file system that cannot hold permission bits (a FAT stick) still takes the file.
    if (::stat(targetPath.constData(), &old) == 0)
        ::fchmod(fd, old.st_mode & (ownerOnly ? 0600 : 07777));

    FdWriteDevice device(fd);
    device.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    const bool written = write(&device);
    if (device.systemError() != 0 || !written)
        return fail(device.systemError());
    if (!device.flushBuffer())
        return fail(device.systemError());
    device.close();

    int result;
    do
        result = ::fsync(fd);
    while (result < 0 && errno == EINTR);
    if (result < 0)
        return fail(errno);
    // A failed close may be the first to tell of a lost write (NFS); the descriptor is gone either way.
    result = ::close(fd);
    fd = -1;
    if (result < 0 && errno != EINTR)
        return fail(errno);
    if (::rename(temporary.constData(), targetPath.constData()) < 0)
        return fail(errno);
    syncFolder(targetInfo.absolutePath());
    return SaveResult::success();
}

#else

// Windows keeps a user's files in a folder only the user can read; ownerOnly has nothing to add there.
SaveResult saveAtomically(const QString &fileName, const std::function<bool(QIODevice *)> &write, bool)
{
    const QString target = saveTarget(fileName);
    if (target.isEmpty())
        return SaveResult::notRegularFile();
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return SaveResult::failure(file.errorString());
    const bool written = write(&file);
    if (file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return SaveResult::failure(reason);
    }
    if (!written) {
        file.cancelWriting();
        return SaveResult::writerFailed();
    }
    if (!file.commit())
        return SaveResult::failure(file.errorString());
    return SaveResult::success();
}

#endif
