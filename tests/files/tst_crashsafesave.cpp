#include "chart/curvefile.h"
#include "hookedchild.h"
#include "settings/settings.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

enum Kind { SettingsKind = 0, CurveKind = 1 };
enum Content { NoFile, OldContent, NewContent };

const int kOldEntries = 3;
const int kNewEntries = 1500;
const int kOldRows = 10;
const int kNewRows = 50000;
// Qt's file devices buffer 16 KiB, and the curve writer hands over 1 MiB at a time: a new file this much
// larger takes several write calls, so the rows stop saves in different ones.
const qint64 kSeveralWrites = 4 * 16384;
const quint32 kSeed = 20240611;
const int kSeededOffsets = 3;

} // namespace

class TestCrashSafeSave : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void killedSaveLeavesOldOrNewFile_data();
    void killedSaveLeavesOldOrNewFile();

private:
    QString freshFolder();
    static QString targetIn(int kind, const QString &folder);
    // Runs the saving child for the old or the new content; a negative killAfter lets every byte through.
    // False when the child did not end.
    bool save(QProcess &child, int kind, const QString &folder, bool newContent, qint64 killAfter = -1,
        bool killAtRename = false) const;
    // Empty when the child saved and exited normally, else what went wrong.
    QString completeSave(int kind, const QString &folder, bool newContent) const;
    // What a file holds, in the words failures show.
    QString describe(int kind, const QString &path) const;
    static QString describe(Content content);
    // Empty when the program's loader finds the old or the new content at the target in `folder`.
    static QString loadError(int kind, const QString &folder, Content expected);

    QTemporaryDir m_root;
    int m_folders = 0;
    QByteArray m_old[2];
    QByteArray m_new[2];
};

void TestCrashSafeSave::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_root.isValid());
    QString error = writeSourceCurve(m_root.filePath(QStringLiteral("old-source.txt")), kOldRows);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    error = writeSourceCurve(m_root.filePath(QStringLiteral("new-source.txt")), kNewRows);
    QVERIFY2(error.isEmpty(), qPrintable(error));

    // What an uninterrupted save writes, old and new, with the hook loaded but never striking.
    for (const int kind : {SettingsKind, CurveKind}) {
        for (const bool newContent : {false, true}) {
            const QString folder = freshFolder();
            error = completeSave(kind, folder, newContent);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            error = loadError(kind, folder, newContent ? NewContent : OldContent);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            (newContent ? m_new : m_old)[kind] = fileBytes(targetIn(kind, folder));
        }
        QVERIFY(m_new[kind].size() > kSeveralWrites);
        QVERIFY(m_old[kind].size() < m_new[kind].size());
    }
}

void TestCrashSafeSave::killedSaveLeavesOldOrNewFile_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("hasOld");
    QTest::addColumn<qint64>("killAfter");
    QTest::addColumn<bool>("killAtRename");

    QRandomGenerator random(kSeed);
    for (const int kind : {SettingsKind, CurveKind}) {
        const char *name = kind == SettingsKind ? "config.xml" : "curve";
        const int size = m_new[kind].size();
        const auto row = [name](const QString &what) -> QTestData & {
            return QTest::newRow(qPrintable(QString::fromLatin1(name) + QStringLiteral(": ") + what));
        };
        row(QStringLiteral("not killed")) << kind << true << qint64(-1) << false;
        row(QStringLiteral("at byte 0")) << kind << true << qint64(0) << false;
        for (int i = 0; i < kSeededOffsets; ++i) {
            const int offset = random.bounded(2, size - 1);
            row(QStringLiteral("at byte %1").arg(offset)) << kind << true << qint64(offset) << false;
        }
        row(QStringLiteral("at the last byte")) << kind << true << qint64(size - 1) << false;
        row(QStringLiteral("after the last byte, before the rename")) << kind << true << qint64(-1) << true;
        const int offset = random.bounded(2, size - 1);
        row(QStringLiteral("first save, at byte %1").arg(offset)) << kind << false << qint64(offset) << false;
    }
}

