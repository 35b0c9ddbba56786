#include "telemetrystation.h"

#include "control/blackbodymodel.h"
#include "control/telemetrycommand.h"
#include "recording/curverecorder.h"
#include "station/calibrationreporter.h"
#include "station/calibrationrunner.h"
#include "station/station.h"

#include <QCoreApplication>
#include <QJsonArray>

#include <cmath>

namespace {

constexpr int kStopWaitMs = 2000;
// Of a refused command, enough to recognise it; a broker may pass on messages of megabytes.
constexpr int kEchoedBytes = 200;

QString requesterWord(Requester requester)
{
    switch (requester) {
    case Requester::Window:
        return QStringLiteral("window");
    case Requester::Scpi:
        return QStringLiteral("scpi");
    case Requester::Mqtt:
        return QStringLiteral("mqtt");
    case Requester::Run:
        break;
    }
    return QStringLiteral("run");
}

QString linkWord(BlackbodyLink::State state)
{
    using State = BlackbodyLink::State;
    switch (state) {
    case State::Closed:
        return QStringLiteral("closed");
    case State::Opening:
        return QStringLiteral("opening");
    case State::Open:
        return QStringLiteral("open");
    case State::Silent:
        return QStringLiteral("silent");
    case State::Reconnecting:
        return QStringLiteral("reconnecting");
    case State::Unconfirmed:
        break;
    }
    return QStringLiteral("unconfirmed");
}

// The report's fields as JSON: numbers as numbers, nothing as null, words as they are.
QJsonObject rowObject(const QVector<QPair<QByteArray, QByteArray>> &row)
{
    QJsonObject object;
    for (const auto &[name, text] : row) {
        bool number = false;
        // A raw reply is text, even one that reads as a number ("05012\r" does not, "05" would).
        const double value = name.startsWith("reading_raw_") ? qQNaN() : text.toDouble(&number);
        if (text.isEmpty())
            object.insert(QString::fromLatin1(name), QJsonValue::Null);
        else if (number && std::isfinite(value)) // JSON has no infinity: "inf" stays a word
            object.insert(QString::fromLatin1(name), value);
        else
            object.insert(QString::fromLatin1(name), QString::fromUtf8(text));
    }
    return object;
}

} // namespace

TelemetryStation::TelemetryStation(Station *station, const QString &outboxFolder, QObject *parent)
    : QObject(parent)
    , m_station(station)
{
    m_publisher.setOutboxFolder(outboxFolder);
    connect(&m_publisher, &MqttPublisher::connectedChanged, this, &TelemetryStation::connectedChanged);
    connect(&m_publisher, &MqttPublisher::failed, this, &TelemetryStation::failed);
    connect(&m_publisher, &MqttPublisher::setPointCommand, this, &TelemetryStation::setPointCommand);

    BlackbodyLink *link = &station->link();
    connect(link, &BlackbodyLink::reading, this, &TelemetryStation::reading);
    connect(
        link, &BlackbodyLink::unconfirmedReading, this, [this] { noReading(QStringLiteral("unconfirmed")); });
    connect(link, &BlackbodyLink::silent, this, [this] { noReading(QStringLiteral("silent")); });
    connect(link, &BlackbodyLink::ticked, this, &TelemetryStation::ticked);
    connect(link, &BlackbodyLink::stateChanged, this, &TelemetryStation::stateChanged);
    connect(link, &BlackbodyLink::setPointOutcome, this, &TelemetryStation::setPointOutcome);
    connect(link, &BlackbodyLink::opened, this, &TelemetryStation::linkOpened);
    connect(link, &BlackbodyLink::lost, this, [this] { report(QStringLiteral("link_lost")); });
    connect(link, &BlackbodyLink::back, this, [this] {
        report(QStringLiteral("link_back"));
        linkOpened();
    });
    connect(station, &Station::stabilityChanged, this, &TelemetryStation::stabilityChanged);

    connect(&station->recorder(), &CurveRecorder::recordingChanged, this, [this](bool on) {
        report(on ? QStringLiteral("recording_started") : QStringLiteral("recording_stopped"));
    });
    CalibrationRunner *runner = &station->runner();
    connect(runner, &CalibrationRunner::runStarted, this, [this] { report(QStringLiteral("run_started")); });
    connect(runner, &CalibrationRunner::stepEnded, this,
        [this](const QVector<QPair<QByteArray, QByteArray>> &row) {
            report(QStringLiteral("step_done"), {{QStringLiteral("row"), rowObject(row)}});
        });
    connect(runner, &CalibrationRunner::runEnded, this, [this](bool aborted) {
        report(aborted ? QStringLiteral("run_aborted") : QStringLiteral("run_finished"));
    });
    connect(
        &station->reporter(), &CalibrationReporter::reportWritten, this, [this](const QStringList &files) {
            report(QStringLiteral("report_written"),
                {{QStringLiteral("files"), QJsonArray::fromStringList(files)}});
        });
}

TelemetryStation::~TelemetryStation()
{
    stop();
}

