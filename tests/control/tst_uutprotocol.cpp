#include "control/uutprotocol.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <algorithm>

namespace {

using Purpose = UutProtocol::Purpose;

QJsonObject exampleObject(const QString &name)
{
    QFile file(QDir(QStringLiteral(BB_UUT_SOURCE_DIR)).filePath(name + QStringLiteral(".bbuut")));
    if (!file.open(QIODevice::ReadOnly))
        return QJsonObject();
    return QJsonDocument::fromJson(file.readAll()).object();
}

// The shipped examples by their kind, and variants of them for what no example shows.
UutDriver driverNamed(const QString &name)
{
    QJsonObject o;
    if (name == QLatin1String("ascii-echo")) {
        o = exampleObject(QStringLiteral("ascii-ir"));
        QJsonObject line = o.value(QStringLiteral("line")).toObject();
        line.insert(QStringLiteral("echo"), true);
        o.insert(QStringLiteral("line"), line);
    } else if (name == QLatin1String("ascii-017")) {
        o = exampleObject(QStringLiteral("ascii-ir"));
        o.insert(QStringLiteral("address"), QStringLiteral("017"));
    } else if (name == QLatin1String("scpi-listen")) {
        o = exampleObject(QStringLiteral("scpi-readout"));
        o.insert(QStringLiteral("mode"), QStringLiteral("listen"));
        o.insert(QStringLiteral("replyTimeoutMs"), 2000);
        o.insert(QStringLiteral("retries"), 0);
    } else if (name.startsWith(QLatin1String("modbus")) || name.startsWith(QLatin1String("checked"))) {
        // A register read with CRC-16/Modbus, or sum8/xor as hex digits over all but a leading ':'.
        const bool modbus = name.startsWith(QLatin1String("modbus"));
        o = QJsonDocument::fromJson(modbus ? R"json({
            "version": 1, "name": "Register meter", "framing": {"replyLength": 7},
            "checksum": {"kind": "crc16modbus"},
            "commands": {"read": {"bytes": "01 03 00 00 00 01",
                "decoder": {"kind": "binary", "at": 3, "width": 2, "signed": true, "scale": 0.01}}}
        })json"
                                           : R"json({
            "version": 1, "name": "Checked meter",
            "framing": {"writeTerminator": "\r", "readTerminator": "\r"},
            "checksum": {"kind": "sum8", "format": "hex", "from": 1},
            "commands": {"read": {"text": ":T", "decoder": {"kind": "regex", "pattern": ":T([0-9.]+)"}}}
        })json")
                .object();
        if (name.endsWith(QLatin1String("-xor")))
            o.insert(
                QStringLiteral("checksum"), QJsonObject {{"kind", "xor"}, {"format", "hex"}, {"from", 1}});
    } else {
        o = exampleObject(name);
    }
    const UutDriverRead read = readUutDriver(QJsonDocument(o).toJson());
    if (!read.driver)
        qFatal("test driver %s: %s", qPrintable(name), qPrintable(read.error));
    return *read.driver;
}

const UutCommand &commandFor(const UutDriver &driver, Purpose purpose)
{
    if (purpose == Purpose::SetEmissivity)
        return *driver.setEmissivity;
    if (purpose == Purpose::QueryEmissivity)
        return *driver.queryEmissivity;
    return driver.read;
}

Purpose purposeNamed(const QString &name)
{
    if (name == QLatin1String("set"))
        return Purpose::SetEmissivity;
    if (name == QLatin1String("query"))
        return Purpose::QueryEmissivity;
    if (name == QLatin1String("check"))
        return Purpose::Check;
    return Purpose::Reading;
}

QString kindName(UutReading::Kind kind)
{
    static const char *const names[] = {"value", "error", "timeout", "garbage", "lost"};
    return QLatin1String(names[int(kind)]);
}

