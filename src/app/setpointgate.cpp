#include "setpointgate.h"

QString SetPointGate::refusal(BlackbodySession::State link, bool runRunning)
{
    using State = BlackbodySession::State;
    if (runRunning)
        return tr("校准进行中，设定点由校准程序发送");
    switch (link) {
    case State::Closed:
        return tr("串口未打开，请先打开串口");
    case State::Opening:
        return tr("正在打开串口，请稍候");
    case State::Reconnecting:
        return tr("连接已断开，正在重新连接");
    case State::Unconfirmed:
        return tr("控制器未确认，请先确认是否为同一台黑体");
    case State::Open:
    case State::Silent:
        break;
    }
    return QString();
}
