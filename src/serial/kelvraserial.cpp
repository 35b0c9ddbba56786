#include "kelvraserial.h"

#include "framing.h"
#include "kelvraframing.h"
#include "lineloss.h"
#include "replycollector.h"

#include <QDeadlineTimer>
#include <QDebug>
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
// After an unanswered exchange the line counts as quiet after this long without a byte...
constexpr int kQuietGapMs = 30;
// ...but a babbling line must not hold the next request back for longer than this.
constexpr int kQuietLimitMs = 200;
// Waits are cut into slices this long, so that destruction need not sit out a whole exchange.
constexpr int kWaitSliceMs = 50;

// Serialises the XOR exchanges of every thermometer worker in the process.
QMutex &thermometerLock()
{
    static QMutex lock;
    return lock;
}

// The drain stands aside while an exchange waits for its own reply.
class DrainPause
{
public:
    explicit DrainPause(bool *inExchange)
        : m_inExchange(inExchange)
    {
        *m_inExchange = true;
    }
    ~DrainPause() { *m_inExchange = false; }
    DrainPause(const DrainPause &) = delete;
    DrainPause &operator=(const DrainPause &) = delete;

private:
    bool *m_inExchange;
};

} // namespace

KelvraSerial::KelvraSerial(QObject *parent, int protocol)
    : QObject(parent)
    , m_port(new QSerialPort)
    , m_thread(new QThread)
    , m_protocol(protocol)
{
    moveToThread(m_thread);
    m_port->moveToThread(m_thread);
    // The port must be closed and deleted on its own thread, which is only left when the thread ends.
    connect(m_thread, &QThread::finished, m_port, &QObject::deleteLater);
    connect(m_port, &QSerialPort::readyRead, this, &KelvraSerial::receiveInfo);
    connect(m_port, &QSerialPort::errorOccurred, this, &KelvraSerial::onPortError);
    m_thread->start(QThread::InheritPriority);
}

