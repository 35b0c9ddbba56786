#include "mainwindow.h"

#include "app/controllerquestion.h"
#include "app/framehittest.h"
#include "app/language.h"
#include "app/rememberedlink.h"
#include "app/textfile.h"
#include "control/blackbodymodel.h"
#include "control/blackbodyprotocol.h"
#include "control/thermometerprotocol.h"
#include "dialogs/aboutdialog.h"
#include "dialogs/calibrationrundialog.h"
#include "dialogs/deviceinfodialog.h"
#include "serial/gettempthread.h"
#include "serial/kelvraserial.h"
#include "serial/openfailure.h"
#include "serial/optserial.h"
#include "settings/chartsettingsdialog.h"
#include "settings/settings.h"
#include "settings/stabilitylimits.h"
#include "ui_mainwindow.h"
#include "widgets/buttonstyles.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScroller>
#include <QSerialPortInfo>
#include <QTimer>
#include <QTimerEvent>
#include <QWindow>

#ifdef Q_OS_WIN
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

#include <array>

namespace {

struct BaudChoice
{
    const char *text;
    QSerialPort::BaudRate rate;
};
const std::array<BaudChoice, 8> kBaudChoices = {{
    {"1200", QSerialPort::Baud1200},
    {"2400", QSerialPort::Baud2400},
    {"4800", QSerialPort::Baud4800},
    {"9600", QSerialPort::Baud9600},
    {"19200", QSerialPort::Baud19200},
    {"38400", QSerialPort::Baud38400},
    {"57600", QSerialPort::Baud57600},
    {"115200", QSerialPort::Baud115200},
}};
constexpr int kDefaultBaudIndex = 3; // 9600, also used when nothing is selected
#ifdef BB_SHOW_THERMOMETER
constexpr bool kShowThermometer = true;
#else
constexpr bool kShowThermometer = false;
#endif
// Reconnection attempts fall due every second; the tick only looks whether one is due.
constexpr int kReconnectTickMs = 200;

QStringList baudTexts()
{
    QStringList texts;
    for (const BaudChoice &choice : kBaudChoices)
        texts << QString::fromLatin1(choice.text);
    return texts;
}

QSerialPort::BaudRate baudForIndex(int index)
{
    if (index < 0 || index >= int(kBaudChoices.size()))
        index = kDefaultBaudIndex;
    return kBaudChoices[size_t(index)].rate;
}

QStringList availablePortNames()
{
    QStringList names;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &port : ports)
        names << port.portName();
    return names;
}

QString windowStyleSheet(const QString &current)
{
    const QString nav = QStringLiteral("#000000");
    return current + readTextFile(QStringLiteral(":/imager/qss/light.qss"))
        + QStringLiteral("QWidget[flag=\"nav\"]{background:qlineargradient(spread:pad,x1:0,y1:0,x2:0,y2:1,"
                         "stop:0 %1,stop:1 %2);}")
              .arg(nav, nav)
        + QStringLiteral("QWidget[flag=\"nav\"] QWidget{background:none;border:none;}");
}

