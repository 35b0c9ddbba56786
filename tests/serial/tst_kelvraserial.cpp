#include "../common/caseprocesses.h"
#include "control/thermometerprotocol.h"
#include "serial/gettempthread.h"
#include "serial/kelvraserial.h"
#include "serial/serialmetatypes.h"
#include "simcommands.h"
#include "thermometerdevice.h"
#include "workerharness.h"

#include <QScopeGuard>
#include <QtTest>

namespace {

const QByteArray kReading235 = QByteArray::fromHex("04D3D7");

enum Action { Command, Write, Fast, CrcCommand };

// Stands in for the main window: its request signals, and the poll it starts when the port opens and
// stops when it closes. The window calls SendReadCommand over a blocking connection; here the simulator
// shares the test's thread, which must stay free to answer, so the call is queued.
class WindowStandIn : public WorkerListener
{
    Q_OBJECT

public:
    explicit WindowStandIn(KelvraSerial *worker)
        : WorkerListener(worker)
    {
        QVERIFY(connect(this, SIGNAL(sig_opencom_KelvraSerial(QString, QSerialPort::BaudRate)), worker,
            SLOT(OpenCom(QString, QSerialPort::BaudRate))));
        connect(this, &WindowStandIn::sig_closecom2, worker, &KelvraSerial::CloseCom);
        connect(this, &WindowStandIn::sig_sendreadkelvra, worker, &KelvraSerial::SendReadCommand);
        // Ahead of any spy on these signals, as the window acts before anyone hears of it.
        connect(this, &WorkerListener::openArrived, this, [this](bool ok) {
            if (ok && poll)
                poll->startThread();
        });
        connect(this, &WorkerListener::closeArrived, this, [this] {
            if (poll)
                poll->stopThread();
        });
    }

    // None: not polling.
    GetTempThread *poll = nullptr;

signals:
    void sig_opencom_KelvraSerial(QString name, QSerialPort::BaudRate baud);
    void sig_closecom2();
    void sig_sendreadkelvra(uchar code);
};

// A simulated thermometer, a worker and the stand-in window.
struct Rig : WorkerRig<sim::ThermometerDevice, KelvraSerial, WindowStandIn>
{
    explicit Rig(int deviceBaud = 115200)
        : WorkerRig(std::make_unique<sim::ThermometerDevice>(deviceBaud, 23.5, 2), QStringLiteral("thermo"))
    { }

    bool open(QSerialPort::BaudRate baud = QSerialPort::Baud115200)
    {
        return opened([&] { emit window.sig_opencom_KelvraSerial(sim.portName(), baud); });
    }
    bool close()
    {
        return closed([this] { emit window.sig_closecom2(); });
    }
    bool fastRead()
    {
        return exchange([this] { QMetaObject::invokeMethod(&worker, "FastRead", Q_ARG(uchar, 0x01)); });
    }
};

} // namespace

class TestKelvraSerial : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void openWakesDeviceBeforeReportingSuccess();
    void requestsReachDeviceFramedAndPadded_data();
    void requestsReachDeviceFramedAndPadded();
    void secondAttemptIsJudgedOnItsOwn_data();
    void secondAttemptIsJudgedOnItsOwn();
    void fastReadFailsWithinItsDeadlineAndRecovers_data();
    void fastReadFailsWithinItsDeadlineAndRecovers();
    void lateReplyIsNotTakenForTheWakeUpAfterReopening();
    void tryOpenFindsDeviceOnlyAtItsBaudRate_data();
    void tryOpenFindsDeviceOnlyAtItsBaudRate();
    void requestToClosedPortEmitsNothing();

    void stopOfNeverStartedPollReturnsAtOnce();
    void stopWhileInsideExchangeStartsNoOther();
    void stopFromThreadTheCallIsQueuedToDoesNotDeadlock();
    void pollRestartsAfterCloseOrUnplug_data();
    void pollRestartsAfterCloseOrUnplug();
    void shutdownWhileExchangesRunDoesNotHang();

private:
    // The port shared by the cases that need one open, opened at the first one's request: each open costs
    // the unanswered wake-up, which a process running none of them is spared. Null when it failed to open.
    Rig *openRig();

    std::unique_ptr<Rig> m_open;
    // What that open's wake-up put on the line, and its DataRecv.
    std::pair<QByteArray, QVariantList> m_wakeUp;
};

void TestKelvraSerial::initTestCase()
{
    registerSerialPortMetaTypes();
}

