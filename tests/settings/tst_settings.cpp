#include "settings/chartsettings.h"
#include "settings/profile.h"
#include "settings/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QXmlStreamReader>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kSaveLoopArg[] = "--save-loop";
const char kExitWithLanguageArg[] = "--exit-with-language";
constexpr int kLoopEntries = 20000;

QString configDirOf(const QString &appName)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/')
        + appName;
}

// Redirects file descriptor 2 into a temporary file, so the test sees exactly what reaches stderr.
class StderrCapture
{
public:
    StderrCapture()
    {
        m_file.open();
        std::cerr.flush();
        std::fflush(stderr);
        m_saved = ::dup(2);
        ::dup2(m_file.handle(), 2);
    }
    ~StderrCapture() { restore(); }

    QStringList lines()
    {
        restore();
        m_file.seek(0);
        const QString text = QString::fromLocal8Bit(m_file.readAll());
        QStringList result = text.split(QLatin1Char('\n'));
        if (!result.isEmpty() && result.last().isEmpty())
            result.removeLast();
        return result;
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::cerr.flush();
        std::fflush(stderr);
        ::dup2(m_saved, 2);
        ::close(m_saved);
        m_saved = -1;
    }

    QTemporaryFile m_file;
    int m_saved = -1;
};

// An independent reading of config.xml, so the checks do not rest on the reader under test.
struct ParsedFile
{
    bool ok = false;
    QString root;
    QHash<QString, QString> entries;
};

ParsedFile parseFile(const QString &path)
{
    ParsedFile parsed;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return parsed;
    QXmlStreamReader xml(&file);
    int depth = 0;
    QString key;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            ++depth;
            if (depth == 1)
                parsed.root = xml.name().toString();
            if (depth == 3)
                key = xml.name().toString();
        } else if (xml.isCharacters() && depth == 3) {
            parsed.entries[key] += xml.text().toString();
        } else if (xml.isEndElement()) {
            if (depth == 3 && !parsed.entries.contains(key))
                parsed.entries.insert(key, QString());
            --depth;
        }
    }
    parsed.ok = !xml.hasError();
    return parsed;
}

// Child mode: saves ever newer versions of a large map until it is killed. Each version holds one
// value in every entry, so a reader can tell a complete file from a mixture or a torn one.
int runSaveLoop(const QString &appName)
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(appName);
    Settings settings;
    settings.load();
    // Continues from the version on disk, so versions count completed saves across killed children.
    const int first = settings.value(QStringLiteral("Version"), QStringLiteral("0")).toInt() + 1;
    for (int version = first;; ++version) {
        const QString text = QString::number(version);
        for (int i = 0; i < kLoopEntries; ++i)
            settings.setValue(QStringLiteral("Entry%1").arg(i, 5, 10, QLatin1Char('0')), text);
        settings.setValue(QStringLiteral("Version"), text);
        // Announced first, so the parent can kill while the file is being written.
        std::printf("saving %d\n", version);
        std::fflush(stdout);
        settings.save();
    }
}

// Child mode: behaves like the program, changing the language and leaving the final save to the
// destruction of the global store.
int runExitWithLanguage(const QString &appName)
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(appName);
    appSettings.load();
    appSettings.applyDefaults();
    appSettings.setValue(appSettings.languageKey, QStringLiteral("English"));
    return 0;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstStartCreatesFolderReportsMissingFileAndWritesDefaults();
    void folderEndsInApplicationName();
    void configDirIsNotRecomputedByLaterLoads();
    void unreadableXmlIsReportedAndDefaultsFillTheRest_data();
    void unreadableXmlIsReportedAndDefaultsFillTheRest();
    void wrongRootIsReplacedBySettingsDocumentAtNextSave();
    void emptyValueFallsBack_data();
    void emptyValueFallsBack();
    void storedChartValuesTheDialogCannotShowFallBack_data();
    void storedChartValuesTheDialogCannotShowFallBack();
    void chartTakesTheStoredCapacityAndInterval_data();
    void chartTakesTheStoredCapacityAndInterval();
    void valueReturnsStoredTextOrFallback();
    void unknownKeyUnderChartIsKeptAndWrittenBack();
    void elementBesideChartIsDroppedAtNextSave();
    void severalChartElementsAreAllReadLaterWins();
    void valuesSurviveRoundTrip();
    void saveBeforeLoadWritesNothing();
    void fileHoldingAPasswordIsTheUsersAlone();
    void saveWritesThroughLinksAndRefusesOtherFiles_data();
    void saveWritesThroughLinksAndRefusesOtherFiles();
    void changeIsToldOnceTheFileHoldsIt();
    void languageChangeReachesFileAtProgramExit();
    void interruptedSaveLeavesPreviousFileIntact();
    void profileNamesAreSafeFolderNames_data();
    void profileNamesAreSafeFolderNames();
    void namedProfileKeepsItsFilesApart();
    void exitSaveWritesOnlyThisInstancesChanges_data();
    void exitSaveWritesOnlyThisInstancesChanges();

