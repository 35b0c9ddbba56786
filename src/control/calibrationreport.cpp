#include "calibrationreport.h"

#include "control/stepevaluation.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <numeric>

namespace {

constexpr int kTemperatureDecimals = 3;
// Beside a verdict, the values it was decided on: every digit a reader could need to check it.
constexpr int kUnroundedDecimals = 6;
const char *const kColumns[] = {"step", "outcome", "set_point", "stable_at", "settle_s", "mean", "std", "min",
    "max", "count", "ambient", "reading", "error", "reference", "reading_mean", "reading_std", "error_ref",
    "u_c", "U", "tolerance", "verdict",
    // Added later, at the end so that readers by position keep their columns: the unrounded values the
    // verdict was decided on, the coverage factor and the ambient's origin.
    "error_unrounded", "U_unrounded", "tolerance_unrounded", "k", "nu_eff", "ambient_origin"};
constexpr int kColumnCount = int(sizeof kColumns / sizeof kColumns[0]);
constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// Empty for a value that does not exist (NaN); never "-0.000", which would read as a sign.
QByteArray fixed(double value, int decimals)
{
    if (!std::isfinite(value))
        return {};
    QByteArray text = QByteArray::number(value, 'f', decimals);
    if (text.startsWith('-') && text.count('0') == text.size() - 2)
        text.remove(0, 1);
    return text;
}

} // namespace

QByteArray CalibrationReport::isoWithOffset(const QDateTime &at)
{
    const int offset = at.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return at.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz")).toLatin1() + (offset < 0 ? '-' : '+')
        + QByteArray::number(minutes / 60).rightJustified(2, '0') + ':'
        + QByteArray::number(minutes % 60).rightJustified(2, '0');
}

namespace {

QByteArray verdictWord(StepEvaluation::Verdict verdict)
{
    switch (verdict) {
    case StepEvaluation::Verdict::Pass:
        return "PASS";
    case StepEvaluation::Verdict::Fail:
        return "FAIL";
    case StepEvaluation::Verdict::NotEvaluated:
        return "not evaluated";
    case StepEvaluation::Verdict::None:
        break;
    }
    return {};
}

QByteArrayList values(
    const CalibrationRun &run, const CalibrationStepResult &result, const QDateTime &wallAtZero)
{
    QByteArrayList fields {QByteArray::number(result.step + 1),
        result.readingSkipped() ? QByteArray("reading skipped")
                                : CalibrationReport::outcomeWord(result.outcome),
        fixed(result.setPoint, kTemperatureDecimals)};
    if (result.stable) {
        const DwellStatistics &dwell = result.dwell;
        const StepEvaluation e = StepEvaluator::evaluate(run, result);
        double reading = kNone;
        if (!result.readings.isEmpty())
            reading = std::accumulate(result.readings.begin(), result.readings.end(), 0.0)
                / result.readings.size();
        const double error = reading - dwell.mean();
        // The ambient the reference used: the thermometer's dwell mean, or the operator's stated value.
        const double ambient = std::isfinite(e.ambient) ? e.ambient : kNone;
        fields << CalibrationReport::isoWithOffset(wallAtZero.addMSecs(result.stableAtMs))
               << fixed(result.settleMs / 1000.0, 1) << fixed(dwell.mean(), kTemperatureDecimals)
               << fixed(dwell.standardDeviation(), 4) << fixed(dwell.minimum(), kTemperatureDecimals)
               << fixed(dwell.maximum(), kTemperatureDecimals) << QByteArray::number(dwell.count())
               << fixed(ambient, kTemperatureDecimals) << fixed(reading, kTemperatureDecimals)
               << fixed(error, kTemperatureDecimals);
        if (e.measured) {
            fields << fixed(e.reference, kTemperatureDecimals) << fixed(e.readingMean, kTemperatureDecimals)
                   << fixed(e.readingStd, 4) << fixed(e.error, kTemperatureDecimals) << fixed(e.combined, 4)
                   << e.text(e.expandedUnits).toLatin1()
                   << (e.hasTolerance ? e.toleranceText().toLatin1() : QByteArray()) << verdictWord(e.verdict)
                   << fixed(e.error, kUnroundedDecimals) << fixed(e.expanded, kUnroundedDecimals)
                   << (e.hasTolerance ? fixed(e.tolerance, kUnroundedDecimals) : QByteArray())
                   << fixed(e.coverage, 3)
                   << (std::isfinite(e.dofEffective) ? QByteArray::number(qint64(e.dofEffective))
                                                     : QByteArray("inf"));
        } else if (e.noSolution) {
            fields << QByteArray() << fixed(e.readingMean, kTemperatureDecimals) << QByteArray()
                   << QByteArray() << QByteArray() << QByteArray() << QByteArray() << verdictWord(e.verdict)
                   << QByteArray() << QByteArray() << QByteArray() << QByteArray() << QByteArray();
        }
        if (std::isfinite(ambient)) {
            while (fields.size() < kColumnCount - 1)
                fields << QByteArray();
            fields << (e.ambientMeasured ? "measured" : "stated");
        }
    }
    while (fields.size() < kColumnCount)
        fields << QByteArray();
    return fields;
}

QVector<const TakenReading *> takenReadings(const CalibrationStepResult &result)
{
    QVector<const TakenReading *> out;
    for (const TakenReading &t : result.taken) {
        if (t.isReading())
            out << &t;
    }
    return out;
}

// RFC 4180: a raw reply may hold a comma or a quote.
QByteArray quoted(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\r') || bytes.contains('\n'))
        bytes = '"' + bytes.replace('"', "\"\"") + '"';
    return bytes;
}

// The raw reply, UTC time and source of each of the step's readings, in `readings` columns of each.
QByteArrayList readingValues(const CalibrationStepResult &result, int readings, bool csvQuoted)
{
    const QVector<const TakenReading *> taken = takenReadings(result);
    QByteArrayList raw, utc, source;
    for (int i = 0; i < readings; ++i) {
        const TakenReading *t = taken.value(i);
        raw << (t ? (csvQuoted ? quoted(t->raw) : t->raw.toUtf8()) : QByteArray());
        utc << (t && t->utc.isValid() ? t->utc.toUTC().toString(Qt::ISODateWithMs).toLatin1() : QByteArray());
        source << (t ? TakenReading::sourceWord(t->source).toLatin1() : QByteArray());
    }
    return raw + utc + source;
}

int readingColumns(const QVector<CalibrationStepResult> &results)
{
    int most = 0;
    for (const CalibrationStepResult &result : results)
        most = qMax(most, takenReadings(result).size());
    return most;
}

} // namespace

