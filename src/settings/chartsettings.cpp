#include "chartsettings.h"

#include "recordestimate.h"
#include "settings.h"

ChartSettings readChartSettings(const Settings &settings)
{
    ChartSettings chart;
    const QString thousands = settings.value(settings.chartLineCacheKey, QStringLiteral("1000"));
    // Clamped before multiplying, so no stored number can overflow.
    chart.cacheSize = int(qBound<qint64>(0, thousands.toLongLong(), kMaxCacheThousands) * 1000);
    chart.sampleIntervalMs = settings.value(settings.chartLineFpsKey, QStringLiteral("10")).toInt();
    return chart;
}
