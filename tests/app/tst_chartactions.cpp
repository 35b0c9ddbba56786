#include "../common/caseprocesses.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "blackbodydevice.h"
#include "chart/chartfileactions.h"
#include "chart/corvelescale.h"
#include "chart/ttwidget.h"
#include "devicesimulator.h"
#include "dialogs/chartsettingsdialog.h"
#include "recording/curvefile.h"
#include "recording/samplestore.h"
#include "settings/settings.h"
#include "widgets/navbutton.h"
#include "widgets/tempareaitem.h"
#include "windowtest.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QWindow>
#include <QtTest>

#include <algorithm>

namespace {

// What the operator does while a curve is unsaved.
enum Action { Start, Open, Exit, WindowManager };

QAction *menuAction(QMenu *menu, const QString &text)
{
    const auto actions = menu->actions();
    const auto found = std::find_if(
        actions.begin(), actions.end(), [&text](QAction *action) { return action->text() == text; });
    if (found == actions.end())
        qFatal("no menu entry %s", qPrintable(text));
    return *found;
}

QAction *menuAction(NavButton *button, const QString &text)
{
    return menuAction(button->menu(), text);
}

} // namespace

class TestChartActions : public WindowTest
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void menusOfferTheirEntries();
    void startNeedsAnOpenLink();
    void unsavedCurveIsDroppedOnlyWhenTheOperatorSaysSo_data();
    void unsavedCurveIsDroppedOnlyWhenTheOperatorSaysSo();
    void savedCurveIsDroppedWithoutAsking();
    void recordingBeforeAnyReadingStoresNothing();
    void openCurveAndChartSettingsAreRefusedWhileRecording();
    void recordedCurveComesBackFromItsFile();
    void acceptedChartSettingsReachTheChart();
    void cancelledChartSettingsChangeNothing();
    void openCurveShowsTheChosenFile();
    void pauseAndNewStartKeepButtonCaptionsInStep();
    void pauseCaptionFollowsZoomPopup();
    void toggleButtonsShowChartState();
    void exitStopsTheChartAndClosesTheWindow();
    void languageSwitchRetranslatesWhatIsShown();

private:
    ttwidget *chart() const { return child<ttwidget>("widget_tt"); }
    // A silent controller gives the chart no reading.
    void openLink(bool answering = false) { openSimulator(0, answering); }
    void recordCurve();
};

void TestChartActions::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(QStringLiteral("tst_chartactions"));
    prepareApplication();
    appSettings.load();
    appSettings.applyDefaults();
    // The settings case saves its choice to disk; each run starts from the default chart again.
    appSettings.setValue(appSettings.chartLineCacheKey, QStringLiteral("1000"));
    appSettings.setValue(appSettings.chartLineFpsKey, QStringLiteral("100"));
}

void TestChartActions::init()
{
    showWindow(false);
}

void TestChartActions::cleanup()
{
    // The language is process-wide; the next window starts in the source language again.
    if (m_window)
        m_window->ClickLangChinese();
    closeWindow();
}

// A recorded curve with readings, stopped and not saved.
void TestChartActions::recordCurve()
{
    openLink(true);
    click("navButton_startstop");
    QTRY_VERIFY_WITH_TIMEOUT(chart()->curve().size() > 0, kWaitMs);
    click("navButton_startstop");
    QVERIFY(!chart()->isRecording());
}

void TestChartActions::menusOfferTheirEntries()
{
    auto texts = [](NavButton *button) {
        QStringList list;
        for (QAction *action : button->menu()->actions())
            list << action->text();
        return list;
    };
    QCOMPARE(texts(child<NavButton>("pushButton_file")),
        (QStringList {QStringLiteral("打开曲线"), QStringLiteral("保存曲线"), QStringLiteral("导出CSV"),
            QStringLiteral("导出图片"), QStringLiteral("签署已签发的证书…"),
            QStringLiteral("修订已签发的证书…"), QStringLiteral("退出")}));
    QCOMPARE(texts(child<NavButton>("pushButton_settings")),
        (QStringList {QStringLiteral("表格设置"), QStringLiteral("校准程序"), QStringLiteral("远程控制"),
            QStringLiteral("数据上报"), QStringLiteral("签名"), QStringLiteral("实验室"),
            QStringLiteral("语言")}));
    QMenu *languages = child<NavButton>("pushButton_settings")->menu()->actions().at(6)->menu();
    QVERIFY(languages);
    QStringList languageTexts;
    for (QAction *action : languages->actions())
        languageTexts << action->text();
    QCOMPARE(languageTexts,
        (QStringList {QStringLiteral("简体中文"), QStringLiteral("English"), QStringLiteral("繁體中文")}));
    QCOMPARE(texts(child<NavButton>("pushButton_help")),
        (QStringList {QStringLiteral("使用手册"), QStringLiteral("关于")}));

    menuAction(child<NavButton>("pushButton_help"), QStringLiteral("关于"))->trigger();
    QCOMPARE(m_modals->dialogs, QStringList {QStringLiteral("AboutDialog")});
}

