#include "recording/curverecorder.h"
#include "recording/samplestore.h"

#include <QSignalSpy>
#include <QtTest>

class TestCurveRecorder : public QObject
{
    Q_OBJECT

private slots:
    void recordingStoresTheLatestReadingOnly();
    void settingsAreForTheNextRecording();
    void pauseForInspectionEndsUnlessTheOperatorTookItOver_data();
    void pauseForInspectionEndsUnlessTheOperatorTookItOver();
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
    QVERIFY(r.curve().isNull());
    const int kept = curve->size();
    QTest::qWait(60);
    // cppcheck-suppress knownConditionTrueFalse ; the wait above lets a still running collector add samples
    QCOMPARE(curve->size(), kept);
    for (int i = 0; i < kept; ++i) {
        QCOMPARE(curve->at(i).value, 25.5);
        QVERIFY(i == 0 || curve->at(i).key >= curve->at(i - 1).key);
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

QTEST_GUILESS_MAIN(TestCurveRecorder)
#include "tst_curverecorder.moc"
