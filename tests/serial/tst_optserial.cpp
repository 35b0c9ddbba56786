#include "../common/caseprocesses.h"
#include "blackbodydevice.h"
#include "serial/optserial.h"
#include "serial/serialmetatypes.h"
#include "simcommands.h"
#include "workerharness.h"

#include <QtTest>

namespace {

const QByteArray kPoll = QByteArray::fromHex("8080520000");
const QByteArray kPollFramed = QByteArray::fromHex("808052000052");
// 25.00 °C current and set on a 0.01 °C model, and 30.00 °C.
const QByteArray kReading2500 = QByteArray::fromHex("C40900000000C4091A");
const QByteArray kReading3000 = QByteArray::fromHex("B80B00000000B80B06");

// Stands in for the main window: the same request signals, connected by signature text as it does.
class WindowStandIn : public WorkerListener
{
    Q_OBJECT

public:
    explicit WindowStandIn(OptSerial *worker)
        : WorkerListener(worker)
    {
        QVERIFY(
            connect(this, SIGNAL(sig_sendread(unsigned char)), worker, SLOT(SendReadCommand(unsigned char))));
        QVERIFY(connect(this, SIGNAL(sig_sendread(QByteArray)), worker, SLOT(SendReadCommand(QByteArray))));
        QVERIFY(connect(
            this, SIGNAL(sig_sendread_crc(QByteArray)), worker, SLOT(SendReadCrcCommand(QByteArray))));
        QVERIFY(connect(this, SIGNAL(sig_opencom(QString, QSerialPort::BaudRate)), worker,
            SLOT(OpenCom(QString, QSerialPort::BaudRate))));
        QVERIFY(connect(this,
            SIGNAL(sig_opencom1(QString, QSerialPort::BaudRate, QSerialPort::DataBits,
                QSerialPort::FlowControl, QSerialPort::Parity, QSerialPort::StopBits)),
            worker,
            SLOT(OpenCom1(QString, QSerialPort::BaudRate, QSerialPort::DataBits, QSerialPort::FlowControl,
                QSerialPort::Parity, QSerialPort::StopBits))));
        connect(this, &WindowStandIn::sig_sendwrite, worker, &OptSerial::SendWriteCommand);
        connect(this, &WindowStandIn::sig_closecom, worker, &OptSerial::CloseCom);
    }

signals:
    void sig_sendread(unsigned char code);
    void sig_sendread(QByteArray array);
    void sig_sendread_crc(QByteArray array);
    void sig_opencom(QString name, QSerialPort::BaudRate baud);
    void sig_opencom1(QString name, QSerialPort::BaudRate baud, QSerialPort::DataBits databits,
        QSerialPort::FlowControl flowcontrol, QSerialPort::Parity parity, QSerialPort::StopBits stopbits);
    void sig_sendwrite(uchar code, QByteArray data, ushort index);
    void sig_closecom();
};

// A simulated controller, a worker and the stand-in window.
struct Rig : WorkerRig<sim::BlackbodyDevice, OptSerial, WindowStandIn>
{
    explicit Rig(const QString &model = QStringLiteral("VBM100"), int deviceBaud = 9600)
        : WorkerRig(makeDevice(model, deviceBaud), QStringLiteral("bb"))
    { }

    static std::unique_ptr<sim::BlackbodyDevice> makeDevice(const QString &model, int baud)
    {
        auto device = std::make_unique<sim::BlackbodyDevice>(sim::BlackbodyModel::find(model), baud, 25.0);
        device->setNoise(0.0);
        return device;
    }

    // Opens the worker's port on the simulator and returns what OpenSuccessed said.
    bool open(QSerialPort::StopBits stopBits = QSerialPort::TwoStop,
        QSerialPort::BaudRate baud = QSerialPort::Baud9600, const QString &name = QString())
    {
        return opened([&] {
            emit window.sig_opencom1(name.isEmpty() ? sim.portName() : name, baud, QSerialPort::Data8,
                QSerialPort::NoFlowControl, QSerialPort::NoParity, stopBits);
        });
    }
    bool close()
    {
        return closed([this] { emit window.sig_closecom(); });
    }
    bool poll()
    {
        return exchange([this] { emit window.sig_sendread(kPoll); });
    }
};

} // namespace

