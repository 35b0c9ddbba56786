#include "app/mainwindow.h"
#include "app/startup.h"
#include "chart/ttwidget.h"
#include "station/station.h"
#include "widgets/navbutton.h"
#include "widgets/tempareaitem.h"
#include "windowtest.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QSerialPortInfo>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>

#include <algorithm>

namespace {

QStringList items(const QComboBox *box)
{
    QStringList list;
    for (int i = 0; i < box->count(); ++i)
        list << box->itemText(i);
    return list;
}

QStringList portNames()
{
    QStringList ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        ports << info.portName();
    return ports;
}

// How a button looks to the operator: its colours at rest, whether they change under the mouse or
// when pressed, whether it can be used, and its tick box.
QString look(const NavButton *button)
{
    const QColor text = button->normalTextColor();
    const QColor bg = button->normalBgColor();
    QString seen = text.name() + QStringLiteral(" on ") + bg.name();
    if (button->hoverTextColor() != text || button->checkTextColor() != text || button->hoverBgColor() != bg
        || button->checkBgColor() != bg)
        seen += QStringLiteral(", changes under the mouse");
    if (!button->isEnabled())
        seen += QStringLiteral(", disabled");
    if (button->showIcon()) {
        const bool unticked = button->iconNormal().toImage()
            == QPixmap(QStringLiteral(":/imager/ic_checkbox_unsel.png")).toImage();
        seen += unticked ? QStringLiteral(", unticked box") : QStringLiteral(", another icon");
    }
    return seen;
}

QString shownRange(const QCPRange &range)
{
    return QStringLiteral("%1 .. %2").arg(range.lower).arg(range.upper);
}

} // namespace

class TestMainWindow : public WindowTest
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { closeWindow(); }
    void listsStartWithPortsNineSixHundredAndFirstModel();
    void statusBarShowsVersionAtRightEnd();
    void dragOnTitleBarMovesTheWindow_data();
    void dragOnTitleBarMovesTheWindow();
    // These share the fixture's window.
    void formShowsItsFixedValues_data();
    void formShowsItsFixedValues();
    void portListRefreshesOnlyOnLeftPress();
    void tileListHoldsTwoTilesAndFollowsWidth();

private:
    template<typename T>
    T *child(MainWindow &window, const char *name)
    {
        return namedChild<T>(&window, name);
    }
    using WindowTest::child;
    QString valueShown(const QString &object, const QString &aspect);
};

void TestMainWindow::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    prepareApplication();
}

