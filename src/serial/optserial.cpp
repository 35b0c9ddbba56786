#include "optserial.h"

#include "framing.h"

#include <QDebug>
#include <QMutex>
#include <QMutexLocker>

namespace {

constexpr int kWrittenWaitMs = 10;
constexpr int kCrcWrittenWaitMs = 1000;
constexpr int kReplyTimeoutMs = 1000;
constexpr int kCommandTimeoutMs = 2000;
constexpr int kProbeTimeoutMs = 200;
constexpr int kQuietGapMs = 50;
constexpr int kQuietLimitMs = 1000;

// Serialises checksum exchanges across every worker in the process.
QMutex &checksumLock()
{
    static QMutex lock;
    return lock;
}

} // namespace

OptSerial::OptSerial(QObject *parent, int protocol)
    : PortWorker(parent, Waits::Whole, {kQuietGapMs, kQuietLimitMs})
    , m_protocol(protocol)
{
    startThread();
}

OptSerial::~OptSerial()
{
    stopThread();
}

void OptSerial::SendCommand(uchar addr, uchar code, ushort data, ushort index)
{
    if (exchange(Framing::commandFrame(addr, code, data, index), code, kWrittenWaitMs, kCommandTimeoutMs,
            &Framing::isCrcReply))
        closeIfLineLost();
}

void OptSerial::OpenCom(const QString &name, QSerialPort::BaudRate baud)
{
    OpenCom1(name, baud, QSerialPort::Data8, QSerialPort::NoFlowControl, QSerialPort::NoParity,
        QSerialPort::TwoStop);
}

void OptSerial::OpenCom1(const QString &name, QSerialPort::BaudRate baud, QSerialPort::DataBits databits,
    QSerialPort::FlowControl flowcontrol, QSerialPort::Parity parity, QSerialPort::StopBits stopbits)
{
    if (openPortReporting(name, {baud, databits, flowcontrol, parity, stopbits}))
        emit OpenSuccessed(true);
}

bool OptSerial::TryOpen(const QString &name, QSerialPort::BaudRate baud)
{
    if (!openPort(name,
            {baud, QSerialPort::Data8, QSerialPort::NoFlowControl, QSerialPort::NoParity,
                QSerialPort::TwoStop}))
        return false;
    if (m_protocol == 1)
        return false;
    bool ok = false;
    {
        const ExchangeScope scope(this);
        settleLine();
        writeWhole(QByteArray(6, '\0'), kWrittenWaitMs);
        collectReply(kProbeTimeoutMs, &Framing::isXorReply, &ok);
    }
    closeIfLineLost();
    return ok;
}

void OptSerial::SendWriteCommand(uchar code, QByteArray data, ushort index)
{
    // cppcheck-suppress knownConditionTrueFalse ; the constructor sets the protocol
    if (m_protocol == 0)
        checksumExchange(QByteArray(1, char(code)) + data);
    else
        crcExchange(Framing::crcWriteFrame(code, data, index));
}

void OptSerial::SendReadCommand(uchar code)
{
    // cppcheck-suppress knownConditionTrueFalse ; the constructor sets the protocol
    if (m_protocol == 0)
        checksumExchange(QByteArray(1, char(code)));
}

void OptSerial::SendReadCommand(const QByteArray &array)
{
    checksumExchange(array);
}

void OptSerial::SendReadCrcCommand(QByteArray array)
{
    if (array.isEmpty()) {
        qWarning() << "OptSerial: empty CRC request ignored";
        return;
    }
    crcExchange(Framing::crcFrame(array));
}

void OptSerial::checksumExchange(const QByteArray &payload)
{
    bool exchanged = false;
    {
        QMutexLocker locker(&checksumLock());
        const QByteArray framed = Framing::checksumFrame(payload);
        exchanged = exchange(framed, Framing::checksumRequestCode(framed), kWrittenWaitMs, kReplyTimeoutMs,
            &Framing::isChecksumReply);
    }
    if (exchanged)
        closeIfLineLost();
}

void OptSerial::crcExchange(const QByteArray &framed)
{
    if (exchange(framed, Framing::crcRequestCode(framed), kCrcWrittenWaitMs, kReplyTimeoutMs,
            &Framing::isCrcReply))
        closeIfLineLost();
}
