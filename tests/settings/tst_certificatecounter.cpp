#include "settings/certificatecounter.h"
#include "settings/profile.h"
#include "settings/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <memory>

namespace {

const char kTakeArg[] = "--take";
constexpr int kChildren = 2;
constexpr int kNumbersEach = 50;

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

// Child mode: a station of profile `profile` as the program starts it, which takes `count` numbers once
// its parent says go, printing each, and exits through the global store's exit save.
int runTaker(const QString &profile, int count)
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(QStringLiteral("bb-tst-counter"));
    appSettings.profile = profile;
    appSettings.load();
    appSettings.applyDefaults();
    std::printf("ready %s\n", QFile::encodeName(appSettings.userDataDir).constData());
    std::fflush(stdout);
    std::string go;
    std::getline(std::cin, go);
    const QString path = CertificateCounter::filePath(appSettings.userDataDir);
    for (int i = 0; i < count; ++i) {
        QString error;
        const qint64 number = CertificateCounter::take(path, 0, &error);
        if (number <= 0) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        std::printf("%lld\n", number);
    }
    return 0;
}

} // namespace

class TestCertificateCounter : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void startsAboveTheLargerOfFileAndConfig_data();
    void startsAboveTheLargerOfFileAndConfig();
    void unusableFileGivesNoNumber_data();
    void unusableFileGivesNoNumber();
    void racingProfilesNeverShareANumber();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCertificateCounter::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestCertificateCounter::startsAboveTheLargerOfFileAndConfig_data()
{
    QTest::addColumn<QByteArray>("counterFile"); // empty: none
    QTest::addColumn<QByteArray>("configEntry"); // CertificateCounter's text in config.xml, empty: none
    QTest::addColumn<qint64>("first");

    QTest::newRow("first start ever") << QByteArray() << QByteArray() << qint64(1);
    QTest::newRow("upgrade: config.xml's count") << QByteArray() << QByteArray("57") << qint64(58);
    QTest::newRow("file behind config.xml") << QByteArray("12\n") << QByteArray("57") << qint64(58);
    QTest::newRow("file ahead of config.xml") << QByteArray("70\n") << QByteArray("57") << qint64(71);
    QTest::newRow("config.xml's count no number") << QByteArray("3") << QByteArray("x9") << qint64(4);
    QTest::newRow("file left empty by a crash") << QByteArray("") << QByteArray("57") << qint64(58);
}

void TestCertificateCounter::startsAboveTheLargerOfFileAndConfig()
{
    QFETCH(QByteArray, counterFile);
    QFETCH(QByteArray, configEntry);
    QFETCH(qint64, first);
    const QString config = m_dir->filePath(QStringLiteral("config/config.xml"));
    if (!configEntry.isEmpty())
        writeFile(config,
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Settings>\n    <Chart>\n        "
            "<CertificateCounter>"
                + configEntry + "</CertificateCounter>\n    </Chart>\n</Settings>\n");
    const QString path = CertificateCounter::filePath(m_dir->filePath(QStringLiteral("data")));
    if (!counterFile.isNull())
        writeFile(path, counterFile);

    QString error;
    // The start seeds the counter, and again at the next start changes nothing.
    QVERIFY2(
        CertificateCounter::seed(path, CertificateCounter::legacyCount(config), &error), qPrintable(error));
    QVERIFY2(
        CertificateCounter::seed(path, CertificateCounter::legacyCount(config), &error), qPrintable(error));
    QCOMPARE(CertificateCounter::take(path, 0, &error), first);
    QCOMPARE(CertificateCounter::take(path, 0, &error), first + 1);
    // On disk, so a restart goes on from there.
    QCOMPARE(fileBytes(path).trimmed().toLongLong(), first + 1);
    QVERIFY(error.isEmpty());
}

void TestCertificateCounter::unusableFileGivesNoNumber_data()
{
    QTest::addColumn<QByteArray>("content"); // null: the name is a folder
    QTest::newRow("not a number") << QByteArray("58\x00\x00garbage", 11);
    QTest::newRow("negative") << QByteArray("-4\n");
    QTest::newRow("a folder in its place") << QByteArray();
}

void TestCertificateCounter::unusableFileGivesNoNumber()
{
    QFETCH(QByteArray, content);
    const QString path = CertificateCounter::filePath(m_dir->path());
    if (content.isNull())
        QVERIFY(QDir().mkpath(path));
    else
        writeFile(path, content);
    QString error;
    QCOMPARE(CertificateCounter::take(path, 100, &error), qint64(0));
    QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
    QVERIFY2(error.contains(QStringLiteral("不发编号")), qPrintable(error));
    QCOMPARE(fileBytes(path), content); // left as it was, for someone to look at
}

void TestCertificateCounter::racingProfilesNeverShareANumber()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), m_dir->path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir->filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir->filePath(QStringLiteral("data")));
    QProcess children[kChildren];
    const QString profiles[kChildren] = {QString(), QStringLiteral("b")};
    for (int i = 0; i < kChildren; ++i) {
        children[i].setProcessEnvironment(env);
        children[i].start(QCoreApplication::applicationFilePath(),
            {QString::fromLatin1(kTakeArg), profiles[i], QString::number(kNumbersEach)});
    }
    // Both are up before either takes a number, so they take them side by side.
    QStringList userData;
    for (QProcess &child : children) {
        while (!child.canReadLine())
            QVERIFY2(child.waitForReadyRead(30000), "a child did not start");
        const QByteArray line = child.readLine().trimmed();
        QVERIFY(line.startsWith("ready "));
        userData << QFile::decodeName(line.mid(6));
    }
    // One counter for both profiles, in the user's folder above them.
    QCOMPARE(userData.at(0), userData.at(1));
    for (QProcess &child : children)
        child.write("go\n");
    QSet<qint64> numbers;
    for (QProcess &child : children) {
        QVERIFY(child.waitForFinished(30000));
        QVERIFY2(child.exitCode() == 0, child.readAllStandardError().constData());
        const QList<QByteArray> lines = child.readAllStandardOutput().trimmed().split('\n');
        QCOMPARE(lines.size(), kNumbersEach);
        for (const QByteArray &line : lines)
            numbers.insert(line.toLongLong());
    }
    QCOMPARE(numbers.size(), kChildren * kNumbersEach);
    QCOMPARE(*std::min_element(numbers.cbegin(), numbers.cend()), qint64(1));
    QCOMPARE(*std::max_element(numbers.cbegin(), numbers.cend()), qint64(kChildren * kNumbersEach));
    QCOMPARE(fileBytes(CertificateCounter::filePath(userData.at(0))).trimmed().toLongLong(),
        qint64(kChildren * kNumbersEach));
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], kTakeArg) == 0)
        return runTaker(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]).toInt());
    QStandardPaths::setTestModeEnabled(true);
    TestCertificateCounter test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_certificatecounter.moc"