void TelemetryStation::stop()
{
    if (m_publisher.isRunning())
        m_publisher.stop(kStopWaitMs);
}

void TelemetryStation::report(const QString &type, const QJsonObject &fields)
{
    // With reporting off nothing is kept: turning it on later must not deliver a backlog of old news.
    if (m_publisher.isRunning())
        m_publisher.publishEvent(type, fields);
}

void TelemetryStation::apply(const TelemetryConfig &config)
{
    const bool same = m_publisher.isRunning() && config == m_applied;
    m_applied = config;
    if (same)
        return;
    if (m_publisher.isRunning())
        m_publisher.stop(kStopWaitMs);
    if (!config.host.isEmpty())
        m_publisher.start(config, status());
    emit connectedChanged(m_publisher.isConnected());
}

TelemetryPayloads::Status TelemetryStation::status() const
{
    TelemetryPayloads::Status status;
    status.version = QCoreApplication::applicationVersion();
    status.model = m_model;
    status.port = m_port;
    status.since = m_since;
    return status;
}

void TelemetryStation::linkOpened()
{
    const QString model = m_station->link().model().name;
    const QString port = m_station->link().port();
    if (model == m_model && port == m_port)
        return;
    m_model = model;
    m_port = port;
    m_publisher.setStatus(status());
}

void TelemetryStation::reading(double current, double setPoint)
{
    const qint64 now = m_station->link().clock().elapsed();
    const Station::Stability stability = m_station->stability();
    TelemetryPayloads::Reading r;
    r.ts = QDateTime::currentDateTime();
    // The wire's own steps: the reading passed through a float, and 24.989999771118164 is not what the
    // controller said.
    const double scale = m_station->link().model().wireScale;
    r.temperature = std::round(current * scale) / scale;
    r.setPoint = std::round(setPoint * scale) / scale;
    r.stable = stability.stable;
    r.stableSeconds = stability.secondsAt(now);
    r.link = QStringLiteral("open");
    m_publisher.publishTelemetry(r);
}

void TelemetryStation::noReading(const QString &link)
{
    TelemetryPayloads::Reading r;
    r.ts = QDateTime::currentDateTime();
    r.link = link;
    m_publisher.publishTelemetry(r);
}

void TelemetryStation::ticked()
{
    // Until the link calls it silence, a reply that failed its check leaves a gap: once the last reading
    // is stale, the link serves none, and no number stands for it here either.
    const BlackbodyLink::State state = m_station->link().state();
    if (state == BlackbodyLink::State::Silent
        || (state == BlackbodyLink::State::Open && !m_station->latest()))
        noReading(QStringLiteral("silent"));
}

void TelemetryStation::stateChanged(BlackbodyLink::State state)
{
    if (state != BlackbodyLink::State::Open && state != BlackbodyLink::State::Silent)
        noReading(linkWord(state));
}

void TelemetryStation::stabilityChanged(bool stable)
{
    report(stable ? QStringLiteral("stable") : QStringLiteral("unstable"));
}

void TelemetryStation::setPointOutcome(const SetPointRequest &request, SetPointOutcome outcome)
{
    QJsonObject fields {
        {QStringLiteral("value"), request.celsius}, {QStringLiteral("by"), requesterWord(request.requester)}};
    switch (outcome) {
    case SetPointOutcome::Confirmed:
        report(QStringLiteral("setpoint_confirmed"), fields);
        return;
    case SetPointOutcome::Refused:
        fields.insert(QStringLiteral("reason"), QStringLiteral("read back differs"));
        report(QStringLiteral("setpoint_refused"), fields);
        return;
    case SetPointOutcome::Superseded:
        fields.insert(QStringLiteral("reason"), QStringLiteral("superseded"));
        report(QStringLiteral("setpoint_refused"), fields);
        return;
    case SetPointOutcome::NotConfirmed:
        report(QStringLiteral("setpoint_unconfirmed"), fields);
        return;
    }
}

void TelemetryStation::setPointCommand(const QByteArray &payload, bool retained, bool retainFlagReliable)
{
    // How a retained command is taken off the broker; nobody asked for anything.
    if (payload.isEmpty())
        return;
    const TelemetryCommand::Arrival arrival {retained, retainFlagReliable, QDateTime::currentDateTime()};
    const TelemetryCommand::Verdict verdict
        = TelemetryCommand::judge(payload, arrival, m_station->link().model(), m_station->situation());
    // Refused, and taken off the broker, so that it does not come back at every reconnect.
    if (retained)
        m_publisher.clearRetainedCommand();
    if (verdict.accepted) {
        // The link's read-back decides; its outcome is the event the sender waits for.
        m_station->requestSetPoint(verdict.value, Requester::Mqtt, QStringLiteral("MQTT"));
        return;
    }
    report(QStringLiteral("command_rejected"),
        {{QStringLiteral("reason"), verdict.reason},
            {QStringLiteral("payload"),
                QString::fromUtf8(payload.constData(), qMin(payload.size(), kEchoedBytes))}});
}
