#pragma once

#include "settings/signingsettings.h"

#include <QDialog>

class QLineEdit;

namespace Ui {
class SigningSettingsDialog;
}

// Edits where the key that signs certificates is kept: none, PEM key and certificate, or PKCS#12. OK is
// taken only when the chosen kind's files exist, else the reason is shown and the dialog stays. No
// password is asked here. Created on the stack, run with exec(), GUI thread only.
class SigningSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SigningSettingsDialog(const SigningSettings &settings, QWidget *parent = nullptr);
    ~SigningSettingsDialog() override;

    SigningSettings settings() const;
    // Why the entries cannot be taken, in the operator's language; empty when they can.
    QString problem() const;

protected:
    void changeEvent(QEvent *event) override;

private:
    void tryAccept();
    void showKind();
    void retranslateKinds();
    void choose(QLineEdit *edit, const QString &title, const QString &filter);

    Ui::SigningSettingsDialog *ui;
};
