#include "app/mainwindow.h"
#include "app/startup.h"
#include "chart/samplestore.h"
#include "chart/ttwidget.h"
#include "serial/kelvraserial.h"
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
    void probesOpensPollsAndFeedsTheChartsAmbientCurve();

private:
    template<typename T>
    T *child(const char *name) const
    {
        return namedChild<T>(m_window.get(), name);
    }

    QTemporaryDir m_dir;
    std::unique_ptr<MainWindow> m_window;
};

void TestThermometerConnection::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    prepareApplication();
}

void TestThermometerConnection::probesOpensPollsAndFeedsTheChartsAmbientCurve()
{
    ModalHandler boxes;
    // Both instruments from the simulator's own process: the window probes the thermometer from its own
    // thread, blocking it, so the thermometer must answer from elsewhere.
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
    auto setTemperature = [&sim](double celsius) {
        sim.write(QStringLiteral("thermo temp %1\n").arg(celsius).toUtf8());
        sim.waitForBytesWritten();
    };

    m_window = std::make_unique<MainWindow>();
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
    QVERIFY(chart->isRecording());

    // Deaf at 9600: the rate found is the second one, and the list shows it.
    child<QComboBox>("comboBoxCom_2")->setEditText(thermoLink);
    QTest::mouseClick(child<NavButton>("pushButton_com_2"), Qt::LeftButton);
    QVERIFY2(boxes.boxes.isEmpty(), qPrintable(boxes.boxes.join(QLatin1Char(';'))));
    QCOMPARE(child<QComboBox>("comboBoxBaud_2")->currentText(), QStringLiteral("115200"));
    QTRY_COMPARE_WITH_TIMEOUT(
        child<NavButton>("pushButton_com_2")->text(), QStringLiteral("关闭串口"), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(!ambient.isEmpty() && ambient.last().at(0).toDouble() == 23.5, kWaitMs);
    // A 3-byte answer to 0x17 asks for one more wake-up zero.
    QTRY_VERIFY_WITH_TIMEOUT(KelvraSerial::extraLeadingZero.load(), kWaitMs);
    setTemperature(30.2);
    QTRY_COMPARE_WITH_TIMEOUT(ambient.last().at(0).toDouble(), 30.2, kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(chart->ambientCurve().size() > 0, kWaitMs);
    const SampleStore &curve = chart->ambientCurve();
    QVERIFY(curve.at(curve.size() - 1).value == 23.5 || curve.at(curve.size() - 1).value == 30.2);

    // Closed, the chart is told there is no reading; reopened, the poll starts again.
    QTest::mouseClick(child<NavButton>("pushButton_com_2"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(
        child<NavButton>("pushButton_com_2")->text(), QStringLiteral("打开串口"), kWaitMs);
    QCOMPARE(ambient.last().at(0).toDouble(), NoReading);
    ambient.clear();
    setTemperature(18.0);
    QTest::mouseClick(child<NavButton>("pushButton_com_2"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!ambient.isEmpty() && ambient.last().at(0).toDouble() == 18.0, kWaitMs);

    // Closed by the operator while the recording and the poll run. Catches shutdown steps taken before
    // the answer, and a poll that outlives the closed window.
    QTRY_VERIFY_WITH_TIMEOUT(chart->curve().size() > 0, kWaitMs);
    QString answer = QStringLiteral("取消");
    boxes.onBox = [&answer](QMessageBox *box) { boxButton(box, answer)->click(); };
    auto *closeButton = child<QToolButton>("CloseButton");
    QTest::mouseClick(closeButton, Qt::LeftButton);
    QVERIFY(m_window->isVisible());
    QVERIFY(chart->isRecording());
    ambient.clear();
    QVERIFY(ambient.wait(kWaitMs));
    answer = QStringLiteral("放弃");
    QTest::mouseClick(closeButton, Qt::LeftButton);
    QVERIFY(!m_window->isVisible());
    const QString question = QStringLiteral("提示|当前曲线尚未保存，放弃这条曲线吗？");
    QCOMPARE(boxes.boxes, (QStringList {question, question}));
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
    sim.closeWriteChannel();
    sim.terminate();
    QVERIFY(sim.waitForFinished());
}

QTEST_MAIN(TestThermometerConnection)
#include "tst_thermometerconnection.moc"