namespace CalibrationReport {

QByteArrayList columns(int readings)
{
    QByteArrayList names;
    for (const char *name : kColumns)
        names << name;
    for (const char *prefix : {"reading_raw_", "reading_utc_", "reading_source_"}) {
        for (int i = 1; i <= readings; ++i)
            names << prefix + QByteArray::number(i);
    }
    return names;
}

QVector<QPair<QByteArray, QByteArray>> row(
    const CalibrationRun &run, const CalibrationStepResult &result, const QDateTime &wallAtZero)
{
    const int readings = takenReadings(result).size();
    const QByteArrayList names = columns(readings);
    const QByteArrayList fields = values(run, result, wallAtZero) + readingValues(result, readings, false);
    QVector<QPair<QByteArray, QByteArray>> pairs;
    for (int i = 0; i < names.size(); ++i)
        pairs.append({names.at(i), fields.at(i)});
    return pairs;
}

QByteArray csv(
    const CalibrationRun &run, const QVector<CalibrationStepResult> &results, const QDateTime &wallAtZero)
{
    const int readings = readingColumns(results);
    QByteArray text = columns(readings).join(',') + "\r\n";
    for (const CalibrationStepResult &result : results)
        text += (values(run, result, wallAtZero) + readingValues(result, readings, true)).join(',') + "\r\n";
    return text;
}

QByteArray outcomeWord(CalibrationStepResult::Outcome outcome)
{
    switch (outcome) {
    case CalibrationStepResult::Outcome::Done:
        return "done";
    case CalibrationStepResult::Outcome::Skipped:
        return "skipped";
    case CalibrationStepResult::Outcome::Aborted:
        return "aborted";
    case CalibrationStepResult::Outcome::NotReached:
        break;
    }
    return "not reached";
}

QString fileName(const QDateTime &at, const QString &suffix)
{
    return QStringLiteral("calibration-") + at.toString(QStringLiteral("yyyyMMdd-HHmmss")) + QLatin1Char('.')
        + suffix;
}

} // namespace CalibrationReport