private:
    QString dir() const { return configDirOf(m_appName); }
    QString path() const { return dir() + QStringLiteral("/config.xml"); }
    void writeConfig(const QByteArray &content);
    QByteArray readConfig() const;

    QString m_appName;
    int m_counter = 0;
};

void TestSettings::init()
{
    // Unique per process and test, so parallel runs from other build trees never share a folder.
    m_appName
        = QStringLiteral("bb-tst-settings-%1-%2").arg(QCoreApplication::applicationPid()).arg(++m_counter);
    QCoreApplication::setApplicationName(m_appName);
    QDir(dir()).removeRecursively();
}

void TestSettings::cleanup()
{
    QDir(dir()).removeRecursively();
}

void TestSettings::writeConfig(const QByteArray &content)
{
    QVERIFY(QDir().mkpath(dir()));
    QFile file(path());
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

QByteArray TestSettings::readConfig() const
{
    QFile file(path());
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void TestSettings::firstStartCreatesFolderReportsMissingFileAndWritesDefaults()
{
    QVERIFY(!QFileInfo::exists(dir()));
    {
        Settings settings;
        StderrCapture capture;
        QVERIFY(!settings.load());
        const QStringList lines = capture.lines();
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().startsWith(QStringLiteral("Error: Cannot read file ") + path() + ": "),
            qPrintable(lines.first()));
        QVERIFY(QFileInfo(dir()).isDir());
        QVERIFY(!QFileInfo::exists(path()));

        settings.applyDefaults();
        QCOMPARE(settings.value(settings.chartLineWidthKey, QString()), QStringLiteral("2"));
        QCOMPARE(settings.value(settings.chartLineColorKey, QString()), QStringLiteral("255"));
        QCOMPARE(settings.value(settings.chartLineCacheKey, QString()), QStringLiteral("1000"));
        QCOMPARE(settings.value(settings.chartLineFpsKey, QString()), QStringLiteral("100"));
        QCOMPARE(settings.value(settings.languageKey, QString()), QStringLiteral("Simplified Chinese"));
    } // the destructor writes the file

    const QList<QByteArray> lines = readConfig().split('\n');
    QCOMPARE(lines.size(), 11);
    QCOMPARE(lines.at(0), QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    QCOMPARE(lines.at(1), QByteArray("<Settings>"));
    QCOMPARE(lines.at(2), QByteArray("    <Chart>"));
    QCOMPARE(lines.at(8), QByteArray("    </Chart>"));
    QCOMPARE(lines.at(9), QByteArray("</Settings>"));
    QCOMPARE(lines.at(10), QByteArray()); // final line end
    QList<QByteArray> entries = lines.mid(3, 5);
    std::sort(entries.begin(), entries.end());
    const QList<QByteArray> expected = {
        "        <ChartLineCache>1000</ChartLineCache>",
        "        <ChartLineColor>255</ChartLineColor>",
        "        <ChartLineFPS>100</ChartLineFPS>",
        "        <ChartLineWidth>2</ChartLineWidth>",
        "        <Language>Simplified Chinese</Language>",
    };
    QCOMPARE(entries, expected);
}

void TestSettings::folderEndsInApplicationName()
{
    Settings settings;
    QVERIFY(settings.filePath().isEmpty());
    StderrCapture capture;
    settings.load();
    QCOMPARE(settings.configDir, dir());
    QVERIFY(settings.configDir.endsWith(QLatin1Char('/') + m_appName));
    QCOMPARE(settings.filePath(), path());
}

void TestSettings::configDirIsNotRecomputedByLaterLoads()
{
    writeConfig("<Settings><Chart><ChartLineFPS>50</ChartLineFPS></Chart></Settings>");
    Settings settings;
    QVERIFY(settings.load());
    QCoreApplication::setApplicationName(QStringLiteral("renamed-by-the-window"));
    QVERIFY(settings.load());
    QCoreApplication::setApplicationName(m_appName);
    QCOMPARE(settings.configDir, dir());
    QCOMPARE(settings.value(settings.chartLineFpsKey, QString()), QStringLiteral("50"));
    QVERIFY(!QFileInfo::exists(configDirOf(QStringLiteral("renamed-by-the-window"))));
}

void TestSettings::unreadableXmlIsReportedAndDefaultsFillTheRest_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("errorText"); // empty: any reader message
    QTest::addColumn<QString>("fps");

    QTest::newRow("empty file") << QByteArray() << QString() << "100";
    QTest::newRow("binary noise") << QByteArray("\x00\xff\x13<<&&\x7f", 9) << QString() << "100";
    QTest::newRow("mismatched tags") << QByteArray("<Settings><Chart><ChartLineFPS>50</Chart></Settings>")
                                     << QString() << "100";
    QTest::newRow("truncated after an entry")
        << QByteArray("<Settings>\n    <Chart>\n        <ChartLineFPS>50</ChartLineFPS>\n        <Langu")
        << QString() << "50";
    QTest::newRow("element inside an entry")
        << QByteArray("<Settings><Chart><ChartLineFPS>50</ChartLineFPS>"
                      "<Language><b>English</b></Language></Chart></Settings>")
        << QString() << "50";
    QTest::newRow("wrong root") << QByteArray(
        "<Config><Chart><ChartLineFPS>50</ChartLineFPS></Chart></Config>")
                                << QStringLiteral("Not a settings file") << "100";
    QTest::newRow("two roots") << QByteArray(
        "<Settings><Chart><ChartLineFPS>50</ChartLineFPS></Chart></Settings><Settings/>")
                               << QString() << "50";
}

void TestSettings::unreadableXmlIsReportedAndDefaultsFillTheRest()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, errorText);
    QFETCH(QString, fps);

    writeConfig(content);
    Settings settings;
    StderrCapture capture;
    QVERIFY(!settings.load());
    const QStringList lines = capture.lines();
    QCOMPARE(lines.size(), 2);
    const QString prefix = QStringLiteral("Error: Failed to parse file ") + path() + ": ";
    QVERIFY2(lines.first().startsWith(prefix), qPrintable(lines.first()));
    QVERIFY(lines.first().size() > prefix.size());
    if (!errorText.isEmpty())
        QVERIFY2(lines.first().endsWith(errorText), qPrintable(lines.first()));

    // Moved aside, under a name with the date and time, before anything could replace it.
    const QStringList aside = QDir(dir()).entryList({QStringLiteral("config.xml.bad-*")});
    QCOMPARE(aside.size(), 1);
    QVERIFY2(QRegularExpression(QStringLiteral("^config\\.xml\\.bad-\\d{8}-\\d{6}$"))
                 .match(aside.first())
                 .hasMatch(),
        qPrintable(aside.first()));
    const QString asidePath = dir() + QLatin1Char('/') + aside.first();
    QCOMPARE(
        lines.at(1), QStringLiteral("Moved unreadable file ") + path() + QStringLiteral(" to ") + asidePath);
    QVERIFY(!QFileInfo::exists(path()));

    settings.applyDefaults();
    QCOMPARE(settings.value(settings.chartLineFpsKey, QString()), fps);
    QCOMPARE(settings.value(settings.languageKey, QString()), QStringLiteral("Simplified Chinese"));
    QCOMPARE(settings.value(settings.chartLineCacheKey, QString()), QStringLiteral("1000"));
    settings.save();
    QCOMPARE(parseFile(path()).entries.value(QStringLiteral("ChartLineFPS")), fps);
    QFile kept(asidePath);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), content);
    // It may hold a password.
    QCOMPARE(kept.permissions() & 0x0077, QFileDevice::Permissions());
}

