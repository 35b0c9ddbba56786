#include "plot/columnspans.h"
#include "plot/curvegraph.h"
#include "recording/samplestore.h"

#include <QtTest>

#include <algorithm>

namespace {
// The pixels a set of rectangles fills, as one sorted list, so overlaps and banding do not matter.
QVector<QPoint> pixelsOf(const QVector<QRect> &rects)
{
    QVector<QPoint> pixels;
    for (const QRect &r : rects) {
        for (int x = r.left(); x <= r.right(); ++x) {
            for (int y = r.top(); y <= r.bottom(); ++y)
                pixels.append(QPoint(x, y));
        }
    }
    std::sort(pixels.begin(), pixels.end(),
        [](const QPoint &a, const QPoint &b) { return a.x() != b.x() ? a.x() < b.x() : a.y() < b.y(); });
    pixels.erase(std::unique(pixels.begin(), pixels.end()), pixels.end());
    return pixels;
}

} // namespace

class TestCurveGraph : public QObject
{
    Q_OBJECT

private slots:
    void graphFitsValuesWithoutScanning();
    void singleSampleSpikeIsDrawn();
    void denseLineSplitsIntoSpansAndStrokes_data();
    void denseLineSplitsIntoSpansAndStrokes();
    void lineBreaksOnlyAtGaps_data();
    void lineBreaksOnlyAtGaps();
};

void TestCurveGraph::lineBreaksOnlyAtGaps_data()
{
    QTest::addColumn<QVector<double>>("keys");
    QTest::addColumn<double>("gap");
    QTest::addColumn<QVector<int>>("stretchSizes");
    QTest::newRow("steady ticks") << QVector<double> {0, 0.1, 0.2, 0.3} << 1.0 << QVector<int> {4};
    QTest::newRow("exactly the gap is joined") << QVector<double> {0, 1.0, 2.0} << 1.0 << QVector<int> {3};
    QTest::newRow("one outage") << QVector<double> {0, 0.1, 3.1, 3.2} << 1.0 << QVector<int> {2, 2};
    QTest::newRow("a lone sample between outages")
        << QVector<double> {0, 5, 10, 10.1} << 1.0 << QVector<int> {1, 1, 2};
    QTest::newRow("no gap given joins all") << QVector<double> {0, 50} << 0.0 << QVector<int> {2};
    QTest::newRow("nothing") << QVector<double> {} << 1.0 << QVector<int> {};
}

void TestCurveGraph::lineBreaksOnlyAtGaps()
{
    QFETCH(QVector<double>, keys);
    QFETCH(double, gap);
    QVector<Sample> points;
    for (double key : keys)
        points.append(Sample {key, 20.0});
    QVector<int> sizes;
    for (const auto &stretch : splitAtGaps(points, gap))
        sizes.append(stretch.size());
    QTEST(sizes, "stretchSizes");
}

void TestCurveGraph::graphFitsValuesWithoutScanning()
{
    QCustomPlot plot;
    auto *graph = new CurveGraph(plot.xAxis, plot.yAxis);
    SampleStore store(1000);
    for (int i = 0; i < 3000; ++i)
        store.append(i, (i % 100) - (i == 2500 ? 500 : 0));
    graph->setStore(&store);
    bool found = false;
    QCPRange range = graph->getValueRange(found);
    QVERIFY(found);
    QCOMPARE(range.lower, -500.0);
    QCOMPARE(range.upper, 99.0);
    range = graph->getValueRange(found, QCP::sdBoth, QCPRange(2600, 2650));
    QCOMPARE(range.lower, 0.0);
    QCOMPARE(range.upper, 50.0);
    graph->rescaleAxes();
    QCOMPARE(plot.xAxis->range().lower, 2000.0);
    QCOMPARE(plot.xAxis->range().upper, 2999.0);
    QCOMPARE(plot.yAxis->range().lower, -500.0);
}

void TestCurveGraph::singleSampleSpikeIsDrawn()
{
    QCustomPlot plot;
    plot.resize(900, 500);
    auto *graph = new CurveGraph(plot.xAxis, plot.yAxis);
    const QColor orange(255, 128, 0);
    graph->setPen(QPen(orange, 2));
    graph->setAntialiased(false);
    SampleStore store(2'000'000);
    for (int i = 0; i < 2'000'000; ++i)
        store.append(i * 0.01, i == 1'234'567 ? 100 : 0);
    graph->setStore(&store);
    plot.xAxis->setRange(0, 20'000);
    plot.yAxis->setRange(-10, 110);
    const QImage image = plot.toPixmap(900, 500).toImage();
    // Well above the flat line, near the spike's top, the curve colour must be there.
    const int y = int(plot.yAxis->coordToPixel(90));
    bool drawn = false;
    for (int x = 0; x < image.width() && !drawn; ++x)
        drawn = image.pixelColor(x, y) == orange;
    QVERIFY(drawn);
}

void TestCurveGraph::denseLineSplitsIntoSpansAndStrokes_data()
{
    QTest::addColumn<QPolygonF>("points");
    QTest::addColumn<QVector<QRect>>("spans");
    QTest::addColumn<QVector<QPolygonF>>("lines");
    const auto line
        = [](std::initializer_list<QPointF> points) { return QPolygonF(QVector<QPointF>(points)); };
    // Pen 2 px wide; a column is [x, x + 1).
    const QPolygonF flat = line({{10.1, 50}, {10.6, 50.5}, {11.2, 51}, {11.7, 50.8}, {12.3, 50}});
    QTest::newRow("flat line stays one stroke") << flat << QVector<QRect>() << QVector<QPolygonF> {flat};
    const QPolygonF pen = line({{10.5, 50}, {10.6, 52}, {10.7, 51}});
    QTest::newRow("reach of one pen width stays a stroke")
        << pen << QVector<QRect>() << QVector<QPolygonF> {pen};
    QTest::newRow("noisy column is a span the line runs into and out of")
        << line({{10.5, 50}, {11.2, 50}, {11.5, 80}, {11.8, 60}, {12.5, 61}})
        << QVector<QRect> {QRect(11, 49, 2, 32)}
        << QVector<QPolygonF> {line({{10.5, 50}, {11.2, 50}}), line({{11.8, 60}, {12.5, 61}})};
    QTest::newRow("neighbouring spans need no stroke between them")
        << line({{10.2, 10}, {10.8, 30}, {11.2, 12}, {11.8, 40}})
        << QVector<QRect> {QRect(10, 9, 2, 22), QRect(11, 11, 2, 30)} << QVector<QPolygonF>();
    QTest::newRow("gap between spans is stroked") << line({{10.2, 10}, {10.8, 30}, {20.2, 10}, {20.8, 30}})
                                                  << QVector<QRect> {QRect(10, 9, 2, 22), QRect(20, 9, 2, 22)}
                                                  << QVector<QPolygonF> {line({{10.8, 30}, {20.2, 10}})};
}

void TestCurveGraph::denseLineSplitsIntoSpansAndStrokes()
{
    QFETCH(QPolygonF, points);
    QFETCH(QVector<QRect>, spans);
    QFETCH(QVector<QPolygonF>, lines);
    const ColumnSpans split = splitIntoColumnSpans(points, 2);
    QCOMPARE(pixelsOf(split.spans), pixelsOf(spans));
    QCOMPARE(split.lines, lines);
}

QTEST_MAIN(TestCurveGraph)
#include "tst_curvegraph.moc"
