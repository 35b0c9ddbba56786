// libFuzzer target for the calibration run reader: any bytes as a .bbrun file must read without a crash or
// a hang. A refused file must say why and yield nothing half-read; an accepted one must hold only values
// the runner can work with, and must write and read back unchanged.

#include "control/blackbodymodel.h"
#include "control/calibrationrun.h"
#include "jsondepth.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// As the reader allows: a day at most for one step's times.
const double kLongestSeconds = 86400;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void checkError(const CalibrationRunError &error, int steps)
{
    check(!error.message.isEmpty());
    check(error.step >= 0 && error.step <= steps);
    if (error.kind == CalibrationRunError::Kind::Syntax)
        check(error.line >= 1 && error.column >= 1);
}

} // namespace

// Qt 5.15's JSON parser itself leaks the array or object a repeated key replaces ({"a":[1],"a":[2]}), and
// the reader must accept such files. Telling that leak from one of ours takes the whole allocation stack
// through Qt, which costs speed but keeps every other leak reported.
extern "C" const char *__asan_default_options()
{
    return "fast_unwind_on_malloc=0:malloc_context_size=255";
}

extern "C" const char *__lsan_default_suppressions()
{
    return "leak:QJsonDocument::fromJson\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray json(reinterpret_cast<const char *>(data), int(size));
    if (jsonNestingDepth(json) > kMaxFuzzedJsonDepth)
        return -1;
    CalibrationRunError error;
    const CalibrationRun run = CalibrationRun::fromJson(json, &error);
    if (error.isError()) {
        // Every step takes bytes of the file, so an error cannot name a step past its size.
        checkError(error, int(size));
        check(run == CalibrationRun());
        return 0;
    }

    check(std::isfinite(run.distanceMm) && run.distanceMm >= 0);
    check(std::isfinite(run.emissivity) && run.emissivity > 0 && run.emissivity <= 1);
    for (const CalibrationStep &step : run.steps) {
        check(std::isfinite(step.setPoint));
        check(std::isfinite(step.band) && step.band >= 0);
        check(step.window > 0 && step.window <= kLongestSeconds);
        check(step.dwell >= CalibrationRun::kShortestDwell && step.dwell <= kLongestSeconds);
    }

    for (int i = 0; i < blackbodyModelCount(); ++i) {
        const BlackbodyModel &model = blackbodyModel(i);
        const CalibrationRunError refused = run.checkModel(model.minimum, model.maximum, model.decimals);
        if (!refused.isError())
            continue;
        checkError(refused, run.steps.size());
        check(refused.step >= 1);
        const double setPoint = run.steps.at(refused.step - 1).setPoint;
        const bool outside = setPoint < model.minimum || setPoint > model.maximum;
        if (refused.kind == CalibrationRunError::Kind::OutsideModel) {
            check(outside);
        } else {
            check(refused.kind == CalibrationRunError::Kind::TooPrecise && !outside);
            // What the model would send differs from what the run asks for.
            const double sent = std::round(setPoint * model.wireScale) / model.wireScale;
            check(std::abs(sent - setPoint) > 1e-9);
        }
    }

    CalibrationRunError again;
    const CalibrationRun reread = CalibrationRun::fromJson(run.toJson(), &again);
    check(!again.isError());
    check(reread == run);
    return 0;
}
