#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

namespace Ui {
class AmendCertificateDialog;
}

// Edits what an amendment may correct on an issued certificate: the customer, the item's make, model
// and serial, the lab's name and address. Shows no measured value, so none can be changed. Hands back
// plain values. Created on the stack, run with exec(), GUI thread only.
class AmendCertificateDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Field {
        Customer,
        CustomerAddress,
        CustomerCountry,
        Make,
        Model,
        Serial,
        LabName,
        LabAddress,
        LabCountry
    };

    explicit AmendCertificateDialog(const QString &number, QWidget *parent = nullptr);
    ~AmendCertificateDialog() override;

    void setValue(Field field, const QString &value);
    QString value(Field field) const;

protected:
    void changeEvent(QEvent *event) override;

private:
    QLineEdit *edit(Field field) const;

    Ui::AmendCertificateDialog *ui;
};
