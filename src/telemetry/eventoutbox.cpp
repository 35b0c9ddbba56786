#include "eventoutbox.h"

#include "files/atomicsave.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QUuid>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <unistd.h>

namespace {

const QByteArray kMagic = QByteArrayLiteral("OUTBOX 1");
// Compacted when nothing waits and the file is past this, about 400 events' worth of records.
constexpr qint64 kCompactIdleBytes = 64 * 1024;
// Compacted while events wait once the file is past this and twice its last compacted size: the
// 10,000 events the bound allows take about 2 MB.
constexpr qint64 kCompactBusyBytes = 4 * 1024 * 1024;

// FNV-1a: enough to tell a whole line from one a crash or a power cut left half written or zeroed.
QByteArray hashOf(const QByteArray &body)
{
    quint64 h = 14695981039346656037ull;
    for (const char c : body) {
        h ^= quint8(c);
        h *= 1099511628211ull;
    }
    return QByteArray::number(h, 16).rightJustified(16, '0');
}

QByteArray line(const QByteArray &body)
{
    return hashOf(body) + ' ' + body + '\n';
}

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *p = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

} // namespace

EventOutbox::EventOutbox()
    : m_instance(QUuid::createUuid().toString(QUuid::WithoutBraces))
{ }

EventOutbox::~EventOutbox()
{
    if (m_fd >= 0) {
        sync();
        ::close(m_fd);
    }
}

bool EventOutbox::open(const QString &folder)
{
    m_path = QDir(folder).filePath(QLatin1String(kFileName));
    if (!QDir().mkpath(folder)) {
        m_message = tr("事件无法保存在 %1：无法创建该文件夹，事件只保存在内存中").arg(folder);
        return false;
    }
    QFile file(m_path);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            m_message = tr("事件无法保存在 %1：%2，事件只保存在内存中").arg(m_path, file.errorString());
            return false;
        }
        const QByteArray bytes = file.readAll();
        file.close();
        qint64 good = 0;
        if (load(bytes, &good)) {
            if (!reopen()) {
                forget();
                return false;
            }
            // A record cut by a crash goes, so the next one starts on a line of its own.
            if (good < bytes.size() && ::ftruncate(m_fd, good) != 0) {
                fail(m_path, errno);
                m_message = m_error;
            }
            m_fileBytes = m_compactedBytes = good;
            m_appendedSeq = m_lastSeq;
            // What an earlier run wrote may still be only in the page cache.
            sync();
            return true;
        }
        // Never reused: its seqs may have reached subscribers, so a new instance begins.
        const QString aside
            = m_path + QStringLiteral(".damaged-") + QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss");
        if (!QFile::rename(m_path, aside)) {
            m_message = tr("事件文件 %1 已损坏且无法移开，事件只保存在内存中").arg(m_path);
            return false;
        }
        forget();
        m_message = tr("事件文件已损坏，已移至 %1；事件从新的实例 %2 重新编号").arg(aside, m_instance);
    }
    const QString created = m_message;
    if (!create())
        return false;
    m_message = created;
    return true;
}

bool EventOutbox::load(const QByteArray &bytes, qint64 *goodBytes)
{
    std::map<quint64, Event> pending;
    bool sawHeader = false;
    qint64 pos = 0;
    while (pos < bytes.size()) {
        const int end = bytes.indexOf('\n', int(pos));
        if (end < 0)
            break; // torn tail
        const QByteArray text = bytes.mid(int(pos), int(end - pos));
        const bool last = end + 1 == bytes.size();
        const QByteArray body = text.mid(17);
        bool ok = text.size() > 17 && text.at(16) == ' ' && hashOf(body) == text.left(16);
        if (ok && !sawHeader) {
            const QList<QByteArray> f = body.split(' ');
            ok = body.startsWith(kMagic + ' ') && f.size() == 5 && !QUuid(f[2]).isNull();
            bool n1 = false, n2 = false;
            if (ok) {
                m_instance = QString::fromLatin1(f[2]);
                m_lastSeq = f[3].toULongLong(&n1);
                m_droppedUnreported = f[4].toULongLong(&n2);
            }
            ok = ok && n1 && n2;
            sawHeader = ok;
        } else if (ok) {
            const int space = body.indexOf(' ', 2);
            const char kind = body.at(0);
            bool number = false;
            const quint64 seq = body.mid(2, space < 0 ? -1 : space - 2).toULongLong(&number);
            ok = number && body.size() > 2 && body.at(1) == ' ';
            if (ok && (kind == 'E' || kind == 'R') && space > 0) {
                pending[seq] = {seq, body.mid(space + 1), kind == 'R'};
                m_lastSeq = std::max(m_lastSeq, seq);
                if (kind == 'R')
                    m_droppedUnreported = 0;
            } else if (ok && kind == 'A' && space < 0) {
                pending.erase(seq);
            } else if (ok && kind == 'X' && space < 0) {
                pending.erase(seq);
                ++m_droppedUnreported;
            } else {
                ok = false;
            }
        }
        if (!ok) {
            // Only the last line may be cut; a bad one before others is damage, not a crash.
            if (!last || !sawHeader)
                return false;
            break;
        }
        pos = end + 1;
    }
    if (!sawHeader)
        return false;
    *goodBytes = pos;
    for (auto &[seq, e] : pending)
        m_pending.push_back(std::move(e));
    return true;
}

