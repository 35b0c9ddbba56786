#include "serial/framing.h"
#include "serial/kelvraframing.h"
#include "serial/kelvraserial.h"
#include "serial/replycollector.h"

#include <QtTest>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

} // namespace

class TestFraming : public QObject
{
    Q_OBJECT

private slots:
    void checksumFramingAppendsSevenBitSumAndTakesThirdByteAsCode_data();
    void checksumFramingAppendsSevenBitSumAndTakesThirdByteAsCode();
    void checksumReplyMustBeNineBytesWithMatchingCheck_data();
    void checksumReplyMustBeNineBytesWithMatchingCheck();
    void crc16ModbusMatchesReferenceValues_data();
    void crc16ModbusMatchesReferenceValues();
    void crcFramingAppendsLowByteFirstAndTakesFourthByteAsCode_data();
    void crcFramingAppendsLowByteFirstAndTakesFourthByteAsCode();
    void crcReplyMustBeSixBytesEndingInItsCrc_data();
    void crcReplyMustBeSixBytesEndingInItsCrc();
    void commandFrameIsFixedEightBytes_data();
    void commandFrameIsFixedEightBytes();
    void crcWriteFramePadsValueToTwoBytes_data();
    void crcWriteFramePadsValueToTwoBytes();
    void xorReplyEndsInXorOfPrecedingBytes_data();
    void xorReplyEndsInXorOfPrecedingBytes();
    void thermometerRequestsCarryCheckByteAndWakeUpZeros_data();
    void thermometerRequestsCarryCheckByteAndWakeUpZeros();
    void thermometerCommandReplyIsCompleteOnValidFrame_data();
    void thermometerCommandReplyIsCompleteOnValidFrame();
    void replyIsJudgedWholeAfterEachRead_data();
    void replyIsJudgedWholeAfterEachRead();
};

void TestFraming::checksumFramingAppendsSevenBitSumAndTakesThirdByteAsCode_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("framed");
    QTest::addColumn<int>("code");

    QTest::newRow("poll") << hex("8080520000") << hex("808052000052") << 0x52;
    QTest::newRow("write E8 01: code is the check byte") << hex("E801") << hex("E80169") << 0x69;
    QTest::newRow("single code byte: two bytes, code 0") << hex("52") << hex("5252") << 0;
    QTest::newRow("set 25.5 on a 0.1 model") << hex("80804300FF00") << hex("80804300FF0042") << 0x43;
    QTest::newRow("set -30.0 on a 0.01 model") << hex("8080430048F4") << hex("8080430048F47F") << 0x43;
    QTest::newRow("sum past 255 wraps") << hex("FFFFFF") << hex("FFFFFF7D") << 0xFF;
    QTest::newRow("empty payload") << QByteArray() << hex("00") << 0;
}

void TestFraming::checksumFramingAppendsSevenBitSumAndTakesThirdByteAsCode()
{
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, framed);
    QFETCH(int, code);

    const QByteArray actual = Framing::checksumFrame(payload);
    QCOMPARE(actual.toHex(' '), framed.toHex(' '));
    QCOMPARE(int(Framing::checksumRequestCode(actual)), code);
}

void TestFraming::checksumReplyMustBeNineBytesWithMatchingCheck_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("valid");

    // E8 03 .. D0 07: 10.00 current and 20.00 set on a 0.01 model; 0x1C2 mod 128 = 0x42.
    QTest::newRow("valid reading") << hex("E80300000000D00742") << true;
    QTest::newRow("all zero") << hex("000000000000000000") << true;
    QTest::newRow("wrong ninth byte") << hex("E80300000000D00743") << false;
    QTest::newRow("full byte sum instead of 7 bits") << hex("E80300000000D007C2") << false;
    QTest::newRow("eight bytes") << hex("E80300000000D007") << false;
    QTest::newRow("stray byte in front") << hex("00E80300000000D00742") << false;
    QTest::newRow("valid reply then a stray byte") << hex("E80300000000D0074200") << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestFraming::checksumReplyMustBeNineBytesWithMatchingCheck()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, valid);

    QCOMPARE(Framing::isChecksumReply(reply), valid);
}

