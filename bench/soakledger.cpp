#include "soakledger.h"

#include "devicesimulator.h"

#include <algorithm>
#include <chrono>

qint64 SoakLedger::Counts::faults() const
{
    qint64 total = 0;
    for (int kind = sim::Fault::Silence; kind <= sim::Fault::HangUp; ++kind)
        total += injected[size_t(kind)];
    return total;
}

SoakLedger::SoakLedger(Device device, sim::DeviceSimulator *sim, std::vector<sim::Fault> schedule)
    : m_device(std::move(device))
    , m_sim(sim)
    , m_schedule(std::move(schedule))
{ }

std::vector<sim::Fault> SoakLedger::makeSchedule(int reads,
    const std::array<int, sim::Fault::HangUp + 1> &quota, int maxPieces, int maxPauseMs, int readDeadlineMs,
    int lateMinMs, int lateMaxMs, std::mt19937_64 &random)
{
    std::vector<sim::Fault> schedule;
    schedule.reserve(size_t(reads));
    const auto between
        = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int kind = sim::Fault::Silence; kind <= sim::Fault::HangUp; ++kind) {
        for (int i = 0; i < quota[size_t(kind)] && int(schedule.size()) < reads; ++i) {
            sim::Fault fault {sim::Fault::Kind(kind)};
            if (kind == sim::Fault::Split) {
                fault.pieces = between(2, maxPieces);
                fault.pauseMs = between(1, maxPauseMs);
            } else if (kind == sim::Fault::Late) {
                fault.delayMs = readDeadlineMs + between(lateMinMs, lateMaxMs);
            }
            schedule.push_back(fault);
        }
    }
    schedule.resize(size_t(reads));
    std::shuffle(schedule.begin(), schedule.end(), random);
    return schedule;
}

void SoakLedger::onRequest(const QByteArray &request)
{
    const qint64 now = nowNs();
    // The simulator's own log of requests would grow with every one for the whole soak.
    m_sim->clearLog();
    std::function<void()> hook;
    bool hangUp = false;
    {
        std::lock_guard<std::mutex> locker(m_lock);
        // The worker went on to its next request without a result for this one (a command's second
        // attempt is its own).
        if (m_pending.valid && !m_pending.resolved && m_pending.read && !m_pending.flagged)
            ++m_counts.hung;
        Pending pending;
        pending.valid = true;
        pending.read = m_device.isRead(request);
        pending.code = m_device.codeOf(request);
        pending.atNs = now;
        if (pending.read) {
            pending.fault = m_nextRead < m_schedule.size() ? m_schedule[m_nextRead] : sim::Fault {};
            ++m_nextRead;
            pending.tag = m_tag;
            m_tag = m_tag % m_device.maxTag + 1;
            m_device.showTag(m_tag);
            ++m_counts.injected[size_t(pending.fault.kind)];
            sim::FaultPlan &plan = m_sim->faults();
            plan.clear();
            switch (pending.fault.kind) {
            case sim::Fault::None:
                break;
            case sim::Fault::Silence:
                plan.silence(1);
                break;
            case sim::Fault::Garbage:
                plan.garbage();
                break;
            case sim::Fault::BadCheck:
                plan.badCheck();
                break;
            case sim::Fault::Split:
                plan.split(pending.fault.pieces, pending.fault.pauseMs);
                break;
            case sim::Fault::Late: {
                plan.late(pending.fault.delayMs);
                LateReply late;
                late.tag = pending.tag;
                late.code = pending.code;
                m_late.push_back(late);
                if (m_late.size() > kMaxLate)
                    m_late.erase(m_late.begin());
                break;
            }
            case sim::Fault::HangUp:
                plan.hangUpOnNextRequest();
                hangUp = true;
                break;
            }
            hook.swap(m_readHook);
        }
        m_pending = pending;
        // The result came first: this device's thread got the request late.
        if (m_orphan.valid && m_orphan.code == pending.code) {
            resolve(m_orphan.code, m_orphan.data, m_orphan.ok, m_orphan.atNs);
            m_orphan = {};
        }
        dropOrphan();
    }
    if (hangUp && m_hangUpHook)
        m_hangUpHook();
    if (hook)
        hook();
}

