#pragma once

#include <QSerialPort>
#include <QString>

// What the operator is told when a port does not open: which port, the system's reason and, when the
// system refused access, how to get it. Shown by the main window, hence its translation context.
QString openFailureText(const QString &portName, QSerialPort::SerialPortError error, const QString &reason,
    const QString &deviceGroup);

// The group owning the port's device node, whose members may use it; "dialout" when it cannot be told.
QString serialDeviceGroup(const QString &portName);