// "\r" and "\n" in a table's text stand for the control characters.
QByteArray bytesOf(const QString &text)
{
    if (text.startsWith(QLatin1String("hex:")))
        return QByteArray::fromHex(text.mid(4).toLatin1());
    QString t = text;
    return t.replace(QLatin1String("\\r"), QLatin1String("\r"))
        .replace(QLatin1String("\\n"), QLatin1String("\n"))
        .toLatin1();
}

QString step(qint64 now, const UutProtocol::Step &s, const UutDriver &driver)
{
    if (s.kind == UutProtocol::Step::Kind::Write)
        return QStringLiteral("%1 write %2").arg(now).arg(UutProtocol::rawText(driver, s.bytes));
    const UutReading &r = s.reading;
    const QString what = r.kind == UutReading::Kind::Value
        ? QString::number(r.value)
        : QLatin1Char('\'') + r.meaning + QLatin1Char('\'');
    return QStringLiteral("%1 answer %2 %3 %4 x%5%6")
        .arg(now)
        .arg(s.token)
        .arg(kindName(r.kind), what)
        .arg(r.attempts)
        .arg(r.pausesRun ? QStringLiteral(" pause") : QString());
}

} // namespace

class TestUutProtocol : public QObject
{
    Q_OBJECT

private slots:
    void requestCarriesTemplateValueChecksumAndTerminator_data();
    void requestCarriesTemplateValueChecksumAndTerminator();
    void replyIsJudgedErrorPatternBeforeDecoder_data();
    void replyIsJudgedErrorPatternBeforeDecoder();
    void rawReplyIsHexForBinaryAndEscapedTextOtherwise_data();
    void rawReplyIsHexForBinaryAndEscapedTextOtherwise();
    void exchangesRunOnTheVirtualClock_data();
    void exchangesRunOnTheVirtualClock();
    void droppedExchangesReturnTheirTokens();
};

void TestUutProtocol::requestCarriesTemplateValueChecksumAndTerminator_data()
{
    QTest::addColumn<QString>("driver");
    QTest::addColumn<QString>("purpose");
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("bytes"); // empty: refused

    QTest::newRow("ascii read") << "ascii-ir"
                                << "read" << 0.0 << QByteArray("?T\r");
    QTest::newRow("ascii with address") << "ascii-017"
                                        << "read" << 0.0 << QByteArray("017?T\r");
    QTest::newRow("ascii set three decimals") << "ascii-ir"
                                              << "set" << 0.95 << QByteArray("E=0.950\r");
    QTest::newRow("ascii query") << "ascii-ir"
                                 << "query" << 0.0 << QByteArray("?E\r");
    QTest::newRow("addressed read") << "addressed-ir"
                                    << "read" << 0.0 << QByteArray("00ms\r");
    QTest::newRow("addressed query") << "addressed-ir"
                                     << "query" << 0.0 << QByteArray("00em\r");
    QTest::newRow("binary read") << "binary-ir"
                                 << "read" << 0.0 << QByteArray::fromHex("01");
    QTest::newRow("binary set: 950 big-endian") << "binary-ir"
                                                << "set" << 0.95 << QByteArray::fromHex("8403b6");
    // 0.1 / 0.001 is 99.99999...: rounded, not cut.
    QTest::newRow("binary set rounds") << "binary-ir"
                                       << "set" << 0.1 << QByteArray::fromHex("840064");
    QTest::newRow("binary set beyond the field") << "binary-ir"
                                                 << "set" << 70.0 << QByteArray();
    QTest::newRow("binary set negative into unsigned") << "binary-ir"
                                                       << "set" << -0.5 << QByteArray();
    QTest::newRow("binary query") << "binary-ir"
                                  << "query" << 0.0 << QByteArray::fromHex("04");
    QTest::newRow("scpi read") << "scpi-readout"
                               << "read" << 0.0 << QByteArray("FETC?\n");
    QTest::newRow("crc16 modbus, low byte first") << "modbus"
                                                  << "read" << 0.0 << QByteArray::fromHex("010300000001840a");
    QTest::newRow("sum8 as hex after the colon") << "checked"
                                                 << "read" << 0.0 << QByteArray(":T54\r");
    QTest::newRow("xor as hex after the colon") << "checked-xor"
                                                << "read" << 0.0 << QByteArray(":T54\r");
}

