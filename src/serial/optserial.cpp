#include "optserial.h"

#include "framing.h"
#include "lineloss.h"
#include "replycollector.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>

namespace {

constexpr int kWrittenWaitMs = 10;
constexpr int kCrcWrittenWaitMs = 1000;
constexpr int kReplyTimeoutMs = 1000;
constexpr int kCommandTimeoutMs = 2000;
constexpr int kProbeTimeoutMs = 200;
// After an unanswered exchange the line counts as quiet after this long without a byte...
constexpr int kQuietGapMs = 50;
// ...but a babbling line must not hold the next request back for longer than this.
constexpr int kQuietLimitMs = 1000;

// Serialises checksum exchanges across every worker in the process.
QMutex &checksumLock()
{
    static QMutex lock;
    return lock;
}

} // namespace

OptSerial::OptSerial(QObject *parent, int protocol)
    : QObject(parent)
    , m_port(new QSerialPort)
    , m_thread(new QThread)
    , m_protocol(protocol)
{
    moveToThread(m_thread);
    m_port->moveToThread(m_thread);
    // The port must be closed and deleted on its own thread, which is only left when the thread ends.
    connect(m_thread, &QThread::finished, m_port, &QObject::deleteLater);
    connect(m_port, &QSerialPort::errorOccurred, this, &OptSerial::onPortError);
    m_thread->start(QThread::InheritPriority);
}

OptSerial::~OptSerial()
{
    m_thread->quit();
    m_thread->wait();
    delete m_thread;
}

bool OptSerial::IsOpen() const
{
    return m_open.load();
}

void OptSerial::SendCommand(uchar addr, uchar code, ushort data, ushort index)
{
    const QByteArray framed = Framing::commandFrame(addr, code, data, index);
    if (!portUsable())
        return;
    m_inExchange = true;
    writeRequest(framed, kWrittenWaitMs);
    bool ok = false;
    const QByteArray reply = collectReply(kCommandTimeoutMs, &Framing::isCrcReply, &ok);
    m_inExchange = false;
    emit DataRecv(code, reply, ok);
    closeIfLineLost();
}

void OptSerial::OpenCom(const QString &name, QSerialPort::BaudRate baud)
{
    openRoutine(name, baud, QSerialPort::Data8, QSerialPort::NoFlowControl, QSerialPort::NoParity,
        QSerialPort::TwoStop);
}

void OptSerial::OpenCom1(const QString &name, QSerialPort::BaudRate baud, QSerialPort::DataBits databits,
    QSerialPort::FlowControl flowcontrol, QSerialPort::Parity parity, QSerialPort::StopBits stopbits)
{
    openRoutine(name, baud, databits, flowcontrol, parity, stopbits);
}

bool OptSerial::TryOpen(const QString &name, QSerialPort::BaudRate baud)
{
    if (!openPort(name))
        return false;
    configure(
        baud, QSerialPort::Data8, QSerialPort::NoFlowControl, QSerialPort::NoParity, QSerialPort::TwoStop);
    if (m_protocol == 1)
        return false;
    m_inExchange = true;
    writeRequest(QByteArray(6, '\0'), kWrittenWaitMs);
    bool ok = false;
    collectReply(kProbeTimeoutMs, &Framing::isXorReply, &ok);
    m_inExchange = false;
    closeIfLineLost();
    return ok;
}

