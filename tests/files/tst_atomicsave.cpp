#include "files/atomicsave.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

// What the save path itself keeps of the file it replaces. Where a save may write is the settings suite's
// table; a full disk or a killed process at every step of every saver is the full-disk and crash suites'.
class TestAtomicSave : public QObject
{
    Q_OBJECT

private slots:
    void saveReplacesTheTargetOrLeavesItAlone_data();
    void saveReplacesTheTargetOrLeavesItAlone();
    void ownerOnlySaveIsPrivateBeforeItsFirstByte_data();
    void ownerOnlySaveIsPrivateBeforeItsFirstByte();
};

void TestAtomicSave::saveReplacesTheTargetOrLeavesItAlone_data()
{
    QTest::addColumn<bool>("writerSucceeds");
    QTest::addColumn<QString>("reason"); // empty: the save succeeds

    QTest::newRow("replaces the file, keeping its permissions") << true << QString();
    QTest::newRow("a writer that gives up leaves the old file")
        << false << QStringLiteral("无法生成文件内容");
}

void TestAtomicSave::saveReplacesTheTargetOrLeavesItAlone()
{
    QFETCH(bool, writerSucceeds);
    QFETCH(QString, reason);
    const QByteArray oldBytes = "old contents\n";
    const QByteArray newBytes = "new contents, longer than the old\n";
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("target.txt"));
    QFile file(target);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(oldBytes) == oldBytes.size());
    file.close();
    QVERIFY(::chmod(QFile::encodeName(target).constData(), 0640) == 0);

    const SaveResult saved = saveAtomically(target,
        [&](QIODevice *device) { return device->write(newBytes) == newBytes.size() && writerSucceeds; });
    QCOMPARE(saved.reason(), reason);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), reason.isEmpty() ? newBytes : oldBytes);
    struct stat info;
    QVERIFY(::stat(QFile::encodeName(target).constData(), &info) == 0);
    QCOMPARE(info.st_mode & 07777, mode_t(0640));
    // Nothing beside the target, whatever the outcome.
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
        QStringList {QStringLiteral("target.txt")});
}

void TestAtomicSave::ownerOnlySaveIsPrivateBeforeItsFirstByte_data()
{
    QTest::addColumn<int>("oldMode"); // -1: no file yet
    QTest::addColumn<int>("mode"); // while written and after

    QTest::newRow("new file") << -1 << 0600;
    QTest::newRow("replaces a file others could read") << 0644 << 0600;
    QTest::newRow("keeps a file the user made read-only") << 0400 << 0400;
}

void TestAtomicSave::ownerOnlySaveIsPrivateBeforeItsFirstByte()
{
    QFETCH(int, oldMode);
    QFETCH(int, mode);
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("config.xml"));
    if (oldMode >= 0) {
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(::chmod(QFile::encodeName(target).constData(), mode_t(oldMode)) == 0);
    }
    const auto modeOf = [](const QString &path) {
        struct stat info;
        return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
    };

    int modeBeforeWriting = -1;
    const SaveResult saved = saveAtomically(
        target,
        [&](QIODevice *device) {
            const QStringList beside
                = QDir(folder.path())
                      .entryList({QStringLiteral(".config.xml.*")}, QDir::Files | QDir::Hidden);
            if (beside.size() == 1)
                modeBeforeWriting = modeOf(folder.filePath(beside.first()));
            return device->write("<secret/>") == 9;
        },
        true);
    QVERIFY(saved);
    // The umask could only narrow it further; 0600 is what the test runs under anyway.
    QCOMPARE(modeBeforeWriting & ~mode, 0);
    QCOMPARE(modeOf(target), mode);
}

QTEST_GUILESS_MAIN(TestAtomicSave)
#include "tst_atomicsave.moc"
