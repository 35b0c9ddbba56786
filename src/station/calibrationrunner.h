#pragma once

#include "control/blackbodypoll.h"
#include "control/calibrationjournal.h"
#include "control/calibrationrun.h"
#include "control/calibrationsequencer.h"
#include "control/calibrationstart.h"
#include "control/stabilityjudge.h"
#include "control/stepevaluation.h"
#include "station/blackbodylink.h"
#include "station/runrecord.h"
#include "station/runstart.h"

#include <QObject>
#include <QPair>
#include <QPointer>

#include <memory>
#include <optional>

class Asker;
class AuditRecorder;
class CalibrationReporter;
class CurveRecorder;
class QTimer;
class UutLink;
struct UutReading;

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
    QString instrumentName; // the driver's, for a run that reads the instrument
};

// Carries out a calibration run: feeds the sequencer and the run's own stability judge with what the
// blackbody link hears, and turns the sequencer's commands into set points for the link, marks on the
// recording, the question for the instrument's reading and, at the end, the report. The link's events
// reach it whether or not a run is on; they do nothing without one. Questions go to the Asker of the door
// that started the run, which the runner holds until the run ends. Times come from the link's monotonic
// clock. GUI thread only.
class CalibrationRunner : public QObject
{
    Q_OBJECT

public:
    using StartResult = RunStartResult;

    enum class RunState { Idle, Running, Paused, Reading, Done, Aborted };
    // Something worth a few seconds beside the run's progress.
    enum class Note { SetPointConfirmed, SetPointNotConfirmed, DwellRestarted, ReadingsRestarted };
    // Which reading a question is about: answers to an older one are dropped.
    struct ReadingQuestion
    {
        int run = 0;
        int answered = 0;
    };

    // All three outlive the runner.
    CalibrationRunner(BlackbodyLink *link, CurveRecorder *recorder, CalibrationReporter *reporter,
        QObject *parent = nullptr);
    ~CalibrationRunner() override;
    // The instrument under test's link, for runs that take their readings from it; outlives the runner.
    void setInstrumentLink(UutLink *link);
    // Where the run's acts, its set points and the readings it takes are recorded; outlives the runner.
    void setAudit(AuditRecorder *audit) { m_audit = audit; }
    // Whether the run under way takes its readings from the instrument.
    bool readsInstrument() const { return isRunning() && m_run->readsInstrument(); }
    // Why the instrument gave no reading, while that holds the run, with its reply when `withReply`;
    // empty otherwise. The status bar has room for the reason alone.
    QString instrumentFault(bool withReply = true) const;

    bool isRunning() const { return m_run && m_run->isRunning(); }
    bool isPaused() const { return isRunning() && m_run->isPaused(); }
    RunPhase phase() const;
    // The model the run's set points are meant for.
    const QString &runModel() const { return m_setup.model; }

    // The facts a start is judged by, as they are now. The instrument's part is left out (NotUsed): it is
    // learnt by talking to the instrument, which start() does only once nothing else stands in the way.
    CalibrationStart::Situation startSituation(const CalibrationRun &run, const LinkSituation &link) const;
    // Judges the start, asks `asker` to clear what it can and starts a new recording and the run. `asker`
    // outlives the run.
    StartResult start(const CalibrationRun &run, const QString &runFile, bool runModified,
        const LinkSituation &link, Asker *asker);

    void pause();
    // Goes on with a controller known to be ours; one that holds neither what it held when the run
    // paused nor the step's set point is asked about, and taken for another one by a door nobody watches.
    // Resumed after the question when asked.
    CalibrationStart::Resume resume();
    void skip();
    void abort();
    // Stops the run without ending it, for a program that is told to quit: its journal stays without an
    // end and its curve waits beside it, so that the next start offers its report.
    void leave();
    // The operator's ambient for the step under way and later ones, used without a thermometer.
    void setTypedAmbient(double celsius);
    // The thermometer's reading.
    void ambient(double celsius);

    // The reading the run waits for now, to answer later.
    ReadingQuestion readingQuestion() const { return {m_runSerial, m_readingsAnswered}; }
    // Answered meanwhile, or the run ended or moved on.
    bool isMoot(const ReadingQuestion &question) const;
    // The instrument's reading as a remote client supplies it; false when the run waits for none, or
    // takes its readings from the instrument.
    bool supplyReading(double celsius);
    bool answerReading(const ReadingQuestion &question, double celsius);
    bool skipReading(const ReadingQuestion &question);
    // What the reading dialog takes, `decimals` being the places after the point as written.
    static bool acceptsReading(double celsius, int decimals);