void TestUutProtocol::requestCarriesTemplateValueChecksumAndTerminator()
{
    QFETCH(QString, driver);
    QFETCH(QString, purpose);
    QFETCH(double, value);
    QFETCH(QByteArray, bytes);

    const UutDriver d = driverNamed(driver);
    QCOMPARE(UutProtocol::requestBytes(d, commandFor(d, purposeNamed(purpose)), value).toHex(' '),
        bytes.toHex(' '));
}

void TestUutProtocol::replyIsJudgedErrorPatternBeforeDecoder_data()
{
    QTest::addColumn<QString>("driver");
    QTest::addColumn<QString>("purpose");
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("meaning");
    QTest::addColumn<bool>("retry");

    QTest::newRow("ascii reading") << "ascii-ir"
                                   << "read"
                                   << "!T050.12\\r"
                                   << "value" << 50.12 << "" << false;
    QTest::newRow("ascii reading below zero") << "ascii-ir"
                                              << "read"
                                              << "!T-012.50\\r"
                                              << "value" << -12.5 << "" << false;
    QTest::newRow("ascii reading with address") << "ascii-ir"
                                                << "read"
                                                << "017!T050.12\\r"
                                                << "value" << 50.12 << "" << false;
    QTest::newRow("ascii syntax error") << "ascii-ir"
                                        << "read"
                                        << "*Syntax Error\\r"
                                        << "error" << 0.0 << "command refused" << false;
    QTest::newRow("ascii emissivity") << "ascii-ir"
                                      << "query"
                                      << "!E0.950\\r"
                                      << "value" << 0.95 << "" << false;
    QTest::newRow("ascii emissivity reply to a read") << "ascii-ir"
                                                      << "read"
                                                      << "!E0.950\\r"
                                                      << "garbage" << 0.0 << "reply not understood" << true;
    QTest::newRow("ascii line noise") << "ascii-ir"
                                      << "read"
                                      << "!T05\x7f.12\\r"
                                      << "garbage" << 0.0 << "reply not understood" << true;
    QTest::newRow("addressed tenths") << "addressed-ir"
                                      << "read"
                                      << "05012\\r"
                                      << "value" << 501.2 << "" << false;
    QTest::newRow("addressed 77770 is not 7777.0") << "addressed-ir"
                                                   << "read"
                                                   << "77770\\r"
                                                   << "error" << 0.0 << "not ready" << true;
    QTest::newRow("addressed over range") << "addressed-ir"
                                          << "read"
                                          << "88880\\r"
                                          << "error" << 0.0 << "over range" << false;
    QTest::newRow("addressed bad command") << "addressed-ir"
                                           << "read"
                                           << "no\\r"
                                           << "error" << 0.0 << "bad command" << false;
    QTest::newRow("addressed emissivity") << "addressed-ir"
                                          << "query"
                                          << "0950\\r"
                                          << "value" << 0.95 << "" << false;
    QTest::newRow("addressed three digits") << "addressed-ir"
                                            << "read"
                                            << "501\\r"
                                            << "garbage" << 0.0 << "reply not understood" << true;
    QTest::newRow("binary 50.0") << "binary-ir"
                                 << "read"
                                 << "hex:05dc"
                                 << "value" << 50.0 << "" << false;
    QTest::newRow("binary below zero") << "binary-ir"
                                       << "read"
                                       << "hex:015e"
                                       << "value" << -65.0 << "" << false;
    QTest::newRow("binary over range") << "binary-ir"
                                       << "read"
                                       << "hex:ffff"
                                       << "error" << 0.0 << "over range" << false;
    QTest::newRow("binary emissivity") << "binary-ir"
                                       << "query"
                                       << "hex:03b6"
                                       << "value" << 0.95 << "" << false;
    QTest::newRow("scpi bare number") << "scpi-readout"
                                      << "read"
                                      << "50.123\\n"
                                      << "value" << 50.123 << "" << false;
    QTest::newRow("scpi labelled") << "scpi-readout"
                                   << "read"
                                   << "t: 50.123 C\\n"
                                   << "value" << 50.123 << "" << false;
    QTest::newRow("scpi exponent and CR") << "scpi-readout"
                                          << "read"
                                          << "+5.0123E+01\\r\\n"
                                          << "value" << 50.123 << "" << false;
    QTest::newRow("scpi error") << "scpi-readout"
                                << "read"
                                << "-113,\"Undefined header\"\\n"
                                << "error" << 0.0 << "instrument error" << false;
    QTest::newRow("scpi words") << "scpi-readout"
                                << "read"
                                << "hello\\n"
                                << "garbage" << 0.0 << "reply not understood" << true;
    QTest::newRow("modbus good, signed") << "modbus"
                                         << "read"
                                         << "hex:010302fed4f87b"
                                         << "value" << -3.0 << "" << false;
    QTest::newRow("modbus bad crc") << "modbus"
                                    << "read"
                                    << "hex:010302fed4f87c"
                                    << "garbage" << 0.0 << "checksum mismatch" << true;
    QTest::newRow("sum8 good") << "checked"
                               << "read"
                               << ":T1.5E8\\r"
                               << "value" << 1.5 << "" << false;
    QTest::newRow("sum8 bad") << "checked"
                              << "read"
                              << ":T1.5E9\\r"
                              << "garbage" << 0.0 << "checksum mismatch" << true;
    QTest::newRow("too short for a check") << "checked"
                                           << "read"
                                           << "D\\r"
                                           << "garbage" << 0.0 << "checksum mismatch" << true;
}

