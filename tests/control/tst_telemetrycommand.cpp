#include "control/blackbodymodel.h"
#include "control/telemetrycommand.h"

#include <QTest>

Q_DECLARE_METATYPE(BlackbodySession::State)

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
    QTest::addColumn<bool>("retained");
    QTest::addColumn<State>("link");
    QTest::addColumn<bool>("running");
    QTest::addColumn<QString>("reason"); // empty: requested
    QTest::addColumn<double>("value");

    // Model 0: 0 to 100 °C, two decimals. Retained and out-of-range commands are heard end to end.
    QTest::newRow("JSON number") << QByteArray("35.5") << false << State::Open << false << "" << 35.5;
    QTest::newRow("white space around") << QByteArray(" 42\n") << false << State::Open << false << "" << 42.0;
    QTest::newRow("exponent") << QByteArray("3.55e1") << false << State::Open << false << "" << 35.5;
    QTest::newRow("a silent link is still the operator's")
        << QByteArray("20") << false << State::Silent << false << "" << 20.0;
    QTest::newRow("object") << QByteArray("{\"value\":35}") << false << State::Open << false << "not a number"
                            << 0.0;
    QTest::newRow("empty") << QByteArray() << false << State::Open << false << "not a number" << 0.0;
    QTest::newRow("nan") << QByteArray("nan") << false << State::Open << false << "not a number" << 0.0;
    QTest::newRow("a megabyte of digits")
        << QByteArray(1 << 20, '1') << false << State::Open << false << "not a number" << 0.0;
    QTest::newRow("finer than the model")
        << QByteArray("35.125") << false << State::Open << false << "out of range" << 0.0;
    QTest::newRow("closed") << QByteArray("35") << false << State::Closed << false << "link not open" << 0.0;
    QTest::newRow("unconfirmed") << QByteArray("35") << false << State::Unconfirmed << false
                                 << "controller unconfirmed" << 0.0;
    QTest::newRow("a run sends its own")
        << QByteArray("35") << false << State::Open << true << "run in progress" << 0.0;
}

void TestTelemetryCommand::setPointIsJudgedLikeTheWindowsAndScpis()
{
    QFETCH(QByteArray, payload);
    QFETCH(bool, retained);
    QFETCH(BlackbodySession::State, link);
    QFETCH(bool, running);
    QFETCH(QString, reason);
    LinkSituation situation;
    situation.link = link;
    situation.portOpen = link != BlackbodySession::State::Closed && link != BlackbodySession::State::Opening;
    situation.controllerSuspect = link == BlackbodySession::State::Unconfirmed;
    situation.run = running ? RunPhase::Running : RunPhase::None;
    const TelemetryCommand::Verdict verdict
        = TelemetryCommand::judge(payload, retained, blackbodyModel(0), situation);
    QCOMPARE(verdict.reason, reason);
    QCOMPARE(verdict.accepted, reason.isEmpty());
    if (verdict.accepted)
        QTEST(verdict.value, "value");
}

QTEST_GUILESS_MAIN(TestTelemetryCommand)
#include "tst_telemetrycommand.moc"
