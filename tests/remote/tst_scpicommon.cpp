#include "remote/scpiclient.h"
#include "remote/scpicommon.h"
#include "remote/scpinumeric.h"
#include "remote/scpiparser.h"

#include <QTest>

namespace {

// A client whose answers are kept in order, for the commands that concern only the client.
class FakeClient : public ScpiClient
{
public:
    int id() const override { return 1; }
    QString origin() const override { return QStringLiteral("test"); }
    ScpiErrorQueue &errors() override { return m_errors; }
    ScpiStatus &status() override { return m_status; }
    bool messageAvailable() const override { return false; }
    quint64 reserve() override { return m_answers.size(); }
    void answer(quint64, const QByteArray &text) override { m_answers << QString::fromLatin1(text); }
    void hold() override { }
    void release() override { }

    QStringList m_answers;

private:
    ScpiErrorQueue m_errors;
    ScpiStatus m_status;
};

// "!oper N" and "!ques N" set a register's condition as the station would; other lines are commands.
QStringList play(const QStringList &script)
{
    const ScpiParser parser(ScpiCommon::patterns() + QStringList {QStringLiteral("SYSTem:ERRor?")});
    const int errorQuery = ScpiCommon::patterns().size();
    FakeClient client;
    for (const QString &line : script) {
        if (line.startsWith(QLatin1String("!oper ")))
            client.status().operation.update(quint16(line.mid(6).toUInt()));
        else if (line.startsWith(QLatin1String("!ques ")))
            client.status().questionable.update(quint16(line.mid(6).toUInt()));
        else if (line.startsWith(QLatin1String("!error ")))
            client.errors().push(line.mid(7).toInt(), QStringLiteral("test"));
        else {
            for (const ScpiUnit &unit : parser.parse(line.toLatin1())) {
                if (unit.command < 0)
                    client.errors().push(unit.error, unit.errorText);
                else if (unit.command == errorQuery)
                    client.m_answers << QString::fromLatin1(client.errors().next());
                else
                    ScpiCommon::execute(client, unit.command, unit.parameters);
            }
        }
    }
    return client.m_answers;
}

} // namespace

// IEEE 488.2's common commands and SCPI's status registers, as one client sees them; and the numeric
// parameters' bounds and units.
class TestScpiCommon : public QObject
{
    Q_OBJECT

private slots:
    void commonCommandsKeepTheClientsRegisters_data();
    void commonCommandsKeepTheClientsRegisters();
    void statusRegistersLatchWhatRoseUntilRead_data();
    void statusRegistersLatchWhatRoseUntilRead();
    void numericParametersTakeBoundsAndUnits_data();
    void numericParametersTakeBoundsAndUnits();
};

void TestScpiCommon::commonCommandsKeepTheClientsRegisters_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QStringList>("answers");

    QTest::newRow("nothing happened")
        << QStringList {"*ESR?;*STB?;*ESE?;*SRE?"} << QStringList {"0", "0", "0", "0"};
    QTest::newRow("*OPC completes at once: every command before it is done")
        << QStringList {"*OPC;*ESR?;*ESR?"} << QStringList {"1", "0"};
    QTest::newRow("each error class raises its bit, read once") << QStringList {"!error -113", "!error -222",
        "!error -350", "!error -410", "*ESR?;*ESR?"} << QStringList {"60", "0"};
    QTest::newRow("an error queued shows in the status byte until read") << QStringList {
        "!error -222", "*STB?", "SYST:ERR?", "*STB?"} << QStringList {"4", "-222,\"test\"", "0"};
    QTest::newRow("an enabled event sets the summary and asks for service")
        << QStringList {"*ESE 16;*SRE 32", "!error -222", "SYST:ERR?", "*STB?", "*ESR?", "*STB?"}
        << QStringList {"-222,\"test\"", "96", "16", "0"};
    QTest::newRow("the request bit cannot be enabled; masks round, and stay within a byte")
        << QStringList {"*SRE 255;*SRE?", "*ESE 7.6;*ESE?", "*ESE 256", "SYST:ERR?", "*ESE?"}
        << QStringList {"191", "8", "-222,\"Data out of range\"", "8"};
    QTest::newRow("*CLS clears the event status and the queue, not the enables") << QStringList {"*ESE 32",
        "!error -102", "*CLS", "*ESR?;*ESE?;SYST:ERR?"} << QStringList {"0", "32", "0,\"No error\""};
    QTest::newRow("*RST, *WAI and *OPC? change nothing")
        << QStringList {"*ESE 4;*RST;*WAI;*OPC?;*ESE?"} << QStringList {"1", "4"};
    QTest::newRow("a mask that is no number") << QStringList {"*ESE ON", "*ESE",
        "SYST:ERR?;SYST:ERR?"} << QStringList {"-104,\"Data type error\"", "-109,\"Missing parameter\""};
}

