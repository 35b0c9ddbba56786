#pragma once

#include "devicesimulator.h"
#include "serial/portworker.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTestData>

#include <functional>
#include <memory>
#include <mutex>

// What the port-worker suites share: the window's receiving side, a call made on the worker's thread, a
// rig of simulated device, worker and stand-in window with bounded waits, and tables run side by side.

constexpr int kWaitMs = 5000;

// Hears a port worker in the test's thread, as the window does: its reports arrive as queued calls.
class WorkerListener : public QObject
{
    Q_OBJECT

public:
    explicit WorkerListener(PortWorker *worker);

    // Everything that arrived, in order: "data <code>", "open", "close", "error <n>" (NoError left out).
    QStringList events;
    // dataArrived reports the milliseconds since this was last called.
    void restartClock() { m_clock.restart(); }

signals:
    void dataArrived(uchar code, QByteArray data, bool ok, qint64 elapsedMs);
    void openArrived(bool ok);
    void closeArrived(bool ok);

private:
    QElapsedTimer m_clock;
};

// Runs a table's rows side by side, each in a process of its own: all workers of a process take one lock
// for their exchanges, so rows in one process would sit out their deadlines in turn. The _data function
// names its rows with newRow(); the test function starts with `if (!RowProcesses::runsRowHere()) return;`.
namespace RowProcesses {
QTestData &newRow(const char *tag);
// True in a row's own process (or with BB_ROW_PROCESS=1 set). Otherwise false, the current row passing or
// failing as its process did; the table's first row starts them all and waits for them.
bool runsRowHere();
} // namespace RowProcesses

// Runs a call on the worker's thread, where its port lives. Posted by name, with its inputs and result
// under a lock, so the hand-over is one ThreadSanitizer can follow.
class OnWorkerThread : public QObject
{
    Q_OBJECT

public:
    explicit OnWorkerThread(PortWorker *worker) { moveToThread(worker->thread()); }

    // Returns what `function` returned there, or -1 when it has not returned within kWaitMs.
    int call(std::function<int()> function);

private slots:
    void run();

private:
    int result();

    std::mutex m_lock;
    std::function<int()> m_call;
    int m_result = -1;
};

// A simulated device on a pseudo-terminal of its own, a worker and the stand-in window (a WorkerListener
// that also holds the window's request signals), wired as the program wires them.
template<typename Device, typename Worker, typename Window>
struct WorkerRig
{
    WorkerRig(std::unique_ptr<Device> made, const QString &linkName)
        : device(made.get())
        , sim(std::move(made))
        , onWorker(&worker)
        , window(&worker)
    {
        QString error;
        if (!sim.open(dir.filePath(linkName), &error))
            qFatal("simulator: %s", qPrintable(error));
    }

    // Makes the request and returns what OpenSuccessed said; false when it did not come.
    bool opened(const std::function<void()> &request)
    {
        QSignalSpy spy(&window, &WorkerListener::openArrived);
        request();
        return spy.wait(kWaitMs) && spy.at(0).at(0).toBool();
    }
    // Since slots run in order, every earlier request has been handled once CloseSuccessed is back.
    bool closed(const std::function<void()> &request)
    {
        QSignalSpy spy(&window, &WorkerListener::closeArrived);
        request();
        return spy.wait(kWaitMs) && spy.at(0).at(0).toBool();
    }
    // Sends a request and waits for its DataRecv; fills code, reply, ok and the time it took.
    bool exchange(const std::function<void()> &send)
    {
        QSignalSpy spy(&window, &WorkerListener::dataArrived);
        window.restartClock();
        send();
        if (!spy.wait(kWaitMs))
            return false;
        code = spy.at(0).at(0).template value<uchar>();
        reply = spy.at(0).at(1).toByteArray();
        ok = spy.at(0).at(2).toBool();
        elapsedMs = spy.at(0).at(3).toLongLong();
        return true;
    }
    // Puts answers[k] on the line once the device has received `request` k + 1 times over, standing in for
    // a device that speaks commands the simulator does not know. Empty answers: silence.
    void script(const QByteArray &request, const QList<QByteArray> &answers)
    {
        QObject::disconnect(scripted);
        scripted = QObject::connect(&sim, &sim::DeviceSimulator::bytesReceived, &sim, [=] {
            const QByteArray received = sim.received();
            const int times = received.size() / request.size();
            if (received.size() % request.size() == 0 && received == request.repeated(times)
                && times <= answers.size())
                sim.writeRaw(answers.at(times - 1));
        });
    }

    QTemporaryDir dir;
    Device *device = nullptr;
    sim::DeviceSimulator sim;
    Worker worker;
    OnWorkerThread onWorker;
    Window window;
    QMetaObject::Connection scripted;

    uchar code = 0;
    QByteArray reply;
    bool ok = false;
    qint64 elapsedMs = 0;
};
