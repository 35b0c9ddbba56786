#pragma once

#include <QString>

namespace sim {

// Line settings of one side of a serial line, as plain numbers (no serial-port module needed).
struct LineSettings
{
    int baud = 9600;
    int dataBits = 8;
    int stopBits = 1;
    char parity = 'N'; // 'N', 'E' or 'O'

    // "9600 8N1"
    QString toString() const
    {
        return QStringLiteral("%1 %2%3%4").arg(baud).arg(dataBits).arg(QLatin1Char(parity)).arg(stopBits);
    }

    friend bool operator==(const LineSettings &a, const LineSettings &b)
    {
        return a.baud == b.baud && a.dataBits == b.dataBits && a.stopBits == b.stopBits
            && a.parity == b.parity;
    }
    friend bool operator!=(const LineSettings &a, const LineSettings &b) { return !(a == b); }
};

} // namespace sim
