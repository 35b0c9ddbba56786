#pragma once

#include "control/linkpolicy.h"

#include <QByteArray>
#include <QString>

struct BlackbodyModel;

// Judges a set point that arrives on <prefix>/<station>/cmd/setpoint before it goes to the link, by the
// rules the window and SCPI apply: the link policy and the model's range and decimals. Pure, so every
// refusal is tested as data.
class TelemetryCommand
{
public:
    struct Verdict
    {
        bool accepted = false;
        double value = 0;
        // When refused, in words for the event: "retained", "not a number", "out of range",
        // "link not open", "controller unconfirmed", "run in progress".
        QString reason;
    };

    // A JSON number or the same as plain text, white space around it allowed. A retained message is
    // always refused: it would set the temperature again at every reconnect, long after it was meant.
    static Verdict judge(const QByteArray &payload, bool retained, const BlackbodyModel &model,
        const LinkSituation &situation);
    // The link policy's refusal in the event's words; empty for none.
    static QString reason(LinkPolicy::Refusal refusal);
};
