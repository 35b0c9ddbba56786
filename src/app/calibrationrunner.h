#pragma once

#include "app/blackbodylink.h"
#include "app/calibrationreportfiles.h"
#include "control/blackbodypoll.h"
#include "control/calibrationjournal.h"
#include "control/calibrationrun.h"
#include "control/calibrationsequencer.h"
#include "control/setpointconfirmation.h"
#include "control/stabilityjudge.h"
#include "widgets/elidedlabel.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class CalibrationRunDialog;
class QInputDialog;
class QMessageBox;
class ttwidget;

// What the report names besides the run itself, and what the run's set points must fit.
struct CalibrationRunSetup
{
    QString runFile; // empty for a run never saved
    bool runModified = false; // changed since it was opened from runFile or saved to it
    QString model;
    QString port;
    int wireScale = 100;
    int decimals = 2;
    double minimum = 0;
    double maximum = 0;
};

// Carries out a calibration run: feeds the sequencer and the run's own stability judge with what the
// blackbody link hears, and turns the sequencer's commands into set points for the link, chart marks, the
// question for the instrument's reading, a status-bar text and, at the end, the report files. The link's
// events reach it whether or not a run is on; they do nothing without one. Times come from the link's
// monotonic clock. GUI thread only.
class CalibrationRunner : public QObject
{
    Q_OBJECT

public:
    // The settings key of the folder reports go to.
    static const QString reportFolderKey;
    // The lab the certificates name, and the last certificate number given, which never repeats.
    static const QString labNameKey;
    static const QString labAddressKey;
    static const QString labPrefixKey;
    static const QString certificateCounterKey;

    // `chart` records the run, `link` carries its set points and readings, `window` parents the boxes.
    // All three outlive the runner.
    CalibrationRunner(ttwidget *chart, BlackbodyLink *link, QWidget *window);
    ~CalibrationRunner() override;

    bool isRunning() const { return m_run && m_run->isRunning(); }
    // The model the run's set points are meant for.
    const QString &runModel() const { return m_setup.model; }
    bool isPaused() const { return isRunning() && m_run->isPaused(); }

    // Checks that the link is open to a confirmed controller, the set points against its model and makes
    // sure of the report folder; then, if `mayDiscardCurve` agrees, starts a new recording and the run.
    // False when anything stood in the way; the operator has been told, in boxes over `askFrom` where the
    // link stood in the way.
    bool start(const CalibrationRun &run, const QString &runFile, bool runModified,
        const std::function<bool()> &mayDiscardCurve, QWidget *askFrom);

    // A run a remote client starts, with nobody at the window to answer: every question takes its safe
    // answer and no box waits. Empty when the run started, else why not, in the client's words.
    QString startUnattended(const CalibrationRun &run, const QString &runFile, bool curveUnsaved);
    // The remote client's pause (true) or resume; a controller that may be another one is taken for
    // another one. Empty when done, else why not.
    QString pauseOrResumeUnattended(bool pause);
    // The instrument's reading as if typed into the reading dialog, which closes. False when the run
    // waits for none.
    bool supplyReading(double celsius);
    // What the reading dialog takes, `decimals` being the places after the point as written.
    static bool acceptsReading(double celsius, int decimals);

    enum class RunState { Idle, Running, Paused, Reading, Done, Aborted };
    RunState runState() const;
    // Where the run is; a default Progress without a run.
    CalibrationSequencer::Progress runProgress() const;
    // The rows of the steps the run has ended so far; none without a run.
    QVector<CalibrationStepResult> stepResults() const
    {
        return m_run ? m_run->results() : QVector<CalibrationStepResult>();
    }

    void ambient(double celsius);
    // The dialog's pause/resume, skip and abort go to this runner.
    void takeOrdersFrom(const CalibrationRunDialog *dialog);
    // The operator's resume goes on only with a controller that reports what it held when the run
    // paused, the step's set point, or that the operator vouches for.
    void pauseOrResume();
    void skip();
    void abort();

