#include "thermometerlink.h"

#include "control/thermometerprotocol.h"
#include "serial/gettempthread.h"
#include "serial/kelvraserial.h"

#include <QSerialPort>

namespace {

// A port of the probe's own, not the worker's: it is closed again whatever the device says.
bool answersAt(const QString &name, QSerialPort::BaudRate baud)
{
    QSerialPort port;
    port.setPortName(name);
    if (!port.open(QIODevice::ReadWrite))
        return false;
    port.setBaudRate(baud);
    port.setDataBits(QSerialPort::Data8);
    port.setFlowControl(QSerialPort::NoFlowControl);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    const bool answered = KelvraSerial::probe(&port);
    port.close();
    return answered;
}

} // namespace

ThermometerLink::ThermometerLink(QObject *parent)
    : QObject(parent)
    , m_worker(std::make_unique<KelvraSerial>(nullptr, 0))
    , m_poll(std::make_unique<GetTempThread>(m_worker.get()))
{
    connect(m_worker.get(), &KelvraSerial::OpenSuccessed, this, &ThermometerLink::onOpened);
    connect(m_worker.get(), &KelvraSerial::CloseSuccessed, this, &ThermometerLink::onClosed);
    connect(m_worker.get(), &KelvraSerial::DataRecv, this, &ThermometerLink::handleReply);
}

ThermometerLink::~ThermometerLink()
{
    m_leaving.store(true);
}

void ThermometerLink::open(const QString &port)
{
    if (m_state != State::Closed || isOpen())
        return;
    m_state = State::Probing;
    // Behind whatever the worker still has to do; this object outlives the worker's thread.
    QMetaObject::invokeMethod(
        m_worker.get(), [this, port] { probeAndOpen(port); }, Qt::QueuedConnection);
}

void ThermometerLink::probeAndOpen(const QString &port)
{
    QSerialPort::BaudRate found = QSerialPort::UnknownBaud;
    for (const QSerialPort::BaudRate rate : ThermometerProtocol::kProbeBaudRates) {
        if (m_leaving.load())
            return;
        if (answersAt(port, rate)) {
            found = rate;
            break;
        }
    }
    if (found == QSerialPort::UnknownBaud) {
        QMetaObject::invokeMethod(
            this, [this] { refuse(Refusal::NoAnswer); }, Qt::QueuedConnection);
        return;
    }
    m_worker->SetProtocol(0);
    QMetaObject::invokeMethod(
        this, [this, found] { emit rateFound(int(found)); }, Qt::QueuedConnection);
    if (m_leaving.load())
        return;
    if (!answersAt(port, found)) {
        QMetaObject::invokeMethod(
            this, [this] { refuse(Refusal::NotReopened); }, Qt::QueuedConnection);
        return;
    }
    // On the worker's own thread already, as a queued request would run; a link on its way out opens
    // nothing.
    if (!m_leaving.load())
        m_worker->OpenCom(port, found);
}

void ThermometerLink::refuse(Refusal why)
{
    m_state = State::Closed;
    emit refused(why);
}

void ThermometerLink::close()
{
    QMetaObject::invokeMethod(m_worker.get(), &KelvraSerial::CloseCom, Qt::QueuedConnection);
}

bool ThermometerLink::isOpen() const
{
    return m_worker->IsOpen();
}

void ThermometerLink::stopPolling()
{
    m_pollingStopped = true;
    m_poll->stopThread();
}

void ThermometerLink::sendReadCommand(uchar code)
{
    KelvraSerial *worker = m_worker.get();
    QMetaObject::invokeMethod(
        worker, [worker, code] { worker->SendReadCommand(code); }, Qt::QueuedConnection);
}

void ThermometerLink::onOpened(bool ok)
{
    if (!ok) {
        m_state = State::Closed;
        emit opened(false);
        return;
    }
    // The poll waits for the answer, so its first read already has the preamble the answer asks for.
    m_state = State::Acknowledging;
    sendReadCommand(ThermometerProtocol::kAckCode);
}

void ThermometerLink::handleReply(uchar code, const QByteArray &reply, bool ok)
{
    const ThermometerProtocol::ReplyEffect effect
        = ThermometerProtocol::replyEffect(code, reply, ok, m_worker->GetProtocol());
    if (effect.extraLeadingZero)
        KelvraSerial::extraLeadingZero.store(*effect.extraLeadingZero);
    if (effect.reading)
        emit ambient(*effect.reading);
    else if (effect.noReading)
        emit noAmbient();
    if (code == ThermometerProtocol::kAckCode && m_state == State::Acknowledging) {
        m_state = State::Open;
        emit opened(true);
        if (!m_pollingStopped)
            m_poll->startThread();
    }
}

void ThermometerLink::onClosed()
{
    m_poll->stopThread();
    m_state = State::Closed;
    emit noAmbient();
    emit closed();
}
