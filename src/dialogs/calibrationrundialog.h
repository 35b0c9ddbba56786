#pragma once

#include "control/calibrationrun.h"
#include "control/calibrationsequencer.h"
#include "control/stepevaluation.h"

#include <QDialog>
#include <QPointer>

namespace Ui {
class CalibrationRunDialog;
}
class QDoubleSpinBox;
class RunCertificateFields;
class RunReadingsFields;

// Edits a calibration run (its report header and its steps), opens and saves it as a `.bbrun` file and
// offers the run's controls. It hands plain values to the window, which starts and steers the run and
// tells the dialog what the run is doing; while a run goes the table shows each step's status and
// results instead. The table is a view of run(): it is rebuilt from it after
// every change of rows, and each cell writes its value back. Modeless, GUI thread only.
class CalibrationRunDialog : public QDialog
{
    Q_OBJECT

public:
    // `drivers`: the instrument driver files' names offered for readings taken from the instrument.
    explicit CalibrationRunDialog(QWidget *parent = nullptr, const QStringList &drivers = {});
    ~CalibrationRunDialog() override;

    // Shows the run in `fileName`; a file that cannot be read, or a run outside the model's range, is
    // refused with a box naming the line, or the step and field.
    bool openRunFile(const QString &fileName);

    CalibrationRun run() const { return m_run; }
    void setRun(const CalibrationRun &run);
    // The file the run was last opened from or saved to; empty for a run never saved.
    QString runFile() const { return m_runFile; }
    // Whether the run differs from what that file holds; always for a run never saved.
    bool runModified() const { return m_runFile.isEmpty() || m_run != m_fileRun; }
    // Set points offered in the table: the open model's range. Values outside it are kept, not clamped,
    // so that a change of model never alters a run behind the operator's back; starting checks them.
    void setSetPointRange(double minimum, double maximum, int decimals);
    // While a run goes the table is read-only.
    void showRunState(bool running, bool paused);
    // The dialog, when open, stays above `window`, also while a question of its own is open and after it:
    // the window manager raised the window over it when a question closed. Before the dialog is shown.
    void keepAbove(QWidget *window);
    // The current step highlighted, and each step's status and results as far as they have come, with
    // the station's evaluation of each result (`evaluations` in the order of `results`).
    void showRunProgress(const CalibrationSequencer::Progress &progress,
        const QVector<CalibrationStepResult> &results, const QVector<StepEvaluation> &evaluations);
    // The texts of a step's status and result columns.
    static QString statusText(int row, const CalibrationSequencer::Progress &progress,
        const QVector<CalibrationStepResult> &results);
    static QString resultText(int row, const QVector<CalibrationStepResult> &results, int decimals);
    // The error, U and verdict columns of a step: empty until its evaluation has them.
    static QStringList evaluationTexts(
        int row, const QVector<CalibrationStepResult> &results, const QVector<StepEvaluation> &evaluations);

    // Asks whether to abort the run under way; true for 中止校准. A run of hours must not end on one stray
    // click.
    static bool confirmAbort(QWidget *parent);
    // What 读取一次 brought, for the operator: the raw reply and the value, or why there is none.
    void showReadOnce(const QString &text);

    // Settings keys of the instrument and operator a new run starts with.
    static const QString instrumentKey;
    static const QString operatorKey;

signals:
    void startRequested(const CalibrationRun &run, const QString &runFile);
    // Pauses a running run, resumes a paused one.
    void pauseRequested();
    void skipRequested();
    void abortRequested();
    // The ambient typed in, also while a run goes on: it applies from the step under way.
    void ambientChanged(double celsius);
    // 读取一次: one reading through `driver` (a file name or path) on `port`, answered by showReadOnce().
    void readOnceRequested(const QString &driver, const QString &port);

protected:
    void changeEvent(QEvent *event) override;

private slots:
    void on_pushButton_addStep_clicked();
    void on_pushButton_removeStep_clicked();
    void on_pushButton_moveUp_clicked();
    void on_pushButton_moveDown_clicked();
    void on_pushButton_openRun_clicked();
    void on_pushButton_saveRun_clicked();
    void on_pushButton_startRun_clicked();

private:
    void showSteps(int selectedRow);
    void moveStep(int offset);
    int selectedRow() const;
    QDoubleSpinBox *cellSpinBox(
        int row, double minimum, double maximum, int decimals, double value, double CalibrationStep::*field);
    void showRunButtons();
    void showStepsReadOnly();
    void askToAbort();
    void retranslateResultHeaders();

    Ui::CalibrationRunDialog *ui = nullptr;
    CalibrationRun m_run;
    RunCertificateFields *m_certificate = nullptr; // the 证书 page, a child
    RunReadingsFields *m_readings = nullptr; // the readings' row, a child

    QString m_runFile;
    CalibrationRun m_fileRun; // as m_runFile holds it
    double m_minimum = 0;
    double m_maximum = 100;
    int m_decimals = 2;
    bool m_outcomeShown = false; // the last run's outcome stays in the table until its steps are edited
    bool m_running = false;
    bool m_paused = false;
    int m_currentStep = -1; // highlighted while a run goes
};
