#include "scpistatus.h"

#include <utility>

void ScpiStatus::Register::update(quint16 now)
{
    event |= now & ~condition;
    condition = now;
}

quint16 ScpiStatus::Register::takeEvent()
{
    return std::exchange(event, quint16(0));
}

quint8 ScpiStatus::statusByte(bool errorQueued, quint8 eventStatus, bool messageAvailable) const
{
    quint8 stb = 0;
    if (errorQueued)
        stb |= ErrorQueued;
    if (questionable.event & questionable.enable)
        stb |= QuestionableSummary;
    if (messageAvailable)
        stb |= MessageAvailable;
    if (eventStatus & eventEnable)
        stb |= EventSummary;
    if (operation.event & operation.enable)
        stb |= OperationSummary;
    if (stb & serviceEnable & ~RequestService)
        stb |= RequestService;
    return stb;
}

void ScpiStatus::clearEvents()
{
    operation.event = 0;
    questionable.event = 0;
}

void ScpiStatus::preset()
{
    operation.enable = 0;
    questionable.enable = 0;
}
