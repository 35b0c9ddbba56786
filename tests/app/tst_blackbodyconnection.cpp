#include "../common/caseprocesses.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "blackbodydevice.h"
#include "chart/ttwidget.h"
#include "devicesimulator.h"
#include "recording/samplestore.h"
#include "settings/settings.h"
#include "station/station.h"
#include "widgets/navbutton.h"
#include "windowtest.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

class TestBlackbodyConnection : public WindowTest
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void opensWithTheModelsLineSettings_data();
    void opensWithTheModelsLineSettings();
    void openFailureIsReportedAndControlsStayUsable();
    void pollsEveryHalfSecondAndShowsBothTemperatures();
    void setPointIsConfirmedOrRefusedInABox();
    void closingMarksTilesWithoutReading();
    void vanishedPortIsReopenedWhileRecordingGoesOn();
    void setPointBoxTakesTheControllersUnlessEdited_data();
    void setPointBoxTakesTheControllersUnlessEdited();
    void lastOpenedLinkIsOfferedAtNextStartWhileItsPortIsThere();
    void stabilityIsShownOnceTheControllerHoldsItsSetPoint();

private:
    QString linkText() const { return child<QLabel>("linkLabel")->text(); }
    void clickSet(double value);
};

void TestBlackbodyConnection::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    prepareApplication();
    // Seconds; short, so a controller is found stable within a test's wait.
    appSettings.setValue(appSettings.stableWindowKey, QStringLiteral("1"));
}

void TestBlackbodyConnection::init()
{
    showWindow();
}

void TestBlackbodyConnection::cleanup()
{
    closeWindow();
}

void TestBlackbodyConnection::clickSet(double value)
{
    child<QDoubleSpinBox>("doubleSpinBox")->setValue(value);
    click("pushButton_set");
}

void TestBlackbodyConnection::opensWithTheModelsLineSettings_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<int>("stopBits");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");

    QTest::newRow("VBM100") << 0 << 2 << 2 << 20.0 << 0.0 << 100.0;
    // The one model reaching 510 °C: catches a set-point box capped at another model's top.
    QTest::newRow("VBM500") << 2 << 1 << 1 << 10.0 << 0.0 << 510.0;
}

void TestBlackbodyConnection::opensWithTheModelsLineSettings()
{
    QFETCH(int, model);
    openSimulator(model);

    const sim::LineSettings line = m_sim->clientLine();
    QCOMPARE(line.baud, 9600);
    QCOMPARE(line.dataBits, 8);
    QCOMPARE(line.parity, 'N');
    QTEST(line.stopBits, "stopBits");

    auto *spin = child<QDoubleSpinBox>("doubleSpinBox");
    QTEST(spin->decimals(), "decimals");
    QTEST(spin->value(), "value");
    QTEST(spin->minimum(), "minimum");
    QTEST(spin->maximum(), "maximum");
    QVERIFY(!child<QWidget>("widget_com")->isEnabled());
    QVERIFY(!child<QWidget>("widget_baud")->isEnabled());
    QVERIFY(!child<QWidget>("widget_bod_type")->isEnabled());
    QVERIFY(m_window->statusBar()->findChildren<QLabel *>().size() >= 3);
    QVERIFY(statusBarShows(QStringLiteral("已选择:") + m_sim->portName()));
}

void TestBlackbodyConnection::openFailureIsReportedAndControlsStayUsable()
{
    child<QComboBox>("comboBoxCom")->setEditText(m_dir.filePath(QStringLiteral("no-such-port")));
    click("pushButton_com");
    QTRY_COMPARE_WITH_TIMEOUT(m_modals->boxes.size(), 1, kWaitMs);
    // Which port, and why.
    QCOMPARE(m_modals->boxes.first(),
        QStringLiteral("错误|无法打开端口 %1：No such file or directory")
            .arg(m_dir.filePath(QStringLiteral("no-such-port"))));
    QCOMPARE(portButton(), QStringLiteral("打开串口"));
    QVERIFY(child<QWidget>("widget_com")->isEnabled());
}

