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

    // Start bit, data bits, parity bit and stop bits: 10 to 12 for the usual frames.
    int bitsPerCharacter() const { return 1 + dataBits + (parity == 'N' ? 0 : 1) + stopBits; }
    // The time one character takes on the line.
    qint64 characterNs() const { return baud > 0 ? qint64(bitsPerCharacter()) * 1000000000 / baud : 0; }

    // Reads a frame such as "8E1" into dataBits, parity and stopBits; false (and no change) otherwise.
    bool setFrame(const QString &frame)
    {
        const QString f = frame.toUpper();
        if (f.size() != 3 || (f.at(0) != QLatin1Char('7') && f.at(0) != QLatin1Char('8'))
            || !QStringLiteral("NEO").contains(f.at(1))
            || (f.at(2) != QLatin1Char('1') && f.at(2) != QLatin1Char('2')))
            return false;
        dataBits = f.at(0).digitValue();
        parity = f.at(1).toLatin1();
        stopBits = f.at(2).digitValue();
        return true;
    }

    // What a pseudo-terminal can tell apart: Linux keeps its baud rate and stop bits as set, but forces
    // eight data bits and no parity whatever the client asks, so those only a real adapter can check.
    bool matchesOverPty(const LineSettings &other) const
    {
        return baud == other.baud && stopBits == other.stopBits;
    }

    friend bool operator==(const LineSettings &a, const LineSettings &b)
    {
        return a.baud == b.baud && a.dataBits == b.dataBits && a.stopBits == b.stopBits
            && a.parity == b.parity;
    }
    friend bool operator!=(const LineSettings &a, const LineSettings &b) { return !(a == b); }
};

} // namespace sim
