#include "recording/collect.h"

#include <QElapsedTimer>
#include <QtTest>

#include <atomic>

// Ticks are counted on the collector's thread, so everything the test reads is atomic.
struct TickLog
{
    std::atomic<int> ticks {0};
    std::atomic<Qt::HANDLE> thread {nullptr};
    std::atomic<qint64> lastTickMs {0};
    QElapsedTimer clock;

    void attach(Collect *collector);
};

// The log that ticks go to. The connected lambda captures nothing: a capture would live in Qt's connection
// list, which hands it to the collector's thread under a lock the thread sanitizer cannot see.
std::atomic<TickLog *> activeLog {nullptr};

void TickLog::attach(Collect *collector)
{
    clock.start();
    activeLog.store(this, std::memory_order_release);
    QObject::connect(
        collector, &Collect::timeOut, collector,
        [] {
            TickLog *log = activeLog.load(std::memory_order_acquire);
            log->thread.store(QThread::currentThreadId());
            log->lastTickMs.store(log->clock.elapsed());
            ++log->ticks;
        },
        Qt::DirectConnection);
}

class TestCollect : public QObject
{
    Q_OBJECT

private slots:
    void ticksArriveOnCollectorThread();
    void restartWithShorterIntervalTicksSooner();
    void stopEndsTicksAndIdleStopDoesNothing();
    void destroyingWhileTickingJoinsItsThread();
};

void TestCollect::ticksArriveOnCollectorThread()
{
    TickLog log; // outlives the collector, whose ticks write into it
    Collect collector;
    log.attach(&collector);
    QMetaObject::invokeMethod(&collector, "start", Qt::QueuedConnection, Q_ARG(int, 10));
    QTRY_VERIFY_WITH_TIMEOUT(log.ticks.load() >= 3, 5000);
    QVERIFY(log.thread.load() != QThread::currentThreadId());
    QVERIFY(log.thread.load() != nullptr);
}

void TestCollect::restartWithShorterIntervalTicksSooner()
{
    TickLog log; // outlives the collector, whose ticks write into it
    Collect collector;
    log.attach(&collector);
    QMetaObject::invokeMethod(&collector, "start", Qt::QueuedConnection, Q_ARG(int, 5000));
    QMetaObject::invokeMethod(&collector, "start", Qt::QueuedConnection, Q_ARG(int, 100));
    QTRY_VERIFY_WITH_TIMEOUT(log.ticks.load() >= 2, 3000);
    // At 5 s no tick could have come; two ticks at 100 ms fit well inside the bound.
    QVERIFY(log.lastTickMs.load() < 3000);
}

void TestCollect::stopEndsTicksAndIdleStopDoesNothing()
{
    TickLog log; // outlives the collector, whose ticks write into it
    Collect collector;
    log.attach(&collector);
    QMetaObject::invokeMethod(&collector, "stop", Qt::BlockingQueuedConnection);
    QMetaObject::invokeMethod(&collector, "start", Qt::QueuedConnection, Q_ARG(int, 10));
    QTRY_VERIFY_WITH_TIMEOUT(log.ticks.load() >= 1, 5000);
    // A blocking call returns after stop() ran on the collector's thread, so no tick can follow it.
    QMetaObject::invokeMethod(&collector, "stop", Qt::BlockingQueuedConnection);
    const int after = log.ticks.load();
    QMetaObject::invokeMethod(&collector, "stop", Qt::BlockingQueuedConnection);
    QTest::qWait(100);
    QCOMPARE(log.ticks.load(), after);
}

void TestCollect::destroyingWhileTickingJoinsItsThread()
{
    TickLog log;
    QThread *collectorThread = nullptr;
    {
        Collect collector;
        collectorThread = static_cast<QObject &>(collector).thread();
        log.attach(&collector);
        QMetaObject::invokeMethod(&collector, "start", Qt::QueuedConnection, Q_ARG(int, 1));
        QTRY_VERIFY_WITH_TIMEOUT(log.ticks.load() >= 5, 5000);
        QVERIFY(collectorThread->isRunning());
    }
    const int after = log.ticks.load();
    QTest::qWait(30);
    QCOMPARE(log.ticks.load(), after);
}

QTEST_GUILESS_MAIN(TestCollect)
#include "tst_collect.moc"
