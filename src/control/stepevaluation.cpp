#include "stepevaluation.h"

#include "control/radiance.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <numeric>

namespace {

using Kind = StepEvaluation::Component::Kind;
using Verdict = StepEvaluation::Verdict;

// ∂T_u/∂T_s over ±kDerivativeStepC: wide beside the solver's 2 µK, narrow beside the curvature of B.
constexpr double kDerivativeStepC = 0.05;

double apparent(const CalibrationRun &run, double sourceC, double ambientC)
{
    return Radiance::apparentTemperature(sourceC, run.source.emissivity, run.emissivity, ambientC,
        run.certificate.bandLowUm, run.certificate.bandHighUm);
}

double standardOf(const BudgetComponent &component)
{
    switch (component.distribution) {
    case BudgetComponent::Distribution::Normal:
        return component.value / component.k;
    case BudgetComponent::Distribution::Rectangular:
        return component.value / std::sqrt(3.0);
    case BudgetComponent::Distribution::Triangular:
        break;
    }
    return component.value / std::sqrt(6.0);
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

namespace StepEvaluator {

int decimalsOf(double expanded)
{
    if (!(expanded > 0) || !std::isfinite(expanded))
        return 3;
    int decimals = 1 - int(std::floor(std::log10(expanded)));
    // 0.0996 is 0.10, not 0.100: the rounding may carry into a third digit.
    if (unitsOf(expanded, decimals) >= 100)
        --decimals;
    return decimals;
}

qint64 unitsOf(double value, int decimals)
{
    // Through twelve significant digits first, so 0.0995 (0.09949999… in binary) rounds as written.
    const double scaled = value * std::pow(10.0, decimals);
    return std::llround(QString::number(scaled, 'g', 12).toDouble());
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
    e.ambient = dwell.ambientCount() > 0 ? dwell.ambientMean() : result.ambientC;
    if (!result.stable || dwell.count() == 0 || e.readings == 0 || !std::isfinite(e.ambient))
        return e;
    const double source = dwell.mean();
    e.reference = apparent(run, source, e.ambient);
    if (!std::isfinite(e.reference))
        return e;
    e.measured = true;
    if (run.source.emissivity != run.emissivity) {
        e.sensitivity = (apparent(run, source + kDerivativeStepC, e.ambient)
                            - apparent(run, source - kDerivativeStepC, e.ambient))
            / (2 * kDerivativeStepC);
    }
    DwellStatistics readings;
    for (double reading : result.readings)
        readings.add(reading);
    e.readingMean = readings.mean();
    e.readingStd = readings.standardDeviation();
    e.error = e.readingMean - e.reference;

    e.components.append({Kind::SourceCalibration, QString(),
        sourceExpanded(run.source.uncertainty, result.setPoint) / 2 * e.sensitivity});
    // The instrument reads the source at instants, and successive polls are correlated: s, not s/√n.
    const double stability = dwell.standardDeviation();
    e.components.append({Kind::Stability, QString(), std::isfinite(stability) ? stability : 0});
    if (e.readings >= 2)
        e.components.append({Kind::Repeatability, QString(), e.readingStd / std::sqrt(double(e.readings))});
    e.components.append({Kind::Resolution, QString(), run.certificate.resolutionC / 2 / std::sqrt(3.0)});
    for (const BudgetComponent &component : run.budget)
        e.components.append({Kind::Budget, component.name, standardOf(component)});
    e.combined = std::sqrt(std::accumulate(e.components.begin(), e.components.end(), 0.0,
        [](double sum, const StepEvaluation::Component &c) { return sum + c.standard * c.standard; }));
    e.expanded = 2 * e.combined;

    e.decimals = decimalsOf(e.expanded);
    e.referenceUnits = unitsOf(e.reference, e.decimals);
    e.readingUnits = unitsOf(e.readingMean, e.decimals);
    e.errorUnits = e.readingUnits - e.referenceUnits;
    e.expandedUnits = unitsOf(e.expanded, e.decimals);

    e.hasTolerance = run.toleranceC > 0 || run.tolerancePercent > 0;
    if (!e.hasTolerance)
        return e;
    e.tolerance = std::max(run.toleranceC, run.tolerancePercent / 100 * std::abs(e.reference));
    e.toleranceUnits = unitsOf(e.tolerance, e.decimals);
    const qint64 error = std::llabs(e.errorUnits);
    if (run.guarded) {
        e.uncertaintyTooLarge = e.expandedUnits >= e.toleranceUnits;
        e.verdict = !e.uncertaintyTooLarge && error <= e.toleranceUnits - e.expandedUnits ? Verdict::Pass
                                                                                          : Verdict::Fail;
    } else {
        e.verdict = error <= e.toleranceUnits ? Verdict::Pass : Verdict::Fail;
    }
    return e;
}

StepEvaluation::Verdict overall(
    const QVector<CalibrationStepResult> &results, const QVector<StepEvaluation> &evaluations, bool *complete)
{
    *complete = !results.isEmpty();
    bool anyTolerance = false;
    bool allPass = true;
    for (int i = 0; i < results.size(); ++i) {
        const StepEvaluation &e = evaluations.at(i);
        if (results.at(i).outcome != CalibrationStepResult::Outcome::Done || !e.measured)
            *complete = false;
        anyTolerance = anyTolerance || e.hasTolerance;
        allPass = allPass && e.verdict == Verdict::Pass;
    }
    if (!*complete || !anyTolerance)
        return Verdict::None;
    return allPass ? Verdict::Pass : Verdict::Fail;
}

} // namespace StepEvaluator