void TestSettings::wrongRootIsReplacedBySettingsDocumentAtNextSave()
{
    writeConfig("<?xml version=\"1.0\"?>\n<Preferences><Chart><Language>English</Language></Chart>"
                "</Preferences>\n");
    {
        Settings settings;
        StderrCapture capture;
        QVERIFY(!settings.load());
        settings.applyDefaults();
        QCOMPARE(settings.value(settings.languageKey, QString()), QStringLiteral("Simplified Chinese"));
        settings.save();
    }
    const ParsedFile parsed = parseFile(path());
    QVERIFY(parsed.ok);
    QCOMPARE(parsed.root, QStringLiteral("Settings"));
    QCOMPARE(parsed.entries.value(QStringLiteral("Language")), QStringLiteral("Simplified Chinese"));

    Settings again;
    StderrCapture capture;
    QVERIFY(again.load());
    QVERIFY(capture.lines().isEmpty());
}

void TestSettings::emptyValueFallsBack_data()
{
    QTest::addColumn<QByteArray>("entry");
    QTest::newRow("empty element") << QByteArray("<ChartLineFPS></ChartLineFPS>");
    QTest::newRow("self-closing element") << QByteArray("<ChartLineFPS/>");
}

void TestSettings::emptyValueFallsBack()
{
    QFETCH(QByteArray, entry);
    writeConfig("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Settings>\n    <Chart>\n        " + entry
        + "\n        <ChartLineCache>20</ChartLineCache>\n    </Chart>\n</Settings>\n");
    Settings settings;
    QVERIFY(settings.load());
    QCOMPARE(
        settings.value(settings.chartLineFpsKey, QStringLiteral("fallback")), QStringLiteral("fallback"));
    settings.applyDefaults();
    QCOMPARE(settings.value(settings.chartLineFpsKey, QString()), QStringLiteral("100"));
    QCOMPARE(settings.value(settings.chartLineCacheKey, QString()), QStringLiteral("20"));
}

