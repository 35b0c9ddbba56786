#include "settings.h"

#include "files/atomicsave.h"
#include "profile.h"
#include "recordestimate.h"
#include "stabilitylimits.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QThread>
#include <QXmlStreamWriter>

#include <iostream>
#include <utility>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#else
#include <QLockFile>
#endif

namespace {

const QString kFileName = QStringLiteral("config.xml");
// Another instance holds the lock for one read and one write of a small file; a lock held longer than
// this belongs to one that hangs, and waiting on would freeze the window.
constexpr int kLockWaitMs = 5000;

// Stderr rather than the Qt log: these lines must appear even where a message handler swallows qDebug.
void printError(const QString &line)
{
    std::cerr << line.toLocal8Bit().constData() << std::endl;
}

// Held while config.xml is read, merged and replaced. On Unix a lock on the folder that holds it, which
// nothing ever writes: the kernel lets go when the holder dies, a full disk cannot stop it, and no lock
// file is left beside the settings. Windows keeps a lock file beside config.xml.
class ConfigLock
{
public:
    explicit ConfigLock(const QString &configPath)
#ifdef Q_OS_UNIX
        : m_fd(::open(QFile::encodeName(QFileInfo(configPath).absolutePath()).constData(),
            O_RDONLY | O_DIRECTORY | O_CLOEXEC))
#else
        : m_lock(configPath + QStringLiteral(".lock"))
#endif
    { }
    ~ConfigLock()
    {
#ifdef Q_OS_UNIX
        if (m_fd >= 0)
            ::close(m_fd); // lets go of the lock
#endif
    }
    ConfigLock(const ConfigLock &) = delete;
    ConfigLock &operator=(const ConfigLock &) = delete;

    // Waits at most `ms` for another instance to finish its save.
    bool lock(int ms)
    {
#ifdef Q_OS_UNIX
        if (m_fd < 0)
            return false;
        QElapsedTimer waited;
        waited.start();
        while (::flock(m_fd, LOCK_EX | LOCK_NB) < 0) {
            if ((errno != EWOULDBLOCK && errno != EINTR) || waited.hasExpired(ms))
                return false;
            QThread::msleep(10);
        }
        return true;
#else
        return m_lock.tryLock(ms);
#endif
    }

private:
#ifdef Q_OS_UNIX
    int m_fd = -1;
#else
    QLockFile m_lock;
#endif
};

// A carriage return written as it is would not read back: text mode drops it, and XML readers turn line
// ends into line feeds anyway. As a character reference it comes back unchanged.
void writeTextElement(QXmlStreamWriter &writer, const QString &name, const QString &text)
{
    writer.writeStartElement(name);
    const QStringList parts = text.split(QLatin1Char('\r'));
    for (int i = 0; i < parts.size(); ++i) {
        if (i > 0)
            writer.writeEntityReference(QStringLiteral("#13"));
        writer.writeCharacters(parts.at(i));
    }
    writer.writeEndElement();
}

} // namespace

// After the constants above, so they outlive it: it saves while it is destroyed.
Settings appSettings;

Settings::Settings() = default;

Settings::~Settings()
{
    // A store that was never loaded has no file of its own (a tool, a test).
    if (configDir.isEmpty())
        return;
    const SaveResult saved = saveMerged(true);
    if (!saved)
        printError(
            QStringLiteral("Error: Cannot write file ") + filePath() + QStringLiteral(": ") + saved.reason());
}

QString Settings::filePath() const
{
    if (configDir.isEmpty())
        return QString();
    return configDir + QLatin1Char('/') + kFileName;
}

bool Settings::load()
{
    if (configDir.isEmpty())
        configDir = Profile::configDir(profile);
    if (dataDir.isEmpty())
        dataDir = Profile::dataDir(profile);
    if (userDataDir.isEmpty())
        userDataDir = Profile::userDataDir();
    QDir().mkpath(configDir);

    const QString path = filePath();
    if (readFile(path, &values) == ReadOutcome::Read)
        return true;
    // What was read before the fault exists now only here: the next save writes it back.
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        m_changed.insert(it.key());
    return false;
}

