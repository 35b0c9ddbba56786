#include "mosquittobroker.h"
#include "mosquittosubscriber.h"
#include "telemetry/mqttpublisher.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

namespace {

TelemetryConfig configFor(const MosquittoBroker &broker, const QString &station)
{
    TelemetryConfig c;
    c.host = QStringLiteral("127.0.0.1");
    c.port = broker.port();
    c.station = station;
    return c;
}

const TelemetryPayloads::Status kStatus {"1.0.0", "BB-1200", "/dev/ttyUSB0", QDateTime::currentDateTime()};

QJsonObject json(const QByteArray &payload)
{
    return QJsonDocument::fromJson(payload).object();
}

// The seq of every event received, in the order received.
QVector<qint64> seqs(const QVector<MosquittoSubscriber::Message> &events)
{
    QVector<qint64> out;
    for (const auto &e : events)
        out.append(json(e.payload).value("seq").toVariant().toLongLong());
    return out;
}

} // namespace

class TstMqttPublisher : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void statusIsRetainedOnlineWhileConnectedAndOfflineAfterStop();
    void readingsArriveAndEventsAreNumberedFromOneIncludingThoseQueuedBeforeStart();
    void eventsRaisedWhileTheBrokerIsDownArriveInOrderAfterItRestarts();
    void overflowDropsTheOldestAndReportsHowMany();
    void wrongPasswordIsReportedOnceAcrossRetries();
    void setPointCommandsArriveLiveAndRetained();
};

void TstMqttPublisher::initTestCase()
{
    for (const char *name : {"mosquitto", "mosquitto_sub", "mosquitto_passwd"}) {
        if (MosquittoBroker::program(name).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(name)));
    }
}

void TstMqttPublisher::statusIsRetainedOnlineWhileConnectedAndOfflineAfterStop()
{
    MosquittoBroker broker;
    QVERIFY(broker.start());
    MqttPublisher publisher;
    QSignalSpy connected(&publisher, &MqttPublisher::connectedChanged);
    publisher.start(configFor(broker, "status"), kStatus);
    QTRY_VERIFY_WITH_TIMEOUT(publisher.isConnected(), 5000);
    QCOMPARE(connected.count(), 1);

    const QJsonObject online = json(MosquittoSubscriber::retained(broker.port(), "ostrel/status/status"));
    QCOMPARE(online.value("state").toString(), QStringLiteral("online"));
    QCOMPARE(online.value("model").toString(), QStringLiteral("BB-1200"));

    publisher.stop();
    QVERIFY(!publisher.isRunning());
    QVERIFY(!publisher.isConnected());
    QCOMPARE(connected.count(), 2);
    QCOMPARE(MosquittoSubscriber::retained(broker.port(), "ostrel/status/status"),
        QByteArray("{\"state\":\"offline\"}"));
}

