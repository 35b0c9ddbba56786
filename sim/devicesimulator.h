#pragma once

#include "faultplan.h"
#include "linesettings.h"
#include "simdevice.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QRandomGenerator>
#include <QString>

#include <memory>

class QTimer;

namespace sim {

class MicroTimer;
class PtyHost;
class TcpHost;

// A simulated instrument on a pseudo-terminal, and optionally on a loopback network port: feeds the
// client's bytes to the device and writes its replies back to where the request came from, altered by the
// fault plan. Device-independent.
// Thread: lives and works in one thread, which needs a running event loop (a test's QSignalSpy::wait or
// QTRY_* is enough). It may be moved to a thread of its own before open(); every call, open() included,
// must then be made in that thread (QMetaObject::invokeMethod).
class DeviceSimulator : public QObject
{
    Q_OBJECT

public:
    explicit DeviceSimulator(std::unique_ptr<SimDevice> device, QObject *parent = nullptr);
    ~DeviceSimulator() override;

    // Publishes the line under linkPath, the port name for the client. Again after hangUp(): re-plug.
    bool open(const QString &linkPath, QString *error = nullptr);
    bool isOpen() const;
    // The link path given to the last open(), kept after a hang-up.
    QString portName() const { return m_linkPath; }
    QString clientPath() const;
    // The settings the client applied on its end of the line.
    LineSettings clientLine() const;

    // A network port on 127.0.0.1 beside (or instead of) the pseudo-terminal; 0 picks a free port.
    bool listenTcp(quint16 port, QString *error = nullptr);
    quint16 tcpPort() const;

    // The device vanishes now: the client's line hangs up and the link is removed; a network client is
    // disconnected (the port keeps listening).
    void hangUp();

    SimDevice *device() const { return m_device.get(); }
    FaultPlan &faults() { return m_faults; }
    // Time the device takes to answer, before any fault's own delays.
    void setReplyDelay(int ms) { m_replyDelayMs = qMax(0, ms); }
    int replyDelay() const { return m_replyDelayMs; }
    // Requests and replies on the pseudo-terminal take the time their characters would on the device's
    // line (start, data, parity and stop bits at its baud rate): a reply is written when its last byte
    // would have arrived, and one reply waits for the line to be free of the one before.
    void setPacing(bool on) { m_pacing = on; }
    bool pacing() const { return m_pacing; }
    // Every ms, sends the device's unasked() bytes to its clients; 0 stops. What the line's client has
    // not read of the last ones by then is dropped, so no client opens the port to a backlog of them.
    void setPushInterval(int ms);
    int pushInterval() const { return m_pushMs; }
    void setSeed(quint32 seed) { m_random.seed(seed); }

    // Every complete request, and every raw byte, received since open() or clearLog().
    QList<QByteArray> requests() const { return m_requests; }
    QByteArray received() const { return m_received; }
    void clearLog();

    // Puts bytes on the line now, past the device: stray bytes, or answers to requests it does not speak.
    bool writeRaw(const QByteArray &bytes);
    // Puts bytes on the line and to the network client now; false when neither took them.
    bool broadcast(const QByteArray &bytes);

signals:
    void bytesReceived(const QByteArray &bytes);
    void requestReceived(const QByteArray &request);
    // The last byte of an answer (true reply, garbage or corrupted) has been written to the line.
    void replySent(const QByteArray &bytes);
    // Bytes the device could not make sense of because the client's line settings differ from its own.
    void bytesIgnored(const QByteArray &bytes, const QString &reason);
    void hungUp();

private:
    enum class Origin { Line, Network };

    void onReceived(const QByteArray &bytes, Origin origin);
    void respond(const QByteArray &reply, int delayMs, const Fault &fault, Origin origin);
    // completes: the whole answer when this write ends it, for replySent.
    void writeAfter(int ms, const QByteArray &bytes, const QByteArray &completes, Origin origin);
    QByteArray garbageFor(const QByteArray &reply);
    void push();

    std::unique_ptr<SimDevice> m_device;
    PtyHost *m_host = nullptr;
    TcpHost *m_tcp = nullptr;
    MicroTimer *m_lineTimer = nullptr;
    QTimer *m_pushTimer = nullptr;
    int m_pushMs = 0;
    bool m_pacing = false;
    // With pacing: when the last request byte so far is in, and when the line out is free again.
    qint64 m_requestInNs = 0;
    qint64 m_lineFreeNs = 0;
    QString m_linkPath;
    FaultPlan m_faults;
    QList<QByteArray> m_requests;
    QByteArray m_received;
    QRandomGenerator m_random {7};
    int m_replyDelayMs = 0;
    // Bumped on every hang-up and open, so writes scheduled for a vanished line are dropped.
    quint64 m_generation = 0;
};

} // namespace sim
