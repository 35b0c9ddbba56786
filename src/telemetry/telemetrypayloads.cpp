#include "telemetrypayloads.h"

#include <QJsonDocument>
#include <QJsonValue>

#include <algorithm>

namespace TelemetryPayloads {

namespace {

QJsonValue number(const std::optional<double> &v)
{
    // JSON has no NaN or infinity: a value without meaning is sent as null, as a missing one is.
    return v && qIsFinite(*v) ? QJsonValue(*v) : QJsonValue(QJsonValue::Null);
}

QByteArray compact(const QJsonObject &o)
{
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

} // namespace

QByteArray topic(const TelemetryConfig &c, const char *leaf)
{
    return (c.prefix + QLatin1Char('/') + c.station + QLatin1Char('/') + QLatin1String(leaf)).toUtf8();
}

QString timestamp(const QDateTime &t)
{
    // Qt::ISODateWithMs writes "Z" for UTC; subscribers are promised a numeric offset every time.
    if (!t.isValid())
        return QString();
    const QDateTime local = t.toOffsetFromUtc(t.offsetFromUtc());
    const int offset = local.offsetFromUtc();
    const int minutes = qAbs(offset) / 60;
    return local.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"))
        + QString::asprintf("%c%02d:%02d", offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
}

QByteArray telemetry(const Reading &r)
{
    return compact({
        {QStringLiteral("ts"), timestamp(r.ts)},
        {QStringLiteral("temperature"), number(r.temperature)},
        {QStringLiteral("setpoint"), number(r.setPoint)},
        {QStringLiteral("unit"), QStringLiteral("C")},
        {QStringLiteral("stable"), r.stable},
        {QStringLiteral("stable_s"), number(r.stableSeconds)},
        {QStringLiteral("link"), r.link},
    });
}

QByteArray online(const Status &s)
{
    QJsonObject o {
        {QStringLiteral("state"), QStringLiteral("online")},
        {QStringLiteral("version"), s.version},
        {QStringLiteral("model"), s.model},
        {QStringLiteral("port"), s.port},
        {QStringLiteral("since"), timestamp(s.since)},
    };
    if (!s.mqtt.isEmpty())
        o.insert(QStringLiteral("mqtt"), s.mqtt);
    return compact(o);
}

QByteArray offline()
{
    return compact({{QStringLiteral("state"), QStringLiteral("offline")}});
}

QByteArray event(
    const QDateTime &ts, quint64 seq, const QString &instance, const QString &type, const QJsonObject &fields)
{
    QJsonObject o = fields;
    o.insert(QStringLiteral("ts"), timestamp(ts));
    // A double holds every seq a station can reach exactly (2^53), and JSON readers expect a number.
    o.insert(QStringLiteral("seq"), double(seq));
    o.insert(QStringLiteral("instance"), instance);
    o.insert(QStringLiteral("type"), type);
    return compact(o);
}

QByteArray renumbered(const QByteArray &payload, quint64 seq, const QString &instance)
{
    QJsonObject o = QJsonDocument::fromJson(payload).object();
    o.insert(QStringLiteral("seq"), double(seq));
    o.insert(QStringLiteral("instance"), instance);
    return compact(o);
}

} // namespace TelemetryPayloads
