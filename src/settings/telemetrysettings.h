#pragma once

#include "telemetry/telemetrypayloads.h"

class Settings;

// The station's telemetry settings, entries of the "Chart" element. Missing or unusable values read as
// their defaults: no broker (off), port 1883, the computer's host name as the station, prefix "ostrel",
// no remote set points.
TelemetryConfig readTelemetrySettings(const Settings &settings);
void storeTelemetrySettings(Settings &settings, const TelemetryConfig &config);
// The station name a computer gets until someone names it: its host name as a topic level.
QString defaultTelemetryStation();
