// Collector tick regularity at a 10 ms record interval while the GUI thread replots a whole noisy curve
// of a million samples every 30 ms, as the chart does while recording.
// Usage: bench_chart_collector [ticks] [idle]   (default 1000 ticks, ten seconds; "idle" skips the
// replots, for a baseline of the machine itself)

#include "plot/curvegraph.h"
#include "recording/collect.h"
#include "recording/sampleinbox.h"
#include "recording/samplestore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int ticks = argc > 1 ? std::max(10, QByteArray(argv[1]).toInt()) : 1000;
    const int intervalMs = 10;
    const bool idle = argc > 2 && QByteArray(argv[2]) == "idle";

    QCustomPlot plot;
    plot.resize(900, 500);
    plot.setPlottingHint(QCP::phFastPolylines, true);
    auto *graph = new CurveGraph(plot.xAxis, plot.yAxis);
    graph->setPen(QPen(QColor(255, 128, 0), 2));
    SampleStore store(1'000'000);
    auto *rng = QRandomGenerator::global();
    for (int i = 0; i < 1'000'000; ++i)
        store.append(i * 0.01, rng->bounded(1000.0));
    graph->setStore(&store);
    plot.show();

    // What the chart does per tick: stamp the latest value into the inbox.
    SampleInbox inbox;
    inbox.open(1'000'000);
    std::vector<qint64> stamps(size_t(ticks) + 1);
    std::atomic<int> count {0};
    QElapsedTimer clock;
    clock.start();
    Collect collector;
    QObject::connect(
        &collector, &Collect::timeOut, &collector,
        [&] {
            const int i = count.load(std::memory_order_relaxed);
            if (i > ticks)
                return;
            stamps[size_t(i)] = clock.nsecsElapsed();
            inbox.push(25.0);
            count.store(i + 1, std::memory_order_release);
        },
        Qt::DirectConnection);

    int frames = 0;
    QTimer refresh;
    refresh.setTimerType(Qt::CoarseTimer);
    QObject::connect(&refresh, &QTimer::timeout, [&] {
        for (const Sample &d : inbox.take())
            store.append(1e4 + d.key, d.value);
        plot.xAxis->setRange(store.at(0).key, store.at(store.size() - 1).key);
        if (!idle) {
            plot.replot(QCustomPlot::rpImmediateRefresh);
            ++frames;
        }
        if (count.load(std::memory_order_acquire) > ticks)
            app.quit();
    });
    refresh.start(30);
    QMetaObject::invokeMethod(&collector, "start", Qt::QueuedConnection, Q_ARG(int, intervalMs));
    app.exec();
    QMetaObject::invokeMethod(&collector, "stop", Qt::BlockingQueuedConnection);

    std::vector<double> deviation;
    for (int i = 1; i <= ticks; ++i)
        deviation.push_back(std::abs((stamps[size_t(i)] - stamps[size_t(i - 1)]) / 1e6 - intervalMs));
    std::sort(deviation.begin(), deviation.end());
    const auto pct
        = [&](double p) { return deviation[std::min(deviation.size() - 1, size_t(p * deviation.size()))]; };
    std::printf("collector at %d ms, %d ticks, %d GUI frames of a 1,000,000-sample noisy whole curve\n",
        intervalMs, ticks, frames);
    std::printf("tick-to-tick deviation  p50 %.3f ms  p99 %.3f ms  max %.3f ms   target p99 <= 2 ms\n",
        pct(0.5), pct(0.99), deviation.back());
    return 0;
}
