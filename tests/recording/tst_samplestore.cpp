#include "recording/minmaxpyramid.h"
#include "recording/sampleinbox.h"
#include "recording/samplestore.h"

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

bool containsPoint(const QVector<Sample> &line, double keyLo, double keyHi, double value)
{
    return std::any_of(line.cbegin(), line.cend(),
        [=](const Sample &d) { return d.key >= keyLo && d.key <= keyHi && d.value == value; });
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

    void inboxStampsAndGates();
    void inboxIsSafeAcrossThreads();
};

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
    const SampleStore copy(QVector<Sample> {{1, 5}, {2, 6}});
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
    QVector<Sample> line;
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
    QVector<Sample> line;
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
    QVector<Sample> line;
    store.lineData(0, store.size(), 40'000.5, 60'000.5, 100, &line);
    QCOMPARE(line[1].key, 40'001.0);
    QCOMPARE(line.first().key, 40'000.0);
    QCOMPARE(line.last().key, 60'001.0);
    QVERIFY(line.size() <= 4 * 100 + 2);
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
    QVector<Sample> taken = inbox.take();
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
    QVector<Sample> all;
    while (!done.load())
        all += inbox.take();
    producer.join();
    all += inbox.close();
    QCOMPARE(all.size(), 20'000);
    for (int i = 0; i < all.size(); ++i)
        QCOMPARE(all[i].value, double(i));
}

QTEST_GUILESS_MAIN(TestSampleStore)
#include "tst_samplestore.moc"
