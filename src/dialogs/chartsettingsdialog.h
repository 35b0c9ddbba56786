#pragma once

#include <QDialog>

namespace Ui {
class ChartSettingsDialog;
}

// Chart capacity (thousands of samples) and record interval, with live estimates of how long a
// recording lasts and how much memory it takes, and the band and window of the stability indicator.
// OK stores them in appSettings and saves config.xml at once, telling the operator when that fails; the
// caller hands the values on either way.
// GUI thread only.
class ChartSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ChartSettingsDialog(QWidget *parent = nullptr);
    ~ChartSettingsDialog() override;

private slots:
    void on_buttonBox_accepted();
    void on_buttonBox_rejected();
    void on_spinBox_caches_valueChanged(int arg1);
    void on_comboBox_fps_currentIndexChanged(int index);

private:
    void updateLabels(bool openingStyle);

    Ui::ChartSettingsDialog *ui = nullptr;
};
