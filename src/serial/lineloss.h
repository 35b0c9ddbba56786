#pragma once

#include <QSerialPort>

// Whether `error` on the open `port` means its device is gone (an unplugged adapter, a vanished
// pseudo-terminal), as both port workers must tell apart from a passing read or write error.
bool portLineLost(const QSerialPort &port, QSerialPort::SerialPortError error);
