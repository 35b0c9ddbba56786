#include "control/blackbodymodel.h"
#include "control/blackbodypoll.h"
#include "control/blackbodyprotocol.h"
#include "control/controlleridentity.h"
#include "control/jumpfilter.h"
#include "control/reconnectpolicy.h"
#include "control/setpointconfirmation.h"

#include <QTest>

#include <cmath>

using namespace BlackbodyProtocol;

// A 9-byte read reply with the given wire values and a correct check byte.
static QByteArray readReply(qint16 current, qint16 set)
{
    QByteArray reply(9, '\0');
    reply[0] = char(quint16(current) & 0xFF);
    reply[1] = char(quint16(current) >> 8);
    reply[6] = char(quint16(set) & 0xFF);
    reply[7] = char(quint16(set) >> 8);
    int sum = 0;
    for (int i = 0; i < 8; ++i)
        sum += quint8(reply.at(i));
    reply[8] = char(sum % 128);
    return reply;
}

class TestBlackbodyProtocol : public QObject
{
    Q_OBJECT

private slots:
    void reconnectTriesEverySecondAndWarnsOnce_data();
    void reconnectTriesEverySecondAndWarnsOnce();
    void modelTableFixesLineAndSetPointBox_data();
    void modelTableFixesLineAndSetPointBox();
    void pollPayloadIsReadCommand();
    void setPointPayloadBytes_data();
    void setPointPayloadBytes();
    void setPointRoundsToNearestWireUnit_data();
    void setPointRoundsToNearestWireUnit();
    void setPointOutsideSixteenBitsSaturates();
    void decodesReadReply_data();
    void decodesReadReply();
    void replyOfWrongLengthIsNotDecoded();

    void filterShowsRealChangesButNotOutliers_data();
    void filterShowsRealChangesButNotOutliers();
    void filterResetAcceptsAnything();
    void setPointConfirmedOnlyByReadBack_data();
    void setPointConfirmedOnlyByReadBack();
    void controllerIsKnownByTheSetPointItHeld_data();
    void controllerIsKnownByTheSetPointItHeld();

    void pollKeepsOneRequestInFlight();
    void pollRequestLostByWorkerStopsBlocking();
    void pollReadingGoesStaleAfterThreeSeconds();
    void pollFailedReplyFreesTurnButShowsNothing();
    void pollAcceptsChangeThatHappenedWhileStale();
};

void TestBlackbodyProtocol::modelTableFixesLineAndSetPointBox_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("stopBits");
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");

    QTest::newRow("VBM100") << 0 << "VBM100" << int(QSerialPort::TwoStop) << 100 << 2 << 20.0 << 0.0 << 100.0;
    QTest::newRow("VBM400") << 1 << "VBM400" << int(QSerialPort::OneStop) << 10 << 1 << 10.0 << 0.0 << 410.0;
    QTest::newRow("VBM500") << 2 << "VBM500" << int(QSerialPort::OneStop) << 10 << 1 << 10.0 << 0.0 << 510.0;
    QTest::newRow("VB125") << 3 << "VB125" << int(QSerialPort::TwoStop) << 100 << 2 << 10.0 << -30.0 << 125.0;
    QTest::newRow("VB400") << 4 << "VB400" << int(QSerialPort::OneStop) << 10 << 1 << 10.0 << 0.0 << 410.0;
}

void TestBlackbodyProtocol::modelTableFixesLineAndSetPointBox()
{
    QFETCH(int, index);
    const BlackbodyModel &model = blackbodyModel(index);
    QTEST(model.name, "name");
    QTEST(int(model.stopBits), "stopBits");
    QTEST(model.wireScale, "scale");
    QTEST(model.decimals, "decimals");
    QTEST(model.valueAfterOpen, "value");
    QTEST(model.minimum, "minimum");
    QTEST(model.maximum, "maximum");
}

void TestBlackbodyProtocol::pollPayloadIsReadCommand()
{
    QCOMPARE(pollPayload(), QByteArray::fromHex("8080520000"));
}