void TestChartActions::startNeedsAnOpenLink()
{
    auto *start = child<NavButton>("navButton_startstop");
    QVERIFY(!start->isEnabled());
    // The chart can still be looked at.
    for (const char *name : {"navButton_hc", "navButton_mode", "navButton_horizontal", "navButton_vertical"})
        QVERIFY2(child<NavButton>(name)->isEnabled(), name);
    openLink();
    QVERIFY(start->isEnabled());
    click("pushButton_com");
    QTRY_COMPARE_WITH_TIMEOUT(portButton(), QStringLiteral("打开串口"), kWaitMs);
    QVERIFY(!start->isEnabled());
}

void TestChartActions::unsavedCurveIsDroppedOnlyWhenTheOperatorSaysSo_data()
{
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("answer"); // a button's caption, or the key pressed
    QTest::addColumn<bool>("dropped");
    QTest::newRow("start, 放弃") << int(Start) << "放弃" << true;
    QTest::newRow("open, Return takes 取消") << int(Open) << "Return" << false;
    QTest::newRow("退出, 取消") << int(Exit) << "取消" << false;
    QTest::newRow("window manager, 放弃") << int(WindowManager) << "放弃" << true;
}

void TestChartActions::unsavedCurveIsDroppedOnlyWhenTheOperatorSaysSo()
{
    QFETCH(int, action);
    QFETCH(QString, answer);
    QFETCH(bool, dropped);
    recordCurve();
    const int samples = chart()->curve().size();
    m_modals->onBox = [answer](QMessageBox *box) {
        if (answer == QLatin1String("Return"))
            QTest::keyClick(box, Qt::Key_Return);
        else
            boxButton(box, answer)->click();
    };

    switch (action) {
    case Start:
        click("navButton_startstop");
        QCOMPARE(chart()->isRecording(), dropped);
        break;
    case Open:
        menuAction(child<NavButton>("pushButton_file"), QStringLiteral("打开曲线"))->trigger();
        QCOMPARE(m_modals->dialogs.contains(QStringLiteral("QFileDialog")), dropped);
        break;
    default:
        if (action == Exit)
            menuAction(child<NavButton>("pushButton_file"), QStringLiteral("退出"))->trigger();
        else
            m_window->windowHandle()->close();
        // 取消 comes before any shutdown step: the chart is still open.
        QCOMPARE(m_window->isVisible() && chart()->isVisible(), !dropped);
    }
    QCOMPARE(m_modals->boxes, QStringList {QStringLiteral("提示|当前曲线尚未保存，放弃这条曲线吗？")});
    if (!dropped)
        QCOMPARE(chart()->curve().size(), samples);
}

void TestChartActions::savedCurveIsDroppedWithoutAsking()
{
    recordCurve();
    m_window->findChild<ChartFileActions *>()->exportCurve(m_dir.filePath(QStringLiteral("saved.txt")));
    m_modals->boxes.clear();
    menuAction(child<NavButton>("pushButton_file"), QStringLiteral("退出"))->trigger();
    QVERIFY(m_modals->boxes.isEmpty());
    QVERIFY(!m_window->isVisible());
}

void TestChartActions::recordingBeforeAnyReadingStoresNothing()
{
    openLink();
    click("navButton_startstop");
    QTRY_VERIFY(chart()->lastElapsed() > 0.3);
    QCOMPARE(chart()->curve().size(), 0);
}

