#pragma once

#include "app/blackbodylink.h"
#include "telemetry/mqttpublisher.h"

#include <QDateTime>
#include <QJsonObject>
#include <QObject>
#include <QPointer>

class CalibrationRunner;
class MainWindow;
class QLabel;
class QMessageBox;

// The station as the plant's broker sees it: publishes the link's readings, the link's, the recording's
// and the runs' events and its own status through the publisher, and takes set points from
// <prefix>/<station>/cmd/setpoint when allowed. Listens to the link and the runner, never to widgets;
// shows the connection in the window's status bar and offers the settings under 设置 → 数据上报.
// GUI thread only.
class TelemetryStation : public QObject
{
    Q_OBJECT

public:
    // The window outlives the station.
    explicit TelemetryStation(MainWindow *window);
    // Says offline (retained) before going, waiting up to two seconds for the broker.
    ~TelemetryStation() override;

    // Publishes to the broker `config` names, or stops when it names none.
    void apply(const TelemetryConfig &config);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void editSettings();
    // An event for the broker, while reporting is on.
    void report(const QString &type, const QJsonObject &fields = {});
    TelemetryPayloads::Status status() const;
    void reading(double current, double setPoint);
    // "temperature":null with what the link is doing instead of answering.
    void noReading(const QString &link);
    void ticked();
    void stateChanged(BlackbodyLink::State state);
    void stabilityChanged(StabilityJudge::State state);
    void setPointOutcome(bool confirmed, double celsius, Requester requester);
    void setPointCommand(const QByteArray &payload, bool retained);
    void showConnection();
    void showFailure(const QString &reason);
    // Republishes the status once the link has opened another port or model.
    void linkOpened();

    MainWindow *m_window;
    BlackbodyLink *m_link;
    CalibrationRunner *m_runner;
    MqttPublisher m_publisher;
    QPointer<QLabel> m_label; // the status bar's
    QPointer<QMessageBox> m_failure;
    TelemetryConfig m_applied;
    const QDateTime m_since = QDateTime::currentDateTime();
    // The latest reading, or the link's opening, on the link's clock; -1 while the link is not open.
    qint64 m_lastReadingAt = -1;
    bool m_stable = false;
    QString m_model, m_port; // as the status says them
};