void TestUutProtocol::replyIsJudgedErrorPatternBeforeDecoder()
{
    QFETCH(QString, driver);
    QFETCH(QString, purpose);
    QFETCH(QString, reply);
    QFETCH(QString, kind);
    QFETCH(double, value);
    QFETCH(QString, meaning);
    QFETCH(bool, retry);

    const UutDriver d = driverNamed(driver);
    const UutProtocol::Judgement j
        = UutProtocol::judge(d, commandFor(d, purposeNamed(purpose)), bytesOf(reply));
    QCOMPARE(kindName(j.kind), kind);
    QCOMPARE(j.value, value);
    QCOMPARE(j.meaning, meaning);
    QCOMPARE(j.retry, retry);
}

void TestUutProtocol::rawReplyIsHexForBinaryAndEscapedTextOtherwise_data()
{
    QTest::addColumn<QString>("driver");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("raw");

    QTest::newRow("text") << "ascii-ir" << QByteArray("!T050.12\r") << "!T050.12\\r";
    QTest::newRow("text with control bytes")
        << "scpi-readout" << QByteArray("\x02ok\\\t\xff\n") << "\\x02ok\\\\\\t\\xff\\n";
    QTest::newRow("binary") << "binary-ir" << QByteArray::fromHex("015e") << "01 5e";
}

void TestUutProtocol::rawReplyIsHexForBinaryAndEscapedTextOtherwise()
{
    QFETCH(QString, driver);
    QFETCH(QByteArray, reply);
    QFETCH(QString, raw);

    QCOMPARE(UutProtocol::rawText(driverNamed(driver), reply), raw);
}

