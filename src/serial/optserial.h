#pragma once

#include "portworker.h"

#include <QByteArray>
#include <QSerialPort>
#include <QString>

// Owns the blackbody controller's port on a thread of its own: frames each request, collects its reply
// within a deadline and reports every exchange on an open port with exactly one DataRecv.
// Construct without a parent (it moves itself to its thread). All slots run on that thread, in arrival
// order; reach them through queued connections. Destroy it from another thread: that quits and joins it.
// Its waits run whole: the port's time-out reports are relayed with errorOccurred.
class OptSerial : public PortWorker
{
    Q_OBJECT

public:
    // protocol 0: checksum framing for the general slots; 1: the CRC variant.
    explicit OptSerial(QObject *parent = nullptr, int protocol = 0);
    ~OptSerial() override;

public slots:
    // Requests to a closed port are dropped: nothing is written and no signal follows.

    // CRC-framed 8-byte command; reply awaited up to 2000 ms; DataRecv carries `code` itself.
    void SendCommand(uchar addr, uchar code, ushort data = 0, ushort index = 0);
    // Data8, no flow control, no parity, two stop bits. Answers OpenSuccessed.
    void OpenCom(const QString &name, QSerialPort::BaudRate baud);
    // Closes an open port first; a failed re-open leaves it closed. Answers OpenSuccessed.
    void OpenCom1(const QString &name, QSerialPort::BaudRate baud, QSerialPort::DataBits databits,
        QSerialPort::FlowControl flowcontrol, QSerialPort::Parity parity, QSerialPort::StopBits stopbits);
    // Opens and sends six zero bytes; true if an XOR-checked answer comes within 200 ms. Reports by
    // return value only and leaves the port open.
    bool TryOpen(const QString &name, QSerialPort::BaudRate baud);
    // Protocol 0: checksum exchange of code + data. Protocol 1: CRC exchange of 00, code, index (high,
    // low) and the value padded in front to two bytes.
    void SendWriteCommand(uchar code, QByteArray data, ushort index = 0);
    // Protocol 0: checksum exchange of the one byte (code 0). Protocol 1: nothing.
    void SendReadCommand(uchar code);
    // Checksum exchange: a 7-bit sum byte is appended; the reply must be 9 bytes within 1000 ms;
    // DataRecv carries the third framed byte as code.
    void SendReadCommand(const QByteArray &array);
    // CRC exchange: the CRC is appended; reply of 6 or more bytes ending in its CRC within 1000 ms;
    // DataRecv carries the fourth framed byte. An empty array is ignored.
    void SendReadCrcCommand(QByteArray array);

private:
    void checksumExchange(const QByteArray &payload);
    void crcExchange(const QByteArray &framed);

    const int m_protocol = 0;
};
