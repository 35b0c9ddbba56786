#pragma once

#include <QList>
#include <QString>

namespace sim {

// What the simulated device does instead of (or to) its reply to one request.
struct Fault
{
    enum Kind { None, Silence, Garbage, BadCheck, Split, Late, HangUp };
    Kind kind = None;
    int pieces = 0; // Split: number of pieces
    int pauseMs = 0; // Split: pause between pieces
    int delayMs = 0; // Late: delay of the whole reply
};

// A queue of faults, each in force for a number of requests (or until cleared), consumed one request at a
// time. Device-independent; a plain value confined to the simulator's thread.
class FaultPlan
{
public:
    static constexpr int UntilCleared = -1;

    void silence(int requests = UntilCleared);
    void garbage(int requests = 1);
    void badCheck(int requests = 1);
    void split(int pieces, int pauseMs, int requests = 1);
    void late(int delayMs, int requests = 1);
    void hangUpOnNextRequest();
    void clear();

    bool isEmpty() const { return m_steps.isEmpty(); }
    // The fault for the request now being answered; None when the queue is empty.
    Fault take();
    // One line per queued fault, e.g. "late 1300 ms x1".
    QString describe() const;

private:
    struct Step
    {
        Fault fault;
        int remaining = 1;
    };
    void add(const Fault &fault, int requests);

    QList<Step> m_steps;
};

} // namespace sim
