#pragma once

#include "control/calibrationrun.h"
#include "control/calibrationsequencer.h"

#include <QString>
#include <QVector>

// One step's result as a certificate states it: the reference the instrument should have shown (the
// source's dwell mean carried through the emissivity correction), its error, the uncertainty budget with a
// sensitivity per component from the radiance model, combined by root sum of squares, U = k·u_c with k
// Student's t for the Welch–Satterthwaite degrees of freedom, the tolerance and the verdict under the
// run's decision rule (ILAC-G8). The verdict is decided on the unrounded values; the printed ones (U to two
// significant digits rounded up, the rest to U's last digit) are for reading only, so a printed row on
// the edge may seem to say otherwise. Pure; any thread.
struct StepEvaluation
{
    // NotEvaluated: readings exist but the reference has no radiometric solution.
    enum class Verdict { None, Pass, Fail, NotEvaluated };

    struct Component
    {
        enum class Kind {
            SourceCalibration,
            Stability,
            Repeatability,
            Resolution,
            Ambient,
            SourceEmissivity,
            Budget
        };
        Kind kind = Kind::Budget;
        QString name; // the budget's, for Budget and a stated Repeatability
        double value
            = 0; // as stated: expanded U, half-width or s, in °C (an emissivity for SourceEmissivity)
        BudgetComponent::Distribution distribution = BudgetComponent::Distribution::Normal;
        double divisor = 1; // value / divisor is the standard uncertainty u(x_i)
        double sensitivity = 1; // c_i = ∂T_u/∂x_i by differences of ±u(x_i)
        bool nonlinear = false; // the two one-sided changes differ by more than 10 %: the larger is taken
        double contribution = 0; // |c_i|·u(x_i), °C
        double dof = qInf(); // ν_i
    };

    bool measured = false; // a reading and a reference exist; everything below belongs to it
    bool noSolution = false; // readings exist, but no temperature solves the radiance balance
    double reference = 0;
    double ambient = 0; // T_a used for the reference
    bool ambientMeasured = false; // from the thermometer during the dwell, else the run file's stated one
    double sensitivity = 1; // ∂T_u/∂T_s at the source's calibration uncertainty
    int readings = 0; // m
    double readingMean = 0;
    double readingStd = 0; // NaN below two readings
    bool repeatabilityMissing = false; // one reading and no stated repeatability: the budget lacks it
    double error = 0; // readingMean − reference, unrounded
    QVector<Component> components;
    double combined = 0; // u_c
    double dofEffective = qInf(); // ν_eff, truncated to a whole number; infinite when every ν_i is
    double coverage = 2; // k: Student's t at 95.45 %, or 2 where ν_eff ≥ 50
    bool coverageNormal = true; // k = 2 stated because ν_eff ≥ 50
    double expanded = 0; // k·u_c, unrounded
    double tolerance = 0; // unrounded; 0 without one
    bool hasTolerance = false;
    Verdict verdict = Verdict::None;
    bool uncertaintyTooLarge = false; // guarded: U ≥ tolerance, which fails whatever the error
    // The printed values would suggest the other verdict (the decision stands on the measured ones).
    bool onEdge = false;

    // As printed: in units of 10^-decimals (decimals may be negative for a U of 10 °C or more).
    int decimals = 3;
    qint64 referenceUnits = 0;
    qint64 readingUnits = 0;
    qint64 errorUnits = 0; // the unrounded error rounded, so the row may not add up by one digit
    qint64 expandedUnits = 0; // rounded up

    QString text(qint64 units) const; // "-0.12", "480", with a point whatever the locale
    // The tolerance as entered where the degrees decide it, else the computed percentage to six digits.
    QString toleranceText() const;
    double toleranceDegrees = 0; // the run's ±a ℃, to tell which term decided
};

namespace StepEvaluator {

StepEvaluation evaluate(const CalibrationRun &run, const CalibrationStepResult &result);

// The source's expanded uncertainty at `setPoint`, linear between the table's points and flat beyond them.
double sourceExpanded(const QVector<SourceUncertaintyPoint> &table, double setPoint);

// None without a tolerance; Pass only when every step was done and passed. None also stands for an
// incomplete run, which `complete` tells apart, and for a run whose every step ran but some could not be
// evaluated (no radiometric solution), which `allEvaluated` tells apart.
StepEvaluation::Verdict overall(const QVector<CalibrationStepResult> &results,
    const QVector<StepEvaluation> &evaluations, bool *complete, bool *allEvaluated = nullptr);

// U rounded up to two significant digits: the place of its last digit, as a power of ten's exponent negated.
int decimalsOf(double expanded);
// `value` in units of 10^-decimals, to the nearest; unitsUp rounds up instead (for U).
qint64 unitsOf(double value, int decimals);
qint64 unitsUp(double value, int decimals);

// ν_eff = u_c⁴ / Σ(u_i⁴/ν_i), truncated to a whole number of at least 1; infinite when every ν_i is.
double effectiveDof(const QVector<StepEvaluation::Component> &components);

} // namespace StepEvaluator
