#pragma once

#include <QByteArray>
#include <QDialog>

class QPushButton;

namespace Ui {
class SignConfirmDialog;
}

// Asks the signatory to sign one certificate: what the signature means (批准 or 审核) and the key's
// password. 签名 accepts; rejecting issues the certificate unsigned, or, for one issued already, leaves it
// unsigned. Hands back plain values; the caller clears the password once the key is open. Created on the
// stack, GUI thread only.
class SignConfirmDialog : public QDialog
{
    Q_OBJECT

public:
    // `refusal`, when not empty, says why the last answer signed nothing.
    // `atIssue`: the certificate is being issued, and is issued unsigned if the signatory declines.
    SignConfirmDialog(const QString &number, const QString &signatory, const QString &keyName,
        const QString &refusal, bool atIssue, QWidget *parent = nullptr);
    ~SignConfirmDialog() override;

    // Whether the signature means 审核 (reviewed) rather than 批准 (approved).
    bool reviewed() const;
    QByteArray password() const;

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();

    Ui::SignConfirmDialog *ui;
    QPushButton *m_sign = nullptr;
    QPushButton *m_unsigned = nullptr;
    bool m_atIssue;
};
