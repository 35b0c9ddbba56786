#pragma once

#include <QString>

#include <optional>

class Settings;

// The stability indicator's band (°C either side of the set temperature, "StableBand") and window
// (seconds, "StableWindow"): the ranges the chart settings dialog offers and the store accepts.
inline constexpr double kMinStableBand = 0.01;
inline constexpr double kMaxStableBand = 10.0;
inline constexpr int kStableBandDecimals = 2;
inline constexpr double kDefaultStableBand = 0.1;
inline constexpr int kMinStableWindow = 1;
inline constexpr int kMaxStableWindow = 3600;
inline constexpr int kDefaultStableWindow = 30;

// The stored value, when the dialog can show it as it is: in range and, for the band, in whole
// hundredths.
std::optional<double> parseStableBand(const QString &text);
std::optional<int> parseStableWindow(const QString &text);

// The stored value, or the default for a missing or unusable one.
double stableBandFromText(const QString &text);
int stableWindowFromText(const QString &text);

// The band and window config.xml holds, each the default where it holds none that is usable.
struct StabilityLimits
{
    double band;
    int windowSeconds;
};
StabilityLimits storedStabilityLimits(const Settings &settings);