void TestBlackbodyProtocol::setPointPayloadBytes_data()
{
    QTest::addColumn<double>("celsius");
    QTest::addColumn<int>("scale");
    QTest::addColumn<QByteArray>("payload");

    QTest::newRow("25.5 at 0.1") << 25.5 << 10 << QByteArray::fromHex("80804300ff00");
    QTest::newRow("-30.0 at 0.01") << -30.0 << 100 << QByteArray::fromHex("8080430048f4");
    QTest::newRow("0 at 0.01") << 0.0 << 100 << QByteArray::fromHex("808043000000");
    QTest::newRow("100.00 at 0.01") << 100.0 << 100 << QByteArray::fromHex("808043001027");
    QTest::newRow("510.0 at 0.1") << 510.0 << 10 << QByteArray::fromHex("80804300ec13");
}

void TestBlackbodyProtocol::setPointPayloadBytes()
{
    QFETCH(double, celsius);
    QFETCH(int, scale);
    QTEST(BlackbodyProtocol::setPointPayload(celsius, scale), "payload");
}

void TestBlackbodyProtocol::setPointRoundsToNearestWireUnit_data()
{
    QTest::addColumn<double>("celsius");
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("units");

    // Truncation would send 28, 114 and 1001: the binary products fall just below the entered value.
    QTest::newRow("0.29") << 0.29 << 100 << 29;
    QTest::newRow("1.15") << 1.15 << 100 << 115;
    QTest::newRow("100.1 at 0.1") << 100.1 << 10 << 1001;
    QTest::newRow("12.345 two decimals") << 12.345 << 100 << 1235;
    QTest::newRow("-0.29") << -0.29 << 100 << -29;
    QTest::newRow("-12.3 at 0.1") << -12.3 << 10 << -123;
}

void TestBlackbodyProtocol::setPointRoundsToNearestWireUnit()
{
    QFETCH(double, celsius);
    QFETCH(int, scale);
    QTEST(int(toWireUnits(celsius, scale)), "units");
}

void TestBlackbodyProtocol::setPointOutsideSixteenBitsSaturates()
{
    QCOMPARE(int(toWireUnits(1000.0, 100)), 32767);
    QCOMPARE(int(toWireUnits(-1000.0, 100)), -32768);
    QCOMPARE(int(toWireUnits(std::nan(""), 100)), -32768);
}

void TestBlackbodyProtocol::decodesReadReply_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("scale");
    QTest::addColumn<float>("current");
    QTest::addColumn<float>("set");

    const QByteArray example = QByteArray::fromHex("e803000000 00d00700").left(8);
    QByteArray framed = example;
    int sum = 0;
    for (char c : example)
        sum += quint8(c);
    framed.append(char(sum % 128));
    QTest::newRow("example at 0.01") << framed << 100 << 10.0f << 20.0f;
    QTest::newRow("example at 0.1") << framed << 10 << 100.0f << 200.0f;
    QTest::newRow("minus one unit at 0.01") << readReply(-1, 0) << 100 << -0.01f << 0.0f;
    QTest::newRow("minus one unit at 0.1") << readReply(-1, 0) << 10 << -0.1f << 0.0f;
    QTest::newRow("negative set point") << readReply(2000, -3000) << 100 << 20.0f << -30.0f;
    QTest::newRow("extremes") << readReply(32767, -32768) << 10 << 3276.7f << -3276.8f;
}

void TestBlackbodyProtocol::decodesReadReply()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, scale);
    const auto reading = decodePollReply(reply, scale);
    QVERIFY(reading);
    QTEST(reading->current, "current");
    QTEST(reading->set, "set");
}

void TestBlackbodyProtocol::replyOfWrongLengthIsNotDecoded()
{
    QVERIFY(!decodePollReply(QByteArray(), 100));
    QVERIFY(!decodePollReply(readReply(100, 100).left(8), 100));
    QVERIFY(!decodePollReply(readReply(100, 100) + '\0', 100));
}

