#include "control/linkpolicy.h"
#include "recording/curverecorder.h"
#include "recording/samplestore.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestCurveRecorder : public QObject
{
    Q_OBJECT

private slots:
    void recordingStoresTheLatestReadingOnly();
    void silenceIsAGapNotTheLastReadingRepeated();
    void settingsAreForTheNextRecording();
    void pauseForInspectionEndsUnlessTheOperatorTookItOver_data();
    void pauseForInspectionEndsUnlessTheOperatorTookItOver();
    void recordingKeepsItsCurveUntilSavedOrDropped_data();
    void recordingKeepsItsCurveUntilSavedOrDropped();
};

void TestCurveRecorder::recordingStoresTheLatestReadingOnly()
{
    CurveRecorder r;
    r.setSampleInterval(10);
    r.start();
    const QSharedPointer<SampleStore> curve = r.curve();
    // Before any reading there is none: nothing may be recorded as 0 degrees.
    QTRY_VERIFY_WITH_TIMEOUT(r.lastElapsed() > 0.2, 5000);
    QSignalSpy drained(&r, &CurveRecorder::drained);
    QVERIFY(drained.wait());
    QCOMPARE(curve->size(), 0);
    r.setReading(25.5);
    QTRY_VERIFY_WITH_TIMEOUT(curve->size() >= 5, 5000);
    r.stop();
    QCOMPARE(r.lastElapsed(), 0.0);
    // The last recording stays, to be saved.
    QCOMPARE(r.curve(), curve);
    const int kept = curve->size();
    QTest::qWait(60);
    // cppcheck-suppress knownConditionTrueFalse ; the wait above lets a still running collector add samples
    QCOMPARE(curve->size(), kept);
    for (int i = 0; i < kept; ++i) {
        QCOMPARE(curve->at(i).value, 25.5);
        QVERIFY(i == 0 || curve->at(i).key >= curve->at(i - 1).key);
    }
}

void TestCurveRecorder::silenceIsAGapNotTheLastReadingRepeated()
{
    CurveRecorder r;
    r.setSampleInterval(50);
    r.start();
    // One reading of each, then silence: the samples stop once the readings are too old to stand for now.
    r.setReading(42.3);
    r.setAmbientReading(23.0);
    const double heard = r.elapsedNow();
    QTRY_VERIFY_WITH_TIMEOUT(r.lastElapsed() > heard + 2.5, 10000);
    // A new reading starts the samples again.
    r.setReading(43.0);
    QTRY_VERIFY_WITH_TIMEOUT(
        r.curve()->size() > 0 && r.curve()->at(r.curve()->size() - 1).value == 43.0, 5000);
    r.stop();
    // And what a loaded machine may put between judging a tick and stamping it.
    const double limit = heard + LinkPolicy::kRecordableForMs / 1000.0 + 0.2;
    for (const QSharedPointer<SampleStore> &curve : {r.curve(), r.ambientCurve()}) {
        QVERIFY(curve->size() >= 20);
        double lastHeld = 0;
        for (int i = 0; i < curve->size(); ++i) {
            if (curve->at(i).value != 43.0)
                lastHeld = curve->at(i).key;
        }
        QVERIFY2(lastHeld > heard + 1.3 && lastHeld <= limit, qPrintable(QString::number(lastHeld - heard)));
    }
}

void TestCurveRecorder::settingsAreForTheNextRecording()
{
    CurveRecorder r;
    r.setReading(30);
    r.start();
    QCOMPARE(r.info().intervalMs, 100);
    const QSharedPointer<SampleStore> curve = r.curve();
    QTRY_VERIFY_WITH_TIMEOUT(curve->size() >= 3, 5000);
    const CurveInfo recording = r.info();
    r.setSampleInterval(1000);
    r.setCacheSize(2000);
    QVERIFY(r.info() == recording);
    QCOMPARE(curve->capacity(), 1'000'000);
    r.stop();
    r.start();
    QCOMPARE(r.info().intervalMs, 1000);
    QCOMPARE(r.curve()->capacity(), 2000);
    r.stop();
    // Both are clamped.
    r.setCacheSize(-5);
    QCOMPARE(r.cacheSize(), 0);
    r.setSampleInterval(0);
    QCOMPARE(r.sampleInterval(), 1);
}

void TestCurveRecorder::pauseForInspectionEndsUnlessTheOperatorTookItOver_data()
{
    QTest::addColumn<bool>("pausedBefore");
    QTest::addColumn<int>("togglesMeanwhile");
    QTest::addColumn<bool>("pausedAfter");
    QTest::newRow("it ends with the inspection") << false << 0 << false;
    QTest::newRow("the operator's pause stays") << true << 0 << true;
    QTest::newRow("paused again meanwhile stays paused") << false << 2 << true;
}

