#include "chart/curvefile.h"
#include "control/calibrationrun.h"
#include "hookedchild.h"
#include "settings/settings.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

namespace {

enum Fault { NoFault, FullAtFirstByte, FullAtMiddleByte, FullAtLastByte, FullAtSync, FullAtRename };

// Whether a saved file reads back, with the program's own reader where it has one.
using Reader = bool (*)(const QString &path);

bool readsAsCurve(const QString &path)
{
    QFile file(path);
    CurveFileContents contents;
    return file.open(QIODevice::ReadOnly) && readCurve(&file, &contents) == CurveReadResult::Ok
        && contents.isCurve();
}

bool readsAsTable(const QString &path)
{
    return fileBytes(path).startsWith("\xEF\xBB\xBFTime,");
}

bool readsAsPng(const QString &path)
{
    return !QImage(path, "PNG").isNull();
}

bool readsAsPdf(const QString &path)
{
    const QByteArray bytes = fileBytes(path);
    return bytes.startsWith("%PDF-") && bytes.trimmed().endsWith("%%EOF");
}

bool readsAsSettings(const QString &path)
{
    Settings settings;
    settings.configDir = QFileInfo(path).absolutePath();
    const bool loaded = settings.load();
    const QString cache = settings.value(settings.chartLineCacheKey, QString());
    // Nothing to write back: this store only looks.
    settings.configDir.clear();
    return loaded && cache == QLatin1String("7");
}

bool readsAsReportTable(const QString &path)
{
    return fileBytes(path).startsWith("step,outcome,set_point\r\n");
}

bool readsAsRun(const QString &path)
{
    CalibrationRunError error;
    CalibrationRun::fromJson(fileBytes(path), &error);
    return !error.isError();
}

const char kOldFile[] = "the old file\n";
const char kOldSettings[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                            "<Settings><Chart><Language>English</Language></Chart></Settings>\n";

// Every way the program saves a file, as the saving child runs it.
struct Saver
{
    const char *mode; // the child's name for it
    const char *target; // the file's name in the row's folder
    bool opensCurve; // the child opens the source curve in the chart first
    int failureReports; // boxes and stderr lines that tell of a failed save
    bool confirms; // a box says the save succeeded
    const char *old; // what the target holds before the save
    Reader reads;
};

const Saver kSavers[] = {
    {"export-curve", "curve.txt", true, 1, true, kOldFile, readsAsCurve},
    {"save-curve-quietly", "curve.txt", true, 1, false, kOldFile, readsAsCurve},
    {"export-csv", "curve.csv", true, 1, true, kOldFile, readsAsTable},
    {"export-image", "chart.png", false, 1, true, kOldFile, readsAsPng},
    {"export-image", "chart.pdf", false, 1, true, kOldFile, readsAsPdf},
    // The dialog's box, then the line the exit save prints.
    {"chart-settings", "config.xml", false, 2, false, kOldSettings, readsAsSettings},
    {"run-file", "points.bbrun", false, 1, false, kOldFile, readsAsRun},
    {"calibration-csv", "report.csv", true, 1, false, kOldFile, readsAsReportTable},
    {"calibration-pdf", "report.pdf", true, 1, false, kOldFile, readsAsPdf},
};
const int kSaverCount = int(sizeof kSavers / sizeof kSavers[0]);

// Enough rows for the curve and the table to leave the save's buffer in several writes.
const int kSourceRows = 5000;

} // namespace

// A full disk at every step of every save: the operator is told the file and the reason and nothing
// claims success, the old file stays byte for byte, and nothing is left beside it.
class TestFullDiskSave : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void fullDiskLeavesOldFileAndSaysSo_data();
    void fullDiskLeavesOldFileAndSaysSo();

private:
    struct Outcome
    {
        QString target;
        // Boxes, failed quiet saves and stderr error lines, in the words shown.
        QStringList reports;
        QString error; // empty when the child ran to its end
    };
    // Saves over the old file in a fresh folder, with the hook set up by `hook`.
    Outcome save(int saver, const QStringList &hook);
    // The size of what `saver` writes when nothing fails.
    qint64 newSize(int saver);

    QTemporaryDir m_root;
    QString m_source;
    int m_folders = 0;
    qint64 m_newSizes[kSaverCount] = {};
};

