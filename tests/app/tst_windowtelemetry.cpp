#include "app/mainwindow.h"
#include "app/startup.h"
#include "app/telemetryshell.h"
#include "mosquittobroker.h"
#include "mosquittosubscriber.h"
#include "settings/settings.h"
#include "station/station.h"
#include "telemetry/telemetrystation.h"
#include "windowtest.h"

#include <QDoubleSpinBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

// The window's own set point, as a plant's broker hears of it.
class TestWindowTelemetry : public WindowTest
{
    Q_OBJECT

private slots:
    void initTestCase();
    void setPointFromTheWindowIsReportedAsTheWindows();
};

void TestWindowTelemetry::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    prepareApplication();
}

void TestWindowTelemetry::setPointFromTheWindowIsReportedAsTheWindows()
{
    if (MosquittoBroker::program(QStringLiteral("mosquitto")).isEmpty())
        QSKIP("mosquitto is not installed");
    MosquittoBroker broker;
    QVERIFY(broker.start());
    MosquittoSubscriber events(
        broker.port(), QStringLiteral("ostrel/bench/event"), QStringLiteral("window-test"));
    QVERIFY(events.start());

    showWindow();
    openSimulator();
    // Gone before the window, as in the program.
    auto telemetry = std::make_unique<TelemetryStation>(m_station.get());
    auto *shell = new TelemetryShell(telemetry.get(), m_window.get());
    TelemetryConfig config;
    config.host = QStringLiteral("127.0.0.1");
    config.port = broker.port();
    config.station = QStringLiteral("bench");
    shell->apply(config);
    QTRY_COMPARE_WITH_TIMEOUT(
        child<QLabel>("telemetryLabel")->text(), QStringLiteral("上报：已连接"), kWaitMs);

    child<QDoubleSpinBox>("doubleSpinBox")->setValue(31.5);
    click("pushButton_set");
    const auto confirmed = [&events] {
        for (const MosquittoSubscriber::Message &m : events.messages()) {
            const QJsonObject event = QJsonDocument::fromJson(m.payload).object();
            if (event.value(QStringLiteral("type")) == QStringLiteral("setpoint_confirmed"))
                return event;
        }
        return QJsonObject();
    };
    QTRY_VERIFY_WITH_TIMEOUT(!confirmed().isEmpty(), kWaitMs);
    QCOMPARE(confirmed().value(QStringLiteral("by")).toString(), QStringLiteral("window"));
    QCOMPARE(confirmed().value(QStringLiteral("value")).toDouble(), 31.5);
    delete shell;
    telemetry.reset();
    closeWindow();
}

QTEST_MAIN(TestWindowTelemetry)
#include "tst_windowtelemetry.moc"