    RunState runState() const;
    // Where the run is; a default Progress without a run.
    CalibrationSequencer::Progress runProgress() const;
    // The rows of the steps the run has ended so far; none without a run.
    QVector<CalibrationStepResult> stepResults() const
    {
        return m_run ? m_run->results() : QVector<CalibrationStepResult>();
    }
    // The report's evaluation of each of stepResults(), in their order: what the window shows of a step
    // is what the certificate states.
    QVector<StepEvaluation> stepEvaluations() const;
    // The run's overall result as its report states it, so far; the last run's after it ended.
    enum class Overall { NoTolerance, Incomplete, Pass, Fail };
    Overall overall() const;
    // Whether the run goes as a test report: it took no certificate number.
    bool isTestReport() const { return m_run && m_record.header().certificateNumber.isEmpty(); }

    // The judge whose stability counts during a run.
    const StabilityJudge &judge() const { return m_run->judge(); }
    qint64 now() const;

signals:
    // The run started, paused, resumed or ended; a start and an end also start or stop the recording.
    void stateChanged();
    // The run's progress changed: a reading, a tick, a step's end.
    void progressShown();
    void note(CalibrationRunner::Note note);
    // The run's judge changed its mind.
    void judgeChanged();
    // The step's set point went unconfirmed kSetPointTries times in a row; the run paused.
    void setPointRefusedTooOften(int step, double setPoint);
    // The journal stopped taking rows: a crash now would lose them.
    void journalFailed(const QString &error);
    // For those who follow runs from afar: a run began; a step ended, with its report row as the CSV
    // report has it (column, text); the run ended.
    void runStarted();
    void stepEnded(const QVector<QPair<QByteArray, QByteArray>> &row);
    void runEnded(bool aborted);

private:
    void reading();
    void setPointOutcome(const SetPointRequest &request, SetPointOutcome outcome);
    void tick();
    void closed(BlackbodyLink::CloseCause cause);
    void identityQuestion();
    // The operator vouched for the controller, which holds `heldWire`.
    void controllerConfirmed(qint16 heldWire);
    // Clears the obstacles `asker` can clear, in order; false when one stays.
    // A test report (`testReport`) takes no certificate number.
    StartResult begin(
        const CalibrationRun &run, const CalibrationRunSetup &setup, Asker *asker, bool testReport);
    void apply(const CalibrationSequencer::Commands &commands);
    void applyCommands(const CalibrationSequencer::Commands &commands);
    void applyJudged(const CalibrationSequencer::Commands &commands, StabilityJudge::State before);
    void finish(bool aborted);
    // Appends the rows the run ended since the last call to its journal.
    void journalRows();
    // The link went, fell silent or may answer from another controller: `event` tells the run.
    void interrupted(CalibrationSequencer::Commands (CalibrationSequencer::*event)(qint64));
    void takeController();
    // Opens the instrument's link as `run` says and sets and reads back its emissivity, waiting (within
    // bounds) in a local event loop; fills the instrument's part of `situation`. `instrumentName` gets the
    // driver's name.
    void prepareInstrument(
        const CalibrationRun &run, CalibrationStart::Situation *situation, QString *instrumentName);
    // One exchange with the instrument, waited for; Lost when nothing came within `ms`.
    UutReading exchange(int token, int ms);
    void instrumentAnswered(int token, const UutReading &reading);
    bool answer(const ReadingQuestion &question, double celsius, TakenReading::Source source);
    // Sets the timer for the instrument's next reading.
    void scheduleReading();

    BlackbodyLink *m_link;
    UutLink *m_instrument = nullptr;
    int m_readingToken = 0; // the TakeReading request the run waits for
    bool m_preparing = false; // start() is talking to the instrument
    QTimer *m_readingTimer = nullptr;
    CurveRecorder *m_recorder;
    CalibrationReporter *m_reporter;
    AuditRecorder *m_audit = nullptr;
    Asker *m_asker = nullptr; // the starting door's, for the run's questions
    std::unique_ptr<CalibrationSequencer> m_run;
    CalibrationRunSetup m_setup;
    RunRecord m_record;
    int m_runSerial = 0; // tells a question's run from a later one
    int m_readingsAnswered = 0; // tells a reading's question from the next one
    bool m_asking = false; // a same-controller question of ours is open
    // The set point our controller reported while the run went on, and the one reported last by the
    // link as it is now; the latter is unknown while the link is down, silent or unconfirmed.
    std::optional<qint16> m_heldWire;
    std::optional<qint16> m_latestWire;
};
