#include "blackbodydevice.h"
#include "devicesimulator.h"
#include "faultplan.h"
#include "simcommands.h"
#include "thermometerdevice.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>

namespace {

QByteArray withSum(const QByteArray &payload)
{
    unsigned sum = 0;
    for (const char byte : payload)
        sum += uchar(byte);
    return payload + char(sum & 0x7F);
}

const QByteArray kPoll = QByteArray::fromHex("808052000052");

QByteArray setFrame(qint16 counts)
{
    QByteArray payload = QByteArray::fromHex("80804300");
    payload.append(char(counts & 0xFF));
    payload.append(char((counts >> 8) & 0xFF));
    return withSum(payload);
}

double currentOf(const QByteArray &reply, double unit)
{
    return qint16(uchar(reply.at(0)) | (uchar(reply.at(1)) << 8)) * unit;
}

std::unique_ptr<sim::BlackbodyDevice> device(const QString &model, double initial = 25.0)
{
    auto made = std::make_unique<sim::BlackbodyDevice>(sim::BlackbodyModel::find(model), 9600, initial);
    made->setNoise(0.0);
    return made;
}

} // namespace

class TestSimulator : public QObject
{
    Q_OBJECT

private slots:
    void framesAreFoundInNoiseAndPieces_data();
    void framesAreFoundInNoiseAndPieces();
    void readingIsEncodedInModelWireUnit_data();
    void readingIsEncodedInModelWireUnit();
    void setPointOutsideModelRangeIsRefused_data();
    void setPointOutsideModelRangeIsRefused();
    void temperatureFollowsFirstOrderResponse();
    void noiseStaysWithinItsAmplitude();

    void faultPlanHandsOutFaultsInOrder();
    void consoleCommandsScheduleFaultsAndRejectBadArguments();

    void thermometerAnswersKnownRequestsBehindWakeUpZeros_data();
    void thermometerAnswersKnownRequestsBehindWakeUpZeros();
    void thermometerReadingIsTenthsAboveMinusHundred_data();
    void thermometerReadingIsTenthsAboveMinusHundred();
    void thermometerConsoleCommandsRejectWhatItCannotSend();

    void linkReplacesStaleLinkButNeverAFile();
    void mismatchedLineSettingsGetNoAnswer_data();
    void mismatchedLineSettingsGetNoAnswer();
    void hangUpDropsPendingRepliesAndRemovesLink();
};

void TestSimulator::framesAreFoundInNoiseAndPieces_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("pieceSize");
    QTest::addColumn<int>("requests");

    QTest::newRow("poll in one piece") << kPoll << 64 << 1;
    QTest::newRow("poll byte by byte") << kPoll << 1 << 1;
    QTest::newRow("noise and a third header byte before the poll")
        << QByteArray::fromHex("001380808052000052") << 64 << 1;
    QTest::newRow("two polls in one piece") << kPoll + kPoll << 64 << 2;
    QTest::newRow("set frame in pieces of two") << setFrame(2500) << 2 << 1;
    QTest::newRow("bad check byte is ignored") << QByteArray::fromHex("808052000053") << 64 << 0;
    QTest::newRow("unknown command is ignored") << withSum(QByteArray::fromHex("8080410000")) << 64 << 0;
    QTest::newRow("bad frame then good one") << QByteArray::fromHex("808052000053") + kPoll << 3 << 1;
}

void TestSimulator::framesAreFoundInNoiseAndPieces()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, pieceSize);
    QFETCH(int, requests);

    auto blackbody = device(QStringLiteral("VBM100"));
    QVector<sim::SimDevice::Exchange> exchanges;
    for (int i = 0; i < bytes.size(); i += pieceSize)
        exchanges += blackbody->receive(bytes.mid(i, pieceSize));
    QCOMPARE(exchanges.size(), requests);
    for (const sim::SimDevice::Exchange &exchange : qAsConst(exchanges))
        QVERIFY(blackbody->isValidReply(exchange.reply));
}