Settings::ReadOutcome Settings::readFile(const QString &path, QHash<QString, QString> *into)
{
    const QFileInfo info(path);
    // A pipe would block the start-up; a device is not ours to move.
    if (info.exists() && !info.isFile()) {
        printError(
            QStringLiteral("Error: Cannot read file ") + path + QStringLiteral(": not a regular file"));
        return ReadOutcome::Failed;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        printError(
            QStringLiteral("Error: Cannot read file ") + path + QStringLiteral(": ") + file.errorString());
        if (!info.exists())
            return ReadOutcome::Missing;
        moveAside(path);
        return ReadOutcome::Failed;
    }

    reader.setDevice(&file);
    reader.readNext();
    while (!reader.atEnd()) {
        if (reader.isStartElement()) {
            if (reader.name() == rootElement)
                readSettingsElement(into);
            else
                reader.raiseError(tr("Not a settings file"));
        } else {
            reader.readNext();
        }
    }
    file.close();

    // Taken before the device is detached: detaching resets the reader's error state.
    const bool parseFailed = reader.hasError();
    const QString parseError = reader.errorString();
    reader.setDevice(nullptr);

    if (parseFailed) {
        printError(QStringLiteral("Error: Failed to parse file ") + path + QStringLiteral(": ") + parseError);
        moveAside(path);
        return ReadOutcome::Failed;
    }
    if (file.error() != QFileDevice::NoError) {
        printError(
            QStringLiteral("Error: Cannot read file ") + path + QStringLiteral(": ") + file.errorString());
        moveAside(path);
        return ReadOutcome::Failed;
    }
    return ReadOutcome::Read;
}

void Settings::moveAside(const QString &path)
{
    const QString base = path + QStringLiteral(".bad-")
        + QLocale::c().toString(QDateTime::currentDateTime(), QStringLiteral("yyyyMMdd-hhmmss"));
    QString aside = base;
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n)
        aside = base + QLatin1Char('-') + QString::number(n);
    QFile file(path);
    if (file.rename(aside)) {
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        printError(QStringLiteral("Moved unreadable file ") + path + QStringLiteral(" to ") + aside);
        return;
    }
    m_keepUnreadableFile = true;
    printError(QStringLiteral("Error: Cannot move unreadable file ") + path + QStringLiteral(" aside: ")
        + file.errorString() + QStringLiteral("; settings will not be saved"));
}

void Settings::readSettingsElement(QHash<QString, QString> *into)
{
    reader.readNext();
    while (!reader.atEnd()) {
        if (reader.isEndElement()) {
            reader.readNext();
            return;
        }
        if (!reader.isStartElement()) {
            reader.readNext();
        } else if (reader.name() == chartElement) {
            readChartElement(into);
        } else {
            skipUnknownElement();
        }
    }
}

void Settings::readChartElement(QHash<QString, QString> *into)
{
    reader.readNext();
    while (!reader.atEnd()) {
        if (reader.isEndElement()) {
            reader.readNext();
            return;
        }
        if (reader.isStartElement()) {
            const QString key = reader.name().toString();
            // Leaves the reader on the entry's end tag, which must not be mistaken for the end of "Chart".
            const QString text = reader.readElementText();
            if (reader.hasError())
                return;
            into->insert(key, text);
        }
        reader.readNext();
    }
}

void Settings::skipUnknownElement()
{
    // Counted rather than recursive, so a hostile file nested a million deep cannot exhaust the stack.
    int depth = 1;
    reader.readNext();
    while (!reader.atEnd() && depth > 0) {
        if (reader.isEndElement())
            --depth;
        else if (reader.isStartElement())
            ++depth;
        reader.readNext();
    }
}

void Settings::applyDefaults()
{
    const std::pair<QString, QString> defaults[] = {
        {chartLineWidthKey, QStringLiteral("2")},
        {chartLineColorKey, QStringLiteral("255")},
        {chartLineCacheKey, QStringLiteral("1000")},
        {chartLineFpsKey, QStringLiteral("100")},
        {languageKey, QStringLiteral("Simplified Chinese")},
    };
    for (const auto &[key, text] : defaults) {
        if (!isUsableValue(key, values.value(key))) {
            values.insert(key, text);
            m_defaulted.insert(key);
        }
    }
    const std::pair<QString, QString> repaired[] = {
        {stableBandKey, QString::number(kDefaultStableBand)},
        {stableWindowKey, QString::number(kDefaultStableWindow)},
    };
    for (const auto &[key, text] : repaired) {
        if (values.contains(key) && !isUsableValue(key, values.value(key))) {
            values.insert(key, text);
            m_defaulted.insert(key);
        }
    }
}

