#pragma once

#include <QThread>

#include <functional>
#include <memory>

class CallRelay;

// A QThread whose loop another thread can stop without ever having to wait for the thread that stops it.
// The loop rests and makes blocking calls through rest() and callAndWait(); a stop request cuts both
// short, so stopThread() returns as soon as the loop has seen it, even when the stopping thread is the
// very one a call is queued to. startThread() and stopThread() belong to the owning thread.
class CorvelThread : public QThread
{
public:
    CorvelThread();
    // Stops the loop first; a subclass whose run() uses its own members must stop in its destructor too.
    ~CorvelThread() override;

    // Clears the stop flag and starts the loop; on a running loop only the flag is cleared.
    void startThread();
    // Asks the loop to end and waits until it has. Returns at once on a thread that never ran. A call the
    // loop made that has already started runs to its end on its own thread; one not yet started never runs.
    void stopThread();

protected:
    // Makes callAndWait() run `call` on context's thread, which must have an event loop and must not be
    // this one. From the owning thread, before the loop first starts; context must outlive this object's
    // loop.
    void setCall(QObject *context, std::function<void()> call);
    // From run(): queues the call and waits until it has returned, or until a stop is requested.
    void callAndWait();
    // From run(): sleeps for ms, or until a stop is requested.
    void rest(int ms);
    bool stopRequested() const;

private:
    friend class CallRelay;
    struct Shared;
    std::shared_ptr<Shared> m_shared;
    // Lives on the call's thread, deleted there.
    CallRelay *m_relay = nullptr;
};
