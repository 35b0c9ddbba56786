#include "microtimer.h"

#include <QSocketNotifier>

#include <ctime>
#include <sys/timerfd.h>
#include <unistd.h>

namespace sim {

MicroTimer::MicroTimer(QObject *parent)
    : QObject(parent)
{ }

MicroTimer::~MicroTimer()
{
    // The notifier goes before the descriptor it watches.
    delete m_notifier;
    if (m_fd >= 0)
        ::close(m_fd);
}

qint64 MicroTimer::now()
{
    timespec ts {};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void MicroTimer::at(qint64 deadlineNs, std::function<void()> task)
{
    // Created on first use, so the notifier belongs to the thread the timer works in.
    if (m_fd < 0) {
        m_fd = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
        if (m_fd < 0)
            return;
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &MicroTimer::fire);
    }
    m_tasks.emplace(deadlineNs, std::move(task));
    arm();
}

void MicroTimer::clear()
{
    m_tasks.clear();
    arm();
}

void MicroTimer::fire()
{
    quint64 expirations = 0;
    [[maybe_unused]] const ssize_t n = ::read(m_fd, &expirations, sizeof expirations);
    // A task may add or clear tasks, so each is taken out before it runs.
    while (!m_tasks.empty() && m_tasks.begin()->first <= now()) {
        const std::function<void()> task = std::move(m_tasks.begin()->second);
        m_tasks.erase(m_tasks.begin());
        task();
    }
    arm();
}

void MicroTimer::arm()
{
    if (m_fd < 0)
        return;
    itimerspec when {};
    if (!m_tasks.empty()) {
        // Zero would disarm the timer: a deadline already past is taken as one nanosecond from boot.
        const qint64 deadline = qMax<qint64>(1, m_tasks.begin()->first);
        when.it_value.tv_sec = time_t(deadline / 1000000000);
        when.it_value.tv_nsec = long(deadline % 1000000000);
    }
    ::timerfd_settime(m_fd, TFD_TIMER_ABSTIME, &when, nullptr);
}

} // namespace sim
