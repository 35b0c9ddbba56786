#pragma once

#include "serial/stableportnames.h"

#include <QSerialPort>
#include <QStringList>

// What the port and baud-rate boxes offer.
namespace PortChoices {

constexpr int kDefaultBaudIndex = 3; // 9600, also used when nothing is selected

// The rates from 1200 to 115200, as the boxes list them.
QStringList baudTexts();
QSerialPort::BaudRate baudForIndex(int index);
// The serial ports the system knows now, each adapter under its stable name when `stableFolder` has one.
QVector<StablePortNames::Choice> availablePorts(
    const QString &stableFolder = StablePortNames::defaultFolder());

} // namespace PortChoices