Rig *TestKelvraSerial::openRig()
{
    if (!m_open) {
        auto rig = std::make_unique<Rig>();
        QSignalSpy data(&rig->window, &WindowStandIn::dataArrived);
        if (!rig->open())
            return nullptr;
        m_wakeUp = {rig->sim.received(), data.value(0)};
        m_open = std::move(rig);
    }
    return m_open.get();
}

void TestKelvraSerial::init()
{
    KelvraSerial::extraLeadingZero = false;
}

void TestKelvraSerial::cleanupTestCase()
{
    m_open.reset();
    KelvraSerial::extraLeadingZero = false;
}

void TestKelvraSerial::openWakesDeviceBeforeReportingSuccess()
{
    Rig *open = openRig();
    QVERIFY(open);
    QCOMPARE(m_wakeUp.first.toHex(' '), QByteArray(6, '\0').toHex(' '));
    QCOMPARE(open->sim.clientLine().toString(), QStringLiteral("115200 8N1"));
    // The device answers no wake-up, so that exchange fails; it is reported before the open.
    QCOMPARE(open->window.events.mid(0, 2), (QStringList {QStringLiteral("data 0"), QStringLiteral("open")}));
    QVERIFY(m_wakeUp.second.at(1).toByteArray().isEmpty());
    QVERIFY(!m_wakeUp.second.at(2).toBool());
}

void TestKelvraSerial::requestsReachDeviceFramedAndPadded_data()
{
    QTest::addColumn<int>("protocol");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("extraZero");
    QTest::addColumn<int>("ack");
    QTest::addColumn<QByteArray>("wire");
    // Scripted answer; empty: the simulated thermometer answers itself.
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QByteArray>("reply");

    const QByteArray none {};
    const QByteArray bareAnswer = QByteArray::fromHex("5A5A");
    QTest::newRow("0x17, 2-byte answer")
        << 0 << int(Command) << 0x17 << none << false << 2 << QByteArray::fromHex("00000000001717") << none
        << QByteArray::fromHex("1717");
    QTest::newRow("0x17 with extra zero, 3-byte answer")
        << 0 << int(Command) << 0x17 << none << true << 3 << QByteArray::fromHex("0000000000001717") << none
        << QByteArray::fromHex("170116");
    QTest::newRow("0x82: no check byte") << 0 << int(Command) << 0x82 << none << false << 2
                                         << QByteArray::fromHex("00000000000082") << bareAnswer << bareAnswer;
    QTest::newRow("0x78 with extra zero: no check byte")
        << 0 << int(Command) << 0x78 << none << true << 2 << QByteArray::fromHex("0000000000000078")
        << bareAnswer << bareAnswer;
    QTest::newRow("8-byte write: no zeros, even with the extra one")
        << 0 << int(Write) << 0x30 << QByteArray::fromHex("010203040506") << true << 2
        << QByteArray::fromHex("3001020304050637") << bareAnswer << bareAnswer;
    QTest::newRow("fast read") << 0 << int(Fast) << 0x01 << none << false << 2
                               << QByteArray::fromHex("00000000000101") << none << kReading235;
    QTest::newRow("fast read with extra zero")
        << 0 << int(Fast) << 0x01 << none << true << 2 << QByteArray::fromHex("0000000000000101") << none
        << kReading235;
    QTest::newRow("protocol 1 read") << 1 << int(Command) << 0x03 << none << false << 2
                                     << QByteArray::fromHex("000300000000441B")
                                     << QByteArray::fromHex("0103020007F986")
                                     << QByteArray::fromHex("0103020007F986");
    QTest::newRow("protocol 1 command")
        << 1 << int(CrcCommand) << 0x03 << none << false << 2 << QByteArray::fromHex("010300000001840A")
        << QByteArray::fromHex("0103020007F986") << QByteArray::fromHex("0103020007F986");
}

