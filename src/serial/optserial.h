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
    void DataRecv(uchar code, QByteArray data, bool ok);
    void OpenSuccessed(bool ok);
    void CloseSuccessed(bool ok);
    // The port's own errors, relayed. A vanished device (unplugged adapter, hung-up line) is reported
    // once as ResourceError; the worker then closes the port and emits CloseSuccessed(true).
    void errorOccurred(QSerialPort::SerialPortError error);

public slots:
    void SendCommand(uchar addr, uchar code, ushort data = 0, ushort index = 0);
    void OpenCom(QString name, QSerialPort::BaudRate baud);
    void OpenCom1(QString name, QSerialPort::BaudRate baud, QSerialPort::DataBits databits,
        QSerialPort::FlowControl flowcontrol, QSerialPort::Parity parity, QSerialPort::StopBits stopbits);
    bool TryOpen(QString name, QSerialPort::BaudRate baud);
    void CloseCom();
    void SendWriteCommand(uchar code, QByteArray data, ushort index = 0);
    void SendReadCommand(uchar code);
    void SendReadCommand(QByteArray array);
    void SendReadCrcCommand(QByteArray array);

private:
    bool openPort(const QString &name);
    void configure(QSerialPort::BaudRate baud, QSerialPort::DataBits databits,
        QSerialPort::FlowControl flowcontrol, QSerialPort::Parity parity, QSerialPort::StopBits stopbits);
    bool openRoutine(const QString &name, QSerialPort::BaudRate baud, QSerialPort::DataBits databits,
        QSerialPort::FlowControl flowcontrol, QSerialPort::Parity parity, QSerialPort::StopBits stopbits);
    bool portUsable() const;
    void writeRequest(const QByteArray &framed, int writtenWaitMs);
    QByteArray collectReply(int timeoutMs, bool (*complete)(const QByteArray &), bool *ok);
    void checksumExchange(const QByteArray &payload);
    void crcExchange(const QByteArray &framed);
    void onPortError(QSerialPort::SerialPortError error);
    bool lineHungUp() const;
    void closeIfLineLost();

    QSerialPort *m_port = nullptr;
    QThread *m_thread = nullptr;
    const int m_protocol = 0;
    // Written by the worker thread, read by IsOpen() from any thread.
    std::atomic<bool> m_open {false};
    // Worker-thread only: an exchange is running, and the device has vanished since the last open.
    bool m_inExchange = false;
    bool m_lineLost = false;
};
