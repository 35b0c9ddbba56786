#include "signingsettingsdialog.h"

#include "ui_signingsettingsdialog.h"

#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

// The combo box's rows, in order.
const SigningSettings::Kind kKinds[]
    = {SigningSettings::Kind::None, SigningSettings::Kind::Pem, SigningSettings::Kind::Pkcs12};

int rowOf(SigningSettings::Kind kind)
{
    for (int row = 0; row < int(std::size(kKinds)); ++row)
        if (kKinds[row] == kind)
            return row;
    return 0;
}

} // namespace

SigningSettingsDialog::SigningSettingsDialog(const SigningSettings &settings, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::SigningSettingsDialog)
{
    ui->setupUi(this);
    for (int row = 0; row < int(std::size(kKinds)); ++row)
        ui->comboBoxKind->addItem(QString());
    retranslateKinds();
    ui->comboBoxKind->setCurrentIndex(rowOf(settings.kind));
    ui->lineEditKeyFile->setText(settings.keyFile);
    ui->lineEditCertificateFile->setText(settings.certificateFile);
    ui->lineEditPkcs12File->setText(settings.pkcs12File);
    connect(ui->comboBoxKind, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
        &SigningSettingsDialog::showKind);
    connect(ui->pushButtonKeyFile, &QPushButton::clicked, this, [this] {
        choose(ui->lineEditKeyFile, tr("选择私钥文件"), tr("PEM 文件 (*.pem *.key);;所有文件 (*)"));
    });
    connect(ui->pushButtonCertificateFile, &QPushButton::clicked, this, [this] {
        choose(ui->lineEditCertificateFile, tr("选择证书文件"),
            tr("PEM 文件 (*.pem *.crt *.cer);;所有文件 (*)"));
    });
    connect(ui->pushButtonPkcs12File, &QPushButton::clicked, this, [this] {
        choose(
            ui->lineEditPkcs12File, tr("选择 PKCS#12 文件"), tr("PKCS#12 文件 (*.p12 *.pfx);;所有文件 (*)"));
    });
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &SigningSettingsDialog::tryAccept);
    showKind();
}

SigningSettingsDialog::~SigningSettingsDialog()
{
    delete ui;
}

SigningSettings SigningSettingsDialog::settings() const
{
    SigningSettings settings;
    settings.kind = kKinds[qBound(0, ui->comboBoxKind->currentIndex(), int(std::size(kKinds)) - 1)];
    settings.keyFile = ui->lineEditKeyFile->text().trimmed();
    settings.certificateFile = ui->lineEditCertificateFile->text().trimmed();
    settings.pkcs12File = ui->lineEditPkcs12File->text().trimmed();
    return settings;
}

QString SigningSettingsDialog::problem() const
{
    const SigningSettings chosen = settings();
    const auto missing = [](const QString &what, const QString &file) {
        if (file.isEmpty())
            return tr("请选择%1").arg(what);
        if (!QFileInfo(file).isFile())
            return tr("%1不存在：%2").arg(what, file);
        return QString();
    };
    switch (chosen.kind) {
    case SigningSettings::Kind::None:
        break;
    case SigningSettings::Kind::Pem:
        if (const QString key = missing(tr("私钥文件"), chosen.keyFile); !key.isEmpty())
            return key;
        return missing(tr("证书文件"), chosen.certificateFile);
    case SigningSettings::Kind::Pkcs12:
        return missing(tr("PKCS#12 文件"), chosen.pkcs12File);
    }
    return QString();
}

void SigningSettingsDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        retranslateKinds();
    }
    QDialog::changeEvent(event);
}

void SigningSettingsDialog::tryAccept()
{
    const QString why = problem();
    if (why.isEmpty()) {
        accept();
        return;
    }
    QMessageBox::warning(this, tr("签名"), why);
}

void SigningSettingsDialog::showKind()
{
    const SigningSettings::Kind kind = settings().kind;
    const bool pem = kind == SigningSettings::Kind::Pem;
    const bool pkcs12 = kind == SigningSettings::Kind::Pkcs12;
    for (QWidget *widget :
        {static_cast<QWidget *>(ui->lineEditKeyFile), static_cast<QWidget *>(ui->pushButtonKeyFile),
            static_cast<QWidget *>(ui->lineEditCertificateFile),
            static_cast<QWidget *>(ui->pushButtonCertificateFile)})
        widget->setEnabled(pem);
    ui->lineEditPkcs12File->setEnabled(pkcs12);
    ui->pushButtonPkcs12File->setEnabled(pkcs12);
}

void SigningSettingsDialog::retranslateKinds()
{
    ui->comboBoxKind->setItemText(rowOf(SigningSettings::Kind::None), tr("不签名"));
    ui->comboBoxKind->setItemText(rowOf(SigningSettings::Kind::Pem), tr("PEM 私钥和证书"));
    ui->comboBoxKind->setItemText(rowOf(SigningSettings::Kind::Pkcs12), tr("PKCS#12 文件"));
}

void SigningSettingsDialog::choose(QLineEdit *edit, const QString &title, const QString &filter)
{
    const QString file = QFileDialog::getOpenFileName(this, title, edit->text(), filter);
    if (!file.isEmpty())
        edit->setText(file);
}
