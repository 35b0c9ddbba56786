#include "journalwriter.h"

#include "files/saveresult.h"
#include "files/syncfolder.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
// A power loss costs at most this much of the recording, and the disk sees at most one sync per period.
constexpr auto kSyncPeriod = std::chrono::milliseconds(1000);

QString systemErrorText(int errorNumber)
{
    return SaveResult::systemError(errorNumber).reason();
}

} // namespace

JournalWriter::~JournalWriter()
{
    finish();
    if (m_fd >= 0)
        ::close(m_fd);
}

bool JournalWriter::create(const QString &folder, const RecordingJournal::Header &header, QString *error)
{
    if (!QDir().mkpath(folder)) {
        *error = systemErrorText(errno);
        return false;
    }
    for (int attempt = 1; m_fd < 0; ++attempt) {
        m_path = QDir(folder).filePath(RecordingJournal::fileName(header.info.startMsecs, attempt));
        m_fd = ::open(
            QFile::encodeName(m_path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
        if (m_fd < 0 && errno != EEXIST) {
            *error = systemErrorText(errno);
            m_path.clear();
            return false;
        }
    }
    ::flock(m_fd, LOCK_EX | LOCK_NB);
    if (!writeAll(RecordingJournal::headerBytes(header)) || ::fdatasync(m_fd) != 0) {
        *error = systemErrorText(errno);
        ::close(m_fd);
        m_fd = -1;
        QFile::remove(m_path);
        m_path.clear();
        return false;
    }
    m_syncs = 1;
    syncFolder(folder);
    m_accepting = true;
    m_thread = std::thread(&JournalWriter::run, this);
    return true;
}

bool JournalWriter::adopt(const QString &path, QString *error)
{
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0) {
        *error = systemErrorText(errno);
        return false;
    }
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        *error = systemErrorText(errno);
        ::close(m_fd);
        m_fd = -1;
        return false;
    }
    m_path = path;
    return true;
}

void JournalWriter::append(const QVector<Sample> &samples)
{
    if (samples.isEmpty())
        return;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_accepting)
            return;
        m_pending += samples;
    }
    m_wake.notify_one();
}

void JournalWriter::finish()
{
    if (!m_thread.joinable())
        return;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_accepting = false;
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

bool JournalWriter::remove()
{
    finish();
    if (m_fd < 0)
        return false;
    const bool removed = QFile::remove(m_path);
    ::close(m_fd);
    m_fd = -1;
    m_path.clear();
    return removed;
}

QString JournalWriter::error() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_error;
}

JournalWriter::Stats JournalWriter::stats() const
{
    return {m_bytes.load(), m_writes.load(), m_syncs.load()};
}

void JournalWriter::fail(int errorNumber)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_error.isEmpty())
        m_error = systemErrorText(errorNumber);
    m_accepting = false;
    m_stopping = true;
    m_pending.clear();
}

bool JournalWriter::writeAll(const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(m_fd, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        left -= n;
        m_bytes += n;
    }
    ++m_writes;
    return true;
}

void JournalWriter::run()
{
    Clock::time_point lastSync = Clock::now();
    bool unsynced = false;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        // Bytes written but not synced wait at most a sync period; with none, only new samples wake us.
        if (m_pending.isEmpty() && !m_stopping) {
            if (unsynced)
                m_wake.wait_until(lock, lastSync + kSyncPeriod);
            else
                m_wake.wait(lock);
        }
        QVector<Sample> batch;
        batch.swap(m_pending);
        const bool stopping = m_stopping;
        lock.unlock();
        if (!batch.isEmpty()) {
            if (!writeAll(RecordingJournal::batchBytes(batch.constData(), batch.size()))) {
                fail(errno);
                return;
            }
            unsynced = true;
        }
        const Clock::time_point now = Clock::now();
        if (unsynced && (stopping || now - lastSync >= kSyncPeriod)) {
            if (::fdatasync(m_fd) != 0) {
                fail(errno);
                return;
            }
            ++m_syncs;
            lastSync = now;
            unsynced = false;
        }
        lock.lock();
        if (stopping && m_pending.isEmpty())
            return;
    }
}
