// libFuzzer target for the settings loader: any bytes as config.xml must load without a crash or a hang
// and, once the defaults are applied, leave values the program can use. What the store then saves must
// load again without a fault and save to the very same file, so nothing read is lost on the way.
//
// The loader reads a path, so every input goes to config.xml in one folder of this process's own, which is
// emptied after each input (an unreadable file is moved aside).

#include "settings/recordestimate.h"
#include "settings/settings.h"
#include "settings/stabilitylimits.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <iostream>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

const QString kFolderPrefix = QStringLiteral("bb-fuzz-settings-");

// The folder of this process, named after it, removed at exit. A crash skips that, so each start removes
// the folders of fuzzers that no longer run.
class Folder
{
public:
    Folder()
    {
        // Memory-backed where there is such a folder: every save syncs to disk, which on a real disk costs
        // nine tenths of the speed.
        const QDir base(QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm")
                                                                           : QDir::tempPath());
        const QStringList names
            = base.entryList({kFolderPrefix + QLatin1Char('*')}, QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString &name : names) {
            bool ok = false;
            const qint64 pid = name.mid(kFolderPrefix.size()).toLongLong(&ok);
            if (ok && pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
                QDir(base.filePath(name)).removeRecursively();
        }
        path = base.filePath(kFolderPrefix + QString::number(QCoreApplication::applicationPid()));
        QDir(path).removeRecursively();
        check(QDir().mkpath(path));
    }
    ~Folder() { QDir(path).removeRecursively(); }
    Folder(const Folder &) = delete;
    Folder &operator=(const Folder &) = delete;

    QString path;
};

const QString &folder()
{
    static const Folder folder;
    return folder.path;
}

void emptyFolder()
{
    QDir dir(folder());
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names)
        check(dir.remove(name));
}

QByteArray readConfig(const QString &path)
{
    QFile file(path);
    check(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

// Every value the chart and its dialog read must be one they can show.
void checkUsable(const Settings &settings)
{
    const QString none;
    check(!settings.value(settings.chartLineWidthKey, none).isEmpty());
    check(!settings.value(settings.chartLineColorKey, none).isEmpty());
    check(!settings.value(settings.languageKey, none).isEmpty());
    bool ok = false;
    const int cache = settings.value(settings.chartLineCacheKey, none).toInt(&ok);
    check(ok && cache >= kMinCacheThousands && cache <= kMaxCacheThousands);
    check(indexOfInterval(settings.value(settings.chartLineFpsKey, none).toInt()) >= 0);
    const QString band = settings.value(settings.stableBandKey, QString::number(kDefaultStableBand));
    check(parseStableBand(band).has_value());
    const QString window = settings.value(settings.stableWindowKey, QString::number(kDefaultStableWindow));
    check(parseStableWindow(window).has_value());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Nothing may reach the user's own settings folder.
    QStandardPaths::setTestModeEnabled(true);
    // The loader explains every refused file on stderr; thousands of times a second that is only noise.
    std::cerr.rdbuf(nullptr);
    folder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    emptyFolder();
    const QString dir = folder();
    const QString path = dir + QStringLiteral("/config.xml");
    {
        QFile file(path);
        check(file.open(QIODevice::WriteOnly));
        check(file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
    }

    // Each store saves as it is destroyed, as the program's does at exit.
    {
        Settings settings;
        settings.configDir = dir;
        settings.load();
        settings.applyDefaults();
        checkUsable(settings);
    }
    const QByteArray saved = readConfig(path);
    {
        Settings settings;
        settings.configDir = dir;
        check(settings.load());
        settings.applyDefaults();
        checkUsable(settings);
    }
    check(readConfig(path) == saved);
    emptyFolder();
    return 0;
}
