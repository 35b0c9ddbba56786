#include "scpicommon.h"

#include "remote/scpiclient.h"
#include "remote/scpiparser.h"

#include <cmath>

namespace {

enum Command {
    Cls,
    Ese,
    EseQuery,
    EsrQuery,
    Sre,
    SreQuery,
    StbQuery,
    Opc,
    OpcQuery,
    Wai,
    Rst,
    OperationCondition,
    OperationEvent,
    OperationEnable,
    OperationEnableQuery,
    QuestionableCondition,
    QuestionableEvent,
    QuestionableEnable,
    QuestionableEnableQuery,
    Preset,
};

// In the order of Command.
const char *const kPatterns[] = {
    "*CLS",
    "*ESE",
    "*ESE?",
    "*ESR?",
    "*SRE",
    "*SRE?",
    "*STB?",
    "*OPC",
    "*OPC?",
    "*WAI",
    "*RST",
    "STATus:OPERation:CONDition?",
    "STATus:OPERation[:EVENt]?",
    "STATus:OPERation:ENABle",
    "STATus:OPERation:ENABle?",
    "STATus:QUEStionable:CONDition?",
    "STATus:QUEStionable[:EVENt]?",
    "STATus:QUEStionable:ENABle",
    "STATus:QUEStionable:ENABle?",
    "STATus:PRESet",
};
static_assert(std::size(kPatterns) == Preset + 1, "one pattern per command");

bool takesMask(int command)
{
    return command == Ese || command == Sre || command == OperationEnable || command == QuestionableEnable;
}

// A register's mask: a whole number from 0 to `highest`; the error is the client's when not.
bool readMask(ScpiClient &client, const QVector<ScpiParameter> &parameters, int highest, int *mask)
{
    if (parameters.isEmpty()) {
        client.errors().push(-109, QStringLiteral("Missing parameter"));
        return false;
    }
    if (parameters.size() > 1) {
        client.errors().push(-108, QStringLiteral("Parameter not allowed"));
        return false;
    }
    const ScpiParameter &p = parameters.at(0);
    if (p.kind != ScpiParameter::Kind::Number || !p.suffix.isEmpty()) {
        client.errors().push(-104, QStringLiteral("Data type error"));
        return false;
    }
    // IEEE 488.2 rounds a decimal mask to the nearest whole number.
    const double rounded = std::round(p.number);
    if (rounded < 0 || rounded > highest) {
        client.errors().push(-222, QStringLiteral("Data out of range"));
        return false;
    }
    *mask = int(rounded);
    return true;
}

} // namespace

QStringList ScpiCommon::patterns()
{
    QStringList list;
    for (const char *pattern : kPatterns)
        list << QString::fromLatin1(pattern);
    return list;
}

void ScpiCommon::execute(ScpiClient &client, int index, const QVector<ScpiParameter> &parameters)
{
    const auto answer = [&client](int value) { client.answerNow(QByteArray::number(value)); };
    if (!takesMask(index) && !parameters.isEmpty()) {
        client.errors().push(-108, QStringLiteral("Parameter not allowed"));
        return;
    }
    ScpiStatus &status = client.status();
    // OPERation's and QUEStionable's commands are the same four, each on its own register.
    ScpiStatus::Register &reg = index >= QuestionableCondition && index <= QuestionableEnableQuery
        ? status.questionable
        : status.operation;
    int mask = 0;
    switch (Command(index)) {
    case Cls:
        client.errors().clear();
        status.clearEvents();
        break;
    case Ese:
        if (readMask(client, parameters, 255, &mask))
            status.eventEnable = quint8(mask);
        break;
    case EseQuery:
        answer(status.eventEnable);
        break;
    case EsrQuery:
        answer(client.errors().takeEventStatus());
        break;
    case Sre:
        // Bit 6 is the request itself and cannot be enabled.
        if (readMask(client, parameters, 255, &mask))
            status.serviceEnable = quint8(mask & ~ScpiStatus::RequestService);
        break;
    case SreQuery:
        answer(status.serviceEnable);
        break;
    case StbQuery:
        answer(status.statusByte(
            client.errors().size() > 0, client.errors().eventStatus(), client.messageAvailable()));
        break;
    case Opc:
        // Everything before it is done by now: the commands run one after another.
        client.errors().raise(ScpiErrorQueue::OperationComplete);
        break;
    case OpcQuery:
        answer(1);
        break;
    case Wai:
        break;
    case Rst:
        // A client sets nothing of its own that a reset could take back; the station's set point,
        // recording, runs and limits are the operator's and stay as they are.
        break;
    case OperationCondition:
    case QuestionableCondition:
        answer(reg.condition);
        break;
    case OperationEvent:
    case QuestionableEvent:
        answer(reg.takeEvent());
        break;
    case OperationEnable:
    case QuestionableEnable:
        if (readMask(client, parameters, 32767, &mask))
            reg.enable = quint16(mask);
        break;
    case OperationEnableQuery:
    case QuestionableEnableQuery:
        answer(reg.enable);
        break;
    case Preset:
        status.preset();
        break;
    }
}
