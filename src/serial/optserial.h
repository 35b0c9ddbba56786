#pragma once

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

#include <atomic>

class QThread;

// Owns the blackbody controller's port on a thread of its own: frames each request, collects its reply
// within a deadline and reports every exchange on an open port with exactly one DataRecv.
// Construct without a parent (it moves itself to its thread). All slots run on that thread, in arrival
// order; reach them through queued connections. Destroy it from another thread: that quits and joins it.
class OptSerial : public QObject
{
    Q_OBJECT

public:
    // protocol 0: checksum framing for the general slots; 1: the CRC variant.
    explicit OptSerial(QObject *parent = nullptr, int protocol = 0);
    ~OptSerial() override;

    // Callable from any thread. Reflects the last open or close the worker has carried out; one still
    // waiting in its queue is not seen yet.
    bool IsOpen() const;

signals:
    // Ends every exchange written to an open port: the request code, every byte collected (possibly
    // none) and whether a complete, valid reply arrived before the deadline.
    void DataRecv(uchar code, QByteArray data, bool ok);
    void OpenSuccessed(bool ok);
    // Precedes OpenSuccessed(false): the port that failed, the port's error and the system's reason.
    void OpenFailed(QString name, QSerialPort::SerialPortError error, QString reason);
    void CloseSuccessed(bool ok);
    // The port's own reports, relayed (NoError and TimeoutError included). A vanished device (unplugged
    // adapter, hung-up line) is reported once as ResourceError, after which the worker closes the port
    // and emits CloseSuccessed(true).
    void errorOccurred(QSerialPort::SerialPortError error);

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
    // Closes the port if open; always answers CloseSuccessed(true).
    void CloseCom();
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
    bool openPort(const QString &name);
    void configure(QSerialPort::BaudRate baud, QSerialPort::DataBits databits,
        QSerialPort::FlowControl flowcontrol, QSerialPort::Parity parity, QSerialPort::StopBits stopbits);
    bool openRoutine(const QString &name, QSerialPort::BaudRate baud, QSerialPort::DataBits databits,
        QSerialPort::FlowControl flowcontrol, QSerialPort::Parity parity, QSerialPort::StopBits stopbits);
    bool portUsable() const;
    void waitForQuietLine();
    void writeRequest(const QByteArray &framed, int writtenWaitMs);
    QByteArray collectReply(int timeoutMs, bool (*complete)(const QByteArray &), bool *ok);
    void checksumExchange(const QByteArray &payload);
    void crcExchange(const QByteArray &framed);
    void onPortError(QSerialPort::SerialPortError error);
    void closeIfLineLost();

    QSerialPort *m_port = nullptr;
    QThread *m_thread = nullptr;
    const int m_protocol = 0;
    // Written by the worker thread, read by IsOpen() from any thread.
    std::atomic<bool> m_open {false};
    // Worker-thread only: an exchange is running, and the device has vanished since the last open.
    bool m_inExchange = false;
    bool m_lineLost = false;
    // Worker-thread only: the last exchange ended without its reply, which may still be on its way, even
    // after the port has been closed and opened again.
    bool m_replyOverdue = false;
};
