#pragma once

#include "control/calibrationrun.h"
#include "control/calibrationsequencer.h"

#include <QString>
#include <QVector>

// One step's result as a certificate states it: the reference the instrument should have shown (the
// source's dwell mean carried through the emissivity correction), its error, the uncertainty budget
// combined by root sum of squares with U = 2·u_c, the tolerance and the verdict under the run's decision
// rule. Printed values are whole multiples of U's last digit (U has two significant digits) and the
// verdict is decided on them, so that the certificate can be checked by hand. Pure; any thread.
struct StepEvaluation
{
    enum class Verdict { None, Pass, Fail };

    struct Component
    {
        enum class Kind { SourceCalibration, Stability, Repeatability, Resolution, Budget };
        Kind kind = Kind::Budget;
        QString name; // the budget's, for Budget
        double standard = 0; // standard uncertainty, °C, already times its sensitivity
    };

    bool measured = false; // a reading and a reference exist; everything below belongs to it
    double reference = 0;
    double ambient = 0; // T_a used for the reference
    double sensitivity = 1; // ∂T_u/∂T_s
    int readings = 0; // m
    double readingMean = 0;
    double readingStd = 0; // NaN below two readings
    double error = 0; // readingMean − reference, unrounded
    QVector<Component> components;
    double combined = 0; // u_c
    double expanded = 0; // 2·u_c, unrounded
    double tolerance = 0; // unrounded; 0 without one
    bool hasTolerance = false;

    // As printed: in units of 10^-decimals (decimals may be negative for a U of 10 °C or more).
    int decimals = 3;
    qint64 referenceUnits = 0;
    qint64 readingUnits = 0;
    qint64 errorUnits = 0; // readingUnits − referenceUnits, so the printed row adds up
    qint64 expandedUnits = 0;
    qint64 toleranceUnits = 0;
    Verdict verdict = Verdict::None;
    bool uncertaintyTooLarge = false; // guarded: U ≥ tolerance, which fails whatever the error

    QString text(qint64 units) const; // "-0.12", "480", with a point whatever the locale
};

namespace StepEvaluator {

StepEvaluation evaluate(const CalibrationRun &run, const CalibrationStepResult &result);

// The source's expanded uncertainty at `setPoint`, linear between the table's points and flat beyond them.
double sourceExpanded(const QVector<SourceUncertaintyPoint> &table, double setPoint);

// None without a tolerance; Pass only when every step was done and passed; None also stands for an
// incomplete run, which `complete` tells apart.
StepEvaluation::Verdict overall(const QVector<CalibrationStepResult> &results,
    const QVector<StepEvaluation> &evaluations, bool *complete);

// U rounded to two significant digits: the place of its last digit, as a power of ten's exponent negated.
int decimalsOf(double expanded);
qint64 unitsOf(double value, int decimals);

} // namespace StepEvaluator
