#pragma once

#include "settings/telemetrysettings.h"

#include <QDialog>

namespace Ui {
class TelemetryDialog;
}

// Edits where the station reports to and under which name; OK is taken only with a station name and
// topic prefix that are single topic levels and a CA file when TLS is on, else the reason is shown and
// the dialog stays. Created on the stack, run with exec(), GUI thread only.
class TelemetryDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TelemetryDialog(const TelemetryConfig &config, QWidget *parent = nullptr);
    ~TelemetryDialog() override;

    TelemetryConfig config() const;
    // Why the entries cannot be taken, in the operator's language; empty when they can.
    QString problem() const;

private:
    void tryAccept();
    void tlsToggled(bool on);
    void chooseCaFile();
    void showTls();

    Ui::TelemetryDialog *ui;
};
