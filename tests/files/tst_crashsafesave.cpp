#include "hookedchild.h"
#include "recording/curvefile.h"
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
    // A save killed at one point, and what each of its steps left.
    struct Row
    {
        QString name;
        int kind;
        bool hasOld;
        qint64 killAfter; // negative lets every byte through
        bool killAtRename;
        QString folder;
        // What each step left, filled in as they run.
        HookedChild oldSave {};
        QString afterOld {};
        HookedChild save {};
        QString afterSave {};
        QStringList strays {}; // what lies beside the target after a kill at the rename
        HookedChild freshSave {};
        QString afterFresh {};
        bool killed() const { return killAfter >= 0 || killAtRename; }
    };

    QString freshFolder();
    static QString targetIn(int kind, const QString &folder);
    // Readies a child that saves the old or the new content in `folder`.
    HookedChild save(int kind, const QString &folder, bool newContent, qint64 killAfter = -1,
        bool killAtRename = false) const;
    // What a file holds, in the words failures show.
    QString describe(int kind, const QString &path) const;
    static QString describe(Content content);
    // Empty when the program's loader finds the old or the new content at the target in `folder`.
    static QString loadError(int kind, const QString &folder, Content expected);

    QTemporaryDir m_root;
    int m_folders = 0;
    QByteArray m_old[2];
    QByteArray m_new[2];
    QVector<Row> m_rows;
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
    HookedChild plain[2][2];
    QVector<HookedChild *> children;
    for (const int kind : {SettingsKind, CurveKind}) {
        for (const bool newContent : {false, true}) {
            plain[kind][newContent] = save(kind, freshFolder(), newContent);
            children << &plain[kind][newContent];
        }
    }
    runHookedChildren(children);
    for (const int kind : {SettingsKind, CurveKind}) {
        for (const bool newContent : {false, true}) {
            const HookedChild &child = plain[kind][newContent];
            QVERIFY2(child.failure().isEmpty(), qPrintable(child.failure()));
            error = loadError(kind, child.folder, newContent ? NewContent : OldContent);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            (newContent ? m_new : m_old)[kind] = fileBytes(targetIn(kind, child.folder));
        }
        QVERIFY(m_new[kind].size() > kSeveralWrites);
        QVERIFY(m_old[kind].size() < m_new[kind].size());
    }

    QRandomGenerator random(kSeed);
    for (const int kind : {SettingsKind, CurveKind}) {
        const QString name = QLatin1String(kind == SettingsKind ? "config.xml: " : "curve: ");
        const int size = m_new[kind].size();
        const auto row = [&](const QString &what, bool hasOld, qint64 killAfter, bool killAtRename) {
            m_rows.append({name + what, kind, hasOld, killAfter, killAtRename, freshFolder()});
        };
        row(QStringLiteral("not killed"), true, -1, false);
        row(QStringLiteral("at byte 0"), true, 0, false);
        for (int i = 0; i < kSeededOffsets; ++i) {
            const int offset = random.bounded(2, size - 1);
            row(QStringLiteral("at byte %1").arg(offset), true, offset, false);
        }
        row(QStringLiteral("at the last byte"), true, size - 1, false);
        row(QStringLiteral("after the last byte, before the rename"), true, -1, true);
        const int offset = random.bounded(2, size - 1);
        row(QStringLiteral("first save, at byte %1").arg(offset), false, offset, false);
    }

    // Every row's steps, each step for all rows at once: the old file, the save that may be killed, and
    // after a kill a fresh save.
    children.clear();
    for (Row &row : m_rows) {
        if (row.hasOld) {
            row.oldSave = save(row.kind, row.folder, false);
            children << &row.oldSave;
        }
    }
    runHookedChildren(children);
    children.clear();
    for (Row &row : m_rows) {
        row.afterOld = describe(row.kind, targetIn(row.kind, row.folder));
        row.save = save(row.kind, row.folder, true, row.killAfter, row.killAtRename);
        children << &row.save;
    }
    runHookedChildren(children);
    children.clear();
    for (Row &row : m_rows) {
        const QString target = targetIn(row.kind, row.folder);
        row.afterSave = describe(row.kind, target);
        const QStringList names
            = row.killAtRename ? QDir(row.folder).entryList(QDir::Files | QDir::Hidden) : QStringList();
        for (const QString &name : names) {
            if (name != QFileInfo(target).fileName())
                row.strays.append(describe(row.kind, row.folder + QLatin1Char('/') + name));
        }
        if (row.killed()) {
            row.freshSave = save(row.kind, row.folder, true);
            children << &row.freshSave;
        }
    }
    runHookedChildren(children);
    for (Row &row : m_rows)
        row.afterFresh = describe(row.kind, targetIn(row.kind, row.folder));
}

void TestCrashSafeSave::killedSaveLeavesOldOrNewFile_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < m_rows.size(); ++i)
        QTest::newRow(qPrintable(m_rows[i].name)) << i;
}

void TestCrashSafeSave::killedSaveLeavesOldOrNewFile()
{
    QFETCH(int, row);
    const Row &r = m_rows[row];
    if (r.hasOld) {
        QVERIFY2(r.oldSave.failure().isEmpty(), qPrintable(r.oldSave.failure()));
        QCOMPARE(r.afterOld, describe(OldContent));
    }

    QVERIFY2(r.save.ended, "the saving child did not end");
    // Killed rows die by the hook's SIGKILL and nothing else; the others end as the program does.
    QVERIFY2(r.save.exitStatus == (r.killed() ? QProcess::CrashExit : QProcess::NormalExit)
            && r.save.exitCode == (r.killed() ? int(SIGKILL) : 0),
        r.save.err.constData());

    // Byte for byte the old or the new file, both of which the loader read in initTestCase().
    const Content expected = !r.killed() ? NewContent : r.hasOld ? OldContent : NoFile;
    QCOMPARE(r.afterSave, describe(expected));
    if (!r.killed())
        return;

    // The kill came after the last byte: the complete file waited under another name.
    if (r.killAtRename)
        QVERIFY2(r.strays.contains(describe(NewContent)), qPrintable(r.strays.join(QStringLiteral(", "))));

    // Whatever the kill left beside the target, the next save replaces the target whole.
    QVERIFY2(r.freshSave.failure().isEmpty(), qPrintable(r.freshSave.failure()));
    QCOMPARE(r.afterFresh, describe(NewContent));
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

HookedChild TestCrashSafeSave::save(
    int kind, const QString &folder, bool newContent, qint64 killAfter, bool killAtRename) const
{
    HookedChild child;
    child.folder = folder;
    if (killAfter >= 0)
        child.hook << QStringLiteral("BB_KILL_AFTER=%1").arg(killAfter);
    if (killAtRename)
        child.hook << QStringLiteral("BB_KILL_AT_RENAME=1");
    child.args = kind == SettingsKind
        ? QStringList {QStringLiteral("settings"), folder,
            QString::number(newContent ? kNewEntries : kOldEntries)}
        : QStringList {QStringLiteral("save-curve-quietly"),
            m_root.filePath(newContent ? QStringLiteral("new-source.txt") : QStringLiteral("old-source.txt")),
            targetIn(kind, folder)};
    return child;
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
