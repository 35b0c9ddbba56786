// What a recording's journal costs at the fastest record interval (10 ms): the same recording of fresh
// readings is made without a journal and then with one, and each reports the process's CPU share, the
// GUI thread's worst timer lateness (the journal must never hold it up), and for the journal its syncs,
// writes and bytes per second and how long stop() waits for the last sync.
// Usage: bench_recording_journal [seconds] [folder]   (default 20 s each, the system temp folder)

#include "recording/curverecorder.h"
#include "recording/journalwriter.h"
#include "recording/samplestore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void run(int seconds, const QString &folder)
{
    CurveRecorder recorder;
    recorder.setJournalFolder(folder);
    recorder.setSampleInterval(10);
    recorder.setCacheSize(CurveRecorder::MaxCacheSize);
    // Readings as the link delivers them, and a probe of how late the GUI thread's timers run.
    int n = 0;
    QTimer feed;
    feed.setTimerType(Qt::PreciseTimer);
    QObject::connect(&feed, &QTimer::timeout, [&] { recorder.setReading(20 + (n++ % 1000) * 0.01); });
    QElapsedTimer probeClock;
    qint64 worstLateMs = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(
        &probe, &QTimer::timeout, [&] { worstLateMs = std::max(worstLateMs, probeClock.restart() - 5); });
    recorder.setReading(20);
    feed.start(5);
    QElapsedTimer wall;
    wall.start();
    const double cpuAtStart = cpuSeconds();
    recorder.start();
    probeClock.start();
    probe.start(5);
    QTimer::singleShot(seconds * 1000, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    QElapsedTimer stopping;
    stopping.start();
    recorder.stop();
    const double stopMs = stopping.nsecsElapsed() / 1e6;
    const double elapsed = wall.nsecsElapsed() / 1e9;
    const double cpu = cpuSeconds() - cpuAtStart;
    std::printf("%s: %d samples in %.1f s, CPU %.2f %% of one core, GUI timer up to %lld ms late\n",
        folder.isEmpty() ? "without journal" : "with journal   ", recorder.curve()->size(), elapsed,
        100 * cpu / elapsed, worstLateMs);
    if (const JournalWriter *journal = recorder.journal()) {
        const JournalWriter::Stats stats = journal->stats();
        std::printf("  journal: %.2f syncs/s, %.1f writes/s, %.0f bytes/s (%.1f bytes a sample), stop() "
                    "waits %.2f ms\n",
            stats.syncs / elapsed, stats.writes / elapsed, stats.bytes / elapsed,
            double(stats.bytes) / recorder.curve()->size(), stopMs);
        recorder.drop();
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(2, QByteArray(argv[1]).toInt()) : 20;
    QTemporaryDir temporary(argc > 2
            ? QDir(QString::fromLocal8Bit(argv[2])).filePath(QStringLiteral("XXXXXX"))
            : QDir::temp().filePath(QStringLiteral("journal-XXXXXX")));
    run(seconds, QString());
    run(seconds, temporary.path());
    return 0;
}
