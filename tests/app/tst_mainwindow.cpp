#include "app/mainwindow.h"
#include "app/startup.h"
#include "widgets/navbutton.h"
#include "windowtest.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QSerialPortInfo>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>

#include <algorithm>

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
    void dragOnTitleBarMovesTheWindow_data();
    void dragOnTitleBarMovesTheWindow();

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
    const auto labels = window.statusBar()->findChildren<QLabel *>();
    const auto found = std::find_if(
        labels.begin(), labels.end(), [&expected](QLabel *label) { return label->text() == expected; });
    QVERIFY(found != labels.end());
    const QLabel *version = *found;
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

// Offscreen there is no window manager to move the window, so the window moves itself by the deltas.
void TestMainWindow::dragOnTitleBarMovesTheWindow_data()
{
    QTest::addColumn<bool>("onTitleBar");
    QTest::addColumn<bool>("maximised");
    QTest::addColumn<bool>("moves");
    QTest::newRow("title bar") << true << false << true;
    QTest::newRow("below the title bar") << false << false << false;
    QTest::newRow("maximised") << true << true << false;
}

void TestMainWindow::dragOnTitleBarMovesTheWindow()
{
    QFETCH(bool, onTitleBar);
    QFETCH(bool, maximised);
    QFETCH(bool, moves);
    MainWindow window;
    window.setGeometry(100, 100, 900, 640);
    if (maximised)
        window.showMaximized();
    else
        window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *bar = window.findChild<CorvelTitalbar *>();
    QVERIFY(bar);
    const QPoint start = window.pos();
    // Presses on the bar itself or on the empty form below reach the window, as the operator's would.
    QWidget *target = onTitleBar ? static_cast<QWidget *>(bar) : window.centralWidget();
    const QPoint at(target->width() / 2, onTitleBar ? bar->height() / 2 : 3);
    QTest::mousePress(target, Qt::LeftButton, {}, at);
    const QPoint pressed = target->mapToGlobal(at);
    for (int step = 1; step <= 4; ++step) {
        const QPoint delta(10 * step, 5 * step);
        QMouseEvent move(QEvent::MouseMove, at + delta, pressed + delta, Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(target, &move);
    }
    QTest::mouseRelease(target, Qt::LeftButton, {}, at + QPoint(40, 20));
    QCOMPARE(window.pos(), moves ? start + QPoint(40, 20) : start);
}
