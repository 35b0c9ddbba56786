#include "plot/chartranges.h"

#include <QtTest>

Q_DECLARE_METATYPE(QCPRange)

class TestChartRanges : public QObject
{
    Q_OBJECT

private slots:
    void followKeepsWidthAndNeverMovesLeft_data();
    void followKeepsWidthAndNeverMovesLeft();
    void leavingWholeCurveGivesWholeSecondsUpToThirty_data();
    void leavingWholeCurveGivesWholeSecondsUpToThirty();
    void recordingStartsAtZeroAsWideAsTheFollowWindow_data();
    void recordingStartsAtZeroAsWideAsTheFollowWindow();
    void latestValueIsKeptInViewByTheLeastShift_data();
    void latestValueIsKeptInViewByTheLeastShift();
    void zoomStepsAndLimits_data();
    void zoomStepsAndLimits();
    void guardsKeepRangesAboveFloor_data();
    void guardsKeepRangesAboveFloor();
};

void TestChartRanges::followKeepsWidthAndNeverMovesLeft_data()
{
    QTest::addColumn<QCPRange>("current");
    QTest::addColumn<double>("newest");
    QTest::addColumn<QCPRange>("expected");
    QTest::newRow("newest inside: unchanged") << QCPRange(0, 30) << 12.0 << QCPRange(0, 30);
    QTest::newRow("newest beyond: slides right") << QCPRange(0, 30) << 31.5 << QCPRange(1.5, 31.5);
    QTest::newRow("dragged back: returns to newest") << QCPRange(10, 40) << 100.0 << QCPRange(70, 100);
}

void TestChartRanges::followKeepsWidthAndNeverMovesLeft()
{
    QFETCH(QCPRange, current);
    QFETCH(double, newest);
    QFETCH(QCPRange, expected);
    const QCPRange got = followRange(current, newest);
    QCOMPARE(got.lower, expected.lower);
    QCOMPARE(got.upper, expected.upper);
}

void TestChartRanges::leavingWholeCurveGivesWholeSecondsUpToThirty_data()
{
    QTest::addColumn<QCPRange>("current");
    QTest::addColumn<double>("newest");
    QTest::addColumn<QCPRange>("expected");
    QTest::newRow("12.7 s wide gives 12 s") << QCPRange(0, 12.7) << 12.7 << QCPRange(0.7, 12.7);
    QTest::newRow("wider than 30 s gives 30 s") << QCPRange(0, 500) << 500.0 << QCPRange(470, 500);
    QTest::newRow("upper already past newest") << QCPRange(0, 50) << 20.0 << QCPRange(20, 50);
}

void TestChartRanges::leavingWholeCurveGivesWholeSecondsUpToThirty()
{
    QFETCH(QCPRange, current);
    QFETCH(double, newest);
    QFETCH(QCPRange, expected);
    const QCPRange got = followWindowFromWholeCurve(current, newest);
    QCOMPARE(got.lower, expected.lower);
    QCOMPARE(got.upper, expected.upper);
}

void TestChartRanges::recordingStartsAtZeroAsWideAsTheFollowWindow_data()
{
    QTest::addColumn<QCPRange>("current");
    QTest::addColumn<bool>("wholeCurve");
    QTest::addColumn<QCPRange>("expected");
    QTest::newRow("following") << QCPRange(3, 33) << false << QCPRange(0, 30);
    QTest::newRow("following, zoomed in") << QCPRange(100, 110.5) << false << QCPRange(0, 10.5);
    QTest::newRow("whole curve of 12.7 s") << QCPRange(0, 12.7) << true << QCPRange(0, 12);
    QTest::newRow("whole curve under a second") << QCPRange(0, 0.4) << true << QCPRange(0, 30);
}

void TestChartRanges::recordingStartsAtZeroAsWideAsTheFollowWindow()
{
    QFETCH(QCPRange, current);
    QFETCH(bool, wholeCurve);
    QFETCH(QCPRange, expected);
    const QCPRange got = recordingStartWindow(current, wholeCurve);
    QCOMPARE(got.lower, expected.lower);
    QCOMPARE(got.upper, expected.upper);
}