void TestCurveRecorder::pauseForInspectionEndsUnlessTheOperatorTookItOver()
{
    QFETCH(bool, pausedBefore);
    QFETCH(int, togglesMeanwhile);
    QFETCH(bool, pausedAfter);
    CurveRecorder r;
    r.setPaused(pausedBefore);
    r.pauseForInspection();
    QVERIFY(r.isPaused());
    for (int i = 0; i < togglesMeanwhile; ++i)
        r.setPaused(!r.isPaused());
    r.endInspection();
    QCOMPARE(r.isPaused(), pausedAfter);
    // A new recording ends any pause.
    QSignalSpy changes(&r, &CurveRecorder::pausedChanged);
    r.start();
    QVERIFY(!r.isPaused());
    QCOMPARE(changes.size(), pausedAfter ? 1 : 0);
}

void TestCurveRecorder::recordingKeepsItsCurveUntilSavedOrDropped_data()
{
    // Steps: start, stop, reading (waits for a sample), setpoint V, stable, step, end, save, save-bad,
    // drop. After each: whether an unsaved curve stands, "u" or "-".
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("unsaved");
    QTest::addColumn<QString>("marks"); // the steps of the marks made, in order
    QTest::addColumn<int>("setPoints");

    QTest::newRow("nothing recorded is nothing to save") << QStringList {"start", "stop"} << "--"
                                                         << "" << 0;
    QTest::newRow("a recording stays unsaved after it stops")
        << QStringList {"start", "reading", "stop"} << "-uu"
        << "" << 0;
    QTest::newRow("saved, then a new recording")
        << QStringList {"start", "reading", "stop", "save", "start"} << "-uu--"
        << "" << 0;
    QTest::newRow("a write that fails keeps it unsaved")
        << QStringList {"start", "reading", "stop", "save-bad"} << "-uuu"
        << "" << 0;
    QTest::newRow("not while recording") << QStringList {"start", "reading", "save", "drop"} << "-uuu"
                                         << "" << 0;
    QTest::newRow("dropped") << QStringList {"start", "reading", "stop", "drop"} << "-uu-"
                             << "" << 0;
    QTest::newRow("marks and set points belong to the recording, numbered from its first step")
        << QStringList {"stable", "start", "setpoint 30", "setpoint 30", "stable", "step", "end", "step",
               "setpoint 35", "stop", "step", "setpoint 40"}
        << "------------"
        << "0 1 -1 2" << 2;
}

void TestCurveRecorder::recordingKeepsItsCurveUntilSavedOrDropped()
{
    QFETCH(QStringList, steps);
    QTemporaryDir dir;
    CurveRecorder r;
    r.setSampleInterval(10);
    r.setReading(25);
    QString unsaved;
    for (const QString &step : steps) {
        const QStringList w = step.split(QLatin1Char(' '));
        if (w[0] == "start") {
            r.setReading(CurveRecorder::NoReading);
            r.start();
        } else if (w[0] == "stop") {
            r.stop();
        } else if (w[0] == "reading") {
            r.setReading(25);
            QTRY_VERIFY_WITH_TIMEOUT(!r.curve()->isEmpty(), 5000);
        } else if (w[0] == "setpoint") {
            r.setSetPoint(w[1].toDouble());
        } else if (w[0] == "stable") {
            r.markStable();
        } else if (w[0] == "step" || w[0] == "end") {
            r.markStep(w[0] == "step");
        } else if (w[0] == "save" || w[0] == "save-bad") {
            const QString file
                = dir.filePath(w[0] == "save" ? QStringLiteral("c.txt") : QStringLiteral("none/c.txt"));
            QCOMPARE(bool(r.save(file, QStringLiteral("test"))), w[0] == "save" && !r.isRecording());
        } else if (w[0] == "drop") {
            r.drop();
        }
        unsaved += r.hasUnsavedCurve() ? 'u' : '-';
    }
    QTEST(unsaved, "unsaved");
    QStringList marks;
    for (const CurveRecorder::Mark &mark : r.marks())
        marks << QString::number(mark.step);
    QTEST(marks.join(QLatin1Char(' ')), "marks");
    QTEST(r.setPointValues().size(), "setPoints");
}

QTEST_GUILESS_MAIN(TestCurveRecorder)
#include "tst_curverecorder.moc"
