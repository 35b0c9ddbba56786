#include "devicesimulator.h"
#include "microtimer.h"
#include "simcommands.h"
#include "uutdevice.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>

namespace {

sim::UutDevice::Kind kindNamed(const QString &name)
{
    sim::UutDevice::Kind kind = sim::UutDevice::Kind::Ascii;
    sim::UutDevice::kindFromName(name, &kind);
    return kind;
}

// An instrument that looks at a source held at *source, with exact readings.
std::unique_ptr<sim::UutDevice> instrument(const QString &kind, const double *source, int baud = 9600)
{
    auto made = std::make_unique<sim::UutDevice>(
        kindNamed(kind), [source] { return *source; }, baud);
    made->setNoise(0.0);
    return made;
}

QByteArray repliesTo(sim::UutDevice &device, const QByteArray &requests)
{
    QByteArray replies;
    for (const sim::SimDevice::Exchange &exchange : device.receive(requests))
        replies += exchange.reply;
    return replies;
}

// What a pseudo-terminal keeps of a line: its baud rate and stop bits (Linux drops parity there).
void setLine(QSerialPort &client, const sim::LineSettings &line)
{
    client.setBaudRate(line.baud);
    client.setStopBits(line.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
}

} // namespace

class TestUutSim : public QObject
{
    Q_OBJECT

private slots:
    void eachKindAnswersItsCommands_data();
    void eachKindAnswersItsCommands();
    void readingIsTheGreyBodyViewOfTheSource_data();
    void readingIsTheGreyBodyViewOfTheSource();
    void sentinelsReplaceTheNextReadings_data();
    void sentinelsReplaceTheNextReadings();
    void repliesTakeTheCharacterTimeOfTheLine_data();
    void repliesTakeTheCharacterTimeOfTheLine();
    void dropAndLateCommandsHoldBackReplies_data();
    void dropAndLateCommandsHoldBackReplies();
    void scpiAnswersOverTcpAndPushesReadings();
    void pushedReadingsNobodyTookAreGone();
};

void TestUutSim::eachKindAnswersItsCommands_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<double>("source");
    // Console commands to the instrument first.
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<QByteArray>("requests");
    QTest::addColumn<QByteArray>("replies");

    const QStringList none {};
    QTest::newRow("ascii reading") << "ascii" << 50.12 << none << QByteArray("?T\r")
                                   << QByteArray("!T050.12\r");
    QTest::newRow("ascii below zero")
        << "ascii" << -5.5 << none << QByteArray("?T\r") << QByteArray("!T-05.50\r");
    QTest::newRow("ascii emissivity set, echoed, read back")
        << "ascii" << 50.0 << none << QByteArray("E=0.9\r?E\r") << QByteArray("!E0.900\r!E0.900\r");
    QTest::newRow("ascii emissivity out of range")
        << "ascii" << 50.0 << none << QByteArray("E=1.5\r?E\r") << QByteArray("*Syntax Error\r!E0.950\r");
    QTest::newRow("ascii unknown command")
        << "ascii" << 50.0 << none << QByteArray("?X\r") << QByteArray("*Syntax Error\r");
    QTest::newRow("ascii CR LF tolerated")
        << "ascii" << 50.12 << none << QByteArray("?T\r\n?E\r\n") << QByteArray("!T050.12\r!E0.950\r");
    QTest::newRow("ascii LF alone ends nothing")
        << "ascii" << 50.0 << none << QByteArray("?T\n") << QByteArray();
    QTest::newRow("ascii own address and none answered, another ignored")
        << "ascii" << 50.12 << QStringList {"address 017"} << QByteArray("017?T\r?T\r018?T\r")
        << QByteArray("!T050.12\r!T050.12\r");
    QTest::newRow("addressed reading in tenths")
        << "addressed" << 501.2 << none << QByteArray("00ms\r") << QByteArray("05012\r");
    QTest::newRow("addressed emissivity set, echoed, read back")
        << "addressed" << 50.0 << none << QByteArray("00em\r00es0900\r00em\r")
        << QByteArray("0950\r0900\r0900\r");
    QTest::newRow("addressed bad command and bad value")
        << "addressed" << 50.0 << none << QByteArray("00xx\r00es2000\r00es95\r")
        << QByteArray("no\rno\rno\r");
    QTest::newRow("addressed other address ignored") << "addressed" << 50.0 << QStringList {"address 07"}
                                                     << QByteArray("00ms\r07ms\r") << QByteArray("00500\r");
    QTest::newRow("binary reading") << "binary" << 50.0 << none << QByteArray::fromHex("01")
                                    << QByteArray::fromHex("05dc");
    QTest::newRow("binary emissivity set, echoed, read back")
        << "binary" << 50.0 << none << QByteArray::fromHex("04 840384 04")
        << QByteArray::fromHex("03b6 0384 0384");
    QTest::newRow("binary unknown bytes and a value it cannot take ignored")
        << "binary" << 50.0 << none << QByteArray::fromHex("02 7f 841388 01") << QByteArray::fromHex("05dc");
    QTest::newRow("scpi FETC? and MEAS?")
        << "scpi" << 50.123 << none << QByteArray("FETC?\nMEAS?\r\n") << QByteArray("50.123\n50.123\n");
    QTest::newRow("scpi long form, lower case")
        << "scpi" << 50.123 << none << QByteArray(":fetch?\n") << QByteArray("50.123\n");
    QTest::newRow("scpi unit form") << "scpi" << 50.123 << QStringList {"form unit"} << QByteArray("MEAS?\n")
                                    << QByteArray("t: 50.123 C\n");
    QTest::newRow("scpi identity") << "scpi" << 50.0 << none << QByteArray("*IDN?\n")
                                   << QByteArray("bbsim,simulated readout,0,1.0\n");
    QTest::newRow("scpi emissivity set silently, read back")
        << "scpi" << 50.0 << none << QByteArray("EMIS 0.9\nEMIS?\n") << QByteArray("0.900\n");
    QTest::newRow("scpi unknown command queues an error")
        << "scpi" << 50.0 << none << QByteArray("BOGUS\nSYST:ERR?\nSYST:ERR?\n")
        << QByteArray("-113,\"Undefined header\"\n0,\"No error\"\n");
}

