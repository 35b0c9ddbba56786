#include "amendcertificatedialog.h"

#include "ui_amendcertificatedialog.h"

#include <QEvent>

AmendCertificateDialog::AmendCertificateDialog(const QString &number, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::AmendCertificateDialog)
{
    ui->setupUi(this);
    ui->labelNumberValue->setText(number);
}

AmendCertificateDialog::~AmendCertificateDialog()
{
    delete ui;
}

void AmendCertificateDialog::setValue(Field field, const QString &value)
{
    edit(field)->setText(value);
}

QString AmendCertificateDialog::value(Field field) const
{
    const QString text = edit(field)->text().trimmed();
    // Codes are kept as ISO writes them, whichever case was typed.
    return field == Field::CustomerCountry || field == Field::LabCountry ? text.toUpper() : text;
}

void AmendCertificateDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QDialog::changeEvent(event);
}

QLineEdit *AmendCertificateDialog::edit(Field field) const
{
    switch (field) {
    case Field::Customer:
        break;
    case Field::CustomerAddress:
        return ui->lineEditCustomerAddress;
    case Field::CustomerCountry:
        return ui->lineEditCustomerCountry;
    case Field::Make:
        return ui->lineEditMake;
    case Field::Model:
        return ui->lineEditModel;
    case Field::Serial:
        return ui->lineEditSerial;
    case Field::LabName:
        return ui->lineEditLabName;
    case Field::LabAddress:
        return ui->lineEditLabAddress;
    case Field::LabCountry:
        return ui->lineEditLabCountry;
    }
    return ui->lineEditCustomer;
}
