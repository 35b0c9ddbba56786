// Sample store and graph at full capacity: append cost and pauses, memory per sample, follow-mode and
// whole-curve frame times, for a realistic curve and a noisy one. Frames are timed as auto-fit leaves them:
// the temperature axis fitted to what is shown, so a stable source's noise fills the plot height.
// Usage: bench_chart_store [samples] [folder]   (default 10,000,000; with a folder, one follow and one
// whole-curve frame of each curve are saved there as PNG, to look at)

#include "plot/curvegraph.h"
#include "recording/samplestore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <unistd.h>

namespace {

const double kIntervalS = 0.01;

qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}

// First-order steps between set points every 20 minutes, with ±0.05 °C noise.
std::function<double(qint64)> realisticCurve()
{
    auto *rng = QRandomGenerator::global();
    return [rng, temp = 25.0, target = 25.0](qint64 i) mutable {
        if (i % 120'000 == 0)
            target = 50 + 50 * double(rng->bounded(10));
        temp += (target - temp) * (kIntervalS / 90.0);
        return temp + rng->bounded(0.1) - 0.05;
    };
}

// A stable source: ±0.02 °C around 25 °C.
std::function<double(qint64)> noisyCurve()
{
    auto *rng = QRandomGenerator::global();
    return [rng](qint64) { return 25 + rng->bounded(0.04) - 0.02; };
}

struct Frames
{
    double mean = 0;
    double max = 0;
};

Frames timeFrames(QCustomPlot &plot, int count, const std::function<void(int)> &prepare)
{
    Frames f;
    for (int k = 0; k < count; ++k) {
        prepare(k);
        QElapsedTimer t;
        t.start();
        plot.replot(QCustomPlot::rpImmediateRefresh);
        const double ms = t.nsecsElapsed() / 1e6;
        f.mean += ms / count;
        f.max = std::max(f.max, ms);
    }
    return f;
}

struct Figures
{
    // cppcheck-suppress unusedStructMember ; read through the structured binding in main()
    Frames follow;
    // cppcheck-suppress unusedStructMember ; read through the structured binding in main()
    Frames whole;
};

Figures run(const char *name, std::function<double(qint64)> curve, long long samples, const QString &folder)
{
    std::printf("\n== %s curve, %lld samples at %.0f ms ==\n", name, samples, kIntervalS * 1000);
    QCustomPlot plot;
    plot.resize(900, 500);
    plot.setPlottingHint(QCP::phFastPolylines, true);
    plot.legend->setVisible(true);
    plot.xAxis->setLabel(QStringLiteral("时间(秒)"));
    plot.yAxis->setLabel(QStringLiteral("温度(℃)"));
    auto *graph = new CurveGraph(plot.xAxis, plot.yAxis);
    graph->setPen(QPen(QColor(255, 128, 0), 2));
    graph->setName(QStringLiteral("实温"));
    plot.show();

    const qint64 before = residentBytes();
    SampleStore store {int(samples)};
    graph->setStore(&store);

    // Fill to capacity, then run as long again past it so drops and compaction are measured too.
    // Appends `count` samples from index `i` on; mean and longest append in µs, and appends over 1 ms.
    struct Appends
    {
        double mean = 0;
        double max = 0;
        long long slow = 0;
    };
    qint64 i = 0;
    const auto appendRun = [&](qint64 count) {
        Appends run;
        QElapsedTimer clock;
        clock.start();
        for (qint64 k = 0; k < count; ++k, ++i) {
            QElapsedTimer one;
            one.start();
            store.append(i * kIntervalS, curve(i));
            const double us = one.nsecsElapsed() / 1e3;
            run.max = std::max(run.max, us);
            run.slow += us > 1000;
        }
        run.mean = clock.nsecsElapsed() / 1e3 / count;
        return run;
    };
    const Appends fill = appendRun(samples);
    const qint64 after = residentBytes();
    const Appends full = appendRun(samples / 4);
    const double perSample = double(after - before) / samples;
    // A lone slow append on a shared machine is the scheduler or a page fault, not the store: count them.
    std::printf("append (filling)         mean %7.3f us  max %8.1f us  over 1 ms: %lld   target <= 10 us, "
                "no pause > 15 ms\n",
        fill.mean, fill.max, fill.slow);
    std::printf("append (full, dropping)  mean %7.3f us  max %8.1f us  over 1 ms: %lld\n", full.mean,
        full.max, full.slow);
    std::printf("memory while recording   %7.1f bytes/sample (store says %.1f)   target <= 24\n", perSample,
        double(store.bytes()) / samples);

    const double last = store.at(store.size() - 1).key;
    // Follow mode: the time window moves on each frame and the temperature axis fits what it shows.
    const auto followFrame = [&](int k) {
        plot.xAxis->setRange(last - 30 - k * 0.03, last - k * 0.03);
        graph->rescaleValueAxis(false, true);
    };
    const Frames follow = timeFrames(plot, 100, followFrame);
    std::printf(
        "follow-mode frame (30 s) mean %6.2f ms  max %6.2f ms   target <= 2 ms\n", follow.mean, follow.max);
    const double first = store.at(0).key;
    graph->rescaleValueAxis(false, false);
    const Frames whole = timeFrames(plot, 30, [&](int k) { plot.xAxis->setRange(first, last - k * 0.03); });
    std::printf(
        "whole-curve frame        mean %6.2f ms  max %6.2f ms   target <= 10 ms\n", whole.mean, whole.max);
    if (!folder.isEmpty()) {
        plot.savePng(QStringLiteral("%1/%2-whole.png").arg(folder, QLatin1String(name)));
        followFrame(0);
        plot.savePng(QStringLiteral("%1/%2-follow.png").arg(folder, QLatin1String(name)));
    }
    QElapsedTimer fit;
    fit.start();
    graph->rescaleAxes(false);
    std::printf("auto-fit rescale          %6.3f ms\n", fit.nsecsElapsed() / 1e6);
    graph->setStore(nullptr);
    return {follow, whole};
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const long long samples = argc > 1 ? QByteArray(argv[1]).toLongLong() : 10'000'000;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    const Figures realistic = run("realistic", realisticCurve(), samples, folder);
    const Figures noisy = run("noisy", noisyCurve(), samples, folder);
    // Side by side, from this one run, so a busy machine cannot favour either curve.
    std::printf(
        "\n== frames, mean (max) in ms ==\n%-12s %-18s %-18s\n", "", "follow (<= 2)", "whole (<= 10)");
    for (const auto &[label, f] : {std::pair {"realistic", realistic}, std::pair {"noisy", noisy}})
        std::printf("%-12s %6.2f (%6.2f)    %6.2f (%6.2f)\n", label, f.follow.mean, f.follow.max,
            f.whole.mean, f.whole.max);
    return 0;
}
