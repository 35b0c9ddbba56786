#include "telemetryshell.h"

#include "app/controllerquestion.h"
#include "app/mainwindow.h"
#include "app/statusstrip.h"
#include "dialogs/telemetrydialog.h"
#include "settings/settings.h"
#include "settings/telemetrysettings.h"
#include "widgets/statuspart.h"

#include <QEvent>
#include <QMessageBox>

#include <cstdio>

TelemetryShell::TelemetryShell(TelemetryStation *telemetry, MainWindow *window)
    : QObject(window)
    , m_telemetry(telemetry)
    , m_window(window)
    , m_label(new StatusPart(StatusStrip::Reporting))
{
    m_label->setObjectName(QStringLiteral("telemetryLabel"));
    window->statusStrip()->addPart(m_label);
    m_label->installEventFilter(this);
    connect(window, &MainWindow::telemetryRequested, this, &TelemetryShell::editSettings);
    connect(telemetry, &TelemetryStation::connectedChanged, this, &TelemetryShell::showConnection);
    connect(telemetry, &TelemetryStation::failed, this, &TelemetryShell::showFailure);
}

void TelemetryShell::start()
{
    QStringList unusable;
    const TelemetryConfig config = readTelemetrySettings(appSettings, &unusable);
    if (unusable.isEmpty() || config.host.isEmpty()) {
        apply(config);
        return;
    }
    std::fprintf(stderr, "Telemetry: settings that cannot be used: %s\n", qPrintable(unusable.join(", ")));
    // Not modal: the program goes on, also at the start when nobody may be there.
    showInPassing(m_failure,
        new QMessageBox(QMessageBox::Warning, tr("错误"),
            tr("数据上报的设置无法使用：%1\n数据上报保持关闭，请在 设置 → 数据上报 中改正。")
                .arg(unusable.join(QStringLiteral("，"))),
            QMessageBox::Ok, m_window));
}

void TelemetryShell::apply(const TelemetryConfig &config)
{
    m_telemetry->apply(config);
    showConnection();
}

void TelemetryShell::editSettings()
{
    TelemetryDialog dialog(readTelemetrySettings(appSettings), m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const TelemetryConfig config = dialog.config();
    storeTelemetrySettings(appSettings, config);
    if (const SaveResult saved = appSettings.save(); !saved)
        QMessageBox::warning(m_window, tr("错误"), saved.message(appSettings.filePath()));
    apply(config);
}

bool TelemetryShell::eventFilter(QObject *watched, QEvent *event)
{
    // The type first: a label being destroyed still sends events, and is no QLabel any more.
    if (event->type() == QEvent::LanguageChange && watched == m_label)
        showConnection();
    return QObject::eventFilter(watched, event);
}

void TelemetryShell::showConnection()
{
    if (!m_label)
        return;
    if (!m_telemetry->isRunning())
        m_label->clearForms();
    else if (m_telemetry->isConnected())
        m_label->setForms(tr("上报：已连接"), {tr("上报 ✓")});
    else
        m_label->setForms(tr("上报：未连接（重试中）"), {tr("上报 ✗")});
}

void TelemetryShell::showFailure(const QString &reason)
{
    std::fprintf(stderr, "Telemetry: %s\n", qPrintable(reason));
    // The reason names the broker and what failed.
    const QString text = tr("数据上报失败：%1\n程序照常运行，并在后台继续尝试连接。").arg(reason);
    // Not modal, and one box at a time: the publisher tells each reason once, not each retry.
    showInPassing(
        m_failure, new QMessageBox(QMessageBox::Warning, tr("错误"), text, QMessageBox::Ok, m_window));
}
