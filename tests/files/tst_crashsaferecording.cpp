#include "hookedchild.h"
#include "recording/curverecorder.h"
#include "recording/recordingjournal.h"
#include "recording/samplestore.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

// Far into a recording at 10 ms: a kill there cuts a batch of samples short, unless it ends one exactly.
const qint64 kKillAtByte = 4000;

} // namespace

// A recording killed with SIGKILL, at a sync of its journal or inside a write, is offered at the next
// start with at most its last second lost, and saving it removes the journal.
class TestCrashSafeRecording : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void killedRecordingIsOfferedWithAtMostASecondLost_data();
    void killedRecordingIsOfferedWithAtMostASecondLost();

private:
    struct Row
    {
        // cppcheck-suppress unusedStructMember ; read through m_rows
        QString name;
        // cppcheck-suppress unusedStructMember ; read through m_rows
        QString hook;
        HookedChild child {};
    };

    QTemporaryDir m_root;
    QVector<Row> m_rows;
};

void TestCrashSafeRecording::initTestCase()
{
    QVERIFY(m_root.isValid());
    m_rows = {
        {QStringLiteral("after the header's sync and one more"), QStringLiteral("BB_KILL_AFTER_SYNCS=2")},
        {QStringLiteral("after the third sync"), QStringLiteral("BB_KILL_AFTER_SYNCS=3")},
        {QStringLiteral("inside a write at byte %1").arg(kKillAtByte),
            QStringLiteral("BB_KILL_AFTER=%1").arg(kKillAtByte)},
    };
    QVector<HookedChild *> children;
    for (int i = 0; i < m_rows.size(); ++i) {
        const QString folder = m_root.filePath(QString::number(i));
        QDir().mkpath(folder);
        HookedChild &child = m_rows[i].child;
        // The hook compares the paths the kernel reports.
        child.folder = QDir(folder).canonicalPath();
        child.args = QStringList {QStringLiteral("record"), child.folder};
        child.hook << m_rows[i].hook;
        children << &child;
    }
    runHookedChildren(children);
}

void TestCrashSafeRecording::killedRecordingIsOfferedWithAtMostASecondLost_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < m_rows.size(); ++i)
        QTest::newRow(qPrintable(m_rows[i].name)) << i;
}

void TestCrashSafeRecording::killedRecordingIsOfferedWithAtMostASecondLost()
{
    QFETCH(int, row);
    const HookedChild &child = m_rows[row].child;
    QVERIFY2(child.ended && child.exitStatus == QProcess::CrashExit, child.err.constData());
    const QRegularExpressionMatch killed
        = QRegularExpression(QStringLiteral("killed at (\\d+)")).match(QString::fromLocal8Bit(child.err));
    QVERIFY2(killed.hasMatch(), child.err.constData());

    const QVector<RecordingJournal::Found> found = RecordingJournal::pending(child.folder);
    QCOMPARE(found.size(), 1);
    QCOMPARE(found[0].status, RecordingJournal::Status::Ok);
    const RecordingJournal::Contents contents = RecordingJournal::readFile(found[0].path);
    QCOMPARE(found[0].points, contents.samples.size());
    if (m_rows[row].hook.startsWith(QLatin1String("BB_KILL_AFTER="))) {
        QCOMPARE(QFileInfo(found[0].path).size(), kKillAtByte);
        QVERIFY(contents.validBytes <= kKillAtByte);
    }
    // Only what the child recorded, none of a torn batch.
    for (const Sample &sample : contents.samples)
        QVERIFY2(sample.value >= 20 && sample.value < 30, qPrintable(QString::number(sample.value)));
    const double lastMs = found[0].startMsecs + contents.samples.constLast().key * 1000;
    const double lostMs = killed.captured(1).toDouble() - lastMs;
    QVERIFY2(lostMs <= 1000, qPrintable(QStringLiteral("%1 ms lost").arg(lostMs)));

    // Taken back and saved, the curve holds every sample and the journal goes.
    CurveRecorder recorder;
    QString error;
    QVERIFY2(recorder.adopt(found[0].path, &error), qPrintable(error));
    const QString saved = QDir(child.folder).filePath(QStringLiteral("saved.txt"));
    QVERIFY(recorder.save(saved, QStringLiteral("test")));
    QVERIFY(!QFile::exists(found[0].path));
    QFile file(saved);
    CurveFileContents curve;
    QVERIFY(file.open(QIODevice::ReadOnly) && readCurve(&file, &curve) == CurveReadResult::Ok);
    QCOMPARE(curve.numericRows, found[0].points);
}

QTEST_GUILESS_MAIN(TestCrashSafeRecording)

#include "tst_crashsaferecording.moc"