// A box without icon whose title bar offers no resizing, as the set-point confirmation is shown.
void showNote(const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, nullptr,
        Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    box.exec();
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
{
    m_clock.start();
    ui->setupUi(this);
    // No translator is installed yet, so this is the source text whatever the language.
    QCoreApplication::setApplicationName(QMainWindow::tr("Ostrel黑体控制软件"));

    blackbodySerial = new OptSerial(nullptr, 0);
    connect(blackbodySerial, &OptSerial::DataRecv, this, &MainWindow::recvdata);
    connect(blackbodySerial, &OptSerial::OpenFailed, this, &MainWindow::openFailed);
    connect(blackbodySerial, &OptSerial::OpenSuccessed, this, &MainWindow::open_successed);
    connect(blackbodySerial, &OptSerial::CloseSuccessed, this, &MainWindow::close_successed);
    connect(blackbodySerial, &OptSerial::errorOccurred, this, &MainWindow::handleSerialError);
    connect(this, &MainWindow::sig_sendread, blackbodySerial,
        QOverload<const QByteArray &>::of(&OptSerial::SendReadCommand));
    connect(this, &MainWindow::sig_opencom1, blackbodySerial, &OptSerial::OpenCom1);
    connect(this, &MainWindow::sig_closecom, blackbodySerial, &OptSerial::CloseCom);

    thermometerSerial = new KelvraSerial(nullptr, 0);
    tempThread = new GetTempThread(thermometerSerial);
    connect(thermometerSerial, &KelvraSerial::CloseSuccessed, this, &MainWindow::close_successed2);
    connect(this, &MainWindow::sig_opencom_KelvraSerial, thermometerSerial, &KelvraSerial::OpenCom);
    connect(thermometerSerial, &KelvraSerial::OpenSuccessed, this, &MainWindow::open_successed2);
    connect(thermometerSerial, &KelvraSerial::DataRecv, this, &MainWindow::recvdata_Kelvraserial);
    connect(this, &MainWindow::sig_sendreadkelvra, thermometerSerial, &KelvraSerial::SendReadCommand,
        Qt::BlockingQueuedConnection);
    connect(this, &MainWindow::sig_closecom2, thermometerSerial, &KelvraSerial::CloseCom);

    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
    setMenuWidget(&titleBar);
    // Hover moves over the window reach it, so the resize borders can show their cursor.
    setMouseTracking(true);

    connect(&titleBar, &CorvelTitalbar::MinimizeButtonClicked, this, &QWidget::showMinimized);
    connect(&titleBar, &CorvelTitalbar::CloseButtonClicked, this, &MainWindow::close);
    connect(&titleBar, &CorvelTitalbar::WindowsChangeClicked, this, &MainWindow::WindowsChanged);
    connect(&titleBar, &CorvelTitalbar::actionAbout, this, &MainWindow::ClickAbout);
    connect(&titleBar, &CorvelTitalbar::actionDeviceInfo, this, &MainWindow::ClickDeviceInfo);
    connect(&titleBar, &CorvelTitalbar::actionExit, this, &MainWindow::close);
    connect(&titleBar, &CorvelTitalbar::actionImportData, this, &MainWindow::ClickImportData);
    connect(&titleBar, &CorvelTitalbar::actionChartSettings, this, &MainWindow::ClickChartSettings);
    connect(&titleBar, &CorvelTitalbar::actionChinese, this, &MainWindow::ClickLangChinese);
    connect(&titleBar, &CorvelTitalbar::actionEnglish, this, &MainWindow::ClickLangEnglish);
    connect(
        &titleBar, &CorvelTitalbar::actionExportData, ui->widget_tt, &ttwidget::on_pushButton_export_clicked);
    connect(&titleBar, &CorvelTitalbar::fileClicked, this, &MainWindow::onFilesClicked);

    connect(this, &MainWindow::ttwidget_addvalue, ui->widget_tt, &ttwidget::UpdateTemp);
    connect(this, &MainWindow::ttwidget_addvalue_amb, ui->widget_tt, &ttwidget::UpdateTempAmb);
    connect(ui->widget_tt, &ttwidget::pausedChanged, this, &MainWindow::showPaused);

    connect(ui->comboBoxCom, &ClickComboBox::clicked, this, &MainWindow::comboBoxClicked);
    connect(ui->comboBoxCom_2, &ClickComboBox::clicked, this, &MainWindow::comboBoxClicked2);

    setStyleSheet(QStringLiteral("QLabel#labTitle{font:%1px;}").arg(18));
    setStyleSheet(windowStyleSheet(styleSheet()));
    ui->widget_params->setStyleSheet(QStringLiteral(
        "QWidget{font-family: \"Microsoft YaHei\";font-weight:normal;font-size:13px;color: #000000;}"));

    // The port boxes also take a typed device path, for virtual ports.
    const QStringList ports = availablePortNames();
    for (QComboBox *box :
        {static_cast<QComboBox *>(ui->comboBoxCom), static_cast<QComboBox *>(ui->comboBoxCom_2)}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->addItems(ports);
    }
    ui->comboBoxBaud->addItems(baudTexts());
    ui->comboBoxBaud->setCurrentIndex(kDefaultBaudIndex);
    ui->comboBoxBaud_2->addItems(baudTexts());
    ui->comboBoxBaud_2->setCurrentIndex(kDefaultBaudIndex);
    for (int i = 0; i < blackbodyModelCount(); ++i)
        ui->comboBoxBodtype->addItem(blackbodyModel(i).name);
    ui->comboBoxBodtype->setCurrentIndex(0);
    restoreLastLink(ports);

    applyPlainStyle(ui->pushButton_com);
    applyPlainStyle(ui->pushButton_set);

    // The thermometer's controls are for a build that enables them; the link behind them is complete.
    ui->groupBox_thermometer->setVisible(kShowThermometer);

    ui->widget_tt->setUnit(unit);

    QTimer::singleShot(100, this, &MainWindow::setUpAreaList);

    versionLabel.setText(QStringLiteral("V") + QCoreApplication::applicationVersion());
    statusBar()->setStyleSheet(QStringLiteral("QStatusBar::item {border: None;}"));
    statusBar()->addWidget(&portLabel);
    statusBar()->addWidget(&baudLabel);
    stabilityLabel.setObjectName(QStringLiteral("stabilityLabel"));
    statusBar()->addWidget(&stabilityLabel);
    applyStabilityLimits();
    linkLabel.setObjectName(QStringLiteral("linkLabel"));
    statusBar()->addWidget(&linkLabel);
    m_calibration = std::make_unique<CalibrationRunner>(ui->widget_tt, &m_clock, this);
    statusBar()->addWidget(m_calibration->statusLabel());
    connect(m_calibration.get(), &CalibrationRunner::stateChanged, this, &MainWindow::showCalibrationState);
    connect(m_calibration.get(), &CalibrationRunner::closeLinkRequested, this, &MainWindow::closeKeepingRun);
    connect(m_calibration.get(), &CalibrationRunner::setPointDue, this, [this](double celsius) {
        ui->doubleSpinBox->setValue(celsius);
        on_pushButton_set_clicked();
    });
    statusBar()->addPermanentWidget(&versionLabel);

    ui->pushButton_com->setText(tr("打开串口"));

    LoadLanguage(appSettings.value(appSettings.languageKey, Language::simplifiedChinese));

    applyMenuStyle(ui->pushButton_file);
    applyMenuStyle(ui->pushButton_device);
    applyMenuStyle(ui->pushButton_settings);
    applyMenuStyle(ui->pushButton_help);

    ui->pushButton_com_2->setText(tr("打开串口"));
    applyPlainStyle(ui->pushButton_com_2);

    ui->navButton_startstop->setText(tr("开始"));
    ui->navButton_hc->setText(tr("暂停"));
    ui->navButton_mode->setText(tr("全局"));
    ui->navButton_amb->setText(tr("环温"));
    ui->navButton_amb->setVisible(kShowThermometer);

    const QPixmap unticked(QStringLiteral(":/imager/ic_checkbox_unsel.png"));
    applyPlainStyle(ui->navButton_startstop);
    applyCheckboxIconStyle(ui->navButton_mode, unticked);
    applyPlainStyle(ui->navButton_hc);
    applyCheckboxIconStyle(ui->navButton_amb, unticked);
    applyCheckboxIconStyle(ui->navButton_autofit, unticked);
    applyPlainStyle(ui->navButton_horizontal);
    applyPlainStyle(ui->navButton_vertical);
    applyPlainStyle(ui->navButton_export);
    updateStartButton();

    InitMenus();

    // The window is resized before its layout gives the buttons their width; the tick box has to
    // follow the button itself.
    ui->navButton_mode->installEventFilter(this);
    ui->navButton_autofit->installEventFilter(this);

    ui->comboBoxCom->setFocus(Qt::OtherFocusReason);
}

MainWindow::~MainWindow()
{
    // The poll ticks the worker and the worker reports to this window: the poll goes first.
    tempThread->stopThread();
    delete tempThread;
    delete thermometerSerial;
    // Releases the gesture recognizer the kinetic scrolling registered for the list.
    QScroller::ungrabGesture(ui->listWidgetAreas);
    // Joins the worker's thread, so no exchange outlives the window.
    delete blackbodySerial;
    delete ui;
}

void MainWindow::InitMenus()
{
    // The device menu has nothing to offer the operator.
    ui->pushButton_device->hide();

    // Owned by the window rather than left without a parent, so they go with it.
    auto *fileMenu = new QMenu(this);
    openCurveAction = fileMenu->addAction(QString());
    connect(openCurveAction, &QAction::triggered, this, &MainWindow::ClickImportData);
    saveCurveAction = fileMenu->addAction(QString());
    connect(saveCurveAction, &QAction::triggered, ui->widget_tt, &ttwidget::on_pushButton_export_clicked);
    exportCsvAction = fileMenu->addAction(QString());
    connect(exportCsvAction, &QAction::triggered, ui->widget_tt, &ttwidget::exportCsvAs);
    exportImageAction = fileMenu->addAction(QString());
    connect(exportImageAction, &QAction::triggered, ui->widget_tt, &ttwidget::exportImageAs);
    exitAction = fileMenu->addAction(QString());
    connect(exitAction, &QAction::triggered, this, &MainWindow::close);
    ui->pushButton_file->setMenu(fileMenu);

    auto *settingsMenu = new QMenu(this);
    chartSettingsAction = settingsMenu->addAction(QString());
    connect(chartSettingsAction, &QAction::triggered, this, &MainWindow::ClickChartSettings);
    calibrationAction = settingsMenu->addAction(QString());
    connect(calibrationAction, &QAction::triggered, this, &MainWindow::ClickCalibrationRun);
    languageMenu = settingsMenu->addMenu(QString());
    chineseAction = languageMenu->addAction(QString());
    connect(chineseAction, &QAction::triggered, this, &MainWindow::ClickLangChinese);
    englishAction = languageMenu->addAction(QString());
    connect(englishAction, &QAction::triggered, this, &MainWindow::ClickLangEnglish);
    traditionalAction = languageMenu->addAction(QString());
    connect(traditionalAction, &QAction::triggered, this, &MainWindow::ClickTrChinese);
    ui->pushButton_settings->setMenu(settingsMenu);

    auto *helpMenu = new QMenu(this);
    aboutAction = helpMenu->addAction(QString());
    connect(aboutAction, &QAction::triggered, this, &MainWindow::ClickAbout);
    ui->pushButton_help->setMenu(helpMenu);
    retranslateMenus();
}

void MainWindow::retranslateMenus()
{
    if (!aboutAction)
        return;
    openCurveAction->setText(tr("打开曲线"));
    saveCurveAction->setText(tr("保存曲线"));
    exportCsvAction->setText(tr("导出CSV"));
    exportImageAction->setText(tr("导出图片"));
    exitAction->setText(tr("退出"));
    chartSettingsAction->setText(tr("表格设置"));
    calibrationAction->setText(tr("校准程序"));
    languageMenu->setTitle(tr("语言"));
    chineseAction->setText(tr("简体中文"));
    englishAction->setText(tr("English"));
    traditionalAction->setText(tr("繁體中文"));
    aboutAction->setText(tr("关于"));
}

void MainWindow::LoadLanguage(const QString &language)
{
    Language::install(language, QCoreApplication::applicationDirPath(),
        QLibraryInfo::location(QLibraryInfo::TranslationsPath));
    ui->retranslateUi(this);
}

void MainWindow::ClickLangChinese()
{
    appSettings.setValue(appSettings.languageKey, Language::simplifiedChinese);
    LoadLanguage(Language::simplifiedChinese);
}

void MainWindow::ClickTrChinese()
{
    appSettings.setValue(appSettings.languageKey, Language::traditionalChinese);
    LoadLanguage(Language::traditionalChinese);
}

void MainWindow::ClickLangEnglish()
{
    appSettings.setValue(appSettings.languageKey, Language::english);
    LoadLanguage(Language::english);
}

void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        ui->pushButton_com->setText(blackbodySerial->IsOpen() ? tr("关闭串口") : tr("打开串口"));
        currentArea.setCaption(tr("当前温度值"));
        setArea.setCaption(tr("设定温度值"));
        retranslateMenus();
        // The form's texts are those of a window at rest; a running or paused recording keeps its own.
        showRecordingButtons();
        showPortStatus();
    } else if (event->type() == QEvent::WindowStateChange) {
        // The window manager may maximise or restore the window without the title bar's button.
        titleBar.changeImage(!isMaximized());
    }
    QMainWindow::changeEvent(event);
}

