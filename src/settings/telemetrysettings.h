#pragma once

#include <QString>
#include <QStringList>

class Settings;

// What the settings hold for publishing to the plant's MQTT broker.
struct TelemetryConfig
{
    QString host; // empty = off
    quint16 port = 1883; // 8883 is the usual TLS port
    QString station; // topic level: no '+', '#', '/', NUL, not empty
    QString prefix = QStringLiteral("ostrel");
    QString user, password, caFile; // caFile non-empty = TLS
    bool commands = false; // subscribe <p>/cmd/setpoint
    // Speak MQTT 3.1.1 rather than 5, for a broker that knows no better; set points then need a time.
    bool mqtt311 = false;

    static bool isTopicLevel(const QString &level); // non-empty, none of + # / NUL
    static QString toTopicLevel(const QString &text); // those replaced by '_' (for the host name default)

    bool operator==(const TelemetryConfig &o) const
    {
        return host == o.host && port == o.port && station == o.station && prefix == o.prefix
            && user == o.user && password == o.password && caFile == o.caFile && commands == o.commands
            && mqtt311 == o.mqtt311;
    }
};

// The station's telemetry settings, entries of the "Chart" element. Missing values read as their
// defaults: no broker (off), port 1883, the station name defaultTelemetryStation() gives the settings'
// profile, prefix "ostrel", MQTT 5,
// no remote set points. A value that is there but cannot be used (a port out of range, a station or
// prefix that is not one topic level) is named in `unusable`: reporting then stays off rather than
// publish, and take commands, under another identity.
TelemetryConfig readTelemetrySettings(const Settings &settings, QStringList *unusable = nullptr);
void storeTelemetrySettings(Settings &settings, const TelemetryConfig &config);
// The station name a profile gets until someone names it: the computer's host name as a topic level, and
// "-<profile>" after it for any but the default profile, so two stations of one computer differ.
QString defaultTelemetryStation(const QString &profile = QString());
