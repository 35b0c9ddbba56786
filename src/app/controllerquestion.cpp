#include "controllerquestion.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

QPointer<QMessageBox> askSameController(QWidget *window, const QString &model, const QString &held,
    const QString &reported, const std::function<void(bool same)> &answered)
{
    auto *box = new QMessageBox(QMessageBox::Warning,
        QCoreApplication::translate("ControllerQuestion", "提示"),
        QCoreApplication::translate("ControllerQuestion", "控制器的设定值从 %1 变为 %2。仍是同一台 %3 吗？")
            .arg(held, reported, model),
        QMessageBox::NoButton, window);
    QPushButton *same
        = box->addButton(QCoreApplication::translate("ControllerQuestion", "是，继续"), QMessageBox::YesRole);
    QPushButton *other = box->addButton(
        QCoreApplication::translate("ControllerQuestion", "否，关闭连接"), QMessageBox::NoRole);
    // Taking another controller for ours is the costly mistake, so a hurried Enter says no.
    box->setDefaultButton(other);
    box->setEscapeButton(other);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::finished, box,
        [box, same, answered](int) { answered(box->clickedButton() == same); });
    box->open();
    return box;
}

void withdrawQuestion(QPointer<QMessageBox> &box)
{
    if (!box)
        return;
    box->disconnect();
    box->deleteLater();
    box = nullptr;
}

void showInPassing(QPointer<QMessageBox> &shown, QMessageBox *box)
{
    if (shown)
        shown->close();
    box->setAttribute(Qt::WA_DeleteOnClose);
    shown = box;
    box->open();
}
