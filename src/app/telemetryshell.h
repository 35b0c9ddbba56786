#pragma once

#include "telemetry/telemetrystation.h"

#include <QObject>
#include <QPointer>

class MainWindow;
class StatusPart;
class QMessageBox;

// Data reporting as the window shows it: the broker connection in the status bar, the settings under
// 设置 → 数据上报, and a connection that fails. GUI thread only.
class TelemetryShell : public QObject
{
    Q_OBJECT

public:
    // Both outlive the shell.
    TelemetryShell(TelemetryStation *telemetry, MainWindow *window);

    // Reports as the stored settings say; a value that cannot be used keeps reporting off, and is named.
    void start();
    void apply(const TelemetryConfig &config);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void editSettings();
    void showConnection();
    void showFailure(const QString &reason);

    TelemetryStation *m_telemetry;
    MainWindow *m_window;
    QPointer<StatusPart> m_label; // the status strip's
    QPointer<QMessageBox> m_failure;
};
