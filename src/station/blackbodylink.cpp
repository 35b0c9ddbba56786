#include "blackbodylink.h"

#include "control/blackbodymodel.h"
#include "serial/optserial.h"
#include "station/openfailure.h"

namespace {

// Reconnection attempts fall due every second; the tick only looks whether one is due.
constexpr int kReconnectTickMs = 200;

} // namespace

BlackbodyLink::BlackbodyLink(QObject *parent)
    : QObject(parent)
    , m_worker(new OptSerial(nullptr, 0))
{
    m_clock.start();
    connect(m_worker, &OptSerial::DataRecv, this, &BlackbodyLink::recvdata);
    connect(m_worker, &OptSerial::OpenFailed, this, &BlackbodyLink::onOpenFailed);
    connect(m_worker, &OptSerial::OpenSuccessed, this, &BlackbodyLink::open_successed);
    connect(m_worker, &OptSerial::CloseSuccessed, this, &BlackbodyLink::close_successed);
    connect(m_worker, &OptSerial::errorOccurred, this, &BlackbodyLink::handleSerialError);
    connect(this, &BlackbodyLink::sig_sendread, m_worker,
        QOverload<const QByteArray &>::of(&OptSerial::SendReadCommand));
    connect(this, &BlackbodyLink::sig_opencom1, m_worker, &OptSerial::OpenCom1);
    connect(this, &BlackbodyLink::sig_closecom, m_worker, &OptSerial::CloseCom);

    m_pollTimer.setInterval(int(BlackbodyPoll::kIntervalMs));
    m_pollTimer.setTimerType(Qt::CoarseTimer);
    connect(&m_pollTimer, &QTimer::timeout, this, [this] { apply(m_session.pollTick(m_clock.elapsed())); });
    m_reconnectTimer.setInterval(kReconnectTickMs);
    connect(&m_reconnectTimer, &QTimer::timeout, this,
        [this] { apply(m_session.reconnectTick(m_clock.elapsed())); });
}

BlackbodyLink::~BlackbodyLink()
{
    // Joins the worker's thread, so no exchange outlives the link.
    delete m_worker;
}

void BlackbodyLink::open(const QString &port, QSerialPort::BaudRate baud, int modelIndex)
{
    const QString path = StablePortNames::stablePath(port, StablePortNames::readLinks(m_stableFolder));
    emit openRequested(path, baud, modelIndex);
    apply(m_session.open(path, baud, modelIndex, m_clock.elapsed()));
}

void BlackbodyLink::close()
{
    apply(m_session.close(m_clock.elapsed()));
}

quint64 BlackbodyLink::requestSetPoint(double celsius, Requester requester, const QString &origin)
{
    const SetPointRequest request {++m_lastRequest, celsius, requester, origin};
    apply(m_session.requestSetPoint(request, m_clock.elapsed()));
    return request.id;
}

void BlackbodyLink::answerIdentity(bool same)
{
    apply(m_session.identityAnswered(same, m_clock.elapsed()));
}

void BlackbodyLink::setStabilityLimits(double band, qint64 windowMs)
{
    apply(m_session.setStabilityLimits(band, windowMs));
}

void BlackbodyLink::setReconnectWarningDelay(qint64 ms)
{
    m_session.setReconnectWarningDelay(ms);
}

const BlackbodyModel &BlackbodyLink::model() const
{
    return blackbodyModel(m_session.modelIndex());
}

QString BlackbodyLink::statusText() const
{
    switch (state()) {
    case State::Silent:
        return tr("黑体无应答，请检查型号、波特率和连线");
    case State::Reconnecting:
        return tr("连接已断开，正在重新连接…");
    case State::Unconfirmed:
        return tr("控制器未确认，读数不作为有效值");
    case State::Closed:
    case State::Opening:
    case State::Open:
        break;
    }
    return QString();
}

void BlackbodyLink::recvdata(uchar code, const QByteArray &data, bool ok)
{
    apply(m_session.reply(code, data, ok, m_clock.elapsed()));
}

void BlackbodyLink::open_successed(bool ok)
{
    apply(m_session.opened(ok, m_clock.elapsed()));
    // Failed reconnection attempts stay silent; their reasons are not the operator's concern.
    m_openFailure.clear();
}

void BlackbodyLink::onOpenFailed(
    const QString &name, QSerialPort::SerialPortError error, const QString &reason)
{
    m_openFailure = openFailureText(name, error, reason, serialDeviceGroup(name));
}

void BlackbodyLink::close_successed(bool ok)
{
    apply(m_session.closed(ok, m_clock.elapsed()));
}

void BlackbodyLink::handleSerialError(QSerialPort::SerialPortError error)
{
    // Timeouts and unknown errors end their exchange with a failed reply, which the session judges.
    if (error == QSerialPort::ResourceError)
        apply(m_session.portLost(m_clock.elapsed()));
}

void BlackbodyLink::apply(const BlackbodySession::Commands &commands)
{
    using Kind = BlackbodySession::Command::Kind;
    for (const BlackbodySession::Command &c : commands) {
        switch (c.kind) {
        case Kind::OpenPort:
            emit sig_opencom1(c.port, c.baud, QSerialPort::Data8, QSerialPort::NoFlowControl,
                QSerialPort::NoParity, c.stopBits);
            break;
        case Kind::ClosePort:
            emit sig_closecom();
            break;
        case Kind::Send:
            emit sig_sendread(c.payload);
            break;
        case Kind::StartPollTimer:
            m_pollTimer.start();
            break;
        case Kind::StopPollTimer:
            m_pollTimer.stop();
            break;
        case Kind::StartReconnectTimer:
            m_reconnectTimer.start();
            break;
        case Kind::StopReconnectTimer:
            m_reconnectTimer.stop();
            break;
        case Kind::Opened:
            emit opened();
            break;
        case Kind::OpenFailed:
            emit openFailed(m_openFailure.isEmpty() ? QStringLiteral("无法打开端口") : m_openFailure);
            break;
        case Kind::Closed:
            emit closed(c.cause, c.ok);
            break;
        case Kind::Lost:
            emit lost();
            break;
        case Kind::Back:
            emit back();
            break;
        case Kind::WarnPortLost:
            emit portLostWarning();
            break;
        case Kind::Silence:
            emit silent();
            break;
        case Kind::ControllerUnconfirmed:
            emit controllerUnconfirmed();
            break;
        case Kind::StateChanged:
            emit stateChanged(c.state);
            emit statusTextChanged();
            break;
        case Kind::Reading:
            emit reading(c.reading.current, c.reading.set);
            break;
        case Kind::UnconfirmedReading:
            emit unconfirmedReading(c.reading.current, c.reading.set);
            break;
        case Kind::NoReading:
            emit noReading();
            break;
        case Kind::Stability:
            emit stabilityChanged(c.stability);
            break;
        case Kind::SetPointRequested:
            emit setPointRequested(c.request);
            break;
        case Kind::SetPointOutcome:
            emit setPointOutcome(c.request, c.outcome);
            break;
        case Kind::AskIdentity:
            emit identityQuestion(c.heldWire, c.reportedWire);
            break;
        case Kind::DropIdentityQuestion:
            emit identityQuestionDropped();
            break;
        case Kind::ControllerAccepted:
            emit controllerAccepted(c.heldWire);
            break;
        case Kind::Tick:
            emit ticked();
            break;
        case Kind::ReadBack:
            apply(m_session.readBack(c.heldWire, m_clock.elapsed()));
            break;
        }
    }
}