void TestBlackbodyConnection::pollsEveryHalfSecondAndShowsBothTemperatures()
{
    QSignalSpy chart(m_window.get(), &MainWindow::ttwidget_addvalue);
    openSimulator(0);
    m_device->setSetPoint(37.25);

    QTRY_COMPARE_WITH_TIMEOUT(tile("当前温度值")->text(), QStringLiteral("37.25℃"), kWaitMs);
    QCOMPARE(tile("设定温度值")->text(), QStringLiteral("37.25℃"));
    QTRY_VERIFY(!chart.isEmpty());
    QCOMPARE(chart.last().at(0).toDouble(), double(37.25f));

    // Requests come one per tick: three more need about a second, and never arrive in bursts.
    QSignalSpy requests(m_sim.get(), &sim::DeviceSimulator::requestReceived);
    QElapsedTimer clock;
    clock.start();
    QList<qint64> times;
    while (times.size() < 3 && clock.elapsed() < kWaitMs) {
        if (requests.wait(kWaitMs))
            times << clock.elapsed();
    }
    QCOMPARE(times.size(), 3);
    for (int i = 1; i < times.size(); ++i) {
        const qint64 gap = times.at(i) - times.at(i - 1);
        QVERIFY2(gap > 250 && gap < 1500, qPrintable(QString::number(gap)));
    }
    QCOMPARE(requests.first().at(0).toByteArray(), QByteArray::fromHex("808052000052"));
}

void TestBlackbodyConnection::setPointIsConfirmedOrRefusedInABox()
{
    openSimulator(1);
    // Time from the controller's answer to the set frame to the confirmation on screen.
    QElapsedTimer sinceSetReply;
    bool setFrameArrived = false;
    connect(m_sim.get(), &sim::DeviceSimulator::requestReceived, this,
        [&](const QByteArray &request) { setFrameArrived |= quint8(request.at(2)) == 0x43; });
    connect(m_sim.get(), &sim::DeviceSimulator::replySent, this, [&] {
        if (setFrameArrived && !sinceSetReply.isValid())
            sinceSetReply.start();
    });
    clickSet(25.5);
    QTRY_COMPARE_WITH_TIMEOUT(m_modals->boxes, QStringList {QStringLiteral("提示|设置成功")}, kWaitMs);
    QVERIFY2(sinceSetReply.elapsed() < 1000, qPrintable(QString::number(sinceSetReply.elapsed())));
    QCOMPARE(m_device->setPoint(), 25.5);
    bool setFrameSeen = false;
    for (const QByteArray &request : m_sim->requests())
        setFrameSeen |= request == QByteArray::fromHex("80804300ff0042");
    QVERIFY(setFrameSeen);
    QTRY_COMPARE_WITH_TIMEOUT(tile("设定温度值")->text(), QStringLiteral("25.5℃"), kWaitMs);

    // A set point the controller never takes is reported as such.
    m_device->setIgnoreSetFrames(true);
    clickSet(30.0);
    QTRY_COMPARE_WITH_TIMEOUT(m_modals->boxes.size(), 2, 2 * kWaitMs);
    QCOMPARE(m_modals->boxes.last(), QStringLiteral("提示|设置失败,请再试一次"));
}

