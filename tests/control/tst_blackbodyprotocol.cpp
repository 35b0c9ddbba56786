#include "control/blackbodymodel.h"
#include "control/blackbodyprotocol.h"

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

QTEST_GUILESS_MAIN(TestBlackbodyProtocol)
#include "tst_blackbodyprotocol.moc"