void TestUutSim::eachKindAnswersItsCommands()
{
    QFETCH(QString, kind);
    QFETCH(double, source);
    QFETCH(QStringList, setup);
    QFETCH(QByteArray, requests);
    QFETCH(QByteArray, replies);

    // Byte by byte to the device: requests are framed, not taken from one read.
    auto device = instrument(kind, &source);
    for (const QString &command : qAsConst(setup)) {
        QString response;
        QVERIFY(device->handleCommand(command.split(QLatin1Char(' ')), &response));
        QVERIFY2(!response.startsWith(QLatin1String("error")), qPrintable(response));
    }
    QByteArray piecewise;
    for (const char byte : requests)
        piecewise += repliesTo(*device, QByteArray(1, byte));
    QCOMPARE(piecewise, replies);
    if (replies.isEmpty())
        return;
    if (kind != QLatin1String("binary"))
        QVERIFY(device->isValidReply(
            replies.left(replies.indexOf(kind == QLatin1String("scpi") ? '\n' : '\r') + 1)));

    // Whole, over a pseudo-terminal, set up from the console.
    QTemporaryDir dir;
    sim::DeviceSimulator simulator(instrument(kind, &source, 115200));
    simulator.setPacing(true);
    sim::SimCommands commands(&simulator);
    for (const QString &command : qAsConst(setup))
        commands.execute(command);
    QVERIFY(simulator.open(dir.filePath(QStringLiteral("uut"))));
    QSerialPort client(simulator.portName());
    QVERIFY(client.open(QIODevice::ReadWrite));
    setLine(client, simulator.device()->line());
    client.write(requests);
    QTRY_COMPARE_WITH_TIMEOUT(client.bytesAvailable(), qint64(replies.size()), 5000);
    QCOMPARE(client.readAll(), replies);
}

void TestUutSim::readingIsTheGreyBodyViewOfTheSource_data()
{
    QTest::addColumn<double>("source");
    QTest::addColumn<double>("sourceEmissivity");
    QTest::addColumn<double>("setting");
    QTest::addColumn<double>("offset");
    QTest::addColumn<double>("expected");

    QTest::newRow("equal emissivities read the source") << 50.0 << 0.95 << 0.95 << 0.0 << 50.0;
    QTest::newRow("offset adds") << 50.0 << 0.95 << 0.95 << -0.3 << 49.7;
    QTest::newRow("a lower setting reads hotter") << 50.0 << 0.95 << 0.90 << 0.0 << 51.333;
    QTest::newRow("a setting of one reads colder") << 50.0 << 0.95 << 1.0 << 0.0 << 48.788;
    QTest::newRow("more so when hot") << 200.0 << 0.95 << 0.90 << 0.0 << 206.881;
    QTest::newRow("below the room, lower setting reads colder") << 0.0 << 0.95 << 0.90 << 0.0 << -1.473;
    QTest::newRow("at room temperature the setting does not matter") << 23.0 << 0.95 << 0.5 << 0.0 << 23.0;
}