void OptSerial::CloseCom()
{
    if (m_port->isOpen()) {
        m_port->clear(QSerialPort::AllDirections);
        m_port->close();
    }
    m_open.store(false);
    emit CloseSuccessed(true);
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

bool OptSerial::openPort(const QString &name)
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

void OptSerial::configure(QSerialPort::BaudRate baud, QSerialPort::DataBits databits,
    QSerialPort::FlowControl flowcontrol, QSerialPort::Parity parity, QSerialPort::StopBits stopbits)
{
    m_port->setBaudRate(baud, QSerialPort::AllDirections);
    m_port->setDataBits(databits);
    m_port->setFlowControl(flowcontrol);
    m_port->setParity(parity);
    m_port->setStopBits(stopbits);
}

bool OptSerial::openRoutine(const QString &name, QSerialPort::BaudRate baud, QSerialPort::DataBits databits,
    QSerialPort::FlowControl flowcontrol, QSerialPort::Parity parity, QSerialPort::StopBits stopbits)
{
    qDebug() << "OpenComport id" << QThread::currentThreadId();
    if (!openPort(name)) {
        qDebug() << name << "open failed !";
        emit OpenFailed(name, m_port->error(), m_port->errorString());
        emit OpenSuccessed(false);
        return false;
    }
    qDebug() << name << "open successed !";
    configure(baud, databits, flowcontrol, parity, stopbits);
    emit OpenSuccessed(true);
    return true;
}

bool OptSerial::portUsable() const
{
    return m_port->isOpen() && !m_lineLost;
}

void OptSerial::waitForQuietLine()
{
    const QDeadlineTimer limit(kQuietLimitMs, Qt::PreciseTimer);
    QDeadlineTimer quiet(kQuietGapMs, Qt::PreciseTimer);
    m_port->readAll();
    while (!m_lineLost) {
        const qint64 left = qMin(quiet.remainingTime(), limit.remainingTime());
        if (left <= 0)
            break;
        if (m_port->waitForReadyRead(int(left))) {
            m_port->readAll();
            quiet.setRemainingTime(kQuietGapMs, Qt::PreciseTimer);
        }
    }
}

void OptSerial::writeRequest(const QByteArray &framed, int writtenWaitMs)
{
    // A late reply to the last request would be taken for the answer to this one.
    if (m_replyOverdue)
        waitForQuietLine();
    // Bytes of a reply that missed an earlier deadline would otherwise spoil this exchange too.
    m_port->clear(QSerialPort::Input);
    m_port->write(framed);
    m_port->waitForBytesWritten(writtenWaitMs);
    m_port->flush();
}

QByteArray OptSerial::collectReply(int timeoutMs, bool (*complete)(const QByteArray &), bool *ok)
{
    // Monotonic, and each wait is cut to what is left, so the exchange never outlasts its deadline.
    const QDeadlineTimer deadline(timeoutMs, Qt::PreciseTimer);
    ReplyCollector reply(complete);
    while (!m_lineLost) {
        const qint64 left = deadline.remainingTime();
        if (left <= 0)
            break;
        m_port->waitForReadyRead(int(left));
        if (reply.add(m_port->readAll()))
            break;
    }
    *ok = reply.isComplete();
    m_replyOverdue = !*ok;
    return reply.bytes();
}

void OptSerial::checksumExchange(const QByteArray &payload)
{
    {
        QMutexLocker locker(&checksumLock());
        const QByteArray framed = Framing::checksumFrame(payload);
        if (!portUsable())
            return;
        m_inExchange = true;
        writeRequest(framed, kWrittenWaitMs);
        bool ok = false;
        const QByteArray reply = collectReply(kReplyTimeoutMs, &Framing::isChecksumReply, &ok);
        m_inExchange = false;
        emit DataRecv(Framing::checksumRequestCode(framed), reply, ok);
    }
    closeIfLineLost();
}

void OptSerial::crcExchange(const QByteArray &framed)
{
    if (!portUsable())
        return;
    m_inExchange = true;
    writeRequest(framed, kCrcWrittenWaitMs);
    bool ok = false;
    const QByteArray reply = collectReply(kReplyTimeoutMs, &Framing::isCrcReply, &ok);
    m_inExchange = false;
    emit DataRecv(Framing::crcRequestCode(framed), reply, ok);
    closeIfLineLost();
}

void OptSerial::onPortError(QSerialPort::SerialPortError error)
{
    // A dead line keeps failing on every access; one report is enough.
    if (m_lineLost)
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
        QMetaObject::invokeMethod(this, &OptSerial::closeIfLineLost, Qt::QueuedConnection);
}

void OptSerial::closeIfLineLost()
{
    if (!m_lineLost || !m_port->isOpen())
        return;
    m_port->close();
    m_open.store(false);
    emit CloseSuccessed(true);
}
