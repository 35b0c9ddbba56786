#pragma once

#include <QtGlobal>

// Decides whether a set point reached the controller. A valid answer to the set frame proves little: on
// a slow line it may be a late answer to an earlier poll. So the set point counts as confirmed only when
// the first valid poll reply after the set reply reads it back, in wire units, within kReadBackWithinMs.
// Only the newest set point sent can be confirmed; answers to earlier ones are passed over.
// GUI thread only; times are monotonic milliseconds.
class SetPointConfirmation
{
public:
    static constexpr qint64 kReadBackWithinMs = 2000;

    enum class State {
        Idle,
        Sent, // waiting for the answer to the newest set frame
        Confirming, // waiting for a poll to read the set point back
    };
    enum class Outcome { None, Confirmed, Refused };

    // A set frame carrying `wire` was sent; it supersedes any set point still on its way.
    void sent(qint16 wire);
    // The answer to a set frame, in the order they were sent.
    Outcome setReply(bool valid, qint64 now);
    // The set point read back by a valid poll reply.
    Outcome readBack(qint16 setWire, qint64 now);
    // Refused once the read-back is overdue.
    Outcome expire(qint64 now);
    // The link opened or closed: whatever was on its way is gone.
    void reset();

    State state() const { return m_state; }

private:
    State m_state = State::Idle;
    qint16 m_wire = 0;
    int m_repliesDue = 0; // set frames sent whose answers have not come yet
    qint64 m_deadline = 0;
};
