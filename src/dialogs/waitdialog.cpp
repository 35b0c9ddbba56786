#include "waitdialog.h"

#include "ui_waitdialog.h"

#include <QCloseEvent>
#include <QKeyEvent>

WaitDialog::WaitDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::WaitDialog)
{
    ui->setupUi(this);
    // A customised title bar without buttons: the worker, not the operator, ends the wait.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint);
    setAutoFillBackground(true);
}

WaitDialog::~WaitDialog()
{
    delete ui;
}

void WaitDialog::accept()
{
    QDialog::accept();
}

void WaitDialog::Progress(int p)
{
    ui->progressBar->setValue(p);
}

void WaitDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void WaitDialog::closeEvent(QCloseEvent *event)
{
    // A window manager may still offer Alt+F4; closing early would return exec() while the worker still
    // uses the data it was given. accept() ends the dialog without a close event.
    event->ignore();
}