void TestUutSim::readingIsTheGreyBodyViewOfTheSource()
{
    QFETCH(double, source);
    QFETCH(double, sourceEmissivity);
    QFETCH(double, setting);
    QFETCH(double, offset);
    QFETCH(double, expected);

    auto device = instrument(QStringLiteral("scpi"), &source);
    device->view().sourceEmissivity = sourceEmissivity;
    QVERIFY(device->setEmissivity(setting));
    device->setOffset(offset);
    QVERIFY2(std::abs(device->reading() - expected) < 0.001, qPrintable(QString::number(device->reading())));
}

void TestUutSim::sentinelsReplaceTheNextReadings_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("requests");
    // Empty: the command is refused.
    QTest::addColumn<QByteArray>("replies");

    QTest::newRow("addressed not ready twice")
        << "addressed"
        << "sentinel notready 2" << QByteArray("00ms\r00ms\r00ms\r") << QByteArray("77770\r77770\r00500\r");
    QTest::newRow("addressed over range, emissivity query untouched")
        << "addressed"
        << "sentinel overrange" << QByteArray("00em\r00ms\r00ms\r") << QByteArray("0950\r88880\r00500\r");
    QTest::newRow("addressed bad command") << "addressed"
                                           << "sentinel error" << QByteArray("00ms\r") << QByteArray("no\r");
    QTest::newRow("ascii syntax error")
        << "ascii"
        << "sentinel error 1" << QByteArray("?T\r?T\r") << QByteArray("*Syntax Error\r!T050.00\r");
    QTest::newRow("scpi over range") << "scpi"
                                     << "sentinel overrange" << QByteArray("FETC?\nFETC?\n")
                                     << QByteArray("9.9E37\n50.000\n");
    QTest::newRow("scpi error in place of a reading")
        << "scpi"
        << "sentinel error" << QByteArray("MEAS?\n") << QByteArray("-230,\"Data corrupt or stale\"\n");
    QTest::newRow("binary over range, its largest")
        << "binary"
        << "sentinel overrange" << QByteArray::fromHex("0101") << QByteArray::fromHex("ffff 05dc");
    QTest::newRow("ascii has no not-ready reply")
        << "ascii"
        << "sentinel notready" << QByteArray("?T\r") << QByteArray();
    QTest::newRow("binary has no error reply") << "binary"
                                               << "sentinel error" << QByteArray() << QByteArray();
    QTest::newRow("unknown sentinel") << "addressed"
                                      << "sentinel late" << QByteArray() << QByteArray();
}

void TestUutSim::sentinelsReplaceTheNextReadings()
{
    QFETCH(QString, kind);
    QFETCH(QString, command);
    QFETCH(QByteArray, requests);
    QFETCH(QByteArray, replies);

    const double source = 50.0;
    auto device = instrument(kind, &source);
    QString response;
    QVERIFY(device->handleCommand(command.split(QLatin1Char(' ')), &response));
    QCOMPARE(response.startsWith(QLatin1String("error")), replies.isEmpty());
    if (!replies.isEmpty())
        QCOMPARE(repliesTo(*device, requests), replies);
}

void TestUutSim::repliesTakeTheCharacterTimeOfTheLine_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("baud");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("replySize");
    QTest::addColumn<double>("lineMs");

    // (request + reply) characters x bits per character / baud.
    QTest::newRow("ascii 9600 8N1, 10 bits") << "ascii" << 9600 << QByteArray("?T\r") << 9 << 12 * 10 / 9.6;
    QTest::newRow("addressed 9600 8E1, 11 bits")
        << "addressed" << 9600 << QByteArray("00ms\r") << 6 << 11 * 11 / 9.6;
    QTest::newRow("binary 1200 8N1") << "binary" << 1200 << QByteArray::fromHex("01") << 2 << 3 * 10 / 1.2;
    QTest::newRow("scpi 115200 8N1, under a millisecond")
        << "scpi" << 115200 << QByteArray("FETC?\n") << 7 << 13 * 10 / 115.2;
}

void TestUutSim::repliesTakeTheCharacterTimeOfTheLine()
{
    QFETCH(QString, kind);
    QFETCH(int, baud);
    QFETCH(QByteArray, request);
    QFETCH(int, replySize);
    QFETCH(double, lineMs);

    const double source = 50.0;
    QTemporaryDir dir;
    sim::DeviceSimulator simulator(instrument(kind, &source, baud));
    simulator.setPacing(true);
    QVERIFY(simulator.open(dir.filePath(QStringLiteral("uut"))));
    QSignalSpy sent(&simulator, &sim::DeviceSimulator::replySent);
    QSerialPort client(simulator.portName());
    QVERIFY(client.open(QIODevice::ReadWrite));
    setLine(client, simulator.device()->line());

    const qint64 start = sim::MicroTimer::now();
    client.write(request);
    QVERIFY(sent.wait(5000));
    const double elapsedMs = double(sim::MicroTimer::now() - start) / 1e6;
    QVERIFY2(elapsedMs >= lineMs, qPrintable(QStringLiteral("%1 ms").arg(elapsedMs)));
    QTRY_COMPARE_WITH_TIMEOUT(client.bytesAvailable(), qint64(replySize), 5000);
}

