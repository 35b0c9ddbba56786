#include "chart/columnspans.h"
#include "chart/curvegraph.h"
#include "chart/minmaxpyramid.h"
#include "chart/sampleinbox.h"
#include "chart/samplestore.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>
#include <thread>

namespace {

QVector<double> keysOf(const SampleStore &store)
{
    QVector<double> keys;
    for (int i = 0; i < store.size(); ++i)
        keys.append(store.at(i).key);
    return keys;
}

SampleStore::Extremes bruteRange(const SampleStore &store, int from, int to)
{
    SampleStore::Extremes e {qInf(), -qInf()};
    for (int i = from; i < to; ++i) {
        e.min = std::min(e.min, store.at(i).value);
        e.max = std::max(e.max, store.at(i).value);
    }
    return e;
}

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

bool containsPoint(const QVector<QCPGraphData> &line, double keyLo, double keyHi, double value)
{
    return std::any_of(line.cbegin(), line.cend(),
        [=](const QCPGraphData &d) { return d.key >= keyLo && d.key <= keyHi && d.value == value; });
}

} // namespace

class TestSampleStore : public QObject
{
    Q_OBJECT

private slots:
    void fullStoreDropsOldestFirst();
    void capacityZeroKeepsOneSample();
    void droppingAcrossBlocksKeepsOrderAndExtremes();
    void keysNeverGoBackAndNonFiniteSamplesAreIgnored();
    void boundsFindKeysAcrossBlocks();
    void pyramidMatchesBruteForceOverRandomSpans();

    void everyColumnKeepsItsMinimumAndMaximum();
    void fewSamplesAreDrawnAsTheyAre();
    void lineReachesPastBothEdges();
    void graphFitsValuesWithoutScanning();
    void singleSampleSpikeIsDrawn();
    void denseLineSplitsIntoSpansAndStrokes_data();
    void denseLineSplitsIntoSpansAndStrokes();
    void lineBreaksOnlyAtGaps_data();
    void lineBreaksOnlyAtGaps();

    void inboxStampsAndGates();
    void inboxIsSafeAcrossThreads();
};

void TestSampleStore::lineBreaksOnlyAtGaps_data()
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

void TestSampleStore::lineBreaksOnlyAtGaps()
{
    QFETCH(QVector<double>, keys);
    QFETCH(double, gap);
    QVector<QCPGraphData> points;
    for (double key : keys)
        points.append(QCPGraphData(key, 20.0));
    QVector<int> sizes;
    for (const auto &stretch : splitAtGaps(points, gap))
        sizes.append(stretch.size());
    QTEST(sizes, "stretchSizes");
}

void TestSampleStore::fullStoreDropsOldestFirst()
{
    SampleStore store(3);
    for (int tick = 1; tick <= 4; ++tick)
        store.append(tick, tick * 10);
    QCOMPARE(keysOf(store), (QVector<double> {2, 3, 4}));
    QCOMPARE(store.at(0).value, 20.0);
}

void TestSampleStore::capacityZeroKeepsOneSample()
{
    SampleStore store(0);
    store.append(1, 1);
    store.append(2, 2);
    QCOMPARE(keysOf(store), QVector<double> {2});
}

