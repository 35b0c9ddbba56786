#include "telemetry/telemetrypayloads.h"

#include <QtTest>

using namespace TelemetryPayloads;

Q_DECLARE_METATYPE(std::optional<double>)

class TstTelemetryPayloads : public QObject
{
    Q_OBJECT
private slots:
    void topicLevelRejectsWildcardsSeparatorsAndEmpty_data();
    void topicLevelRejectsWildcardsSeparatorsAndEmpty();
    void timestampHasMillisecondsAndNumericOffset_data();
    void timestampHasMillisecondsAndNumericOffset();
    void telemetryIsCompactJsonWithNumbersOrNull_data();
    void telemetryIsCompactJsonWithNumbersOrNull();
    void eventCarriesItsFieldsUnderTheFixedKeys_data();
    void eventCarriesItsFieldsUnderTheFixedKeys();
};

static const QDateTime kAt(QDate(2026, 12, 9), QTime(14, 3, 7, 123), Qt::OffsetFromUTC, 3600);
static const QByteArray kInstance = "0f8a2c1e-5b7d-4e39-9a61-3c2d4b5e6f70";

void TstTelemetryPayloads::topicLevelRejectsWildcardsSeparatorsAndEmpty_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("replaced");
    QTest::newRow("plain") << "bench-3" << true << "bench-3";
    QTest::newRow("empty") << "" << false << "";
    QTest::newRow("plus") << "a+b" << false << "a_b";
    QTest::newRow("hash") << "lab#2" << false << "lab_2";
    QTest::newRow("slash") << "hall/west" << false << "hall_west";
    QTest::newRow("nul") << QStringLiteral("a") + QChar(0) + QStringLiteral("b") << false << "a_b";
}

void TstTelemetryPayloads::topicLevelRejectsWildcardsSeparatorsAndEmpty()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QString, replaced);
    QCOMPARE(TelemetryConfig::isTopicLevel(text), valid);
    QCOMPARE(TelemetryConfig::toTopicLevel(text), replaced);
}

void TstTelemetryPayloads::timestampHasMillisecondsAndNumericOffset_data()
{
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<QString>("text");
    QTest::newRow("utc") << kAt.toUTC() << "2026-12-09T13:03:07.123+00:00";
    QTest::newRow("minus five thirty")
        << kAt.toOffsetFromUtc(-(5 * 3600 + 30 * 60)) << "2026-12-09T07:33:07.123-05:30";
    QTest::newRow("invalid") << QDateTime() << "";
}

void TstTelemetryPayloads::timestampHasMillisecondsAndNumericOffset()
{
    QFETCH(QDateTime, time);
    QFETCH(QString, text);
    QCOMPARE(timestamp(time), text);
}

void TstTelemetryPayloads::telemetryIsCompactJsonWithNumbersOrNull_data()
{
    QTest::addColumn<std::optional<double>>("temperature");
    QTest::addColumn<std::optional<double>>("setPoint");
    QTest::addColumn<bool>("stable");
    QTest::addColumn<double>("stableSeconds");
    QTest::addColumn<QString>("link");
    QTest::addColumn<QByteArray>("json");
    const QByteArray ts = "\"ts\":\"2026-12-09T14:03:07.123+01:00\"";
    QTest::newRow("stable reading")
        << std::optional<double>(149.98) << std::optional<double>(150.0) << true << 12.5 << "open"
        << "{\"link\":\"open\",\"setpoint\":150,\"stable\":true,\"stable_s\":12.5,\"temperature\":149.98,"
            + ts + ",\"unit\":\"C\"}";
    QTest::newRow("no reading") << std::optional<double>() << std::optional<double>() << false << 0.0
                                << "silent"
                                << "{\"link\":\"silent\",\"setpoint\":null,\"stable\":false,\"stable_s\":0,"
                                   "\"temperature\":null,"
            + ts + ",\"unit\":\"C\"}";
    QTest::newRow("not a number is null")
        << std::optional<double>(qQNaN()) << std::optional<double>(-20.5) << false << 0.0 << "unconfirmed"
        << "{\"link\":\"unconfirmed\",\"setpoint\":-20.5,\"stable\":false,\"stable_s\":0,\"temperature\":"
           "null,"
            + ts + ",\"unit\":\"C\"}";
}

void TstTelemetryPayloads::telemetryIsCompactJsonWithNumbersOrNull()
{
    QFETCH(std::optional<double>, temperature);
    QFETCH(std::optional<double>, setPoint);
    QFETCH(bool, stable);
    QFETCH(double, stableSeconds);
    QFETCH(QString, link);
    QFETCH(QByteArray, json);
    Reading r;
    r.ts = kAt;
    r.temperature = temperature;
    r.setPoint = setPoint;
    r.stable = stable;
    r.stableSeconds = stableSeconds;
    r.link = link;
    QCOMPARE(telemetry(r), json);
}

void TstTelemetryPayloads::eventCarriesItsFieldsUnderTheFixedKeys_data()
{
    QTest::addColumn<quint64>("seq");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QJsonObject>("fields");
    QTest::addColumn<QByteArray>("json");
    const QByteArray ts = "\"ts\":\"2026-12-09T14:03:07.123+01:00\"";
    QTest::newRow("fields") << quint64(42) << "setpoint_changed"
                            << QJsonObject {{"from", 100}, {"to", 150.5}, {"source", "远程"}}
                            << "{\"from\":100,\"instance\":\"" + kInstance
            + "\",\"seq\":42,\"source\":\"\xe8\xbf\x9c\xe7\xa8\x8b\",\"to\":150.5," + ts
            + ",\"type\":\"setpoint_changed\"}";
    QTest::newRow("fixed keys win") << quint64(7) << "events_dropped"
                                    << QJsonObject {{"seq", 1}, {"type", "x"}, {"ts", "y"}, {"instance", "z"},
                                           {"count", 3}}
                                    << "{\"count\":3,\"instance\":\"" + kInstance + "\",\"seq\":7," + ts
            + ",\"type\":\"events_dropped\"}";
}

void TstTelemetryPayloads::eventCarriesItsFieldsUnderTheFixedKeys()
{
    QFETCH(quint64, seq);
    QFETCH(QString, type);
    QFETCH(QJsonObject, fields);
    QFETCH(QByteArray, json);
    QCOMPARE(TelemetryPayloads::event(kAt, seq, QString::fromLatin1(kInstance), type, fields), json);
}

QTEST_APPLESS_MAIN(TstTelemetryPayloads)
#include "tst_telemetrypayloads.moc"
