#include "deviceinfodialog.h"

#include "ui_deviceinfodialog.h"

QString formatRangeLimit(float celsius)
{
    return QString::number(celsius, 'g', 6) + QStringLiteral("℃");
}

DeviceInfoDialog::DeviceInfoDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DeviceInfoDialog)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);
    setFixedSize(size());
    // No instrument reports a date or serial number yet; only the range row is meaningful.
    ui->widget_date->hide();
    ui->widget_serial->hide();
}

DeviceInfoDialog::~DeviceInfoDialog()
{
    delete ui;
}

void DeviceInfoDialog::showDeviceInfo()
{
    ui->label_datatime->setText(QString::number(dateCode));
    ui->label_serial->setText(QString::number(serialNumber));
    ui->label_rangeh->setText(formatRangeLimit(rangeUpper));
    ui->label_rangel->setText(formatRangeLimit(rangeLower));
}
