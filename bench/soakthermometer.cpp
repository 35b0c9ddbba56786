#include "soakthermometer.h"

#include "control/thermometerprotocol.h"
#include "serial/gettempthread.h"
#include "serial/kelvraserial.h"
#include "soakledger.h"

#include <QTimer>

namespace {

// The wake-up's six zeros go out 10 ms apart, then its reply is awaited up to 1000 ms.
constexpr qint64 kOpenBoundNs = (60 + 1000 + 1000) * qint64(1000000);

} // namespace

SoakThermometer::SoakThermometer(KelvraSerial *worker, sim::DeviceSimulator *sim, SoakLedger *ledger,
    const QString &port, int reads, int closeMinMs, int closeMaxMs, quint64 seed)
    : link(sim, port, "thermometer")
    , m_ledger(ledger)
    , m_port(port)
    , m_reads(reads)
    , m_closeMinMs(closeMinMs)
    , m_closeMaxMs(closeMaxMs)
    , m_poll(std::make_unique<GetTempThread>(worker))
    , m_random(seed)
{
    connect(this, &SoakThermometer::sig_opencom_KelvraSerial, worker, &KelvraSerial::OpenCom);
    connect(this, &SoakThermometer::sig_closecom2, worker, &KelvraSerial::CloseCom);
    connect(this, &SoakThermometer::sig_sendreadkelvra, worker, &KelvraSerial::SendReadCommand);
    connect(worker, &KelvraSerial::DataRecv, this, &SoakThermometer::onData);
    connect(worker, &KelvraSerial::OpenSuccessed, this, &SoakThermometer::onOpened);
    connect(worker, &KelvraSerial::errorOccurred, this, &SoakThermometer::onError);
    // Timed where the worker says it, not when this thread gets round to it; posted behind the worker's
    // other signals, so the order stays theirs.
    connect(
        worker, &KelvraSerial::CloseSuccessed, worker,
        [this] {
            const qint64 at = SoakLedger::nowNs();
            QMetaObject::invokeMethod(
                this, [this, at] { onClosed(at); }, Qt::QueuedConnection);
        },
        Qt::DirectConnection);
    // Known before the line goes, so the worker's report of it can never come first.
    ledger->setHangUpHook([this] { link.markHungUp(); });
}

SoakThermometer::~SoakThermometer()
{
    m_poll->stopThread();
}

void SoakThermometer::start()
{
    m_lastProgressNs = SoakLedger::nowNs();
    open();
}

void SoakThermometer::onData(uchar code, const QByteArray &data, bool ok)
{
    m_lastProgressNs = SoakLedger::nowNs();
    // The preamble as the link takes it; the readings themselves are the ledger's to judge.
    if (const auto extra = ThermometerProtocol::replyEffect(code, data, ok, 0).extraLeadingZero)
        KelvraSerial::extraLeadingZero.store(*extra);
    if (!m_finishing && m_state == State::Open && m_ledger->counts().reads >= m_reads) {
        m_finishing = true;
        closeNow(m_generation);
    }
}

void SoakThermometer::onOpened(bool ok)
{
    m_lastProgressNs = SoakLedger::nowNs();
    if (m_lastProgressNs - m_openAskedNs > kOpenBoundNs)
        ++slowOpens;
    switch (link.opened(ok)) {
    case SoakLink::OpenOutcome::RetryNow:
        open();
        return;
    case SoakLink::OpenOutcome::RetryLater:
        QTimer::singleShot(20, this, &SoakThermometer::open);
        return;
    case SoakLink::OpenOutcome::Opened:
        break;
    }
    emit sig_sendreadkelvra(ThermometerProtocol::kAckCode);
    m_poll->startThread();
    m_state = State::Open;
    ++m_generation;
    scheduleClose();
}

void SoakThermometer::onClosed(qint64 atNs)
{
    m_lastProgressNs = SoakLedger::nowNs();
    // As the link does on every close.
    stopPoll();
    if (!link.closed(atNs))
        return;
    if (m_finishing) {
        m_done = true;
        emit finished();
        return;
    }
    reopen();
}

void SoakThermometer::onError(QSerialPort::SerialPortError error)
{
    if (error != QSerialPort::ResourceError)
        return;
    link.lost();
    m_state = State::Lost;
}

void SoakThermometer::scheduleClose()
{
    const int generation = m_generation;
    QTimer::singleShot(between(m_closeMinMs, m_closeMaxMs), this, [this, generation] {
        if (between(0, 1) == 0) {
            closeNow(generation);
            return;
        }
        // While a read is on the line, or just after it.
        const int delay = between(0, 60);
        m_ledger->armReadHook([this, generation, delay] {
            QMetaObject::invokeMethod(
                this,
                [this, generation, delay] {
                    QTimer::singleShot(
                        delay, Qt::PreciseTimer, this, [this, generation] { closeNow(generation); });
                },
                Qt::QueuedConnection);
        });
    });
}

void SoakThermometer::closeNow(int generation)
{
    if (generation != m_generation || m_state != State::Open)
        return;
    stopPoll();
    link.askClose();
    m_state = State::Closing;
    emit sig_closecom2();
}

void SoakThermometer::stopPoll()
{
    if (!m_poll->isRunning())
        return;
    const qint64 asked = SoakLedger::nowNs();
    m_poll->stopThread();
    stopWaits.add(SoakLedger::nowNs() - asked);
}

void SoakThermometer::reopen()
{
    m_state = State::Opening;
    // Now and then the program tries before the adapter is back.
    if (link.hungUp() && between(0, 4) == 0)
        link.openEarly();
    else
        link.replug();
    open();
}

void SoakThermometer::open()
{
    m_openAskedNs = SoakLedger::nowNs();
    emit sig_opencom_KelvraSerial(m_port, QSerialPort::Baud115200);
}

int SoakThermometer::between(int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(m_random);
}
