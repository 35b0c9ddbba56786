#include "control/stabilityjudge.h"

#include <QTest>

class TestStabilityJudge : public QObject
{
    Q_OBJECT

private slots:
    void judgesReadingsAgainstReadBackSetPoint_data();
    void judgesReadingsAgainstReadBackSetPoint();
    void durationCountsMinutesPastTheHour_data();
    void durationCountsMinutesPastTheHour();
};

void TestStabilityJudge::judgesReadingsAgainstReadBackSetPoint_data()
{
    // Band 0.1, window 2 s. Events: "r T current set" (shown on the tile), "h T current set" (held back
    // from the tile by the jump filter), "lost", "limits band windowMs". After each: '-' unknown, 's'
    // settling, 'S' stable,
    // '!' just became stable. Readings arrive as single-precision values, as from the controller.
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QString>("states");
    QTest::addColumn<qint64>("since");

    QTest::newRow("enters the band, then covers the window") << QStringList {"r 0 24.0 25", "r 500 24.95 25",
        "r 1000 25.0 25", "r 1500 25.05 25", "r 2000 25 25", "r 2500 25 25", "r 3000 25 25"}
                                                             << "sssss!S" << qint64(2500);
    QTest::newRow("leaving the band restarts the window") << QStringList {"r 0 25 25", "r 1000 25 25",
        "r 2000 25 25", "r 2500 25.2 25", "r 3000 25 25", "r 4000 25 25", "r 5000 25 25"}
                                                          << "ss!sss!" << qint64(5000);
    QTest::newRow("edge of the band is inside")
        << QStringList {"r 0 400.1 400", "r 1000 399.9 400", "r 2000 400.1 400", "r 2500 400.11 400"}
        << "ss!s" << qint64(-1);
    QTest::newRow("missed polls keep the window, no reply for the stale time restarts it") << QStringList {
        "r 0 25 25", "r 1550 25 25", "r 2000 25 25", "r 5000 25 25", "r 8001 25 25", "r 9000 25 25",
        "r 10001 25 25"} << "ss!Sss!" << qint64(10001);
    QTest::newRow("new set point restarts the window") << QStringList {"r 0 25 25", "r 1000 25 25",
        "r 2000 25 25", "r 2500 30 30", "r 4000 30 30", "r 4500 30 30"}
                                                       << "ss!ss!" << qint64(4500);
    QTest::newRow("a reading held back from the tile counts as outside the band") << QStringList {"r 0 25 25",
        "r 1000 25 25", "r 2000 25 25", "h 2500 25.05 25", "r 3000 25 25", "h 3500 43 25", "r 4000 25 25",
        "r 6000 25 25"} << "ss!ssss!" << qint64(6000);
    QTest::newRow("link lost, then back")
        << QStringList {"r 0 25 25", "r 1000 25 25", "r 2000 25 25", "lost", "h 2500 40 25", "r 3000 25 25"}
        << "ss!-ss" << qint64(-1);
    QTest::newRow("new limits apply at once")
        << QStringList {"r 0 25 25", "r 1000 25 25", "limits 0.2 2000", "r 2000 25.15 25", "limits 0.2 4000",
               "r 2500 25.15 25", "limits 0.2 2000", "r 3000 25.15 25", "limits 0.1 2000", "r 3500 25.05 25"}
        << "sss!sss!ss" << qint64(-1);
}

void TestStabilityJudge::judgesReadingsAgainstReadBackSetPoint()
{
    QFETCH(QStringList, events);
    QFETCH(QString, states);
    QFETCH(qint64, since);

    StabilityJudge judge;
    judge.setLimits(0.1, 2000);
    QString got;
    for (const QString &event : events) {
        const QStringList w = event.split(QLatin1Char(' '));
        bool became = false;
        if (w[0] == "r" || w[0] == "h")
            became = judge.reading(
                w[1].toLongLong(), double(w[2].toFloat()), double(w[3].toFloat()), w[0] == "r");
        else if (w[0] == "lost")
            judge.reset();
        else
            judge.setLimits(w[1].toDouble(), w[2].toLongLong());
        const StabilityJudge::State state = judge.state();
        got += became                                  ? '!'
            : state == StabilityJudge::State::Stable   ? 'S'
            : state == StabilityJudge::State::Settling ? 's'
                                                       : '-';
    }
    QCOMPARE(got, states);
    if (since >= 0)
        QCOMPARE(judge.stableSince(), since);
    else
        QVERIFY(judge.state() != StabilityJudge::State::Stable);
}

void TestStabilityJudge::durationCountsMinutesPastTheHour_data()
{
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<QString>("text");
    QTest::newRow("just stable") << qint64(999) << "00:00";
    QTest::newRow("past the hour") << qint64((75 * 60 + 9) * 1000) << "75:09";
    QTest::newRow("past 99 minutes") << qint64(100 * 60 * 1000) << "100:00";
}

void TestStabilityJudge::durationCountsMinutesPastTheHour()
{
    QFETCH(qint64, ms);
    QTEST(stableDurationText(ms), "text");
}

QTEST_GUILESS_MAIN(TestStabilityJudge)
#include "tst_stabilityjudge.moc"
