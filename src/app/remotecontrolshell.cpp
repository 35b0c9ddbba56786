#include "remotecontrolshell.h"

#include "app/controllerquestion.h"
#include "app/mainwindow.h"
#include "app/statusstrip.h"
#include "dialogs/remotecontroldialog.h"
#include "remote/remotecontrol.h"
#include "settings/settings.h"
#include "widgets/statuspart.h"

#include <QEvent>
#include <QMessageBox>

#include <cstdio>

RemoteControlShell::RemoteControlShell(RemoteControl *remote, MainWindow *window)
    : QObject(window)
    , m_remote(remote)
    , m_window(window)
    , m_label(new StatusPart(StatusStrip::RemoteControl))
{
    m_label->setObjectName(QStringLiteral("remoteControlLabel"));
    window->statusStrip()->addPart(m_label);
    m_label->installEventFilter(this);
    connect(remote, &RemoteControl::clientCountChanged, this, &RemoteControlShell::showClients);
    connect(remote, &RemoteControl::refusedCountChanged, this, &RemoteControlShell::showClients);
    connect(window, &MainWindow::remoteControlRequested, this, &RemoteControlShell::editSettings);
}

void RemoteControlShell::start()
{
    QStringList unusable;
    const RemoteSettings settings = readRemoteSettings(appSettings, &unusable);
    unusable += RemoteControl::unusable(settings);
    if (unusable.isEmpty() || !settings.enabled) {
        apply(settings);
        return;
    }
    std::fprintf(
        stderr, "Remote control: settings that cannot be used: %s\n", qPrintable(unusable.join(", ")));
    tell(tr("远程控制的设置无法使用：%1\n远程控制保持关闭，请在 设置 → 远程控制 中改正。")
             .arg(unusable.join(QStringLiteral("，"))));
}

void RemoteControlShell::apply(const RemoteSettings &settings)
{
    const bool applied = m_remote->apply(settings);
    // Told from the moment it listens, before any client comes.
    showClients();
    if (applied)
        return;
    std::fprintf(stderr, "Remote control: cannot serve on port %u: %s\n", unsigned(settings.port),
        qPrintable(m_remote->errorString()));
    tell(tr("远程控制无法使用 TCP 端口 %1：%2\n程序照常运行，但不提供远程控制。")
             .arg(settings.port)
             .arg(m_remote->errorString()));
}

void RemoteControlShell::tell(const QString &text)
{
    // Not modal: the program goes on, also at the start when nobody may be there.
    showInPassing(
        m_failure, new QMessageBox(QMessageBox::Warning, tr("错误"), text, QMessageBox::Ok, m_window));
}

void RemoteControlShell::editSettings()
{
    RemoteControlDialog dialog(readRemoteSettings(appSettings), m_window);
    for (;;) {
        if (dialog.exec() != QDialog::Accepted)
            return;
        const AllowList allow(dialog.settings().allow);
        if (allow.invalid().isEmpty())
            break;
        QMessageBox::warning(
            &dialog, tr("提示"), tr("这些地址无法识别：%1").arg(allow.invalid().join(QStringLiteral(", "))));
    }
    const RemoteSettings settings = dialog.settings();
    storeRemoteSettings(appSettings, settings);
    if (const SaveResult saved = appSettings.save(); !saved)
        QMessageBox::warning(m_window, tr("错误"), saved.message(appSettings.filePath()));
    apply(settings);
}

bool RemoteControlShell::eventFilter(QObject *watched, QEvent *event)
{
    // The type first: a label being destroyed still sends events, and is no QLabel any more.
    if (event->type() == QEvent::LanguageChange && watched == m_label)
        showClients();
    return QObject::eventFilter(watched, event);
}

void RemoteControlShell::showClients()
{
    if (!m_label)
        return;
    if (!m_remote->isServing()) {
        m_label->clearForms();
        return;
    }
    const int count = m_remote->clientCount();
    const int refused = m_remote->refusedCount();
    const QString port = QStringLiteral("SCPI :%1").arg(m_remote->port());
    m_label->setForms(refused > 0
            ? tr("远程控制：%1，%2 个客户端，已拒绝 %3 个").arg(port).arg(count).arg(refused)
            : tr("远程控制：%1，%2 个客户端").arg(port).arg(count),
        {QStringLiteral("%1 (%2)").arg(port).arg(count)});
}