void SoakLedger::onReplySent(const QByteArray &reply)
{
    const qint64 now = nowNs();
    std::lock_guard<std::mutex> locker(m_lock);
    for (LateReply &late : m_late) {
        if (late.sentNs >= 0 || m_device.reading(late.code, reply, true) != late.tag)
            continue;
        late.sentNs = now;
        late.bytes = reply;
        if (late.givenUpNs >= 0 && now - late.givenUpNs > qint64(m_device.quietGapMs) * 1000000)
            ++m_counts.lateBeyondGap;
        return;
    }
}

void SoakLedger::onResult(uchar code, const QByteArray &data, bool ok)
{
    const qint64 now = nowNs();
    std::lock_guard<std::mutex> locker(m_lock);
    ++m_counts.exchanges;
    if (m_device.wakeCode >= 0 && code == uchar(m_device.wakeCode)) {
        ++m_counts.wakeUps;
        // The device answers no wake-up: a good reply here is somebody else's.
        if (ok && takenBeyondGap(data, now)) {
            ++m_counts.lateTakenBeyondGap;
        } else if (ok) {
            ++m_counts.staleAccepted;
            note("good reply to the wake-up", code, data, ok, now);
        }
        return;
    }
    if (m_pending.valid && !m_pending.resolved) {
        resolve(code, data, ok, now);
        return;
    }
    dropOrphan();
    m_orphan = {true, code, data, ok, now};
}

void SoakLedger::checkHung()
{
    const qint64 now = nowNs();
    std::lock_guard<std::mutex> locker(m_lock);
    if (!m_pending.valid || m_pending.resolved)
        return;
    if (!m_pending.flagged && now - m_pending.atNs > boundNs(m_pending)) {
        m_pending.flagged = true;
        ++m_counts.hung;
    }
}

void SoakLedger::finish()
{
    checkHung();
    std::lock_guard<std::mutex> locker(m_lock);
    if (m_pending.valid && !m_pending.resolved && !m_pending.flagged) {
        m_pending.flagged = true;
        ++m_counts.hung;
    }
    dropOrphan();
}

void SoakLedger::armReadHook(std::function<void()> hook)
{
    std::lock_guard<std::mutex> locker(m_lock);
    m_readHook = std::move(hook);
}

SoakLedger::Counts SoakLedger::counts() const
{
    std::lock_guard<std::mutex> locker(m_lock);
    return m_counts;
}

qint64 SoakLedger::nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void SoakLedger::resolve(uchar code, const QByteArray &data, bool ok, qint64 atNs)
{
    Pending &pending = m_pending;
    pending.resolved = true;
    if (atNs < pending.atNs)
        ++m_counts.lateRequests;
    if (!pending.flagged && atNs - pending.atNs > boundNs(pending)) {
        pending.flagged = true;
        ++m_counts.hung;
        note("late result", code, data, ok, atNs);
    }
    if (!pending.read) {
        if (!ok) {
            ++m_counts.goodMissed;
            note("command failed", code, data, ok, atNs);
        }
        return;
    }
    ++m_counts.reads;
    const std::optional<int> reading = code == pending.code ? m_device.reading(code, data, ok) : std::nullopt;
    if (ok && !reading) {
        ++m_counts.incompleteAccepted;
        note("good reply without a reading", code, data, ok, atNs);
    }
    if (reading && *reading != pending.tag && takenBeyondGap(data, atNs)) {
        ++m_counts.lateTakenBeyondGap;
    } else {
        switch (pending.fault.kind) {
        case sim::Fault::None:
        case sim::Fault::Split:
        case sim::Fault::Late:
            if (reading && *reading != pending.tag) {
                ++m_counts.wrongReadings;
                note(qPrintable(QStringLiteral("reading %1 instead of %2").arg(*reading).arg(pending.tag)),
                    code, data, ok, atNs);
            } else if (reading) {
                ++m_counts.readings;
                if (pending.fault.kind == sim::Fault::Late)
                    ++m_counts.lateInTime;
            } else if (!ok && spoiltBeyondGap(data)) {
                ++m_counts.lateTakenBeyondGap;
            } else if (!ok && pending.fault.kind != sim::Fault::Late) {
                ++m_counts.goodMissed;
                note("unspoilt reply missed", code, data, ok, atNs);
            }
            break;
        case sim::Fault::Silence:
        case sim::Fault::Garbage:
        case sim::Fault::BadCheck:
        case sim::Fault::HangUp:
            if (ok) {
                ++m_counts.faultyAccepted;
                note("spoilt reply accepted", code, data, ok, atNs);
            }
            break;
        }
    }
    // Its exchange is over without its own reply, whatever else the worker took.
    if (pending.fault.kind == sim::Fault::Late && reading != pending.tag) {
        for (LateReply &late : m_late) {
            if (late.tag == pending.tag)
                late.givenUpNs = atNs;
        }
    }
    m_previous = pending.fault;
}