void TestSettings::storedChartValuesTheDialogCannotShowFallBack_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("loaded");

    QTest::newRow("cache, largest") << "ChartLineCache"
                                    << "10000"
                                    << "10000";
    QTest::newRow("cache, no number") << "ChartLineCache"
                                      << "abc"
                                      << "1000";
    QTest::newRow("cache, zero") << "ChartLineCache"
                                 << "0"
                                 << "1000";
    QTest::newRow("cache, above the dialog's range") << "ChartLineCache"
                                                     << "10001"
                                                     << "1000";
    QTest::newRow("interval, shortest") << "ChartLineFPS"
                                        << "10"
                                        << "10";
    QTest::newRow("interval, not one of the ten") << "ChartLineFPS"
                                                  << "33"
                                                  << "100";
    QTest::newRow("stable band, hundredths") << "StableBand"
                                             << "0.25"
                                             << "0.25";
    QTest::newRow("stable band, finer than the dialog") << "StableBand"
                                                        << "0.125"
                                                        << "0.1";
    QTest::newRow("stable window, above the dialog's range") << "StableWindow"
                                                             << "3601"
                                                             << "30";
    QTest::newRow("language, any text") << "Language"
                                        << "Klingon"
                                        << "Klingon";
}

void TestSettings::storedChartValuesTheDialogCannotShowFallBack()
{
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QFETCH(QString, loaded);
    Settings settings;
    settings.setValue(key, stored);
    settings.applyDefaults();
    QCOMPARE(settings.value(key, QString()), loaded);
}

void TestSettings::chartTakesTheStoredCapacityAndInterval_data()
{
    QTest::addColumn<QString>("thousands"); // empty: nothing stored
    QTest::addColumn<int>("samples");
    QTest::addColumn<QString>("interval");
    QTest::addColumn<int>("intervalMs");
    QTest::newRow("nothing stored") << "" << 1'000'000 << "" << 10;
    QTest::newRow("stored") << "2" << 2000 << "1000" << 1000;
    QTest::newRow("clamped before multiplying") << "9223372036854775807" << 10'000'000 << "10" << 10;
    QTest::newRow("negative") << "-5" << 0 << "10" << 10;
    QTest::newRow("no number") << "abc" << 0 << "abc" << 0;
}

