#include "app/mainwindow.h"
#include "app/startup.h"
#include "chart/ttwidget.h"
#include "recording/samplestore.h"
#include "serial/kelvraserial.h"
#include "station/station.h"
#include "widgets/navbutton.h"
#include "windowtest.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {
constexpr int kWaitMs = 8000;
constexpr double NoReading = -10000;
} // namespace

// The thermometer's controls are hidden in the product; shown here, they drive the link end to end.
class TestThermometerConnection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void probesWithoutBlockingOpensPollsAndFeedsTheChartsAmbientCurve();

private:
    template<typename T>
    T *child(const char *name) const
    {
        return namedChild<T>(m_window.get(), name);
    }

    QTemporaryDir m_dir;
    std::unique_ptr<Station> m_station;
    std::unique_ptr<MainWindow> m_window;
};

void TestThermometerConnection::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    prepareApplication();
}

void TestThermometerConnection::probesWithoutBlockingOpensPollsAndFeedsTheChartsAmbientCurve()
{
    ModalHandler boxes;
    // Both instruments from the simulator's own process, out of reach of this thread's load.
    QProcess sim;
    const QString bbLink = m_dir.filePath(QStringLiteral("bb"));
    const QString thermoLink = m_dir.filePath(QStringLiteral("thermo"));
    sim.start(QStringLiteral(BBSIM_PATH),
        {QStringLiteral("--link"), bbLink, QStringLiteral("--noise"), QStringLiteral("0"),
            QStringLiteral("--thermo-link"), thermoLink, QStringLiteral("--thermo-baud"),
            QStringLiteral("115200"), QStringLiteral("--thermo-temp"), QStringLiteral("23.5"),
            QStringLiteral("--thermo-ack"), QStringLiteral("3")});
    QVERIFY(sim.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(bbLink) && QFile::exists(thermoLink), kWaitMs);

    m_station = std::make_unique<Station>();
    m_window = std::make_unique<MainWindow>(m_station.get());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    child<QGroupBox>("groupBox_thermometer")->setVisible(true);
    QSignalSpy ambient(m_window.get(), &MainWindow::ttwidget_addvalue_amb);

    // A recording runs on the blackbody's link, so the ambient readings have a curve to join.
    child<QComboBox>("comboBoxCom")->setEditText(bbLink);
    QTest::mouseClick(child<NavButton>("pushButton_com"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(
        child<NavButton>("pushButton_com")->text(), QStringLiteral("关闭串口"), kWaitMs);
    QTest::mouseClick(child<NavButton>("navButton_startstop"), Qt::LeftButton);
    ttwidget *chart = child<ttwidget>("widget_tt");

    // Deaf at 9600 and silent once at 115200: this thread ticks on through both 200 ms probes, then hears
    // of them. The simulator's answer lists the fault once it is in force.
    sim.write("thermo silence 1\n");
    QByteArray answer;
    while (!answer.contains("faults:") && sim.waitForReadyRead(kWaitMs))
        answer += sim.readAllStandardOutput();
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, [&] { ticks += boxes.boxes.isEmpty() ? 1 : 0; });
    ticker.start(10);
    child<QComboBox>("comboBoxCom_2")->setEditText(thermoLink);
    QTest::mouseClick(child<NavButton>("pushButton_com_2"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(boxes.boxes, QStringList {QStringLiteral("错误|无法连接设备!")}, kWaitMs);
    QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));

    // The rate found is the second one, and the list shows it.
    QTest::mouseClick(child<NavButton>("pushButton_com_2"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(
        child<NavButton>("pushButton_com_2")->text(), QStringLiteral("关闭串口"), kWaitMs);
    QCOMPARE(child<QComboBox>("comboBoxBaud_2")->currentText(), QStringLiteral("115200"));
    // The 3-byte answer to 0x17 asks for one more wake-up zero, before the first read.
    QVERIFY(KelvraSerial::extraLeadingZero.load());
    QTRY_VERIFY_WITH_TIMEOUT(chart->ambientCurve().size() > 0, kWaitMs);
    QCOMPARE(chart->ambientCurve().at(chart->ambientCurve().size() - 1).value, 23.5);

    // Closed, the chart is told there is no reading; reopened, the poll starts again.
    QTest::mouseClick(child<NavButton>("pushButton_com_2"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(
        child<NavButton>("pushButton_com_2")->text(), QStringLiteral("打开串口"), kWaitMs);
    QCOMPARE(ambient.last().at(0).toDouble(), NoReading);
    sim.write("thermo temp 18\n");
    QTest::mouseClick(child<NavButton>("pushButton_com_2"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ambient.last().at(0).toDouble(), 18.0, kWaitMs);

    // Closed by the operator while the recording and the poll run. Catches shutdown steps taken before
    // the answer, and a poll that outlives the closed window.
    QTRY_VERIFY_WITH_TIMEOUT(chart->curve().size() > 0, kWaitMs);
    QString choice = QStringLiteral("取消");
    boxes.onBox = [&choice](QMessageBox *box) { boxButton(box, choice)->click(); };
    auto *closeButton = child<QToolButton>("CloseButton");
    QTest::mouseClick(closeButton, Qt::LeftButton);
    ambient.clear();
    QVERIFY(ambient.wait(kWaitMs));
    choice = QStringLiteral("放弃");
    QTest::mouseClick(closeButton, Qt::LeftButton);
    QVERIFY(!m_window->isVisible());
    // Only the read under way at the close may still be reported; a running poll reads many times a second.
    // Readings the poll handed over before the close may still wait in the queue of a slow build.
    QCoreApplication::sendPostedEvents();
    ambient.clear();
    QElapsedTimer clock;
    clock.start();
    while (ambient.count() < 2 && clock.elapsed() < 1000)
        ambient.wait(int(1000 - clock.elapsed()));
    QVERIFY2(ambient.count() <= 1, qPrintable(QString::number(ambient.count())));
    m_window.reset();
    m_station.reset();
    sim.closeWriteChannel();
    sim.terminate();
    QVERIFY(sim.waitForFinished());
}

QTEST_MAIN(TestThermometerConnection)
#include "tst_thermometerconnection.moc"