void TestChartRanges::latestValueIsKeptInViewByTheLeastShift_data()
{
    QTest::addColumn<QCPRange>("current");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("moves");
    QTest::addColumn<QCPRange>("expected");
    QTest::newRow("in view") << QCPRange(0, 100) << 100.0 << false << QCPRange();
    QTest::newRow("above: up, 5 % margin") << QCPRange(0, 100) << 300.0 << true << QCPRange(205, 305);
    QTest::newRow("below: down, 5 % margin") << QCPRange(200, 300) << 20.0 << true << QCPRange(15, 115);
    QTest::newRow("below near the floor: span kept")
        << QCPRange(0, 100) << -49.0 << true << QCPRange(-50, 50);
    QTest::newRow("no reading is never followed") << QCPRange(0, 100) << -10000.0 << false << QCPRange();
    QTest::newRow("not a number") << QCPRange(0, 100) << qQNaN() << false << QCPRange();
}

void TestChartRanges::latestValueIsKeptInViewByTheLeastShift()
{
    QFETCH(QCPRange, current);
    QFETCH(double, value);
    QFETCH(bool, moves);
    QFETCH(QCPRange, expected);
    const std::optional<QCPRange> got = keepValueInView(current, value, -50);
    QCOMPARE(got.has_value(), moves);
    if (moves) {
        QCOMPARE(got->lower, expected.lower);
        QCOMPARE(got->upper, expected.upper);
    }
}

void TestChartRanges::zoomStepsAndLimits_data()
{
    QTest::addColumn<QCPRange>("current");
    QTest::addColumn<bool>("zoomIn");
    QTest::addColumn<bool>("acts");
    QTest::addColumn<double>("width");
    QTest::newRow("time in") << QCPRange(0, 12) << true << true << 10.0;
    QTest::newRow("time in at 1 s does nothing") << QCPRange(5, 6) << true << false << 1.0;
    QTest::newRow("time in just above 1 s") << QCPRange(5, 6.2) << true << true << (6.2 - 5) / 1.2;
    QTest::newRow("time out") << QCPRange(0, 10) << false << true << 12.0;
    QTest::newRow("time out at 100000 s does nothing") << QCPRange(0, 100000) << false << false << 100000.0;
}

void TestChartRanges::zoomStepsAndLimits()
{
    QFETCH(QCPRange, current);
    QFETCH(bool, zoomIn);
    QFETCH(bool, acts);
    QFETCH(double, width);
    const std::optional<QCPRange> got = zoomStep(current, zoomIn, 1.0, 100000);
    QCOMPARE(got.has_value(), acts);
    if (!acts)
        return;
    QCOMPARE(got->size(), width);
    QCOMPARE(got->center(), current.center());
}

void TestChartRanges::guardsKeepRangesAboveFloor_data()
{
    QTest::addColumn<QCPRange>("range");
    QTest::addColumn<double>("floor");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QCPRange>("expected");
    QTest::newRow("time above 0") << QCPRange(2, 30) << 0.0 << false << QCPRange();
    QTest::newRow("time dragged below 0") << QCPRange(-5, 25) << 0.0 << true << QCPRange(0, 25);
    QTest::newRow("time wholly below 0 keeps width") << QCPRange(-40, -10) << 0.0 << true << QCPRange(0, 30);
    QTest::newRow("temperature below -50") << QCPRange(-80, 20) << -50.0 << true << QCPRange(-50, 20);
    QTest::newRow("temperature at -50") << QCPRange(-50, 20) << -50.0 << false << QCPRange();
}

void TestChartRanges::guardsKeepRangesAboveFloor()
{
    QFETCH(QCPRange, range);
    QFETCH(double, floor);
    QFETCH(bool, changed);
    QFETCH(QCPRange, expected);
    const std::optional<QCPRange> got = guardedRange(range, floor);
    QCOMPARE(got.has_value(), changed);
    if (changed) {
        QCOMPARE(got->lower, expected.lower);
        QCOMPARE(got->upper, expected.upper);
    }
}

QTEST_GUILESS_MAIN(TestChartRanges)
#include "tst_chartranges.moc"