void MainWindow::close()
{
    QWidget::close();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!mayDiscardCurve()) {
        event->ignore();
        return;
    }
    m_calibration->abort();
    if (m_runDialog)
        m_runDialog->close();
    tempThread->stopThread();
    ui->widget_tt->stopAndClose();
    QMainWindow::closeEvent(event);
}

bool MainWindow::mayDiscardCurve()
{
    // The session manager closes the window at logout; nobody would be there to answer.
    if (!ui->widget_tt->hasUnsavedCurve() || qApp->isSavingSession())
        return true;
    QMessageBox box(QMessageBox::Question, tr("提示"), tr("当前曲线尚未保存，放弃这条曲线吗？"),
        QMessageBox::NoButton, this);
    QPushButton *discard = box.addButton(tr("放弃"), QMessageBox::DestructiveRole);
    QPushButton *keep = box.addButton(tr("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(keep);
    box.setEscapeButton(keep);
    box.exec();
    return box.clickedButton() == discard;
}

void MainWindow::ClickImportData()
{
    if (ui->widget_tt->isRecording()) {
        showNote(QStringLiteral("提示"), QStringLiteral("正在记录曲线，请先停止！"));
        return;
    }
    if (!mayDiscardCurve())
        return;
    QFileDialog dialog(nullptr, tr("选择文件"), QStringLiteral("."));
    dialog.setNameFilters({tr("文件(*.txt*)"), tr("所有文件(*)")});
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setViewMode(QFileDialog::Detail);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        ui->widget_tt->importCurve(dialog.selectedFiles().constFirst());
}

void MainWindow::ClickChartSettings()
{
    if (ui->widget_tt->isRecording()) {
        QMessageBox::warning(nullptr, tr("提示"), tr("正在记录曲线，请先停止！"), QMessageBox::Ok);
        return;
    }
    ChartSettingsDialog dialog;
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString cache = appSettings.value(appSettings.chartLineCacheKey, QStringLiteral("1000"));
    if (!cache.isEmpty())
        ui->widget_tt->setCacheSize(ttwidget::cacheSizeFromSetting(cache));
    const QString interval = appSettings.value(appSettings.chartLineFpsKey, QStringLiteral("10"));
    if (!interval.isEmpty())
        ui->widget_tt->setSampleInterval(interval.toInt());
    applyStabilityLimits();
}

void MainWindow::ClickAbout()
{
    AboutDialog dialog;
    dialog.exec();
}

void MainWindow::ClickDeviceInfo()
{
    // Nothing reads the instrument's range or serial number, so the dialog shows its zero defaults.
    DeviceInfoDialog dialog;
    dialog.showDeviceInfo();
    dialog.exec();
}

void MainWindow::onFilesClicked()
{
    qDebug() << "onFilesClicked";
}

void MainWindow::WindowsChanged()
{
    if (isMaximized()) {
        showNormal();
        titleBar.changeImage(true);
    } else {
        showMaximized();
        titleBar.changeImage(false);
    }
}

void MainWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QMainWindow::mousePressEvent(event);
        return;
    }
    pressWindowPos = pos();
    pressGlobalPos = event->globalPos();
    const FrameHit hit = frameHitTest(event->globalPos() - geometry().topLeft(), size());
    if (hit != FrameHit::None && !isMaximized() && windowHandle()
        && windowHandle()->startSystemResize(frameEdges(hit)))
        return;
    if (event->globalPos().y() < y() + titleBar.height())
        m_pressOnTitleBar = true;
}

void MainWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton)) {
        const FrameHit hit = isMaximized() ? FrameHit::None
                                           : frameHitTest(event->globalPos() - geometry().topLeft(), size());
        if (hit == FrameHit::None)
            unsetCursor();
        else
            setCursor(frameCursor(hit));
        return;
    }
    if (isMaximized())
        return;
    // A move starts only once the pointer leaves the click, so a double click still toggles maximise.
    if (m_pressOnTitleBar
        && (event->globalPos() - pressGlobalPos).manhattanLength() >= QApplication::startDragDistance()) {
        m_pressOnTitleBar = false;
        if (!windowHandle() || !windowHandle()->startSystemMove())
            dragging = true;
    }
    if (dragging)
        move(pressWindowPos + (event->globalPos() - pressGlobalPos));
}

void MainWindow::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        dragging = false;
        m_pressOnTitleBar = false;
    }
    QMainWindow::mouseReleaseEvent(event);
}

bool MainWindow::nativeEvent(const QByteArray &eventType, void *message, long *result)
{
#ifdef Q_OS_WIN
    const MSG *msg = static_cast<const MSG *>(message);
    if (eventType == "windows_generic_MSG" && msg->message == WM_NCHITTEST) {
        const QPoint global(short(msg->lParam & 0xffff), short((msg->lParam >> 16) & 0xffff));
        const FrameHit hit = frameHitTest(global - geometry().topLeft(), size());
        if (hit == FrameHit::None)
            return false;
        *result = long(hit);
        return true;
    }
#endif
    return QMainWindow::nativeEvent(eventType, message, result);
}

void MainWindow::on_navButton_startstop_clicked()
{
    ttwidget *chart = ui->widget_tt;
    if (!chart->isRecording() && !mayDiscardCurve())
        return;
    chart->on_pushButton_startstop_clicked();
    showRecordingButtons();
    updateStartButton();
}

void MainWindow::on_navButton_hc_clicked()
{
    ui->widget_tt->on_pushButton_hc_clicked();
}

void MainWindow::showPaused(bool paused)
{
    ui->navButton_hc->setText(paused ? tr("继续") : tr("暂停"));
}

void MainWindow::showRecordingButtons()
{
    ui->navButton_startstop->setText(ui->widget_tt->isRecording() ? tr("停止") : tr("开始"));
    showPaused(ui->widget_tt->paused != 0);
}

// 开始 needs a link to record from; a running recording must stay stoppable. Pause, the modes and zoom
// stay usable, to look at an opened curve.
void MainWindow::updateStartButton()
{
    // A run's recording lasts as long as the run.
    if (m_calibration->isRunning())
        applyDisabledStyle(ui->navButton_startstop);
    else if (m_linkOpen || ui->widget_tt->isRecording())
        applyPlainStyle(ui->navButton_startstop);
    else
        applyDisabledStyle(ui->navButton_startstop);
}

void MainWindow::on_navButton_mode_clicked()
{
    ui->widget_tt->on_pushButton_mode_clicked();
    updateToggleIcons();
}

void MainWindow::on_navButton_amb_clicked()
{
    ttwidget *chart = ui->widget_tt;
    chart->showAmbient = !chart->showAmbient;
    updateToggleIcons();
    chart->setAmbientVisible(chart->showAmbient);
}

void MainWindow::on_navButton_autofit_clicked()
{
    ui->widget_tt->autoFit = !ui->widget_tt->autoFit;
    updateToggleIcons();
}

void MainWindow::on_navButton_export_clicked()
{
    ui->widget_tt->on_pushButton_export_clicked();
}

void MainWindow::on_navButton_horizontal_clicked()
{
    ui->widget_tt->on_pushButton_horizontal_clicked();
}

void MainWindow::on_navButton_vertical_clicked()
{
    ui->widget_tt->on_pushButton_vertical_clicked();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize
        && (watched == ui->navButton_mode || watched == ui->navButton_autofit))
        updateToggleIcons();
    return QMainWindow::eventFilter(watched, event);
}

// The tick boxes show the chart's state; their place depends on the button width, so they are redone
// on every resize too.
void MainWindow::updateToggleIcons()
{
    const QPixmap ticked(QStringLiteral(":/imager/ic_checkbox_sel.png"));
    const QPixmap unticked(QStringLiteral(":/imager/ic_checkbox_unsel.png"));
    const ttwidget *chart = ui->widget_tt;
    applyCheckboxIconStyle(ui->navButton_mode, chart->mode == ttwidget::wholeCurveMode ? ticked : unticked);
    applyCheckboxIconStyle(ui->navButton_autofit, chart->autoFit ? ticked : unticked);
    applyCheckboxIconStyle(ui->navButton_amb, chart->showAmbient ? ticked : unticked);
}