void TestKelvraSerial::requestsReachDeviceFramedAndPadded()
{
    QFETCH(int, protocol);
    QFETCH(int, action);
    QFETCH(int, code);
    QFETCH(QByteArray, data);
    QFETCH(bool, extraZero);
    QFETCH(int, ack);
    QFETCH(QByteArray, wire);
    QFETCH(QByteArray, answer);
    QFETCH(QByteArray, reply);

    Rig *open = openRig();
    QVERIFY(open);
    Rig &rig = *open;
    rig.sim.clearLog();
    rig.device->setAckLength(ack);
    rig.script(wire, {answer});
    rig.worker.SetProtocol(protocol);
    KelvraSerial::extraLeadingZero = extraZero;
    // When the first and the last byte reached the device.
    QElapsedTimer sinceFirst;
    qint64 spanMs = -1;
    const QMetaObject::Connection timing
        = connect(&rig.sim, &sim::DeviceSimulator::bytesReceived, &rig.sim, [&](const QByteArray &bytes) {
              if (!sinceFirst.isValid())
                  sinceFirst.start();
              if (rig.sim.received().size() == wire.size() && bytes.size() > 0)
                  spanMs = sinceFirst.elapsed();
          });

    QVERIFY(rig.exchange([&] {
        switch (action) {
        case Command:
            emit rig.window.sig_sendreadkelvra(uchar(code));
            break;
        case Write:
            QMetaObject::invokeMethod(&rig.worker, "SendWriteCommand", Q_ARG(uchar, uchar(code)),
                Q_ARG(QByteArray, data), Q_ARG(ushort, 0));
            break;
        case Fast:
            QMetaObject::invokeMethod(&rig.worker, "FastRead", Q_ARG(uchar, uchar(code)));
            break;
        case CrcCommand:
            QMetaObject::invokeMethod(&rig.worker, "SendCommand", Q_ARG(uchar, 1), Q_ARG(uchar, uchar(code)),
                Q_ARG(ushort, 1), Q_ARG(ushort, 0));
            break;
        }
    }));
    disconnect(timing);
    rig.worker.SetProtocol(0);

    QCOMPARE(rig.sim.received().toHex(' '), wire.toHex(' '));
    QCOMPARE(int(rig.code), code);
    QCOMPARE(rig.reply.toHex(' '), reply.toHex(' '));
    QVERIFY(rig.ok);
    if (action == Fast)
        QCOMPARE(ThermometerProtocol::thermometerReading(rig.reply).value_or(-1.0), 23.5);
    // Commands go out one byte every 10 ms; a port left to buffer them would send them all at once.
    if (protocol == 0 && action != Fast)
        QVERIFY2(spanMs >= (wire.size() - 1) * 10 / 2, qPrintable(QString::number(spanMs)));
}

void TestKelvraSerial::secondAttemptIsJudgedOnItsOwn_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("reply");

    const QByteArray three = QByteArray::fromHex("1020 30");
    const QByteArray five = QByteArray::fromHex("4001020340");
    RowProcesses::newRow("0x40: 3-byte frame, then the 5-byte one") << 0x40 << three << five << true << five;
    RowProcesses::newRow("0x12: 3-byte frame, then nothing")
        << 0x12 << three << QByteArray() << false << three;
    // Together 01 02 03 04 04 would pass as one 5-byte frame.
    RowProcesses::newRow("0x40: halves of two answers")
        << 0x40 << QByteArray::fromHex("010203") << QByteArray::fromHex("0404") << false
        << QByteArray::fromHex("0102030404");
    // Reported alone, the answer's length still tells the window what it means.
    RowProcesses::newRow("0x17: a stray byte, then the answer")
        << 0x17 << QByteArray::fromHex("55") << QByteArray::fromHex("1717") << true
        << QByteArray::fromHex("1717");
}

void TestKelvraSerial::secondAttemptIsJudgedOnItsOwn()
{
    if (!RowProcesses::runsRowHere())
        return;
    QFETCH(int, code);
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    QFETCH(bool, ok);
    QFETCH(QByteArray, reply);

    Rig *open = openRig();
    QVERIFY(open);
    Rig &rig = *open;
    rig.sim.clearLog();
    rig.sim.faults().silence();
    const QByteArray request = QByteArray::fromHex("0000000000") + char(code) + char(code);
    rig.script(request, {first, second});
    QVERIFY(rig.exchange([&] { emit rig.window.sig_sendreadkelvra(uchar(code)); }));
    rig.sim.faults().clear();

    QCOMPARE(rig.sim.received().toHex(' '), request.repeated(2).toHex(' '));
    QCOMPARE(int(rig.code), code);
    QCOMPARE(rig.ok, ok);
    QCOMPARE(rig.reply.toHex(' '), reply.toHex(' '));
    // The first attempt ran into its deadline.
    QVERIFY2(rig.elapsedMs >= 1000, qPrintable(QString::number(rig.elapsedMs)));
}

void TestKelvraSerial::fastReadFailsWithinItsDeadlineAndRecovers_data()
{
    // In the simulator's console language.
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("replySize");

    QTest::newRow("silence") << "silence 1" << false << 0;
    QTest::newRow("garbage") << "garbage" << false << 3;
    QTest::newRow("bad check byte") << "badcheck" << false << 3;
    QTest::newRow("reply in pieces within the deadline") << "split 3 15" << true << 3;
    QTest::newRow("late reply") << "late 150" << false << 0;
}

