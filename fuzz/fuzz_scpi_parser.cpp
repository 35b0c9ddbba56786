// libFuzzer target for the SCPI parser: any bytes as a client's line must parse without a crash or a
// hang, into units that are each either a known command or an error with a code, never both.

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const ScpiParser parser(kPatterns);
    const QByteArray line(reinterpret_cast<const char *>(data), int(size));
    for (const ScpiUnit &unit : parser.parse(line)) {
        if (unit.command < 0) {
            check(unit.error < 0 && !unit.errorText.isEmpty());
        } else {
            check(unit.command < kPatterns.size() && unit.error == 0);
        }
    }
    return 0;
}
