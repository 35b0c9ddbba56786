#pragma once

#include "remote/remotecontrol.h"

#include <QObject>
#include <QPointer>

class MainWindow;
class StatusPart;
class QMessageBox;

// The remote control as the window shows it: how many clients are connected in the status bar, the
// settings under 设置 → 远程控制, and a port that cannot be bound. GUI thread only.
class RemoteControlShell : public QObject
{
    Q_OBJECT

public:
    // Both outlive the shell.
    RemoteControlShell(RemoteControl *remote, MainWindow *window);

    // Serves as the stored settings say; a value that cannot be used keeps the server off, and is named.
    void start();
    // Serves as `settings` say; a port that cannot be bound is told, naming the port and the reason.
    void apply(const RemoteSettings &settings);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void editSettings();
    void showClients();
    // Told in passing, and on standard error: the program goes on without the server.
    void tell(const QString &text);

    RemoteControl *m_remote;
    MainWindow *m_window;
    QPointer<StatusPart> m_label; // the status strip's
    QPointer<QMessageBox> m_failure;
};