void TestFraming::crc16ModbusMatchesReferenceValues_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("crc");

    QTest::newRow("check value") << QByteArray("123456789") << 0x4B37;
    QTest::newRow("empty: initial register") << QByteArray() << 0xFFFF;
    QTest::newRow("read holding register") << hex("010300000001") << 0x0A84;
    QTest::newRow("reply with value 7") << hex("0103020007") << 0x86F9;
}

void TestFraming::crc16ModbusMatchesReferenceValues()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, crc);

    QCOMPARE(int(Framing::crc16Modbus(bytes)), crc);
}

void TestFraming::crcFramingAppendsLowByteFirstAndTakesFourthByteAsCode_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("framed");
    QTest::addColumn<int>("code");

    QTest::newRow("read request: code is the fourth byte")
        << hex("010300000001") << hex("010300000001840A") << 0x00;
    QTest::newRow("one byte: three framed bytes, code 0") << hex("01") << hex("017E80") << 0;
    QTest::newRow("two bytes: code is the CRC's high byte") << hex("0106") << hex("01068022") << 0x22;
}

void TestFraming::crcFramingAppendsLowByteFirstAndTakesFourthByteAsCode()
{
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, framed);
    QFETCH(int, code);

    const QByteArray actual = Framing::crcFrame(payload);
    QCOMPARE(actual.toHex(' '), framed.toHex(' '));
    QCOMPARE(int(Framing::crcRequestCode(actual)), code);
}

void TestFraming::crcReplyMustBeSixBytesEndingInItsCrc_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("valid");

    QTest::newRow("seven-byte reply") << hex("0103020007F986") << true;
    QTest::newRow("eight-byte frame") << hex("010300000001840A") << true;
    QTest::newRow("CRC bytes swapped") << hex("0103000000010A84") << false;
    QTest::newRow("payload byte changed") << hex("0103020008F986") << false;
    QTest::newRow("five bytes with a valid CRC") << hex("010306A0F2") << false;
    QTest::newRow("four bytes with a valid CRC") << hex("01068022") << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestFraming::crcReplyMustBeSixBytesEndingInItsCrc()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, valid);

    QCOMPARE(Framing::isCrcReply(reply), valid);
}

void TestFraming::commandFrameIsFixedEightBytes_data()
{
    QTest::addColumn<int>("addr");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("data");
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("framed");

    QTest::newRow("addr 1, code 3, data 1") << 1 << 3 << 1 << 0 << hex("010300000001840A");
    QTest::newRow("index before data, high bytes first") << 1 << 3 << 10 << 0 << hex("01030000000AC5CD");
}

void TestFraming::commandFrameIsFixedEightBytes()
{
    QFETCH(int, addr);
    QFETCH(int, code);
    QFETCH(int, data);
    QFETCH(int, index);
    QFETCH(QByteArray, framed);

    QCOMPARE(Framing::commandFrame(uchar(addr), uchar(code), ushort(data), ushort(index)).toHex(' '),
        framed.toHex(' '));
}

void TestFraming::crcWriteFramePadsValueToTwoBytes_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("framed");

    QTest::newRow("one value byte") << hex("01") << hex("00E800000001A1CC");
    QTest::newRow("two value bytes") << hex("0102") << hex("00E800000102E05D");
}

void TestFraming::crcWriteFramePadsValueToTwoBytes()
{
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, framed);

    QCOMPARE(Framing::crcWriteFrame(0xE8, value, 0).toHex(' '), framed.toHex(' '));
}

void TestFraming::xorReplyEndsInXorOfPrecedingBytes_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("valid");

    QTest::newRow("reading R = 1000") << hex("03E8EB") << true;
    QTest::newRow("reading R = 0") << hex("000000") << true;
    QTest::newRow("two equal bytes") << hex("1717") << true;
    QTest::newRow("two different bytes") << hex("1716") << false;
    QTest::newRow("five bytes") << hex("4001020340") << true;
    QTest::newRow("wrong check") << hex("03E8EA") << false;
    QTest::newRow("single byte") << hex("00") << false;
    QTest::newRow("single byte of its own XOR") << hex("17") << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestFraming::xorReplyEndsInXorOfPrecedingBytes()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, valid);

    QCOMPARE(Framing::isXorReply(reply), valid);
    QCOMPARE(KelvraSerial::CheckFrame(reply), valid);
}

