// Curve file write and read at ten million rows, through QSaveFile as the chart saves (flushed to disk
// on commit) and QFile as it reads.
// Usage: bench_curve_file [rows] [directory]   (default 10,000,000 in the system temp folder)

#include "recording/curvefile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const long long rows = argc > 1 ? QByteArray(argv[1]).toLongLong() : 10'000'000;
    QTemporaryDir dir(
        argc > 2 ? QString::fromLocal8Bit(argv[2]) + QStringLiteral("/curve-XXXXXX") : QString());
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const QString path = dir.filePath(QStringLiteral("curve.txt"));

    // First-order steps between set points with ±0.05 °C noise, 10 ms apart.
    QVector<Sample> samples;
    samples.reserve(int(rows));
    auto *rng = QRandomGenerator::global();
    double temp = 25;
    double target = 25;
    for (qint64 i = 0; i < rows; ++i) {
        if (i % 120'000 == 0)
            target = 50 + 50 * double(rng->bounded(10));
        temp += (target - temp) * (0.01 / 90.0);
        samples.append(Sample {(i + 1) * 0.01, temp + rng->bounded(0.1) - 0.05});
    }
    CurveFileHeader header;
    header.appName = QStringLiteral("Ostrel");
    header.startMsecs = QDateTime::currentMSecsSinceEpoch();
    header.intervalMs = 10;
    header.unitSymbol = QStringLiteral("℃");

    int progressCalls = 0;
    QElapsedTimer t;
    t.start();
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)
        || !writeCurve(
            &out, header, rows, [&samples](qint64 i) -> const Sample & { return samples[int(i)]; },
            [&progressCalls](int) { ++progressCalls; })) {
        std::fprintf(stderr, "write failed: %s\n", qPrintable(out.errorString()));
        return 1;
    }
    const double formatS = t.nsecsElapsed() / 1e9;
    if (!out.commit()) {
        std::fprintf(stderr, "commit failed: %s\n", qPrintable(out.errorString()));
        return 1;
    }
    const double writeS = t.nsecsElapsed() / 1e9;
    const qint64 size = QFileInfo(path).size();
    std::printf("write %lld rows: %.2f s (%.2f M rows/s, %.0f MB, %d progress calls)   target <= 1.5 s\n",
        rows, writeS, rows / writeS / 1e6, size / 1e6, progressCalls);
    std::printf("      of which formatting and writing %.2f s, commit (flush to disk and rename) %.2f s\n",
        formatS, writeS - formatS);

    // Twice: the first read may still share the disk with the write-back of the file just written.
    CurveFileContents contents;
    for (int round = 0; round < 2; ++round) {
        progressCalls = 0;
        t.restart();
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly)
            || readCurve(&in, &contents, [&progressCalls](int) { ++progressCalls; }) != CurveReadResult::Ok) {
            std::fprintf(stderr, "read failed\n");
            return 1;
        }
        const double readS = t.nsecsElapsed() / 1e9;
        std::printf("read  %d rows: %.2f s (%.2f M rows/s, %d progress calls)   target <= 1.5 s\n",
            contents.samples.size(), readS, contents.samples.size() / readS / 1e6, progressCalls);
    }
    return contents.samples.size() == rows ? 0 : 1;
}