void TestSettings::chartTakesTheStoredCapacityAndInterval()
{
    QFETCH(QString, thousands);
    QFETCH(QString, interval);
    Settings settings;
    settings.setValue(settings.chartLineCacheKey, thousands);
    settings.setValue(settings.chartLineFpsKey, interval);
    const ChartSettings chart = readChartSettings(settings);
    QTEST(chart.cacheSize, "samples");
    QTEST(chart.sampleIntervalMs, "intervalMs");
}

void TestSettings::valueReturnsStoredTextOrFallback()
{
    Settings settings;
    QCOMPARE(settings.value(QStringLiteral("Absent"), QStringLiteral("fb")), QStringLiteral("fb"));
    settings.setValue(QStringLiteral("Key"), QString());
    QCOMPARE(settings.value(QStringLiteral("Key"), QStringLiteral("fb")), QStringLiteral("fb"));
    settings.setValue(QStringLiteral("Key"), QStringLiteral(" 7 "));
    QCOMPARE(settings.value(QStringLiteral("Key"), QStringLiteral("fb")), QStringLiteral(" 7 "));
    settings.setValue(QStringLiteral("Key"), QStringLiteral("8"));
    QCOMPARE(settings.value(QStringLiteral("Key"), QStringLiteral("fb")), QStringLiteral("8"));
}

void TestSettings::unknownKeyUnderChartIsKeptAndWrittenBack()
{
    writeConfig("<Settings><Chart><OperatorName>Wang Li</OperatorName>"
                "<Language>English</Language></Chart></Settings>");
    {
        Settings settings;
        QVERIFY(settings.load());
        settings.applyDefaults();
        QCOMPARE(settings.value(QStringLiteral("OperatorName"), QString()), QStringLiteral("Wang Li"));
        QCOMPARE(settings.value(settings.languageKey, QString()), QStringLiteral("English"));
    }
    const ParsedFile parsed = parseFile(path());
    QVERIFY(parsed.ok);
    QCOMPARE(parsed.entries.size(), 6);
    QCOMPARE(parsed.entries.value(QStringLiteral("OperatorName")), QStringLiteral("Wang Li"));
    QCOMPARE(parsed.entries.value(QStringLiteral("Language")), QStringLiteral("English"));
}

void TestSettings::elementBesideChartIsDroppedAtNextSave()
{
    writeConfig(
        "<Settings>\n"
        "    <Window><Geometry>10,10</Geometry><Nested><Deeper><Deepest/></Deeper></Nested></Window>\n"
        "    <Chart><ChartLineFPS>20</ChartLineFPS></Chart>\n"
        "    <Trailer>text</Trailer>\n"
        "</Settings>\n");
    {
        Settings settings;
        QVERIFY(settings.load());
        QCOMPARE(settings.value(settings.chartLineFpsKey, QString()), QStringLiteral("20"));
        QCOMPARE(settings.value(QStringLiteral("Geometry"), QStringLiteral("none")), QStringLiteral("none"));
        QCOMPARE(settings.value(QStringLiteral("Trailer"), QStringLiteral("none")), QStringLiteral("none"));
        settings.save();
    }
    const QByteArray saved = readConfig();
    QVERIFY(!saved.contains("Window"));
    QVERIFY(!saved.contains("Geometry"));
    QVERIFY(!saved.contains("Trailer"));
    QCOMPARE(parseFile(path()).entries.value(QStringLiteral("ChartLineFPS")), QStringLiteral("20"));
}

void TestSettings::severalChartElementsAreAllReadLaterWins()
{
    writeConfig("<Settings>"
                "<Chart><ChartLineFPS>50</ChartLineFPS><Language>English</Language></Chart>"
                "<Other/>"
                "<Chart><ChartLineFPS>200</ChartLineFPS><ChartLineCache>5</ChartLineCache></Chart>"
                "</Settings>");
    Settings settings;
    QVERIFY(settings.load());
    QCOMPARE(settings.value(settings.chartLineFpsKey, QString()), QStringLiteral("200"));
    QCOMPARE(settings.value(settings.languageKey, QString()), QStringLiteral("English"));
    QCOMPARE(settings.value(settings.chartLineCacheKey, QString()), QStringLiteral("5"));
}

