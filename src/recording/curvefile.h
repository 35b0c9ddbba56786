#pragma once

#include "sample.h"

#include <QString>
#include <QVector>

#include <functional>

class QIODevice;

// The curve text file, written and read on byte streams only. Lines end in CR LF; the reader also takes
// LF alone. Safe to call from any thread: nothing here touches a widget or shared state.

struct CurveFileHeader
{
    QString appName; // line 1
    qint64 startMsecs = 0; // recording start, ms since the epoch; each row's time is start + its duration
    float emissivity = 1;
    int unit = 2; // 1 Fahrenheit, 2 Celsius; any other code is written without a symbol line
    QString unitSymbol; // written after "UnitSymbol:" for units 1 and 2
    int intervalMs = 100; // chooses the duration precision
};

struct CurveFileContents
{
    bool hasDate = false;
    qint64 startMsecs = 0; // the "Date" line, local time read as ms since the epoch
    bool hasUnit = false;
    int unit = 0;
    bool hasEmissivity = false;
    float emissivity = 0;
    int declaredCount = 0; // the "DataCounts" value, only a hint
    bool hasColumns = false; // a "DataCounts" line and the column line after it were read
    int numericRows = 0; // rows whose duration and temperature are both numbers
    QVector<Sample> samples; // sorted by key; a field that is no number reads as 0
    double highest = 0; // extremes of the values; meaningless without samples
    double lowest = 0;

    // A curve file has its header and at least one row of numbers; anything else is some other file.
    bool isCurve() const { return hasColumns && numericRows > 0; }
    // Orders the rows as read by their time, keeping equal times in file order, and finds the extremes.
    void sortSamples();
};

enum class CurveReadResult {
    Ok, // the file was read to its end; isCurve() tells whether it held a curve
    ReadError,
    TooLarge, // more rows than the reader was allowed to hold
};

// Receives whole percentages, and only when the whole percentage changes.
using CurveProgress = std::function<void(int percent)>;

// Decimals of the duration column for a record interval.
int durationDecimals(int intervalMs);

// The name a curve is saved under: a name without a suffix gets ".txt", any other stays as it is.
QString curveFileName(const QString &chosen);

// Gives sample i of the curve being written, for i in [0, count).
using CurveSampleAt = std::function<const Sample &(qint64 i)>;

// Writes the whole file; false when the device refuses bytes.
bool writeCurve(QIODevice *device, const CurveFileHeader &header, qint64 count, const CurveSampleAt &sampleAt,
    const CurveProgress &progress = {});

// Reads a whole file from its current position. Rows are capped at maxRows, and the room reserved for the
// declared count is bounded by what the remaining bytes can hold.
CurveReadResult readCurve(
    QIODevice *device, CurveFileContents *out, const CurveProgress &progress = {}, int maxRows = 50'000'000);
