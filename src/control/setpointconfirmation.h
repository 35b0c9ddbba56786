#pragma once

#include <QtGlobal>

// Decides whether a set point reached the controller. A valid answer to the set frame proves little: on
// a slow line it may be a late answer to an earlier poll. So the set point counts as confirmed only when
// the first valid poll reply after the set reply reads it back, in wire units, within kReadBackWithinMs.
// A read-back of another set point is a refusal; no valid answer in time leaves it not confirmed.
// One set point at a time: the link sends the next only once this one's frame has been answered.
// GUI thread only; times are monotonic milliseconds.
class SetPointConfirmation
{
public:
    static constexpr qint64 kReadBackWithinMs = 2000;

    enum class State {
        Idle,
        Sent, // waiting for the answer to the set frame
        Confirming, // waiting for a poll to read the set point back
    };
    enum class Outcome { None, Confirmed, Refused, NotConfirmed };

    // A set frame carrying `wire` was sent.
    void sent(qint16 wire);
    // The answer to the set frame.
    Outcome setReply(bool valid, qint64 now);
    // The set point read back by a valid poll reply.
    Outcome readBack(qint16 setWire, qint64 now);
    // Not confirmed once the read-back is overdue.
    Outcome expire(qint64 now);
    // Whatever was on its way is no longer waited for.
    void reset();

    State state() const { return m_state; }

private:
    State m_state = State::Idle;
    qint16 m_wire = 0;
    qint64 m_deadline = 0;
};
