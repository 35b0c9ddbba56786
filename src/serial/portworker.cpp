#include "portworker.h"

#include "lineloss.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QThread>

namespace {

// Sliced waits are cut to this, so that destruction need not sit out a whole exchange.
constexpr int kWaitSliceMs = 50;

} // namespace

PortWorker::ExchangeScope::ExchangeScope(PortWorker *worker)
    : m_worker(worker)
{
    m_worker->m_inExchange = true;
}

PortWorker::ExchangeScope::~ExchangeScope()
{
    m_worker->m_inExchange = false;
}

PortWorker::PortWorker(QObject *parent, Waits waits, QuietLine quiet)
    : QObject(parent)
    , m_port(new QSerialPort)
    , m_thread(new QThread)
    , m_waits(waits)
    , m_quiet(quiet)
{
    moveToThread(m_thread);
    m_port->moveToThread(m_thread);
    // The port must be closed and deleted on its own thread, which is only left when the thread ends.
    connect(m_thread, &QThread::finished, m_port, &QObject::deleteLater);
    connect(m_port, &QSerialPort::errorOccurred, this, &PortWorker::onPortError);
}

PortWorker::~PortWorker()
{
    stopThread();
    delete m_thread;
}

void PortWorker::startThread()
{
    m_thread->start(QThread::InheritPriority);
}

void PortWorker::stopThread()
{
    if (m_waits == Waits::Sliced)
        m_stopping.store(true);
    m_thread->quit();
    m_thread->wait();
}

bool PortWorker::IsOpen() const
{
    return m_open.load();
}

void PortWorker::CloseCom()
{
    if (m_port->isOpen()) {
        m_port->clear(QSerialPort::AllDirections);
        m_port->close();
    }
    m_open.store(false);
    emit CloseSuccessed(true);
}

bool PortWorker::openPort(const QString &name, const LineConfig &line)
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
    if (!opened)
        return false;
    m_port->setBaudRate(line.baud, QSerialPort::AllDirections);
    m_port->setDataBits(line.dataBits);
    m_port->setFlowControl(line.flowControl);
    m_port->setParity(line.parity);
    m_port->setStopBits(line.stopBits);
    return true;
}

bool PortWorker::openPortReporting(const QString &name, const LineConfig &line)
{
    qDebug() << "OpenComport id" << QThread::currentThreadId();
    if (!openPort(name, line)) {
        qDebug() << name << "open failed !";
        emit OpenFailed(name, m_port->error(), m_port->errorString());
        emit OpenSuccessed(false);
        return false;
    }
    qDebug() << name << "open successed !";
    return true;
}

bool PortWorker::portUsable() const
{
    return m_port->isOpen() && !cutShort();
}

bool PortWorker::cutShort() const
{
    return m_lineLost || m_stopping.load();
}

void PortWorker::waitSlice(qint64 leftMs)
{
    m_port->waitForReadyRead(int(m_waits == Waits::Sliced ? qMin<qint64>(leftMs, kWaitSliceMs) : leftMs));
}

QByteArray PortWorker::waitForQuietLine()
{
    const QDeadlineTimer limit(m_quiet.limitMs, Qt::PreciseTimer);
    QDeadlineTimer quiet(m_quiet.gapMs, Qt::PreciseTimer);
    QByteArray stray = m_port->readAll();
    while (!cutShort()) {
        const qint64 left = qMin(quiet.remainingTime(), limit.remainingTime());
        if (left <= 0)
            break;
        waitSlice(left);
        const QByteArray bytes = m_port->readAll();
        if (!bytes.isEmpty()) {
            stray += bytes;
            quiet.setRemainingTime(m_quiet.gapMs, Qt::PreciseTimer);
        }
    }
    return stray;
}

void PortWorker::settleLine()
{
    // A late reply to the last request would be taken for the answer to this one.
    if (m_replyOverdue)
        waitForQuietLine();
    // Bytes of a reply that missed an earlier deadline, or came unasked, belong to no request of ours.
    m_port->clear(QSerialPort::Input);
}

void PortWorker::writeWhole(const QByteArray &bytes, int writtenWaitMs)
{
    m_port->write(bytes);
    m_port->waitForBytesWritten(writtenWaitMs);
    m_port->flush();
}

QByteArray PortWorker::collectReply(int timeoutMs, const Complete &complete, bool *ok)
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

bool PortWorker::exchange(
    const QByteArray &framed, uchar code, int writtenWaitMs, int timeoutMs, const Complete &complete)
{
    if (!portUsable())
        return false;
    const ExchangeScope scope(this);
    settleLine();
    writeWhole(framed, writtenWaitMs);
    bool ok = false;
    const QByteArray reply = collectReply(timeoutMs, complete, &ok);
    emit DataRecv(code, reply, ok);
    return true;
}

void PortWorker::onPortError(QSerialPort::SerialPortError error)
{
    // A dead line keeps failing on every access; one report is enough.
    if (m_lineLost)
        return;
    if (error == QSerialPort::TimeoutError && m_waits == Waits::Sliced)
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
        QMetaObject::invokeMethod(this, &PortWorker::closeIfLineLost, Qt::QueuedConnection);
}

void PortWorker::closeIfLineLost()
{
    if (!m_lineLost || !m_port->isOpen())
        return;
    m_port->close();
    m_open.store(false);
    emit CloseSuccessed(true);
}
