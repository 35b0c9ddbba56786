#include "settings/settings.h"
#include "settings/telemetrysettings.h"

#include <QTest>

// What the stored Mqtt* entries read as, and that what is stored reads back the same.
class TestTelemetrySettings : public QObject
{
    Q_OBJECT

private slots:
    void storedTextsReadAsTheirConfig_data();
    void storedTextsReadAsTheirConfig();
    void profileNamesItsDefaultStation_data();
    void profileNamesItsDefaultStation();
    void configSurvivesStoreAndRead();
};

using Entries = QList<QPair<QString, QString>>;
Q_DECLARE_METATYPE(Entries)

void TestTelemetrySettings::storedTextsReadAsTheirConfig_data()
{
    QTest::addColumn<Entries>("entries");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("station"); // empty: the host-name default
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<bool>("commands");

    QTest::newRow("nothing stored: off, the defaults") << Entries() << "" << 1883 << ""
                                                       << "ostrel" << false;
    QTest::newRow("all stored") << Entries {{"MqttHost", " broker.plant "}, {"MqttPort", "8883"},
        {"MqttStation", "line-3"}, {"MqttPrefix", "plant"}, {"MqttCommands", "1"}}
                                << "broker.plant" << 8883 << "line-3"
                                << "plant" << true;
    QTest::newRow("port out of range") << Entries {{"MqttPort", "70000"}} << "" << 1883 << ""
                                       << "ostrel" << false;
    QTest::newRow("station with a slash") << Entries {{"MqttStation", "a/b"}} << "" << 1883 << ""
                                          << "ostrel" << false;
    QTest::newRow("wildcards in the prefix") << Entries {{"MqttPrefix", "plant/#"}} << "" << 1883 << ""
                                             << "ostrel" << false;
    QTest::newRow("commands spelled true") << Entries {{"MqttCommands", "True"}} << "" << 1883 << ""
                                           << "ostrel" << true;
}

void TestTelemetrySettings::storedTextsReadAsTheirConfig()
{
    QFETCH(Entries, entries);
    Settings settings;
    for (const auto &[key, text] : entries)
        settings.setValue(key, text);
    const TelemetryConfig config = readTelemetrySettings(settings);
    QTEST(config.host, "host");
    QTEST(int(config.port), "port");
    QFETCH(QString, station);
    QCOMPARE(config.station, station.isEmpty() ? defaultTelemetryStation() : station);
    QTEST(config.prefix, "prefix");
    QTEST(config.commands, "commands");
    QVERIFY(TelemetryConfig::isTopicLevel(config.station));
}

void TestTelemetrySettings::profileNamesItsDefaultStation_data()
{
    QTest::addColumn<QString>("profile");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("suffix"); // after the host name; null: the stored name
    QTest::newRow("default profile") << QString() << QString() << QString("");
    QTest::newRow("named profile") << "b" << QString() << "-b";
    QTest::newRow("named profile, named station") << "b"
                                                  << "line-3" << QString();
}

// Two stations of one computer never publish as one, unless someone names them so.
void TestTelemetrySettings::profileNamesItsDefaultStation()
{
    QFETCH(QString, profile);
    QFETCH(QString, stored);
    QFETCH(QString, suffix);
    Settings settings;
    settings.profile = profile;
    if (!stored.isEmpty())
        settings.setValue(QStringLiteral("MqttStation"), stored);
    const QString station = readTelemetrySettings(settings).station;
    QCOMPARE(station, suffix.isNull() ? stored : defaultTelemetryStation() + suffix);
    QVERIFY(TelemetryConfig::isTopicLevel(station));
}

void TestTelemetrySettings::configSurvivesStoreAndRead()
{
    TelemetryConfig config;
    config.host = QStringLiteral("10.0.0.7");
    config.port = 8883;
    config.station = QStringLiteral("炉 1");
    config.prefix = QStringLiteral("lab");
    config.user = QStringLiteral("station");
    config.password = QStringLiteral(" p<w>& ");
    config.caFile = QStringLiteral("/etc/ssl/plant-ca.pem");
    config.commands = true;
    Settings settings;
    storeTelemetrySettings(settings, config);
    const TelemetryConfig read = readTelemetrySettings(settings);
    QCOMPARE(read.host, config.host);
    QCOMPARE(read.port, config.port);
    QCOMPARE(read.station, config.station);
    QCOMPARE(read.prefix, config.prefix);
    QCOMPARE(read.user, config.user);
    QCOMPARE(read.password, config.password);
    QCOMPARE(read.caFile, config.caFile);
    QCOMPARE(read.commands, config.commands);
}

QTEST_GUILESS_MAIN(TestTelemetrySettings)
#include "tst_telemetrysettings.moc"
