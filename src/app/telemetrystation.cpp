#include "telemetrystation.h"

#include "app/calibrationrunner.h"
#include "app/controllerquestion.h"
#include "app/mainwindow.h"
#include "app/telemetrycommand.h"
#include "chart/ttwidget.h"
#include "control/blackbodymodel.h"
#include "dialogs/telemetrydialog.h"
#include "settings/settings.h"
#include "settings/telemetrysettings.h"

#include <QCoreApplication>
#include <QEvent>
#include <QJsonArray>
#include <QLabel>
#include <QMessageBox>
#include <QStatusBar>

#include <cmath>
#include <cstdio>

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
        const double value = text.toDouble(&number);
        if (text.isEmpty())
            object.insert(QString::fromLatin1(name), QJsonValue::Null);
        else if (number)
            object.insert(QString::fromLatin1(name), value);
        else
            object.insert(QString::fromLatin1(name), QString::fromUtf8(text));
    }
    return object;
}

} // namespace

TelemetryStation::TelemetryStation(MainWindow *window)
    : m_window(window)
    , m_link(window->blackbodyLink())
    , m_runner(window->calibration())
    , m_label(new QLabel)
{
    m_label->setObjectName(QStringLiteral("telemetryLabel"));
    window->statusBar()->addPermanentWidget(m_label);
    m_label->hide();
    m_label->installEventFilter(this);
    connect(window, &MainWindow::telemetryRequested, this, &TelemetryStation::editSettings);
    connect(&m_publisher, &MqttPublisher::connectedChanged, this, &TelemetryStation::showConnection);
    connect(&m_publisher, &MqttPublisher::failed, this, &TelemetryStation::showFailure);
    connect(&m_publisher, &MqttPublisher::setPointCommand, this, &TelemetryStation::setPointCommand);

    connect(m_link, &BlackbodyLink::reading, this, &TelemetryStation::reading);
    connect(m_link, &BlackbodyLink::unconfirmedReading, this,
        [this] { noReading(QStringLiteral("unconfirmed")); });
    connect(m_link, &BlackbodyLink::silent, this, [this] { noReading(QStringLiteral("silent")); });
    connect(m_link, &BlackbodyLink::ticked, this, &TelemetryStation::ticked);
    connect(m_link, &BlackbodyLink::stateChanged, this, &TelemetryStation::stateChanged);
    connect(m_link, &BlackbodyLink::stabilityChanged, this, &TelemetryStation::stabilityChanged);
    connect(m_link, &BlackbodyLink::setPointOutcome, this, &TelemetryStation::setPointOutcome);
    connect(m_link, &BlackbodyLink::opened, this, &TelemetryStation::linkOpened);
    connect(m_link, &BlackbodyLink::lost, this, [this] { report(QStringLiteral("link_lost")); });
    connect(m_link, &BlackbodyLink::back, this, [this] {
        report(QStringLiteral("link_back"));
        linkOpened();
    });

    connect(window->chart(), &ttwidget::recordingChanged, this, [this](bool on) {
        report(on ? QStringLiteral("recording_started") : QStringLiteral("recording_stopped"));
    });
    connect(
        m_runner, &CalibrationRunner::runStarted, this, [this] { report(QStringLiteral("run_started")); });
    connect(m_runner, &CalibrationRunner::stepEnded, this,
        [this](const QVector<QPair<QByteArray, QByteArray>> &row) {
            report(QStringLiteral("step_done"), {{QStringLiteral("row"), rowObject(row)}});
        });
    connect(m_runner, &CalibrationRunner::runEnded, this, [this](bool aborted) {
        report(aborted ? QStringLiteral("run_aborted") : QStringLiteral("run_finished"));
    });
    connect(m_runner, &CalibrationRunner::reportWritten, this, [this](const QStringList &files) {
        report(
            QStringLiteral("report_written"), {{QStringLiteral("files"), QJsonArray::fromStringList(files)}});
    });
}

void TelemetryStation::report(const QString &type, const QJsonObject &fields)
{
    // With reporting off nothing is kept: turning it on later must not deliver a backlog of old news.
    if (m_publisher.isRunning())
        m_publisher.publishEvent(type, fields);
}

TelemetryStation::~TelemetryStation()
{
    m_publisher.stop(kStopWaitMs);
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
    showConnection();
}

