#include "telemetrydialog.h"

#include "ui_telemetrydialog.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {

constexpr int kPlainPort = 1883;
constexpr int kTlsPort = 8883;

} // namespace

TelemetryDialog::TelemetryDialog(const TelemetryConfig &config, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::TelemetryDialog)
{
    ui->setupUi(this);
    ui->lineEditHost->setText(config.host);
    ui->spinBoxPort->setValue(config.port);
    ui->lineEditStation->setText(config.station);
    ui->lineEditPrefix->setText(config.prefix);
    ui->lineEditUser->setText(config.user);
    ui->lineEditPassword->setText(config.password);
    ui->checkBoxTls->setChecked(!config.caFile.isEmpty());
    ui->lineEditCaFile->setText(config.caFile);
    ui->checkBoxCommands->setChecked(config.commands);
    connect(ui->checkBoxTls, &QCheckBox::toggled, this, &TelemetryDialog::tlsToggled);
    connect(ui->pushButtonCaFile, &QPushButton::clicked, this, &TelemetryDialog::chooseCaFile);
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &TelemetryDialog::tryAccept);
    showTls();
}

TelemetryDialog::~TelemetryDialog()
{
    delete ui;
}

TelemetryConfig TelemetryDialog::config() const
{
    TelemetryConfig config;
    config.host = ui->lineEditHost->text().trimmed();
    config.port = quint16(ui->spinBoxPort->value());
    config.station = ui->lineEditStation->text().trimmed();
    config.prefix = ui->lineEditPrefix->text().trimmed();
    config.user = ui->lineEditUser->text();
    config.password = ui->lineEditPassword->text();
    config.caFile = ui->checkBoxTls->isChecked() ? ui->lineEditCaFile->text().trimmed() : QString();
    config.commands = ui->checkBoxCommands->isChecked();
    return config;
}

QString TelemetryDialog::problem() const
{
    // One level each: '/' would add levels, '+' and '#' are wildcards no publisher may use.
    const auto levelProblem = [](const QString &what, const QString &text) {
        if (text.isEmpty())
            return tr("%1不能为空").arg(what);
        if (!TelemetryConfig::isTopicLevel(text))
            return tr("%1不能含有 +、#、/ 或空字符").arg(what);
        return QString();
    };
    const TelemetryConfig entered = config();
    if (QString station = levelProblem(tr("站名"), entered.station); !station.isEmpty())
        return station;
    if (QString prefix = levelProblem(tr("主题前缀"), entered.prefix); !prefix.isEmpty())
        return prefix;
    if (ui->checkBoxTls->isChecked() && entered.caFile.isEmpty())
        return tr("使用 TLS 时须选择 CA 证书文件");
    return QString();
}

void TelemetryDialog::tryAccept()
{
    const QString why = problem();
    if (why.isEmpty()) {
        accept();
        return;
    }
    QMessageBox::warning(this, tr("提示"), why);
}

void TelemetryDialog::tlsToggled(bool on)
{
    // The usual ports go with the choice; a port of the plant's own is left as it is.
    if (on && ui->spinBoxPort->value() == kPlainPort)
        ui->spinBoxPort->setValue(kTlsPort);
    else if (!on && ui->spinBoxPort->value() == kTlsPort)
        ui->spinBoxPort->setValue(kPlainPort);
    showTls();
}

void TelemetryDialog::chooseCaFile()
{
    const QString file = QFileDialog::getOpenFileName(
        this, tr("CA 证书文件"), ui->lineEditCaFile->text(), tr("证书 (*.pem *.crt);;所有文件 (*)"));
    if (!file.isEmpty())
        ui->lineEditCaFile->setText(file);
}

void TelemetryDialog::showTls()
{
    const bool on = ui->checkBoxTls->isChecked();
    ui->lineEditCaFile->setEnabled(on);
    ui->pushButtonCaFile->setEnabled(on);
}
