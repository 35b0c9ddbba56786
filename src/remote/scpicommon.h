#pragma once

#include <QStringList>
#include <QVector>

class ScpiClient;
struct ScpiParameter;

// IEEE 488.2's common commands and SCPI-1999's STATus subsystem, which concern the client's own status
// registers and queues rather than the station: *CLS, *ESE, *ESR?, *SRE, *STB?, *OPC, *OPC?, *WAI, *RST
// and STATus:OPERation, STATus:QUEStionable, STATus:PRESet. Every command of a client runs in order and
// a set point holds the client until its outcome, so an operation is complete when the next command runs.
// GUI thread only.
namespace ScpiCommon {

// The headers these commands answer to, for the server's parser; index i is command i below.
QStringList patterns();
// Carries out command `index` of patterns() for `client`; parameters as parsed.
void execute(ScpiClient &client, int index, const QVector<ScpiParameter> &parameters);

} // namespace ScpiCommon
