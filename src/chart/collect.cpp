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
    thread->start();
}

Collect::~Collect()
{
    // A running timer may only be stopped by its own thread, so it is destroyed there.
    if (thread->isRunning())
        QMetaObject::invokeMethod(
            this, [this] { delete timer; }, Qt::BlockingQueuedConnection);
    else
        delete timer;
    timer = nullptr;
    thread->quit();
    thread->wait();
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
