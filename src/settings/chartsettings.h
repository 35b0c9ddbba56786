#pragma once

class Settings;

// The chart's stored settings as the chart takes them.
struct ChartSettings
{
    // Samples a recording holds: the stored thousands, clamped to what the dialog offers before
    // multiplying; 0 for a text that is no number.
    int cacheSize = 0;
    // Milliseconds between samples; 0 for a text that is no number.
    int sampleIntervalMs = 0;
};

ChartSettings readChartSettings(const Settings &settings);
