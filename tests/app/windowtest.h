#pragma once

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <functional>

// The window's widget of that object name; a missing one ends the test run, since every later step
// would only fail less clearly.
template<typename T>
T *namedChild(const QObject *window, const char *name)
{
    T *widget = window->findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("no child %s", name);
    return widget;
}

// Deals with every modal window the program opens: message boxes are answered and remembered as
// "title|text", other dialogs are remembered by class and handed to onDialog (rejected when unset).
class ModalHandler : public QObject
{
public:
    ModalHandler()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || modal == m_handled)
                return;
            m_handled = modal;
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                boxes << box->windowTitle() + QLatin1Char('|') + box->text();
                box->done(QMessageBox::Ok);
                return;
            }
            dialogs << QString::fromLatin1(modal->metaObject()->className());
            auto *dialog = qobject_cast<QDialog *>(modal);
            if (onDialog)
                onDialog(dialog);
            else
                dialog->reject();
        });
        m_timer.start(20);
    }

    QStringList boxes;
    QStringList dialogs;
    std::function<void(QDialog *)> onDialog;

private:
    QTimer m_timer;
    QPointer<QWidget> m_handled;
};
