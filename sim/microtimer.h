#pragma once

#include <QObject>

#include <functional>
#include <map>

class QSocketNotifier;

namespace sim {

// One-shot callbacks at deadlines finer than a millisecond, on a timerfd: a reply at 115200 baud is on the
// line for well under one, which QTimer would round to a whole one. Deadlines are on the monotonic
// clock (CLOCK_MONOTONIC nanoseconds, see now()). Lives and fires in the thread that calls at() first.
class MicroTimer : public QObject
{
    Q_OBJECT

public:
    explicit MicroTimer(QObject *parent = nullptr);
    ~MicroTimer() override;

    static qint64 now();
    // Calls task at deadlineNs or as soon after as the event loop allows; tasks due together run in the
    // order they were given.
    void at(qint64 deadlineNs, std::function<void()> task);
    // Forgets every task not yet run.
    void clear();
    int pending() const { return int(m_tasks.size()); }

private:
    void fire();
    void arm();

    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    std::multimap<qint64, std::function<void()>> m_tasks;
};

} // namespace sim
