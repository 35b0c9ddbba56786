#pragma once

#include "control/calibrationrun.h"
#include "control/calibrationstart.h"
#include "control/certificatecompleteness.h"

#include <QString>

class Asker;
class CurveRecorder;
struct BlackbodyModel;

// Why a run's start was refused: the obstacle that stood, or what failed once the obstacles were cleared.
struct RunStartResult
{
    enum class Failure {
        None,
        Obstacle, // `obstacle` stood and was not cleared
        NotCounted, // the certificate number could not be saved
        NoJournal, // the journal could not be made and nobody accepted that
    };
    Failure failure = Failure::None;
    CalibrationStart::Obstacle obstacle = CalibrationStart::Obstacle::RunInProgress;
    QString detail; // the model check's message, or the system's reason
    // The run goes ahead as a test report, without a certificate number, for want of `missing`.
    bool testReport = false;
    QVector<CertificateCompleteness::Missing> missing;

    bool started() const { return failure == Failure::None; }
};

// The start of a run as the door that asks for it answers: each obstacle the pure verdict names, in turn,
// is cleared by asking the door's Asker (a folder chosen, the lab named, the curve dropped, the chart's
// setting changed, an overdue source accepted, a test report instead of a certificate) or stops the
// start. GUI thread only.
namespace RunStart {

// Each step at least settles for its window and dwells.
qint64 leastDurationMs(const CalibrationRun &run);
// Asked before the run rather than at its end, when nobody may be there to answer; what is chosen is
// stored. False, with the obstacle in `result`, when one stays. `model` is the open link's; the chart's
// setting, if changed, applies to `recorder`'s next recording.
bool clearObstacles(const CalibrationRun &run, const CalibrationStart::Situation &situation,
    const BlackbodyModel &model, CurveRecorder *recorder, Asker *asker, RunStartResult *result);

} // namespace RunStart
