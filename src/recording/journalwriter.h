#pragma once

#include "recordingjournal.h"

#include <QString>
#include <QVector>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// Keeps one recording's journal: made and locked (flock) by create() or adopt(), written by a thread of
// its own so the GUI thread only hands samples over. Each hand-over is written at once, so a killed
// process loses only what was not yet handed over; the file is synced at most once a second, so a power
// loss costs at most the last second. The file stays until remove(): the lock, which goes with the
// process however it ends, tells another instance that a recording still holds it. create(), adopt(),
// finish() and remove() on one thread; append() from any.
class JournalWriter
{
public:
    // What the journal cost so far, for the benchmark.
    struct Stats
    {
        qint64 bytes = 0;
        qint64 writes = 0;
        qint64 syncs = 0;
    };

    JournalWriter() = default;
    // Writes and syncs what was handed over, then lets the file go without removing it.
    ~JournalWriter();
    JournalWriter(const JournalWriter &) = delete;
    JournalWriter &operator=(const JournalWriter &) = delete;

    // Makes a new journal in `folder` (made when missing) with `header` on the disk, and starts writing;
    // false with the system's reason when it cannot.
    bool create(const QString &folder, const RecordingJournal::Header &header, QString *error);
    // Holds a journal left by an earlier run, so that nobody else offers it; nothing is written to it.
    // False when it is gone or another process holds it.
    bool adopt(const QString &path, QString *error);
    bool isOpen() const { return m_fd >= 0; }
    const QString &path() const { return m_path; }

    // Any thread: queues samples for the writing thread; nothing once finished or failed.
    void append(const QVector<Sample> &samples);
    // Writes and syncs everything handed over and ends the writing thread; the file stays, held.
    void finish();
    // Finishes, then removes the file and lets it go.
    bool remove();
    // The first write or sync that failed, with the system's reason; the journal then stops growing.
    QString error() const;
    Stats stats() const;

private:
    void run();
    void fail(int errorNumber);
    bool writeAll(const QByteArray &bytes);

    int m_fd = -1;
    QString m_path;
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    QVector<Sample> m_pending; // under m_mutex
    bool m_accepting = false; // under m_mutex: from create() until finish() or a failure
    bool m_stopping = false; // under m_mutex
    QString m_error; // under m_mutex
    std::atomic<qint64> m_bytes {0};
    std::atomic<qint64> m_writes {0};
    std::atomic<qint64> m_syncs {0};
};