void TestBlackbodyProtocol::filterShowsRealChangesButNotOutliers_data()
{
    QTest::addColumn<int>("scale");
    QTest::addColumn<QVector<double>>("readings"); // one every 500 ms
    QTest::addColumn<QVector<double>>("shown");

    QTest::newRow("first reading, whatever its value")
        << 10 << QVector<double> {900.0} << QVector<double> {900.0};
    // In floats 30.01 - 25.01 is a little over 5.
    QTest::newRow("exactly 5.00 either way")
        << 100 << QVector<double> {25.01, 30.01, 25.01} << QVector<double> {25.01, 30.01, 25.01};
    QTest::newRow("single outlier") << 10 << QVector<double> {100.0, 105.1, 100.2, 300.0, 100.1}
                                    << QVector<double> {100.0, 100.0, 100.2, 100.2, 100.1};
    QTest::newRow("double outlier") << 10 << QVector<double> {100.0, 300.0, 300.0, 100.1}
                                    << QVector<double> {100.0, 100.0, 100.0, 100.1};
    QTest::newRow("step shows by its third reading") << 10 << QVector<double> {25.0, 60.0, 60.1, 59.9, 60.0}
                                                     << QVector<double> {25.0, 25.0, 25.0, 59.9, 60.0};
    QTest::newRow("slow ramp") << 10 << QVector<double> {100.0, 101.0, 102.0, 103.0}
                               << QVector<double> {100.0, 101.0, 102.0, 103.0};
    QTest::newRow("ramp at 50 per second")
        << 10 << QVector<double> {300.0, 275.0, 250.0, 225.0, 200.0, 175.0, 150.0}
        << QVector<double> {300.0, 300.0, 300.0, 225.0, 200.0, 175.0, 150.0};
    QTest::newRow("ramp that ends") << 10 << QVector<double> {100.0, 106.0, 112.0, 118.0, 124.0, 124.0, 124.1}
                                    << QVector<double> {100.0, 100.0, 100.0, 118.0, 124.0, 124.0, 124.1};
    QTest::newRow("outlier during a ramp")
        << 10 << QVector<double> {300.0, 275.0, 250.0, 225.0, 900.0, 175.0, 150.0}
        << QVector<double> {300.0, 300.0, 300.0, 225.0, 225.0, 175.0, 150.0};
}

void TestBlackbodyProtocol::filterShowsRealChangesButNotOutliers()
{
    QFETCH(int, scale);
    QFETCH(QVector<double>, readings);
    QFETCH(QVector<double>, shown);
    JumpFilter filter(5 * scale);
    QVector<double> got;
    for (int i = 0; i < readings.size(); ++i)
        got << filter.filter(int(std::lround(readings[i] * scale)), i * 500) / double(scale);
    QCOMPARE(got, shown);
}

void TestBlackbodyProtocol::filterResetAcceptsAnything()
{
    JumpFilter filter(50);
    filter.filter(250, 0);
    filter.filter(800, 500);
    filter.reset();
    QVERIFY(!filter.hasAccepted());
    QCOMPARE(filter.filter(800, 1000), 800);
}

void TestBlackbodyProtocol::controllerIsKnownByTheSetPointItHeld_data()
{
    // Events: "open", "gone" (lost or silent), "sent W", "read W", "yes"; after each the state:
    // C confirmed, ? checking, U unconfirmed.
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QString>("states");

    QTest::newRow("the same set point after the loss")
        << QStringList {"open", "read 3500", "gone", "read 3500", "read 3600"} << "CC?CC";
    QTest::newRow("another or a restarted controller") << QStringList {"open", "read 3500", "gone",
        "read 2000", "read 3500", "gone", "read 3500"} << "CC?UU?C";
    QTest::newRow("a set point sent just before the loss may have been taken")
        << QStringList {"open", "read 3500", "sent 4000", "gone", "read 4000"} << "CCC?C";
    QTest::newRow("nothing heard before the loss: nothing to compare")
        << QStringList {"open", "sent 4000", "gone", "read 2000"} << "CCCC";
    QTest::newRow("confirmed by someone who can see it, it holds what it reported")
        << QStringList {"open", "read 3500", "gone", "read 2000", "yes", "gone", "read 2000"} << "CC?UC?C";
    QTest::newRow("a new opening forgets the old controller")
        << QStringList {"open", "read 3500", "gone", "open", "read 2000"} << "CC?CC";
}