void TestSimulator::readingIsEncodedInModelWireUnit_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<double>("celsius");
    QTest::addColumn<QByteArray>("wire");

    QTest::newRow("VBM100 25.00") << "VBM100" << 25.0 << QByteArray::fromHex("C409");
    QTest::newRow("VBM400 25.0") << "VBM400" << 25.0 << QByteArray::fromHex("FA00");
    QTest::newRow("VB125 -12.34") << "VB125" << -12.34 << QByteArray::fromHex("2EFB");
    QTest::newRow("VBM500 505.5") << "VBM500" << 505.5 << QByteArray::fromHex("BF13");
    QTest::newRow("VB400 -0.1") << "VB400" << -0.1 << QByteArray::fromHex("FFFF");
}

void TestSimulator::readingIsEncodedInModelWireUnit()
{
    QFETCH(QString, model);
    QFETCH(double, celsius);
    QFETCH(QByteArray, wire);

    auto blackbody = device(model, celsius);
    const QVector<sim::SimDevice::Exchange> exchanges = blackbody->receive(kPoll);
    QCOMPARE(exchanges.size(), 1);
    const QByteArray reply = exchanges.at(0).reply;
    QVERIFY(blackbody->isValidReply(reply));
    QCOMPARE(reply.left(2).toHex(' '), wire.toHex(' '));
    QCOMPARE(reply.mid(2, 4), QByteArray(4, '\0'));
    // The set point starts at the initial temperature.
    QCOMPARE(reply.mid(6, 2).toHex(' '), wire.toHex(' '));
}

void TestSimulator::setPointOutsideModelRangeIsRefused_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("counts");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("VBM100 100.00") << "VBM100" << 10000 << true;
    QTest::newRow("VBM100 100.01") << "VBM100" << 10001 << false;
    QTest::newRow("VBM100 -0.01") << "VBM100" << -1 << false;
    QTest::newRow("VB125 -30.00") << "VB125" << -3000 << true;
    QTest::newRow("VB125 -30.01") << "VB125" << -3001 << false;
    QTest::newRow("VB125 125.00") << "VB125" << 12500 << true;
    QTest::newRow("VBM400 410.0") << "VBM400" << 4100 << true;
    QTest::newRow("VBM400 410.1") << "VBM400" << 4101 << false;
    QTest::newRow("VBM500 510.0") << "VBM500" << 5100 << true;
    QTest::newRow("VB400 0.0") << "VB400" << 0 << true;
}

void TestSimulator::setPointOutsideModelRangeIsRefused()
{
    QFETCH(QString, model);
    QFETCH(int, counts);
    QFETCH(bool, accepted);

    auto blackbody = device(model);
    const QVector<sim::SimDevice::Exchange> exchanges = blackbody->receive(setFrame(qint16(counts)));
    QCOMPARE(exchanges.size(), 1);
    QCOMPARE(!exchanges.at(0).reply.isEmpty(), accepted);
    QCOMPARE(blackbody->refusedSetPoints(), accepted ? 0 : 1);
    const double expected = accepted ? counts * blackbody->model().wireUnit : 25.0;
    QVERIFY(std::abs(blackbody->setPoint() - expected) < 1e-9);
}

void TestSimulator::temperatureFollowsFirstOrderResponse()
{
    auto blackbody = device(QStringLiteral("VBM100"), 20.0);
    // Short, so the 20 looks below span four time constants and the approach to 0.01 K takes 0.7 s.
    blackbody->setTimeConstant(0.1);
    // The device's own clock starts between these two.
    QElapsedTimer early;
    early.start();
    QVERIFY(blackbody->setSetPoint(30.0));
    QElapsedTimer late;
    late.start();
    const auto expected = [](qint64 ns) { return 30.0 - 10.0 * std::exp(-double(ns) / 1e9 / 0.1); };

    double last = 20.0;
    for (int i = 0; i < 20; ++i) {
        const qint64 before = late.nsecsElapsed();
        const double now = blackbody->temperature();
        const qint64 after = early.nsecsElapsed();
        QVERIFY2(now >= expected(before) - 1e-6 && now <= expected(after) + 1e-6,
            qPrintable(QString::number(now)));
        QVERIFY(now >= last);
        last = now;
        QTest::qWait(20);
    }
    QTRY_VERIFY_WITH_TIMEOUT(blackbody->temperature() > 29.99, 5000);

    blackbody->setTimeConstant(0.0);
    QVERIFY(blackbody->setSetPoint(50.0));
    QCOMPARE(blackbody->temperature(), 50.0);
}

