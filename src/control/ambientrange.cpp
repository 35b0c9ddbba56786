#include "ambientrange.h"

#include <algorithm>

AmbientRange AmbientRange::of(const QVector<CalibrationStepResult> &results)
{
    AmbientRange range;
    for (const CalibrationStepResult &r : results) {
        if (!r.stable)
            continue;
        if (r.dwell.ambientCount() > 0) {
            range.low = std::min(range.low, r.dwell.ambientMean());
            range.high = std::max(range.high, r.dwell.ambientMean());
        } else if (std::isfinite(r.ambientC)) {
            range.stated = true;
        }
    }
    return range;
}
