#include "telemetrysettings.h"

#include "settings/settings.h"

#include <QSysInfo>

#include <algorithm>

namespace {

const QString kHost = QStringLiteral("MqttHost");
const QString kPort = QStringLiteral("MqttPort");
const QString kStation = QStringLiteral("MqttStation");
const QString kPrefix = QStringLiteral("MqttPrefix");
const QString kUser = QStringLiteral("MqttUser");
const QString kCaFile = QStringLiteral("MqttCaFile");
const QString kCommands = QStringLiteral("MqttCommands");
const QString kProtocol = QStringLiteral("MqttProtocol");
const QString k311 = QStringLiteral("3.1.1");

bool isTopicSpecial(QChar c)
{
    return c == QLatin1Char('+') || c == QLatin1Char('#') || c == QLatin1Char('/') || c.isNull();
}

bool flag(const Settings &settings, const QString &key)
{
    const QString text = settings.value(key, QString()).trimmed().toLower();
    return text == QLatin1String("1") || text == QLatin1String("true");
}

} // namespace

bool TelemetryConfig::isTopicLevel(const QString &level)
{
    return !level.isEmpty() && std::none_of(level.cbegin(), level.cend(), isTopicSpecial);
}

QString TelemetryConfig::toTopicLevel(const QString &text)
{
    QString out = text;
    std::replace_if(out.begin(), out.end(), isTopicSpecial, QLatin1Char('_'));
    return out;
}

QString defaultTelemetryStation(const QString &profile)
{
    QString station = TelemetryConfig::toTopicLevel(QSysInfo::machineHostName());
    if (station.isEmpty())
        station = QStringLiteral("station");
    // Profile names are safe folder names, so also one topic level.
    return profile.isEmpty() ? station : station + QLatin1Char('-') + profile;
}

TelemetryConfig readTelemetrySettings(const Settings &settings, QStringList *unusable)
{
    const auto unusableValue = [&settings, unusable](const QString &key) {
        if (unusable)
            *unusable << QStringLiteral("%1 \"%2\"").arg(key, settings.value(key, QString()));
    };
    TelemetryConfig config;
    config.host = settings.value(kHost, QString()).trimmed();
    bool ok = false;
    const QString portText = settings.value(kPort, QString()).trimmed();
    const int port = portText.toInt(&ok);
    if (ok && port > 0 && port <= 65535)
        config.port = quint16(port);
    else if (!portText.isEmpty())
        unusableValue(kPort);
    // A level that would split or widen the topics is not a name.
    const QString station = settings.value(kStation, QString()).trimmed();
    config.station
        = TelemetryConfig::isTopicLevel(station) ? station : defaultTelemetryStation(settings.profile);
    if (!station.isEmpty() && !TelemetryConfig::isTopicLevel(station))
        unusableValue(kStation);
    const QString prefix = settings.value(kPrefix, QString()).trimmed();
    if (TelemetryConfig::isTopicLevel(prefix))
        config.prefix = prefix;
    else if (!prefix.isEmpty())
        unusableValue(kPrefix);
    const QString protocol = settings.value(kProtocol, QString()).trimmed();
    if (!protocol.isEmpty() && protocol != k311 && protocol != QLatin1String("5"))
        unusableValue(kProtocol);
    config.user = settings.value(kUser, QString());
    config.password = settings.value(settings.mqttPasswordKey, QString());
    config.caFile = settings.value(kCaFile, QString()).trimmed();
    config.commands = flag(settings, kCommands);
    config.mqtt311 = protocol == k311;
    return config;
}

void storeTelemetrySettings(Settings &settings, const TelemetryConfig &config)
{
    settings.setValue(kHost, config.host);
    settings.setValue(kPort, QString::number(config.port));
    settings.setValue(kStation, config.station);
    settings.setValue(kPrefix, config.prefix);
    settings.setValue(kUser, config.user);
    settings.setValue(settings.mqttPasswordKey, config.password);
    settings.setValue(kCaFile, config.caFile);
    settings.setValue(kCommands, config.commands ? QStringLiteral("1") : QStringLiteral("0"));
    settings.setValue(kProtocol, config.mqtt311 ? k311 : QStringLiteral("5"));
}
