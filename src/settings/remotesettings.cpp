#include "remotesettings.h"

#include "settings/settings.h"

namespace {

const QString kEnabled = QStringLiteral("RemoteEnabled");
const QString kPort = QStringLiteral("RemotePort");
const QString kListen = QStringLiteral("RemoteListen");
const QString kAllow = QStringLiteral("RemoteAllow");
const QString kWrites = QStringLiteral("RemoteWrites");
const QString kIdle = QStringLiteral("RemoteIdleTimeout");
const QString kNetwork = QStringLiteral("network");

bool flag(const Settings &settings, const QString &key)
{
    const QString text = settings.value(key, QString()).trimmed().toLower();
    return text == QLatin1String("1") || text == QLatin1String("true");
}

} // namespace

RemoteSettings readRemoteSettings(const Settings &settings, QStringList *unusable)
{
    RemoteSettings remote;
    remote.enabled = flag(settings, kEnabled);
    bool ok = false;
    const QString portText = settings.value(kPort, QString()).trimmed();
    const int port = portText.toInt(&ok);
    if (ok && port > 0 && port <= 65535)
        remote.port = quint16(port);
    else if (!portText.isEmpty() && unusable)
        *unusable << QStringLiteral("%1 \"%2\"").arg(kPort, portText);
    const QString idleText = settings.value(kIdle, QString()).trimmed();
    const int idle = idleText.toInt(&ok);
    if (ok && idle >= 0)
        remote.idleTimeoutSeconds = idle;
    else if (!idleText.isEmpty() && unusable)
        *unusable << QStringLiteral("%1 \"%2\"").arg(kIdle, idleText);
    remote.network = settings.value(kListen, QString()).trimmed().toLower() == kNetwork;
    remote.allow = settings.value(kAllow, QString()).trimmed();
    remote.writes = flag(settings, kWrites);
    return remote;
}

void storeRemoteSettings(Settings &settings, const RemoteSettings &remote)
{
    settings.setValue(kEnabled, remote.enabled ? QStringLiteral("1") : QStringLiteral("0"));
    settings.setValue(kPort, QString::number(remote.port));
    settings.setValue(kListen, remote.network ? kNetwork : QStringLiteral("local"));
    settings.setValue(kAllow, remote.allow);
    settings.setValue(kWrites, remote.writes ? QStringLiteral("1") : QStringLiteral("0"));
    settings.setValue(kIdle, QString::number(remote.idleTimeoutSeconds));
}
