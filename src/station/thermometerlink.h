#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

class GetTempThread;
class KelvraSerial;

// The thermometer's link: finds the rate the device answers at, opens its port there, asks it once for
// its wake-up preamble (command 0x17) and then has the poll read it, reporting each reading or its
// absence. Owns the port worker and the poll. GUI thread; the probes run on the worker's thread, queued
// like its other requests, so no step blocks the caller. One link per process: the preamble flag is the
// worker's process-wide one.
class ThermometerLink : public QObject
{
    Q_OBJECT

public:
    enum class Refusal {
        NoAnswer, // no rate answered the probe
        NotReopened, // the rate found did not answer a second time
    };

    explicit ThermometerLink(QObject *parent = nullptr);
    // Stops the poll, then joins the worker's thread, a probe under way included.
    ~ThermometerLink() override;

    // Probes `port` at each of ThermometerProtocol::kProbeBaudRates in turn, on a port of the probe's own,
    // then once more at the rate found, and opens the worker's port there. Answered by refused(), or by
    // rateFound() and then refused() or opened(). Ignored while open or while an earlier open is under way.
    void open(const QString &port);
    // closed() follows; the poll reads on until then.
    void close();
    // The worker's view: its last open or close carried out.
    bool isOpen() const;
    // No more reads, now or after an open still under way; the port is left as it is. For a window on
    // its way out.
    void stopPolling();
    // A command exchange, queued; its reply is handled as every other.
    void sendReadCommand(uchar code);
    // What the worker reports of each exchange: the preamble flag from the answer to 0x17, a reading or
    // its absence; the answer to 0x17 after an open completes the open.
    void handleReply(uchar code, const QByteArray &reply, bool ok);

signals:
    void rateFound(int baud);
    void refused(ThermometerLink::Refusal why);
    // After the answer to 0x17 when ok; at once when the worker could not open the port.
    void opened(bool ok);
    // Preceded by noAmbient().
    void closed();
    void ambient(double celsius);
    void noAmbient();

private:
    enum class State { Closed, Probing, Acknowledging, Open };

    // On the worker's thread.
    void probeAndOpen(const QString &port);
    void onOpened(bool ok);
    void onClosed();
    void refuse(Refusal why);

    // Outlives the worker's thread, which reads it between probes.
    std::atomic<bool> m_leaving {false};
    std::unique_ptr<KelvraSerial> m_worker;
    // Ticks the worker, so it is destroyed before it.
    std::unique_ptr<GetTempThread> m_poll;
    State m_state = State::Closed;
    bool m_pollingStopped = false;
};