KelvraSerial::~KelvraSerial()
{
    m_stopping.store(true);
    m_thread->quit();
    m_thread->wait();
    delete m_thread;
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

bool KelvraSerial::IsOpen() const
{
    return m_open.load();
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
    if (m_protocol.load() == 1)
        crcExchange(Framing::commandFrame(addr, code, data, index), code, kCrcCommandTimeoutMs);
}

void KelvraSerial::OpenCom(const QString &name, QSerialPort::BaudRate baud)
{
    qDebug() << "OpenComport id" << QThread::currentThreadId();
    if (!openPort(name)) {
        qDebug() << name << "open failed !";
        emit OpenFailed(name, m_port->error(), m_port->errorString());
        emit OpenSuccessed(false);
        return;
    }
    qDebug() << name << "open successed !";
    configure(baud);
    if (m_protocol.load() == 0)
        wakeUp();
    emit OpenSuccessed(true);
    // A device that vanished during the wake-up is reported after the open it followed.
    closeIfLineLost();
}

bool KelvraSerial::TryOpen(const QString &name, QSerialPort::BaudRate baud)
{
    if (!openPort(name))
        return false;
    configure(baud);
    if (m_protocol.load() == 1)
        return false;
    bool answered = false;
    {
        // The drain would otherwise read the probe's answer away from under it.
        const DrainPause pause(&m_inExchange);
        answered = probe(m_port);
    }
    m_replyOverdue = !answered;
    closeIfLineLost();
    return answered && m_port->isOpen();
}

void KelvraSerial::CloseCom()
{
    if (m_port->isOpen()) {
        m_port->clear(QSerialPort::AllDirections);
        m_port->close();
    }
    m_open.store(false);
    emit CloseSuccessed(true);
}

void KelvraSerial::SendWriteCommand(uchar code, QByteArray data, ushort index)
{
    if (m_protocol.load() == 0)
        commandExchange(QByteArray(1, char(code)) + data);
    else
        crcExchange(Framing::crcWriteFrame(code, data, index), code, kCrcReadTimeoutMs);
}

void KelvraSerial::SendReadCommand(uchar code)
{
    if (m_protocol.load() == 0)
        commandExchange(QByteArray(1, char(code)));
    else
        crcExchange(KelvraFraming::crcReadFrame(code), code, kCrcReadTimeoutMs);
}

void KelvraSerial::FastRead(uchar code)
{
    {
        QMutexLocker locker(&thermometerLock());
        const QByteArray request = KelvraFraming::fastReadRequest(code, extraLeadingZero.load());
        if (!portUsable())
            return;
        const DrainPause pause(&m_inExchange);
        settleLine();
        writePaced(request, 0);
        bool ok = false;
        const QByteArray reply = collectReply(
            kFastReadTimeoutMs,
            [code](const QByteArray &bytes) { return KelvraFraming::isCommandReply(code, bytes); }, &ok);
        emit DataRecv(code, reply, ok);
    }
    closeIfLineLost();
}

void KelvraSerial::receiveInfo()
{
    if (!m_inExchange)
        m_port->readAll();
}

bool KelvraSerial::openPort(const QString &name)
{
    if (m_port->isOpen()) {
        m_port->clear(QSerialPort::AllDirections);
        m_port->close();
    }
    // m_replyOverdue stays: a reply missed before the close may still arrive on the reopened line.
    m_lineLost = false;
    m_port->setPortName(name);
    const bool opened = m_port->open(QIODevice::ReadWrite);
    m_open.store(opened);
    return opened;
}

void KelvraSerial::configure(QSerialPort::BaudRate baud)
{
    m_port->setBaudRate(baud, QSerialPort::AllDirections);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
}

bool KelvraSerial::portUsable() const
{
    return m_port->isOpen() && !m_lineLost && !m_stopping.load();
}

bool KelvraSerial::cutShort() const
{
    return m_lineLost || m_stopping.load();
}

void KelvraSerial::waitSlice(qint64 leftMs)
{
    m_port->waitForReadyRead(int(qMin<qint64>(leftMs, kWaitSliceMs)));
}

QByteArray KelvraSerial::waitForQuietLine()
{
    const QDeadlineTimer limit(kQuietLimitMs, Qt::PreciseTimer);
    QDeadlineTimer quiet(kQuietGapMs, Qt::PreciseTimer);
    QByteArray stray = m_port->readAll();
    while (!cutShort()) {
        const qint64 left = qMin(quiet.remainingTime(), limit.remainingTime());
        if (left <= 0)
            break;
        waitSlice(left);
        const QByteArray bytes = m_port->readAll();
        if (!bytes.isEmpty()) {
            stray += bytes;
            quiet.setRemainingTime(kQuietGapMs, Qt::PreciseTimer);
        }
    }
    return stray;
}

void KelvraSerial::settleLine()
{
    // A late reply to the last request would be taken for the answer to this one.
    if (m_replyOverdue)
        waitForQuietLine();
    // Whatever arrived since the drain last ran belongs to no request of ours.
    m_port->clear(QSerialPort::Input);
}

void KelvraSerial::writePaced(const QByteArray &request, int gapMs)
{
    // Each byte is pushed to the line on its own; written into the port's buffer alone they would all
    // leave together.
    for (const char byte : request) {
        if (cutShort())
            return;
        m_port->write(&byte, 1);
        if (gapMs > 0) {
            m_port->flush();
            QThread::msleep(gapMs);
        } else {
            m_port->waitForBytesWritten(kWrittenWaitMs);
            m_port->flush();
        }
    }
    m_port->waitForBytesWritten(kWrittenWaitMs);
    m_port->flush();
}

QByteArray KelvraSerial::collectReply(int timeoutMs, const Complete &complete, bool *ok)
{
    // Monotonic, and each wait is cut to what is left, so the exchange never outlasts its deadline.
    const QDeadlineTimer deadline(timeoutMs, Qt::PreciseTimer);
    ReplyCollector reply(complete);
    while (!cutShort()) {
        const qint64 left = deadline.remainingTime();
        if (left <= 0)
            break;
        waitSlice(left);
        if (reply.add(m_port->readAll()))
            break;
    }
    *ok = reply.isComplete();
    m_replyOverdue = !*ok;
    return reply.bytes();
}

void KelvraSerial::wakeUp()
{
    QMutexLocker locker(&thermometerLock());
    const QByteArray request = KelvraFraming::commandFrame(QByteArray(5, '\0'));
    if (!portUsable())
        return;
    const DrainPause pause(&m_inExchange);
    settleLine();
    writePaced(request, kByteGapMs);
    bool ok = false;
    const QByteArray reply = collectReply(kReplyTimeoutMs, &CheckFrame, &ok);
    emit DataRecv(uchar(request.at(0)), reply, ok);
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
        const DrainPause pause(&m_inExchange);
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

void KelvraSerial::crcExchange(const QByteArray &framed, uchar code, int timeoutMs)
{
    if (!portUsable())
        return;
    {
        const DrainPause pause(&m_inExchange);
        settleLine();
        m_port->write(framed);
        m_port->waitForBytesWritten(kWrittenWaitMs);
        m_port->flush();
        bool ok = false;
        const QByteArray reply = collectReply(timeoutMs, &Framing::isCrcReply, &ok);
        emit DataRecv(code, reply, ok);
    }
    closeIfLineLost();
}

void KelvraSerial::onPortError(QSerialPort::SerialPortError error)
{
    // A dead line keeps failing on every access; one report is enough.
    if (m_lineLost)
        return;
    // The worker's own waits run out all the time while the device is silent.
    if (error == QSerialPort::TimeoutError)
        return;
    // A port that fails to open is reported by OpenSuccessed(false), not as a vanished device.
    if (!m_port->isOpen()) {
        emit errorOccurred(error);
        return;
    }
    if (!portLineLost(*m_port, error)) {
        emit errorOccurred(error);
        return;
    }
    m_lineLost = true;
    emit errorOccurred(QSerialPort::ResourceError);
    // Between exchanges the port's read notifier would fire again and again on the dead line.
    if (!m_inExchange)
        QMetaObject::invokeMethod(this, &KelvraSerial::closeIfLineLost, Qt::QueuedConnection);
}

void KelvraSerial::closeIfLineLost()
{
    if (!m_lineLost || !m_port->isOpen())
        return;
    m_port->close();
    m_open.store(false);
    emit CloseSuccessed(true);
}