void TestSimulator::noiseStaysWithinItsAmplitude()
{
    auto blackbody = device(QStringLiteral("VBM100"));
    blackbody->setNoise(0.5);
    QSet<QByteArray> distinct;
    for (int i = 0; i < 200; ++i) {
        const QByteArray reply = blackbody->receive(kPoll).value(0).reply;
        QVERIFY(blackbody->isValidReply(reply));
        QVERIFY(std::abs(currentOf(reply, 0.01) - 25.0) <= 0.5 + 0.005);
        distinct.insert(reply.left(2));
    }
    QVERIFY(distinct.size() > 10);
}

void TestSimulator::faultPlanHandsOutFaultsInOrder()
{
    sim::FaultPlan plan;
    plan.silence(2);
    plan.late(300);
    plan.split(3, 50, 1);
    QCOMPARE(plan.take().kind, sim::Fault::Silence);
    QCOMPARE(plan.take().kind, sim::Fault::Silence);
    const sim::Fault late = plan.take();
    QCOMPARE(late.kind, sim::Fault::Late);
    QCOMPARE(late.delayMs, 300);
    const sim::Fault split = plan.take();
    QCOMPARE(split.kind, sim::Fault::Split);
    QCOMPARE(split.pieces, 3);
    QCOMPARE(split.pauseMs, 50);
    QCOMPARE(plan.take().kind, sim::Fault::None);
    QVERIFY(plan.isEmpty());

    plan.silence();
    plan.garbage();
    for (int i = 0; i < 5; ++i)
        QCOMPARE(plan.take().kind, sim::Fault::Silence);
    plan.clear();
    QCOMPARE(plan.take().kind, sim::Fault::None);
}

void TestSimulator::consoleCommandsScheduleFaultsAndRejectBadArguments()
{
    auto owned = device(QStringLiteral("VBM100"));
    sim::BlackbodyDevice *blackbody = owned.get();
    sim::DeviceSimulator simulator(std::move(owned));
    sim::SimCommands commands(&simulator);

    QVERIFY(commands.execute(QStringLiteral("silence 2")).contains(QLatin1String("silence x2")));
    QVERIFY(commands.execute(QStringLiteral("  split 3   100 "))
                .contains(QLatin1String("split 3 pieces, 100 ms apart x1")));
    QVERIFY(commands.execute(QStringLiteral("late 1300 2")).contains(QLatin1String("late 1300 ms x2")));
    QVERIFY(commands.execute(QStringLiteral("clear")).contains(QLatin1String("faults: none")));

    const QStringList rejected {QStringLiteral("late"), QStringLiteral("split 0 10"),
        QStringLiteral("silence x"), QStringLiteral("garbage -1"), QStringLiteral("delay"),
        QStringLiteral("frobnicate"), QStringLiteral("temp warm"), QStringLiteral("setpoint 150"),
        QStringLiteral("polldelay -5"), QStringLiteral("ignoreset maybe")};
    for (const QString &line : rejected)
        QVERIFY2(commands.execute(line).startsWith(QLatin1String("error")), qPrintable(line));
    QVERIFY(simulator.faults().isEmpty());
    QCOMPARE(blackbody->setPoint(), 25.0);

    commands.execute(QStringLiteral("temp 40"));
    commands.execute(QStringLiteral("tau 0"));
    commands.execute(QStringLiteral("setpoint 60"));
    QCOMPARE(blackbody->temperature(), 60.0);

    // A slow controller answers reads late; one in local mode neither obeys nor answers set frames.
    QVERIFY(commands.execute(QStringLiteral("polldelay 1100")).contains(QLatin1String("1100 ms late")));
    QVERIFY(commands.execute(QStringLiteral("ignoreset on")).contains(QLatin1String("ignores set frames")));
    QCOMPARE(blackbody->receive(kPoll).value(0).delayMs, 1100);
    QCOMPARE(blackbody->receive(setFrame(3000)).value(0).reply, QByteArray());
    QCOMPARE(blackbody->setPoint(), 60.0);
    commands.execute(QStringLiteral("ignoreset off"));
    QCOMPARE(blackbody->receive(setFrame(3000)).value(0).delayMs, 0);
    QCOMPARE(blackbody->setPoint(), 30.0);
    bool quit = false;
    commands.execute(QStringLiteral("quit"), &quit);
    QVERIFY(quit);
}

