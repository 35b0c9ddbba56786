#pragma once

#include <QObject>

#include <atomic>

class QThread;
class QTimer;

// The recording clock: a precise timer on a thread of its own. Create and destroy it on one thread (the
// GUI thread); start() and stop() are meant to arrive as queued calls. timeOut() is emitted on the
// collector's thread, so a receiver connected directly runs there and must be thread-safe.
class Collect : public QObject
{
    Q_OBJECT

public:
    Collect();
    // Stops the timer on its own thread, then quits and joins the thread.
    ~Collect() override;

signals:
    void timeOut();

public slots:
    void TimerOutEvent();
    void start(int ms);
    void stop();

private:
    QThread *thread = nullptr;
    QTimer *timer = nullptr;
    // Set by the collector's thread as it ends.
    std::atomic<bool> m_threadDone {false};
};
