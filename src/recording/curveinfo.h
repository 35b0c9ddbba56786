#pragma once

#include "curvefile.h"

// What a curve was recorded with. It travels with the curve's samples, so saving writes what the curve
// was taken at, whatever the chart's settings have become since.
struct CurveInfo
{
    qint64 startMsecs = 0; // start of the recording, ms since the epoch
    int intervalMs = 100;
    int unit = 2;
    float emissivity = 1;

    // The date, unit and emissivity an opened file states and the interval its durations show; whatever
    // the file does not tell comes from `fallback`.
    static CurveInfo fromFile(const CurveFileContents &file, const CurveInfo &fallback);
    CurveFileHeader fileHeader(const QString &appName, const QString &unitSymbol) const;

    bool operator==(const CurveInfo &other) const;
};

// The record interval that keys (seconds, sorted) were taken at: their median positive step, snapped to
// the nearest interval of the chart settings. 0 when no two keys differ.
int inferredIntervalMs(const QVector<Sample> &samples);
