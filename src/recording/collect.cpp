#include "collect.h"

#include <QThread>
#include <QTimer>

Collect::Collect()
    : thread(new QThread)
    , timer(new QTimer)
{
    thread->setObjectName(QStringLiteral("collector"));
    moveToThread(thread);
    timer->moveToThread(thread);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, &Collect::TimerOutEvent);
    // A running timer may only be stopped by its own thread, so it is deleted there as the thread ends.
    connect(
        thread, &QThread::finished, timer,
        [this, t = timer] {
            delete t;
            m_threadDone.store(true, std::memory_order_release);
        },
        Qt::DirectConnection);
    thread->start();
}

Collect::~Collect()
{
    // The thread deletes the timer as it ends (see the constructor).
    thread->quit();
    thread->wait();
    // wait() joins inside Qt, where ThreadSanitizer cannot see it; this pairs with the thread's last store,
    // so what the thread did comes before whatever reuses this object's memory.
    m_threadDone.load(std::memory_order_acquire);
    delete thread;
}

void Collect::TimerOutEvent()
{
    emit timeOut();
}

void Collect::start(int ms)
{
    if (timer->isActive())
        timer->stop();
    timer->start(ms);
}

void Collect::stop()
{
    if (timer->isActive())
        timer->stop();
}
