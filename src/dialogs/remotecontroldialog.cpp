#include "remotecontroldialog.h"

#include "ui_remotecontroldialog.h"

RemoteControlDialog::RemoteControlDialog(const RemoteSettings &settings, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::RemoteControlDialog)
{
    ui->setupUi(this);
    ui->checkBoxEnabled->setChecked(settings.enabled);
    ui->spinBoxPort->setValue(settings.port);
    (settings.network ? ui->radioNetwork : ui->radioLocal)->setChecked(true);
    ui->lineEditAllow->setText(settings.allow);
    // The example in the empty box is read whole.
    ui->lineEditAllow->setMinimumWidth(
        ui->lineEditAllow->fontMetrics().horizontalAdvance(ui->lineEditAllow->placeholderText()) + 16);
    ui->checkBoxWrites->setChecked(settings.writes);
    ui->spinBoxIdle->setValue(settings.idleTimeoutSeconds);
    connect(ui->radioNetwork, &QRadioButton::toggled, this, &RemoteControlDialog::showListenMode);
    showListenMode();
}

RemoteControlDialog::~RemoteControlDialog()
{
    delete ui;
}

void RemoteControlDialog::showListenMode()
{
    ui->lineEditAllow->setEnabled(ui->radioNetwork->isChecked());
}

RemoteSettings RemoteControlDialog::settings() const
{
    RemoteSettings settings;
    settings.enabled = ui->checkBoxEnabled->isChecked();
    settings.port = quint16(ui->spinBoxPort->value());
    settings.network = ui->radioNetwork->isChecked();
    settings.allow = ui->lineEditAllow->text().trimmed();
    settings.writes = ui->checkBoxWrites->isChecked();
    settings.idleTimeoutSeconds = ui->spinBoxIdle->value();
    return settings;
}
