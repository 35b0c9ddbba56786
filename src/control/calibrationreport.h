#pragma once

#include "control/calibrationsequencer.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QDateTime>
#include <QPair>
#include <QString>
#include <QVector>

// The report of a calibration run as CSV: UTF-8, comma-separated, a point for the decimal mark, one row
// per result under a fixed header row. Lines end in CR LF, as RFC 4180 and the curve files have them, so
// spreadsheets on every system split them alike. Every field is plain ASCII, so no byte-order mark is
// written: a script reading the header row sees `step` as its first word.
namespace CalibrationReport {

// `wallAtZero` is the wall-clock time at 0 on the sequencer's monotonic clock; stable_at is written with
// its UTC offset at that moment (a QDateTime in local time gives the local offset, summer time included).
// The columns after `error` state each step as its certificate does (StepEvaluation), from `run`'s
// emissivities, budget, tolerance and rule; `reading` is the mean of the step's readings. A raw reply
// with a comma or a quote is quoted as RFC 4180 says.
QByteArray csv(
    const CalibrationRun &run, const QVector<CalibrationStepResult> &results, const QDateTime &wallAtZero);

// The header row's names, in order; `readings` columns each of reading_raw_N, reading_utc_N and
// reading_source_N follow, as many as the step with the most readings taken (typed, or the instrument's).
QByteArrayList columns(int readings = 0);
// A step's row as the CSV writes it, each field beside its column's name, in column order; a value the
// step has none of is empty, and a raw reply is as it came, not quoted. For those who want the row as an
// object rather than a line.
QVector<QPair<QByteArray, QByteArray>> row(
    const CalibrationRun &run, const CalibrationStepResult &result, const QDateTime &wallAtZero);

// "2024-05-01T10:00:01.000+08:00": local time with its offset at that moment.
QByteArray isoWithOffset(const QDateTime &at);

// What became of a step, as its row says it: "done", "skipped", "aborted" or "not reached".
QByteArray outcomeWord(CalibrationStepResult::Outcome outcome);

// "calibration-YYYYMMDD-hhmmss.<suffix>" for a run that ended at `at`.
QString fileName(const QDateTime &at, const QString &suffix);

} // namespace CalibrationReport