void TestChartActions::openCurveAndChartSettingsAreRefusedWhileRecording()
{
    openLink();
    click("navButton_startstop");
    QVERIFY(chart()->isRecording());
    menuAction(child<NavButton>("pushButton_file"), QStringLiteral("打开曲线"))->trigger();
    menuAction(child<NavButton>("pushButton_settings"), QStringLiteral("表格设置"))->trigger();
    const QString refusal = QStringLiteral("提示|正在记录曲线，请先停止！");
    QCOMPARE(m_modals->boxes, (QStringList {refusal, refusal}));
    QVERIFY(m_modals->dialogs.isEmpty());
}

// Catches view actions that cost samples, and a save or an open that does not bring back the recording.
void TestChartActions::recordedCurveComesBackFromItsFile()
{
    openLink(true);
    // A rising temperature, so each reading differs from the one before.
    m_device->setTimeConstant(30.0);
    m_device->setSetPoint(90.0);
    click("navButton_startstop");
    QTRY_VERIFY_WITH_TIMEOUT(chart()->curve().size() >= 3, kWaitMs);

    // Paused, the view stands still while the recording goes on.
    click("navButton_hc");
    const QCPRange shown = chart()->chartPlot()->xAxis->range();
    const int atPause = chart()->curve().size();
    QTRY_VERIFY_WITH_TIMEOUT(chart()->curve().size() >= atPause + 3, kWaitMs);
    QCOMPARE(chart()->chartPlot()->xAxis->range(), shown);
    click("navButton_vertical");
    const double height = chart()->chartPlot()->yAxis->range().size();
    QTest::mouseClick(namedChild<QPushButton>(chart()->verticalPopup(), "pushButton_zoomin"), Qt::LeftButton);
    QVERIFY(chart()->chartPlot()->yAxis->range().size() < height);
    click("navButton_mode");
    click("navButton_startstop");
    QVERIFY(!chart()->isRecording());

    QVector<Sample> recorded;
    for (int i = 0; i < chart()->curve().size(); ++i)
        recorded << chart()->curve().at(i);
    const CurveInfo info = chart()->curveInfo();
    const QString path = m_dir.filePath(QStringLiteral("recorded.txt"));
    m_modals->onDialog = [path](QDialog *dialog) {
        if (auto *files = qobject_cast<QFileDialog *>(dialog)) {
            chooseFile(files, path);
        }
        // The wait dialog closes itself when the file is written or read.
    };
    menuAction(child<NavButton>("pushButton_file"), QStringLiteral("保存曲线"))->trigger();
    QCOMPARE(m_modals->boxes, QStringList {QStringLiteral("导出数据成功|信息已保存在%1！").arg(path)});
    // Saved, so opening asks nothing.
    menuAction(child<NavButton>("pushButton_file"), QStringLiteral("打开曲线"))->trigger();
    QCOMPARE(m_modals->boxes.size(), 1);
    QCOMPARE(m_modals->dialogs.count(QStringLiteral("QFileDialog")), 2);

    // The file keeps durations to the interval's decimals and temperatures to one.
    const int decimals = durationDecimals(info.intervalMs);
    QCOMPARE(chart()->curveInfo().startMsecs, info.startMsecs);
    QCOMPARE(chart()->curve().size(), recorded.size());
    for (int i = 0; i < recorded.size(); ++i) {
        QCOMPARE(chart()->curve().at(i).key, QString::number(recorded.at(i).key, 'f', decimals).toDouble());
        QCOMPARE(chart()->curve().at(i).value, QString::number(recorded.at(i).value, 'f', 1).toDouble());
    }
}

void TestChartActions::acceptedChartSettingsReachTheChart()
{
    m_modals->onDialog = [](QDialog *dialog) {
        dialog->findChild<QSpinBox *>(QStringLiteral("spinBox_caches"))->setValue(2);
        dialog->findChild<QComboBox *>(QStringLiteral("comboBox_fps"))->setCurrentText(QStringLiteral("1s"));
        dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    };
    menuAction(child<NavButton>("pushButton_settings"), QStringLiteral("表格设置"))->trigger();
    QCOMPARE(m_modals->dialogs, QStringList {QStringLiteral("ChartSettingsDialog")});
    QCOMPARE(chart()->cacheSizeValue(), 2000);
    QCOMPARE(chart()->sampleIntervalValue(), 1000);
    QCOMPARE(appSettings.value(appSettings.chartLineCacheKey, QString()), QStringLiteral("2"));
}

