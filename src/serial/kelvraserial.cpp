#include "kelvraserial.h"

#include "framing.h"
#include "kelvraframing.h"

#include <QDeadlineTimer>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>

namespace {

constexpr uchar kProbeCode = 0x01;
constexpr int kWrittenWaitMs = 10;
// The device needs this long between the bytes of a command or wake-up.
constexpr int kByteGapMs = 10;
constexpr int kReplyTimeoutMs = 1000;
constexpr int kCommandAttempts = 2;
constexpr int kFastReadTimeoutMs = 70;
constexpr int kProbeTimeoutMs = 200;
constexpr int kCrcReadTimeoutMs = 500;
constexpr int kCrcCommandTimeoutMs = 2000;
constexpr int kQuietGapMs = 30;
constexpr int kQuietLimitMs = 200;

// Serialises the XOR exchanges of every thermometer worker in the process.
QMutex &thermometerLock()
{
    static QMutex lock;
    return lock;
}

} // namespace

KelvraSerial::KelvraSerial(QObject *parent, int protocol)
    : PortWorker(parent, Waits::Sliced, {kQuietGapMs, kQuietLimitMs})
    , m_protocol(protocol)
{
    connect(port(), &QSerialPort::readyRead, this, &KelvraSerial::receiveInfo);
    startThread();
}

KelvraSerial::~KelvraSerial()
{
    stopThread();
}

bool KelvraSerial::CheckFrame(const QByteArray &buffer)
{
    return Framing::isXorReply(buffer);
}

int KelvraSerial::GetProtocol() const
{
    return m_protocol.load();
}

void KelvraSerial::SetProtocol(int protocol)
{
    m_protocol.store(protocol);
}

bool KelvraSerial::probe(QSerialPort *port)
{
    port->write(KelvraFraming::fastReadRequest(kProbeCode, extraLeadingZero.load()));
    port->waitForBytesWritten(kWrittenWaitMs);
    port->flush();
    const QDeadlineTimer deadline(kProbeTimeoutMs, Qt::PreciseTimer);
    ReplyCollector reply(&CheckFrame);
    for (qint64 left = deadline.remainingTime(); left > 0; left = deadline.remainingTime()) {
        const bool arrived = port->waitForReadyRead(int(left));
        if (reply.add(port->readAll()))
            return true;
        // A dead line fails every wait at once; spinning on it until the deadline helps nobody.
        if (!arrived && port->error() != QSerialPort::NoError && port->error() != QSerialPort::TimeoutError)
            return false;
    }
    return false;
}

void KelvraSerial::SendCommand(uchar addr, uchar code, ushort data, ushort index)
{
    if (m_protocol.load() == 1
        && exchange(Framing::commandFrame(addr, code, data, index), code, kWrittenWaitMs,
            kCrcCommandTimeoutMs, &Framing::isCrcReply))
        closeIfLineLost();
}

void KelvraSerial::OpenCom(const QString &name, QSerialPort::BaudRate baud)
{
    if (!openPortReporting(name, {baud}))
        return;
    if (m_protocol.load() == 0) {
        QMutexLocker locker(&thermometerLock());
        const QByteArray wake = KelvraFraming::commandFrame(QByteArray(5, '\0'));
        pacedExchange(wake, uchar(wake.at(0)), kByteGapMs, kReplyTimeoutMs, &CheckFrame);
    }
    emit OpenSuccessed(true);
    // A device that vanished during the wake-up is reported after the open it followed.
    closeIfLineLost();
}

bool KelvraSerial::TryOpen(const QString &name, QSerialPort::BaudRate baud)
{
    if (!openPort(name, {baud}))
        return false;
    if (m_protocol.load() == 1)
        return false;
    bool answered = false;
    {
        // The drain would otherwise read the probe's answer away from under it.
        const ExchangeScope scope(this);
        answered = probe(port());
    }
    setReplyOverdue(!answered);
    closeIfLineLost();
    return answered && port()->isOpen();
}

void KelvraSerial::SendWriteCommand(uchar code, QByteArray data, ushort index)
{
    if (m_protocol.load() == 0)
        commandExchange(QByteArray(1, char(code)) + data);
    else if (exchange(Framing::crcWriteFrame(code, data, index), code, kWrittenWaitMs, kCrcReadTimeoutMs,
                 &Framing::isCrcReply))
        closeIfLineLost();
}

void KelvraSerial::SendReadCommand(uchar code)
{
    if (m_protocol.load() == 0)
        commandExchange(QByteArray(1, char(code)));
    else if (exchange(KelvraFraming::crcReadFrame(code), code, kWrittenWaitMs, kCrcReadTimeoutMs,
                 &Framing::isCrcReply))
        closeIfLineLost();
}

void KelvraSerial::FastRead(uchar code)
{
    bool exchanged = false;
    {
        QMutexLocker locker(&thermometerLock());
        exchanged = pacedExchange(KelvraFraming::fastReadRequest(code, extraLeadingZero.load()), code, 0,
            kFastReadTimeoutMs,
            [code](const QByteArray &bytes) { return KelvraFraming::isCommandReply(code, bytes); });
    }
    if (exchanged)
        closeIfLineLost();
}

void KelvraSerial::receiveInfo()
{
    if (!inExchange())
        port()->readAll();
}

void KelvraSerial::writePaced(const QByteArray &request, int gapMs)
{
    // Each byte is pushed to the line on its own; written into the port's buffer alone they would all
    // leave together.
    for (const char byte : request) {
        if (cutShort())
            return;
        port()->write(&byte, 1);
        if (gapMs > 0) {
            port()->flush();
            QThread::msleep(gapMs);
        } else {
            port()->waitForBytesWritten(kWrittenWaitMs);
            port()->flush();
        }
    }
    port()->waitForBytesWritten(kWrittenWaitMs);
    port()->flush();
}

bool KelvraSerial::pacedExchange(
    const QByteArray &request, uchar code, int gapMs, int timeoutMs, const Complete &complete)
{
    if (!portUsable())
        return false;
    const ExchangeScope scope(this);
    settleLine();
    writePaced(request, gapMs);
    bool ok = false;
    const QByteArray reply = collectReply(timeoutMs, complete, &ok);
    emit DataRecv(code, reply, ok);
    return true;
}

void KelvraSerial::commandExchange(const QByteArray &payload)
{
    {
        QMutexLocker locker(&thermometerLock());
        const uchar code = uchar(payload.at(0));
        const QByteArray request
            = KelvraFraming::paddedCommand(KelvraFraming::commandFrame(payload), extraLeadingZero.load());
        if (!portUsable())
            return;
        const ExchangeScope scope(this);
        const Complete complete
            = [code](const QByteArray &reply) { return KelvraFraming::isCommandReply(code, reply); };
        settleLine();
        QByteArray collected;
        QByteArray reply;
        bool ok = false;
        for (int attempt = 0; attempt < kCommandAttempts && !ok && !cutShort(); ++attempt) {
            // The first attempt's answer may still be arriving: it is reported, but must not be judged
            // together with the second attempt's.
            if (attempt > 0)
                collected += waitForQuietLine();
            writePaced(request, kByteGapMs);
            reply = collectReply(kReplyTimeoutMs, complete, &ok);
            collected += reply;
        }
        // A good answer is reported alone, so its length still tells what it is.
        emit DataRecv(code, ok ? reply : collected, ok);
    }
    closeIfLineLost();
}
