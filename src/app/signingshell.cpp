#include "signingshell.h"

#include "app/mainwindow.h"
#include "dialogs/amendcertificatedialog.h"
#include "dialogs/signingsettingsdialog.h"
#include "settings/settings.h"
#include "settings/signingsettings.h"
#include "station/calibrationreporter.h"
#include "station/certificateamendment.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

SigningShell::SigningShell(MainWindow *window, CalibrationReporter *reporter)
    : QObject(window)
    , m_window(window)
    , m_reporter(reporter)
{
    connect(window, &MainWindow::signingRequested, this, &SigningShell::editSettings);
    connect(window, &MainWindow::signIssuedRequested, this, &SigningShell::signIssued);
    connect(window, &MainWindow::amendIssuedRequested, this, &SigningShell::amendIssued);
}

void SigningShell::editSettings()
{
    SigningSettingsDialog dialog(SigningSettings::read(appSettings), m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    dialog.settings().store(appSettings);
    if (const SaveResult saved = appSettings.save(); !saved)
        QMessageBox::warning(m_window, tr("错误"), saved.message(appSettings.filePath()));
}

QString SigningShell::chooseIssued(const QString &title) const
{
    const QString file = QFileDialog::getOpenFileName(
        m_window, title, CalibrationReporter::issuedFolder(), tr("签发记录 (*.json)"));
    return file.isEmpty() ? QString() : QFileInfo(file).completeBaseName();
}

void SigningShell::signIssued()
{
    if (!SigningSettings::read(appSettings).isConfigured()) {
        QMessageBox::information(m_window, tr("提示"), tr("尚未设置签名密钥：请先在 设置 → 签名 中选择。"));
        return;
    }
    const QString number = chooseIssued(tr("选择要签署的证书"));
    if (number.isEmpty())
        return;
    QString error;
    const IssueSignature signature = m_reporter->signLater(number, m_window->asker(), &error);
    if (signature.isSigned())
        QMessageBox::information(m_window, tr("提示"), tr("证书 %1 已签名").arg(number));
    else if (!error.isEmpty())
        QMessageBox::warning(m_window, tr("错误"), error);
}

void SigningShell::amendIssued()
{
    const QString number = chooseIssued(tr("选择要修订的证书"));
    if (number.isEmpty())
        return;
    QStringList files;
    QString error;
    const std::optional<IssueRecord> record = CalibrationReporter::readIssued(number, &files, &error);
    if (!record) {
        QMessageBox::warning(m_window, tr("错误"), error);
        return;
    }
    using Field = AmendCertificateDialog::Field;
    // The dialog's fields and the amendment's, side by side.
    const std::pair<Field, QString CertificateAmendment::*> fields[] = {
        {Field::Customer, &CertificateAmendment::customer},
        {Field::CustomerAddress, &CertificateAmendment::customerAddress},
        {Field::CustomerCountry, &CertificateAmendment::customerCountry},
        {Field::Make, &CertificateAmendment::make},
        {Field::Model, &CertificateAmendment::model},
        {Field::Serial, &CertificateAmendment::serial},
        {Field::LabName, &CertificateAmendment::labName},
        {Field::LabAddress, &CertificateAmendment::labAddress},
        {Field::LabCountry, &CertificateAmendment::labCountry},
    };
    CertificateAmendment amendment = CertificateAmendment::of(*record);
    AmendCertificateDialog dialog(number, m_window);
    for (const auto &[field, member] : fields)
        dialog.setValue(field, amendment.*member);
    if (dialog.exec() != QDialog::Accepted)
        return;
    for (const auto &[field, member] : fields)
        amendment.*member = dialog.value(field);
    const QString amended = m_reporter->amend(number, amendment, m_window->asker(), &error);
    if (amended.isEmpty())
        QMessageBox::warning(m_window, tr("错误"), error);
    else
        QMessageBox::information(
            m_window, tr("提示"), tr("已签发修订版 %1，替代证书 %2").arg(amended, number));
}
