#include "setpointgate.h"

SetPointGate::Refusal SetPointGate::check(BlackbodySession::State link, bool runRunning)
{
    using State = BlackbodySession::State;
    if (runRunning)
        return Refusal::RunInProgress;
    switch (link) {
    case State::Closed:
        return Refusal::Closed;
    case State::Opening:
        return Refusal::Opening;
    case State::Reconnecting:
        return Refusal::Reconnecting;
    case State::Unconfirmed:
        return Refusal::Unconfirmed;
    case State::Open:
    case State::Silent:
        break;
    }
    return Refusal::None;
}

QString SetPointGate::refusal(BlackbodySession::State link, bool runRunning)
{
    switch (check(link, runRunning)) {
    case Refusal::RunInProgress:
        return tr("校准进行中，设定点由校准程序发送");
    case Refusal::Closed:
        return tr("串口未打开，请先打开串口");
    case Refusal::Opening:
        return tr("正在打开串口，请稍候");
    case Refusal::Reconnecting:
        return tr("连接已断开，正在重新连接");
    case Refusal::Unconfirmed:
        return tr("控制器未确认，请先确认是否为同一台黑体");
    case Refusal::None:
        break;
    }
    return QString();
}