void TstMqttPublisher::readingsArriveAndEventsAreNumberedFromOneIncludingThoseQueuedBeforeStart()
{
    MosquittoBroker broker;
    QVERIFY(broker.start());
    MosquittoSubscriber subscriber(broker.port(), "ostrel/live/#", "live-sub");
    QVERIFY(subscriber.start());
    QVERIFY(broker.waitForLog("as live-sub", 2, 5000));
    MqttPublisher publisher;
    publisher.publishEvent("link_opened");
    publisher.start(configFor(broker, "live"), kStatus);
    QTRY_VERIFY_WITH_TIMEOUT(publisher.isConnected(), 5000);

    TelemetryPayloads::Reading reading;
    reading.ts = QDateTime::currentDateTime();
    reading.temperature = 150.25;
    reading.link = "open";
    publisher.publishTelemetry(reading);
    publisher.publishEvent("setpoint_changed", {{"to", 150}});
    QTRY_COMPARE_WITH_TIMEOUT(subscriber.messages("/event").size(), 2, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(subscriber.messages("/telemetry").size(), 1, 5000);
    QCOMPARE(subscriber.messages("/telemetry").first().payload, TelemetryPayloads::telemetry(reading));
    QCOMPARE(seqs(subscriber.messages("/event")), (QVector<qint64> {1, 2}));
    const QJsonObject event = json(subscriber.messages("/event").last().payload);
    QCOMPARE(event.value("type").toString(), QStringLiteral("setpoint_changed"));
    QCOMPARE(event.value("to").toInt(), 150);
    QTRY_COMPARE_WITH_TIMEOUT(publisher.queuedEvents(), 0, 5000);
}

void TstMqttPublisher::eventsRaisedWhileTheBrokerIsDownArriveInOrderAfterItRestarts()
{
    MosquittoBroker broker;
    QVERIFY(broker.start());
    MosquittoSubscriber subscriber(broker.port(), "ostrel/restart/event", "restart-sub");
    QVERIFY(subscriber.start());
    MqttPublisher publisher;
    publisher.start(configFor(broker, "restart"), kStatus);
    QTRY_VERIFY_WITH_TIMEOUT(publisher.isConnected(), 5000);
    publisher.publishEvent("before");
    QTRY_COMPARE_WITH_TIMEOUT(subscriber.messages().size(), 1, 5000);

    broker.stop();
    QTRY_VERIFY_WITH_TIMEOUT(!publisher.isConnected(), 5000);
    for (int i = 0; i < 50; ++i)
        publisher.publishEvent("while_down", {{"i", i}});
    QCOMPARE(publisher.queuedEvents(), 50);
    QVERIFY(broker.start());

    QTRY_COMPARE_WITH_TIMEOUT(subscriber.messages().size(), 51, 15000);
    QVector<qint64> expected(51);
    std::iota(expected.begin(), expected.end(), 1);
    QCOMPARE(seqs(subscriber.messages()), expected);
    QTRY_COMPARE_WITH_TIMEOUT(publisher.queuedEvents(), 0, 5000);
}

void TstMqttPublisher::overflowDropsTheOldestAndReportsHowMany()
{
    MosquittoBroker broker;
    QVERIFY(broker.start());
    MosquittoSubscriber subscriber(broker.port(), "ostrel/overflow/event", "overflow-sub");
    QVERIFY(subscriber.start());
    broker.stop();

    MqttPublisher publisher;
    publisher.setEventLimit(5);
    publisher.start(configFor(broker, "overflow"), kStatus);
    for (int i = 1; i <= 8; ++i)
        publisher.publishEvent("reading_alarm", {{"i", i}});
    QCOMPARE(publisher.queuedEvents(), 5);
    QVERIFY(broker.start());

    QTRY_COMPARE_WITH_TIMEOUT(subscriber.messages().size(), 6, 15000);
    QCOMPARE(seqs(subscriber.messages()), (QVector<qint64> {4, 5, 6, 7, 8, 9}));
    const QJsonObject report = json(subscriber.messages().last().payload);
    QCOMPARE(report.value("type").toString(), QStringLiteral("events_dropped"));
    QCOMPARE(report.value("count").toInt(), 3);
}

void TstMqttPublisher::wrongPasswordIsReportedOnceAcrossRetries()
{
    MosquittoBroker broker(QStringLiteral("allow_anonymous false\npassword_file $DIR/passwords"));
    QProcess passwd;
    passwd.start(MosquittoBroker::program("mosquitto_passwd"),
        {"-c", "-b", broker.folder() + "/passwords", "station", "right"});
    QVERIFY(passwd.waitForFinished(5000) && passwd.exitCode() == 0);
    QVERIFY(broker.start());

    MqttPublisher publisher;
    QSignalSpy failed(&publisher, &MqttPublisher::failed);
    TelemetryConfig config = configFor(broker, "auth");
    config.user = "station";
    config.password = "wrong";
    publisher.start(config, kStatus);
    // The first attempt and the retry a second later are both refused; only the first is reported.
    QVERIFY(broker.waitForLog("not authorised", 2, 10000));
    QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 5000);
    QVERIFY2(failed.first().first().toString().contains(QStringLiteral("用户名或密码错误")),
        qPrintable(failed.first().first().toString()));
    QVERIFY(!publisher.isConnected());
}

void TstMqttPublisher::setPointCommandsArriveLiveAndRetained()
{
    MosquittoBroker broker(
        QStringLiteral("allow_anonymous true\nlog_type error\nlog_type warning\nlog_type notice\n"
                       "log_type information\nlog_type subscribe"));
    QVERIFY(broker.start());
    MqttPublisher publisher;
    QSignalSpy commands(&publisher, &MqttPublisher::setPointCommand);
    TelemetryConfig config = configFor(broker, "cmd");
    config.commands = true;
    publisher.start(config, kStatus);
    QTRY_VERIFY_WITH_TIMEOUT(publisher.isConnected(), 5000);
    QVERIFY(broker.waitForLog("ostrel/cmd/cmd/setpoint", 1, 5000));

    QProcess pub;
    pub.start(MosquittoBroker::program("mosquitto_pub"),
        {"-h", "127.0.0.1", "-p", QString::number(broker.port()), "-t", "ostrel/cmd/cmd/setpoint", "-q", "1",
            "-r", "-m", "{\"setpoint\":200}"});
    QVERIFY(pub.waitForFinished(5000) && pub.exitCode() == 0);
    QTRY_COMPARE_WITH_TIMEOUT(commands.count(), 1, 5000);
    QCOMPARE(commands.at(0).at(0).toByteArray(), QByteArray("{\"setpoint\":200}"));
    QCOMPARE(commands.at(0).at(1).toBool(), false);

    // A new session receives what the broker kept, marked as such.
    publisher.stop();
    publisher.start(config, kStatus);
    QTRY_COMPARE_WITH_TIMEOUT(commands.count(), 2, 5000);
    QCOMPARE(commands.at(1).at(1).toBool(), true);
}

QTEST_GUILESS_MAIN(TstMqttPublisher)
#include "tst_mqttpublisher.moc"