bool SoakLedger::takenBeyondGap(const QByteArray &data, qint64 takenNs)
{
    for (auto late = m_late.begin(); late != m_late.end(); ++late) {
        if (m_device.reading(late->code, data, true) != late->tag)
            continue;
        // Taken before the simulator's thread could note it going out: it went out just now.
        const qint64 sent = late->sentNs >= 0 ? late->sentNs : takenNs;
        const bool beyond
            = late->givenUpNs >= 0 && sent - late->givenUpNs > qint64(m_device.quietGapMs) * 1000000;
        m_late.erase(late);
        return beyond;
    }
    return false;
}

bool SoakLedger::spoiltBeyondGap(const QByteArray &data)
{
    for (auto late = m_late.begin(); late != m_late.end(); ++late) {
        if (late->sentNs < 0 || late->givenUpNs < 0 || !data.contains(late->bytes))
            continue;
        const bool beyond = late->sentNs - late->givenUpNs > qint64(m_device.quietGapMs) * 1000000;
        m_late.erase(late);
        return beyond;
    }
    return false;
}

void SoakLedger::dropOrphan()
{
    // A result no request of this device's ever matched.
    if (m_orphan.valid && m_orphan.ok && takenBeyondGap(m_orphan.data, m_orphan.atNs)) {
        ++m_counts.lateTakenBeyondGap;
    } else if (m_orphan.valid && m_orphan.ok) {
        ++m_counts.staleAccepted;
        note("good reply with no request", m_orphan.code, m_orphan.data, m_orphan.ok, m_orphan.atNs);
    }
    m_orphan = {};
}

qint64 SoakLedger::boundNs(const Pending &pending) const
{
    const int deadline = pending.read ? m_device.readDeadlineMs : m_device.otherDeadlineMs;
    return qint64(deadline + 1000) * 1000000;
}

QString SoakLedger::kindName(sim::Fault::Kind kind)
{
    static const char *const names[]
        = {"none", "silence", "garbage", "bad check", "split", "late", "hang-up"};
    return QString::fromLatin1(names[kind]);
}

QStringList SoakLedger::notes() const
{
    std::lock_guard<std::mutex> locker(m_lock);
    return m_notes;
}

void SoakLedger::note(const char *what, uchar code, const QByteArray &data, bool ok, qint64 atNs)
{
    if (m_notes.size() >= kMaxNotes)
        return;
    const auto fault = [](const sim::Fault &fault) {
        QString text = kindName(fault.kind);
        if (fault.kind == sim::Fault::Split)
            text += QStringLiteral(" %1x%2ms").arg(fault.pieces).arg(fault.pauseMs);
        else if (fault.kind == sim::Fault::Late)
            text += QStringLiteral(" %1ms").arg(fault.delayMs);
        return text;
    };
    m_notes << QStringLiteral(
        "%1: %2; code %3, ok %4, %5 ms after request %9, reply %6; fault %7, before it %8")
                   .arg(m_device.name, QLatin1String(what))
                   .arg(code, 2, 16, QLatin1Char('0'))
                   .arg(ok)
                   .arg(double(atNs - m_pending.atNs) / 1e6, 0, 'f', 1)
                   .arg(QString::fromLatin1(data.toHex(' ')), fault(m_pending.fault), fault(m_previous))
                   .arg(m_pending.tag);
}
