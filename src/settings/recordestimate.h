#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

// Record intervals and the duration and memory estimates of the chart settings dialog, without widgets.

// The ten record intervals in the order the dialog lists them: "10ms" ... "10s". Never translated.
const QStringList &intervalNames();

// The same intervals in milliseconds, in the same (rising) order.
const QVector<int> &intervalsMs();

// "…ms" gives the number before it, "…s" that number × 1000, anything else -1; a number that is not one
// reads as 0.
int intervalToMs(const QString &name);

// The first index of intervalNames() whose interval is `ms`, or -1.
int indexOfInterval(int ms);

// The index of the interval nearest to `ms`; the shorter one on a tie.
int nearestIntervalIndex(double ms);

// The capacities the dialog offers, in thousands of samples.
inline constexpr int kMinCacheThousands = 1;
inline constexpr int kMaxCacheThousands = 10000;

// How long `thousands` × 1000 samples last at the named interval, as "D天,H时,M分," from a day on,
// "H时,M分,S秒," from an hour, "M分,S秒," from a minute, else "S秒,". Without the opening style the last
// unit word loses its comma. Empty for an interval that is not one. Unit words are translated in the
// context "ChartSettingsDialog".
QString durationText(int thousands, const QString &intervalName, bool openingStyle);

// `seconds` in the words durationText() uses, without the opening style.
QString secondsText(qint64 seconds);

// The chart setting a recording of `durationMs` fits in whole: the smallest capacity at `intervalMs`, or
// failing that at the nearest longer interval the dialog lists. Nothing when even the longest interval
// at the largest capacity is too short.
struct RecordSetting
{
    int intervalMs = 0;
    int thousands = 0;
};
std::optional<RecordSetting> recordSettingFor(qint64 durationMs, int intervalMs);

// Memory of `thousands` × 1000 samples at 16 bytes each: "15.6KB" below 1 MiB, else "15.26MB".
QString memoryText(int thousands);
