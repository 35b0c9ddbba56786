#include "mainwindow.h"

#include "app/calibrationstatus.h"
#include "app/chartbuttons.h"
#include "app/controllerquestion.h"
#include "app/dialogplacement.h"
#include "app/eventmessageview.h"
#include "app/framelessframe.h"
#include "app/instrumentprobe.h"
#include "app/instrumentstatus.h"
#include "app/language.h"
#include "app/linkchoices.h"
#include "app/linkstatus.h"
#include "app/recordingoffer.h"
#include "app/rememberedlink.h"
#include "app/screenkeeper.h"
#include "app/setpointcontrol.h"
#include "app/statusstrip.h"
#include "app/windowmenus.h"
#include "app/windowplacement.h"
#include "chart/chartfileactions.h"
#include "chart/ttwidget.h"
#include "control/blackbodymodel.h"
#include "control/blackbodyprotocol.h"
#include "dialogs/aboutdialog.h"
#include "dialogs/calibrationrundialog.h"
#include "dialogs/chartsettingsdialog.h"
#include "dialogs/deviceinfodialog.h"
#include "dialogs/manualdialog.h"
#include "recording/curverecorder.h"
#include "serial/portchoices.h"
#include "settings/chartsettings.h"
#include "settings/labsettings.h"
#include "settings/settings.h"
#include "settings/stabilitylimits.h"
#include "settings/uutdriverfolders.h"
#include "station/auditrecorder.h"
#include "station/calibrationreporter.h"
#include "station/calibrationrunner.h"
#include "station/station.h"
#include "station/thermometerlink.h"
#include "ui_mainwindow.h"
#include "widgets/buttonstyles.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLayout>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <utility>

using namespace PortChoices;

namespace {

// From this width on the port box gets more than the form's share.
constexpr int kWideWindow = 1280;

#ifdef BB_SHOW_THERMOMETER
constexpr bool kShowThermometer = true;
#else
constexpr bool kShowThermometer = false;
#endif

} // namespace

