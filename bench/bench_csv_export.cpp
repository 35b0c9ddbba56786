// CSV export at ten million rows, through QSaveFile as the chart exports (flushed to disk on commit).
// Usage: bench_csv_export [rows] [directory]   (default 10,000,000 in the system temp folder)

#include "recording/csvexport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

namespace {

// Takes every byte and keeps none: the formatting alone, without the file system's copy.
class NullDevice : public QIODevice
{
protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 len) override { return len; }
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const long long rows = argc > 1 ? QByteArray(argv[1]).toLongLong() : 10'000'000;
    QTemporaryDir dir(argc > 2 ? QString::fromLocal8Bit(argv[2]) + QStringLiteral("/csv-XXXXXX") : QString());
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const QString path = dir.filePath(QStringLiteral("curve.csv"));

    // Readings as the chart records them: 0.1 °C wire units through single precision, 10 ms apart in
    // whole milliseconds, first-order steps between set points with noise.
    QVector<Sample> samples;
    samples.reserve(int(rows));
    auto *rng = QRandomGenerator::global();
    double temp = 25;
    double target = 25;
    for (qint64 i = 0; i < rows; ++i) {
        if (i % 120'000 == 0)
            target = 50 + 50 * double(rng->bounded(10));
        temp += (target - temp) * (0.01 / 90.0);
        const int wire = int(std::lround((temp + rng->bounded(0.4) - 0.2) * 10));
        samples.append(Sample {double((i + 1) * 10) / 1000.0, double(float(wire) / 10.f)});
    }
    CsvExportHeader header;
    header.startMsecs = QDateTime::currentMSecsSinceEpoch();
    header.zone = QTimeZone::systemTimeZone();

    const auto sampleAt = [&samples](qint64 i) -> const Sample & { return samples[int(i)]; };
    QElapsedTimer t;
    NullDevice null;
    null.open(QIODevice::WriteOnly);
    t.start();
    std::clock_t cpuStart = std::clock();
    writeCsv(&null, header, rows, sampleAt);
    std::printf("formatting alone %lld rows: %.2f s (CPU %.2f s)\n", rows, t.nsecsElapsed() / 1e9,
        double(std::clock() - cpuStart) / CLOCKS_PER_SEC);

    int progressCalls = 0;
    t.restart();
    cpuStart = std::clock();
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)
        || !writeCsv(&out, header, rows, sampleAt, [&progressCalls](int) { ++progressCalls; })) {
        std::fprintf(stderr, "write failed: %s\n", qPrintable(out.errorString()));
        return 1;
    }
    const double formatS = t.nsecsElapsed() / 1e9;
    if (!out.commit()) {
        std::fprintf(stderr, "commit failed: %s\n", qPrintable(out.errorString()));
        return 1;
    }
    const double writeS = t.nsecsElapsed() / 1e9;
    const double cpuS = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const qint64 size = QFileInfo(path).size();
    std::printf("csv export %lld rows: %.2f s (%.2f M rows/s, %.0f MB, %d progress calls)   target <= 2 s\n",
        rows, writeS, rows / writeS / 1e6, size / 1e6, progressCalls);
    std::printf("      of which formatting and writing %.2f s, commit (flush to disk and rename) %.2f s\n",
        formatS, writeS - formatS);
    // On a shared machine the wall time includes waiting for a core.
    std::printf("      CPU time %.2f s\n", cpuS);
    return 0;
}
