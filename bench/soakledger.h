#pragma once

#include "faultplan.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <vector>

namespace sim {
class DeviceSimulator;
}

// One simulated device's side of the fault soak: picks the fault for each read request as the device
// receives it, gives every reading a value of its own, and judges each result the worker reports against
// what the device did. A request and the result for it are paired in order; one outstanding at a time.
// Thread: onRequest() runs on the simulator's thread, onResult() on the worker's, the rest anywhere.
class SoakLedger
{
public:
    struct Device
    {
        QString name;
        // The worker's own deadline for a read, and for any other request.
        int readDeadlineMs = 1000;
        int otherDeadlineMs = 1000;
        // How long after a read's failed result the worker keeps a late reply to it from the next read:
        // no later reply can be told from the answer to that one.
        int quietGapMs = 50;
        // Result code of a wake-up exchange, which puts no request on the line; -1: none.
        int wakeCode = -1;
        // Readings run through 1..maxTag, one step per read request.
        int maxTag = 1;
        // The code the worker reports for this request.
        std::function<uchar(const QByteArray &request)> codeOf;
        std::function<bool(const QByteArray &request)> isRead;
        // Simulator thread: the device reads `tag` from now on.
        std::function<void(int tag)> showTag;
        // The reading the program would take from a result, as a tag; none when it would take none.
        std::function<std::optional<int>(uchar code, const QByteArray &data, bool ok)> reading;
    };

    struct Counts
    {
        qint64 exchanges = 0;
        qint64 reads = 0; // results of read requests
        qint64 readings = 0; // right readings the program would take
        std::array<qint64, sim::Fault::HangUp + 1> injected {};
        qint64 faultyAccepted = 0; // silence, garbage, bad check or hang-up reported as a good reply
        qint64 wrongReadings = 0; // a reading other than the one the device sent for that request
        qint64 incompleteAccepted = 0; // a good reply the program can take no reading from
        qint64 staleAccepted = 0; // a good reply to a request that never reached the device
        qint64 hung = 0; // no result within the deadline + 1 s, or none at all
        qint64 goodMissed = 0; // an unspoilt reply reported as failed
        qint64 lateInTime = 0; // a late reply that still beat the worker's deadline
        qint64 lateRequests = 0; // the device got the request only after the worker's result
        qint64 lateBeyondGap = 0; // late replies that went out after the worker's quiet gap
        qint64 lateTakenBeyondGap = 0; // ...and were then taken for, or spoilt, a later exchange
        qint64 wakeUps = 0;

        qint64 faults() const;
        qint64 wrong() const { return faultyAccepted + wrongReadings + incompleteAccepted + staleAccepted; }
    };

    SoakLedger(Device device, sim::DeviceSimulator *sim, std::vector<sim::Fault> schedule);

    // The schedule: `reads` entries, each kind's quota of faults at random places, the rest None.
    // Split replies come in 2..maxPieces pieces 1..maxPauseMs apart; late ones lateMinMs..lateMaxMs past
    // readDeadlineMs.
    static std::vector<sim::Fault> makeSchedule(int reads,
        const std::array<int, sim::Fault::HangUp + 1> &quota, int maxPieces, int maxPauseMs,
        int readDeadlineMs, int lateMinMs, int lateMaxMs, std::mt19937_64 &random);

    const Device &device() const { return m_device; }
    // Simulator thread, from DeviceSimulator::requestReceived, before the device's answer goes out.
    void onRequest(const QByteArray &request);
    // Simulator thread, from DeviceSimulator::replySent.
    void onReplySent(const QByteArray &reply);
    // Worker thread, from DataRecv.
    void onResult(uchar code, const QByteArray &data, bool ok);
    // Counts a request that has gone without a result for longer than its deadline + 1 s as hung.
    void checkHung();
    // The run is over: a request still without a result never got one.
    void finish();
    // Runs `hook` once, on the simulator's thread, at the next read request.
    void armReadHook(std::function<void()> hook);
    // Runs `hook` on the simulator's thread whenever the device is about to vanish, before the line goes.
    // Set before the first request.
    void setHangUpHook(std::function<void()> hook) { m_hangUpHook = std::move(hook); }

    Counts counts() const;
    // The first few results that were not what they should be, one line each, for the report.
    QStringList notes() const;

    static QString kindName(sim::Fault::Kind kind);
    static qint64 nowNs();

private:
    struct Pending
    {
        bool valid = false;
        bool resolved = false;
        bool flagged = false; // already counted as hung
        bool read = false;
        uchar code = 0;
        int tag = 0;
        sim::Fault fault;
        qint64 atNs = 0;
    };
    struct Orphan
    {
        bool valid = false;
        uchar code = 0;
        QByteArray data;
        bool ok = false;
        qint64 atNs = 0;
    };

    void resolve(uchar code, const QByteArray &data, bool ok, qint64 atNs);
    void dropOrphan();
    // Whether `data` is a late reply that went out after the worker's quiet gap had passed, when no
    // worker could tell it from the answer it was taken for.
    bool takenBeyondGap(const QByteArray &data, qint64 takenNs);
    // Whether a late reply that went out after the worker's quiet gap is among the bytes collected.
    bool spoiltBeyondGap(const QByteArray &data);
    qint64 boundNs(const Pending &pending) const;
    void note(const char *what, uchar code, const QByteArray &data, bool ok, qint64 atNs);

    static constexpr int kMaxNotes = 20;
    const Device m_device;
    sim::DeviceSimulator *const m_sim;
    const std::vector<sim::Fault> m_schedule;
    mutable std::mutex m_lock;
    size_t m_nextRead = 0;
    int m_tag = 1;
    Pending m_pending;
    // A result that came before the device had its request: the device's thread ran late.
    Orphan m_orphan;
    std::function<void()> m_readHook;
    std::function<void()> m_hangUpHook;
    // The fault of the read before the one pending.
    sim::Fault m_previous;
    // The last few late replies: when the worker gave up on each and when it went out (-1: not yet).
    struct LateReply
    {
        int tag = 0;
        uchar code = 0;
        qint64 givenUpNs = -1;
        qint64 sentNs = -1;
        QByteArray bytes;
    };
    static constexpr size_t kMaxLate = 8;
    std::vector<LateReply> m_late;
    Counts m_counts;
    QStringList m_notes;
};
