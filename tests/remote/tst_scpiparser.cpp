#include "remote/allowlist.h"
#include "remote/scpierrorqueue.h"
#include "remote/scpiparser.h"

#include <QTest>

namespace {

// Every byte of a literal, NULs included, without counting them by hand.
template<int N>
QByteArray bytes(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

const QStringList kPatterns = {
    "*IDN?", "SYSTem:ERRor[:NEXT]?", "SOURce:SPOint", "SOURce:SPOint?", "SYSTem:LINK:OPEN", "PROGram:STATe"};

// Each unit as "index(param|param)" or "error"; numbers as parsed, strings in brackets.
QString described(const QVector<ScpiUnit> &units)
{
    QStringList out;
    for (const ScpiUnit &unit : units) {
        if (unit.command < 0) {
            out << QString::number(unit.error);
            continue;
        }
        QStringList parameters;
        for (const ScpiParameter &p : unit.parameters) {
            switch (p.kind) {
            case ScpiParameter::Kind::Number:
                parameters << QString::number(p.number) + QLatin1Char(':') + QString::number(p.decimals)
                        + (p.suffix.isEmpty() ? QString() : QLatin1Char(':') + p.suffix);
                break;
            case ScpiParameter::Kind::String:
                parameters << QLatin1Char('[') + p.text + QLatin1Char(']');
                break;
            case ScpiParameter::Kind::Word:
                parameters << p.text;
                break;
            }
        }
        out << QString::number(unit.command) + QLatin1Char('(') + parameters.join(QLatin1Char('|'))
                + QLatin1Char(')');
    }
    return out.join(QLatin1Char(' '));
}

} // namespace

class TestScpiParser : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void errorQueueOverflows();
    void allowList_data();
    void allowList();
};

void TestScpiParser::parse_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("units");
    QTest::newRow("common query") << QByteArray("*idn?") << "0()";
    QTest::newRow("long form, optional node") << QByteArray("SYSTem:ERRor:NEXT?") << "1()";
    QTest::newRow("short form, node left out") << QByteArray("syst:err?") << "1()";
    QTest::newRow("leading colon, mixed case") << QByteArray(":SoUrCe:SpOiNt 25.5") << "2(25.5:1)";
    QTest::newRow("decimals as written")
        << QByteArray("SOUR:SPO 30.0000001,3.050E1,305e-1,-.5,2.E3") << "2(30:7|30.5:1|30.5:1|-0.5:1|2000:0)";
    QTest::newRow("neither long nor short") << QByteArray("SOURC:SPO 1") << "-113";
    QTest::newRow("query form of a command only") << QByteArray("PROG:STAT?") << "-113";
    QTest::newRow("several units") << QByteArray("SOUR:SPO 1e1; SOUR:SPO?;;*IDN?") << "2(10:0) 3() 0()";
    QTest::newRow("quoted ; and ,") << QByteArray("SYST:LINK:OPEN \"a;b,c\",9600,VBM100")
                                    << "4([a;b,c]|9600:0|VBM100)";
    QTest::newRow("doubled quote") << QByteArray("SYST:LINK:OPEN 'it''s'") << "4([it's])";
    QTest::newRow("unterminated string") << QByteArray("SYST:LINK:OPEN \"abc") << "-151";
    QTest::newRow("empty parameter") << QByteArray("SYST:LINK:OPEN 1,,2") << "-109";
    QTest::newRow("not a value") << QByteArray("SOUR:SPO 1.2.3") << "-104";
    QTest::newRow("bad header") << QByteArray("SOUR::SPO 1") << "-102";
    QTest::newRow("control bytes") << bytes("\x01\xff\x00 SOUR") << "-102";
    QTest::newRow("blank") << QByteArray("  \t ") << "";
    // The control bytes are white space: they part what they stand between, and cut nothing.
    QTest::newRow("NUL before a header") << bytes("\x00*IDN?") << "0()";
    QTest::newRow("NUL before a separator") << bytes("SOUR:SPO 60\x00;SOUR:SPO 59") << "2(60:0) 2(59:0)";
    QTest::newRow("NUL inside a number: two things where one was wanted")
        << bytes("SOUR:SPO 4\0005") << "-102";
    QTest::newRow("NUL inside a header") << bytes("SOUR:S\x00PO 4") << "-113";
    QTest::newRow("a unit after a number") << QByteArray("SOUR:SPO 45CEL;SOUR:SPO 318.15 K;SOUR:SPO 1e2far")
                                           << "2(45:0:CEL) 2(318.15:2:K) 2(100:0:FAR)";
    QTest::newRow("two words are no unit") << QByteArray("SOUR:SPO 45 CEL C") << "-102";
    QTest::newRow("control bytes in a string") << bytes("SYST:LINK:OPEN \"a\001\037b\"") << "4([a  b])";
}

void TestScpiParser::parse()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, units);
    QCOMPARE(described(ScpiParser(kPatterns).parse(line)), units);
}

void TestScpiParser::errorQueueOverflows()
{
    ScpiErrorQueue queue;
    for (int i = 1; i <= ScpiErrorQueue::kCapacity + 3; ++i)
        queue.push(-100 - i, QStringLiteral("E"));
    QCOMPARE(queue.size(), ScpiErrorQueue::kCapacity);
    for (int i = 1; i < ScpiErrorQueue::kCapacity; ++i)
        QCOMPARE(queue.next(), QByteArray::number(-100 - i) + ",\"E\"");
    QCOMPARE(queue.next(), QByteArray("-350,\"Queue overflow\""));
    QCOMPARE(queue.next(), QByteArray("0,\"No error\""));
}

void TestScpiParser::allowList_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("client");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("empty allows nobody") << ""
                                         << "127.0.0.1" << false;
    QTest::newRow("in range") << "192.168.1.0/24,10.0.0.5"
                              << "192.168.1.77" << true;
    QTest::newRow("outside range") << "192.168.1.0/24"
                                   << "192.168.2.1" << false;
    QTest::newRow("single address") << "192.168.1.0/24, 10.0.0.5"
                                    << "10.0.0.5" << true;
    QTest::newRow("mapped IPv4") << "10.0.0.0/8"
                                 << "::ffff:10.1.2.3" << true;
    QTest::newRow("mapped IPv4 entry") << "::ffff:10.0.0.5"
                                       << "10.0.0.5" << true;
    QTest::newRow("IPv6 range") << "fd00::/8"
                                << "fd12::1" << true;
    QTest::newRow("garbage entry ignored") << "nonsense,10.0.0.5"
                                           << "10.0.0.5" << true;
}

void TestScpiParser::allowList()
{
    QFETCH(QString, list);
    QFETCH(QString, client);
    QFETCH(bool, allowed);
    QCOMPARE(AllowList(list).allows(QHostAddress(client)), allowed);
}

QTEST_APPLESS_MAIN(TestScpiParser)
#include "tst_scpiparser.moc"
