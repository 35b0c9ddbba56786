#include "curveinfo.h"

#include "settings/recordestimate.h"

CurveInfo CurveInfo::fromFile(const CurveFileContents &file, const CurveInfo &fallback)
{
    CurveInfo info = fallback;
    if (file.hasDate)
        info.startMsecs = file.startMsecs;
    if (const int interval = inferredIntervalMs(file.samples))
        info.intervalMs = interval;
    if (file.hasUnit)
        info.unit = file.unit;
    if (file.hasEmissivity)
        info.emissivity = file.emissivity;
    return info;
}

CurveFileHeader CurveInfo::fileHeader(const QString &appName, const QString &unitSymbol) const
{
    CurveFileHeader header;
    header.appName = appName;
    header.startMsecs = startMsecs;
    header.emissivity = emissivity;
    header.unit = unit;
    header.unitSymbol = unitSymbol;
    header.intervalMs = intervalMs;
    return header;
}

bool CurveInfo::operator==(const CurveInfo &other) const
{
    return startMsecs == other.startMsecs && intervalMs == other.intervalMs && unit == other.unit
        && emissivity == other.emissivity;
}

int inferredIntervalMs(const QVector<Sample> &samples)
{
    // Snapping keeps the steps in order, so the median of the snapped steps is the snapped median: a
    // count per interval does, without a copy of millions of steps.
    const QVector<int> &intervals = intervalsMs();
    QVector<qint64> counts(intervals.size(), 0);
    qint64 steps = 0;
    double lastStep = -1;
    int lastIndex = 0;
    for (int i = 1; i < samples.size(); ++i) {
        const double step = samples[i].key - samples[i - 1].key;
        if (!(step > 0))
            continue;
        // Steps repeat: most rows need no search.
        if (step != lastStep) {
            lastStep = step;
            lastIndex = nearestIntervalIndex(step * 1000);
        }
        ++counts[lastIndex];
        ++steps;
    }
    if (steps == 0)
        return 0;
    const qint64 median = (steps - 1) / 2;
    qint64 seen = 0;
    for (int i = 0; i < intervals.size(); ++i) {
        seen += counts[i];
        if (seen > median)
            return intervals[i];
    }
    return intervals.constLast();
}