class TestOptSerial : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void opensWithRequestedLineSettings_data();
    void opensWithRequestedLineSettings();
    void reopenClosesFirstAndFailedReopenLeavesPortClosed();
    void isOpenFollowsWorkerWithoutWaitingForSignals();
    void requestToClosedPortEmitsNothing();

    void setPointIsConfirmedWithCode43();
    void checksumRequestsGoOutFramed_data();
    void checksumRequestsGoOutFramed();
    void crcExchangesAcceptReplyEndingInItsCrc();
    void tryOpenReportsWhetherProbeWasAnswered();

    void badReplyFailsAtDeadlineAndRecovers_data();
    void badReplyFailsAtDeadlineAndRecovers();
    void replyInPiecesIsAccepted();
    void lateReplyIsNotTakenForALaterRequest_data();
    void lateReplyIsNotTakenForALaterRequest();
    void strayBytesBeforeRequestAreDiscarded();
    void checksumExchangesOfAllWorkersTakeTurns();

    void hangUpDuringExchangeEndsItAndClosesPort();
    void hangUpWhileIdleClosesPortAndReplugWorks();
    void destroyingWorkerReleasesPortEvenMidExchange();
};

void TestOptSerial::initTestCase()
{
    registerSerialPortMetaTypes();
}

void TestOptSerial::opensWithRequestedLineSettings_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("stopBits");

    QTest::newRow("VBM100, two stop bits, 9600") << "VBM100" << 9600 << 2;
    QTest::newRow("VBM400, one stop bit, 9600") << "VBM400" << 9600 << 1;
    QTest::newRow("VB125, two stop bits, 115200") << "VB125" << 115200 << 2;
    QTest::newRow("VBM500, one stop bit, 1200") << "VBM500" << 1200 << 1;
}

void TestOptSerial::opensWithRequestedLineSettings()
{
    QFETCH(QString, model);
    QFETCH(int, baud);
    QFETCH(int, stopBits);

    Rig rig(model, baud);
    QVERIFY(
        rig.open(stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop, QSerialPort::BaudRate(baud)));
    QVERIFY(rig.worker.IsOpen());
    const sim::LineSettings line = rig.sim.clientLine();
    QCOMPARE(line.baud, baud);
    QCOMPARE(line.stopBits, stopBits);
    QCOMPARE(line.dataBits, 8);
    QCOMPARE(line.parity, 'N');
    // With matching settings the device understands the line.
    QVERIFY(rig.poll());
    QVERIFY(rig.ok);
}

void TestOptSerial::reopenClosesFirstAndFailedReopenLeavesPortClosed()
{
    Rig rig;
    QVERIFY(rig.open());
    // The port is opened for exclusive use, so opening it again succeeds only if it was closed first.
    QVERIFY(rig.open());
    QVERIFY(rig.poll());
    QVERIFY(rig.ok);

    rig.window.events.clear();
    QVERIFY(!rig.open(QSerialPort::TwoStop, QSerialPort::Baud9600, rig.dir.filePath(QStringLiteral("none"))));
    QVERIFY(!rig.worker.IsOpen());
    const QStringList expected {
        QStringLiteral("error %1").arg(int(QSerialPort::DeviceNotFoundError)), QStringLiteral("open")};
    QCOMPARE(rig.window.events, expected);
    rig.sim.clearLog();
    emit rig.window.sig_sendread(kPoll);
    QVERIFY(rig.close());
    QVERIFY(rig.sim.received().isEmpty());
}

void TestOptSerial::isOpenFollowsWorkerWithoutWaitingForSignals()
{
    // Called from this thread while the worker changes the state on its own: must be race-free.
    Rig rig;
    emit rig.window.sig_opencom(rig.sim.portName(), QSerialPort::Baud9600);
    QTRY_VERIFY_WITH_TIMEOUT(rig.worker.IsOpen(), kWaitMs);
    emit rig.window.sig_closecom();
    QTRY_VERIFY_WITH_TIMEOUT(!rig.worker.IsOpen(), kWaitMs);
}

void TestOptSerial::requestToClosedPortEmitsNothing()
{
    Rig rig;
    emit rig.window.sig_sendread(kPoll);
    emit rig.window.sig_sendread(uchar(0x52));
    emit rig.window.sig_sendread_crc(QByteArray::fromHex("010300000001"));
    emit rig.window.sig_sendwrite(0xE8, QByteArray::fromHex("01"), 0);
    QVERIFY(rig.close());
    QCOMPARE(rig.window.events, QStringList {QStringLiteral("close")});
    QVERIFY(rig.sim.received().isEmpty());
}

