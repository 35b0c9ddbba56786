#pragma once

#include "settings/telemetrysettings.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include <optional>

// The topics and the UTF-8 JSON bodies a station publishes. Pure: no QObject, no network, so the exact
// bytes subscribers parse are tested directly. Times are ISO 8601 with milliseconds and the UTC offset.
namespace TelemetryPayloads {

QByteArray topic(const TelemetryConfig &c, const char *leaf); // "<prefix>/<station>/<leaf>"
QString timestamp(const QDateTime &t); // 2026-12-09T14:03:07.123+01:00

struct Reading
{
    QDateTime ts;
    std::optional<double> temperature; // nullopt -> "temperature":null
    std::optional<double> setPoint;
    bool stable = false;
    double stableSeconds = 0;
    QString link; // open, silent, opening, reconnecting, closed, unconfirmed
};
// {"ts":…,"temperature":…,"setpoint":…,"unit":"C","stable":…,"stable_s":…,"link":…}
QByteArray telemetry(const Reading &r);

struct Status
{
    QString version, model, port;
    QDateTime since;
    QString mqtt; // the protocol spoken with the broker, "5" or "3.1.1"; left out when empty
};
// {"state":"online","version":…,"model":…,"port":…,"since":…,"mqtt":…}
QByteArray online(const Status &s);
QByteArray offline(); // {"state":"offline"}
// {"instance":…,"seq":N,"ts":…,"type":…, …fields}; the fixed keys win over fields of the same name.
// (station, instance, seq) names one event for ever: `instance` is the outbox's, made once per profile.
QByteArray event(const QDateTime &ts, quint64 seq, const QString &instance, const QString &type,
    const QJsonObject &fields);
// `payload`, an event(), with another seq and instance.
QByteArray renumbered(const QByteArray &payload, quint64 seq, const QString &instance);

} // namespace TelemetryPayloads