void TestUutProtocol::exchangesRunOnTheVirtualClock_data()
{
    QTest::addColumn<QString>("driver");
    // "TIME ask TOKEN read|set|query|check [VALUE]", "TIME in TEXT", "TIME init"; deadlines in between are
    // kept by the script itself.
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QStringList>("steps");

    QTest::newRow("reading") << "ascii-ir" << QStringList {"0 ask 1 read", "30 in !T050.12\\r"}
                             << QStringList {"0 write ?T\\r", "30 answer 1 value 50.12 x1"};
    QTest::newRow("dropped reply retried")
        << "ascii-ir" << QStringList {"0 ask 1 read", "530 in !T050.12\\r"}
        << QStringList {"0 write ?T\\r", "500 write ?T\\r", "530 answer 1 value 50.12 x2"};
    QTest::newRow("timeout after the retries")
        << "ascii-ir" << QStringList {"0 ask 1 read"}
        << QStringList {"0 write ?T\\r", "500 write ?T\\r", "1000 write ?T\\r",
               "1500 answer 1 timeout 'no reply within 500 ms' x3 pause"};
    QTest::newRow("garbage retried until it gives up")
        << "ascii-ir" << QStringList {"0 ask 1 read", "10 in ??\\r", "40 in ??\\r", "70 in ??\\r"}
        << QStringList {"0 write ?T\\r", "30 write ?T\\r", "60 write ?T\\r",
               "70 answer 1 garbage 'reply not understood' x3 pause"};
    QTest::newRow("reply cut short by the inter-byte timeout")
        << "ascii-ir" << QStringList {"0 ask 1 read", "10 in !T05", "200 in !T050.12\\r"}
        << QStringList {"0 write ?T\\r", "130 write ?T\\r", "200 answer 1 value 50.12 x2"};
    QTest::newRow("not ready retried after its delay")
        << "addressed-ir" << QStringList {"0 ask 1 read", "10 in 77770\\r", "250 in 05012\\r"}
        << QStringList {"0 write 00ms\\r", "210 write 00ms\\r", "250 answer 1 value 501.2 x2"};
    QTest::newRow("not ready to the end pauses")
        << "addressed-ir"
        << QStringList {"0 ask 1 read", "10 in 77770\\r", "220 in 77770\\r", "430 in 77770\\r"}
        << QStringList {"0 write 00ms\\r", "210 write 00ms\\r", "420 write 00ms\\r",
               "430 answer 1 error 'not ready' x3 pause"};
    QTest::newRow("over range pauses at once")
        << "addressed-ir" << QStringList {"0 ask 1 read", "10 in 88880\\r"}
        << QStringList {"0 write 00ms\\r", "10 answer 1 error 'over range' x1 pause"};
    QTest::newRow("queued asks wait between commands")
        << "ascii-ir"
        << QStringList {"0 ask 1 read", "0 ask 2 query", "30 in !T050.12\\r", "60 in !E0.950\\r"}
        << QStringList {
               "0 write ?T\\r", "30 answer 1 value 50.12 x1", "50 write ?E\\r", "60 answer 2 value 0.95 x1"};
    // The set's own echo is its reply, never taken for the query's answer that follows.
    QTest::newRow("emissivity set, its echo, then the query")
        << "ascii-ir"
        << QStringList {"0 ask 1 set 0.95", "0 ask 2 query", "10 in !E0.950\\r", "50 in !E0.950\\r"}
        << QStringList {"0 write E=0.950\\r", "10 answer 1 value 0.95 x1", "30 write ?E\\r",
               "50 answer 2 value 0.95 x1"};
    QTest::newRow("emissivity out of the field's range")
        << "binary-ir" << QStringList {"0 ask 1 set 70"}
        << QStringList {"0 answer 1 error 'value out of the command's range' x0 pause"};
    QTest::newRow("no such command") << "addressed-ir" << QStringList {"0 ask 1 set 0.95"}
                                     << QStringList {
                                            "0 answer 1 error 'the driver has no such command' x0 pause"};
    QTest::newRow("binary in two pieces")
        << "binary-ir" << QStringList {"0 ask 1 read", "5 in hex:05", "8 in hex:dc"}
        << QStringList {"0 write 01", "8 answer 1 value 50 x1"};
    QTest::newRow("echo skipped") << "ascii-echo" << QStringList {"0 ask 1 read", "5 in ?T\\r!T050.12\\r"}
                                  << QStringList {"0 write ?T\\r", "5 answer 1 value 50.12 x1"};
    QTest::newRow("unasked bytes dropped in poll mode")
        << "ascii-ir" << QStringList {"0 in !T099.00\\r", "5 ask 1 read", "30 in !T050.12\\r"}
        << QStringList {"5 write ?T\\r", "30 answer 1 value 50.12 x1"};
    QTest::newRow("listen takes the next reading sent")
        << "scpi-listen" << QStringList {"0 in 49.0\\n", "100 ask 1 read", "900 in 50.123\\n"}
        << QStringList {"900 answer 1 value 50.123 x1"};
    QTest::newRow("listen gives up") << "scpi-listen" << QStringList {"0 ask 1 check"}
                                     << QStringList {
                                            "2000 answer 1 timeout 'no reply within 2000 ms' x1 pause"};
    QTest::newRow("modbus bad crc retried")
        << "modbus" << QStringList {"0 ask 1 read", "10 in hex:010302fed4f87c", "40 in hex:010302fed4f87b"}
        << QStringList {"0 write 01 03 00 00 00 01 84 0a", "10 write 01 03 00 00 00 01 84 0a",
               "40 answer 1 value -3 x2"};
}