void TestBlackbodyProtocol::controllerIsKnownByTheSetPointItHeld()
{
    QFETCH(QStringList, events);
    ControllerIdentity identity;
    QString states;
    for (const QString &event : events) {
        const QStringList w = event.split(QLatin1Char(' '));
        if (w[0] == "open")
            identity.opened();
        else if (w[0] == "gone")
            identity.interrupted();
        else if (w[0] == "sent")
            identity.sent(qint16(w[1].toInt()));
        else if (w[0] == "read")
            identity.reading(qint16(w[1].toInt()));
        else
            identity.accept();
        states += "C?U"[int(identity.state())];
    }
    QTEST(states, "states");
}

void TestBlackbodyProtocol::setPointConfirmedOnlyByReadBack_data()
{
    // Events: "sent W", "reply ok|bad T", "read W T", "expire T", "reset"; each gives -, confirmed or
    // refused.
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QString>("outcomes");

    QTest::newRow("read back") << QStringList {"sent 2000", "reply ok 0", "read 2000 50"} << "--C";
    QTest::newRow("read back differs") << QStringList {"sent 2000", "reply ok 0", "read 1500 50"} << "--R";
    QTest::newRow("invalid set reply") << QStringList {"sent 2000", "reply bad 0"} << "-R";
    QTest::newRow("no read-back within 2 s")
        << QStringList {"sent 2000", "reply ok 0", "expire 1999", "expire 2000", "read 2000 2100"} << "---R-";
    QTest::newRow("read back too late") << QStringList {"sent 2000", "reply ok 0", "read 2000 2001"} << "--R";
    QTest::newRow("second set point while the first is on its way")
        << QStringList {"sent 1000", "sent 2000", "reply ok 0", "read 1000 10", "reply bad 20"} << "----R";
    QTest::newRow("second set point while confirming") << QStringList {"sent 1000", "reply ok 0", "sent 2000",
        "read 1000 10", "reply ok 20", "read 2000 30"} << "-----C";
    QTest::newRow("link reopened") << QStringList {"sent 2000", "reset", "reply ok 0", "read 2000 10"}
                                   << "----";
}

void TestBlackbodyProtocol::setPointConfirmedOnlyByReadBack()
{
    QFETCH(QStringList, events);
    SetPointConfirmation confirmation;
    QString outcomes;
    for (const QString &event : events) {
        const QStringList w = event.split(QLatin1Char(' '));
        auto outcome = SetPointConfirmation::Outcome::None;
        if (w[0] == "sent")
            confirmation.sent(qint16(w[1].toInt()));
        else if (w[0] == "reply")
            outcome = confirmation.setReply(w[1] == "ok", w[2].toLongLong());
        else if (w[0] == "read")
            outcome = confirmation.readBack(qint16(w[1].toInt()), w[2].toLongLong());
        else if (w[0] == "expire")
            outcome = confirmation.expire(w[1].toLongLong());
        else
            confirmation.reset();
        outcomes += outcome == SetPointConfirmation::Outcome::Confirmed ? 'C'
            : outcome == SetPointConfirmation::Outcome::Refused         ? 'R'
                                                                        : '-';
    }
    QTEST(outcomes, "outcomes");
}

void TestBlackbodyProtocol::pollKeepsOneRequestInFlight()
{
    BlackbodyPoll poll;
    poll.start(100, 0);
    QVERIFY(poll.takePollTurn(0));
    QVERIFY(!poll.takePollTurn(500));
    QVERIFY(!poll.takePollTurn(1000));
    QVERIFY(poll.readReply(readReply(2500, 3000), true, 1100));
    QVERIFY(poll.takePollTurn(1500));
}

void TestBlackbodyProtocol::pollRequestLostByWorkerStopsBlocking()
{
    BlackbodyPoll poll;
    poll.start(100, 0);
    QVERIFY(poll.takePollTurn(0));
    QVERIFY(!poll.takePollTurn(BlackbodyPoll::kLostAfterMs - 1));
    QVERIFY(poll.takePollTurn(BlackbodyPoll::kLostAfterMs));
}