void TestScpiCommon::commonCommandsKeepTheClientsRegisters()
{
    QFETCH(QStringList, script);
    QTEST(play(script), "answers");
}

void TestScpiCommon::statusRegistersLatchWhatRoseUntilRead_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QStringList>("answers");

    const QString stable = QString::number(ScpiStatus::Stable);
    const QString silent = QString::number(ScpiStatus::Silent);
    QTest::newRow("a condition that rose and fell stays an event until read")
        << QStringList {"!ques " + silent, "!ques 0", "STAT:QUES:COND?;STAT:QUES?;STAT:QUES:EVEN?"}
        << QStringList {"0", silent, "0"};
    QTest::newRow("a condition that holds is no new event") << QStringList {"!oper " + stable, "STAT:OPER?",
        "!oper " + stable, "STAT:OPER?;STAT:OPER:COND?"} << QStringList {stable, "0", stable};
    QTest::newRow("an enabled event sets its summary in the status byte") << QStringList {
        "STAT:OPER:ENAB " + stable + ";STAT:QUES:ENAB " + silent, "!oper " + stable, "*STB?",
        "!ques " + silent, "*STB?", "STAT:OPER?;*STB?"} << QStringList {"128", "136", stable, "8"};
    QTest::newRow("PRESet takes the enables away, *CLS the events") << QStringList {"STAT:OPER:ENAB 256",
        "!oper " + stable, "STAT:PRES;STAT:OPER:ENAB?;*STB?;*CLS;STAT:OPER?"}
                                                                    << QStringList {"0", "0", "0"};
}

void TestScpiCommon::statusRegistersLatchWhatRoseUntilRead()
{
    QFETCH(QStringList, script);
    QTEST(play(script), "answers");
}

void TestScpiCommon::numericParametersTakeBoundsAndUnits_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("quantity");
    QTest::addColumn<QString>("read"); // "value/decimals", or the error

    const int temperature = int(ScpiNumeric::Quantity::Temperature);
    const int seconds = int(ScpiNumeric::Quantity::Seconds);
    QTest::newRow("as written") << QByteArray("X 45.5") << temperature << "45.5/1";
    QTest::newRow("Celsius") << QByteArray("X 45CEL") << temperature << "45/0";
    QTest::newRow("kelvin") << QByteArray("X 318.15 K") << temperature << "45/0";
    QTest::newRow("Fahrenheit, exactly") << QByteArray("X 113 FAR") << temperature << "45/0";
    QTest::newRow("Fahrenheit, to the thousandth") << QByteArray("X 100FAR") << temperature << "37.777778/6";
    const int difference = int(ScpiNumeric::Quantity::TemperatureDifference);
    QTest::newRow("a band in kelvin is the same in Celsius")
        << QByteArray("X 0.5 K") << difference << "0.5/1";
    QTest::newRow("a band in Fahrenheit") << QByteArray("X 0.9FAR") << difference << "0.5/1";
    QTest::newRow("seconds") << QByteArray("X 30 S") << seconds << "30/0";
    QTest::newRow("a unit the quantity has not") << QByteArray("X 30 K") << seconds << "-131";
    QTest::newRow("no such unit") << QByteArray("X 45 V") << temperature << "-131";
    QTest::newRow("MIN") << QByteArray("X MIN") << temperature << "-30/0";
    QTest::newRow("MAX") << QByteArray("X max") << temperature << "125/0";
    QTest::newRow("DEF") << QByteArray("X DEF") << temperature << "20.5/1";
    QTest::newRow("another word") << QByteArray("X ON") << temperature << "-224";
    QTest::newRow("a string") << QByteArray("X \"45\"") << temperature << "-104";
}

void TestScpiCommon::numericParametersTakeBoundsAndUnits()
{
    QFETCH(QByteArray, line);
    QFETCH(int, quantity);
    const QVector<ScpiUnit> units = ScpiParser({QStringLiteral("X")}).parse(line);
    QCOMPARE(units.size(), 1);
    ScpiErrorQueue errors;
    const std::optional<ScpiNumeric::Value> value = ScpiNumeric::read(
        units.at(0).parameters.at(0), ScpiNumeric::Quantity(quantity), {-30, 125, 20.5}, errors);
    const QString read = value
        ? QString::number(value->value, 'g', 8) + QLatin1Char('/') + QString::number(value->decimals)
        : QString::fromLatin1(errors.next()).section(QLatin1Char(','), 0, 0);
    QTEST(read, "read");
}

QTEST_GUILESS_MAIN(TestScpiCommon)
#include "tst_scpicommon.moc"