void TestChartActions::cancelledChartSettingsChangeNothing()
{
    const int cache = chart()->cacheSizeValue();
    const int interval = chart()->sampleIntervalValue();
    m_modals->onDialog = [](QDialog *dialog) {
        dialog->findChild<QSpinBox *>(QStringLiteral("spinBox_caches"))->setValue(7);
        dialog->reject();
    };
    menuAction(child<NavButton>("pushButton_settings"), QStringLiteral("表格设置"))->trigger();
    QCOMPARE(chart()->cacheSizeValue(), cache);
    QCOMPARE(chart()->sampleIntervalValue(), interval);
}

void TestChartActions::openCurveShowsTheChosenFile()
{
    const QString path = m_dir.filePath(QStringLiteral("curve.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Ostrel\r\nDate:2021-03-04 09:15:02:417\r\nEmissivity:0.95\r\nUnit:2\r\nDataCounts:3\r\n"
               "Duration,Temperature,Time\r\n0.1\t35.2\t09:15:02:417\r\n0.2\t35.3\t09:15:02:517\r\n"
               "0.3\t35.4\t09:15:02:617\r\n");
    file.close();

    m_modals->onDialog = [path](QDialog *dialog) {
        if (auto *files = qobject_cast<QFileDialog *>(dialog)) {
            QCOMPARE(files->fileMode(), QFileDialog::ExistingFile);
            QCOMPARE(files->nameFilters(),
                (QStringList {QStringLiteral("文件(*.txt*)"), QStringLiteral("CSV文件 (*.csv)"),
                    QStringLiteral("所有文件(*)")}));
            chooseFile(files, path);
        } else {
            // The wait dialog closes itself when the file is read.
        }
    };
    menuAction(child<NavButton>("pushButton_file"), QStringLiteral("打开曲线"))->trigger();
    QCOMPARE(m_modals->dialogs.first(), QStringLiteral("QFileDialog"));
    QCOMPARE(chart()->curve().size(), 3);
    QCOMPARE(chart()->curve().at(2).value, 35.4);
    QVERIFY(m_modals->boxes.isEmpty());
    // The frameless window's own bar names the curve shown, until a live recording replaces it.
    auto *title = child<QLabel>("label_appname");
    QVERIFY2(title->text().contains(QStringLiteral("curve.txt"))
            && title->text().contains(QStringLiteral("2021-03-04")),
        qPrintable(title->text()));
    recordCurve();
    QVERIFY2(!title->text().contains(QStringLiteral("curve.txt")), qPrintable(title->text()));
}

void TestChartActions::pauseAndNewStartKeepButtonCaptionsInStep()
{
    openLink();
    auto *startStop = child<NavButton>("navButton_startstop");
    auto *pause = child<NavButton>("navButton_hc");

    QTest::mouseClick(startStop, Qt::LeftButton);
    QCOMPARE(startStop->text(), QStringLiteral("停止"));
    QTest::mouseClick(pause, Qt::LeftButton);
    QCOMPARE(pause->text(), QStringLiteral("继续"));
    QVERIFY(chart()->isPaused());

    QTest::mouseClick(startStop, Qt::LeftButton);
    QCOMPARE(startStop->text(), QStringLiteral("开始"));
    QCOMPARE(pause->text(), QStringLiteral("继续"));
    // A new recording clears the pause.
    QTest::mouseClick(startStop, Qt::LeftButton);
    QVERIFY(!chart()->isPaused());
    QCOMPARE(pause->text(), QStringLiteral("暂停"));
}

void TestChartActions::pauseCaptionFollowsZoomPopup()
{
    auto *pause = child<NavButton>("navButton_hc");
    click("navButton_horizontal");
    QVERIFY(chart()->horizontalPopup());
    QVERIFY(chart()->isPaused());
    QCOMPARE(pause->text(), QStringLiteral("继续"));
    // The pause was the popup's own, so it ends with the popup.
    emit chart()->horizontalPopup()->disapper();
    QVERIFY(!chart()->isPaused());
    QCOMPARE(pause->text(), QStringLiteral("暂停"));
}

void TestChartActions::toggleButtonsShowChartState()
{
    const QImage ticked = QPixmap(QStringLiteral(":/imager/ic_checkbox_sel.png")).toImage();
    const QImage unticked = QPixmap(QStringLiteral(":/imager/ic_checkbox_unsel.png")).toImage();
    auto *mode = child<NavButton>("navButton_mode");
    auto *autofit = child<NavButton>("navButton_autofit");

    QCOMPARE(mode->iconNormal().toImage(), unticked);
    QCOMPARE(mode->iconSpace(), mode->width() - 20);
    QTest::mouseClick(mode, Qt::LeftButton);
    QCOMPARE(chart()->mode(), ttwidget::wholeCurveMode);
    QCOMPARE(mode->iconNormal().toImage(), ticked);
    QCOMPARE(mode->text(), QStringLiteral("全局"));
    QTest::mouseClick(mode, Qt::LeftButton);
    QCOMPARE(mode->iconNormal().toImage(), unticked);

    QTest::mouseClick(autofit, Qt::LeftButton);
    QVERIFY(chart()->isAutoFit());
    QCOMPARE(autofit->iconNormal().toImage(), ticked);

    // The boxes follow the buttons' width.
    m_window->resize(m_window->width() + 300, m_window->height());
    QTRY_COMPARE(autofit->iconSpace(), autofit->width() - 20);
    QCOMPARE(autofit->iconNormal().toImage(), ticked);
}

void TestChartActions::exitStopsTheChartAndClosesTheWindow()
{
    openLink();
    click("navButton_startstop");
    QTRY_VERIFY(chart()->lastElapsed() > 0.1);
    // An open zoom popup must not keep the program running.
    click("navButton_horizontal");
    QPointer<CorveleScale> popup = chart()->horizontalPopup();
    QVERIFY(popup && popup->isVisible());
    // Even when left open, a popup does not count as a window that keeps the program alive.
    // cppcheck-suppress nullPointerRedundantCheck ; checked above; the exit below may delete it
    QVERIFY(!popup->testAttribute(Qt::WA_QuitOnClose));

    menuAction(child<NavButton>("pushButton_file"), QStringLiteral("退出"))->trigger();
    // A curve without samples is nothing to lose.
    QVERIFY(m_modals->boxes.isEmpty());
    QVERIFY(!m_window->isVisible());
    QVERIFY(!chart()->isVisible());
    QVERIFY(!popup || !popup->isVisible());
    // Nothing is left that would keep the event loop from ending.
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        QVERIFY(!window->isVisible() || !window->testAttribute(Qt::WA_QuitOnClose));
    // The collector has stopped ticking.
    const double elapsed = chart()->lastElapsed();
    QTest::qWait(300);
    QCOMPARE(chart()->lastElapsed(), elapsed);
}

BB_CASE_PROCESSES_MAIN(TestChartActions, Rows, 6)
void TestChartActions::languageSwitchRetranslatesWhatIsShown()
{
    openLink(true);
    click("navButton_startstop");
    QVERIFY(chart()->isRecording());
    click("navButton_hc");

    // Catches a language entry wired to the wrong language, and a status bar left in the old one.
    QMenu *languages = menuAction(child<NavButton>("pushButton_settings"), QStringLiteral("语言"))->menu();
    menuAction(languages, QStringLiteral("English"))->trigger();
    QCOMPARE(appSettings.value(appSettings.languageKey, QString()), QStringLiteral("English"));
    // Qt posts the change to every window.
    QTRY_COMPARE(child<NavButton>("pushButton_com")->text(), QStringLiteral("Close port"));
    QCOMPARE(child<NavButton>("navButton_startstop")->text(), QStringLiteral("Stop"));
    QCOMPARE(child<NavButton>("navButton_hc")->text(), QStringLiteral("Resume"));
    QVERIFY(statusBarShows(QStringLiteral("Port: ") + m_sim->portName()));
    auto captions = [this] {
        QStringList texts;
        for (const TempAreaItem *tile : m_window->findChildren<TempAreaItem *>())
            texts << tile->caption();
        return texts;
    };
    QTRY_COMPARE(captions(), (QStringList {QStringLiteral("Current"), QStringLiteral("Set point")}));
    // The drop-down menus, built once at start-up, follow too, and so does the set point's answer.
    QVERIFY(menuAction(child<NavButton>("pushButton_file"), QStringLiteral("Open curve")));
    QVERIFY(menuAction(child<NavButton>("pushButton_settings"), QStringLiteral("Language")));
    m_modals->boxes.clear();
    click("pushButton_set");
    QTRY_COMPARE_WITH_TIMEOUT(
        m_modals->boxes, QStringList {QStringLiteral("Notice|Set point confirmed")}, kWaitMs);
}

#include "tst_chartactions.moc"