void TestOptSerial::setPointIsConfirmedWithCode43()
{
    Rig rig(QStringLiteral("VBM400"));
    QVERIFY(rig.open(QSerialPort::OneStop));
    // 25.5 °C on a 0.1 °C model: S = 255.
    QVERIFY(rig.exchange([&] { emit rig.window.sig_sendread(QByteArray::fromHex("80804300FF00")); }));
    QCOMPARE(rig.sim.requests(), QList<QByteArray> {QByteArray::fromHex("80804300FF0042")});
    QCOMPARE(int(rig.code), 0x43);
    QVERIFY(rig.ok);
    QCOMPARE(rig.device->setPoint(), 25.5);
}

void TestOptSerial::checksumRequestsGoOutFramed_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<int>("code");

    // The blackbody does not know these requests; the test answers them as a device that does.
    QTest::newRow("write E8 01") << 0 << QByteArray::fromHex("E80169") << 0x69;
    QTest::newRow("read by code byte 52") << 1 << QByteArray::fromHex("5252") << 0;
}

void TestOptSerial::checksumRequestsGoOutFramed()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, wire);
    QFETCH(int, code);

    Rig rig;
    QVERIFY(rig.open());
    rig.script(wire, {kReading2500});
    QVERIFY(rig.exchange([&] {
        if (kind == 0)
            emit rig.window.sig_sendwrite(0xE8, QByteArray::fromHex("01"), 0);
        else
            emit rig.window.sig_sendread(uchar(0x52));
    }));
    QCOMPARE(rig.sim.received().toHex(' '), wire.toHex(' '));
    QCOMPARE(int(rig.code), code);
    QCOMPARE(rig.reply.toHex(' '), kReading2500.toHex(' '));
    QVERIFY(rig.ok);
}

void TestOptSerial::crcExchangesAcceptReplyEndingInItsCrc()
{
    Rig rig;
    QVERIFY(rig.open());
    const QByteArray request = QByteArray::fromHex("010300000001840A");
    const QByteArray answer = QByteArray::fromHex("0103020007F986");
    rig.script(request, {answer});

    QVERIFY(rig.exchange([&] { emit rig.window.sig_sendread_crc(QByteArray::fromHex("010300000001")); }));
    QCOMPARE(rig.sim.received().toHex(' '), request.toHex(' '));
    QCOMPARE(int(rig.code), 0x00);
    QCOMPARE(rig.reply.toHex(' '), answer.toHex(' '));
    QVERIFY(rig.ok);

    // The command exchange is connected to nothing: it is reached by name.
    rig.sim.clearLog();
    QVERIFY(rig.exchange([&] {
        QVERIFY(QMetaObject::invokeMethod(&rig.worker, "SendCommand", Qt::QueuedConnection, Q_ARG(uchar, 1),
            Q_ARG(uchar, 3), Q_ARG(ushort, 1), Q_ARG(ushort, 0)));
    }));
    QCOMPARE(rig.sim.received().toHex(' '), request.toHex(' '));
    QCOMPARE(int(rig.code), 3);
    QVERIFY(rig.ok);
}

void TestOptSerial::tryOpenReportsWhetherProbeWasAnswered()
{
    Rig rig;
    QVERIFY(rig.worker.metaObject()->indexOfSlot("TryOpen(QString,QSerialPort::BaudRate)") >= 0);
    const QString port = rig.sim.portName();
    OptSerial *worker = &rig.worker;
    const auto tryOpen = [=] { return worker->TryOpen(port, QSerialPort::Baud9600) ? 1 : 0; };

    QCOMPARE(rig.onWorker.call(tryOpen), 0);
    QVERIFY(rig.worker.IsOpen());
    QCOMPARE(rig.sim.received().toHex(' '), QByteArray(6, '\0').toHex(' '));
    QCOMPARE(rig.sim.clientLine().stopBits, 2);

    rig.sim.clearLog();
    rig.script(QByteArray(6, '\0'), {QByteArray::fromHex("1717")});
    QCOMPARE(rig.onWorker.call(tryOpen), 1);
    QVERIFY(rig.worker.IsOpen());
    // The probe answers by its return value only (the port's own time-out reports are still relayed).
    for (const QString &event : qAsConst(rig.window.events))
        QVERIFY2(event.startsWith(QLatin1String("error")), qPrintable(event));
}