void TestKelvraSerial::fastReadFailsWithinItsDeadlineAndRecovers()
{
    QFETCH(QString, fault);
    QFETCH(bool, ok);
    QFETCH(int, replySize);

    Rig *open = openRig();
    QVERIFY(open);
    Rig &rig = *open;
    // 28.5 °C is 05 05 00 on the line: its first two bytes alone pass the check.
    rig.device->setTemperature(28.5);
    sim::SimCommands(&rig.sim).execute(fault);
    QVERIFY(!rig.sim.faults().isEmpty());
    QSignalSpy sent(&rig.sim, &sim::DeviceSimulator::replySent);

    QVERIFY(rig.fastRead());
    QCOMPARE(rig.ok, ok);
    QCOMPARE(rig.reply.size(), replySize);
    QVERIFY2(rig.elapsedMs < 500, qPrintable(QString::number(rig.elapsedMs)));

    // Whatever the device still sends for the failed read must not pass for the next reading.
    if (fault != QLatin1String("silence 1"))
        QVERIFY(sent.count() > 0 || sent.wait(kWaitMs));
    rig.device->setTemperature(30.0);
    QVERIFY(rig.fastRead());
    QVERIFY(rig.ok);
    QCOMPARE(ThermometerProtocol::thermometerReading(rig.reply).value_or(-1.0), 30.0);
    rig.device->setTemperature(23.5);
}

void TestKelvraSerial::lateReplyIsNotTakenForTheWakeUpAfterReopening()
{
    Rig *open = openRig();
    QVERIFY(open);
    Rig &rig = *open;
    // The reading comes just after the deadline, once the port has been closed and opened again.
    rig.sim.faults().late(90);
    QVERIFY(rig.fastRead());
    QVERIFY(!rig.ok);
    QVERIFY(rig.close());
    QSignalSpy data(&rig.window, &WindowStandIn::dataArrived);
    QVERIFY(rig.open());
    QCOMPARE(data.count(), 1);
    QCOMPARE(int(data.at(0).at(0).value<uchar>()), 0);
    QVERIFY(!data.at(0).at(2).toBool());
}

void TestKelvraSerial::tryOpenFindsDeviceOnlyAtItsBaudRate_data()
{
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("found");

    QTest::newRow("9600: the device is deaf") << 9600 << 0;
    QTest::newRow("115200: its own rate") << 115200 << 1;
}

void TestKelvraSerial::tryOpenFindsDeviceOnlyAtItsBaudRate()
{
    QFETCH(int, baud);
    QFETCH(int, found);

    Rig rig(115200);
    const QString port = rig.sim.portName();
    KelvraSerial *worker = &rig.worker;
    QCOMPARE(
        rig.onWorker.call([=] { return worker->TryOpen(port, QSerialPort::BaudRate(baud)) ? 1 : 0; }), found);
    QCOMPARE(rig.sim.clientLine().baud, baud);
    QCOMPARE(rig.sim.received().toHex(' '), QByteArray::fromHex("00000000000101").toHex(' '));
    // The port stays open either way; the probe answers by its return value only.
    QVERIFY(rig.worker.IsOpen());
    QVERIFY(rig.window.events.isEmpty());
}

void TestKelvraSerial::requestToClosedPortEmitsNothing()
{
    Rig rig;
    emit rig.window.sig_sendreadkelvra(0x17);
    QMetaObject::invokeMethod(&rig.worker, "FastRead", Q_ARG(uchar, 0x01));
    QMetaObject::invokeMethod(
        &rig.worker, "SendWriteCommand", Q_ARG(uchar, 0x40), Q_ARG(QByteArray, "a"), Q_ARG(ushort, 0));
    QVERIFY(rig.close());
    QCOMPARE(rig.window.events, QStringList {QStringLiteral("close")});
    QVERIFY(rig.sim.received().isEmpty());
}

void TestKelvraSerial::stopOfNeverStartedPollReturnsAtOnce()
{
    Rig rig;
    GetTempThread poll(&rig.worker);
    QElapsedTimer clock;
    clock.start();
    poll.stopThread();
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!poll.isRunning());
}

void TestKelvraSerial::stopWhileInsideExchangeStartsNoOther()
{
    Rig *open = openRig();
    QVERIFY(open);
    Rig &rig = *open;
    GetTempThread poll(&rig.worker);
    QSignalSpy requests(&rig.sim, &sim::DeviceSimulator::requestReceived);
    QSignalSpy data(&rig.window, &WindowStandIn::dataArrived);
    rig.sim.faults().silence();
    poll.startThread();
    // The device has the read and keeps silent: the poll waits inside the exchange.
    QVERIFY(requests.wait(kWaitMs));

    QElapsedTimer clock;
    clock.start();
    poll.stopThread();
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(poll.isFinished());

    // The read under way ends on its own and is reported...
    QVERIFY(data.count() > 0 || data.wait(kWaitMs));
    // ...and no other follows: a running poll would read about every 120 ms from a silent device.
    requests.clear();
    clock.restart();
    while (requests.count() < 2 && clock.elapsed() < 600)
        requests.wait(int(600 - clock.elapsed()));
    QVERIFY2(requests.count() <= 1, qPrintable(QString::number(requests.count())));
    rig.sim.faults().clear();
}

