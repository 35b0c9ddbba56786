#include "uutworker.h"

#include "serial/lineloss.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTcpSocket>
#include <QTimer>

namespace {

// A lost line is tried again when ReconnectPolicy says; the tick only looks whether an attempt is due.
constexpr int kReconnectTickMs = 200;

bool isTcpPort(const QString &port)
{
    static const QRegularExpression hostPort(QStringLiteral("^[^/\\\\]+:([0-9]{1,5})$"));
    return hostPort.match(port).hasMatch();
}

QSerialPort::Parity parityOf(UutDriver::Parity parity)
{
    switch (parity) {
    case UutDriver::Parity::Even:
        return QSerialPort::EvenParity;
    case UutDriver::Parity::Odd:
        return QSerialPort::OddParity;
    case UutDriver::Parity::None:
        break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::FlowControl flowOf(UutDriver::Flow flow)
{
    switch (flow) {
    case UutDriver::Flow::RtsCts:
        return QSerialPort::HardwareControl;
    case UutDriver::Flow::XonXoff:
        return QSerialPort::SoftwareControl;
    case UutDriver::Flow::None:
        break;
    }
    return QSerialPort::NoFlowControl;
}

} // namespace

UutWorker::UutWorker()
{
    m_clock.start();
}

UutWorker::~UutWorker()
{
    // Runs on the worker thread as it finishes; nobody is left to hear the answers.
    closeLine();
}

void UutWorker::open(const UutDriver &driver, const QString &port, int presenceMs, int session)
{
    if (!m_deadlineTimer) {
        // Created here, on the worker thread, so they belong to it.
        m_deadlineTimer = new QTimer(this);
        m_deadlineTimer->setSingleShot(true);
        m_deadlineTimer->setTimerType(Qt::PreciseTimer);
        connect(m_deadlineTimer, &QTimer::timeout, this, &UutWorker::onDeadline);
        m_presenceTimer = new QTimer(this);
        m_presenceTimer->setSingleShot(true);
        connect(m_presenceTimer, &QTimer::timeout, this, &UutWorker::onPresenceCheck);
        m_reconnectTimer = new QTimer(this);
        m_reconnectTimer->setInterval(kReconnectTickMs);
        connect(m_reconnectTimer, &QTimer::timeout, this, &UutWorker::onReconnectTick);
    }
    close();
    m_driver = driver;
    m_port = port;
    m_presenceMs = presenceMs;
    m_session = session;
    m_everUp = false;
    setState(Connecting);
    QString reason;
    if (!openLine(&reason))
        lineFailed(reason);
}

void UutWorker::close()
{
    m_reconnect.stop();
    if (m_reconnectTimer)
        m_reconnectTimer->stop();
    const auto dropped = m_protocol ? m_protocol->dropAll() : QVector<QPair<int, UutProtocol::Purpose>>();
    closeLine();
    setState(Closed);
    answerDropped(dropped, QStringLiteral("link closed"));
}

void UutWorker::ask(int token, int purpose, double value)
{
    if (!m_protocol) {
        emit answered(token,
            lostReading(m_state == Closed ? QStringLiteral("link closed") : QStringLiteral("link lost")));
        return;
    }
    apply(m_protocol->ask(token, UutProtocol::Purpose(purpose), value, now()));
}

bool UutWorker::openLine(QString *reason)
{
    closeLine();
    if (isTcpPort(m_port)) {
        auto *socket = new QTcpSocket(this);
        m_device = socket;
        connect(socket, &QTcpSocket::connected, this, &UutWorker::lineUp);
        connect(socket, &QTcpSocket::readyRead, this, &UutWorker::onReadyRead);
        connect(socket, &QTcpSocket::disconnected, this, &UutWorker::lineLost);
        connect(socket, &QAbstractSocket::errorOccurred, this, [this, socket](QAbstractSocket::SocketError) {
            // Errors of a connected socket end in disconnected(); only a connection that never came is ours.
            if (socket == m_device && !m_protocol)
                lineFailed(socket->errorString());
        });
        const int colon = int(m_port.lastIndexOf(QLatin1Char(':')));
        socket->connectToHost(m_port.left(colon), quint16(m_port.mid(colon + 1).toUInt()));
        return true;
    }
    auto *port = new QSerialPort(m_port, this);
    if (!port->open(QIODevice::ReadWrite)) {
        *reason = port->errorString();
        delete port;
        return false;
    }
    // A pseudo-terminal carries bytes, not bits: the kernel may refuse parity and seven data bits on it,
    // and a simulated instrument does not need them. A real port that refuses a setting cannot talk to
    // the instrument, and the setting it refused is named so the operator knows which line to doubt.
    const bool pseudoTerminal = QFileInfo(m_port).canonicalFilePath().startsWith(QLatin1String("/dev/pts/"));
    const char *refused = nullptr;
    if (!port->setBaudRate(m_driver.baud))
        refused = "baud";
    else if (!port->setDataBits(m_driver.dataBits == 7 ? QSerialPort::Data7 : QSerialPort::Data8)
        && !pseudoTerminal)
        refused = "dataBits";
    else if (!port->setParity(parityOf(m_driver.parity)) && !pseudoTerminal)
        refused = "parity";
    else if (!port->setStopBits(m_driver.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop))
        refused = "stopBits";
    else if (!port->setFlowControl(flowOf(m_driver.flow)))
        refused = "flow";
    if (refused) {
        *reason = QStringLiteral("line.%1: %2").arg(QLatin1String(refused), port->errorString());
        delete port;
        return false;
    }
    port->clear(QSerialPort::AllDirections);
    m_device = port;
    connect(port, &QSerialPort::readyRead, this, &UutWorker::onReadyRead);
    connect(port, &QSerialPort::errorOccurred, this, [this, port](QSerialPort::SerialPortError error) {
        // Queued: the port may not be closed from inside its own report.
        if (port == m_device && portLineLost(*port, error))
            QMetaObject::invokeMethod(this, &UutWorker::lineLost, Qt::QueuedConnection);
    });
    lineUp();
    return true;
}

void UutWorker::lineUp()
{
    m_everUp = true;
    m_reconnect.stop();
    m_reconnectTimer->stop();
    m_protocol = std::make_unique<UutProtocol>(m_driver);
    setState(Connecting);
    // The instrument may have lost its settings with the line: the init list goes again, then a check
    // decides between connected and no answer.
    apply(m_protocol->askInit(now()));
    apply(m_protocol->ask(kCheckToken, UutProtocol::Purpose::Check, 0, now()));
}

void UutWorker::lineFailed(const QString &reason)
{
    closeLine();
    if (m_everUp) {
        // A reconnection attempt that failed; the policy says when the next is due.
        return;
    }
    emit openFailed(m_session, reason);
    setState(Closed);
}

void UutWorker::closeLine()
{
    m_protocol.reset();
    if (m_deadlineTimer)
        m_deadlineTimer->stop();
    if (m_presenceTimer)
        m_presenceTimer->stop();
    if (!m_device)
        return;
    QIODevice *device = m_device;
    m_device = nullptr;
    device->disconnect(this);
    device->close();
    // This may run inside one of the device's own signals.
    device->deleteLater();
}

void UutWorker::lineLost()
{
    if (!m_protocol)
        return;
    const auto dropped = m_protocol->dropAll();
    closeLine();
    // The state first: whoever hears a lost answer finds the link lost.
    setState(Lost);
    answerDropped(dropped, QStringLiteral("link lost"));
    m_reconnect.lost(now());
    m_reconnectTimer->start();
}

void UutWorker::onReconnectTick()
{
    if (!m_reconnect.takeAttempt(now()))
        return;
    QString reason;
    if (!openLine(&reason))
        closeLine();
}

void UutWorker::onReadyRead()
{
    if (!m_device || !m_protocol)
        return;
    const QByteArray bytes = m_device->readAll();
    apply(m_protocol->bytesIn(bytes, now()));
}

void UutWorker::onDeadline()
{
    if (m_protocol)
        apply(m_protocol->tick(now()));
}

void UutWorker::onPresenceCheck()
{
    if (!m_protocol)
        return;
    if (m_protocol->idle())
        apply(m_protocol->ask(kCheckToken, UutProtocol::Purpose::Check, 0, now()));
    else
        rearm();
}

void UutWorker::apply(const UutProtocol::Steps &steps)
{
    for (const UutProtocol::Step &step : steps) {
        if (step.kind == UutProtocol::Step::Kind::Write) {
            if (m_device)
                m_device->write(step.bytes);
            continue;
        }
        UutReading reading = step.reading;
        reading.utc = QDateTime::currentDateTimeUtc();
        judgeState(step.token, reading);
        if (step.token > 0)
            emit answered(step.token, reading);
    }
    rearm();
}

void UutWorker::judgeState(int token, const UutReading &reading)
{
    if (m_state != Connecting && m_state != Connected && m_state != NoAnswer)
        return;
    switch (reading.kind) {
    case UutReading::Kind::Value:
    case UutReading::Kind::Error:
        // Something answered: the init list's commands without a reply prove nothing.
        if (token != kInitToken)
            setState(Connected);
        break;
    case UutReading::Kind::Timeout:
    case UutReading::Kind::Garbage:
        // Unanswered or unintelligible after the retries: a line-setting mismatch looks like this too.
        setState(NoAnswer);
        break;
    case UutReading::Kind::Lost:
        break;
    }
}

void UutWorker::rearm()
{
    if (!m_protocol)
        return;
    const std::optional<qint64> due = m_protocol->nextDeadline();
    if (due)
        m_deadlineTimer->start(int(qBound<qint64>(0, *due - now(), 120000)));
    else
        m_deadlineTimer->stop();
    // The presence check counts from the last exchange; a run's readings keep it from ever coming.
    if (m_protocol->idle())
        m_presenceTimer->start(m_presenceMs);
}

void UutWorker::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(m_session, state);
}

void UutWorker::answerDropped(const QVector<QPair<int, UutProtocol::Purpose>> &dropped, const QString &why)
{
    for (const auto &entry : dropped) {
        if (entry.first > 0)
            emit answered(entry.first, lostReading(why));
    }
}

UutReading UutWorker::lostReading(const QString &why)
{
    UutReading reading;
    reading.kind = UutReading::Kind::Lost;
    reading.meaning = why;
    reading.pausesRun = true;
    reading.attempts = 0;
    reading.utc = QDateTime::currentDateTimeUtc();
    return reading;
}
