#include "manualdialog.h"

#include "ui_manualdialog.h"

#include <QEvent>

ManualDialog::ManualDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ManualDialog)
{
    ui->setupUi(this);
    connect(ui->pushButtonClose, &QPushButton::clicked, this, &QDialog::close);
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint);
}

ManualDialog::~ManualDialog()
{
    delete ui;
}

void ManualDialog::showPage(const QUrl &page)
{
    if (ui->textBrowserManual->source() != page)
        ui->textBrowserManual->setSource(page);
}

QUrl ManualDialog::page() const
{
    return ui->textBrowserManual->source();
}

void ManualDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QDialog::changeEvent(event);
}
