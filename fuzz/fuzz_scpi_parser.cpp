// libFuzzer target for the SCPI parser: any bytes as a client's line must parse without a crash or a
// hang, into units that are each either a known command or an error with a code, never both; and a line
// must parse exactly as it does with each of IEEE 488.2's white-space bytes (00-09, 0B-20 hex) a space,
// so that no byte, a NUL least of all, cuts a command short.

#include "remote/scpiparser.h"

#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

const QStringList kPatterns
    = {"*IDN?", "*CLS", "*OPC?", "SYSTem:ERRor[:NEXT]?", "SYSTem:LINK?", "SYSTem:LINK:OPEN", "SOURce:SPOint",
        "SOURce:SPOint?", "SOURce:STABility:LIMit", "PROGram:STATe", "PROGram:READing"};

// The units as text, for comparing two parses.
QString described(const QVector<ScpiUnit> &units)
{
    QString out;
    for (const ScpiUnit &unit : units) {
        out += QString::number(unit.command) + QLatin1Char('/') + QString::number(unit.error)
            + QLatin1Char('(');
        for (const ScpiParameter &p : unit.parameters)
            out += QString::number(int(p.kind)) + QLatin1Char(':') + p.text + QLatin1Char(':')
                + QString::number(p.decimals) + p.suffix + QLatin1Char('|');
        out += QLatin1Char(')');
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const ScpiParser parser(kPatterns);
    const QByteArray line(reinterpret_cast<const char *>(data), int(size));
    const QVector<ScpiUnit> units = parser.parse(line);
    QByteArray spaced = line;
    for (char &c : spaced) {
        if (uchar(c) <= 0x20 && c != '\n')
            c = ' ';
    }
    check(described(units) == described(parser.parse(spaced)));
    for (const ScpiUnit &unit : units) {
        if (unit.command < 0) {
            check(unit.error < 0 && !unit.errorText.isEmpty());
        } else {
            check(unit.command < kPatterns.size() && unit.error == 0);
        }
    }
    return 0;
}
