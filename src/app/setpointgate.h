#pragma once

#include "control/blackbodysession.h"

#include <QCoreApplication>

// When the operator may send a set point: only over a link that is open and answering as the
// controller it was opened for, and not while a run sends its own. The window, SCPI and MQTT paths all
// ask here. GUI thread only.
class SetPointGate
{
    Q_DECLARE_TR_FUNCTIONS(SetPointGate)

public:
    enum class Refusal { None, RunInProgress, Closed, Opening, Reconnecting, Unconfirmed };

    static Refusal check(BlackbodySession::State link, bool runRunning);
    // Why 设置温度 cannot be used now, in the operator's language; empty when it can.
    static QString refusal(BlackbodySession::State link, bool runRunning);
};
