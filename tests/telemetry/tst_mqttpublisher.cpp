#include "../common/caseprocesses.h"
#include "mosquittobroker.h"
#include "mosquittosubscriber.h"
#include "telemetry/mqttpublisher.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
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

const TelemetryPayloads::Status kStatus {
    "1.0.0", "BB-1200", "/dev/ttyUSB0", QDateTime::currentDateTime(), QStringLiteral("5")};

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

// Readings, events kept across a broker restart and set-point commands are heard end to end, through the
// program, in telemetry_end_to_end; these are what only the publisher shows.
class TstMqttPublisher : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void statusIsRetainedOnlineWhileConnectedAndOfflineAfterStop();
    void overflowDropsTheOldestAndReportsHowMany();
    void wrongPasswordIsReportedOnceAcrossRetries();
    void eventsOfAStationKilledWhileTheBrokerWasAwayArriveAfterItsRestart();
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

void TstMqttPublisher::eventsOfAStationKilledWhileTheBrokerWasAwayArriveAfterItsRestart()
{
    QTemporaryDir folder;
    MosquittoBroker broker;
    QVERIFY(broker.start());
    MosquittoSubscriber subscriber(broker.port(), "ostrel/crash/event", "crash-sub");
    QVERIFY(subscriber.start());
    QString instance;
    {
        // A first start with the broker there, closed cleanly once the broker has its events.
        MqttPublisher publisher;
        publisher.setOutboxFolder(folder.path());
        publisher.start(configFor(broker, "crash"), kStatus);
        publisher.publishEvent("before");
        publisher.publishEvent("before");
        QTRY_COMPARE_WITH_TIMEOUT(subscriber.messages().size(), 2, 10000);
        QTRY_COMPARE(publisher.queuedEvents(), 0);
        instance = publisher.instance();
    }
    broker.stop();

    QProcess child;
    child.start(OUTBOXCHILD_PATH, {QString::number(broker.port()), folder.path(), "3"});
    QByteArray said;
    while (!said.contains('\n') && child.waitForReadyRead(10000))
        said += child.readAllStandardOutput();
    QCOMPARE(said.trimmed(), "published " + instance.toLatin1());
    child.kill(); // SIGKILL: nothing of the publisher runs after this
    QVERIFY(child.waitForFinished(5000));

    QVERIFY(broker.start());
    MqttPublisher publisher;
    publisher.setOutboxFolder(folder.path());
    publisher.start(configFor(broker, "crash"), kStatus);
    publisher.publishEvent("after");
    QTRY_COMPARE_WITH_TIMEOUT(subscriber.messages().size(), 6, 15000);
    QCOMPARE(seqs(subscriber.messages()), (QVector<qint64> {1, 2, 3, 4, 5, 6}));
    QStringList types;
    for (const auto &m : subscriber.messages()) {
        QCOMPARE(json(m.payload).value("instance").toString(), instance);
        types << json(m.payload).value("type").toString();
    }
    QCOMPARE(types, QStringList({"before", "before", "child", "child", "child", "after"}));
    QCOMPARE(publisher.instance(), instance);
}

BB_CASE_PROCESSES_GUILESS_MAIN(TstMqttPublisher, Functions, 4)
#include "tst_mqttpublisher.moc"
