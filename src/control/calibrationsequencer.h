#pragma once

#include "control/calibrationrun.h"
#include "control/dwellstatistics.h"
#include "control/stabilityjudge.h"
#include "control/takenreading.h"

#include <QVector>
#include <QtGlobal>

#include <optional>

// What became of one step of a run, for its report row.
struct CalibrationStepResult
{
    enum class Outcome {
        Done,
        Skipped, // nothing but the step and its set point is known
        Aborted, // the step that was running when the run was aborted; what it measured so far
        NotReached, // the run ended before the step began
    };

    int step = 0; // 0-based
    double setPoint = 0; // as sent: in the model's wire units, so with its decimals
    Outcome outcome = Outcome::Done;
    bool stable = false; // stability was declared; stableAtMs, settleMs and dwell belong to it
    qint64 stableAtMs = 0; // on the sequencer's monotonic clock
    qint64 settleMs = 0; // from the step's first set-point confirmation to stableAtMs
    DwellStatistics dwell; // the final, uninterrupted dwell
    QVector<double> readings; // the instrument under test's, as entered or taken
    QVector<TakenReading> taken; // each of `readings` in order, with what came instead of one between them
    int readingsSkipped = 0; // asked for, and not given
    double ambientC = qQNaN(); // the ambient the operator gave, for a step without a thermometer

    // Ran to its end, but every reading asked for was skipped: nothing to compare.
    bool readingSkipped() const
    {
        return outcome == Outcome::Done && readings.isEmpty() && readingsSkipped > 0;
    }
};

// A time the controller could not be heard: the link was lost or the controller fell silent.
struct CalibrationOutage
{
    qint64 startMs = 0; // on the sequencer's monotonic clock
    qint64 lengthMs = 0;

    bool operator==(const CalibrationOutage &other) const
    {
        return startMs == other.startMs && lengthMs == other.lengthMs;
    }
};

// The steps of a calibration run as a state machine with no widgets, ports or clocks of its own. The
// window feeds it events, the timed ones with monotonic milliseconds that never decrease, and carries out
// the commands each event returns, in their order. For each reading it first feeds the judge, reports a
// change of the judge's mind with stability(), then passes the reading. GUI thread only.
//
// A step sends its set point and waits for the confirmation (kSetPointTries tries, then the run pauses),
// then waits until the window's stability judge, started by StartJudge, declares it stable while the
// read-back set point equals the step's. It then dwells, collecting every reading that passed its check
// and the ambient readings; instability or a changed read-back set point during the dwell sends it back
// to settling. A dwell ends complete only when it holds at least 90 % of the readings its poll ticks
// could give; otherwise it starts over. After the dwell it asks for the instrument's reading, when the
// step wants one, each of its readings in turn. Set points are compared and reported as they travel: in the
// model's wire units.
//
// A pause (the operator's, a lost link, a silent or unconfirmed controller, a set point refused too
// often) stops the dwell clock and takes no readings; the run goes on once every reason is gone, and a
// step due meanwhile waits for that. A resumed step sends its set point again, waits for its
// confirmation and settles again, since the source may have drifted meanwhile; after nothing but a
// silence the controller still holds the set point, so the step only waits for stability again. Only a
// step already waiting for the reading keeps its dwell, and its question stays open throughout
// (AskReading is issued once per step and answered whenever the operator answers).
// Skipping ends the current step, in any phase, with an empty row.
//
// A run that takes its readings from the instrument (takeReadingsFromInstrument()) keeps its judge after
// the dwell and asks the instrument (TakeReading) for each reading at the interval, one request at a time.
// If the source leaves its band meanwhile, the readings taken so far are dropped (ReadingsRestarted) and
// taken again once it is stable; a changed read-back set point sends the step back to settling. An answer
// that is no reading and pauses the run (an error pattern, a timeout, a lost instrument) is kept in the
// step's row and pauses it (InstrumentFault) with the AskReading question open: a typed reading, or a
// resume, goes on; one that does not pause is kept and the reading asked again at the next interval.
class CalibrationSequencer
{
public:
    static constexpr int kSetPointTries = 3; // the first try and two retries

    enum class Phase { Idle, Setting, Settling, Dwelling, WaitingForReading, Finished, Aborted };

    enum PauseReason {
        NoPause = 0,
        OperatorPause = 1,
        LinkLost = 2,
        SetPointRefused = 4, // the step's set point was refused kSetPointTries times in a row
        NoAnswer = 8, // the port is open, but no valid reply came for the stale time
        ControllerUnconfirmed = 16, // the controller may not be the one the run set; only resume() clears it
        InstrumentFault = 32, // the instrument under test gave no reading; resume() or a typed one clears it
    };