void TestFraming::thermometerRequestsCarryCheckByteAndWakeUpZeros_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("extraZero");
    QTest::addColumn<QByteArray>("wire");

    QTest::newRow("0x17") << hex("17") << false << hex("00000000001717");
    QTest::newRow("0x17, extra zero") << hex("17") << true << hex("0000000000001717");
    QTest::newRow("0x82: no check byte") << hex("82") << false << hex("00000000000082");
    QTest::newRow("0x78 with data: no check byte") << hex("7801") << true << hex("0000000000007801");
    QTest::newRow("write 0x40 01 02") << hex("400102") << false << hex("00000040010243");
    QTest::newRow("8 bytes framed: no zeros") << hex("30010203040506") << true << hex("3001020304050637");
    QTest::newRow("7 bytes framed: one zero with the extra one")
        << hex("300102030405") << true << hex("0030010203040531");
}

void TestFraming::thermometerRequestsCarryCheckByteAndWakeUpZeros()
{
    QFETCH(QByteArray, payload);
    QFETCH(bool, extraZero);
    QFETCH(QByteArray, wire);

    const QByteArray actual = KelvraFraming::paddedCommand(KelvraFraming::commandFrame(payload), extraZero);
    QCOMPARE(actual.toHex(' '), wire.toHex(' '));
}

void TestFraming::thermometerCommandReplyIsCompleteOnValidFrame_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("complete");

    QTest::newRow("0x17, 2 bytes") << 0x17 << hex("1717") << true;
    QTest::newRow("0x17, 3 bytes") << 0x17 << hex("170116") << true;
    QTest::newRow("0x17, bad check") << 0x17 << hex("1716") << false;
    QTest::newRow("0x40, valid 3 bytes: wait for more") << 0x40 << hex("102030") << false;
    QTest::newRow("0x40, valid 5 bytes") << 0x40 << hex("4001020340") << true;
    QTest::newRow("0x40, 5 bytes with bad check") << 0x40 << hex("4001020341") << false;
    QTest::newRow("0x12, valid 5 bytes") << 0x12 << hex("1201020312") << true;
    QTest::newRow("0x12, valid 6 bytes") << 0x12 << hex("102030010203") << false;
    QTest::newRow("0x01, reading") << 0x01 << hex("04D3D7") << true;
    QTest::newRow("0x01, two equal bytes: wait for the third") << 0x01 << hex("0505") << false;
}

void TestFraming::thermometerCommandReplyIsCompleteOnValidFrame()
{
    QFETCH(int, code);
    QFETCH(QByteArray, reply);
    QFETCH(bool, complete);

    QCOMPARE(KelvraFraming::isCommandReply(uchar(code), reply), complete);
}

void TestFraming::replyIsJudgedWholeAfterEachRead_data()
{
    QTest::addColumn<QByteArrayList>("reads");
    QTest::addColumn<int>("completeAfter"); // reads taken until complete; -1: never
    QTest::addColumn<QByteArray>("bytes");

    const QByteArray reading = hex("E80300000000D00742");
    QTest::newRow("one read") << QByteArrayList {reading} << 1 << reading;
    QTest::newRow("split anywhere, empty reads between")
        << QByteArrayList {reading.left(1), QByteArray(), reading.mid(1, 6), reading.mid(7)} << 4 << reading;
    QTest::newRow("later reads are no part of it")
        << QByteArrayList {reading, hex("00"), reading} << 1 << reading;
    QTest::newRow("joined with a stray byte in one read")
        << QByteArrayList {reading + hex("00"), reading} << -1 << reading + hex("00") + reading;
    QTest::newRow("nothing arrives") << QByteArrayList {QByteArray(), QByteArray()} << -1 << QByteArray();
}

void TestFraming::replyIsJudgedWholeAfterEachRead()
{
    QFETCH(QByteArrayList, reads);
    QFETCH(int, completeAfter);
    QFETCH(QByteArray, bytes);

    ReplyCollector reply(&Framing::isChecksumReply);
    int taken = -1;
    for (int i = 0; i < reads.size(); ++i) {
        if (reply.add(reads.at(i)) && taken < 0)
            taken = i + 1;
    }
    QCOMPARE(taken, completeAfter);
    QCOMPARE(reply.isComplete(), completeAfter > 0);
    QCOMPARE(reply.bytes().toHex(' '), bytes.toHex(' '));
}

QTEST_APPLESS_MAIN(TestFraming)
#include "tst_framing.moc"
