#include "recordestimate.h"

#include <QCoreApplication>

#include <algorithm>
#include <limits>

namespace {

const quint32 kBytesPerPoint = 16;
const quint32 kMiB = 1048576;

// The unit words are marked where they are used, so the translation tools find them.
QString word(const char *text)
{
    return QCoreApplication::translate("ChartSettingsDialog", text);
}

} // namespace

const QStringList &intervalNames()
{
    static const QStringList names {
        QStringLiteral("10ms"),
        QStringLiteral("20ms"),
        QStringLiteral("50ms"),
        QStringLiteral("100ms"),
        QStringLiteral("200ms"),
        QStringLiteral("500ms"),
        QStringLiteral("1s"),
        QStringLiteral("2s"),
        QStringLiteral("5s"),
        QStringLiteral("10s"),
    };
    return names;
}

const QVector<int> &intervalsMs()
{
    static const QVector<int> ms = [] {
        QVector<int> list;
        for (const QString &name : intervalNames())
            list.append(intervalToMs(name));
        return list;
    }();
    return ms;
}

int intervalToMs(const QString &name)
{
    QString rest = name;
    if (name.contains(QLatin1String("ms")))
        return rest.remove(QLatin1String("ms")).toInt();
    if (name.contains(QLatin1Char('s')))
        return rest.remove(QLatin1Char('s')).toInt() * 1000;
    return -1;
}

int indexOfInterval(int ms)
{
    return intervalsMs().indexOf(ms);
}

int nearestIntervalIndex(double ms)
{
    const QVector<int> &intervals = intervalsMs();
    // The first interval not below ms, or the one before it if that one is nearer.
    const int above = int(std::lower_bound(intervals.cbegin(), intervals.cend(), ms) - intervals.cbegin());
    if (above == 0)
        return 0;
    if (above == intervals.size() || ms - intervals[above - 1] <= intervals[above] - ms)
        return above - 1;
    return above;
}

namespace {

QString spanText(quint32 seconds, bool openingStyle)
{
    const quint32 d = seconds / 86400;
    const quint32 h = seconds % 86400 / 3600;
    const quint32 m = seconds % 3600 / 60;
    const quint32 s = seconds % 60;
    if (seconds >= 86400)
        return QString::number(d) + word(QT_TRANSLATE_NOOP("ChartSettingsDialog", "天,")) + QString::number(h)
            + word(QT_TRANSLATE_NOOP("ChartSettingsDialog", "时,")) + QString::number(m)
            + (openingStyle ? word(QT_TRANSLATE_NOOP("ChartSettingsDialog", "分,"))
                            : word(QT_TRANSLATE_NOOP("ChartSettingsDialog", "分")));
    const QString last = QString::number(s)
        + (openingStyle ? word(QT_TRANSLATE_NOOP("ChartSettingsDialog", "秒,"))
                        : word(QT_TRANSLATE_NOOP("ChartSettingsDialog", "秒")));
    if (seconds >= 3600)
        return QString::number(h) + word(QT_TRANSLATE_NOOP("ChartSettingsDialog", "时,")) + QString::number(m)
            + word(QT_TRANSLATE_NOOP("ChartSettingsDialog", "分,")) + last;
    if (seconds >= 60)
        return QString::number(m) + word(QT_TRANSLATE_NOOP("ChartSettingsDialog", "分,")) + last;
    return last;
}

} // namespace

QString durationText(int thousands, const QString &intervalName, bool openingStyle)
{
    const int interval = intervalToMs(intervalName);
    if (interval <= 0)
        return QString();
    const quint32 points = quint32(thousands) * 1000u;
    // Single precision on purpose: these are the figures the operator has always been shown.
    return spanText(quint32(float(points) / (1000.0f / float(interval))), openingStyle);
}

QString secondsText(qint64 seconds)
{
    return spanText(quint32(qBound<qint64>(0, seconds, std::numeric_limits<quint32>::max())), false);
}

std::optional<RecordSetting> recordSettingFor(qint64 durationMs, int intervalMs)
{
    for (const int interval : intervalsMs()) {
        if (interval < intervalMs)
            continue;
        // Both ends of the span are samples.
        const qint64 samples = (durationMs + interval - 1) / interval + 1;
        const qint64 thousands = qMax<qint64>(kMinCacheThousands, (samples + 999) / 1000);
        if (thousands <= kMaxCacheThousands)
            return RecordSetting {interval, int(thousands)};
    }
    return std::nullopt;
}

QString memoryText(int thousands)
{
    const quint32 bytes = quint32(thousands) * 1000u * kBytesPerPoint;
    if (bytes < kMiB)
        return QString::number(double(float(double(bytes) / 1024.0)), 'f', 1) + QStringLiteral("KB");
    return QString::number(double(float(double(bytes) / double(kMiB))), 'f', 2) + QStringLiteral("MB");
}
