#include "aboutdialog.h"

#include "ui_aboutdialog.h"

#include <QGuiApplication>

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::AboutDialog)
{
    ui->setupUi(this);
    ui->label_version->setText(QString());
    ui->label_appname->setText(QGuiApplication::applicationDisplayName());
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint);
    setFixedSize(size());
}

AboutDialog::~AboutDialog()
{
    delete ui;
}
