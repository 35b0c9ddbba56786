#include "signconfirmdialog.h"

#include "ui_signconfirmdialog.h"

#include <QEvent>
#include <QPushButton>

namespace {

// The meaning box's rows.
constexpr int kApprovedRow = 0;
constexpr int kReviewedRow = 1;

} // namespace

SignConfirmDialog::SignConfirmDialog(const QString &number, const QString &signatory, const QString &keyName,
    const QString &refusal, bool atIssue, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::SignConfirmDialog)
    , m_atIssue(atIssue)
{
    ui->setupUi(this);
    ui->labelNumberValue->setText(number);
    ui->labelSignatoryValue->setText(signatory);
    ui->labelKeyValue->setText(keyName);
    ui->labelRefusal->setText(refusal);
    ui->labelRefusal->setVisible(!refusal.isEmpty());
    ui->comboBoxMeaning->addItem(QString());
    ui->comboBoxMeaning->addItem(QString());
    m_sign = ui->buttonBox->addButton(QString(), QDialogButtonBox::AcceptRole);
    m_unsigned = ui->buttonBox->addButton(QString(), QDialogButtonBox::RejectRole);
    m_sign->setDefault(true);
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Nothing to sign with until a password is typed; a key without one is not offered here.
    m_sign->setEnabled(false);
    connect(ui->lineEditPassword, &QLineEdit::textChanged, this,
        [this](const QString &text) { m_sign->setEnabled(!text.isEmpty()); });
    ui->lineEditPassword->setFocus();
    retranslate();
}

SignConfirmDialog::~SignConfirmDialog()
{
    // The typed password does not outlive the dialog in the line edit's buffer.
    ui->lineEditPassword->clear();
    delete ui;
}

bool SignConfirmDialog::reviewed() const
{
    return ui->comboBoxMeaning->currentIndex() == kReviewedRow;
}

QByteArray SignConfirmDialog::password() const
{
    return ui->lineEditPassword->text().toUtf8();
}

void SignConfirmDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        retranslate();
    }
    QDialog::changeEvent(event);
}

void SignConfirmDialog::retranslate()
{
    ui->comboBoxMeaning->setItemText(kApprovedRow, tr("批准"));
    ui->comboBoxMeaning->setItemText(kReviewedRow, tr("审核"));
    m_sign->setText(tr("签名"));
    m_unsigned->setText(m_atIssue ? tr("不签名签发") : tr("取消"));
}
