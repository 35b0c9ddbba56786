#pragma once

#include "control/calibrationsequencer.h"

#include <QVector>

#include <cmath>

// The ambient a run's certificate states, one rule for the PDF and the DCC: the range the thermometer
// measured over the stable steps' dwells, and whether a stable step had no measurement, its ambient then
// the operator's stated value. Pure.
struct AmbientRange
{
    double low = HUGE_VAL;
    double high = -HUGE_VAL;
    bool stated = false;

    bool measured() const { return std::isfinite(low); }

    static AmbientRange of(const QVector<CalibrationStepResult> &results);
};
