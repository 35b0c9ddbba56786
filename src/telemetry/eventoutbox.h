#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <deque>
#include <utility>

// The publisher's events on disk until the broker has them: one append-only file of text lines in the
// profile's data folder, a header (the instance id, the last seq, drops not yet reported) and records
// (an event, its acknowledgement, its drop by the bound), each with a hash, so a record cut by a crash or
// a power cut is told from a whole one. Also the owner of `seq` and of the instance id, which go on
// across starts with the file; a file that is lost or damaged starts a new instance, so (station,
// instance, seq) never names two events. Without open() it keeps nothing on disk: a fresh instance for
// this object's life. Not thread-safe: the caller holds its own lock; only syncFile() runs without it.
class EventOutbox
{
    Q_DECLARE_TR_FUNCTIONS(EventOutbox)

public:
    static constexpr const char *kFileName = "mqtt-outbox";

    struct Event
    {
        quint64 seq = 0;
        QByteArray payload;
        bool dropReport = false; // the "events_dropped" report, which settles the drops before it
    };
    // A sync taken under the caller's lock and carried out without it (fsync can take milliseconds).
    struct SyncTicket
    {
        int fd = -1; // a duplicate, closed by syncFile()
        quint64 upTo = 0;
        int error = 0; // errno of a failed sync
    };

    EventOutbox();
    ~EventOutbox();
    EventOutbox(const EventOutbox &) = delete;
    EventOutbox &operator=(const EventOutbox &) = delete;

    // Opens or creates `folder`/mqtt-outbox and reads what an earlier run left. A torn last record is cut
    // off; a file that is no outbox or is damaged before its end is renamed aside and a new one begun,
    // which message() says. False (message() says why) when nothing can be kept on disk.
    bool open(const QString &folder);
    bool isOpen() const { return m_fd >= 0; }
    QString message() const { return m_message; } // for the operator; empty when all went well
    QString path() const { return m_path; }

    QString instance() const { return m_instance; }
    quint64 nextSeq() { return ++m_lastSeq; }
    quint64 lastSeq() const { return m_lastSeq; }
    // The events an earlier run left unacknowledged, oldest first; taken once, after open().
    std::deque<Event> takePending() { return std::exchange(m_pending, {}); }
    quint64 droppedUnreported() const { return m_droppedUnreported; }

    // Written at once (safe from a killed process), on disk after the next sync.
    bool append(const Event &event);
    bool markDone(quint64 seq); // the broker acknowledged it
    bool markDropped(quint64 seq); // the bound pushed it out; reported by the next drop report
    // Events up to this seq are on disk (all of them without a file).
    quint64 durableSeq() const { return m_fd >= 0 ? m_durableSeq : m_lastSeq; }
    bool needsSync() const { return m_fd >= 0 && m_durableSeq < m_appendedSeq; }
    SyncTicket beginSync() const;
    static bool syncFile(SyncTicket &ticket);
    void endSync(const SyncTicket &ticket, bool ok);
    bool sync(); // the three above, for a caller without another thread

    // When nothing waits and the file has grown, or when it is mostly records of the past.
    bool wantsCompaction(size_t pendingCount) const;
    // Rewrites the file with only `pending` (what the caller still holds), atomically.
    bool compact(const std::deque<Event> &pending);

    // The error of the last failed write, for the operator; cleared by takeError().
    QString takeError() { return std::exchange(m_error, {}); }

private:
    bool load(const QByteArray &bytes, qint64 *goodBytes);
    bool create(); // a new instance in a new file
    bool reopen();
    void forget(); // back to an instance of this object's own, nothing loaded
    bool write(char kind, quint64 seq, const QByteArray &payload = {});
    QByteArray header() const;
    void fail(const QString &what, int error);

    QString m_path;
    int m_fd = -1;
    QString m_instance;
    quint64 m_lastSeq = 0;
    quint64 m_appendedSeq = 0;
    quint64 m_durableSeq = 0;
    quint64 m_droppedUnreported = 0;
    qint64 m_fileBytes = 0;
    qint64 m_compactedBytes = 0; // the file's size after the last compaction
    std::deque<Event> m_pending;
    QString m_message, m_error;
};
