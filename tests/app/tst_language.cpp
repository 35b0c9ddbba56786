#include "app/language.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QTemporaryDir>
#include <QtTest>

// Translators are process-wide, so the cases run in order on one application, each from the state the
// previous one left.
class TestLanguage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void storedValueNamesItsFile_data();
    void storedValueNamesItsFile();
    void switchingReplacesBothTranslators_data();
    void switchingReplacesBothTranslators();
    void besideTheExecutableFirstThenTheInstalledFolder();

private:
    QTemporaryDir m_dir; // our .qm files, copied so one can be missing
    QTemporaryDir m_noQt; // a Qt translations folder without files
};

namespace {
QString ours(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}
QString qts(const char *text)
{
    return QCoreApplication::translate("QPlatformTheme", text);
}
} // namespace

void TestLanguage::initTestCase()
{
    const QString built = QCoreApplication::applicationDirPath();
    for (const char *name : {"/Chinese.qm", "/English.qm"})
        QVERIFY(QFile::copy(built + QLatin1String(name), m_dir.path() + QLatin1String(name)));
}

void TestLanguage::storedValueNamesItsFile_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("qt");
    QTest::newRow("simplified") << "Simplified Chinese"
                                << "/Chinese.qm"
                                << "qt_zh_CN";
    QTest::newRow("traditional") << "Tr Chinese"
                                 << "/TrChinese.qm"
                                 << "qt_zh_TW";
    QTest::newRow("English") << "English"
                             << "/English.qm"
                             << "qt_en";
    QTest::newRow("lower case Chinese") << "simplified chinese"
                                        << "/English.qm"
                                        << "qt_en";
}

void TestLanguage::storedValueNamesItsFile()
{
    QFETCH(QString, stored);
    QFETCH(QString, file);
    QFETCH(QString, qt);
    QCOMPARE(Language::translationFile(stored), file);
    QCOMPARE(Language::qtCatalogue(stored), qt);
}

void TestLanguage::switchingReplacesBothTranslators_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("withQt");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<QString>("openPort");
    QTest::addColumn<QString>("cancel");

    const bool qtInstalled = QFile::exists(
        QLibraryInfo::location(QLibraryInfo::TranslationsPath) + QStringLiteral("/qt_zh_CN.qm"));
    QTest::newRow("English") << "English" << true << true << "Open port"
                             << "Cancel";
    QTest::newRow("Chinese, Qt's too")
        << "Simplified Chinese" << true << true << "打开串口" << (qtInstalled ? "取消" : "Cancel");
    // The Chinese translators must be gone, not merely outranked.
    QTest::newRow("English again") << "English" << true << true << "Open port"
                                   << "Cancel";
    QTest::newRow("missing file falls back to the source")
        << "Tr Chinese" << true << false << "打开串口" << (qtInstalled ? "取消" : "Cancel");
    QTest::newRow("without Qt's file, Qt's English") << "Simplified Chinese" << false << true << "打开串口"
                                                     << "Cancel";
}

void TestLanguage::switchingReplacesBothTranslators()
{
    QFETCH(QString, language);
    QFETCH(bool, withQt);
    QFETCH(bool, loaded);
    QFETCH(QString, openPort);
    QFETCH(QString, cancel);
    const QString qtDir = withQt ? QLibraryInfo::location(QLibraryInfo::TranslationsPath) : m_noQt.path();
    QCOMPARE(Language::install(language, {m_dir.path()}, qtDir), loaded);
    QCOMPARE(ours("打开串口"), openPort);
    QCOMPARE(qts("Cancel"), cancel);
}

void TestLanguage::besideTheExecutableFirstThenTheInstalledFolder()
{
    // The installed folder's English.qm is the Chinese one, so the texts tell which folder was read.
    const QString bin = m_dir.path() + "/bin";
    const QString installed = m_dir.path() + "/share/ostrel-blackbody/translations";
    QVERIFY(QDir().mkpath(bin) && QDir().mkpath(installed));
    const QString built = QCoreApplication::applicationDirPath();
    QVERIFY(QFile::copy(built + "/English.qm", bin + "/English.qm"));
    QVERIFY(QFile::copy(built + "/Chinese.qm", installed + "/English.qm"));
    QVERIFY(QFile::copy(built + "/TrChinese.qm", installed + "/TrChinese.qm"));
    QVERIFY(Language::install(Language::english, Language::translationDirs(bin), m_noQt.path()));
    QCOMPARE(ours("打开串口"), "Open port");
    QVERIFY(Language::install(Language::traditionalChinese, Language::translationDirs(bin), m_noQt.path()));
    QCOMPARE(ours("打开串口"), "開啟序列埠");
}

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
