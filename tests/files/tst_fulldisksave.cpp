#include "control/calibrationrun.h"
#include "hookedchild.h"
#include "recording/curvefile.h"
#include "settings/settings.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

namespace {

enum Fault { NoFault, FullAtFirstByte, FullAtMiddleByte, FullAtLastByte, FullAtSync, FullAtRename };
const char *const kFaults[] = {"saved", "full at the first byte", "full at the middle byte",
    "full at the last byte", "full at the sync", "full at the rename"};
const int kFaultCount = int(sizeof kFaults / sizeof kFaults[0]);

// Where the disk fills depends on the size the save without a fault wrote.
bool atByte(int fault)
{
    return fault == FullAtMiddleByte || fault == FullAtLastByte;
}

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
        HookedChild child;
        // Boxes, failed quiet saves and stderr error lines, in the words shown.
        QStringList reports;
        QString error; // empty when the child ran to its end
    };
    // Readies a fresh folder with the old file and the child that saves over it; false on an error.
    bool prepare(int saver, int fault);
    // Reads what the child reported and left.
    static void conclude(Outcome &outcome);

    QTemporaryDir m_root;
    QString m_source;
    Outcome m_outcomes[kSaverCount][kFaultCount];
};

void TestFullDiskSave::initTestCase()
{
    QVERIFY(m_root.isValid());
    m_source = m_root.filePath(QStringLiteral("source.txt"));
    const QString error = writeSourceCurve(m_source, kSourceRows);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    // Every row saves in a folder of its own, all at once; those at a byte once the sizes are known.
    for (const bool second : {false, true}) {
        QVector<HookedChild *> children;
        for (int saver = 0; saver < kSaverCount; ++saver) {
            for (int fault = 0; fault < kFaultCount; ++fault) {
                if (atByte(fault) == second && prepare(saver, fault))
                    children << &m_outcomes[saver][fault].child;
            }
        }
        runHookedChildren(children);
        for (int saver = 0; saver < kSaverCount; ++saver) {
            for (int fault = 0; fault < kFaultCount; ++fault) {
                if (atByte(fault) == second)
                    conclude(m_outcomes[saver][fault]);
            }
        }
    }
}

void TestFullDiskSave::fullDiskLeavesOldFileAndSaysSo_data()
{
    QTest::addColumn<int>("saver");
    QTest::addColumn<int>("fault");
    for (int saver = 0; saver < kSaverCount; ++saver) {
        for (int fault = 0; fault < kFaultCount; ++fault) {
            QTest::addRow("%s %s: %s", kSavers[saver].mode, kSavers[saver].target, kFaults[fault])
                << saver << fault;
        }
    }
}

void TestFullDiskSave::fullDiskLeavesOldFileAndSaysSo()
{
    QFETCH(int, saver);
    QFETCH(int, fault);
    const Saver &s = kSavers[saver];
    const Outcome &outcome = m_outcomes[saver][fault];
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

bool TestFullDiskSave::prepare(int saver, int fault)
{
    const Saver &s = kSavers[saver];
    Outcome &outcome = m_outcomes[saver][fault];
    const QString folder = m_root.filePath(QStringLiteral("save%1-%2").arg(saver).arg(fault));
    QDir().mkpath(folder);
    // The hook compares the paths the kernel reports.
    outcome.child.folder = QDir(folder).canonicalPath();
    outcome.target = outcome.child.folder + QLatin1Char('/') + QLatin1String(s.target);
    const Outcome &saved = m_outcomes[saver][NoFault];
    const qint64 size = saved.error.isEmpty() ? QFileInfo(saved.target).size() : 0;
    switch (fault) {
    case FullAtFirstByte:
        outcome.child.hook << QStringLiteral("BB_FULL_AFTER=0");
        break;
    case FullAtMiddleByte:
        outcome.child.hook << QStringLiteral("BB_FULL_AFTER=%1").arg(size / 2);
        break;
    case FullAtLastByte:
        outcome.child.hook << QStringLiteral("BB_FULL_AFTER=%1").arg(size - 1);
        break;
    case FullAtSync:
        outcome.child.hook << QStringLiteral("BB_FULL_AT_SYNC=1");
        break;
    case FullAtRename:
        outcome.child.hook << QStringLiteral("BB_FULL_AT_RENAME=1");
        break;
    }
    if (atByte(fault) && size <= 1)
        outcome.error = QStringLiteral("the save without a fault failed");
    outcome.child.args
        = QStringList {QLatin1String(s.mode), s.opensCurve ? m_source : QStringLiteral("-"), outcome.target};
    QFile old(outcome.target);
    if (!old.open(QIODevice::WriteOnly) || old.write(s.old) != qstrlen(s.old))
        outcome.error = QStringLiteral("cannot write the old file");
    return outcome.error.isEmpty();
}

void TestFullDiskSave::conclude(Outcome &outcome)
{
    if (outcome.error.isEmpty())
        outcome.error = outcome.child.failure();
    if (!outcome.error.isEmpty())
        return;
    const QStringList lines = QString::fromUtf8(outcome.child.out).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("box\t")) || line.startsWith(QLatin1String("failed\t")))
            outcome.reports
                << line.section(QLatin1Char('\t'), 1).replace(QLatin1String("\\n"), QLatin1String("\n"));
    }
    const QStringList errorLines = QString::fromLocal8Bit(outcome.child.err).split(QLatin1Char('\n'));
    for (const QString &line : errorLines) {
        if (line.startsWith(QLatin1String("Error: Cannot write file")))
            outcome.reports << line;
    }

    // Nothing but the target, whatever happened: no temporary file stays behind.
    const QStringList left
        = QDir(outcome.child.folder)
              .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (left != QStringList {QFileInfo(outcome.target).fileName()})
        outcome.error = QStringLiteral("the folder holds ") + left.join(QStringLiteral(", "));
}

QTEST_GUILESS_MAIN(TestFullDiskSave)
#include "tst_fulldisksave.moc"