void TestBlackbodyConnection::closingMarksTilesWithoutReading()
{
    QSignalSpy chart(m_window.get(), &MainWindow::ttwidget_addvalue);
    auto *recordControl = m_window->findChild<ttwidget *>()->findChild<NavButton *>("pushButton_startstop");
    QVERIFY(!recordControl->isEnabled());
    openSimulator(0);
    QVERIFY(recordControl->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(tile("当前温度值")->text(), QStringLiteral("25.00℃"), kWaitMs);
    click("navButton_startstop");
    QVERIFY(m_window->findChild<ttwidget *>()->isRecording());
    QTRY_VERIFY_WITH_TIMEOUT(m_window->findChild<ttwidget *>()->curve().size() > 0, kWaitMs);

    click("pushButton_com");
    QTRY_COMPARE_WITH_TIMEOUT(portButton(), QStringLiteral("打开串口"), kWaitMs);
    QCOMPARE(tile("当前温度值")->text(), QStringLiteral("---"));
    QCOMPARE(tile("设定温度值")->text(), QStringLiteral("---"));
    QCOMPARE(chart.last().at(0).toDouble(), double(ttwidget::NoReading));
    QVERIFY(child<QWidget>("widget_com")->isEnabled());
    QVERIFY(child<QWidget>("widget_bod_type")->isEnabled());
    // The recording ends with the link, keeping its samples.
    QVERIFY(!m_window->findChild<ttwidget *>()->isRecording());
    QVERIFY(m_window->findChild<ttwidget *>()->curve().size() > 0);
    QCOMPARE(child<NavButton>("navButton_startstop")->text(), QStringLiteral("开始"));
    QVERIFY(!recordControl->isEnabled());
    QVERIFY(statusBarShows(QStringLiteral("端口已关闭")));
    QVERIFY(m_modals->boxes.isEmpty());
}

// The port vanishes while a recording runs: the window keeps its state, reopens the same path as soon
// as it is back, and the recording goes on with a gap; a close during the attempts ends them.
void TestBlackbodyConnection::vanishedPortIsReopenedWhileRecordingGoesOn()
{
    m_window->setReconnectWarningDelay(800);
    m_modals->onBox = [](QMessageBox *) {}; // left open: it must close itself
    openSimulator(0);
    QTRY_COMPARE_WITH_TIMEOUT(tile("当前温度值")->text(), QStringLiteral("25.00℃"), kWaitMs);
    ttwidget *chart = child<ttwidget>("widget_tt");
    click("navButton_startstop");
    QTRY_VERIFY_WITH_TIMEOUT(chart->curve().size() > 0, kWaitMs);

    m_sim->hangUp();
    QTRY_COMPARE_WITH_TIMEOUT(linkText(), QStringLiteral("连接已断开，正在重新连接…"), kWaitMs);
    // The port's error comes first, the worker's close of it a moment later.
    QTRY_COMPARE_WITH_TIMEOUT(tile("当前温度值")->text(), QStringLiteral("---"), kWaitMs);
    QCOMPARE(portButton(), QStringLiteral("关闭串口"));
    QVERIFY(!child<QWidget>("widget_com")->isEnabled());
    QVERIFY(chart->isRecording());
    QVERIFY(child<NavButton>("navButton_startstop")->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(m_modals->boxes.size(), 1, kWaitMs);
    QVERIFY(m_modals->boxes.first().startsWith(QStringLiteral("错误|")));
    const double lastBeforeGap = chart->curve().at(chart->curve().size() - 1).key;

    QSignalSpy requests(m_sim.get(), &sim::DeviceSimulator::requestReceived);
    QString error;
    QVERIFY2(m_sim->open(m_sim->portName(), &error), qPrintable(error));
    QElapsedTimer back;
    back.start();
    QVERIFY(requests.wait(kWaitMs));
    QVERIFY2(back.elapsed() < 2000, qPrintable(QString::number(back.elapsed())));
    QTRY_COMPARE_WITH_TIMEOUT(tile("当前温度值")->text(), QStringLiteral("25.00℃"), kWaitMs);
    QTRY_VERIFY(m_window->findChildren<QMessageBox *>().isEmpty());
    QVERIFY(linkText().isEmpty());
    QVERIFY(chart->isRecording());
    // No samples for the outage, then the curve goes on.
    QTRY_VERIFY_WITH_TIMEOUT(chart->curve().at(chart->curve().size() - 1).key > lastBeforeGap + 1.5, kWaitMs);
    const int after = chart->curve().lowerBound(lastBeforeGap + 0.001);
    QVERIFY(chart->curve().at(after).key - lastBeforeGap > 1.0);

    // Giving up during the attempts closes for good.
    m_sim->hangUp();
    QTRY_COMPARE_WITH_TIMEOUT(linkText(), QStringLiteral("连接已断开，正在重新连接…"), kWaitMs);
    click("pushButton_com");
    QCOMPARE(portButton(), QStringLiteral("打开串口"));
    QVERIFY(child<QWidget>("widget_com")->isEnabled());
    QVERIFY(!chart->isRecording());
    QVERIFY(linkText().isEmpty());
    requests.clear();
    QVERIFY2(m_sim->open(m_sim->portName(), &error), qPrintable(error));
    // Attempts come every second while they go on.
    QVERIFY(!requests.wait(1500));
}

void TestBlackbodyConnection::stabilityIsShownOnceTheControllerHoldsItsSetPoint()
{
    openSimulator(0);
    click("navButton_startstop");
    auto *label = child<QLabel>("stabilityLabel");
    QTRY_COMPARE_WITH_TIMEOUT(label->text(), QStringLiteral("未稳定"), kWaitMs);
    const QRegularExpression stable(QStringLiteral("^稳定 00:0\\d$"));
    QTRY_VERIFY_WITH_TIMEOUT(stable.match(label->text()).hasMatch(), kWaitMs);
    // The moment is marked on the recording: a line and its label.
    QCOMPARE(m_window->findChild<ttwidget *>()->chartPlot()->itemCount(), 2);

    click("pushButton_com");
    QTRY_COMPARE_WITH_TIMEOUT(portButton(), QStringLiteral("打开串口"), kWaitMs);
    QCOMPARE(label->text(), QString());
}

BB_CASE_PROCESSES_MAIN(TestBlackbodyConnection, Rows, 11)
void TestBlackbodyConnection::setPointBoxTakesTheControllersUnlessEdited_data()
{
    QTest::addColumn<bool>("edited");
    QTest::addColumn<double>("shown");
    QTest::newRow("controller's set point") << false << 60.0;
    QTest::newRow("operator's edit before the first reply") << true << 42.0;
}

void TestBlackbodyConnection::setPointBoxTakesTheControllersUnlessEdited()
{
    QFETCH(bool, edited);
    openSimulator(0);
    // Reopened against a controller that already holds 60 and answers late, so there is time to edit.
    click("pushButton_com");
    QTRY_COMPARE_WITH_TIMEOUT(portButton(), QStringLiteral("打开串口"), kWaitMs);
    m_device->setSetPoint(60.0);
    m_device->setPollDelay(300);
    click("pushButton_com");
    QTRY_COMPARE_WITH_TIMEOUT(portButton(), QStringLiteral("关闭串口"), kWaitMs);
    auto *box = child<QDoubleSpinBox>("doubleSpinBox");
    QCOMPARE(box->value(), 20.0);
    if (edited)
        box->setValue(42.0);
    QTRY_COMPARE_WITH_TIMEOUT(tile("设定温度值")->text(), QStringLiteral("60.00℃"), kWaitMs);
    QTEST(box->value(), "shown");
}

void TestBlackbodyConnection::lastOpenedLinkIsOfferedAtNextStartWhileItsPortIsThere()
{
    openSimulator(1);
    const QString port = m_sim->portName();
    m_window = std::make_unique<MainWindow>(m_station.get());
    QCOMPARE(child<QComboBox>("comboBoxCom")->currentText(), port);
    QCOMPARE(child<QComboBox>("comboBoxBodtype")->currentText(), QStringLiteral("VBM400"));
    QCOMPARE(child<QComboBox>("comboBoxBaud")->currentText(), QStringLiteral("9600"));

    // The adapter is gone: the usual start-up choices.
    m_window.reset();
    m_sim.reset();
    m_window = std::make_unique<MainWindow>(m_station.get());
    QVERIFY(child<QComboBox>("comboBoxCom")->currentText() != port);
    QCOMPARE(child<QComboBox>("comboBoxBodtype")->currentText(), QStringLiteral("VBM100"));
}

#include "tst_blackbodyconnection.moc"
