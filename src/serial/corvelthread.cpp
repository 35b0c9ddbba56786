#include "corvelthread.h"

#include <QMetaObject>

#include <chrono>
#include <condition_variable>
#include <mutex>

// What the loop, the stopping thread and the call's thread share. A standard mutex, so that
// ThreadSanitizer sees every hand-over between them.
struct CorvelThread::Shared
{
    std::mutex lock;
    std::condition_variable wake;
    bool stop = false;
    // The call the loop is waiting for (0: none), the last one posted and the last one delivered. Only the
    // loop posts, one at a time, and Qt delivers them in order, so deliveries count off the posts.
    quint64 wanted = 0;
    quint64 issued = 0;
    quint64 delivered = 0;
    bool done = false;
    std::function<void()> call;
};

namespace {
// Relays are made on the owning thread and deleted on the call's thread, handed over through Qt's event
// queue, where ThreadSanitizer cannot see it. Both ends take this lock, which orders them; it cannot live
// in the relay, whose members are what the two threads hand over.
std::mutex g_relayHandOver;
} // namespace

// Runs the loop's call on the call's thread. Posted to by name, so the request carries no data of ours
// through Qt's event queue: everything it needs is read under the shared lock.
class CallRelay : public QObject
{
    Q_OBJECT

public:
    // Made, and deleted, under g_relayHandOver.
    explicit CallRelay(std::shared_ptr<CorvelThread::Shared> shared)
        : m_shared(std::move(shared))
    { }
    ~CallRelay() override { std::lock_guard<std::mutex> locker(g_relayHandOver); }

public slots:
    void run()
    {
        quint64 id = 0;
        std::function<void()> call;
        {
            std::lock_guard<std::mutex> locker(m_shared->lock);
            id = ++m_shared->delivered;
            // Queued before a stop that abandoned it: nobody waits for it any more.
            if (id != m_shared->wanted)
                return;
            call = m_shared->call;
        }
        call();
        std::lock_guard<std::mutex> locker(m_shared->lock);
        if (m_shared->wanted == id) {
            m_shared->done = true;
            m_shared->wake.notify_all();
        }
    }

private:
    const std::shared_ptr<CorvelThread::Shared> m_shared;
};

CorvelThread::CorvelThread()
    : m_shared(std::make_shared<Shared>())
{ }

CorvelThread::~CorvelThread()
{
    stopThread();
    if (m_relay)
        m_relay->deleteLater();
}

void CorvelThread::startThread()
{
    {
        std::lock_guard<std::mutex> locker(m_shared->lock);
        m_shared->stop = false;
    }
    start(QThread::InheritPriority);
}

void CorvelThread::stopThread()
{
    {
        std::lock_guard<std::mutex> locker(m_shared->lock);
        m_shared->stop = true;
        m_shared->wanted = 0;
        m_shared->wake.notify_all();
    }
    quit();
    wait();
}

void CorvelThread::setCall(QObject *context, std::function<void()> call)
{
    {
        std::lock_guard<std::mutex> locker(m_shared->lock);
        m_shared->call = std::move(call);
    }
    if (!m_relay) {
        std::lock_guard<std::mutex> locker(g_relayHandOver);
        m_relay = new CallRelay(m_shared);
    }
    if (m_relay->thread() != context->thread())
        m_relay->moveToThread(context->thread());
}

void CorvelThread::callAndWait()
{
    std::unique_lock<std::mutex> locker(m_shared->lock);
    if (m_shared->stop || !m_relay)
        return;
    const quint64 id = ++m_shared->issued;
    m_shared->wanted = id;
    m_shared->done = false;
    locker.unlock();
    QMetaObject::invokeMethod(m_relay, "run", Qt::QueuedConnection);
    locker.lock();
    m_shared->wake.wait(locker, [&] { return m_shared->stop || (m_shared->wanted == id && m_shared->done); });
    if (m_shared->wanted == id)
        m_shared->wanted = 0;
}

void CorvelThread::rest(int ms)
{
    std::unique_lock<std::mutex> locker(m_shared->lock);
    m_shared->wake.wait_for(locker, std::chrono::milliseconds(ms), [&] { return m_shared->stop; });
}

bool CorvelThread::stopRequested() const
{
    std::lock_guard<std::mutex> locker(m_shared->lock);
    return m_shared->stop;
}

#include "corvelthread.moc"
