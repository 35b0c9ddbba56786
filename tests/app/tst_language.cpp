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
    QTemporaryDir m_dir; // a bin folder and an installed data folder
    const QString m_bin = m_dir.path() + QStringLiteral("/bin"); // our .qm files but one
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
    // Installed: the file that bin lacks, and an English.qm that is the Chinese one to tell the two apart.
    const QString built = QCoreApplication::applicationDirPath();
    const QString installed = m_dir.path() + QStringLiteral("/share/ostrel-blackbody/translations");
    QVERIFY(QDir().mkpath(m_bin) && QDir().mkpath(installed));
    for (const char *name : {"/Chinese.qm", "/English.qm"})
        QVERIFY(QFile::copy(built + QLatin1String(name), m_bin + QLatin1String(name)));
    QVERIFY(QFile::copy(built + "/TrChinese.qm", installed + "/TrChinese.qm"));
    QVERIFY(QFile::copy(built + "/Chinese.qm", installed + "/English.qm"));
}

void TestLanguage::storedValueNamesItsFile_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("qt");
    QTest::newRow("traditional") << "Tr Chinese"
                                 << "/TrChinese.qm"
                                 << "qt_zh_TW";
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
    QCOMPARE(Language::install(language, {m_bin}, qtDir), loaded);
    QCOMPARE(ours("打开串口"), openPort);
    QCOMPARE(qts("Cancel"), cancel);
}

void TestLanguage::besideTheExecutableFirstThenTheInstalledFolder()
{
    QVERIFY(Language::install(Language::english, Language::translationDirs(m_bin), m_noQt.path()));
    QCOMPARE(ours("打开串口"), "Open port");
    QVERIFY(Language::install(Language::traditionalChinese, Language::translationDirs(m_bin), m_noQt.path()));
    QCOMPARE(ours("打开串口"), "開啟序列埠");
}

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