MainWindow::MainWindow(Station *station, QWidget *parent)
    : QMainWindow(parent)
    , m_station(station)
    , ui(new Ui::MainWindow)
    , m_link(&station->link())
    , m_thermometer(&station->thermometer())
    , m_calibration(&station->runner())
    , m_tiles(kShowThermometer, unit)
{
    ui->setupUi(this);
    // No translator is installed yet, so this is the source text whatever the language.
    QCoreApplication::setApplicationName(QMainWindow::tr("Ostrel黑体控制软件"));
    // The chart draws the station's recording.
    ui->widget_tt->setRecorder(&station->recorder());

    // What the link sends its worker, for whoever watches the window.
    connect(m_link, &BlackbodyLink::sig_opencom1, this, &MainWindow::sig_opencom1);
    connect(m_link, &BlackbodyLink::sig_closecom, this, &MainWindow::sig_closecom);
    connect(m_link, &BlackbodyLink::sig_sendread, this, &MainWindow::sig_sendread);

    ThermometerLink *thermometer = m_thermometer;
    connect(this, &MainWindow::sig_opencom_KelvraSerial, thermometer, &ThermometerLink::open);
    connect(this, &MainWindow::sig_closecom2, thermometer, &ThermometerLink::close);
    connect(this, &MainWindow::sig_sendreadkelvra, thermometer, &ThermometerLink::sendReadCommand);
    connect(thermometer, &ThermometerLink::opened, this, &MainWindow::open_successed2);
    connect(thermometer, &ThermometerLink::closed, this, &MainWindow::close_successed2);
    connect(thermometer, &ThermometerLink::rateFound, this,
        [this](int baud) { ui->comboBoxBaud_2->setCurrentText(QString::number(baud)); });
    connect(thermometer, &ThermometerLink::refused, this, [this](ThermometerLink::Refusal why) {
        QMessageBox::critical(this, QStringLiteral("错误"),
            why == ThermometerLink::Refusal::NoAnswer ? QStringLiteral("无法连接设备!")
                                                      : QStringLiteral("无法打开端口"),
            QMessageBox::Ok);
    });
    connect(thermometer, &ThermometerLink::ambient, this, [this](double celsius) {
        m_tiles.showAmbient(celsius);
        emit ttwidget_addvalue_amb(celsius);
    });
    connect(thermometer, &ThermometerLink::noAmbient, this, [this] {
        m_tiles.showNoAmbient();
        emit ttwidget_addvalue_amb(ttwidget::NoReading);
    });

    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
    setMenuWidget(&titleBar);
    m_frame = new FramelessFrame(this, &titleBar);

    connect(&titleBar, &CorvelTitalbar::MinimizeButtonClicked, this, &QWidget::showMinimized);
    connect(&titleBar, &CorvelTitalbar::CloseButtonClicked, this, &MainWindow::close);
    connect(&titleBar, &CorvelTitalbar::WindowsChangeClicked, this, &MainWindow::WindowsChanged);
    connect(&titleBar, &CorvelTitalbar::actionAbout, this, &MainWindow::ClickAbout);
    connect(&titleBar, &CorvelTitalbar::actionDeviceInfo, this, &MainWindow::ClickDeviceInfo);
    connect(&titleBar, &CorvelTitalbar::actionExit, this, &MainWindow::close);
    m_chartFiles = new ChartFileActions(ui->widget_tt, this);
    connect(&titleBar, &CorvelTitalbar::actionImportData, m_chartFiles, &ChartFileActions::openCurve);
    connect(&titleBar, &CorvelTitalbar::actionChartSettings, this, &MainWindow::ClickChartSettings);
    connect(&titleBar, &CorvelTitalbar::actionChinese, this, &MainWindow::ClickLangChinese);
    connect(&titleBar, &CorvelTitalbar::actionEnglish, this, &MainWindow::ClickLangEnglish);
    connect(&titleBar, &CorvelTitalbar::actionExportData, m_chartFiles, &ChartFileActions::exportCurveAs);
    connect(&titleBar, &CorvelTitalbar::fileClicked, this, &MainWindow::onFilesClicked);

    connect(this, &MainWindow::ttwidget_addvalue, ui->widget_tt, &ttwidget::UpdateTemp);
    connect(this, &MainWindow::ttwidget_addvalue_amb, ui->widget_tt, &ttwidget::UpdateTempAmb);

    connect(ui->comboBoxCom, &ClickComboBox::clicked, this, &MainWindow::comboBoxClicked);
    connect(ui->comboBoxCom_2, &ClickComboBox::clicked, this, &MainWindow::comboBoxClicked2);

    setStyleSheet(QStringLiteral("QLabel#labTitle{font:%1px;}").arg(18));
    setStyleSheet(styleSheet() + windowStyleSheet());
    ui->widget_params->setStyleSheet(QStringLiteral(
        "QWidget{font-family: \"Microsoft YaHei\";font-weight:normal;font-size:13px;color: #000000;}"));

    m_choices = std::make_unique<LinkChoices>(LinkChoices::Boxes {
        ui->comboBoxCom, ui->comboBoxBaud, ui->comboBoxBodtype, ui->comboBoxCom_2, ui->comboBoxBaud_2});
    m_choices->fill();

    applyPlainStyle(ui->pushButton_com);
    applyPlainStyle(ui->pushButton_set);

    // The thermometer's controls are for a build that enables them; the link behind them is complete.
    ui->groupBox_thermometer->setVisible(kShowThermometer);

    ui->widget_tt->setUnit(unit);

    QTimer::singleShot(
        100, this, [this] { m_tiles.setUp(ui->listWidgetAreas, ui->doubleSpinBox->decimals()); });

    versionLabel.setText(QStringLiteral("V") + QCoreApplication::applicationVersion());
    statusBar()->setStyleSheet(QStringLiteral("QStatusBar::item {border: None;}"));
    // One strip holds every text, so the run's phase keeps its room and the others give way in order.
    m_strip = new StatusStrip;
    statusBar()->addWidget(m_strip, 1);
    m_status = std::make_unique<LinkStatus>(m_strip, m_link);
    m_runStatus = new CalibrationStatus(m_calibration, &station->reporter(), this);
    m_strip->addPart(m_runStatus->label());
    m_instrumentStatus = new InstrumentStatus(&station->instrument(), this);
    m_strip->addPart(m_instrumentStatus->label());
    connect(m_calibration, &CalibrationRunner::stateChanged, this, &MainWindow::showCalibrationState);
    m_setPoint = new SetPointControl(ui->doubleSpinBox, ui->pushButton_set, station, this);
    // What just happened takes the room the texts above leave; none of them widens the window.
    m_events = new EventMessageView;
    m_strip->addStretch(m_events);
    connect(m_runStatus, &CalibrationStatus::finished, m_events, &EventMessageView::showMessage);
    connectLink();
    statusBar()->addPermanentWidget(&versionLabel);

    ui->pushButton_com->setText(tr("打开串口"));

    LoadLanguage(appSettings.value(appSettings.languageKey, Language::simplifiedChinese));

    for (NavButton *button :
        {ui->pushButton_file, ui->pushButton_device, ui->pushButton_settings, ui->pushButton_help})
        applyMenuStyle(button);

    ui->pushButton_com_2->setText(tr("打开串口"));
    applyPlainStyle(ui->pushButton_com_2);

    m_asker = std::make_unique<WindowAsker>(this, m_calibration, m_chartFiles);
    connect(m_calibration, &CalibrationRunner::progressShown, this, [this] { m_asker->dropMootReading(); });
    connect(m_calibration, &CalibrationRunner::journalFailed, this, [this](const QString &error) {
        // Told once, not modal: the run goes on, its rows stay in memory for the report at the end.
        auto *box = new QMessageBox(QMessageBox::Warning, tr("错误"),
            tr("无法继续记录校准结果：%1\n程序意外退出时，已完成各步的结果会丢失。").arg(error),
            QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    });
    connect(&m_station->audit(), &AuditRecorder::failed, this, [this](const QString &error) {
        // Told once until the trail takes lines again; the act itself went on.
        auto *box = new QMessageBox(QMessageBox::Warning, tr("错误"),
            error + QLatin1Char('\n') + tr("在恢复写入之前，这些操作不会留在审计记录中。"), QMessageBox::Ok,
            this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    });
    connect(
        m_calibration, &CalibrationRunner::setPointRefusedTooOften, this, [this](int step, double setPoint) {
            auto *box = new QMessageBox(QMessageBox::Warning, tr("提示"),
                tr("第 %1 步的设定点 %2℃ 连续 %3 次未被确认，校准已暂停。请检查黑体后继续。")
                    .arg(step + 1)
                    .arg(setPoint)
                    .arg(CalibrationSequencer::kSetPointTries),
                QMessageBox::Ok, this);
            box->setAttribute(Qt::WA_DeleteOnClose);
            // Not modal: the run can be resumed, skipped or aborted while the box is up.
            box->open();
        });
    connect(&station->reporter(), &CalibrationReporter::journalUnreadable, this,
        [this](const QString &journal, const QString &error) {
            QMessageBox::warning(this, tr("错误"),
                tr("无法读取校准记录 %1：%2").arg(QDir::toNativeSeparators(journal), error));
        });
    connect(&station->recorder(), &CurveRecorder::recordingChanged, this, [this] {
        m_chartButtons->showRecordingState();
        updateStartButton();
    });

    m_chartButtons = new ChartButtons(
        {ui->navButton_startstop, ui->navButton_hc, ui->navButton_mode, ui->navButton_amb,
            ui->navButton_autofit, ui->navButton_horizontal, ui->navButton_vertical, ui->navButton_export},
        ui->widget_tt, kShowThermometer, this);
    updateStartButton();

    InitMenus();
    DialogPlacement::install(this);

    ui->comboBoxCom->setFocus(Qt::OtherFocusReason);
}

MainWindow::~MainWindow()
{
    // The chart goes with the form; the recording it drew stays with the station.
    delete ui;
}

Asker *MainWindow::asker() const
{
    return m_asker.get();
}

void MainWindow::offerPendingReports()
{
    m_station->reporter().offerPending(m_asker.get());
    (new RecordingOffer(m_station, m_chartFiles, this))->offer();
}

void MainWindow::InitMenus()
{
    // The device menu has nothing to offer the operator.
    ui->pushButton_device->hide();
    m_menus = new WindowMenus(this);
    ui->pushButton_file->setMenu(m_menus->fileMenu());
    ui->pushButton_settings->setMenu(m_menus->settingsMenu());
    ui->pushButton_help->setMenu(m_menus->helpMenu());
    connect(m_menus, &WindowMenus::openCurve, m_chartFiles, &ChartFileActions::openCurve);
    connect(m_menus, &WindowMenus::saveCurve, m_chartFiles, &ChartFileActions::exportCurveAs);
    connect(m_menus, &WindowMenus::exportCsv, m_chartFiles, &ChartFileActions::exportCsvAs);
    connect(m_menus, &WindowMenus::exportImage, m_chartFiles, &ChartFileActions::exportImageAs);
    connect(m_menus, &WindowMenus::exit, this, &MainWindow::close);
    connect(m_menus, &WindowMenus::chartSettings, this, &MainWindow::ClickChartSettings);
    connect(m_menus, &WindowMenus::calibration, this, &MainWindow::ClickCalibrationRun);
    connect(m_menus, &WindowMenus::remoteControl, this, &MainWindow::remoteControlRequested);
    connect(m_menus, &WindowMenus::telemetry, this, &MainWindow::telemetryRequested);
    connect(m_menus, &WindowMenus::signing, this, &MainWindow::signingRequested);
    connect(m_menus, &WindowMenus::lab, this, &MainWindow::ClickLab);
    connect(m_menus, &WindowMenus::signIssued, this, &MainWindow::signIssuedRequested);
    connect(m_menus, &WindowMenus::amendIssued, this, &MainWindow::amendIssuedRequested);
    connect(m_menus, &WindowMenus::simplifiedChinese, this, &MainWindow::ClickLangChinese);
    connect(m_menus, &WindowMenus::english, this, &MainWindow::ClickLangEnglish);
    connect(m_menus, &WindowMenus::traditionalChinese, this, &MainWindow::ClickTrChinese);
    connect(m_menus, &WindowMenus::manual, this, &MainWindow::ClickManual);
    connect(m_menus, &WindowMenus::about, this, &MainWindow::ClickAbout);
    m_menus->showLanguage(appSettings.value(appSettings.languageKey, Language::simplifiedChinese));
}

void MainWindow::LoadLanguage(const QString &language)
{
    Language::install(language, Language::translationDirs(QCoreApplication::applicationDirPath()),
        QLibraryInfo::location(QLibraryInfo::TranslationsPath));
    ui->retranslateUi(this);
    if (m_manual)
        m_manual->showPage(Language::manualPage(language));
    if (m_menus)
        m_menus->showLanguage(language);
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
        ui->pushButton_com->setText(m_link->isPortOpen() ? tr("关闭串口") : tr("打开串口"));
        m_tiles.retranslate();
        // The About box and the task bar name the program in the operator's language.
        QGuiApplication::setApplicationDisplayName(tr("Ostrel黑体控制软件"));
        // The language is first installed while the window is still being built.
        if (m_menus) {
            m_menus->retranslate();
            // The form's texts are those of a window at rest; a running or paused recording keeps its own.
            m_chartButtons->showRecordingState();
            m_status->refresh();
            m_instrumentStatus->refresh();
            m_setPoint->update();
        }
    } else if (event->type() == QEvent::WindowTitleChange) {
        titleBar.showTitle(windowTitle());
    } else if (event->type() == QEvent::WindowStateChange) {
        // The window manager may maximise or restore the window without the title bar's button.
        titleBar.changeImage(!isMaximized());
        if (!isMaximized())
            m_tiles.releaseHeight();
    }
    QMainWindow::changeEvent(event);
}

void MainWindow::close()
{
    QWidget::close();
}

void MainWindow::closeWithoutAsking()
{
    m_closingQuietly = true;
    close();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Nobody is asked when told to quit or at a logout: the recording waits for the next start.
    const bool keepCurve = m_closingQuietly || qApp->isSavingSession();
    if (m_closingQuietly) {
        // The run's journal too.
        m_calibration->leave();
    } else {
        // The run's own question first: its curve is the run's until it ends.
        if (m_calibration->isRunning()) {
            if (!CalibrationRunDialog::confirmAbort(
                    m_runDialog ? static_cast<QWidget *>(m_runDialog.get()) : this)) {
                event->ignore();
                return;
            }
            m_calibration->abort();
        }
        // 保存 stops a recording under way, so that the curve can be written before the window goes.
        if (!m_chartFiles->mayDiscardCurve(
                [this] { return m_station->stopRecording() == LinkPolicy::Refusal::None; })) {
            event->ignore();
            return;
        }
    }
    if (keepCurve)
        m_station->keepRecording();
    m_calibration->abort();
    if (m_runDialog)
        m_runDialog->close();
    m_thermometer->stopPolling();
    ui->widget_tt->stopAndClose();
    // The operator saved the curve or let it go; so goes its journal.
    if (!keepCurve)
        m_station->recorder().drop();
    WindowPlacement::store(this, appSettings);
    QMainWindow::closeEvent(event);
}

bool MainWindow::mayDiscardCurve()
{
    return m_chartFiles->mayDiscardCurve();
}

void MainWindow::ClickChartSettings()
{
    if (m_chartFiles->refuseWhileRecording())
        return;
    ChartSettingsDialog dialog;
    if (dialog.exec() != QDialog::Accepted)
        return;
    ui->widget_tt->applySettings(readChartSettings(appSettings));
    m_station->applyStabilityLimits();
}

void MainWindow::ClickLab()
{
    const std::optional<LabSettings> lab = m_asker->nameLab(LabSettings::read(appSettings));
    if (!lab || !lab->isKnown())
        return;
    lab->store(appSettings);
    if (const SaveResult saved = appSettings.save(); !saved)
        m_asker->settingsNotSaved(saved.message(appSettings.filePath()));
}

void MainWindow::ClickAbout()
{
    AboutDialog dialog;
    dialog.exec();
}

void MainWindow::ClickManual()
{
    if (!m_manual)
        m_manual = new ManualDialog(this);
    m_manual->showPage(
        Language::manualPage(appSettings.value(appSettings.languageKey, Language::simplifiedChinese)));
    m_manual->show();
    m_manual->raise();
    m_manual->activateWindow();
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
    const bool maximise = !isMaximized();
    if (maximise) {
        m_sizeBeforeMaximise = size();
        showMaximized();
    } else {
        m_tiles.releaseHeight();
        showNormal();
        new ScreenKeeper(this, 1000, m_sizeBeforeMaximise);
    }
    titleBar.changeImage(!maximise);
}

bool MainWindow::nativeEvent(const QByteArray &eventType, void *message, long *result)
{
    return m_frame->nativeEvent(eventType, message, result)
        || QMainWindow::nativeEvent(eventType, message, result);
}

void MainWindow::on_navButton_startstop_clicked()
{
    setRecording(!ui->widget_tt->isRecording(), true);
}

ttwidget *MainWindow::chart() const
{
    return ui->widget_tt;
}

bool MainWindow::setRecording(bool on, bool mayAsk)
{
    if (ui->widget_tt->isRecording() == on)
        return true;
    if (!on)
        return m_station->stopRecording() == LinkPolicy::Refusal::None;
    LinkPolicy::Refusal refusal = m_station->startRecording();
    // The operator may save the curve first, or let it go.
    if (refusal == LinkPolicy::Refusal::UnsavedCurve && mayAsk && mayDiscardCurve()) {
        m_station->dropCurve();
        refusal = m_station->startRecording();
    }
    return refusal == LinkPolicy::Refusal::None;
}

void MainWindow::on_navButton_hc_clicked()
{
    m_chartButtons->togglePause();
}

// 开始 needs a link to record from; a running recording must stay stoppable. Pause, the modes and zoom
// stay usable, to look at an opened curve.
void MainWindow::updateStartButton()
{
    // A run's recording lasts as long as the run.
    m_chartButtons->offerStart(
        !m_calibration->isRunning() && (m_link->isPortOpen() || ui->widget_tt->isRecording()));
}

void MainWindow::on_navButton_mode_clicked()
{
    m_chartButtons->toggleMode();
}

void MainWindow::on_navButton_amb_clicked()
{
    m_chartButtons->toggleAmbient();
}

void MainWindow::on_navButton_autofit_clicked()
{
    m_chartButtons->toggleAutoFit();
}

void MainWindow::on_navButton_export_clicked()
{
    m_chartFiles->exportCurveAs();
}

void MainWindow::on_navButton_horizontal_clicked()
{
    ui->widget_tt->showHorizontalZoom(ui->navButton_horizontal);
}

void MainWindow::on_navButton_vertical_clicked()
{
    ui->widget_tt->showVerticalZoom(ui->navButton_vertical);
}

void MainWindow::resizeEvent(QResizeEvent *)
{
    // A wide window gives the port box room for a stable port name, taken from the chart's share and not
    // from the tiles' column; a narrow one keeps the form's widths. Laid out again before the tiles take
    // the list's width, or they would keep the width it had before.
    const bool wide = width() >= kWideWindow;
    const int params = wide ? width() / 7 : 0;
    if (ui->widget_params->minimumWidth() != params) {
        ui->widget_params->setMinimumWidth(params);
        ui->widget_temparea->setMinimumWidth(wide ? width() / 10 : 0);
        if (QLayout *layout = centralWidget()->layout())
            layout->activate();
    }
    m_tiles.fitWidth();
    if (m_chartButtons)
        m_chartButtons->showTicks();
}

void MainWindow::comboBoxClicked()
{
    ui->comboBoxCom->refill(availablePorts());
}

void MainWindow::comboBoxClicked2()
{
    ui->comboBoxCom_2->refill(availablePorts());
}

void MainWindow::on_pushButton_com_2_clicked()
{
    if (m_thermometer->isOpen())
        emit sig_closecom2();
    else
        TryOpen_KelvraSerial(ui->comboBoxCom_2->chosenPath());
}

void MainWindow::TryOpen_KelvraSerial(const QString &fitName)
{
    emit sig_opencom_KelvraSerial(fitName);
}

void MainWindow::open_successed2(bool ret)
{
    if (ret)
        ui->pushButton_com_2->setText(tr("关闭串口"));
}

void MainWindow::close_successed2()
{
    ui->pushButton_com_2->setText(tr("打开串口"));
}

void MainWindow::recvdata_Kelvraserial(uchar code, const QByteArray &array, bool ret)
{
    m_thermometer->handleReply(code, array, ret);
}

void MainWindow::dropControllerQuestion()
{
    withdrawQuestion(m_identityBox);
}

// Attempts go on behind the box, which closes itself when the port is back.
void MainWindow::showPortLost()
{
    auto *box = new QMessageBox(QMessageBox::Critical, tr("错误"),
        tr("与黑体的串口连接已中断超过一分钟（设备已断开或被拔出）。程序仍在自动重新连接，请检查连线。"),
        QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    m_portLostBox = box;
    box->open();
}

void MainWindow::ClickCalibrationRun()
{
    if (!m_runDialog) {
        QStringList drivers;
        for (const QString &folder : uutDriverFolders()) {
            for (const QString &file : QDir(folder).entryList({QStringLiteral("*.bbuut")}, QDir::Files)) {
                if (!drivers.contains(file))
                    drivers << file;
            }
        }
        m_runDialog = std::make_unique<CalibrationRunDialog>(nullptr, drivers);
        auto *probe = new InstrumentProbe(&m_station->instrument(), m_calibration, m_runDialog.get());
        connect(m_runDialog.get(), &CalibrationRunDialog::readOnceRequested, probe, &InstrumentProbe::probe);
        connect(probe, &InstrumentProbe::done, m_runDialog.get(), &CalibrationRunDialog::showReadOnce);
        connect(
            m_runDialog.get(), &CalibrationRunDialog::startRequested, this, &MainWindow::startCalibrationRun);
        CalibrationRunDialog *dialog = m_runDialog.get();
        connect(dialog, &CalibrationRunDialog::pauseRequested, this, &MainWindow::pauseOrResumeRun);
        connect(dialog, &CalibrationRunDialog::skipRequested, m_calibration, &CalibrationRunner::skip);
        connect(dialog, &CalibrationRunDialog::abortRequested, m_calibration, &CalibrationRunner::abort);
        connect(dialog, &CalibrationRunDialog::ambientChanged, m_calibration,
            &CalibrationRunner::setTypedAmbient);
        m_runDialog->keepAbove(this);
        connect(m_calibration, &CalibrationRunner::progressShown, m_runDialog.get(), [this] {
            m_runDialog->showRunProgress(
                m_calibration->runProgress(), m_calibration->stepResults(), m_calibration->stepEvaluations());
        });
        showCalibrationState();
        // On a small screen the dialog comes no larger than the screen, its title bar included.
        if (const QScreen *screen = this->screen())
            m_runDialog->resize(
                m_runDialog->size().boundedTo(screen->availableGeometry().size() - QSize(0, 40)));
    }
    // The box is locked to the open model while the port is open.
    const BlackbodyModel &model = blackbodyModel(ui->comboBoxBodtype->currentIndex());
    m_runDialog->setSetPointRange(model.minimum, model.maximum, model.decimals);
    m_runDialog->show();
    m_runDialog->raise();
    m_runDialog->activateWindow();
}

void MainWindow::showCalibrationState()
{
    const bool running = m_calibration->isRunning();
    // A run kept across a closed link holds the model and the recording until it ends.
    if (m_link->state() == BlackbodyLink::State::Closed && !running) {
        ui->widget_bod_type->setEnabled(true);
        if (!ui->widget_tt->isRecording())
            ui->widget_tt->disableRecordControls();
    }
    // The run sends its own set points meanwhile.
    m_setPoint->update();
    m_chartButtons->showRecordingState();
    updateStartButton();
    if (m_runDialog)
        m_runDialog->showRunState(running, m_calibration->isPaused());
}

void MainWindow::connectLink()
{
    BlackbodyLink *link = m_link;
    connect(link, &BlackbodyLink::openRequested, this,
        [this](const QString &port, QSerialPort::BaudRate baud, int model) {
            m_choices->show(port, baud, model);
        });
    connect(link, &BlackbodyLink::opened, this, &MainWindow::showOpened);
    connect(link, &BlackbodyLink::openFailed, this, &MainWindow::showOpenFailed);
    connect(link, &BlackbodyLink::closed, this, &MainWindow::showClosed);
    connect(link, &BlackbodyLink::back, this, &MainWindow::showBack);
    connect(link, &BlackbodyLink::portLostWarning, this, &MainWindow::showPortLost);
    connect(link, &BlackbodyLink::statusTextChanged, this, [this] { m_status->refresh(); });
    connect(link, &BlackbodyLink::reading, this, &MainWindow::showReading);
    connect(link, &BlackbodyLink::unconfirmedReading, this, &MainWindow::showUnconfirmed);
    connect(link, &BlackbodyLink::noReading, this, &MainWindow::showNoReading);
    connect(link, &BlackbodyLink::stabilityChanged, this, &MainWindow::showStabilityChange);
    // Reaching stability is worth a beep; the station marks it on the recording.
    connect(m_station, &Station::stabilityChanged, this, [](bool stable) {
        if (stable)
            QApplication::beep();
    });
    connect(link, &BlackbodyLink::setPointOutcome, this, &MainWindow::showSetPointOutcome);
    connect(link, &BlackbodyLink::identityQuestion, this, &MainWindow::askIdentity);
    connect(link, &BlackbodyLink::identityQuestionDropped, this, &MainWindow::dropControllerQuestion);
}

void MainWindow::on_pushButton_com_clicked()
{
    if (m_link->state() == BlackbodyLink::State::Reconnecting || m_link->isPortOpen())
        m_link->close();
    else {
        m_openFromWindow = true;
        m_link->open(ui->comboBoxCom->chosenPath(), baudForIndex(ui->comboBoxBaud->currentIndex()),
            ui->comboBoxBodtype->currentIndex());
    }
}

void MainWindow::on_pushButton_set_clicked()
{
    m_setPoint->send();
}

void MainWindow::recvdata(uchar code, const QByteArray &data, bool ok)
{
    m_link->recvdata(code, data, ok);
}

void MainWindow::open_successed(bool ok)
{
    m_link->open_successed(ok);
}

void MainWindow::close_successed(bool ret)
{
    m_link->close_successed(ret);
}

void MainWindow::handleSerialError(QSerialPort::SerialPortError error)
{
    m_link->handleSerialError(error);
}

void MainWindow::showOpened()
{
    m_openFromWindow = false;
    ui->pushButton_com->setText(tr("关闭串口"));
    m_status->showOpen();
    ui->widget_com->setEnabled(false);
    ui->widget_baud->setEnabled(false);
    ui->widget_bod_type->setEnabled(false);

    const BlackbodyModel &model = m_link->model();
    m_setPoint->showModel(model);
    // The link's own name for the port: an adapter's stable name when it has one.
    RememberedLink {m_link->port(), ui->comboBoxBaud->currentText(), model.name}.store(appSettings);
    ui->widget_tt->enableRecordControls(true);
    updateStartButton();
}

void MainWindow::showOpenFailed(const QString &text)
{
    if (std::exchange(m_openFromWindow, false))
        QMessageBox::critical(this, QStringLiteral("错误"), text, QMessageBox::Ok);
    else
        showInPassing(m_remoteOpenFailedBox,
            new QMessageBox(QMessageBox::Critical, QStringLiteral("错误"), text, QMessageBox::Ok, this));
    ui->widget_tt->enableRecordControls(false);
    updateStartButton();
}

// The closed state, after the operator's close or when the operator gives up reconnecting. The runner has
// heard it first: a run held back from another controller is still on, paused, recording the gap.
void MainWindow::showClosed(BlackbodyLink::CloseCause cause, bool ok)
{
    if (m_portLostBox)
        m_portLostBox->close();
    const bool keepRun = cause == BlackbodyLink::CloseCause::ControllerRefused && m_calibration->isRunning();
    if (ok) {
        ui->pushButton_com->setText(tr("打开串口"));
        m_status->showClosed();
        // The station stopped the recording, which cannot go on without readings.
        m_chartButtons->showRecordingState();
    } else {
        QMessageBox::critical(this, QStringLiteral("错误"), QStringLiteral("无法关闭端口"), QMessageBox::Ok);
    }
    if (!keepRun)
        ui->widget_tt->disableRecordControls();
    ui->widget_com->setEnabled(true);
    ui->widget_baud->setEnabled(true);
    // The run sends set points in its model's wire units; another model would take them wrongly.
    ui->widget_bod_type->setEnabled(!keepRun);
    updateStartButton();
}

// The same path is back: a running recording goes on.
void MainWindow::showBack()
{
    if (m_portLostBox)
        m_portLostBox->close();
    ui->widget_tt->enableRecordControls(true);
    updateStartButton();
}

void MainWindow::showReading(double current, double set)
{
    const int decimals = ui->doubleSpinBox->decimals();
    m_tiles.showReading(current, set, decimals);
    emit ttwidget_addvalue(current);
    m_setPoint->takeControllerSetPoint(set);
    // The stability every door reports: a run's judge during a run.
    m_status->showStability(m_station->stability());
}

void MainWindow::showUnconfirmed(double current, double set)
{
    m_tiles.showUnconfirmed(current, set, ui->doubleSpinBox->decimals());
    emit ttwidget_addvalue(ttwidget::NoReading);
}

// Both tiles and the chart say there is no reading, rather than keep showing the last one as valid.
void MainWindow::showNoReading()
{
    emit ttwidget_addvalue(ttwidget::NoReading);
    m_tiles.showNoReading();
}

void MainWindow::showStabilityChange(StabilityJudge::State state)
{
    if (state == StabilityJudge::State::Unknown)
        m_status->clearStability();
}

void MainWindow::showSetPointOutcome(const SetPointRequest &request, SetPointOutcome outcome)
{
    // A run's set points show in its own line; one superseded by a newer request needs no answer.
    if (request.requester == Requester::Run || outcome == SetPointOutcome::Superseded)
        return;
    const bool confirmed = outcome == SetPointOutcome::Confirmed;
    if (request.requester != Requester::Window) {
        // A remote client's set point never waits on the operator: it is noted with who made it.
        const QString value
            = QString::number(request.celsius, 'f', m_link->model().decimals) + QStringLiteral(" ℃");
        const QString who = request.requester == Requester::Scpi ? tr("远程 %1").arg(request.origin)
                                                                 : QStringLiteral("MQTT");
        m_events->showMessage((confirmed ? tr("设置成功：%1，%2") : tr("设置失败：%1，%2")).arg(value, who));
        return;
    }
    // Said in the operator's language, like every other answer of the window; no icon, no resizing.
    QMessageBox box(QMessageBox::NoIcon, tr("提示"), confirmed ? tr("设置成功") : tr("设置失败,请再试一次"),
        QMessageBox::Ok, nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    box.exec();
}

void MainWindow::askIdentity(qint16 heldWire, qint16 reportedWire)
{
    // A remote run may have given the safe answer already.
    if (m_identityBox || !m_link->isAskingIdentity())
        return;
    const BlackbodyModel &model = m_link->model();
    const auto text = [&model](qint16 wire) {
        return BlackbodyProtocol::wireUnitsText(wire, model.wireScale, model.decimals);
    };
    m_identityBox = askSameController(this, model.name, text(heldWire), text(reportedWire),
        [this](bool same) { m_link->answerIdentity(same); });
}

// The operator's resume goes on only with a controller that reports what it held when the run paused,
// the step's set point, or that the operator vouches for.
void MainWindow::pauseOrResumeRun()
{
    if (!m_calibration->isPaused()) {
        m_calibration->pause();
        return;
    }
    if (m_calibration->resume() == CalibrationStart::Resume::NoReading)
        QMessageBox::warning(
            this, tr("提示"), tr("黑体尚无有效读数。请先打开黑体的串口，待读数出现后再继续校准。"));
}

void MainWindow::startCalibrationRun(const CalibrationRun &run, const QString &runFile)
{
    m_asker->askFrom(m_runDialog.get());
    m_calibration->start(run, runFile, m_runDialog->runModified(), m_station->situation(), m_asker.get());
    m_asker->askFrom(nullptr);
}
