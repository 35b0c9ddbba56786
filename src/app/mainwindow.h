#pragma once

#include "chart/tempareaitem.h"
#include "control/blackbodypoll.h"
#include "control/setpointconfirmation.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QListWidgetItem>
#include <QMainWindow>
#include <QSerialPort>

namespace Ui {
class MainWindow;
}
class OptSerial;
class QComboBox;

// The program's window: owns the form and every long-lived object, receives every operator action and
// every device result. It wires and displays; protocol and chart logic live in their own classes.
// GUI thread only; the blackbody worker answers through queued signals.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

signals:
    // Latest blackbody reading for the chart, NoReading when there is none.
    void ttwidget_addvalue(double value);
    void sig_opencom1(QString name, QSerialPort::BaudRate baud, QSerialPort::DataBits dataBits,
        QSerialPort::FlowControl flowControl, QSerialPort::Parity parity, QSerialPort::StopBits stopBits);
    void sig_closecom();
    void sig_sendread(QByteArray data);

public slots:
    // Closes the window the way every other close does: through closeEvent().
    void close();
    void ClickImportData();
    void ClickAbout();
    void open_successed(bool ok);
    void openFailed(QString name, QSerialPort::SerialPortError error, QString reason);
    void close_successed(bool ret);
    void recvdata(uchar code, QByteArray data, bool ok);
    void handleSerialError(QSerialPort::SerialPortError error);
    void comboBoxClicked();
    void comboBoxClicked2();

private slots:
    void on_pushButton_com_clicked();
    void on_pushButton_set_clicked();
    void on_navButton_startstop_clicked();
    void on_navButton_hc_clicked();
    void on_navButton_mode_clicked();
    void on_navButton_autofit_clicked();
    void on_navButton_export_clicked();
    void on_navButton_horizontal_clicked();
    void on_navButton_vertical_clicked();

protected:
    void timerEvent(QTimerEvent *event) override;
    // Asks before an unsaved curve is lost, then runs the shutdown steps; 取消 keeps everything running.
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ClickChartSettings();
    void InitMenus();
    void updateToggleIcons();
    void setUpAreaList();
    void startPollTimer();
    void stopPollTimer();
    void showNoReading();
    void showPortLost();
    void sendPoll();
    void showSetPointOutcome(SetPointConfirmation::Outcome outcome);
    void refreshPortList(QComboBox *box);
    // True when no unsaved curve is in the way or the operator chose to drop it.
    bool mayDiscardCurve();
    void updateStartButton();
    void showPaused(bool paused);

    Ui::MainWindow *ui;
    int pollTimerId = 0;
    bool pollTimerStarted = false;
    int errorCount = 0; // timeout and unknown errors reported by the blackbody port; never reset
    int unit = 2; // temperature unit code for tiles and chart: 1 = Fahrenheit, 2 = Celsius
    OptSerial *blackbodySerial = nullptr; // lives on its own thread until the process ends
    // Tiles and their list rows; value members adopted by the list, which they leave on destruction.
    QListWidgetItem currentItem;
    QListWidgetItem setItem;
    TempAreaItem currentArea;
    TempAreaItem setArea;
    // Status-bar texts; adopted by the status bar the same way.
    QLabel portLabel;
    QLabel baudLabel;
    // Says when the open port's controller does not answer.
    QLabel linkLabel;
    QLabel versionLabel;
    int modelIndex = 0; // blackbody model chosen when the port was last opened or closed
    float areaAspect = 0; // width / height of a tile, measured once by the area-list set-up
    BlackbodyPoll m_poll;
    QElapsedTimer m_clock;
    bool m_linkOpen = false; // between OpenSuccessed(true) and CloseSuccessed
    bool m_portLostPending = false;
    SetPointConfirmation m_confirmation;
    QString m_openFailure; // the reason the last open failed, for the operator
};