bool Settings::isUsableValue(const QString &key, const QString &text) const
{
    bool ok = false;
    const int number = text.toInt(&ok);
    if (key == chartLineCacheKey)
        return ok && number >= kMinCacheThousands && number <= kMaxCacheThousands;
    if (key == chartLineFpsKey)
        return ok && indexOfInterval(number) >= 0;
    if (key == stableBandKey)
        return parseStableBand(text).has_value();
    if (key == stableWindowKey)
        return parseStableWindow(text).has_value();
    return !text.isEmpty();
}

QStringList Settings::orderedKeys(const QHash<QString, QString> &entries) const
{
    const QStringList known = {chartLineWidthKey, chartLineColorKey, chartLineCacheKey, chartLineFpsKey,
        languageKey, stableBandKey, stableWindowKey};
    QStringList others;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        if (!known.contains(it.key()))
            others.append(it.key());
    }
    others.sort();

    QStringList keys;
    for (const QString &key : known) {
        if (entries.contains(key))
            keys.append(key);
    }
    return keys + others;
}

SaveResult Settings::save()
{
    return saveMerged(false);
}

SaveResult Settings::saveMerged(bool onlyIfChanged)
{
    // Without a loaded folder there is no file of ours to write; guessing one would litter the disk.
    if (configDir.isEmpty())
        return SaveResult::failure(tr("设置尚未载入"));
    if (m_keepUnreadableFile)
        return SaveResult::failure(tr("无法读取的设置文件未能移开，不能覆盖"));

    const QString path = filePath();
    // Not on config.xml itself: the file is replaced by a rename at every save.
    ConfigLock lock(path);
    if (!lock.lock(kLockWaitMs))
        return SaveResult::failure(tr("设置文件正被另一个程序实例占用（%1）").arg(path));

    QHash<QString, QString> onDisk;
    const QFileInfo info(path);
    // Anything but a regular file is refused by the write below; it is not read first (a pipe blocks).
    const bool unread = info.exists() && (!info.isFile() || readFile(path, &onDisk) != ReadOutcome::Read);
    if (m_keepUnreadableFile)
        return SaveResult::failure(tr("无法读取的设置文件未能移开，不能覆盖"));
    QHash<QString, QString> merged = onDisk;
    for (const QString &key : qAsConst(m_changed))
        merged.insert(key, values.value(key));
    for (const QString &key : qAsConst(m_defaulted)) {
        if (!isUsableValue(key, merged.value(key)))
            merged.insert(key, values.value(key));
    }

    if (!onlyIfChanged || unread || merged != onDisk) {
        const QStringList keys = orderedKeys(merged);
        // Once private, the file stays so: a save keeps the permissions of the file it replaces.
        const bool holdsSecret = !merged.value(mqttPasswordKey).isEmpty();
        const SaveResult saved = saveAtomically(
            path,
            [this, &keys, &merged](QIODevice *file) {
                QXmlStreamWriter writer(file);
                writer.setCodec("UTF-8");
                writer.setAutoFormatting(true);
                writer.setAutoFormattingIndent(4);
                writer.writeStartDocument();
                writer.writeStartElement(rootElement);
                writer.writeStartElement(chartElement);
                for (const QString &key : keys)
                    writeTextElement(writer, key, merged.value(key));
                writer.writeEndElement();
                writer.writeEndElement();
                writer.writeEndDocument();
                return !writer.hasError();
            },
            holdsSecret);
        if (!saved)
            return saved;
    }
    // What other instances wrote is now this one's too; only later changes are this instance's own.
    for (auto it = merged.cbegin(); it != merged.cend(); ++it)
        values.insert(it.key(), it.value());
    m_changed.clear();
    m_defaulted.clear();
    const QHash<QString, QString> from = std::exchange(m_changedFrom, {});
    QStringList keys = from.keys();
    keys.sort();
    for (const QString &key : qAsConst(keys))
        if (from.value(key) != merged.value(key))
            emit valueChanged(key, from.value(key), merged.value(key));
    return SaveResult::success();
}

QString Settings::value(const QString &key, const QString &fallback) const
{
    const QString text = values.value(key);
    return text.isEmpty() ? fallback : text;
}

void Settings::setValue(const QString &key, const QString &text)
{
    // Setting what is already there is no change of this instance's: it must not put back an old value
    // over another instance's newer one.
    const auto it = values.constFind(key);
    if (it != values.cend() && *it == text)
        return;
    const QString old = it != values.cend() ? *it : QString();
    values.insert(key, text);
    m_changed.insert(key);
    m_defaulted.remove(key);
    if (!m_changedFrom.contains(key))
        m_changedFrom.insert(key, old);
}
