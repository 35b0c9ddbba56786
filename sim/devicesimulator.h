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

namespace sim {

class PtyHost;

// A simulated instrument on a pseudo-terminal: feeds the client's bytes to the device and writes its
// replies back, altered by the fault plan. Device-independent.
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

    // The device vanishes now: the client's line hangs up and the link is removed.
    void hangUp();

    SimDevice *device() const { return m_device.get(); }
    FaultPlan &faults() { return m_faults; }
    // Time the device takes to answer, before any fault's own delays.
    void setReplyDelay(int ms) { m_replyDelayMs = qMax(0, ms); }
    int replyDelay() const { return m_replyDelayMs; }
    void setSeed(quint32 seed) { m_random.seed(seed); }

    // Every complete request, and every raw byte, received since open() or clearLog().
    QList<QByteArray> requests() const { return m_requests; }
    QByteArray received() const { return m_received; }
    void clearLog();

    // Puts bytes on the line now, past the device: stray bytes, or answers to requests it does not speak.
    bool writeRaw(const QByteArray &bytes);

signals:
    void bytesReceived(const QByteArray &bytes);
    void requestReceived(const QByteArray &request);
    // The last byte of an answer (true reply, garbage or corrupted) has been written to the line.
    void replySent(const QByteArray &bytes);
    // Bytes the device could not make sense of because the client's line settings differ from its own.
    void bytesIgnored(const QByteArray &bytes, const QString &reason);
    void hungUp();

private:
    void onReceived(const QByteArray &bytes);
    void respond(const QByteArray &reply, int delayMs, const Fault &fault);
    // completes: the whole answer when this write ends it, for replySent.
    void writeAfter(int ms, const QByteArray &bytes, const QByteArray &completes);
    QByteArray garbageFor(const QByteArray &reply);

    std::unique_ptr<SimDevice> m_device;
    PtyHost *m_host = nullptr;
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
