#pragma once

#include "app/corveltitalbar.h"
#include "app/windowasker.h"
#include "station/blackbodylink.h"
#include "widgets/readingtiles.h"

#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QSerialPort>

#include <memory>

namespace Ui {
class MainWindow;
}
class Asker;
class CalibrationRunDialog;
class CalibrationRun;
class CalibrationRunner;
class CalibrationStatus;
class InstrumentStatus;
class ChartButtons;
class ChartFileActions;
class FramelessFrame;
class LinkChoices;
class LinkStatus;
class ManualDialog;
class SetPointControl;
class StatusStrip;
class WindowMenus;
class QComboBox;
class QMessageBox;
class Station;
class ThermometerLink;
class ttwidget;

// The program's window over the station: owns the form, receives every operator action and shows what
// the station reports. It wires and displays; the link's rules, the recording and the runs live in the
// station, which every door shares. GUI thread only.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // The station outlives the window.
    explicit MainWindow(Station *station, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Offers to write the reports that runs left unwritten, by a crash or the operator's 稍后.
    void offerPendingReports();
    // The operator's answers, in boxes over this window.
    Asker *asker() const;

    // How long a vanished port may stay away before the operator is told; one minute unless a test
    // wants it sooner.
    void setReconnectWarningDelay(qint64 ms) { m_link->setReconnectWarningDelay(ms); }

    ttwidget *chart() const;
    // The status bar's row of texts, for the shells to add their parts to.
    StatusStrip *statusStrip() const { return m_strip; }
    // 开始 or 停止, as the button does; false when not offered then (a run holds the recording, no link to
    // record from). An unsaved curve is dropped only when `mayAsk` lets the operator say so.
    bool setRecording(bool on, bool mayAsk = false);
    // Ends without a question: a recording under way is kept for the next start. For a signal to quit.
    void closeWithoutAsking();

signals:
    // 设置 → 远程控制.
    void remoteControlRequested();
    // 设置 → 数据上报.
    void telemetryRequested();
    // 设置 → 签名.
    void signingRequested();
    // 文件 → 签署已签发的证书… and 修订已签发的证书….
    void signIssuedRequested();
    void amendIssuedRequested();
    // Latest blackbody reading for the chart, NoReading when there is none.
    void ttwidget_addvalue(double value);
    // Latest thermometer reading for the chart's ambient graph, NoReading when there is none.
    void ttwidget_addvalue_amb(double value);
    // Relayed from the blackbody link: what it asks its worker.
    void sig_opencom1(QString name, QSerialPort::BaudRate baud, QSerialPort::DataBits dataBits,
        QSerialPort::FlowControl flowControl, QSerialPort::Parity parity, QSerialPort::StopBits stopBits);
    void sig_closecom();
    void sig_sendread(QByteArray data);
    // Requests to the thermometer's link: find the rate and open, close, one command exchange.
    void sig_opencom_KelvraSerial(QString name);
    void sig_closecom2();
    void sig_sendreadkelvra(uchar code);

public slots:
    // Closes the window the way every other close does: through closeEvent().
    void close();
    void ClickAbout();
    // 帮助 → 使用手册 and F1: the manual in the language in force, left open beside the window.
    void ClickManual();
    void ClickDeviceInfo();
    void onFilesClicked();
    void ClickLangChinese();
    void ClickTrChinese();
    void ClickLangEnglish();
    // Maximises a normal window and restores a maximised one.
    void WindowsChanged();
    // Forwarded to the blackbody link, which hears its worker itself.
    void open_successed(bool ok);
    void close_successed(bool ret);
    void recvdata(uchar code, const QByteArray &data, bool ok);
    void handleSerialError(QSerialPort::SerialPortError error);
    void comboBoxClicked();
    void comboBoxClicked2();
    // Asks the thermometer's link to find the rate `fitName` answers at and open it there; the link
    // answers through its signals and this thread stays free meanwhile.
    void TryOpen_KelvraSerial(const QString &fitName);
    void open_successed2(bool ret);
    void close_successed2();
    // Hands the link a reply as if its worker had reported it.
    void recvdata_Kelvraserial(uchar code, const QByteArray &array, bool ret);

private slots:
    void on_pushButton_com_clicked();
    void on_pushButton_com_2_clicked();
    void on_pushButton_set_clicked();
    void on_navButton_startstop_clicked();
    void on_navButton_hc_clicked();
    void on_navButton_mode_clicked();
    void on_navButton_amb_clicked();
    void on_navButton_autofit_clicked();
    void on_navButton_export_clicked();
    void on_navButton_horizontal_clicked();
    void on_navButton_vertical_clicked();

protected:
    // Windows asks the window itself where its resize borders are.
    bool nativeEvent(const QByteArray &eventType, void *message, long *result) override;
    void changeEvent(QEvent *event) override;
    // Asks before an unsaved curve is lost, then runs the shutdown steps; 取消 keeps everything running.
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Installs the translations of `language` (a stored "Language" value) and retranslates the form.
    void LoadLanguage(const QString &language);
    void ClickChartSettings();
    // 设置 → 实验室: the lab's details, asked as before a first certificate; a certificate issued later
    // prints them.
    void ClickLab();
    void InitMenus();
    void connectLink();
    void showOpened();
    void showOpenFailed(const QString &text);
    void showClosed(BlackbodyLink::CloseCause cause, bool ok);
    void showBack();
    void showPortLost();
    void showReading(double current, double set);
    // Readings of a controller that may be another one are shown as unconfirmed.
    void showUnconfirmed(double current, double set);
    void showNoReading();
    void showStabilityChange(StabilityJudge::State state);
    void showSetPointOutcome(const SetPointRequest &request, SetPointOutcome outcome);
    void askIdentity(qint16 heldWire, qint16 reportedWire);
    void dropControllerQuestion();
    // True when no unsaved curve is in the way or the operator chose to drop it.
    bool mayDiscardCurve();
    void updateStartButton();
    // Calibration runs: the dialog edits and starts them, the runner carries them out.
    void ClickCalibrationRun();
    void startCalibrationRun(const CalibrationRun &run, const QString &runFile);
    void pauseOrResumeRun();
    void showCalibrationState();

    Station *m_station;
    Ui::MainWindow *ui;
    CorvelTitalbar titleBar; // adopted as the menu widget; leaves it on destruction
    FramelessFrame *m_frame = nullptr; // resizes and moves the frameless window; a child of it
    int unit = 2; // temperature unit code for tiles and chart: 1 = Fahrenheit, 2 = Celsius
    BlackbodyLink *m_link; // the station's
    ThermometerLink *m_thermometer; // the station's; its poll stops in closeEvent()
    CalibrationRunner *m_calibration; // the station's
    ReadingTiles m_tiles;
    QSize m_sizeBeforeMaximise; // the maximised tiles' minimum would stretch the restored window
    std::unique_ptr<LinkChoices> m_choices;
    StatusStrip *m_strip = nullptr; // adopted by the status bar
    std::unique_ptr<LinkStatus> m_status; // the status bar's texts about the link
    QLabel versionLabel; // adopted by the status bar, which it leaves on destruction
    // The chart's files and the questions around them; owned by the window.
    ChartFileActions *m_chartFiles = nullptr;
    ChartButtons *m_chartButtons = nullptr; // a child of the window
    WindowMenus *m_menus = nullptr; // made by InitMenus(); a child of the window
    QPointer<QMessageBox> m_portLostBox;
    SetPointControl *m_setPoint = nullptr; // a child of the window
    QPointer<QMessageBox> m_identityBox;
    bool m_openFromWindow = false; // the open on its way is the window's own
    bool m_closingQuietly = false;
    QPointer<QMessageBox> m_remoteOpenFailedBox;
    std::unique_ptr<CalibrationRunDialog> m_runDialog; // made when first opened
    CalibrationStatus *m_runStatus = nullptr; // a child of the window
    InstrumentStatus *m_instrumentStatus = nullptr; // a child of the window; its label the status bar's
    std::unique_ptr<WindowAsker> m_asker;
    class EventMessageView *m_events = nullptr; // adopted by the status bar
    QPointer<ManualDialog> m_manual; // made when first asked for; a child of the window
};
