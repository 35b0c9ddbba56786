#pragma once

#include <QMap>
#include <QString>
#include <QVector>

// USB serial adapters come back under another number when re-plugged or after a restart (ttyUSB0 becomes
// ttyUSB1); udev also names each one under /dev/serial/by-id/ by make and serial number, and that name
// stays. The folder's links are read apart from the choice, so the choice is a pure function a test can
// hand links of its own.
namespace StablePortNames {

// Where udev keeps the stable names.
QString defaultFolder();

// A port as the system lists it.
struct Port
{
    QString name; // "ttyUSB0"
    QString location; // "/dev/ttyUSB0"
    QString description; // "FT232R USB UART"
};

// An entry of a port box.
struct Choice
{
    QString path; // what is opened and remembered
    QString text; // what the box shows
    QString detail; // what the list shows beside it
};

// The links in `folder` by the device each leads to (its canonical path); when several lead to one
// device, the first by name. Empty when the folder is missing, as on a machine without USB adapters.
QMap<QString, QString> readLinks(const QString &folder);

// Every listed port in the list's order: an adapter with a stable link under the link's name, with its
// plain name and description beside it; any other port as it is listed.
QVector<Choice> choices(const QVector<Port> &ports, const QMap<QString, QString> &links);

// The stable link of `port`, a listed name or a device path, when one leads to it; else `port`.
QString stablePath(const QString &port, const QMap<QString, QString> &links);

} // namespace StablePortNames
