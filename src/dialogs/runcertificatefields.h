#pragma once

#include "control/calibrationrun.h"

#include <QObject>

#include <functional>

namespace Ui {
class CalibrationRunDialog;
}
class QTableWidgetItem;

// The run dialog's 证书 page: every run-file field a certificate needs beside the steps (the item, the
// source and its certificate, the tolerance and decision rule, the readings per step, the budget), each
// written back into the run as it is edited. Owned by the dialog, whose form and run it shares; GUI thread.
class RunCertificateFields : public QObject
{
    Q_OBJECT

public:
    // `ui` and `run` are the dialog's and outlive this.
    RunCertificateFields(Ui::CalibrationRunDialog *ui, CalibrationRun *run, QObject *parent = nullptr);

    // Shows the run as it now is.
    void show();
    // Locks the page while a run goes.
    void setEditable(bool editable);
    // Texts not in the form: the lists' words and the tables' column names.
    void retranslate();

private:
    // `field` is one of the run's, whose address stays while the dialog lives.
    void bindText(class QLineEdit *edit, QString *field);
    void bindNumber(class QDoubleSpinBox *box, double minimum, double maximum, int decimals, double *field);
    void showTables();
    void uncertaintyEdited(QTableWidgetItem *item);
    void budgetEdited(QTableWidgetItem *item);

    Ui::CalibrationRunDialog *ui;
    CalibrationRun *m_run;
    QVector<std::function<void()>> m_shows; // one per field: the run's value into its widget
    bool m_showing = false; // the widgets are being filled from the run, not edited
};
