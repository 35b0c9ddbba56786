#pragma once

#include "replycollector.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

#include <atomic>

class QThread;

// Owns the thermometer's port on a thread of its own: wakes the device with zero bytes, frames each request
// with an XOR check byte, collects its reply within a deadline and reports every exchange on an open port
// with exactly one DataRecv. Between exchanges a drain discards whatever the device sends unasked.
// Construct without a parent (it moves itself to its thread). All slots run on that thread, in arrival
// order; reach them through queued (or blocking queued) connections. Destroy it from another thread, after
// any poll thread ticking it has stopped: that cuts a running exchange short, then quits and joins it.
class KelvraSerial : public QObject
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
    // Any thread. Reflects the last open or close the worker has carried out; one still waiting in its
    // queue is not seen yet.
    bool IsOpen() const;

    // The baud-rate probe on an open, configured port owned by the calling thread: writes the fast-read
    // request for code 0x01 and waits up to 200 ms for a valid frame. Leaves the port open.
    static bool probe(QSerialPort *port);

signals:
    // Ends every exchange written to an open port: the request code, the reply (every byte collected when
    // the exchange failed, possibly none) and whether a complete, valid reply arrived before the deadline.
    void DataRecv(uchar code, QByteArray data, bool ok);
    void OpenSuccessed(bool ok);
    // Precedes OpenSuccessed(false): the port that failed, the port's error and the system's reason.
    void OpenFailed(QString name, QSerialPort::SerialPortError error, QString reason);
    void CloseSuccessed(bool ok);
    // The port's own reports, relayed, except the time-outs of the worker's own waits (a silent device is
    // reported by DataRecv). A vanished device is reported once as ResourceError, after which the worker
    // closes the port and emits CloseSuccessed(true).
    void errorOccurred(QSerialPort::SerialPortError error);

public slots:
    // Requests to a closed port are dropped at once: nothing is written and no signal follows.

    // Protocol 1: the 8-byte CRC command, reply awaited up to 2000 ms, DataRecv carries `code`.
    // Protocol 0: nothing.
    void SendCommand(uchar addr, uchar code, ushort data = 0, ushort index = 0);
    // Data8, no flow control, no parity, one stop bit. Under protocol 0 the wake-up exchange (six zero
    // bytes, DataRecv code 0) runs before OpenSuccessed(true).
    void OpenCom(const QString &name, QSerialPort::BaudRate baud);
    // Opens (closing first), configures 8N1 and probes as probe() does. Reports by return value only and
    // leaves the port open; protocol 1 always answers false.
    bool TryOpen(const QString &name, QSerialPort::BaudRate baud);
    // Closes the port if open; always answers CloseSuccessed(true).
    void CloseCom();
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
    using Complete = ReplyCollector::Complete;

    bool openPort(const QString &name);
    void configure(QSerialPort::BaudRate baud);
    bool portUsable() const;
    bool cutShort() const;
    void waitSlice(qint64 leftMs);
    QByteArray waitForQuietLine();
    void settleLine();
    void writePaced(const QByteArray &request, int gapMs);
    QByteArray collectReply(int timeoutMs, const Complete &complete, bool *ok);
    void wakeUp();
    void commandExchange(const QByteArray &payload);
    void crcExchange(const QByteArray &framed, uchar code, int timeoutMs);
    void onPortError(QSerialPort::SerialPortError error);
    void closeIfLineLost();

    QSerialPort *m_port = nullptr;
    QThread *m_thread = nullptr;
    std::atomic<int> m_protocol {0};
    // Written by the worker thread, read by IsOpen() from any thread.
    std::atomic<bool> m_open {false};
    // Set by the destructor, from another thread: the running exchange ends at its next wait.
    std::atomic<bool> m_stopping {false};
    // Worker-thread only: an exchange is running (the drain stands aside), and the device has vanished
    // since the last open.
    bool m_inExchange = false;
    bool m_lineLost = false;
    // Worker-thread only: the last exchange ended without its reply, which may still be on its way, even
    // after the port has been closed and opened again.
    bool m_replyOverdue = false;
};
