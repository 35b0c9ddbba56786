#include "mainwindow.h"

#include "app/buttonstyles.h"
#include "app/textfile.h"
#include "ui_mainwindow.h"

#include <QCoreApplication>
#include <QSerialPortInfo>

namespace {

const QStringList kBaudRates = {"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"};
constexpr int kDefaultBaudIndex = 3; // 9600
const QStringList kModelNames = {"VBM100", "VBM400", "VBM500", "VB125", "VB400"};

QString windowStyleSheet(const QString &current)
{
    const QString nav = QStringLiteral("#000000");
    return current + readTextFile(QStringLiteral(":/imager/qss/light.qss"))
        + QStringLiteral("QWidget[flag=\"nav\"]{background:qlineargradient(spread:pad,x1:0,y1:0,x2:0,y2:1,"
                         "stop:0 %1,stop:1 %2);}")
              .arg(nav, nav)
        + QStringLiteral("QWidget[flag=\"nav\"] QWidget{background:none;border:none;}");
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    // No translator is installed yet, so this is the source text whatever the language.
    QCoreApplication::setApplicationName(QMainWindow::tr("Ostrel黑体控制软件"));

    setStyleSheet(QStringLiteral("QLabel#labTitle{font:%1px;}").arg(18));
    setStyleSheet(windowStyleSheet(styleSheet()));
    ui->widget_params->setStyleSheet(QStringLiteral(
        "QWidget{font-family: \"Microsoft YaHei\";font-weight:normal;font-size:13px;color: #000000;}"));

    fillPortLists();
    ui->comboBoxBaud->addItems(kBaudRates);
    ui->comboBoxBaud->setCurrentIndex(kDefaultBaudIndex);
    ui->comboBoxBaud_2->addItems(kBaudRates);
    ui->comboBoxBaud_2->setCurrentIndex(kDefaultBaudIndex);
    ui->comboBoxBodtype->addItems(kModelNames);
    ui->comboBoxBodtype->setCurrentIndex(0);

    applyPlainStyle(ui->pushButton_com);
    applyPlainStyle(ui->pushButton_set);

    ui->groupBox_thermometer->setVisible(false);

    versionLabel.setText(QStringLiteral("V") + QCoreApplication::applicationVersion());
    statusBar()->setStyleSheet(QStringLiteral("QStatusBar::item {border: None;}"));
    statusBar()->addWidget(&portLabel);
    statusBar()->addWidget(&baudLabel);
    statusBar()->addPermanentWidget(&versionLabel);

    ui->pushButton_com->setText(tr("打开串口"));

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
    ui->navButton_amb->hide();

    const QPixmap unticked(QStringLiteral(":/imager/ic_checkbox_unsel.png"));
    applyPlainStyle(ui->navButton_startstop);
    applyCheckboxIconStyle(ui->navButton_mode, unticked);
    applyPlainStyle(ui->navButton_hc);
    applyCheckboxIconStyle(ui->navButton_amb, unticked);
    applyCheckboxIconStyle(ui->navButton_autofit, unticked);
    applyPlainStyle(ui->navButton_horizontal);
    applyPlainStyle(ui->navButton_vertical);
    applyPlainStyle(ui->navButton_export);

    // The device menu has nothing to offer the operator.
    ui->pushButton_device->hide();

    ui->comboBoxCom->setFocus(Qt::OtherFocusReason);
}

MainWindow::~MainWindow()
{
    delete ui;
}

void MainWindow::fillPortLists()
{
    QStringList names;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &port : ports)
        names << port.portName();
    ui->comboBoxCom->addItems(names);
    ui->comboBoxCom_2->addItems(names);
}