void TestSampleStore::droppingAcrossBlocksKeepsOrderAndExtremes()
{
    SampleStore store(100);
    auto *rng = QRandomGenerator::global();
    // Far more than one block of samples passes through, so blocks are dropped and reused.
    for (int i = 0; i < 300'000; ++i)
        store.append(i * 0.01, rng->bounded(1000.0));
    QCOMPARE(store.size(), 100);
    for (int i = 0; i < 100; ++i)
        QCOMPARE(store.at(i).key, (299'900 + i) * 0.01);
    for (int from = 0; from < 100; from += 7) {
        for (int to = from; to <= 100; to += 13) {
            const auto got = store.valueRange(from, to);
            const auto want = bruteRange(store, from, to);
            QCOMPARE(got.min, want.min);
            QCOMPARE(got.max, want.max);
        }
    }
}

void TestSampleStore::keysNeverGoBackAndNonFiniteSamplesAreIgnored()
{
    SampleStore store(10);
    store.append(5, 1);
    store.append(4, 2);
    store.append(qQNaN(), 3);
    store.append(6, qInf());
    QCOMPARE(keysOf(store), (QVector<double> {5, 5}));
}

void TestSampleStore::boundsFindKeysAcrossBlocks()
{
    SampleStore store(200'000);
    for (int i = 0; i < 150'000; ++i)
        store.append(i / 2, i);
    QCOMPARE(store.lowerBound(40'000), 80'000);
    QCOMPARE(store.upperBound(40'000), 80'002);
    QCOMPARE(store.lowerBound(-1), 0);
    QCOMPARE(store.upperBound(1e9), 150'000);
    const SampleStore copy(QVector<QCPGraphData> {{1, 5}, {2, 6}});
    QCOMPARE(copy.capacity(), 2);
    QCOMPARE(copy.at(1).value, 6.0);
}

void TestSampleStore::pyramidMatchesBruteForceOverRandomSpans()
{
    const int capacity = 5000;
    MinMaxPyramid pyramid(capacity);
    QVector<double> values;
    auto *rng = QRandomGenerator::global();
    for (int seq = 0; seq < 40'000; ++seq) {
        const double v = rng->bounded(2000.0) - 1000;
        values.append(v);
        pyramid.append(seq, v);
        if (seq % 997 != 0)
            continue;
        const qint64 first = std::max(0, seq + 1 - capacity);
        for (int k = 0; k < 20; ++k) {
            const qint64 a = first + rng->bounded(int(seq + 1 - first));
            const qint64 b = a + rng->bounded(int(seq + 2 - a));
            const auto got = pyramid.range(a, b, [&](qint64 i) { return values[int(i)]; });
            double lo = qInf();
            double hi = -qInf();
            for (qint64 i = a; i < b; ++i) {
                lo = std::min(lo, values[int(i)]);
                hi = std::max(hi, values[int(i)]);
            }
            QCOMPARE(got.min, lo);
            QCOMPARE(got.max, hi);
        }
    }
}

void TestSampleStore::everyColumnKeepsItsMinimumAndMaximum()
{
    const int n = 200'000;
    SampleStore store(150'000);
    auto *rng = QRandomGenerator::global();
    for (int i = 0; i < n; ++i)
        store.append(i * 0.01, std::sin(i * 0.001) * 50 + rng->bounded(1.0));
    const double keyLo = store.at(0).key;
    const double keyHi = store.at(store.size() - 1).key;
    const int columns = 900;
    QVector<QCPGraphData> line;
    store.lineData(0, store.size(), keyLo, keyHi, columns, &line);
    QVERIFY(line.size() <= 4 * columns + 2);
    const double width = (keyHi - keyLo) / columns;
    int i = 0;
    for (int c = 0; c < columns; ++c) {
        const double colLo = keyLo + c * width;
        const double colHi = c + 1 == columns ? keyHi : keyLo + (c + 1) * width;
        double lo = qInf();
        double hi = -qInf();
        for (; i < store.size() && (store.at(i).key < colHi || c + 1 == columns); ++i) {
            lo = std::min(lo, store.at(i).value);
            hi = std::max(hi, store.at(i).value);
        }
        if (lo > hi)
            continue;
        QVERIFY2(containsPoint(line, colLo, colHi, lo), qPrintable(QString("min of column %1").arg(c)));
        QVERIFY2(containsPoint(line, colLo, colHi, hi), qPrintable(QString("max of column %1").arg(c)));
    }
}

void TestSampleStore::fewSamplesAreDrawnAsTheyAre()
{
    SampleStore store(1'000'000);
    for (int i = 0; i < 1'000'000; ++i)
        store.append(i * 0.01, i % 7);
    // Zoomed in on one second: 100 samples over 900 pixels, every one of them drawn.
    const int from = 500'000;
    QVector<QCPGraphData> line;
    store.lineData(from - 1, from + 101, store.at(from).key, store.at(from + 99).key, 900, &line);
    QCOMPARE(line.size(), 102);
    for (int i = 0; i < line.size(); ++i) {
        QCOMPARE(line[i].key, store.at(from - 1 + i).key);
        QCOMPARE(line[i].value, store.at(from - 1 + i).value);
    }
}

void TestSampleStore::lineReachesPastBothEdges()
{
    SampleStore store(100'000);
    for (int i = 0; i < 100'000; ++i)
        store.append(i, i);
    QVector<QCPGraphData> line;
    store.lineData(0, store.size(), 40'000.5, 60'000.5, 100, &line);
    QCOMPARE(line[1].key, 40'001.0);
    QCOMPARE(line.first().key, 40'000.0);
    QCOMPARE(line.last().key, 60'001.0);
    QVERIFY(line.size() <= 4 * 100 + 2);
}

void TestSampleStore::graphFitsValuesWithoutScanning()
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

void TestSampleStore::singleSampleSpikeIsDrawn()
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

void TestSampleStore::denseLineSplitsIntoSpansAndStrokes_data()
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

void TestSampleStore::denseLineSplitsIntoSpansAndStrokes()
{
    QFETCH(QPolygonF, points);
    QFETCH(QVector<QRect>, spans);
    QFETCH(QVector<QPolygonF>, lines);
    const ColumnSpans split = splitIntoColumnSpans(points, 2);
    QCOMPARE(pixelsOf(split.spans), pixelsOf(spans));
    QCOMPARE(split.lines, lines);
}

void TestSampleStore::inboxStampsAndGates()
{
    SampleInbox inbox;
    QVERIFY(!inbox.push(1));
    inbox.open(2);
    QVERIFY(inbox.push(10));
    QVERIFY(!inbox.push(SampleInbox::NoReading));
    QVERIFY(inbox.push(11));
    QVERIFY(inbox.push(12));
    // The limit keeps the newest.
    QVector<QCPGraphData> taken = inbox.take();
    QCOMPARE(taken.size(), 2);
    QCOMPARE(taken[0].value, 11.0);
    QVERIFY(taken[0].key <= taken[1].key);
    QVERIFY(inbox.take().isEmpty());
    inbox.push(13);
    QCOMPARE(inbox.close().size(), 1);
    QVERIFY(!inbox.push(14));
    QCOMPARE(inbox.lastElapsed(), 0.0);
}

void TestSampleStore::inboxIsSafeAcrossThreads()
{
    SampleInbox inbox;
    inbox.open(1'000'000);
    std::atomic<bool> done {false};
    std::thread producer([&] {
        for (int i = 0; i < 20'000; ++i)
            inbox.push(i);
        done = true;
    });
    QVector<QCPGraphData> all;
    while (!done.load())
        all += inbox.take();
    producer.join();
    all += inbox.close();
    QCOMPARE(all.size(), 20'000);
    for (int i = 0; i < all.size(); ++i)
        QCOMPARE(all[i].value, double(i));
}

QTEST_MAIN(TestSampleStore)
#include "tst_samplestore.moc"