void TestSimulator::thermometerAnswersKnownRequestsBehindWakeUpZeros_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("pieceSize");
    QTest::addColumn<int>("ackLength");
    // Every reply, one after another.
    QTest::addColumn<QByteArray>("replies");

    const QByteArray reading = QByteArray::fromHex("04D3D7");
    QTest::newRow("read behind five zeros") << QByteArray::fromHex("00000000000101") << 64 << 2 << reading;
    QTest::newRow("0x17 behind six zeros, byte by byte")
        << QByteArray::fromHex("0000000000001717") << 1 << 2 << QByteArray::fromHex("1717");
    QTest::newRow("0x17 with a 3-byte answer")
        << QByteArray::fromHex("00000000001717") << 64 << 3 << QByteArray::fromHex("170116");
    QTest::newRow("wake-up zeros alone") << QByteArray(6, '\0') << 64 << 2 << QByteArray();
    QTest::newRow("unknown 0x40 and bare 0x82, then a read")
        << QByteArray::fromHex("0000000000404000000000008200000000000101") << 3 << 2 << reading;
    QTest::newRow("read with a bad check byte")
        << QByteArray::fromHex("00000000000102") << 64 << 2 << QByteArray();
    QTest::newRow("two reads in one piece")
        << QByteArray::fromHex("0000000000010100000000000101") << 64 << 2 << reading + reading;
}

void TestSimulator::thermometerAnswersKnownRequestsBehindWakeUpZeros()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, pieceSize);
    QFETCH(int, ackLength);
    QFETCH(QByteArray, replies);

    sim::ThermometerDevice thermometer(115200, 23.5, ackLength);
    QByteArray answered;
    for (int i = 0; i < bytes.size(); i += pieceSize) {
        for (const sim::SimDevice::Exchange &exchange : thermometer.receive(bytes.mid(i, pieceSize))) {
            QVERIFY(thermometer.isValidReply(exchange.reply));
            answered += exchange.reply;
        }
    }
    QCOMPARE(answered.toHex(' '), replies.toHex(' '));
}

void TestSimulator::thermometerReadingIsTenthsAboveMinusHundred_data()
{
    QTest::addColumn<double>("celsius");
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("0.0") << 0.0 << QByteArray::fromHex("03E8EB");
    QTest::newRow("50.0") << 50.0 << QByteArray::fromHex("05DCD9");
    QTest::newRow("-100.0, the lowest") << -100.0 << QByteArray::fromHex("000000");
    QTest::newRow("6453.5, the highest") << 6453.5 << QByteArray::fromHex("FFFF00");
    QTest::newRow("23.44 rounds to 23.4") << 23.44 << QByteArray::fromHex("04D2D6");
}

void TestSimulator::thermometerReadingIsTenthsAboveMinusHundred()
{
    QFETCH(double, celsius);
    QFETCH(QByteArray, reply);

    sim::ThermometerDevice thermometer(115200, celsius);
    QCOMPARE(thermometer.receive(QByteArray::fromHex("00000000000101")).value(0).reply.toHex(' '),
        reply.toHex(' '));
}

void TestSimulator::thermometerConsoleCommandsRejectWhatItCannotSend()
{
    auto owned = std::make_unique<sim::ThermometerDevice>(9600, 23.5, 2);
    sim::ThermometerDevice *thermometer = owned.get();
    sim::DeviceSimulator simulator(std::move(owned));
    sim::SimCommands commands(&simulator);

    const QStringList rejected {QStringLiteral("temp -100.1"), QStringLiteral("temp 6453.6"),
        QStringLiteral("temp warm"), QStringLiteral("ack 4"), QStringLiteral("ack 2.5"),
        QStringLiteral("setpoint 30")};
    for (const QString &line : rejected)
        QVERIFY2(commands.execute(line).startsWith(QLatin1String("error")), qPrintable(line));
    QCOMPARE(thermometer->temperature(), 23.5);
    QCOMPARE(thermometer->ackLength(), 2);

    QVERIFY(commands.execute(QStringLiteral("temp -12.5")).contains(QStringLiteral("-12.5 °C")));
    QVERIFY(commands.execute(QStringLiteral("ack 3")).contains(QLatin1String("with 3 bytes")));
    // The faults are the simulator's own, the same for every device.
    QVERIFY(commands.execute(QStringLiteral("silence 2")).contains(QLatin1String("silence x2")));
    QVERIFY(commands.execute(QStringLiteral("status")).contains(QLatin1String("9600 8N1")));
}

