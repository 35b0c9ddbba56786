#include "settings/lastfolders.h"
#include "settings/settings.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

// Each kind of file dialog starts where the operator last went for that kind.
class TestLastFolders : public QObject
{
    Q_OBJECT

private slots:
    void dialogsStartInTheFolderLastUsedForTheirKind_data();
    void dialogsStartInTheFolderLastUsedForTheirKind();
    void suggestedNameFollowsTheCurveStart();
};

void TestLastFolders::dialogsStartInTheFolderLastUsedForTheirKind_data()
{
    QTest::addColumn<QString>("remembered"); // relative to a temporary folder; empty: nothing
    QTest::addColumn<bool>("asFile"); // remembered as a chosen file in that folder
    QTest::addColumn<bool>("removed"); // the folder is gone by the next dialog
    QTest::addColumn<QString>("curves"); // where a curve dialog then starts; "." the working folder
    QTest::addColumn<QString>("exports");
    QTest::newRow("nothing yet") << QString() << false << false << "."
                                 << ".";
    QTest::newRow("a chosen file's folder") << "a" << true << false << "a"
                                            << ".";
    QTest::newRow("a chosen folder") << "b" << false << false << "b"
                                     << ".";
    QTest::newRow("a folder since removed") << "c" << true << true << "."
                                            << ".";
}

void TestLastFolders::dialogsStartInTheFolderLastUsedForTheirKind()
{
    QFETCH(QString, remembered);
    QFETCH(bool, asFile);
    QFETCH(bool, removed);
    QFETCH(QString, curves);
    QFETCH(QString, exports);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Settings settings;
    LastFolders folders(settings);
    const auto expected = [&dir](const QString &name) {
        return name == QLatin1String(".") ? QDir::currentPath() : QDir(dir.path()).absoluteFilePath(name);
    };
    if (!remembered.isEmpty()) {
        QVERIFY(QDir(dir.path()).mkpath(remembered));
        const QString folder = dir.filePath(remembered);
        if (asFile)
            folders.rememberFile(LastFolders::Curves, folder + QStringLiteral("/curve.txt"));
        else
            folders.rememberFolder(LastFolders::Curves, folder);
        if (removed)
            QVERIFY(QDir(folder).removeRecursively());
    }
    QCOMPARE(folders.folder(LastFolders::Curves), expected(curves));
    QCOMPARE(folders.folder(LastFolders::Exports), expected(exports));
    // Kept in the settings, so a later dialog, or the next start, sees it.
    QCOMPARE(LastFolders(settings).folder(LastFolders::Curves), expected(curves));
}

void TestLastFolders::suggestedNameFollowsTheCurveStart()
{
    const QDateTime start(QDate(2021, 3, 4), QTime(9, 15, 2, 417));
    QCOMPARE(
        LastFolders::curveName(start, QStringLiteral("txt")), QStringLiteral("curve-20210304-091502.txt"));
}

QTEST_GUILESS_MAIN(TestLastFolders)
#include "tst_lastfolders.moc"
