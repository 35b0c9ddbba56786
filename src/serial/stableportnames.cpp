#include "stableportnames.h"

#include <QDir>
#include <QFileInfo>

namespace {

// A listed name stands for its device file.
QString devicePath(const QString &port)
{
    return port.contains(QLatin1Char('/')) ? port : QStringLiteral("/dev/") + port;
}

} // namespace

QString StablePortNames::defaultFolder()
{
    return QStringLiteral("/dev/serial/by-id");
}

QMap<QString, QString> StablePortNames::readLinks(const QString &folder)
{
    QMap<QString, QString> links;
    const QDir dir(folder);
    const QFileInfoList entries
        = dir.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &entry : entries) {
        if (!entry.isSymLink())
            continue;
        // A link to a device that is gone has no canonical path.
        const QString device = entry.canonicalFilePath();
        if (!device.isEmpty() && !links.contains(device))
            links.insert(device, entry.absoluteFilePath());
    }
    return links;
}

QVector<StablePortNames::Choice> StablePortNames::choices(
    const QVector<Port> &ports, const QMap<QString, QString> &links)
{
    QVector<Choice> list;
    list.reserve(ports.size());
    for (const Port &port : ports) {
        const QString link = links.value(port.location.isEmpty() ? devicePath(port.name) : port.location);
        if (link.isEmpty()) {
            list.append({port.name, port.name, port.description});
            continue;
        }
        QString detail = port.name;
        if (!port.description.isEmpty())
            detail += QStringLiteral(", ") + port.description;
        list.append({link, QFileInfo(link).fileName(), detail});
    }
    return list;
}

QString StablePortNames::stablePath(const QString &port, const QMap<QString, QString> &links)
{
    return links.value(devicePath(port), port);
}