void MainWindow::setUpAreaList()
{
    QListWidget *list = ui->listWidgetAreas;
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    QScroller::grabGesture(list, QScroller::LeftMouseButtonGesture);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    const QSize tile(list->width(), list->height() / 2);
    currentArea.setFixedSize(tile);
    setArea.setFixedSize(tile);
    areaAspect = float(currentArea.width()) / float(currentArea.height());

    currentArea.setCaption(tr("当前温度值"));
    setArea.setCaption(tr("设定温度值"));
    thermoArea.setCaption(tr("测温仪"));

    currentItem.setSizeHint(currentArea.size());
    list->addItem(&currentItem);
    list->setItemWidget(&currentItem, &currentArea);
    setItem.setSizeHint(setArea.size());
    list->addItem(&setItem);
    list->setItemWidget(&setItem, &setArea);
    if (kShowThermometer) {
        thermoArea.setFixedSize(tile);
        thermoItem.setSizeHint(thermoArea.size());
        list->addItem(&thermoItem);
        list->setItemWidget(&thermoItem, &thermoArea);
        thermoArea.UpdateTemp(0.0f, unit, Qt::blue, false, 1);
    }

    const int decimals = ui->doubleSpinBox->decimals();
    currentArea.UpdateTemp(100.12f, unit, Qt::green, false, decimals);
    setArea.UpdateTemp(100.0f, unit, Qt::red, false, decimals);

    // Three tiles high until the first resize brings it to exactly two.
    list->setFixedHeight(3 * currentArea.height());
}

void MainWindow::resizeEvent(QResizeEvent *)
{
    const int width = ui->listWidgetAreas->width();
    for (TempAreaItem *tile : {&currentArea, &setArea, &thermoArea})
        tile->setFixedWidth(width);
    if (areaAspect != 0.0f) {
        const int height = int(float(width) / areaAspect) + 1;
        currentArea.setFixedHeight(height);
        setArea.setFixedHeight(height);
        thermoArea.setFixedHeight(height);
        currentItem.setSizeHint(currentArea.size());
        setItem.setSizeHint(setArea.size());
        thermoItem.setSizeHint(thermoArea.size());
        ui->listWidgetAreas->setFixedHeight(ui->listWidgetAreas->count() * currentArea.height() + 2);
    }
    updateToggleIcons();
}

void MainWindow::refreshPortList(QComboBox *box)
{
    // A typed device path (a virtual port) is never among the enumerated names; it stays in the box.
    const QString typed = box->currentText();
    box->clear();
    box->addItems(availablePortNames());
    if (typed.contains(QLatin1Char('/')))
        box->setEditText(typed);
}

void MainWindow::comboBoxClicked()
{
    refreshPortList(ui->comboBoxCom);
}

void MainWindow::comboBoxClicked2()
{
    refreshPortList(ui->comboBoxCom_2);
}

void MainWindow::on_pushButton_com_clicked()
{
    if (m_linkState == LinkState::Reconnecting) {
        // The operator gives up on the vanished port.
        stopReconnecting();
        m_linkState = LinkState::Closed;
        showClosed(true);
        return;
    }
    const QString name = ui->comboBoxCom->currentText();
    modelIndex = ui->comboBoxBodtype->currentIndex();
    const QSerialPort::BaudRate baud = baudForIndex(ui->comboBoxBaud->currentIndex());
    if (blackbodySerial->IsOpen()) {
        emit sig_closecom();
        return;
    }
    m_linkPort = name;
    m_linkBaud = baud;
    m_linkState = LinkState::Opening;
    sendOpen();
}

void MainWindow::sendOpen()
{
    emit sig_opencom1(m_linkPort, m_linkBaud, QSerialPort::Data8, QSerialPort::NoFlowControl,
        QSerialPort::NoParity, blackbodyModel(modelIndex).stopBits);
}

void MainWindow::on_pushButton_com_2_clicked()
{
    QString name = ui->comboBoxCom_2->currentText();
    if (thermometerSerial->IsOpen()) {
        emit sig_closecom2();
        return;
    }
    // The thermometer's rate is found by asking it, not taken from the list.
    QSerialPort::BaudRate found = QSerialPort::UnknownBaud;
    for (QSerialPort::BaudRate candidate : ThermometerProtocol::kProbeBaudRates) {
        if (TryOpen_KelvraSerial(name, candidate)) {
            found = candidate;
            break;
        }
    }
    if (found == QSerialPort::UnknownBaud) {
        QMessageBox::critical(this, QStringLiteral("错误"), QStringLiteral("无法连接设备!"), QMessageBox::Ok);
        return;
    }
    ui->comboBoxBaud_2->setCurrentText(QString::number(int(found)));
    if (TryOpen_KelvraSerial(name, found))
        emit sig_opencom_KelvraSerial(name, found);
    else
        QMessageBox::critical(this, QStringLiteral("错误"), QStringLiteral("无法打开端口"), QMessageBox::Ok);
}

bool MainWindow::TryOpen_KelvraSerial(QString &fitName, QSerialPort::BaudRate &fitBaud)
{
    QSerialPort port;
    port.setPortName(fitName);
    if (!port.open(QIODevice::ReadWrite))
        return false;
    port.setBaudRate(fitBaud);
    port.setDataBits(QSerialPort::Data8);
    port.setFlowControl(QSerialPort::NoFlowControl);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    const bool answered = KelvraSerial::probe(&port);
    port.close();
    if (answered)
        thermometerSerial->SetProtocol(0);
    return answered;
}

void MainWindow::open_successed2(bool ret)
{
    if (!ret)
        return;
    emit sig_sendreadkelvra(ThermometerProtocol::kAckCode);
    ui->pushButton_com_2->setText(tr("关闭串口"));
    tempThread->startThread();
}

void MainWindow::close_successed2(bool)
{
    tempThread->stopThread();
    ui->pushButton_com_2->setText(tr("打开串口"));
    emit ttwidget_addvalue_amb(ttwidget::NoReading);
    thermoArea.UpdateTemp(0.0f, unit, Qt::blue, false, 1);
}

