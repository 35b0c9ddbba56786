#pragma once

#include <QString>

class RemoteControl;
class Station;
class TelemetryStation;

// A station with no window, as a production line runs it under a service manager: the link opened to
// the port, baud rate and model given or last used, SCPI and MQTT as the settings say, and every
// message on standard error. Ends cleanly on SIGTERM or SIGINT.
namespace Headless {

struct Options
{
    QString port; // empty: the one last opened
    QString baud;
    QString model;
};

// Runs the event loop until a signal ends it; the exit code. GUI thread, after the settings are loaded.
int run(Station &station, RemoteControl &remote, TelemetryStation &telemetry, const Options &options);

} // namespace Headless
