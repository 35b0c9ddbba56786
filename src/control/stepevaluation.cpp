#include "stepevaluation.h"

#include "control/coverage.h"
#include "control/radiance.h"

#include <QLocale>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <numeric>

namespace {

using Kind = StepEvaluation::Component::Kind;
using Verdict = StepEvaluation::Verdict;
using Distribution = BudgetComponent::Distribution;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Steps for a sensitivity whose input is known exactly: wide beside the solver's nanokelvins, narrow
// beside the curvature of B. The contribution is zero then; the coefficient is still printed.
constexpr double kSmallestStepC = 0.05;
constexpr double kSmallestStepEmissivity = 0.001;
// GUM 5.1.2: where the two one-sided changes differ by more than this, first order no longer serves.
constexpr double kNonlinear = 0.1;

struct Perturbed
{
    double sourceC = 0;
    double ambientC = 0;
    double sourceEmissivity = 1;
};

double apparent(const CalibrationRun &run, const Perturbed &p)
{
    return Radiance::apparentTemperature(p.sourceC, p.sourceEmissivity, run.emissivity, p.ambientC,
        run.certificate.bandLowUm, run.certificate.bandHighUm);
}

double divisorOf(const BudgetComponent &component)
{
    switch (component.distribution) {
    case Distribution::Normal:
        return component.k;
    case Distribution::Rectangular:
        return std::sqrt(3.0);
    case Distribution::Triangular:
        break;
    }
    return std::sqrt(6.0);
}

// Sets c.sensitivity, c.nonlinear and c.contribution from the change of T_u when the input moves by
// ±u(x_i) = c.value / c.divisor; `at(delta)` is T_u with the input moved by delta, `centre` at none.
void propagate(
    StepEvaluation::Component *c, double centre, double smallestStep, const std::function<double(double)> &at)
{
    const double u = c->value / c->divisor;
    const double h = u > 0 ? u : smallestStep;
    const double up = at(h) - centre;
    const double down = centre - at(-h);
    double change = 0;
    if (std::isfinite(up) && std::isfinite(down)) {
        const double larger = std::abs(up) >= std::abs(down) ? up : down;
        c->nonlinear = u > 0 && std::abs(up - down) > kNonlinear * std::abs(larger);
        change = c->nonlinear ? larger : (up + down) / 2;
    } else {
        // One side leaves the model's range: only the other can be said.
        change = std::isfinite(up) ? up : down;
        c->nonlinear = u > 0;
    }
    c->sensitivity = change / h;
    c->contribution = u > 0 ? std::abs(change) : 0;
}

StepEvaluation::Component atReading(Kind kind, double value, Distribution distribution, double divisor,
    double dof, const QString &name = QString())
{
    StepEvaluation::Component c;
    c.kind = kind;
    c.name = name;
    c.value = value;
    c.distribution = distribution;
    c.divisor = divisor;
    c.sensitivity = 1;
    c.contribution = value / divisor;
    c.dof = dof;
    return c;
}

Verdict decide(bool guarded, double error, double expanded, double tolerance, bool *tooLarge)
{
    if (guarded) {
        *tooLarge = expanded >= tolerance;
        return !*tooLarge && std::abs(error) <= tolerance - expanded ? Verdict::Pass : Verdict::Fail;
    }
    *tooLarge = false;
    return std::abs(error) <= tolerance ? Verdict::Pass : Verdict::Fail;
}

// Twelve significant digits first, so 0.0995 (0.09949999… in binary) is taken as written.
double scaled(double value, int decimals)
{
    return QString::number(value * std::pow(10.0, decimals), 'g', 12).toDouble();
}

} // namespace

QString StepEvaluation::text(qint64 units) const
{
    if (decimals <= 0)
        return QString::number(units * qint64(std::llround(std::pow(10.0, -decimals))));
    const qint64 scale = std::llround(std::pow(10.0, decimals));
    const qint64 whole = std::llabs(units) / scale;
    return QLatin1String(units < 0 ? "-" : "") + QString::number(whole) + QLatin1Char('.')
        + QString::number(std::llabs(units) % scale).rightJustified(decimals, QLatin1Char('0'));
}