void TestFullDiskSave::initTestCase()
{
    QVERIFY(m_root.isValid());
    m_source = m_root.filePath(QStringLiteral("source.txt"));
    const QString error = writeSourceCurve(m_source, kSourceRows);
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

void TestFullDiskSave::fullDiskLeavesOldFileAndSaysSo_data()
{
    QTest::addColumn<int>("saver");
    QTest::addColumn<int>("fault");
    const std::pair<Fault, const char *> faults[] = {
        {NoFault, "saved"},
        {FullAtFirstByte, "full at the first byte"},
        {FullAtMiddleByte, "full at the middle byte"},
        {FullAtLastByte, "full at the last byte"},
        {FullAtSync, "full at the sync"},
        {FullAtRename, "full at the rename"},
    };
    for (int saver = 0; saver < kSaverCount; ++saver) {
        for (const auto &[fault, what] : faults) {
            QTest::addRow("%s %s: %s", kSavers[saver].mode, kSavers[saver].target, what)
                << saver << int(fault);
        }
    }
}

void TestFullDiskSave::fullDiskLeavesOldFileAndSaysSo()
{
    QFETCH(int, saver);
    QFETCH(int, fault);
    const Saver &s = kSavers[saver];
    const bool atByte = fault == FullAtMiddleByte || fault == FullAtLastByte;
    const qint64 size = atByte ? newSize(saver) : 0;
    QVERIFY2(!atByte || size > 1, "the save without a fault failed");
    QStringList hook;
    switch (fault) {
    case FullAtFirstByte:
        hook << QStringLiteral("BB_FULL_AFTER=0");
        break;
    case FullAtMiddleByte:
        hook << QStringLiteral("BB_FULL_AFTER=%1").arg(size / 2);
        break;
    case FullAtLastByte:
        hook << QStringLiteral("BB_FULL_AFTER=%1").arg(size - 1);
        break;
    case FullAtSync:
        hook << QStringLiteral("BB_FULL_AT_SYNC=1");
        break;
    case FullAtRename:
        hook << QStringLiteral("BB_FULL_AT_RENAME=1");
        break;
    }
    const Outcome outcome = save(saver, hook);
    QVERIFY2(outcome.error.isEmpty(), qPrintable(outcome.error));
    const QString shown = outcome.reports.join(QLatin1Char('\n'));

    if (fault == NoFault) {
        QCOMPARE(outcome.reports.size(), s.confirms ? 1 : 0);
        QVERIFY2(!s.confirms || shown.contains(QStringLiteral("成功")), qPrintable(shown));
        QVERIFY(s.reads(outcome.target));
        return;
    }
    QCOMPARE(outcome.reports.size(), s.failureReports);
    for (const QString &report : outcome.reports) {
        QVERIFY2(report.contains(QDir::toNativeSeparators(outcome.target))
                && report.contains(QStringLiteral("磁盘空间不足"))
                && !report.contains(QStringLiteral("成功")),
            qPrintable(report));
    }
    QCOMPARE(fileBytes(outcome.target), QByteArray(s.old));
}

TestFullDiskSave::Outcome TestFullDiskSave::save(int saver, const QStringList &hook)
{
    const Saver &s = kSavers[saver];
    const QString folder = m_root.filePath(QStringLiteral("save%1").arg(++m_folders));
    QDir().mkpath(folder);
    Outcome outcome;
    // The hook compares the paths the kernel reports.
    outcome.target = QDir(folder).canonicalPath() + QLatin1Char('/') + QLatin1String(s.target);
    QFile old(outcome.target);
    if (!old.open(QIODevice::WriteOnly) || old.write(s.old) != qstrlen(s.old)) {
        outcome.error = QStringLiteral("cannot write the old file");
        return outcome;
    }
    old.close();

    QProcess child;
    const QStringList args {
        QLatin1String(s.mode), s.opensCurve ? m_source : QStringLiteral("-"), outcome.target};
    if (!runHookedChild(child, QFileInfo(outcome.target).absolutePath(), args, hook)) {
        outcome.error = QStringLiteral("the saving child did not end");
        return outcome;
    }
    const QString errors = QString::fromLocal8Bit(child.readAllStandardError());
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        outcome.error = QStringLiteral("the saving child failed (%1, code %2): %3")
                            .arg(child.exitStatus())
                            .arg(child.exitCode())
                            .arg(errors);
        return outcome;
    }
    const QStringList lines = QString::fromUtf8(child.readAllStandardOutput()).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("box\t")) || line.startsWith(QLatin1String("failed\t")))
            outcome.reports
                << line.section(QLatin1Char('\t'), 1).replace(QLatin1String("\\n"), QLatin1String("\n"));
    }
    const QStringList errorLines = errors.split(QLatin1Char('\n'));
    for (const QString &line : errorLines) {
        if (line.startsWith(QLatin1String("Error: Cannot write file")))
            outcome.reports << line;
    }

    // Nothing but the target, whatever happened: no temporary file stays behind.
    const QStringList left
        = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (left != QStringList {QLatin1String(s.target)})
        outcome.error = QStringLiteral("the folder holds ") + left.join(QStringLiteral(", "));
    else if (hook.isEmpty())
        m_newSizes[saver] = QFileInfo(outcome.target).size();
    return outcome;
}

qint64 TestFullDiskSave::newSize(int saver)
{
    // The row that saves without a fault comes first and measures it; a row run alone measures it here.
    if (m_newSizes[saver] == 0)
        save(saver, {});
    return m_newSizes[saver];
}

QTEST_GUILESS_MAIN(TestFullDiskSave)
#include "tst_fulldisksave.moc"
