#include "control/thermometerprotocol.h"

#include <QTest>

using namespace ThermometerProtocol;

class TestThermometerProtocol : public QObject
{
    Q_OBJECT

private slots:
    void readingIsTenthsAboveMinusHundred_data();
    void readingIsTenthsAboveMinusHundred();
    void ackLengthSetsOrClearsExtraZero_data();
    void ackLengthSetsOrClearsExtraZero();
};

void TestThermometerProtocol::readingIsTenthsAboveMinusHundred_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("celsius");

    QTest::newRow("R = 1000") << QByteArray::fromHex("03E8EB") << true << 0.0;
    QTest::newRow("R = 1500") << QByteArray::fromHex("05DCD9") << true << 50.0;
    QTest::newRow("R = 0") << QByteArray::fromHex("000000") << true << -100.0;
    // Both bytes are unsigned: a high byte above 0x7F is no negative number.
    QTest::newRow("R = 65535") << QByteArray::fromHex("FFFF00") << true << 6453.5;
    QTest::newRow("R = 1234: one tenth stays one tenth") << QByteArray::fromHex("04D2D6") << true << 23.4;
    QTest::newRow("bad check byte") << QByteArray::fromHex("03E8EA") << false << 0.0;
    QTest::newRow("2 bytes") << QByteArray::fromHex("1717") << false << 0.0;
    QTest::newRow("4 bytes") << QByteArray::fromHex("03E8EB00") << false << 0.0;
}

void TestThermometerProtocol::readingIsTenthsAboveMinusHundred()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, valid);
    QFETCH(double, celsius);

    const std::optional<double> reading = thermometerReading(reply);
    QCOMPARE(reading.has_value(), valid);
    if (valid)
        QCOMPARE(*reading, celsius);
}

void TestThermometerProtocol::ackLengthSetsOrClearsExtraZero_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("extraZero"); // -1: leave as it is

    QTest::newRow("3 bytes: one zero more") << QByteArray::fromHex("170116") << 1;
    QTest::newRow("2 bytes: none more") << QByteArray::fromHex("1717") << 0;
    QTest::newRow("4 bytes: unchanged") << QByteArray::fromHex("17010016") << -1;
    QTest::newRow("nothing: unchanged") << QByteArray() << -1;
}

void TestThermometerProtocol::ackLengthSetsOrClearsExtraZero()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, extraZero);

    const std::optional<bool> extra = extraLeadingZeroFromAck(reply);
    QCOMPARE(extra.has_value() ? int(*extra) : -1, extraZero);
}

QTEST_GUILESS_MAIN(TestThermometerProtocol)
#include "tst_thermometerprotocol.moc"