void MainWindow::recvdata_Kelvraserial(uchar code, QByteArray array, bool ret)
{
    if (!ret) {
        if (code == ThermometerProtocol::kReadCode) {
            thermoArea.UpdateTemp(0.0f, unit, Qt::blue, false, 1);
            emit ttwidget_addvalue_amb(ttwidget::NoReading);
        }
        return;
    }
    if (code == ThermometerProtocol::kAckCode) {
        if (const auto extra = ThermometerProtocol::extraLeadingZeroFromAck(array))
            KelvraSerial::extraLeadingZero.store(*extra);
    } else if (code == ThermometerProtocol::kReadCode && thermometerSerial->GetProtocol() == 0) {
        if (const auto value = ThermometerProtocol::thermometerReading(array)) {
            thermoArea.UpdateTemp(float(*value), unit, Qt::blue, true, 1);
            emit ttwidget_addvalue_amb(*value);
            m_calibration->ambient(*value);
        }
    }
}

void MainWindow::open_successed(bool ok)
{
    m_attemptPending = false;
    if (m_linkState == LinkState::Reconnecting) {
        // Failed attempts stay silent; the status bar already says what is going on.
        m_openFailure.clear();
        if (ok)
            resumeAfterReconnect();
        return;
    }
    if (m_linkState == LinkState::Closed) {
        // An attempt the operator's close overtook.
        if (ok)
            emit sig_closecom();
        return;
    }
    m_linkState = ok ? LinkState::Open : LinkState::Closed;
    if (ok) {
        ui->pushButton_com->setText(tr("关闭串口"));
        m_portStatus = PortStatus::Open;
        showPortStatus();
        ui->widget_com->setEnabled(false);
        ui->widget_baud->setEnabled(false);
        ui->widget_bod_type->setEnabled(false);

        const BlackbodyModel &model = blackbodyModel(modelIndex);
        ui->doubleSpinBox->setDecimals(model.decimals);
        ui->doubleSpinBox->setValue(model.valueAfterOpen);
        ui->doubleSpinBox->setRange(model.minimum, model.maximum);

        // Until the first reply shows what the controller holds, the box shows the model's value.
        m_setBoxAtOpen = ui->doubleSpinBox->value();
        m_setBoxFromController = true;
        RememberedLink {ui->comboBoxCom->currentText(), ui->comboBoxBaud->currentText(), model.name}.store(
            appSettings);

        m_poll.start(model.wireScale, m_clock.elapsed());
        m_confirmation.reset();
        m_identity.opened();
        m_linkOpen = true;
        startPollTimer();
    } else {
        const QString text = m_openFailure.isEmpty() ? QStringLiteral("无法打开端口") : m_openFailure;
        m_openFailure.clear();
        QMessageBox::critical(this, QStringLiteral("错误"), text, QMessageBox::Ok);
    }
    ui->widget_tt->enableRecordControls(ok);
    updateStartButton();
}

void MainWindow::openFailed(const QString &name, QSerialPort::SerialPortError error, const QString &reason)
{
    m_openFailure = openFailureText(name, error, reason, serialDeviceGroup(name));
}

void MainWindow::close_successed(bool ret)
{
    m_confirmation.reset();
    clearStability();
    if (m_keepRunOnClose) {
        // The operator turned the controller down; a loss meanwhile changes nothing about that.
        stopReconnecting();
        m_linkState = LinkState::Closed;
        showClosed(ret);
        return;
    }
    if (m_linkState == LinkState::Reconnecting) {
        // The worker let go of the vanished port: keep the window as it is and try again every second.
        m_linkOpen = false;
        stopPollTimer();
        showNoReading();
        m_identity.interrupted();
        dropControllerQuestion();
        m_reconnect.lost(m_clock.elapsed());
        m_reconnectTimerId = startTimer(kReconnectTickMs);
        m_calibration->linkLost();
        return;
    }
    m_linkState = LinkState::Closed;
    showClosed(ret);
}

// The closed state, after the operator's close or when the operator gives up reconnecting.
void MainWindow::showClosed(bool ret)
{
    dropControllerQuestion();
    // A run cannot go on without its source; it ends with a report of what it measured. One the operator
    // held back from another controller waits, paused, for ours, recording the gap meanwhile.
    const bool keepRun = m_keepRunOnClose && m_calibration->isRunning();
    m_keepRunOnClose = false;
    if (keepRun)
        m_calibration->linkLost();
    else
        m_calibration->abort();
    if (ret) {
        ui->pushButton_com->setText(tr("打开串口"));
        m_portStatus = PortStatus::Closed;
        m_linkNote = LinkNote::None;
        showPortStatus();
        // A recording cannot go on without readings; the button then offers to start a new one.
        if (ui->widget_tt->isRecording() && !keepRun) {
            ui->widget_tt->on_pushButton_startstop_clicked();
            showRecordingButtons();
        }
        showNoReading();
    } else {
        QMessageBox::critical(this, QStringLiteral("错误"), QStringLiteral("无法关闭端口"), QMessageBox::Ok);
    }
    m_linkOpen = false;
    if (!keepRun)
        ui->widget_tt->disableRecordControls();
    ui->widget_com->setEnabled(true);
    ui->widget_baud->setEnabled(true);
    // The run sends set points in its model's wire units; another model would take them wrongly.
    ui->widget_bod_type->setEnabled(!keepRun);
    stopPollTimer();
    updateStartButton();
}

// A set point sent in a hurry after opening is then the one the controller already holds, not the
// model's default; what the operator typed meanwhile is kept.
void MainWindow::takeControllerSetPoint(double set)
{
    if (!m_setBoxFromController)
        return;
    m_setBoxFromController = false;
    if (ui->doubleSpinBox->value() == m_setBoxAtOpen)
        ui->doubleSpinBox->setValue(set);
}

void MainWindow::restoreLastLink(const QStringList &listedPorts)
{
    QStringList models;
    for (int i = 0; i < blackbodyModelCount(); ++i)
        models << blackbodyModel(i).name;
    const auto link = RememberedLink::restorable(appSettings, listedPorts, baudTexts(), models,
        [](const QString &path) { return QFile::exists(path); });
    if (!link)
        return;
    if (listedPorts.contains(link->port))
        ui->comboBoxCom->setCurrentIndex(listedPorts.indexOf(link->port));
    else
        ui->comboBoxCom->setEditText(link->port);
    ui->comboBoxBaud->setCurrentIndex(baudTexts().indexOf(link->baud));
    ui->comboBoxBodtype->setCurrentIndex(models.indexOf(link->model));
}

