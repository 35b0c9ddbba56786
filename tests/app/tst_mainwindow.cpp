#include "app/mainwindow.h"
#include "app/navbutton.h"
#include "app/startup.h"
#include "windowtest.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QSerialPortInfo>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void listsStartWithPortsNineSixHundredAndFirstModel();
    void thermometerControlsAndSpareButtonsStayHidden();
    void statusBarShowsVersionAtRightEnd();
    void buttonsCarryTheirCaptionsAndLooks();
    void styleSheetIncludesBundledRules();
    void portBoxHasFocus();

private:
    template<typename T>
    T *child(MainWindow &window, const char *name)
    {
        return namedChild<T>(&window, name);
    }
};

void TestMainWindow::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    prepareApplication();
}

void TestMainWindow::listsStartWithPortsNineSixHundredAndFirstModel()
{
    MainWindow window;
    QStringList ports;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos)
        ports << info.portName();

    for (const char *name : {"comboBoxCom", "comboBoxCom_2"}) {
        auto *box = child<QComboBox>(window, name);
        QStringList listed;
        for (int i = 0; i < box->count(); ++i)
            listed << box->itemText(i);
        QCOMPARE(listed, ports);
    }

    const QStringList bauds = {"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"};
    for (const char *name : {"comboBoxBaud", "comboBoxBaud_2"}) {
        auto *box = child<QComboBox>(window, name);
        QCOMPARE(box->count(), bauds.size());
        for (int i = 0; i < bauds.size(); ++i)
            QCOMPARE(box->itemText(i), bauds.at(i));
        QCOMPARE(box->currentText(), QStringLiteral("9600"));
    }

    auto *models = child<QComboBox>(window, "comboBoxBodtype");
    QCOMPARE(models->count(), 5);
    QCOMPARE(models->itemText(0), QStringLiteral("VBM100"));
    QCOMPARE(models->itemText(4), QStringLiteral("VB400"));
    QCOMPARE(models->currentText(), QStringLiteral("VBM100"));
}

void TestMainWindow::thermometerControlsAndSpareButtonsStayHidden()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(!child<QGroupBox>(window, "groupBox_thermometer")->isVisible());
    QVERIFY(!child<NavButton>(window, "navButton_amb")->isVisible());
    QVERIFY(!child<NavButton>(window, "pushButton_device")->isVisible());
    QVERIFY(child<NavButton>(window, "pushButton_file")->isVisible());
    QVERIFY(child<NavButton>(window, "navButton_autofit")->isVisible());
}

void TestMainWindow::statusBarShowsVersionAtRightEnd()
{
    MainWindow window;
    window.resize(874, 574);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const QString expected = QStringLiteral("V" BB_VERSION);
    QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral(BB_VERSION));
    QLabel *version = nullptr;
    const auto labels = window.statusBar()->findChildren<QLabel *>();
    for (QLabel *label : labels) {
        if (label->text() == expected)
            version = label;
    }
    QVERIFY(version);
    for (QLabel *label : labels) {
        if (label != version)
            QVERIFY(label->geometry().right() < version->geometry().left());
    }
    QVERIFY(version->geometry().right() > window.statusBar()->width() - 40);
}

void TestMainWindow::buttonsCarryTheirCaptionsAndLooks()
{
    MainWindow window;
    const QList<QPair<const char *, QString>> captions = {
        {"pushButton_com", "打开串口"},
        {"pushButton_com_2", "打开串口"},
        {"pushButton_set", "设置温度"},
        {"pushButton_file", "文件"},
        {"pushButton_help", "帮助"},
        {"navButton_startstop", "开始"},
        {"navButton_hc", "暂停"},
        {"navButton_mode", "全局"},
        {"navButton_amb", "环温"},
        {"navButton_autofit", "自适应"},
        {"navButton_export", "保存曲线"},
    };
    for (const auto &caption : captions)
        QCOMPARE(child<NavButton>(window, caption.first)->text(), caption.second);

    // Toggle buttons carry the unticked box; plain buttons none.
    const QImage unticked = QPixmap(":/imager/ic_checkbox_unsel.png").toImage();
    QVERIFY(!unticked.isNull());
    for (const char *name : {"navButton_mode", "navButton_autofit", "navButton_amb"}) {
        auto *button = child<NavButton>(window, name);
        QVERIFY(button->showIcon());
        QCOMPARE(button->iconNormal().toImage(), unticked);
    }
    QVERIFY(!child<NavButton>(window, "navButton_startstop")->showIcon());
    QCOMPARE(child<NavButton>(window, "pushButton_com")->normalBgColor(), QColor(160, 177, 204));
    QCOMPARE(child<NavButton>(window, "pushButton_file")->normalTextColor(), QColor(Qt::black));
}

void TestMainWindow::styleSheetIncludesBundledRules()
{
    MainWindow window;
    const QString sheet = window.styleSheet();
    QVERIFY(sheet.startsWith(QStringLiteral("QLabel#labTitle{font:18px;}")));
    QVERIFY(sheet.contains(QStringLiteral("#CorvelTitalbar")));
    QVERIFY(sheet.endsWith(QStringLiteral("QWidget[flag=\"nav\"] QWidget{background:none;border:none;}")));
    // A byte-order mark in the middle of a sheet would make Qt reject the whole sheet.
    QVERIFY(!sheet.contains(QChar(0xFEFF)));
}

void TestMainWindow::portBoxHasFocus()
{
    MainWindow window;
    QCOMPARE(window.focusWidget(), child<QComboBox>(window, "comboBoxCom"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