    struct Command
    {
        enum class Kind {
            MarkStepStart, // on the chart
            SendSetPoint, // by the confirmation rule; answer with confirmation()
            StartJudge, // a fresh judge: band and windowMs around setPoint; answer with stability()
            StopJudge,
            DwellRestarted, // the dwell ended with too few readings and starts over
            AskReading, // reading `reading` of `readings`; answer with readingEntered() or readingSkipped()
            MarkStepEnd,
            Paused, // `reason` says why the run stopped
            Resumed,
            Finished, // the run is over; results() holds its rows
            Aborted, // likewise
            TakeReading, // ask the instrument for reading `reading` of `readings`; answer with
                         // instrumentAnswer()
            ReadingsRestarted, // the source left its band while the instrument's readings were taken
        };

        Kind kind = Kind::Finished;
        int step = -1; // 0-based
        double setPoint = 0; // the step's, as sent
        qint16 wire = 0; // the same in the model's wire units
        double band = 0;
        qint64 windowMs = 0;
        PauseReason reason = NoPause;
        int reading = 0; // 0-based
        int readings = 1;
    };
    using Commands = QVector<Command>;

    struct Progress
    {
        Phase phase = Phase::Idle; // while paused, the phase the pause interrupted
        int pauseReasons = NoPause; // PauseReason flags; the run is paused when any is set
        int step = 0; // 0-based
        int stepCount = 0;
        qint64 dwellLeftMs = 0; // while dwelling
        // To the end of the run, taking each step that is not yet stable as stable one window after its
        // confirmation, or after now when not confirmed yet; the operator's answers take no time.
        qint64 remainingMs = 0;
        int readingsTaken = 0; // in the step's dwell so far
        int readingsNeeded = 0; // for the step's dwell to count
        int instrumentTaken = 0; // while waiting for the instrument's readings: answered (or skipped) so far
        int instrumentNeeded = 0; // and asked for at this step
    };

    // `wireScale` is the open model's, for sending and comparing set points as the controller holds them.
    // `readingsPerStep` readings of the instrument are asked at each step that wants them.
    CalibrationSequencer(const QVector<CalibrationStep> &steps, int wireScale, int readingsPerStep = 1);

    // The instrument's readings come from the instrument itself, `intervalMs` apart. Before start().
    void takeReadingsFromInstrument(qint64 intervalMs);
    bool readsInstrument() const { return m_intervalMs > 0; }

    // Readings a dwell of `dwellMs` must hold to count: 90 % of the poll ticks in it, rounded up.
    static int readingsNeeded(qint64 dwellMs);

    Commands start();
    // Lets a dwell end on time between readings.
    Commands tick(qint64 now);
    // A reading as the controller reported it and the set point it reported with it, in wire units.
    Commands reading(qint64 now, double celsius, qint16 setWire);
    // The same, judged first by the run's own stability judge, which StartJudge starts with the step's
    // band and window; `accepted` is false for a reading the link's jump filter held back.
    Commands judgedReading(qint64 now, double celsius, qint16 setWire, bool accepted);
    // The thermometer's reading, while its link is open.
    Commands ambient(qint64 now, double celsius);
    // The outcome of the newest SendSetPoint.
    Commands confirmation(qint64 now, bool confirmed);
    // The judge started by the newest StartJudge changed its mind; feed it each reading first.
    Commands stability(qint64 now, bool stable);
    Commands linkLost(qint64 now);
    Commands linkBack(qint64 now);
    // The controller stopped answering on an open port, and answers again.
    Commands silent(qint64 now);
    Commands answering(qint64 now);
    // The ambient the operator gives, for the step under way and later ones, used without a thermometer.
    void setAmbient(double celsius) { m_typedAmbient = celsius; }
    // The controller on the line may be another one; the run goes on only once the operator says it is
    // the same (controllerConfirmed()) or resumes the run.
    Commands controllerUnconfirmed(qint64 now);
    Commands controllerConfirmed();
    Commands pause(qint64 now);
    // The operator's resume: clears the operator's pause, a refused set point's and an unconfirmed
    // controller's; a lost link or a silent controller still holds the run.
    // `now` places the instrument's next reading; unknown (-1) takes it at once.
    Commands resume(qint64 now = -1);
    Commands skip(qint64 now);
    Commands abort(qint64 now);
    // The operator's (or a script's) reading; `as` tells its source and time. A run that reads the
    // instrument takes one only while an InstrumentFault holds it.
    Commands readingEntered(qint64 now, double celsius, const TakenReading &as = {});
    Commands readingSkipped(qint64 now);
    bool acceptsTypedReading() const;
    // The answer to the newest TakeReading; `pausesRun` for a fault that must stop the run.
    Commands instrumentAnswer(qint64 now, const TakenReading &answer, bool pausesRun);
    // The newest fault that paused the run.
    const TakenReading &lastFault() const { return m_lastFault; }
    // When the next TakeReading is due, while the run waits for the instrument's readings; -1 otherwise.
    qint64 nextReadingDue() const;