void TestKelvraSerial::stopFromThreadTheCallIsQueuedToDoesNotDeadlock()
{
    QObject receiver;
    int ticks = 0;
    GetTempThread poll(&receiver, [&ticks] { ++ticks; });
    poll.startThread();
    // The ticks run in this thread's event loop.
    QTRY_VERIFY_WITH_TIMEOUT(ticks >= 2, kWaitMs);
    // Hold this thread for longer than one rest, so the loop's next call is queued here and waiting for it.
    QThread::msleep(3 * GetTempThread::kRestMs);

    QElapsedTimer clock;
    clock.start();
    poll.stopThread();
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    const int atStop = ticks;
    // The call the stop abandoned never runs.
    QCoreApplication::processEvents();
    // cppcheck-suppress knownConditionTrueFalse ; processEvents above runs any call left queued
    QCOMPARE(ticks, atStop);
}

void TestKelvraSerial::pollRestartsAfterCloseOrUnplug_data()
{
    QTest::addColumn<bool>("unplug");

    QTest::newRow("closed by the window") << false;
    QTest::newRow("device unplugged") << true;
}

void TestKelvraSerial::pollRestartsAfterCloseOrUnplug()
{
    QFETCH(bool, unplug);

    Rig *open = openRig();
    QVERIFY(open);
    Rig &rig = *open;
    GetTempThread poll(&rig.worker);
    rig.window.poll = &poll;
    const auto forget = qScopeGuard([&rig] { rig.window.poll = nullptr; });
    QSignalSpy data(&rig.window, &WindowStandIn::dataArrived);
    poll.startThread();
    QTRY_VERIFY_WITH_TIMEOUT(data.count() >= 3, kWaitMs);
    QVERIFY(data.last().at(2).toBool());

    QSignalSpy closed(&rig.window, &WindowStandIn::closeArrived);
    if (unplug)
        rig.sim.hangUp();
    else
        emit rig.window.sig_closecom2();
    QVERIFY(closed.wait(kWaitMs));
    QVERIFY(poll.isFinished());
    QVERIFY(!rig.worker.IsOpen());
    if (unplug) {
        QVERIFY(rig.window.events.contains(QStringLiteral("error %1").arg(int(QSerialPort::ResourceError))));
        QVERIFY(rig.sim.open(rig.sim.portName()));
    }

    data.clear();
    QVERIFY(rig.open());
    QVERIFY(poll.isRunning());
    QTRY_VERIFY_WITH_TIMEOUT(data.count() >= 3, kWaitMs);
    QCOMPARE(data.last().at(1).toByteArray().toHex(' '), kReading235.toHex(' '));
    QVERIFY(data.last().at(2).toBool());
}

void TestKelvraSerial::shutdownWhileExchangesRunDoesNotHang()
{
    Rig rig;
    auto worker = std::make_unique<KelvraSerial>();
    auto poll = std::make_unique<GetTempThread>(worker.get());
    // Opened by the probe, which is answered at once, rather than by OpenCom and its unanswered wake-up.
    QMetaObject::invokeMethod(worker.get(), "TryOpen", Q_ARG(QString, rig.sim.portName()),
        Q_ARG(QSerialPort::BaudRate, QSerialPort::Baud115200));
    QTRY_COMPARE_WITH_TIMEOUT(rig.sim.requests().size(), 1, kWaitMs);
    rig.sim.faults().silence();
    poll->startThread();
    // A command exchange waits in the worker's queue behind the reads.
    QMetaObject::invokeMethod(worker.get(), "SendReadCommand", Q_ARG(uchar, 0x17));
    QTRY_VERIFY_WITH_TIMEOUT(rig.sim.requests().size() >= 3, kWaitMs);

    QElapsedTimer clock;
    clock.start();
    poll.reset();
    worker.reset();
    // The exchange under way is cut short rather than sat out.
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));

    // The port was closed, so it can be opened for exclusive use again.
    QSerialPort port(rig.sim.portName());
    QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
}

BB_CASE_PROCESSES_GUILESS_MAIN(TestKelvraSerial, Functions, 12)
#include "tst_kelvraserial.moc"