void TestSettings::valuesSurviveRoundTrip()
{
    const QList<std::pair<QString, QString>> entries = {
        {QStringLiteral("Markup"), QStringLiteral("a<b>&c \"d\" 'e' ]]>")},
        {QStringLiteral("Chinese"), QStringLiteral("繁體中文 ℃")},
        {QStringLiteral("Padded"), QStringLiteral("  both ends  ")},
        {QStringLiteral("Lines"), QStringLiteral("one\ntwo\tthree")},
        {QStringLiteral("CarriageReturns"), QStringLiteral("one\r\ntwo\rthree\r")},
        {QStringLiteral("Language"), QStringLiteral("Tr Chinese")},
    };
    {
        Settings settings;
        StderrCapture capture;
        settings.load();
        settings.applyDefaults();
        for (const auto &[key, text] : entries)
            settings.setValue(key, text);
        settings.save();
    }
    Settings reloaded;
    QVERIFY(reloaded.load());
    for (const auto &[key, text] : entries)
        QCOMPARE(reloaded.value(key, QString()), text);
    QCOMPARE(reloaded.value(reloaded.chartLineCacheKey, QString()), QStringLiteral("1000"));
}

void TestSettings::fileHoldingAPasswordIsTheUsersAlone()
{
    const auto othersMayRead = [this] {
        struct stat info;
        return ::stat(QFile::encodeName(path()).constData(), &info) == 0 && (info.st_mode & 0077) != 0;
    };
    const mode_t oldMask = ::umask(022);
    Settings settings;
    {
        StderrCapture capture;
        settings.load();
    }
    settings.applyDefaults();
    QVERIFY(settings.save());
    QVERIFY(othersMayRead());
    settings.setValue(settings.mqttPasswordKey, QStringLiteral("secret"));
    QVERIFY(settings.save());
    QVERIFY(!othersMayRead());
    // Taking the password out later does not open the file again.
    settings.setValue(settings.mqttPasswordKey, QString());
    QVERIFY(settings.save());
    ::umask(oldMask);
    QVERIFY(!othersMayRead());
}

