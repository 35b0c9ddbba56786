#pragma once

#include "control/uutdriver.h"
#include "control/uutreading.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <QtGlobal>

#include <deque>
#include <optional>

// The exchanges with an instrument under test, on a virtual clock (monotonic ms): requests queued by
// token, their bytes out, the bytes that come back framed into replies (terminator or fixed length, an
// inter-byte timeout), each reply judged (error pattern first, then the decoder), retries and timeouts.
// Events in, steps out; the port worker only writes the bytes and calls tick() at nextDeadline().
// Not thread-safe; one instance per open line. One exchange at a time, in the order asked.
class UutProtocol
{
public:
    enum class Purpose { Reading, SetEmissivity, QueryEmissivity, Init, Check };

    struct Step
    {
        enum class Kind { Write, Answer };
        Kind kind = Kind::Write;
        QByteArray bytes; // Write
        int token = 0; // Answer
        Purpose purpose = Purpose::Reading; // Answer
        UutReading reading; // Answer; utc left for the link to stamp
    };
    using Steps = QVector<Step>;

    // What one reply says, retries aside.
    struct Judgement
    {
        UutReading::Kind kind = UutReading::Kind::Garbage;
        double value = 0;
        QString meaning;
        bool retry = false; // an error pattern with action retry, or garbage
        int retryDelayMs = 0;
    };

    explicit UutProtocol(const UutDriver &driver);

    // The bytes that go out for `command` carrying `value`: the template filled in, the checksum and the
    // write terminator appended. Empty when the value does not fit the field.
    static QByteArray requestBytes(const UutDriver &driver, const UutCommand &command, double value = 0);
    // A reply as the operator and the journal see it: hex ("01 5e") for binary drivers, escaped text
    // ("!T050.12\r") otherwise. Control characters escaped as \r \n \t or \xNN.
    static QString rawText(const UutDriver &driver, const QByteArray &reply);
    // Judges one framed reply (terminator included) to `command`: its checksum, then the error patterns,
    // then the decoder. A command without a decoder takes any reply that is no error as Value 0.
    static Judgement judge(const UutDriver &driver, const UutCommand &command, const QByteArray &reply);

    // Queues an exchange; answered by exactly one Answer step with the same token, unless dropAll() comes
    // first. In listen mode Reading and Check wait for the next reply the instrument sends of itself.
    Steps ask(int token, Purpose purpose, double value, qint64 now);
    // Queues the driver's init list, answered by one Answer with Purpose::Init per command (token 0).
    Steps askInit(qint64 now);
    // Bytes read from the line.
    Steps bytesIn(const QByteArray &bytes, qint64 now);
    // Deadlines that passed by `now`: reply timeouts, inter-byte timeouts, retry delays, the wait between
    // commands.
    Steps tick(qint64 now);
    // When tick() is next due; nothing when no deadline is set.
    std::optional<qint64> nextDeadline() const;
    // The line is gone: every queued and running exchange is dropped and its token returned, in order,
    // so the link can answer them as lost; partial input is forgotten.
    QVector<QPair<int, Purpose>> dropAll();
    bool idle() const;
    // When the last reply of any kind was framed, or nothing before one came.
    std::optional<qint64> lastReplyAt() const { return m_lastReplyAt; }

private:
    struct Job
    {
        int token = 0;
        Purpose purpose = Purpose::Reading;
        const UutCommand *command = nullptr; // into m_driver
        double value = 0;
        bool listens = false; // waits for a reply the instrument sends of itself instead of writing
        int attempts = 0;
    };
    enum class Phase { Idle, Waiting, Replying, Pausing };

    Steps startNext(qint64 now);
    Steps send(qint64 now);
    Steps finish(UutReading reading, qint64 now);
    Steps frameDone(const QByteArray &frame, qint64 now);
    Steps failAttempt(const Judgement &judgement, const QString &raw, qint64 now);
    void enqueue(const Job &job);
    int expectedLength() const;

    UutDriver m_driver;
    std::deque<Job> m_jobs; // the front one runs unless Idle
    Phase m_phase = Phase::Idle;
    QByteArray m_input; // bytes of the reply being framed
    QByteArray m_echo; // own request bytes still to be skipped on an echoing line
    qint64 m_deadline = 0; // reply timeout while Waiting or Replying, resume time while Pausing
    qint64 m_byteDeadline = 0; // inter-byte timeout while bytes of a reply are in
    qint64 m_quietUntil = 0; // the wait between commands
    std::optional<qint64> m_lastReplyAt;
};