void TelemetryStation::editSettings()
{
    TelemetryDialog dialog(readTelemetrySettings(appSettings), m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const TelemetryConfig config = dialog.config();
    storeTelemetrySettings(appSettings, config);
    if (const SaveResult saved = appSettings.save(); !saved)
        QMessageBox::warning(m_window, tr("错误"), saved.message(appSettings.filePath()));
    apply(config);
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
    const QString model = m_link->model().name;
    const QString port = m_link->port();
    if (model == m_model && port == m_port)
        return;
    m_model = model;
    m_port = port;
    m_publisher.setStatus(status());
}

void TelemetryStation::reading(double current, double setPoint)
{
    m_lastReadingAt = m_link->clock().elapsed();
    const StabilityJudge &judge = m_link->stability();
    TelemetryPayloads::Reading r;
    r.ts = QDateTime::currentDateTime();
    // The wire's own steps: the reading passed through a float, and 24.989999771118164 is not what the
    // controller said.
    const double scale = m_link->model().wireScale;
    r.temperature = std::round(current * scale) / scale;
    r.setPoint = std::round(setPoint * scale) / scale;
    r.stable = judge.state() == StabilityJudge::State::Stable;
    r.stableSeconds = r.stable ? (m_lastReadingAt - judge.stableSince()) / 1000.0 : 0;
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
    // Until the link calls it silence, a reply that failed its check leaves a gap: after the stale time
    // the last number is no reading any more.
    const bool stale
        = m_lastReadingAt >= 0 && m_link->clock().elapsed() - m_lastReadingAt >= BlackbodyPoll::kStaleAfterMs;
    const BlackbodyLink::State state = m_link->state();
    if (state == BlackbodyLink::State::Silent || (state == BlackbodyLink::State::Open && stale))
        noReading(QStringLiteral("silent"));
}

void TelemetryStation::stateChanged(BlackbodyLink::State state)
{
    // A link just opened has its stale time to give the first reading.
    if (state == BlackbodyLink::State::Open && m_lastReadingAt < 0)
        m_lastReadingAt = m_link->clock().elapsed();
    else if (state != BlackbodyLink::State::Open)
        m_lastReadingAt = -1;
    if (state != BlackbodyLink::State::Open && state != BlackbodyLink::State::Silent)
        noReading(linkWord(state));
}

void TelemetryStation::stabilityChanged(StabilityJudge::State state)
{
    const bool stable = state == StabilityJudge::State::Stable;
    if (stable == m_stable)
        return;
    m_stable = stable;
    report(stable ? QStringLiteral("stable") : QStringLiteral("unstable"));
}

void TelemetryStation::setPointOutcome(bool confirmed, double celsius, Requester requester)
{
    report(confirmed ? QStringLiteral("setpoint_confirmed") : QStringLiteral("setpoint_refused"),
        {{QStringLiteral("value"), celsius}, {QStringLiteral("by"), requesterWord(requester)}});
}

void TelemetryStation::setPointCommand(const QByteArray &payload, bool retained)
{
    // How a retained command is taken off the broker; nobody asked for anything.
    if (payload.isEmpty())
        return;
    const TelemetryCommand::Verdict verdict
        = TelemetryCommand::judge(payload, retained, m_link->model(), m_link->state(), m_runner->isRunning());
    if (verdict.accepted) {
        // The link's read-back decides; its outcome is the event the sender waits for.
        m_link->requestSetPoint(verdict.value, Requester::Mqtt);
        return;
    }
    report(QStringLiteral("command_rejected"),
        {{QStringLiteral("reason"), verdict.reason},
            {QStringLiteral("payload"), QString::fromUtf8(payload.left(kEchoedBytes))}});
}

bool TelemetryStation::eventFilter(QObject *watched, QEvent *event)
{
    // The type first: a label being destroyed still sends events, and is no QLabel any more.
    if (event->type() == QEvent::LanguageChange && watched == m_label)
        showConnection();
    return QObject::eventFilter(watched, event);
}

void TelemetryStation::showConnection()
{
    if (!m_label)
        return;
    m_label->setText(m_publisher.isConnected() ? tr("上报：已连接") : tr("上报：未连接（重试中）"));
    m_label->setVisible(m_publisher.isRunning());
}

void TelemetryStation::showFailure(const QString &reason)
{
    std::fprintf(stderr, "Telemetry: %s\n", qPrintable(reason));
    // The reason names the broker and what failed.
    const QString text = tr("数据上报失败：%1\n程序照常运行，并在后台继续尝试连接。").arg(reason);
    // Not modal, and one box at a time: the publisher tells each reason once, not each retry.
    showInPassing(
        m_failure, new QMessageBox(QMessageBox::Warning, tr("错误"), text, QMessageBox::Ok, m_window));
}