void TestOptSerial::badReplyFailsAtDeadlineAndRecovers_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("wire");
    // In the simulator's console language.
    QTest::addColumn<QString>("fault");

    // 150.00 °C is beyond a VBM100: the controller does not answer.
    RowProcesses::newRow("refused set point: silence")
        << QByteArray::fromHex("80804300983A") << QByteArray::fromHex("80804300983A15") << QString();
    RowProcesses::newRow("garbage") << kPoll << kPollFramed << "garbage";
    RowProcesses::newRow("bad check byte") << kPoll << kPollFramed << "badcheck";
}

void TestOptSerial::badReplyFailsAtDeadlineAndRecovers()
{
    if (!RowProcesses::runsRowHere())
        return;
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, wire);
    QFETCH(QString, fault);

    Rig rig;
    QVERIFY(rig.open());
    sim::SimCommands(&rig.sim).execute(fault);
    QSignalSpy sent(&rig.sim, &sim::DeviceSimulator::replySent);
    QVERIFY(rig.exchange([&] { emit rig.window.sig_sendread(request); }));
    QCOMPARE(rig.sim.requests(), QList<QByteArray> {wire});
    QCOMPARE(int(rig.code), int(uchar(request.at(2))));
    QVERIFY(!rig.ok);
    // Whatever came is reported as it came.
    QCOMPARE(sent.count(), fault.isEmpty() ? 0 : 1);
    QCOMPARE(rig.reply.toHex(' '), sent.value(0).value(0).toByteArray().toHex(' '));
    // Bounded by the deadline itself, not by a whole extra wait after it.
    QVERIFY2(rig.elapsedMs >= 950 && rig.elapsedMs < 1500, qPrintable(QString::number(rig.elapsedMs)));

    QVERIFY(rig.poll());
    QVERIFY(rig.ok);
    QCOMPARE(rig.reply.toHex(' '), kReading2500.toHex(' '));
}

void TestOptSerial::replyInPiecesIsAccepted()
{
    Rig rig;
    QVERIFY(rig.open());
    rig.sim.faults().split(3, 150);
    QVERIFY(rig.poll());
    QVERIFY(rig.ok);
    QCOMPARE(rig.reply.toHex(' '), kReading2500.toHex(' '));
    QVERIFY2(rig.elapsedMs >= 250, qPrintable(QString::number(rig.elapsedMs)));
}

void TestOptSerial::lateReplyIsNotTakenForALaterRequest_data()
{
    QTest::addColumn<int>("lateMs");
    QTest::addColumn<bool>("reopen");

    RowProcesses::newRow("long after the deadline, already in the input") << 1300 << false;
    RowProcesses::newRow("just after the deadline, as the next request goes out") << 1020 << false;
    RowProcesses::newRow("just after the deadline, once reopened and the next request out") << 1020 << true;
}

void TestOptSerial::lateReplyIsNotTakenForALaterRequest()
{
    if (!RowProcesses::runsRowHere())
        return;
    QFETCH(int, lateMs);
    QFETCH(bool, reopen);

    Rig rig;
    QVERIFY(rig.open());
    rig.device->setTimeConstant(0.0);
    QSignalSpy sent(&rig.sim, &sim::DeviceSimulator::replySent);
    QSignalSpy data(&rig.window, &WindowStandIn::dataArrived);
    // The 25.00 reply comes after the worker gave up on it; the next one, 30.00, 100 ms after its request.
    rig.sim.setReplyDelay(100);
    rig.sim.faults().late(lateMs);
    emit rig.window.sig_sendread(kPoll);
    QTRY_COMPARE_WITH_TIMEOUT(rig.sim.requests().size(), 1, kWaitMs);
    rig.device->setSetPoint(30.0);
    if (lateMs > 1100)
        QVERIFY(sent.wait(kWaitMs));
    if (reopen) {
        QVERIFY(rig.close());
        QVERIFY(rig.open());
    }
    emit rig.window.sig_sendread(kPoll);
    QTRY_COMPARE_WITH_TIMEOUT(data.count(), 2, kWaitMs);
    QVERIFY(data.at(1).at(2).toBool());
    QCOMPARE(data.at(1).at(1).toByteArray().toHex(' '), kReading3000.toHex(' '));
}

void TestOptSerial::strayBytesBeforeRequestAreDiscarded()
{
    Rig rig;
    QVERIFY(rig.open());
    QVERIFY(rig.poll());
    rig.sim.writeRaw(QByteArray::fromHex("0102"));
    // Let the worker's port take them in while idle.
    QTest::qWait(50);
    QVERIFY(rig.poll());
    QVERIFY(rig.ok);
    QCOMPARE(rig.reply.toHex(' '), kReading2500.toHex(' '));
}