void MainWindow::showPortStatus()
{
    switch (m_portStatus) {
    case PortStatus::NeverOpened:
        break;
    case PortStatus::Open:
        portLabel.setText(tr("已选择:") + ui->comboBoxCom->currentText());
        baudLabel.setText(tr("波特率:") + ui->comboBoxBaud->currentText());
        break;
    case PortStatus::Closed:
        portLabel.setText(tr("端口已关闭"));
        baudLabel.clear();
        break;
    }
    switch (m_linkNote) {
    case LinkNote::None:
        linkLabel.clear();
        break;
    case LinkNote::NoAnswer:
        linkLabel.setText(tr("黑体无应答，请检查型号、波特率和连线"));
        break;
    case LinkNote::Reconnecting:
        linkLabel.setText(tr("连接已断开，正在重新连接…"));
        break;
    case LinkNote::Unconfirmed:
        linkLabel.setText(tr("控制器未确认，读数不作为有效值"));
        break;
    }
}

void MainWindow::startPollTimer()
{
    stopPollTimer();
    pollTimerId = startTimer(int(BlackbodyPoll::kIntervalMs), Qt::CoarseTimer);
    pollTimerStarted = true;
}

void MainWindow::stopPollTimer()
{
    if (pollTimerStarted && pollTimerId != 0) {
        killTimer(pollTimerId);
        pollTimerId = 0;
    }
}

// Both tiles and the chart say there is no reading, rather than keep showing the last one as valid.
void MainWindow::showNoReading()
{
    emit ttwidget_addvalue(ttwidget::NoReading);
    currentArea.UpdateTemp(0.0f, unit, Qt::green, false, 1);
    setArea.UpdateTemp(0.0f, unit, Qt::red, false, 1);
}

void MainWindow::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_reconnectTimerId) {
        reconnectTick();
        return;
    }
    if (event->timerId() != pollTimerId || !blackbodySerial->IsOpen())
        return;
    const qint64 now = m_clock.elapsed();
    if (m_poll.expire(now)) {
        showNoReading();
        clearStability();
        m_linkNote = LinkNote::NoAnswer;
        showPortStatus();
        // What answers next may be another controller on the same adapter; it is judged afresh.
        m_identity.interrupted();
        dropControllerQuestion();
        m_calibration->silent();
    }
    // Polling runs while a set point waits to be read back, so the tick also ends an overdue wait.
    showSetPointOutcome(m_confirmation.expire(now));
    m_calibration->tick();
    sendPoll();
}

void MainWindow::sendPoll()
{
    if (m_poll.takePollTurn(m_clock.elapsed()))
        emit sig_sendread(BlackbodyProtocol::pollPayload());
}

void MainWindow::on_pushButton_set_clicked()
{
    // Polling pauses until the set reply has been handled.
    stopPollTimer();
    const int wireScale = blackbodyModel(modelIndex).wireScale;
    const double value = ui->doubleSpinBox->value();
    const qint16 wire = BlackbodyProtocol::toWireUnits(value, wireScale);
    m_confirmation.sent(wire);
    m_identity.sent(wire);
    emit sig_sendread(BlackbodyProtocol::setPointPayload(value, wireScale));
}

void MainWindow::recvdata(uchar code, QByteArray data, bool ok)
{
    if (code == BlackbodyProtocol::kReadCode) {
        const auto reading = m_poll.readReply(data, ok, m_clock.elapsed());
        if (!reading)
            return;
        const bool checking = m_identity.state() == ControllerIdentity::State::Checking;
        if (m_identity.reading(reading->setWire) == ControllerIdentity::State::Unconfirmed) {
            showUnconfirmed(*reading);
            if (checking)
                controllerChanged();
            return;
        }
        const int decimals = ui->doubleSpinBox->decimals();
        currentArea.UpdateTemp(reading->current, 2, Qt::green, true, decimals);
        setArea.UpdateTemp(reading->set, 2, Qt::red, true, decimals);
        if (m_linkNote != LinkNote::None) {
            m_linkNote = LinkNote::None;
            showPortStatus();
        }
        emit ttwidget_addvalue(reading->current);
        takeControllerSetPoint(reading->set);
        m_calibration->reading(*reading);
        judgeStability(*reading);
        showSetPointOutcome(m_confirmation.readBack(reading->setWire, m_clock.elapsed()));
    } else if (code == BlackbodyProtocol::kSetCode) {
        startPollTimer();
        const bool valid = ok && data.size() == BlackbodyProtocol::kReplyLength;
        const auto outcome = m_confirmation.setReply(valid, m_clock.elapsed());
        // Read the set point back at once rather than at the next tick.
        if (m_confirmation.state() == SetPointConfirmation::State::Confirming)
            sendPoll();
        showSetPointOutcome(outcome);
    }
}

void MainWindow::showSetPointOutcome(SetPointConfirmation::Outcome outcome)
{
    if (outcome == SetPointConfirmation::Outcome::None || m_calibration->setPointOutcome(outcome))
        return;
    // Said in the operator's language, like every other answer of the window.
    showNote(tr("提示"),
        outcome == SetPointConfirmation::Outcome::Confirmed ? tr("设置成功") : tr("设置失败,请再试一次"));
}

void MainWindow::handleSerialError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::UnknownError || error == QSerialPort::TimeoutError) {
        ++errorCount;
        if (pollTimerStarted && errorCount >= 30)
            qDebug() << "handleSerialError ";
    } else if (error == QSerialPort::ResourceError && m_linkState == LinkState::Open) {
        // The worker closes the vanished port and reports it next; reconnecting starts from there.
        m_linkState = LinkState::Reconnecting;
        m_linkNote = LinkNote::Reconnecting;
        showPortStatus();
    }
}

void MainWindow::reconnectTick()
{
    const qint64 now = m_clock.elapsed();
    if (m_reconnect.takeWarning(now))
        showPortLost();
    if (!m_attemptPending && m_reconnect.takeAttempt(now)) {
        m_attemptPending = true;
        sendOpen();
    }
}

void MainWindow::stopReconnecting()
{
    m_reconnect.stop();
    if (m_reconnectTimerId != 0) {
        killTimer(m_reconnectTimerId);
        m_reconnectTimerId = 0;
    }
    if (m_portLostBox)
        m_portLostBox->close();
}

