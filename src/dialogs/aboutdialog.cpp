#include "aboutdialog.h"

#include "ui_aboutdialog.h"

#include <QCoreApplication>
#include <QGuiApplication>

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::AboutDialog)
{
    ui->setupUi(this);
    ui->label_version->setText(tr("版本 %1").arg(QCoreApplication::applicationVersion()));
    ui->label_appname->setText(QGuiApplication::applicationDisplayName());
    connect(ui->pushButton_close, &QPushButton::clicked, this, &QDialog::accept);
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint);
    setFixedSize(size());
}

AboutDialog::~AboutDialog()
{
    delete ui;
}