void TestBlackbodyProtocol::pollReadingGoesStaleAfterThreeSeconds()
{
    BlackbodyPoll poll;
    poll.start(100, 0);
    QVERIFY(!poll.readingValid());
    QVERIFY(!poll.expire(3000));
    // No answer at all since opening: reported once.
    QVERIFY(poll.expire(3001));
    QVERIFY(!poll.expire(3500));

    const auto reading = poll.readReply(readReply(2512, 3000), true, 4000);
    QVERIFY(reading);
    QCOMPARE(reading->current, 25.12f);
    QCOMPARE(reading->set, 30.0f);
    QVERIFY(poll.readingValid());
    QVERIFY(!poll.expire(7000));
    QVERIFY(poll.expire(7001));
    QVERIFY(!poll.readingValid());
}

void TestBlackbodyProtocol::pollFailedReplyFreesTurnButShowsNothing()
{
    BlackbodyPoll poll;
    poll.start(10, 0);
    QVERIFY(poll.takePollTurn(0));
    QVERIFY(!poll.readReply(QByteArray::fromHex("0102"), false, 1000));
    QVERIFY(!poll.readReply(readReply(1, 1), false, 1000));
    QVERIFY(!poll.readingValid());
    QVERIFY(poll.takePollTurn(1000));
}

void TestBlackbodyProtocol::pollAcceptsChangeThatHappenedWhileStale()
{
    BlackbodyPoll poll;
    poll.start(10, 0);
    QCOMPARE(poll.readReply(readReply(250, 250), true, 100)->current, 25.0f);
    const auto heldBack = poll.readReply(readReply(800, 250), true, 600);
    QCOMPARE(heldBack->current, 25.0f);
    QVERIFY(!heldBack->accepted);
    QVERIFY(poll.expire(5000));
    // The controller heated up during the gap: the first reading afterwards is shown as it is.
    const auto afterGap = poll.readReply(readReply(800, 800), true, 5200);
    QCOMPARE(afterGap->current, 80.0f);
    QVERIFY(afterGap->accepted);
}

QTEST_GUILESS_MAIN(TestBlackbodyProtocol)
// Each step: a time in ms after the loss at 10000, and whether an attempt and the warning fall due then.
struct ReconnectStep
{
    qint64 at;
    bool attempt;
    bool warning;
};
Q_DECLARE_METATYPE(QVector<ReconnectStep>)

void TestBlackbodyProtocol::reconnectTriesEverySecondAndWarnsOnce_data()
{
    QTest::addColumn<QVector<ReconnectStep>>("steps");
    QTest::addColumn<bool>("stopAfterFirst");
    QTest::newRow("first attempt at once, then one per second") << QVector<ReconnectStep> {{0, true, false},
        {200, false, false}, {999, false, false}, {1000, true, false}, {1200, false, false},
        {2000, true, false}} << false;
    QTest::newRow("a late tick does not shift the schedule")
        << QVector<ReconnectStep> {{0, true, false}, {1700, true, false}, {2000, true, false}} << false;
    QTest::newRow("warning once after a minute") << QVector<ReconnectStep> {{59999, true, false},
        {60000, true, true}, {60200, false, false}, {61000, true, false}}
                                                 << false;
    QTest::newRow("nothing after the port is back")
        << QVector<ReconnectStep> {{0, true, false}, {1000, false, false}, {60000, false, false}} << true;
}

void TestBlackbodyProtocol::reconnectTriesEverySecondAndWarnsOnce()
{
    QFETCH(QVector<ReconnectStep>, steps);
    QFETCH(bool, stopAfterFirst);
    ReconnectPolicy policy;
    QVERIFY(!policy.takeAttempt(10000));
    policy.lost(10000);
    for (int i = 0; i < steps.size(); ++i) {
        const ReconnectStep &step = steps.at(i);
        QCOMPARE(policy.takeWarning(10000 + step.at), step.warning);
        QCOMPARE(policy.takeAttempt(10000 + step.at), step.attempt);
        if (i == 0 && stopAfterFirst)
            policy.stop();
    }
}

#include "tst_blackbodyprotocol.moc"