void EventOutbox::forget()
{
    m_pending.clear();
    m_lastSeq = m_appendedSeq = m_durableSeq = m_droppedUnreported = 0;
    m_instance = QUuid::createUuid().toString(QUuid::WithoutBraces);
}

bool EventOutbox::create()
{
    const QByteArray bytes = line(header());
    const SaveResult saved
        = saveAtomically(m_path, [&bytes](QIODevice *out) { return out->write(bytes) == bytes.size(); });
    if (!saved) {
        m_message = tr("事件无法保存在 %1：%2，事件只保存在内存中").arg(m_path, saved.reason());
        return false;
    }
    m_fileBytes = m_compactedBytes = bytes.size();
    m_appendedSeq = m_durableSeq = m_lastSeq;
    return reopen();
}

bool EventOutbox::reopen()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = ::open(QFile::encodeName(m_path).constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (m_fd < 0) {
        m_message = tr("事件无法保存在 %1：%2，事件只保存在内存中")
                        .arg(m_path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    // A second program on the same folder would number events that this one numbers too.
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(m_fd);
        m_fd = -1;
        m_message = tr("事件文件 %1 正被另一个程序使用，事件只保存在内存中").arg(m_path);
        return false;
    }
    return true;
}

QByteArray EventOutbox::header() const
{
    return kMagic + ' ' + m_instance.toLatin1() + ' ' + QByteArray::number(m_lastSeq) + ' '
        + QByteArray::number(m_droppedUnreported);
}

bool EventOutbox::write(char kind, quint64 seq, const QByteArray &payload)
{
    if (m_fd < 0)
        return true;
    QByteArray body = QByteArray(1, kind) + ' ' + QByteArray::number(seq);
    if (!payload.isEmpty())
        body += ' ' + payload;
    const QByteArray bytes = line(body);
    if (!writeAll(m_fd, bytes)) {
        const int error = errno;
        // A part of a record in the middle would make the whole file look damaged at the next start.
        [[maybe_unused]] const int cut = ::ftruncate(m_fd, m_fileBytes);
        fail(m_path, error);
        return false;
    }
    m_fileBytes += bytes.size();
    return true;
}

bool EventOutbox::append(const Event &event)
{
    if (event.dropReport)
        m_droppedUnreported = 0;
    // Not written (a full disk): reported, and sent all the same after the next sync rather than held
    // until the bound drops it.
    const bool written = write(event.dropReport ? 'R' : 'E', event.seq, event.payload);
    m_appendedSeq = std::max(m_appendedSeq, event.seq);
    return written;
}

bool EventOutbox::markDone(quint64 seq)
{
    return write('A', seq);
}

bool EventOutbox::markDropped(quint64 seq)
{
    ++m_droppedUnreported;
    return write('X', seq);
}

EventOutbox::SyncTicket EventOutbox::beginSync() const
{
    if (!needsSync())
        return {};
    return {::dup(m_fd), m_appendedSeq, 0};
}

bool EventOutbox::syncFile(SyncTicket &ticket)
{
    if (ticket.fd < 0)
        return true;
    const bool ok = ::fdatasync(ticket.fd) == 0;
    ticket.error = ok ? 0 : errno;
    ::close(ticket.fd);
    ticket.fd = -1;
    return ok;
}

void EventOutbox::endSync(const SyncTicket &ticket, bool ok)
{
    // A disk that cannot sync is reported, not waited for: holding events for it would lose them all.
    if (!ok)
        fail(m_path, ticket.error);
    m_durableSeq = std::max(m_durableSeq, ticket.upTo);
}

bool EventOutbox::sync()
{
    SyncTicket ticket = beginSync();
    const bool ok = syncFile(ticket);
    endSync(ticket, ok);
    return ok;
}

bool EventOutbox::wantsCompaction(size_t pendingCount) const
{
    if (m_fd < 0)
        return false;
    return (pendingCount == 0 && m_fileBytes > kCompactIdleBytes)
        || m_fileBytes > std::max(kCompactBusyBytes, 2 * m_compactedBytes);
}

bool EventOutbox::compact(const std::deque<Event> &pending)
{
    QByteArray bytes = line(header());
    for (const Event &e : pending)
        // Plain events: the header already counts the drops that no report has told yet.
        bytes += line(QByteArray("E ") + QByteArray::number(e.seq) + ' ' + e.payload);
    const SaveResult saved
        = saveAtomically(m_path, [&bytes](QIODevice *out) { return out->write(bytes) == bytes.size(); });
    if (!saved) {
        m_error = tr("无法整理事件文件 %1：%2").arg(m_path, saved.reason());
        return false;
    }
    m_fileBytes = m_compactedBytes = bytes.size();
    // Every waiting event is in the new file, synced by the save.
    m_durableSeq = m_appendedSeq;
    return reopen();
}

void EventOutbox::fail(const QString &path, int error)
{
    m_error = tr("无法写入事件文件 %1：%2").arg(path, QString::fromLocal8Bit(std::strerror(error)));
}