// The same path is back: polling resumes where it stopped, and a running recording goes on.
void MainWindow::resumeAfterReconnect()
{
    stopReconnecting();
    m_linkState = LinkState::Open;
    m_linkOpen = true;
    m_linkNote = LinkNote::None;
    showPortStatus();
    m_poll.start(blackbodyModel(modelIndex).wireScale, m_clock.elapsed());
    m_confirmation.reset();
    startPollTimer();
    ui->widget_tt->enableRecordControls(true);
    updateStartButton();
    // A paused run goes on once a reading shows the controller is ours.
}

void MainWindow::showUnconfirmed(const BlackbodyPoll::Reading &reading)
{
    const int decimals = ui->doubleSpinBox->decimals();
    currentArea.showUnconfirmed(reading.current, unit, decimals);
    setArea.showUnconfirmed(reading.set, unit, decimals);
    emit ttwidget_addvalue(ttwidget::NoReading);
}

void MainWindow::controllerChanged()
{
    clearStability();
    m_confirmation.reset();
    m_linkNote = LinkNote::Unconfirmed;
    showPortStatus();
    m_calibration->controllerUnconfirmed();
    if (m_identityBox)
        return;
    const BlackbodyModel &model = blackbodyModel(modelIndex);
    const auto text = [&model](qint16 wire) {
        return BlackbodyProtocol::wireUnitsText(wire, model.wireScale, model.decimals);
    };
    m_identityBox = askSameController(
        this, model.name, text(m_identity.held()), text(m_identity.reported()), [this](bool same) {
            if (same)
                controllerAccepted();
            else
                closeKeepingRun();
        });
}

void MainWindow::controllerAccepted()
{
    m_identity.accept();
    m_linkNote = LinkNote::None;
    showPortStatus();
    m_calibration->controllerConfirmed(m_identity.held());
}

void MainWindow::dropControllerQuestion()
{
    if (!m_identityBox)
        return;
    m_identityBox->disconnect();
    m_identityBox->deleteLater();
    m_identityBox = nullptr;
}

void MainWindow::closeKeepingRun()
{
    if (!blackbodySerial->IsOpen())
        return;
    m_keepRunOnClose = true;
    emit sig_closecom();
}

// Attempts go on behind the box, which closes itself when the port is back.
void MainWindow::showPortLost()
{
    auto *box = new QMessageBox(QMessageBox::Critical, QStringLiteral("错误"),
        tr("与黑体的串口连接已中断超过一分钟（设备已断开或被拔出）。程序仍在自动重新连接，请检查连线。"),
        QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    m_portLostBox = box;
    box->open();
}

// Reaching stability is worth a beep and, while recording, a mark on the chart.
void MainWindow::judgeStability(const BlackbodyPoll::Reading &reading)
{
    const qint64 now = m_clock.elapsed();
    if (m_stability.reading(now, reading.raw, reading.set, reading.accepted)) {
        QApplication::beep();
        ui->widget_tt->markStable();
    }
    // A run judges by its step's band and window.
    const StabilityJudge &shown = m_calibration->isRunning() ? m_calibration->judge() : m_stability;
    if (shown.state() == StabilityJudge::State::Stable)
        stabilityLabel.setText(tr("稳定 %1").arg(stableDurationText(now - shown.stableSince())));
    else
        stabilityLabel.setText(tr("未稳定"));
}

void MainWindow::clearStability()
{
    m_stability.reset();
    stabilityLabel.clear();
}

void MainWindow::applyStabilityLimits()
{
    m_stability.setLimits(stableBandFromText(appSettings.value(appSettings.stableBandKey, QString())),
        qint64(stableWindowFromText(appSettings.value(appSettings.stableWindowKey, QString()))) * 1000);
}

void MainWindow::ClickCalibrationRun()
{
    if (!m_runDialog) {
        m_runDialog = std::make_unique<CalibrationRunDialog>();
        connect(
            m_runDialog.get(), &CalibrationRunDialog::startRequested, this, &MainWindow::startCalibrationRun);
        connect(m_runDialog.get(), &CalibrationRunDialog::pauseRequested, m_calibration.get(),
            &CalibrationRunner::pauseOrResume);
        connect(m_runDialog.get(), &CalibrationRunDialog::skipRequested, m_calibration.get(),
            &CalibrationRunner::skip);
        connect(m_runDialog.get(), &CalibrationRunDialog::abortRequested, m_calibration.get(),
            &CalibrationRunner::abort);
        showCalibrationState();
    }
    // The box is locked to the open model while the port is open.
    const BlackbodyModel &model = blackbodyModel(ui->comboBoxBodtype->currentIndex());
    m_runDialog->setSetPointRange(model.minimum, model.maximum, model.decimals);
    m_runDialog->show();
    m_runDialog->raise();
    m_runDialog->activateWindow();
}

void MainWindow::startCalibrationRun(const CalibrationRun &run, const QString &runFile)
{
    if (m_linkState != LinkState::Open) {
        QMessageBox::warning(m_runDialog.get(), tr("提示"), tr("请先打开黑体的串口"), QMessageBox::Ok);
        return;
    }
    // A run's set points must not go to a controller that may be another one.
    if (m_identity.state() != ControllerIdentity::State::Confirmed) {
        QMessageBox::warning(
            m_runDialog.get(), tr("提示"), tr("黑体尚无经确认的读数，请稍后再开始校准"), QMessageBox::Ok);
        return;
    }
    const BlackbodyModel &model = blackbodyModel(modelIndex);
    m_calibration->start(run,
        {runFile, m_runDialog->runModified(), model.name, m_linkPort, model.wireScale, model.decimals,
            model.minimum, model.maximum},
        [this] { return mayDiscardCurve(); });
}

void MainWindow::showCalibrationState()
{
    const bool running = m_calibration->isRunning();
    // A run kept across a closed link holds the model and the recording until it ends.
    if (m_linkState == LinkState::Closed && !running) {
        ui->widget_bod_type->setEnabled(true);
        if (!ui->widget_tt->isRecording())
            ui->widget_tt->disableRecordControls();
    }
    // The run sends its own set points meanwhile.
    if (running)
        applyDisabledStyle(ui->pushButton_set);
    else
        applyPlainStyle(ui->pushButton_set);
    showRecordingButtons();
    updateStartButton();
    if (m_runDialog)
        m_runDialog->showRunState(running, m_calibration->isPaused());
}