void TestUutProtocol::exchangesRunOnTheVirtualClock()
{
    QFETCH(QString, driver);
    QFETCH(QStringList, events);
    QFETCH(QStringList, steps);

    const UutDriver d = driverNamed(driver);
    UutProtocol protocol(d);
    QStringList log;
    const auto record = [&](qint64 now, const UutProtocol::Steps &out) {
        for (const UutProtocol::Step &s : out)
            log << step(now, s, d);
    };
    // Every deadline up to `until` is kept at its own time, as the worker's timer would.
    const auto runUntil = [&](qint64 until) {
        for (int guard = 0; guard < 100; ++guard) {
            const std::optional<qint64> due = protocol.nextDeadline();
            if (!due || *due > until)
                return;
            record(*due, protocol.tick(*due));
        }
        QFAIL("deadlines never end");
    };
    for (const QString &event : events) {
        const QStringList parts = event.split(QLatin1Char(' '));
        const qint64 now = parts.at(0).toLongLong();
        runUntil(now);
        if (parts.at(1) == QLatin1String("ask"))
            record(now,
                protocol.ask(parts.at(2).toInt(), purposeNamed(parts.at(3)), parts.value(4).toDouble(), now));
        else if (parts.at(1) == QLatin1String("in"))
            record(now, protocol.bytesIn(bytesOf(event.section(QLatin1Char(' '), 2)), now));
        else
            record(now, protocol.askInit(now));
    }
    runUntil(100000);
    QCOMPARE(log, steps);
    QVERIFY(protocol.idle());
}

void TestUutProtocol::droppedExchangesReturnTheirTokens()
{
    const UutDriver d = driverNamed(QStringLiteral("ascii-ir"));
    UutProtocol protocol(d);
    protocol.ask(7, Purpose::Reading, 0, 0);
    protocol.ask(8, Purpose::QueryEmissivity, 0, 0);
    const auto dropped = protocol.dropAll();
    QCOMPARE(dropped.size(), 2);
    QCOMPARE(dropped.at(0).first, 7);
    QCOMPARE(dropped.at(1).second, Purpose::QueryEmissivity);
    QVERIFY(protocol.idle());
    QVERIFY(!protocol.nextDeadline());
}

QTEST_GUILESS_MAIN(TestUutProtocol)
#include "tst_uutprotocol.moc"
