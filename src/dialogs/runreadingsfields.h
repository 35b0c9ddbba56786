#pragma once

#include "control/calibrationrun.h"

#include <QObject>

namespace Ui {
class CalibrationRunDialog;
}

// The run dialog's row about the instrument's readings: typed, or taken through a driver file (one of
// those in the driver folders) on a port at an interval, each written back into the run as it is edited;
// 读取一次 asks the window for one reading through the chosen driver and port. Owned by the dialog, whose
// form and run it shares; GUI thread.
class RunReadingsFields : public QObject
{
    Q_OBJECT

public:
    // `ui` and `run` are the dialog's and outlive this; `drivers` are the driver files' names offered.
    RunReadingsFields(Ui::CalibrationRunDialog *ui, CalibrationRun *run, const QStringList &drivers,
        QObject *parent = nullptr);

    // Shows the run as it now is.
    void show();
    void setEditable(bool editable);
    // The list's words, which the form does not hold.
    void retranslate();
    // What one reading brought: the raw reply and the value, or why there is none.
    void showReadOnce(const QString &text);

signals:
    void readOnceRequested(const QString &driver, const QString &port);

private:
    void enableDriverFields();

    Ui::CalibrationRunDialog *ui;
    CalibrationRun *m_run;
    bool m_showing = false; // the widgets are being filled from the run, not edited
    bool m_editable = true;
};
