#include "rememberedlink.h"

#include "settings/settings.h"

const QString RememberedLink::portKey = QStringLiteral("LastPort");
const QString RememberedLink::baudKey = QStringLiteral("LastBaud");
const QString RememberedLink::modelKey = QStringLiteral("LastModel");

void RememberedLink::store(Settings &settings) const
{
    settings.setValue(portKey, port);
    settings.setValue(baudKey, baud);
    settings.setValue(modelKey, model);
}

std::optional<RememberedLink> RememberedLink::restorable(const Settings &settings,
    const QStringList &listedPorts, const QStringList &bauds, const QStringList &models,
    const std::function<bool(const QString &)> &exists)
{
    RememberedLink link {settings.value(portKey, QString()), settings.value(baudKey, QString()),
        settings.value(modelKey, QString())};
    if (link.port.isEmpty() || !bauds.contains(link.baud) || !models.contains(link.model))
        return std::nullopt;
    const bool typedPath = link.port.contains(QLatin1Char('/'));
    if (!listedPorts.contains(link.port) && !(typedPath && exists(link.port)))
        return std::nullopt;
    return link;
}