void TestSettings::saveBeforeLoadWritesNothing()
{
    QTemporaryDir workDir;
    QVERIFY(workDir.isValid());
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(workDir.path()));
    const bool rootFileExisted = QFileInfo::exists(QStringLiteral("/config.xml"));
    {
        Settings settings;
        settings.applyDefaults();
        settings.setValue(settings.languageKey, QStringLiteral("English"));
        settings.save();
    } // and once more on destruction
    QDir::setCurrent(previous);
    QVERIFY(QDir(workDir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    QCOMPARE(QFileInfo::exists(QStringLiteral("/config.xml")), rootFileExisted);
    QVERIFY(!QFileInfo::exists(dir()));
}

void TestSettings::saveWritesThroughLinksAndRefusesOtherFiles_data()
{
    QTest::addColumn<bool>("throughLink");
    QTest::addColumn<bool>("pipe");
    QTest::newRow("link to a file") << true << false;
    QTest::newRow("pipe") << false << true;
    QTest::newRow("link to a pipe") << true << true;
}

void TestSettings::saveWritesThroughLinksAndRefusesOtherFiles()
{
    QFETCH(bool, throughLink);
    QFETCH(bool, pipe);
    QTemporaryDir elsewhere;
    QVERIFY(QDir().mkpath(dir()));
    const QString target = throughLink ? elsewhere.filePath(QStringLiteral("real.xml")) : path();
    if (pipe) {
        QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
    } else {
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<Settings><Chart><Language>English</Language></Chart></Settings>");
    }
    if (throughLink)
        QVERIFY(QFile::link(target, path()));

    StderrCapture capture;
    {
        Settings settings;
        // A pipe is never opened: that would block until something writes to it.
        QCOMPARE(settings.load(), !pipe);
        settings.applyDefaults();
        settings.setValue(settings.chartLineCacheKey, QStringLiteral("7"));
    } // the exit save
    const QStringList lines = capture.lines();

    QCOMPARE(QFileInfo(path()).isSymLink(), throughLink);
    if (pipe) {
        QCOMPARE(lines,
            (QStringList {
                QStringLiteral("Error: Cannot read file ") + path() + QStringLiteral(": not a regular file"),
                QStringLiteral("Error: Cannot write file ") + path() + QStringLiteral(": 不是普通文件")}));
        QVERIFY(!QFileInfo(target).isFile());
        QVERIFY(QDir(dir()).entryList({QStringLiteral("config.xml.bad-*")}).isEmpty());
    } else {
        QVERIFY(lines.isEmpty());
        const ParsedFile parsed = parseFile(target);
        QCOMPARE(parsed.entries.value(QStringLiteral("ChartLineCache")), QStringLiteral("7"));
        QCOMPARE(parsed.entries.value(QStringLiteral("Language")), QStringLiteral("English"));
    }
}

// The audit trail hears of a change once it is on disk, from the value saved before to the one saved
// now: a save that fails tells nothing, and a value changed back tells nothing either.
void TestSettings::changeIsToldOnceTheFileHoldsIt()
{
    Settings settings;
    settings.load();
    settings.applyDefaults();
    QVERIFY(settings.save());
    const QString language = settings.value(settings.languageKey, QString());
    QSignalSpy told(&settings, &Settings::valueChanged);
    settings.setValue(QStringLiteral("LabName"), QStringLiteral("First Lab"));
    settings.setValue(QStringLiteral("LabName"), QStringLiteral("Second Lab"));
    settings.setValue(settings.languageKey, QStringLiteral("English") + language);
    settings.setValue(settings.languageKey, language);
    QVERIFY(QFile::remove(path()));
    QCOMPARE(::mkfifo(QFile::encodeName(path()).constData(), 0600), 0);
    {
        StderrCapture quiet;
        QVERIFY(!settings.save());
    }
    QCOMPARE(told.count(), 0);
    QVERIFY(QFile::remove(path()));
    QVERIFY(settings.save());
    QCOMPARE(told.count(), 1);
    QCOMPARE(
        told.first(), (QVariantList {QStringLiteral("LabName"), QString(), QStringLiteral("Second Lab")}));
    QVERIFY(settings.save());
    QCOMPARE(told.count(), 1);
}

void TestSettings::languageChangeReachesFileAtProgramExit()
{
    QProcess child;
    child.start(
        QCoreApplication::applicationFilePath(), {QString::fromLatin1(kExitWithLanguageArg), m_appName});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);

    const ParsedFile parsed = parseFile(path());
    QVERIFY(parsed.ok);
    QCOMPARE(parsed.entries.value(QStringLiteral("Language")), QStringLiteral("English"));
    QCOMPARE(parsed.entries.value(QStringLiteral("ChartLineFPS")), QStringLiteral("100"));
}

void TestSettings::interruptedSaveLeavesPreviousFileIntact()
{
    int lastSeen = 0;
    // Round 0 is killed before its first save can complete; round n as the n-th save begins.
    for (int round = 0; round < 10; ++round) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kSaveLoopArg), m_appName});
        QVERIFY(child.waitForStarted(10000));
        int started = 0;
        int completed = lastSeen; // versions below the one being written are complete
        while (started < round) {
            if (!child.canReadLine())
                QVERIFY2(child.waitForReadyRead(30000), "the saving child stopped reporting");
            if (!child.canReadLine())
                continue;
            const QByteArray line = child.readLine().trimmed();
            QVERIFY(line.startsWith("saving "));
            completed = line.mid(7).toInt() - 1;
            ++started;
        }
        ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        if (completed == 0 && !QFileInfo::exists(path()))
            continue; // nothing completed yet, and nothing half-written was left as config.xml
        const ParsedFile parsed = parseFile(path());
        QVERIFY2(parsed.ok, qPrintable(QStringLiteral("round %1: config.xml does not parse").arg(round)));
        QCOMPARE(parsed.root, QStringLiteral("Settings"));
        QCOMPARE(parsed.entries.size(), kLoopEntries + 1);
        const QString version = parsed.entries.value(QStringLiteral("Version"));
        for (auto it = parsed.entries.cbegin(); it != parsed.entries.cend(); ++it)
            QCOMPARE(it.value(), version);
        QVERIFY(version.toInt() >= completed);
        lastSeen = version.toInt();
    }
}

void TestSettings::profileNamesAreSafeFolderNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("valid");
    QTest::newRow("letter") << "b" << true;
    QTest::newRow("words") << "line-3_oven.2" << true;
    QTest::newRow("64 characters") << QString(64, QLatin1Char('a')) << true;
    QTest::newRow("65 characters") << QString(65, QLatin1Char('a')) << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("dot") << "." << false;
    QTest::newRow("dot dot") << ".." << false;
    QTest::newRow("hidden") << ".b" << false;
    QTest::newRow("slash") << "a/b" << false;
    QTest::newRow("backslash") << "a\\b" << false;
    QTest::newRow("space") << "a b" << false;
    QTest::newRow("option-like") << "-b" << false;
    QTest::newRow("trailing dot") << "b." << false;
    QTest::newRow("Windows device") << "Com1.txt" << false;
    QTest::newRow("not ASCII") << "炉" << false;
}

void TestSettings::profileNamesAreSafeFolderNames()
{
    QFETCH(QString, name);
    QTEST(Profile::isValidName(name), "valid");
}

void TestSettings::namedProfileKeepsItsFilesApart()
{
    Settings settings;
    settings.profile = QStringLiteral("b");
    {
        StderrCapture capture;
        settings.load();
    }
    QCOMPARE(settings.configDir, dir() + QStringLiteral("/profiles/b"));
    QCOMPARE(settings.dataDir, settings.userDataDir + QStringLiteral("/profiles/b"));
    QCOMPARE(settings.userDataDir, Profile::dataDir(Profile::normalized(QStringLiteral("default"))));
    settings.applyDefaults();
    QVERIFY(settings.save());
    QVERIFY(QFileInfo::exists(dir() + QStringLiteral("/profiles/b/config.xml")));
    QVERIFY(!QFileInfo::exists(path()));
}

void TestSettings::exitSaveWritesOnlyThisInstancesChanges_data()
{
    QTest::addColumn<QString>("lateKey"); // what the instance that exits last changed; empty: nothing
    QTest::addColumn<QString>("lateValue");
    QTest::addColumn<QString>("language"); // in the file at the end
    QTest::addColumn<QString>("fps");

    QTest::newRow("nothing") << QString() << QString() << "English"
                             << "100";
    QTest::newRow("another key") << "ChartLineFPS"
                                 << "50"
                                 << "English"
                                 << "50";
    QTest::newRow("the same key") << "Language"
                                  << "Tr Chinese"
                                  << "Tr Chinese"
                                  << "100";
}

void TestSettings::exitSaveWritesOnlyThisInstancesChanges()
{
    QFETCH(QString, lateKey);
    QFETCH(QString, lateValue);
    writeConfig("<Settings><Chart><Language>Simplified Chinese</Language><ChartLineFPS>100</ChartLineFPS>"
                "<CertificateCounter>57</CertificateCounter></Chart></Settings>\n");
    Settings early;
    QVERIFY(early.load());
    early.applyDefaults();
    std::optional<Settings> late;
    late.emplace();
    QVERIFY(late->load());
    late->applyDefaults();
    if (!lateKey.isEmpty())
        late->setValue(lateKey, lateValue);
    // The other instance saves its change while this one runs; an older version's counter raised
    // meanwhile is another key this one never changed.
    early.setValue(early.languageKey, QStringLiteral("English"));
    QVERIFY(early.save());
    QByteArray written = readConfig();
    written.replace("<CertificateCounter>57<", "<CertificateCounter>58<");
    writeConfig(written);
    late.reset(); // its exit save
    // An instance that changed nothing writes nothing.
    if (lateKey.isEmpty())
        QCOMPARE(readConfig(), written);
    const ParsedFile parsed = parseFile(path());
    QVERIFY(parsed.ok);
    QTEST(parsed.entries.value(QStringLiteral("Language")), "language");
    QTEST(parsed.entries.value(QStringLiteral("ChartLineFPS")), "fps");
    QCOMPARE(parsed.entries.value(QStringLiteral("CertificateCounter")), QStringLiteral("58"));
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], kSaveLoopArg) == 0)
        return runSaveLoop(QString::fromLocal8Bit(argv[2]));
    if (argc == 3 && qstrcmp(argv[1], kExitWithLanguageArg) == 0)
        return runExitWithLanguage(QString::fromLocal8Bit(argv[2]));

    QStandardPaths::setTestModeEnabled(true);
    TestSettings test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settings.moc"