void TestSimulator::linkReplacesStaleLinkButNeverAFile()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("port"));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone")), link));
    {
        sim::DeviceSimulator simulator(device(QStringLiteral("VBM100")));
        QString error;
        QVERIFY2(simulator.open(link, &error), qPrintable(error));
        QCOMPARE(QFileInfo(link).symLinkTarget(), simulator.clientPath());
    }
    QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());

    QFile file(link);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    sim::DeviceSimulator simulator(device(QStringLiteral("VBM100")));
    QString error;
    QVERIFY(!simulator.open(link, &error));
    QVERIFY(error.contains(QLatin1String("not a symlink")));
    QVERIFY(QFileInfo(link).isFile());
}

void TestSimulator::mismatchedLineSettingsGetNoAnswer_data()
{
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("stopBits");
    QTest::addColumn<bool>("answered");

    QTest::newRow("matching 9600 8N2") << 9600 << 2 << true;
    QTest::newRow("wrong baud rate") << 19200 << 2 << false;
    QTest::newRow("one stop bit on a two-stop-bit model") << 9600 << 1 << false;
}

void TestSimulator::mismatchedLineSettingsGetNoAnswer()
{
    QFETCH(int, baud);
    QFETCH(int, stopBits);
    QFETCH(bool, answered);

    QTemporaryDir dir;
    sim::DeviceSimulator simulator(device(QStringLiteral("VBM100")));
    QVERIFY(simulator.open(dir.filePath(QStringLiteral("port"))));
    QSignalSpy requests(&simulator, &sim::DeviceSimulator::requestReceived);
    QSignalSpy ignored(&simulator, &sim::DeviceSimulator::bytesIgnored);

    QSerialPort client(simulator.portName());
    QVERIFY(client.open(QIODevice::ReadWrite));
    client.setBaudRate(baud);
    client.setStopBits(stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    client.write(kPoll);
    QTRY_VERIFY_WITH_TIMEOUT(requests.count() + ignored.count() > 0, 5000);
    QCOMPARE(requests.count(), answered ? 1 : 0);
    if (answered)
        QTRY_COMPARE_WITH_TIMEOUT(client.bytesAvailable(), qint64(9), 5000);
    else
        QVERIFY(ignored.at(0).at(1).toString().contains(QLatin1String("device line 9600 8N2")));
}

void TestSimulator::hangUpDropsPendingRepliesAndRemovesLink()
{
    QTemporaryDir dir;
    sim::DeviceSimulator simulator(device(QStringLiteral("VBM100")));
    QVERIFY(simulator.open(dir.filePath(QStringLiteral("port"))));
    QSignalSpy requests(&simulator, &sim::DeviceSimulator::requestReceived);
    QSignalSpy sent(&simulator, &sim::DeviceSimulator::replySent);

    QSerialPort client(simulator.portName());
    QVERIFY(client.open(QIODevice::ReadWrite));
    client.setStopBits(QSerialPort::TwoStop);
    QSignalSpy clientErrors(&client, &QSerialPort::errorOccurred);
    simulator.faults().late(200);
    client.write(kPoll);
    QVERIFY(requests.wait(5000));

    simulator.hangUp();
    QVERIFY(!QFileInfo(simulator.portName()).isSymLink());
    // The client's line is hung up, as with an unplugged adapter.
    QTRY_VERIFY_WITH_TIMEOUT(clientErrors.count() > 0, 5000);
    client.close();

    QVERIFY(simulator.open(simulator.portName()));
    QVERIFY(QFileInfo(simulator.portName()).isSymLink());
    // The reply scheduled for the vanished line never reaches the new one.
    QVERIFY(!sent.wait(400));
}

QTEST_GUILESS_MAIN(TestSimulator)
#include "tst_simulator.moc"