void TestMainWindow::listsStartWithPortsNineSixHundredAndFirstModel()
{
    Station station;
    MainWindow window(&station);
    for (const char *name : {"comboBoxCom", "comboBoxCom_2"})
        QCOMPARE(items(child<QComboBox>(window, name)), portNames());

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

void TestMainWindow::statusBarShowsVersionAtRightEnd()
{
    Station station;
    MainWindow window(&station);
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
    Station station;
    MainWindow window(&station);
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

// One row per value the operator finds the same at every start; each catches a wrong caption, a look
// taken from the wrong preset, a control shown that should not be, or a style rule gone missing.
void TestMainWindow::formShowsItsFixedValues_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("aspect");
    QTest::addColumn<QString>("expected");

    const QString panel = QStringLiteral("#000000 on #a0b1cc");
    const QString unusable = QStringLiteral("#9c9c9c on #c0c0c0, disabled");
    const QString toggle = panel + QStringLiteral(", unticked box");
    const auto row = [](const char *object, const char *aspect, const QString &expected) {
        QTest::addRow("%s %s", object, aspect)
            << QString::fromUtf8(object) << QString::fromLatin1(aspect) << expected;
    };
    const auto button = [&row](const char *name, const QString &caption, const QString &look) {
        row(name, "caption", caption);
        if (!look.isEmpty())
            row(name, "look", look);
    };
    button("pushButton_file", QStringLiteral("文件"), panel);
    button("pushButton_settings", QStringLiteral("设置"), panel);
    button("pushButton_help", QStringLiteral("帮助"), panel);
    row("pushButton_device", "shown", QStringLiteral("hidden"));
    button("pushButton_com", QStringLiteral("打开串口"), panel);
    row("comboBoxCom", "focus", QStringLiteral("has the focus"));
    // Nothing to send a set point over yet.
    button("pushButton_set", QStringLiteral("设置温度"), unusable);
    row("groupBox_thermometer", "shown", QStringLiteral("hidden"));
    button("pushButton_com_2", QStringLiteral("打开串口"), QString());
    // 开始 waits for a link; the other recording controls serve an opened curve too.
    button("navButton_startstop", QStringLiteral("开始"), unusable);
    button("navButton_hc", QStringLiteral("暂停"), panel);
    button("navButton_mode", QStringLiteral("全局"), toggle);
    button("navButton_autofit", QStringLiteral("自适应"), toggle);
    row("navButton_autofit", "shown", QStringLiteral("shown"));
    button("navButton_amb", QStringLiteral("环温"), QString());
    row("navButton_amb", "shown", QStringLiteral("hidden"));
    button("navButton_horizontal", QStringLiteral("水平缩放"), panel);
    button("navButton_vertical", QStringLiteral("垂直缩放"), panel);
    button("navButton_export", QStringLiteral("保存曲线"), panel);
    // The chart's own buttons give way to the window's.
    row("widget_tt/widget_menu", "shown", QStringLiteral("hidden"));
    row("widget_tt", "curve", QStringLiteral("实温"));
    row("widget_tt", "time axis", QStringLiteral("0 .. 30"));
    row("widget_tt", "temperature axis", QStringLiteral("0 .. 100"));
    // The window's own rule first, the bundled sheet whole after it.
    row("QLabel#labTitle{font:18px;}", "style rule", QStringLiteral("first"));
    row("#CorvelTitalbar", "style rule", QStringLiteral("present"));
    row("QWidget[flag=\"nav\"] QWidget{background:none;border:none;}", "style rule", QStringLiteral("last"));
    // A byte-order mark inside a sheet makes Qt reject the whole sheet.
    QTest::newRow("byte-order mark style rule")
        << QString(QChar(0xFEFF)) << QStringLiteral("style rule") << QStringLiteral("absent");
}

void TestMainWindow::formShowsItsFixedValues()
{
    QFETCH(QString, object);
    QFETCH(QString, aspect);
    // One window serves every row: nothing here changes it.
    if (!m_window)
        showWindow();
    QTEST(valueShown(object, aspect), "expected");
}

QString TestMainWindow::valueShown(const QString &object, const QString &aspect)
{
    if (aspect == QLatin1String("style rule")) {
        const QString sheet = m_window->styleSheet();
        if (sheet.startsWith(object))
            return QStringLiteral("first");
        if (sheet.endsWith(object))
            return QStringLiteral("last");
        return sheet.contains(object) ? QStringLiteral("present") : QStringLiteral("absent");
    }
    const QStringList path = object.split(QLatin1Char('/'));
    QObject *found = child<QWidget>(qPrintable(path.first()));
    if (path.size() > 1)
        found = namedChild<QWidget>(found, qPrintable(path.last()));
    auto *widget = static_cast<QWidget *>(found);
    if (aspect == QLatin1String("caption"))
        return qobject_cast<NavButton *>(widget)->text();
    if (aspect == QLatin1String("look"))
        return look(qobject_cast<NavButton *>(widget));
    if (aspect == QLatin1String("shown"))
        return widget->isVisible() ? QStringLiteral("shown") : QStringLiteral("hidden");
    if (aspect == QLatin1String("focus"))
        return m_window->focusWidget() == widget ? QStringLiteral("has the focus")
                                                 : QStringLiteral("no focus");
    const QCustomPlot *plot = qobject_cast<ttwidget *>(widget)->chartPlot();
    if (aspect == QLatin1String("curve"))
        return plot->graph(0)->name();
    return shownRange(aspect == QLatin1String("time axis") ? plot->xAxis->range() : plot->yAxis->range());
}

void TestMainWindow::portListRefreshesOnlyOnLeftPress()
{
    showWindow();
    auto *blackbody = child<QComboBox>("comboBoxCom");
    auto *thermometer = child<QComboBox>("comboBoxCom_2");
    blackbody->addItem(QStringLiteral("/tmp/stale-port"));
    thermometer->addItem(QStringLiteral("/tmp/other-port"));

    QTest::mousePress(blackbody, Qt::RightButton);
    QTest::mouseRelease(blackbody, Qt::RightButton);
    QVERIFY(items(blackbody).contains(QStringLiteral("/tmp/stale-port")));

    QTest::mousePress(blackbody, Qt::LeftButton);
    QTest::keyClick(
        QApplication::activePopupWidget() ? QApplication::activePopupWidget() : blackbody, Qt::Key_Escape);
    QCOMPARE(items(blackbody), portNames());
    QVERIFY(items(thermometer).contains(QStringLiteral("/tmp/other-port")));
}

void TestMainWindow::tileListHoldsTwoTilesAndFollowsWidth()
{
    showWindow();
    auto *list = child<QListWidget>("listWidgetAreas");
    TempAreaItem *current = tile("当前温度值");
    QCOMPARE(current->text(), QStringLiteral("---"));
    QCOMPARE(tile("设定温度值")->text(), QStringLiteral("---"));

    m_window->resize(1200, 700);
    QTRY_COMPARE(current->width(), list->width());
    QCOMPARE(list->height(), 2 * current->height() + 2);
    const double aspect = double(current->width()) / current->height();
    m_window->resize(1500, 800);
    QTRY_COMPARE(current->width(), list->width());
    QCOMPARE(list->height(), 2 * current->height() + 2);
    QVERIFY(qAbs(double(current->width()) / current->height() - aspect) < 0.1);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
