#include "soakblackbody.h"

#include "control/blackbodyprotocol.h"
#include "serial/optserial.h"
#include "soakledger.h"

#include <QTimer>

SoakBlackbody::SoakBlackbody(OptSerial *worker, sim::DeviceSimulator *sim, SoakLedger *ledger,
    const QString &port, int reads, std::vector<int> closeAfterMs, quint64 seed)
    : link(sim, port, "controller")
    , m_port(port)
    , m_reads(reads)
    , m_closeAfterMs(std::move(closeAfterMs))
    , m_random(seed)
{
    connect(this, &SoakBlackbody::sig_opencom1, worker, &OptSerial::OpenCom1);
    connect(this, &SoakBlackbody::sig_sendread, worker,
        qOverload<const QByteArray &>(&OptSerial::SendReadCommand));
    connect(this, &SoakBlackbody::sig_closecom, worker, &OptSerial::CloseCom);
    connect(worker, &OptSerial::DataRecv, this, &SoakBlackbody::onData);
    connect(worker, &OptSerial::OpenSuccessed, this, &SoakBlackbody::onOpened);
    connect(worker, &OptSerial::errorOccurred, this, &SoakBlackbody::onError);
    // Timed where the worker says it, not when this thread gets round to it; posted behind the worker's
    // other signals, so the order stays theirs.
    connect(
        worker, &OptSerial::CloseSuccessed, worker,
        [this] {
            const qint64 at = SoakLedger::nowNs();
            QMetaObject::invokeMethod(
                this, [this, at] { onClosed(at); }, Qt::QueuedConnection);
        },
        Qt::DirectConnection);
    // Known before the line goes, so the worker's report of it can never come first.
    ledger->setHangUpHook([this] { link.markHungUp(); });
}

void SoakBlackbody::start()
{
    m_lastProgressNs = SoakLedger::nowNs();
    open();
}

void SoakBlackbody::onData()
{
    m_lastProgressNs = SoakLedger::nowNs();
    if (m_state == State::Open && !m_closeArmed)
        sendNext();
}

void SoakBlackbody::onOpened(bool ok)
{
    m_lastProgressNs = SoakLedger::nowNs();
    switch (link.opened(ok)) {
    case SoakLink::OpenOutcome::RetryNow:
        open();
        return;
    case SoakLink::OpenOutcome::RetryLater:
        QTimer::singleShot(20, this, &SoakBlackbody::open);
        return;
    case SoakLink::OpenOutcome::Opened:
        break;
    }
    m_state = State::Open;
    sendNext();
}

void SoakBlackbody::onClosed(qint64 atNs)
{
    m_lastProgressNs = SoakLedger::nowNs();
    if (!link.closed(atNs))
        return;
    if (m_finishing) {
        m_done = true;
        emit finished();
        return;
    }
    reopen();
}

void SoakBlackbody::onError(QSerialPort::SerialPortError error)
{
    if (error != QSerialPort::ResourceError)
        return;
    link.lost();
    m_state = State::Lost;
}

void SoakBlackbody::sendNext()
{
    if (m_sent >= m_reads) {
        m_finishing = true;
        link.askClose();
        m_state = State::Closing;
        emit sig_closecom();
        return;
    }
    const int after = m_closeAfterMs[size_t(m_sent)];
    ++m_sent;
    emit sig_sendread(BlackbodyProtocol::pollPayload());
    if (after < 0)
        return;
    // Hold the next request back until the close has gone out.
    m_closeArmed = true;
    if (after == 0)
        requestClose();
    else
        QTimer::singleShot(after, Qt::PreciseTimer, this, &SoakBlackbody::requestClose);
}

void SoakBlackbody::requestClose()
{
    m_closeArmed = false;
    // The line vanished meanwhile; the reopen after it carries on.
    if (m_state != State::Open)
        return;
    link.askClose();
    m_state = State::Closing;
    emit sig_closecom();
}

void SoakBlackbody::reopen()
{
    m_state = State::Opening;
    // Now and then the program tries before the adapter is back.
    if (link.hungUp() && std::uniform_int_distribution<int>(0, 4)(m_random) == 0)
        link.openEarly();
    else
        link.replug();
    open();
}

void SoakBlackbody::open()
{
    emit sig_opencom1(m_port, QSerialPort::Baud115200, QSerialPort::Data8, QSerialPort::NoFlowControl,
        QSerialPort::NoParity, QSerialPort::TwoStop);
}
