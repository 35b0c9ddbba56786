#pragma once

#include <QPointer>
#include <QString>

#include <functional>

class QMessageBox;
class QWidget;

// Asks the operator whether the controller now answering is still the one the link was opened to,
// naming the model and the set point it held and reports now (texts as the model shows them).
// Window-modal and non-blocking, so polling goes on behind it. `answered` hears true only for 是;
// 否, Escape and closing the box say no. A question found moot is withdrawn with withdrawQuestion().
QPointer<QMessageBox> askSameController(QWidget *window, const QString &model, const QString &held,
    const QString &reported, const std::function<void(bool same)> &answered);
// Takes an open question away unanswered, so that no answer is heard; `box` is null afterwards.
void withdrawQuestion(QPointer<QMessageBox> &box);
// Opens `box` without waiting on it, in place of the one `shown` held: for outcomes of remote requests,
// which nobody has to dismiss for the client to go on. The box deletes itself when closed.
void showInPassing(QPointer<QMessageBox> &shown, QMessageBox *box);