void TestCrashSafeSave::killedSaveLeavesOldOrNewFile()
{
    QFETCH(int, kind);
    QFETCH(bool, hasOld);
    QFETCH(qint64, killAfter);
    QFETCH(bool, killAtRename);
    const bool killed = killAfter >= 0 || killAtRename;
    const QString folder = freshFolder();
    const QString target = targetIn(kind, folder);
    if (hasOld) {
        const QString error = completeSave(kind, folder, false);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(describe(kind, target), describe(OldContent));
    }

    QProcess child;
    QVERIFY2(save(child, kind, folder, true, killAfter, killAtRename), "the saving child did not end");
    // Killed rows die by the hook's SIGKILL and nothing else; the others end as the program does.
    QVERIFY2(child.exitStatus() == (killed ? QProcess::CrashExit : QProcess::NormalExit)
            && child.exitCode() == (killed ? int(SIGKILL) : 0),
        child.readAllStandardError().constData());

    // Byte for byte the old or the new file, both of which the loader read in initTestCase().
    const Content expected = !killed ? NewContent : hasOld ? OldContent : NoFile;
    QCOMPARE(describe(kind, target), describe(expected));
    if (!killed)
        return;

    if (killAtRename) {
        // The kill came after the last byte: the complete file waited under another name.
        QStringList strays = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        strays.removeOne(QFileInfo(target).fileName());
        QStringList found;
        for (const QString &name : qAsConst(strays))
            found.append(describe(kind, folder + QLatin1Char('/') + name));
        QVERIFY2(found.contains(describe(NewContent)), qPrintable(found.join(QStringLiteral(", "))));
    }

    // Whatever the kill left beside the target, the next save replaces the target whole.
    const QString error = completeSave(kind, folder, true);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(describe(kind, target), describe(NewContent));
}

QString TestCrashSafeSave::freshFolder()
{
    const QString folder = m_root.filePath(QStringLiteral("save%1").arg(++m_folders));
    QDir().mkpath(folder);
    // The hook compares the paths the kernel reports.
    return QDir(folder).canonicalPath();
}

QString TestCrashSafeSave::targetIn(int kind, const QString &folder)
{
    return folder + (kind == SettingsKind ? QStringLiteral("/config.xml") : QStringLiteral("/curve.txt"));
}

bool TestCrashSafeSave::save(QProcess &child, int kind, const QString &folder, bool newContent,
    qint64 killAfter, bool killAtRename) const
{
    QStringList hook;
    if (killAfter >= 0)
        hook << QStringLiteral("BB_KILL_AFTER=%1").arg(killAfter);
    if (killAtRename)
        hook << QStringLiteral("BB_KILL_AT_RENAME=1");
    const QStringList args = kind == SettingsKind
        ? QStringList {QStringLiteral("settings"), folder,
            QString::number(newContent ? kNewEntries : kOldEntries)}
        : QStringList {QStringLiteral("save-curve-quietly"),
            m_root.filePath(newContent ? QStringLiteral("new-source.txt") : QStringLiteral("old-source.txt")),
            targetIn(kind, folder)};
    return runHookedChild(child, folder, args, hook);
}

QString TestCrashSafeSave::completeSave(int kind, const QString &folder, bool newContent) const
{
    QProcess child;
    if (!save(child, kind, folder, newContent))
        return QStringLiteral("the saving child did not end");
    if (child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0)
        return QString();
    return QStringLiteral("the saving child failed (%1, code %2): ")
               .arg(child.exitStatus())
               .arg(child.exitCode())
        + QString::fromLocal8Bit(child.readAllStandardError());
}

QString TestCrashSafeSave::describe(int kind, const QString &path) const
{
    if (!QFileInfo::exists(path))
        return describe(NoFile);
    const QByteArray bytes = fileBytes(path);
    if (bytes == m_old[kind])
        return describe(OldContent);
    if (bytes == m_new[kind])
        return describe(NewContent);
    return QStringLiteral("a torn file of %1 bytes").arg(bytes.size());
}

QString TestCrashSafeSave::describe(Content content)
{
    switch (content) {
    case NoFile:
        return QStringLiteral("no file");
    case OldContent:
        return QStringLiteral("the old file");
    case NewContent:
        return QStringLiteral("the complete new file");
    }
    return QString();
}

QString TestCrashSafeSave::loadError(int kind, const QString &folder, Content expected)
{
    if (kind == SettingsKind) {
        Settings settings;
        settings.configDir = folder;
        const bool loaded = settings.load();
        const QString generation = settings.value(QStringLiteral("Generation"), QString());
        // Nothing to write back: this store only looks.
        settings.configDir.clear();
        const QString wanted = QString::number(expected == NewContent ? kNewEntries : kOldEntries);
        if (loaded && generation == wanted)
            return QString();
        return QStringLiteral("config.xml loaded %1 with generation '%2', expected '%3'")
            .arg(loaded)
            .arg(generation, wanted);
    }
    QFile file(targetIn(kind, folder));
    CurveFileContents contents;
    if (!file.open(QIODevice::ReadOnly) || readCurve(&file, &contents) != CurveReadResult::Ok)
        return QStringLiteral("the curve file does not read");
    const int wanted = expected == NewContent ? kNewRows : kOldRows;
    if (contents.isCurve() && contents.numericRows == wanted)
        return QString();
    return QStringLiteral("the curve file has %1 rows, expected %2").arg(contents.numericRows).arg(wanted);
}

QTEST_GUILESS_MAIN(TestCrashSafeSave)

#include "tst_crashsafesave.moc"
