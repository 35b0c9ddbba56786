#include "plot/chartplacement.h"

#include <QtTest>

Q_DECLARE_METATYPE(LegendCorner)

class TestChartPlacement : public QObject
{
    Q_OBJECT

private slots:
    void popupOpensBesideItsButtonOnTheScreen_data();
    void popupOpensBesideItsButtonOnTheScreen();
    void legendGoesWhereItCoversLeastData_data();
    void legendGoesWhereItCoversLeastData();
};

void TestChartPlacement::popupOpensBesideItsButtonOnTheScreen_data()
{
    QTest::addColumn<QRect>("button");
    QTest::addColumn<QPoint>("expected");
    // Screen 1280 x 800, popup 199 x 95.
    QTest::newRow("left of a right-hand button, centred on it")
        << QRect(1150, 400, 100, 40) << QPoint(1150 - 4 - 199, 420 - 47);
    QTest::newRow("no room on the left: right of it") << QRect(20, 400, 100, 40) << QPoint(124, 373);
    QTest::newRow("near the bottom: lifted onto the screen") << QRect(1150, 780, 100, 40) << QPoint(947, 705);
    QTest::newRow("near the top: lowered onto the screen") << QRect(1150, 0, 100, 20) << QPoint(947, 0);
}

void TestChartPlacement::popupOpensBesideItsButtonOnTheScreen()
{
    QFETCH(QRect, button);
    QFETCH(QPoint, expected);
    QCOMPARE(popupPosition(button, QSize(199, 95), QRect(0, 0, 1280, 800)), expected);
}

void TestChartPlacement::legendGoesWhereItCoversLeastData_data()
{
    QTest::addColumn<QVector<QPointF>>("points");
    QTest::addColumn<LegendCorner>("current");
    QTest::addColumn<LegendCorner>("expected");
    // Plot area 400 x 300, legend 100 x 40 in its corner.
    const QVector<QPointF> rising {{20, 280}, {200, 150}, {380, 20}};
    const QVector<QPointF> falling {{20, 20}, {200, 150}, {380, 280}};
    const QVector<QPointF> everywhere {{20, 20}, {380, 20}, {20, 280}, {380, 280}};
    QTest::newRow("rising curve under the top right: top left")
        << rising << LegendCorner::TopRight << LegendCorner::TopLeft;
    QTest::newRow("falling curve: top right is free")
        << falling << LegendCorner::TopRight << LegendCorner::TopRight;
    QTest::newRow("no data: stays") << QVector<QPointF>() << LegendCorner::BottomLeft
                                    << LegendCorner::BottomLeft;
    QTest::newRow("all corners covered alike: stays")
        << everywhere << LegendCorner::BottomRight << LegendCorner::BottomRight;
}

void TestChartPlacement::legendGoesWhereItCoversLeastData()
{
    QFETCH(QVector<QPointF>, points);
    QFETCH(LegendCorner, current);
    QFETCH(LegendCorner, expected);
    QCOMPARE(quietestCorner(points, QRect(0, 0, 400, 300), QSize(100, 40), 0, current), expected);
}

QTEST_GUILESS_MAIN(TestChartPlacement)
#include "tst_chartplacement.moc"
