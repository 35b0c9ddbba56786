#include "stabilitylimits.h"

#include "settings/settings.h"

#include <cmath>

std::optional<double> parseStableBand(const QString &text)
{
    bool ok = false;
    const double band = text.toDouble(&ok);
    if (!ok || !(band >= kMinStableBand && band <= kMaxStableBand))
        return std::nullopt;
    const double hundredths = band * 100.0;
    if (std::abs(hundredths - std::round(hundredths)) > 1e-6)
        return std::nullopt;
    return band;
}

std::optional<int> parseStableWindow(const QString &text)
{
    bool ok = false;
    const int seconds = text.toInt(&ok);
    if (!ok || seconds < kMinStableWindow || seconds > kMaxStableWindow)
        return std::nullopt;
    return seconds;
}

double stableBandFromText(const QString &text)
{
    return parseStableBand(text).value_or(kDefaultStableBand);
}

int stableWindowFromText(const QString &text)
{
    return parseStableWindow(text).value_or(kDefaultStableWindow);
}

StabilityLimits storedStabilityLimits(const Settings &settings)
{
    return {stableBandFromText(settings.value(settings.stableBandKey, QString())),
        stableWindowFromText(settings.value(settings.stableWindowKey, QString()))};
}