    Phase phase() const { return m_phase; }
    bool isPaused() const { return m_pause != NoPause; }
    bool isRunning() const { return m_phase != Phase::Idle && !isOver(); }
    bool isOver() const { return m_phase == Phase::Finished || m_phase == Phase::Aborted; }
    Progress progress(qint64 now) const;
    // The run's stability judge, which the status bar follows during a run.
    const StabilityJudge &judge() const { return m_judge; }
    // One row per step that ended, in order; an aborted run has a row for every step.
    const QVector<CalibrationStepResult> &results() const { return m_results; }
    // Every time the controller could not be heard, in order; one still going is not among them.
    const QVector<CalibrationOutage> &outages() const { return m_outages; }
    // The step's set point as sent, in wire units.
    qint16 wire(int step) const { return m_wires.at(step); }
    // The same in degrees: what the model's decimals can carry.
    double sentSetPoint(int step) const { return double(m_wires.at(step)) / m_wireScale; }

private:
    const CalibrationStep &current() const { return m_steps.at(m_index); }
    qint64 windowMs(int step) const;
    qint64 dwellMs(int step) const;
    bool judging() const
    {
        return m_phase == Phase::Settling || m_phase == Phase::Dwelling
            || (readsInstrument() && m_phase == Phase::WaitingForReading);
    }
    void requestReading(qint64 now, Commands *out);
    void restartReadings(qint64 now);
    void endJudge(Commands *out);

    void advance(qint64 now, Commands *out);
    void sendSetPoint(Commands *out);
    void enterDwell(qint64 now);
    // Records the step's row and makes the next step current, or finishes the run; nextStep() starts it.
    void endStep(CalibrationStepResult::Outcome outcome, Commands *out);
    void nextStep(Commands *out);
    void stopJudge(Commands *out);
    Commands pausedFor(PauseReason reason, qint64 now);
    Commands resumedFrom(int reasons, qint64 now);
    void addPause(PauseReason reason, qint64 now, Commands *out);
    void removePause(int reasons, qint64 now, Commands *out);
    // The operator gave or skipped the reading the instrument did not: the next is the instrument's again.
    void askInstrumentAgain(qint64 now, Commands *out);
    void askReading(Commands *out);
    void startJudge(Commands *out);
    void addRow(CalibrationStepResult::Outcome outcome, int step);
    void add(Command::Kind kind, Commands *out) const;

    QVector<CalibrationStep> m_steps;
    QVector<qint16> m_wires; // each step's set point in wire units
    int m_wireScale = 100;
    Phase m_phase = Phase::Idle;
    int m_pause = NoPause;
    bool m_resendOnResume = false; // a pause other than a silence may have cost the step its set point
    int m_index = 0;
    bool m_stepStarted = false; // its start is marked; false for a step held back by a pause
    int m_tries = 0;
    qint64 m_confirmedAt = 0; // the newest confirmation, from which the settling is estimated
    qint64 m_firstConfirmedAt = -1; // the step's first, from which its settling is reported
    int m_readingsPerStep = 1;
    double m_typedAmbient = qQNaN();
    qint64 m_outageStart = -1; // while the link is lost or the controller silent
    QVector<CalibrationOutage> m_outages;
    bool m_judgeStable = false;
    StabilityJudge m_judge; // judges against the step's set point, between StartJudge and StopJudge
    bool m_judgeRunning = false;
    bool m_readBackOk = false;
    qint64 m_stableAt = 0; // start of the dwell under way
    DwellStatistics m_dwell;
    QVector<double> m_readings;
    QVector<TakenReading> m_taken;
    int m_readingsSkipped = 0;
    qint64 m_intervalMs = 0; // between the instrument's readings; 0 when they are typed
    bool m_requestOut = false; // a TakeReading is unanswered
    qint64 m_requestedAt = 0;
    qint64 m_readingsSince = 0; // answers to requests before it belong to readings dropped
    qint64 m_nextReadingAt = 0;
    TakenReading m_lastFault;
    QVector<CalibrationStepResult> m_results;
};
