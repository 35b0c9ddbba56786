#include "files/atomicsave.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

// The save path's own rules on real files. What a full disk or a killed process does to every saver is
// the crash and full-disk suites' table.
class TestAtomicSave : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void saveReplacesTheTargetOrLeavesItAlone_data();
    void saveReplacesTheTargetOrLeavesItAlone();

private:
    QTemporaryDir m_root;
    int m_folders = 0;
};

namespace {

enum Setup { OldFile, LinkToOldFile, NoFolder, WriteProtectedFolder, Device };

const QByteArray kOld = "old contents\n";
const QByteArray kNew = "new contents, longer than the old\n";

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

void TestAtomicSave::initTestCase()
{
    QVERIFY(m_root.isValid());
}

void TestAtomicSave::saveReplacesTheTargetOrLeavesItAlone_data()
{
    QTest::addColumn<int>("setup");
    QTest::addColumn<bool>("writerSucceeds");
    QTest::addColumn<QString>("reason"); // empty: the save succeeds

    QTest::newRow("replaces a file, keeping its permissions") << int(OldFile) << true << QString();
    QTest::newRow("writes through a link, which stays") << int(LinkToOldFile) << true << QString();
    QTest::newRow("writer gives up") << int(OldFile) << false << QStringLiteral("无法生成文件内容");
    QTest::newRow("no such folder") << int(NoFolder) << true << QStringLiteral("文件夹不存在");
    QTest::newRow("write-protected folder")
        << int(WriteProtectedFolder) << true << QStringLiteral("没有写入权限");
    QTest::newRow("device") << int(Device) << true << QStringLiteral("不是普通文件");
}

void TestAtomicSave::saveReplacesTheTargetOrLeavesItAlone()
{
    QFETCH(int, setup);
    QFETCH(bool, writerSucceeds);
    QFETCH(QString, reason);
    if (setup == WriteProtectedFolder && ::geteuid() == 0)
        QSKIP("root writes into any folder");

    const QString folder = m_root.filePath(QString::number(++m_folders));
    QVERIFY(QDir().mkpath(folder));
    QString name = folder + QStringLiteral("/target.txt");
    const QString real = setup == LinkToOldFile ? folder + QStringLiteral("/real.txt") : name;
    if (setup == OldFile || setup == LinkToOldFile || setup == WriteProtectedFolder) {
        QFile file(real);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(kOld), kOld.size());
        file.close();
        QVERIFY(::chmod(QFile::encodeName(real).constData(), 0640) == 0);
    }
    if (setup == LinkToOldFile)
        QVERIFY(QFile::link(real, name));
    if (setup == NoFolder)
        name = folder + QStringLiteral("/gone/target.txt");
    if (setup == Device)
        name = QStringLiteral("/dev/null");
    if (setup == WriteProtectedFolder)
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0555) == 0);

    const SaveResult saved = saveAtomically(name,
        [writerSucceeds](QIODevice *file) { return file->write(kNew) == kNew.size() && writerSucceeds; });
    ::chmod(QFile::encodeName(folder).constData(), 0755);

    QCOMPARE(saved.ok(), reason.isEmpty());
    QCOMPARE(saved.reason(), reason);
    if (!reason.isEmpty())
        QCOMPARE(saved.message(name), QStringLiteral("无法保存文件 %1：%2").arg(name, reason));
    if (setup == Device || setup == NoFolder)
        return;
    QCOMPARE(fileBytes(real), reason.isEmpty() ? kNew : kOld);
    struct stat info;
    QVERIFY(::stat(QFile::encodeName(real).constData(), &info) == 0);
    QCOMPARE(info.st_mode & 07777, mode_t(0640));
    QCOMPARE(QFileInfo(name).isSymLink(), setup == LinkToOldFile);
    // Nothing beside the target, whatever the outcome.
    QStringList expected {QStringLiteral("target.txt")};
    if (setup == LinkToOldFile)
        expected.prepend(QStringLiteral("real.txt"));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name), expected);
}

QTEST_GUILESS_MAIN(TestAtomicSave)
#include "tst_atomicsave.moc"