    // The judge the status bar's stability text follows during a run.
    const StabilityJudge &judge() const { return m_run->judge(); }
    // Progress during a run; what happened at its end goes to finished().
    QLabel *statusLabel() { return &m_label; }
    // The report's CSV file of the last run, once written.
    QString lastReport() const { return m_lastReport; }
    // Offers to write the reports of runs whose journals have none yet, left by a crash or put off by
    // the operator; for the start of the program.
    void offerPendingReports();

signals:
    // The run started, paused, resumed or ended; a start and an end also start or stop the recording.
    void stateChanged();
    // What became of a run's report, for the operator to read in passing; `reportFile` is the report
    // written, empty when none was.
    void finished(const QString &text, const QString &reportFile);
    // The run's progress was shown anew: a reading, a tick or a step's end.
    void progressShown();
    // For those who follow runs from afar: a run began; a step ended, with its report row as the CSV
    // report has it (column, text); the run ended; its report files were written.
    void runStarted();
    void stepEnded(const QVector<QPair<QByteArray, QByteArray>> &row);
    void runEnded(bool aborted);
    void reportWritten(const QStringList &files);

private:
    // A reading from a controller known to be ours. One after a lost link or a silence lets the run
    // go on.
    void reading();
    // The run's own set points are shown in the status bar, not in a box.
    void setPointOutcome(bool confirmed, Requester requester);
    void tick();
    void linkLost();
    void closed(BlackbodyLink::CloseCause cause);
    // No valid reply for the stale time while the port stays open.
    void silent();
    // The controller answering may be another one, until the operator says it is ours.
    void controllerUnconfirmed();
    void identityQuestion();
    // The operator vouched for the controller, which holds `heldWire`.
    void controllerConfirmed(qint16 heldWire);
    qint64 now() const;
    // The run's line gives way to what became of its report.
    void announce(const QString &text);
    // Whether the chart can hold the run's least duration; if not, offers the smallest setting that
    // can. False when the operator cancels.
    bool chartHoldsRun(const CalibrationRun &run);
    // Starts the checked run; false, with `refusal` for a run nobody watches, when its journal cannot be
    // made and the operator, or the safe answer, says not to start.
    bool begin(const CalibrationRun &run, const CalibrationRunSetup &setup, QString *refusal);
    // Tells the operator without waiting for an answer when nobody may be there.
    void warn(const QString &title, const QString &text);
    void apply(const CalibrationSequencer::Commands &commands);
    // Asks the reading `command` names; a cancel offers to skip the reading or abort the run.
    void askReading(const CalibrationSequencer::Command &command);
    // The lab's name, address and certificate prefix, asked once like the report folder. False when the
    // operator cancels.
    bool labKnown();
    void finish(bool aborted);
    // Appends the rows the run ended since the last call to its journal.
    void journalRows();
    void writeReport(bool aborted);
    // Writes the report into the report folder, offering 重试, 另存到… and, when `mayWait` (its results
    // are in a journal), 稍后 while it fails. True once written.
    bool deliverReport(const CalibrationReportContent &content, bool mayWait);
    CalibrationReportContent recoveredContent(
        const QString &journal, const CalibrationJournal::Contents &contents) const;
    // Whether the curve beside the report holds the whole run, or from when it does.
    QString curveNote() const;
    // The stored report folder; asks for one when none is stored or it is gone. Empty when refused.
    QString reportFolder();
    void showProgress();
    // Beside the progress for a few seconds.
    void showNote(const QString &text);
    void resumeChecked();
    void dropQuestion();
    // The link went, fell silent or may answer from another controller: `event` tells the run.
    void interrupted(CalibrationSequencer::Commands (CalibrationSequencer::*event)(qint64));

    ttwidget *m_chart;
    BlackbodyLink *m_link;
    QWidget *m_window;
    std::unique_ptr<CalibrationSequencer> m_run;
    CalibrationJournal::Header m_header;
    CalibrationRunSetup m_setup;
    CalibrationJournal m_journal;
    int m_journaled = 0; // rows of m_run already in the journal
    int m_journaledOutages = 0;
    bool m_journalWhole = false; // every row so far, and the end, are in the journal
    int m_runSerial = 0; // tells a question's run from a later one
    int m_readingsAnswered = 0; // tells a reading's question from the next one
    QPointer<QMessageBox> m_question; // whether the controller is ours, at the operator's resume
    QPointer<QInputDialog> m_readingDialog;
    bool m_unattended = false; // the run was started remotely: no box may wait for an answer
    QString m_note; // the latest set-point outcome, shown for a few seconds
    qint64 m_noteUntil = 0;
    ElidedLabel m_label;
    QString m_lastReport;
    // The set point our controller reported while the run went on, and the one reported last by the
    // link as it is now; the latter is unknown while the link is down, silent or unconfirmed.
    std::optional<qint16> m_heldWire;
    std::optional<qint16> m_latestWire;
};