QString StepEvaluation::toleranceText() const
{
    if (tolerance == toleranceDegrees)
        return QString::number(tolerance, 'g', QLocale::FloatingPointShortest);
    return QString::number(tolerance, 'g', 6);
}

namespace StepEvaluator {

int decimalsOf(double expanded)
{
    if (!(expanded > 0) || !std::isfinite(expanded))
        return 3;
    int decimals = 1 - int(std::floor(std::log10(expanded)));
    // 0.0991 rounds up to 0.10, not 0.100: the rounding may carry into a third digit.
    if (unitsUp(expanded, decimals) >= 100)
        --decimals;
    return decimals;
}

qint64 unitsOf(double value, int decimals)
{
    return std::llround(scaled(value, decimals));
}

qint64 unitsUp(double value, int decimals)
{
    return qint64(std::ceil(scaled(value, decimals)));
}

double effectiveDof(const QVector<StepEvaluation::Component> &components)
{
    double combined = 0;
    double sum = 0;
    for (const StepEvaluation::Component &c : components) {
        const double squared = c.contribution * c.contribution;
        combined += squared;
        if (std::isfinite(c.dof) && squared > 0)
            sum += squared * squared / c.dof;
    }
    if (!(sum > 0))
        return qInf();
    return std::max(1.0, std::floor(combined * combined / sum));
}

double sourceExpanded(const QVector<SourceUncertaintyPoint> &table, double setPoint)
{
    if (table.isEmpty())
        return 0;
    if (setPoint <= table.constFirst().setPoint)
        return table.constFirst().expanded;
    for (int i = 1; i < table.size(); ++i) {
        const SourceUncertaintyPoint &a = table.at(i - 1);
        const SourceUncertaintyPoint &b = table.at(i);
        if (setPoint <= b.setPoint)
            return a.expanded
                + (b.expanded - a.expanded) * (setPoint - a.setPoint) / (b.setPoint - a.setPoint);
    }
    return table.constLast().expanded;
}

StepEvaluation evaluate(const CalibrationRun &run, const CalibrationStepResult &result)
{
    StepEvaluation e;
    const DwellStatistics &dwell = result.dwell;
    e.readings = result.readings.size();
    e.ambientMeasured = dwell.ambientCount() > 0;
    e.ambient = e.ambientMeasured ? dwell.ambientMean() : result.ambientC;
    if (!result.stable || dwell.count() == 0 || e.readings == 0 || !std::isfinite(e.ambient))
        return e;
    DwellStatistics readings;
    for (double reading : result.readings)
        readings.add(reading);
    e.readingMean = readings.mean();
    e.readingStd = readings.standardDeviation();
    const Perturbed estimate {dwell.mean(), e.ambient, run.source.emissivity};
    e.reference = apparent(run, estimate);
    if (!std::isfinite(e.reference)) {
        e.noSolution = true;
        e.verdict = Verdict::NotEvaluated;
        return e;
    }
    e.error = e.readingMean - e.reference;

    auto atSource = [&](double delta) {
        Perturbed p = estimate;
        p.sourceC += delta;
        return apparent(run, p);
    };
    using Component = StepEvaluation::Component;
    Component calibration = atReading(Kind::SourceCalibration,
        sourceExpanded(run.source.uncertainty, result.setPoint), Distribution::Normal, 2, qInf());
    propagate(&calibration, e.reference, kSmallestStepC, atSource);
    e.sensitivity = calibration.sensitivity;
    e.components << calibration;

    // The instrument reads the source at instants, and successive polls are correlated: s, not s/√n, and
    // taken as Type B with infinite degrees of freedom.
    const double stability = dwell.standardDeviation();
    Component stable = atReading(
        Kind::Stability, std::isfinite(stability) ? stability : 0, Distribution::Normal, 1, qInf());
    propagate(&stable, e.reference, kSmallestStepC, atSource);
    e.components << stable;

    // The ambient's uncertainty is the run file's stated one: the thermometer gives a mean per dwell.
    Component ambient = atReading(Kind::Ambient, run.ambientUncertaintyC, Distribution::Normal, 1, qInf());
    propagate(&ambient, e.reference, kSmallestStepC, [&](double delta) {
        Perturbed p = estimate;
        p.ambientC += delta;
        return apparent(run, p);
    });
    e.components << ambient;

    Component emissivity = atReading(
        Kind::SourceEmissivity, run.source.emissivityUncertainty, Distribution::Normal, 1, qInf());
    propagate(&emissivity, e.reference, kSmallestStepEmissivity, [&](double delta) {
        Perturbed p = estimate;
        p.sourceEmissivity += delta;
        return apparent(run, p);
    });
    e.components << emissivity;

    const BudgetComponent *stated = run.statedRepeatability();
    if (e.readings >= 2) {
        e.components << atReading(Kind::Repeatability, e.readingStd, Distribution::Normal,
            std::sqrt(double(e.readings)), e.readings - 1);
    } else {
        e.repeatabilityMissing = stated == nullptr;
    }
    e.components << atReading(
        Kind::Resolution, run.certificate.resolutionC / 2, Distribution::Rectangular, std::sqrt(3.0), qInf());
    for (const BudgetComponent &item : run.budget) {
        // A stated repeatability stands in for the one a single reading cannot measure.
        if (item.repeatability && e.readings >= 2)
            continue;
        Component c = atReading(item.repeatability ? Kind::Repeatability : Kind::Budget, item.value,
            item.distribution, divisorOf(item), item.dof, item.name);
        if (item.actsAt == BudgetComponent::ActsAt::Source)
            propagate(&c, e.reference, kSmallestStepC, atSource);
        e.components << c;
    }
    for (const Component &c : e.components) {
        if (!std::isfinite(c.contribution)) {
            e.noSolution = true;
            e.verdict = Verdict::NotEvaluated;
            return e;
        }
    }
    e.measured = true;
    e.combined = std::sqrt(std::accumulate(e.components.begin(), e.components.end(), 0.0,
        [](double sum, const Component &c) { return sum + c.contribution * c.contribution; }));
    e.dofEffective = effectiveDof(e.components);
    e.coverageNormal = e.dofEffective >= Coverage::kNormalFrom;
    e.coverage = e.coverageNormal ? 2 : Coverage::studentT(e.dofEffective);
    e.expanded = e.coverage * e.combined;

    e.decimals = decimalsOf(e.expanded);
    e.referenceUnits = unitsOf(e.reference, e.decimals);
    e.readingUnits = unitsOf(e.readingMean, e.decimals);
    e.errorUnits = unitsOf(e.error, e.decimals);
    e.expandedUnits = unitsUp(e.expanded, e.decimals);

    e.hasTolerance = run.toleranceC > 0 || run.tolerancePercent > 0;
    if (!e.hasTolerance)
        return e;
    const double basis
        = run.toleranceOf == CalibrationRun::ToleranceOf::Reference ? e.reference : e.readingMean;
    e.toleranceDegrees = run.toleranceC;
    e.tolerance = std::max(run.toleranceC, run.tolerancePercent / 100 * std::abs(basis));
    e.verdict = decide(run.guarded, e.error, e.expanded, e.tolerance, &e.uncertaintyTooLarge);
    bool printedTooLarge = false;
    const double scale = std::pow(10.0, -e.decimals);
    e.onEdge = decide(run.guarded, e.errorUnits * scale, e.expandedUnits * scale,
                   e.toleranceText().toDouble(), &printedTooLarge)
        != e.verdict;
    return e;
}

StepEvaluation::Verdict overall(const QVector<CalibrationStepResult> &results,
    const QVector<StepEvaluation> &evaluations, bool *complete, bool *allEvaluated)
{
    *complete = !results.isEmpty();
    bool evaluated = true;
    bool anyTolerance = false;
    bool allPass = true;
    for (int i = 0; i < results.size(); ++i) {
        const StepEvaluation &e = evaluations.at(i);
        // A step that ran to its end but has no solution is complete and not evaluated.
        if (results.at(i).outcome != CalibrationStepResult::Outcome::Done || !(e.measured || e.noSolution))
            *complete = false;
        evaluated = evaluated && !e.noSolution;
        anyTolerance = anyTolerance || e.hasTolerance;
        allPass = allPass && e.verdict == Verdict::Pass;
    }
    if (allEvaluated)
        *allEvaluated = evaluated;
    if (!*complete || !evaluated || !anyTolerance)
        return Verdict::None;
    return allPass ? Verdict::Pass : Verdict::Fail;
}

} // namespace StepEvaluator
