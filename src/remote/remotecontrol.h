#pragma once

#include "remote/remotecommands.h"
#include "remote/scpiserver.h"
#include "settings/remotesettings.h"

#include <QObject>
#include <QPointer>

class MainWindow;
class QLabel;
class QMessageBox;

// The program as a SCPI instrument: serves the commands on the port the settings name, shows how many
// clients are connected in the window's status bar and offers the settings under 设置 → 远程控制.
// GUI thread only.
class RemoteControl : public QObject
{
    Q_OBJECT

public:
    // The window outlives the remote control.
    explicit RemoteControl(MainWindow *window);
    ~RemoteControl() override;

    // Serves, or stops serving, as `settings` say. A port that cannot be bound is told, naming the
    // port and the reason; the program goes on without the server.
    void apply(const RemoteSettings &settings);
    bool isServing() const { return m_server.isListening(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void editSettings();
    void showClients(int count);

    MainWindow *m_window;
    RemoteCommands m_commands;
    ScpiServer m_server;
    QPointer<QLabel> m_label; // the status bar's
    QPointer<QMessageBox> m_failure;
    RemoteSettings m_applied;
};
