#pragma once

#include "portworker.h"

#include <QByteArray>
#include <QSerialPort>
#include <QString>

#include <atomic>

// Owns the thermometer's port on a thread of its own: wakes the device with zero bytes, frames each request
// with an XOR check byte, collects its reply within a deadline and reports every exchange on an open port
// with exactly one DataRecv. Between exchanges a drain discards whatever the device sends unasked.
// Construct without a parent (it moves itself to its thread). All slots run on that thread, in arrival
// order; reach them through queued (or blocking queued) connections. Destroy it from another thread, after
// any poll thread ticking it has stopped: that cuts a running exchange short, then quits and joins it.
// Its waits are sliced: the time-outs of its own waits are not relayed with errorOccurred.
class KelvraSerial : public PortWorker
{
    Q_OBJECT

public:
    // Process-wide: every wake-up preamble is one zero longer while set. Set from the device's answer to
    // command 0x17; read once at the start of each exchange.
    static inline std::atomic<bool> extraLeadingZero {false};

    // protocol 0: XOR framing; 1: the CRC variant.
    explicit KelvraSerial(QObject *parent = nullptr, int protocol = 0);
    ~KelvraSerial() override;

    // True for at least 2 bytes whose last is the XOR of all before it.
    static bool CheckFrame(const QByteArray &buffer);
    // Any thread. The selector is read at the start of each request.
    int GetProtocol() const;
    void SetProtocol(int protocol);

    // The baud-rate probe on an open, configured port owned by the calling thread: writes the fast-read
    // request for code 0x01 and waits up to 200 ms for a valid frame. Leaves the port open.
    static bool probe(QSerialPort *port);

public slots:
    // Requests to a closed port are dropped at once: nothing is written and no signal follows. A command
    // exchange reports a good answer alone, and when both attempts fail, every byte they collected.

    // Protocol 1: the 8-byte CRC command, reply awaited up to 2000 ms, DataRecv carries `code`.
    // Protocol 0: nothing.
    void SendCommand(uchar addr, uchar code, ushort data = 0, ushort index = 0);
    // Data8, no flow control, no parity, one stop bit. Under protocol 0 the wake-up exchange (six zero
    // bytes, DataRecv code 0) runs before OpenSuccessed(true).
    void OpenCom(const QString &name, QSerialPort::BaudRate baud);
    // Opens (closing first), configures 8N1 and probes as probe() does. Reports by return value only and
    // leaves the port open; protocol 1 always answers false.
    bool TryOpen(const QString &name, QSerialPort::BaudRate baud);
    // Protocol 0: command exchange of code + data. Protocol 1: CRC exchange of 00, code, index (high,
    // low) and the value padded in front to two bytes.
    void SendWriteCommand(uchar code, QByteArray data, ushort index = 0);
    // Protocol 0: command exchange, padded with wake-up zeros, up to two attempts of 1000 ms each.
    // Protocol 1: CRC read of 00, code, 00 00 00 00, reply awaited up to 500 ms.
    void SendReadCommand(uchar code);
    // The poll: wake-up zeros, code, code; the reply, judged as a command's of that code (a reading is 3
    // bytes), awaited up to 70 ms; no retry.
    void FastRead(uchar code);

protected slots:
    // The drain: between exchanges, everything that arrives is read and dropped.
    void receiveInfo();

private:
    void writePaced(const QByteArray &request, int gapMs);
    bool pacedExchange(
        const QByteArray &request, uchar code, int gapMs, int timeoutMs, const Complete &complete);
    void commandExchange(const QByteArray &payload);

    std::atomic<int> m_protocol {0};
};