void TestOptSerial::checksumExchangesOfAllWorkersTakeTurns()
{
    Rig first;
    Rig second;
    QVERIFY(first.open());
    QVERIFY(second.open());
    first.sim.faults().silence(1);

    QSignalSpy firstData(&first.window, &WindowStandIn::dataArrived);
    QSignalSpy secondData(&second.window, &WindowStandIn::dataArrived);
    first.window.restartClock();
    second.window.restartClock();
    emit first.window.sig_sendread(kPoll);
    QTRY_COMPARE_WITH_TIMEOUT(first.sim.requests().size(), 1, kWaitMs);
    emit second.window.sig_sendread(kPoll);

    QVERIFY(secondData.wait(kWaitMs));
    // The second worker waited for the first one's exchange to run out.
    QCOMPARE(firstData.count(), 1);
    QVERIFY(secondData.at(0).at(2).toBool());
    QVERIFY2(secondData.at(0).at(3).toLongLong() >= 900, qPrintable(secondData.at(0).at(3).toString()));
}

void TestOptSerial::hangUpDuringExchangeEndsItAndClosesPort()
{
    Rig rig;
    QVERIFY(rig.open());
    rig.window.events.clear();
    QSignalSpy closed(&rig.window, &WindowStandIn::closeArrived);
    rig.sim.faults().hangUpOnNextRequest();

    QVERIFY(rig.poll());
    QVERIFY(!rig.ok);
    // Ended at once instead of spinning on the dead line until the deadline.
    QVERIFY2(rig.elapsedMs < 500, qPrintable(QString::number(rig.elapsedMs)));
    QVERIFY(closed.count() == 1 || closed.wait(kWaitMs));
    QVERIFY(closed.at(0).at(0).toBool());
    QVERIFY(!rig.worker.IsOpen());
    const QStringList expected {QStringLiteral("error %1").arg(int(QSerialPort::ResourceError)),
        QStringLiteral("data 82"), QStringLiteral("close")};
    QCOMPARE(rig.window.events, expected);

    // Requests after that are dropped like any to a closed port.
    rig.window.events.clear();
    emit rig.window.sig_sendread(kPoll);
    QVERIFY(rig.close());
    QCOMPARE(rig.window.events, QStringList {QStringLiteral("close")});
}

void TestOptSerial::hangUpWhileIdleClosesPortAndReplugWorks()
{
    Rig rig;
    QVERIFY(rig.open());
    QVERIFY(rig.poll());
    rig.window.events.clear();
    QSignalSpy closed(&rig.window, &WindowStandIn::closeArrived);

    rig.sim.hangUp();
    QVERIFY(closed.wait(kWaitMs));
    QVERIFY(!rig.worker.IsOpen());
    const QStringList expected {
        QStringLiteral("error %1").arg(int(QSerialPort::ResourceError)), QStringLiteral("close")};
    QCOMPARE(rig.window.events, expected);

    // The adapter comes back under the same name.
    QVERIFY(rig.sim.open(rig.sim.portName()));
    QVERIFY(rig.open());
    QVERIFY(rig.poll());
    QVERIFY(rig.ok);
}

void TestOptSerial::destroyingWorkerReleasesPortEvenMidExchange()
{
    Rig rig;
    auto worker = std::make_unique<OptSerial>();
    // Queued by name, as the window's signals reach the worker, rather than through lambdas.
    QMetaObject::invokeMethod(worker.get(), "OpenCom", Qt::QueuedConnection,
        Q_ARG(QString, rig.sim.portName()), Q_ARG(QSerialPort::BaudRate, QSerialPort::Baud9600));
    QTRY_VERIFY_WITH_TIMEOUT(worker->IsOpen(), kWaitMs);
    rig.sim.faults().silence();
    QMetaObject::invokeMethod(
        worker.get(), "SendReadCommand", Qt::QueuedConnection, Q_ARG(QByteArray, kPoll));
    QTRY_COMPARE_WITH_TIMEOUT(rig.sim.requests().size(), 1, kWaitMs);

    QElapsedTimer clock;
    clock.start();
    worker.reset();
    QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));

    // The port was closed, so it can be opened for exclusive use again.
    QSerialPort port(rig.sim.portName());
    QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
}

BB_CASE_PROCESSES_GUILESS_MAIN(TestOptSerial, Functions, 8)
#include "tst_optserial.moc"