void TestUutSim::dropAndLateCommandsHoldBackReplies_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("requests");
    QTest::addColumn<int>("answered");
    QTest::addColumn<int>("lateMs");

    QTest::newRow("drop 2 of 3") << "drop 2" << 3 << 1 << 0;
    QTest::newRow("drop one by default") << "drop" << 2 << 1 << 0;
    QTest::newRow("late 150") << "late 150" << 1 << 1 << 150;
}

void TestUutSim::dropAndLateCommandsHoldBackReplies()
{
    QFETCH(QString, command);
    QFETCH(int, requests);
    QFETCH(int, answered);
    QFETCH(int, lateMs);

    const double source = 50.0;
    QTemporaryDir dir;
    sim::DeviceSimulator simulator(instrument(QStringLiteral("ascii"), &source, 115200));
    simulator.setPacing(true);
    sim::SimCommands commands(&simulator);
    QVERIFY(!commands.execute(command).startsWith(QLatin1String("error")));
    QVERIFY(simulator.open(dir.filePath(QStringLiteral("uut"))));
    QSignalSpy received(&simulator, &sim::DeviceSimulator::requestReceived);
    QSerialPort client(simulator.portName());
    QVERIFY(client.open(QIODevice::ReadWrite));
    setLine(client, simulator.device()->line());

    QElapsedTimer clock;
    clock.start();
    client.write(QByteArray("?T\r").repeated(requests));
    QTRY_COMPARE_WITH_TIMEOUT(received.count(), requests, 5000);
    // Every fault is taken when its request arrives, so what is answered is settled by now.
    QVERIFY(simulator.faults().isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(client.bytesAvailable(), qint64(9 * answered), 5000);
    QVERIFY(clock.elapsed() >= lateMs);
    QCOMPARE(client.readAll(), QByteArray("!T050.00\r").repeated(answered));
}

void TestUutSim::scpiAnswersOverTcpAndPushesReadings()
{
    const double source = 50.0;
    sim::DeviceSimulator simulator(instrument(QStringLiteral("scpi"), &source));
    QVERIFY(simulator.listenTcp(0));
    QTcpSocket client;
    client.connectToHost(QStringLiteral("127.0.0.1"), simulator.tcpPort());
    QVERIFY(client.waitForConnected(5000));
    client.write("FETC?\n");
    QTRY_VERIFY_WITH_TIMEOUT(client.canReadLine(), 5000);
    QCOMPARE(client.readLine(), QByteArray("50.000\n"));

    sim::SimCommands commands(&simulator);
    QVERIFY(commands.execute(QStringLiteral("push 0.02")).contains(QLatin1String("every 20 ms")));
    QTRY_VERIFY_WITH_TIMEOUT(client.bytesAvailable() >= 14, 5000);
    QVERIFY(client.readAll().startsWith("50.000\n50.000\n"));
    commands.execute(QStringLiteral("push 0"));

    // A hang-up drops the network client too.
    QSignalSpy gone(&client, &QTcpSocket::disconnected);
    commands.execute(QStringLiteral("hangup"));
    QVERIFY(gone.count() > 0 || gone.wait(5000));
}

void TestUutSim::pushedReadingsNobodyTookAreGone()
{
    const double source = 50.0;
    QTemporaryDir dir;
    sim::DeviceSimulator simulator(instrument(QStringLiteral("scpi"), &source, 115200));
    QVERIFY(simulator.open(dir.filePath(QStringLiteral("uut"))));
    QSignalSpy pushed(&simulator, &sim::DeviceSimulator::replySent);
    simulator.setPushInterval(10);
    QTRY_VERIFY_WITH_TIMEOUT(pushed.count() >= 6, 5000);

    // No event is handled from here on, so no further reading is pushed.
    QSerialPort client(simulator.portName());
    QVERIFY(client.open(QIODevice::ReadWrite));
    QVERIFY(client.waitForReadyRead(5000));
    // The latest reading, not the six and more sent while no one listened.
    QCOMPARE(client.readAll(), QByteArray("50.000\n"));
}

QTEST_GUILESS_MAIN(TestUutSim)
#include "tst_uutsim.moc"
