#include "control/blackbodymodel.h"
#include "control/telemetrycommand.h"

#include <QTest>

Q_DECLARE_METATYPE(BlackbodySession::State)

namespace {

// Every byte of a literal, NULs included, without counting them by hand.
template<int N>
QByteArray bytes(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

} // namespace

// Which set points from the broker go to the link, and the word for those that do not.
class TestTelemetryCommand : public QObject
{
    Q_OBJECT

private slots:
    void setPointIsJudgedLikeTheWindowsAndScpis_data();
    void setPointIsJudgedLikeTheWindowsAndScpis();
};

void TestTelemetryCommand::setPointIsJudgedLikeTheWindowsAndScpis_data()
{
    using State = BlackbodySession::State;
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("arrival"); // "live" or "retained", over "5" or "3.1.1"
    QTest::addColumn<State>("link");
    QTest::addColumn<bool>("running");
    QTest::addColumn<QString>("reason"); // empty: requested
    QTest::addColumn<double>("value");

    const QByteArray ts = "\"2026-12-09T14:03:07+01:00\""; // the arrival's moment, as the tests take it
    const auto object = [](const QByteArray &value, const QByteArray &ts) {
        return "{\"value\": " + value + (ts.isEmpty() ? QByteArray() : ", \"ts\": " + ts) + "}";
    };
    // Model 0: 0 to 100 °C, two decimals. Retained and out-of-range commands are heard end to end.
    QTest::newRow("JSON number") << QByteArray("35.5") << "live 5" << State::Open << false << "" << 35.5;
    QTest::newRow("white space around")
        << QByteArray(" 42\n") << "live 5" << State::Open << false << "" << 42.0;
    QTest::newRow("exponent") << QByteArray("3.55e1") << "live 5" << State::Open << false << "" << 35.5;
    QTest::newRow("a silent link is still the operator's")
        << QByteArray("20") << "live 5" << State::Silent << false << "" << 20.0;
    QTest::newRow("the object form") << object("35.25", ts) << "live 5" << State::Open << false << ""
                                     << 35.25;
    QTest::newRow("the object form without a time, over MQTT 5")
        << object("35", {}) << "live 5" << State::Open << false << "" << 35.0;
    QTest::newRow("another key") << QByteArray("{\"value\":35,\"by\":\"me\"}") << "live 5" << State::Open
                                 << false << "not a number" << 0.0;
    QTest::newRow("empty") << QByteArray() << "live 5" << State::Open << false << "not a number" << 0.0;
    QTest::newRow("nan") << QByteArray("nan") << "live 5" << State::Open << false << "not a number" << 0.0;
    QTest::newRow("a megabyte of digits")
        << QByteArray(1 << 20, '1') << "live 5" << State::Open << false << "not a number" << 0.0;
    // Every byte counts: a NUL cuts nothing short.
    QTest::newRow("NUL inside") << bytes("4\0005") << "live 5" << State::Open << false << "not a number"
                                << 0.0;
    QTest::newRow("NUL after") << bytes("45\000") << "live 5" << State::Open << false << "not a number"
                               << 0.0;
    QTest::newRow("finer than the model")
        << QByteArray("35.125") << "live 5" << State::Open << false << "out of range" << 0.0;
    QTest::newRow("retained") << QByteArray("35") << "retained 5" << State::Open << false << "retained"
                              << 0.0;
    // Over 3.1.1 a live retained publish looks live: only the command's own time tells.
    QTest::newRow("3.1.1: a plain number")
        << QByteArray("35") << "live 3.1.1" << State::Open << false << "not timestamped" << 0.0;
    QTest::newRow("3.1.1: timestamped")
        << object("35", ts) << "live 3.1.1" << State::Open << false << "" << 35.0;
    QTest::newRow("3.1.1: ten seconds off is still now")
        << object("35", "\"2026-12-09T13:02:57Z\"") << "live 3.1.1" << State::Open << false << "" << 35.0;
    QTest::newRow("3.1.1: older") << object("35", "\"2026-12-09T13:02:56.999Z\"") << "live 3.1.1"
                                  << State::Open << false << "stale" << 0.0;
    QTest::newRow("3.1.1: a time without its offset")
        << object("35", "\"2026-12-09T14:03:07\"") << "live 3.1.1" << State::Open << false
        << "not timestamped" << 0.0;
    QTest::newRow("closed") << QByteArray("35") << "live 5" << State::Closed << false << "link not open"
                            << 0.0;
    QTest::newRow("unconfirmed") << QByteArray("35") << "live 5" << State::Unconfirmed << false
                                 << "controller unconfirmed" << 0.0;
    QTest::newRow("a run sends its own")
        << QByteArray("35") << "live 5" << State::Open << true << "run in progress" << 0.0;
}

void TestTelemetryCommand::setPointIsJudgedLikeTheWindowsAndScpis()
{
    QFETCH(QByteArray, payload);
    QFETCH(QString, arrival);
    QFETCH(BlackbodySession::State, link);
    QFETCH(bool, running);
    QFETCH(QString, reason);
    LinkSituation situation;
    situation.link = link;
    situation.portOpen = link != BlackbodySession::State::Closed && link != BlackbodySession::State::Opening;
    situation.controllerSuspect = link == BlackbodySession::State::Unconfirmed;
    situation.run = running ? RunPhase::Running : RunPhase::None;
    TelemetryCommand::Arrival how;
    how.retained = arrival.startsWith(QLatin1String("retained"));
    how.retainFlagReliable = arrival.endsWith(QLatin1String(" 5"));
    how.at = QDateTime::fromString(QStringLiteral("2026-12-09T14:03:07+01:00"), Qt::ISODate);
    const TelemetryCommand::Verdict verdict
        = TelemetryCommand::judge(payload, how, blackbodyModel(0), situation);
    QCOMPARE(verdict.reason, reason);
    QCOMPARE(verdict.accepted, reason.isEmpty());
    if (verdict.accepted)
        QTEST(verdict.value, "value");
}

QTEST_GUILESS_MAIN(TestTelemetryCommand)
#include "tst_telemetrycommand.moc"
