#pragma once

#include "control/linkpolicy.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

struct BlackbodyModel;

// Judges a set point that arrives on <prefix>/<station>/cmd/setpoint before it goes to the link, by the
// rules the window and SCPI apply: the link policy and the model's range and decimals. Pure, so every
// refusal is tested as data.
class TelemetryCommand
{
public:
    // How the command arrived.
    struct Arrival
    {
        bool retained = false;
        // Over MQTT 5 with Retain As Published, the retain flag is the publisher's, for a live retained
        // publish too; over 3.1.1 the broker clears it on a live one, so only the command's own time can
        // tell an old command from a new one.
        bool retainFlagReliable = true;
        QDateTime at; // when it arrived
    };

    struct Verdict
    {
        bool accepted = false;
        double value = 0;
        // When refused, in words for the event: "retained", "not a number", "not timestamped", "stale",
        // "out of range", "link not open", "controller unconfirmed", "run in progress".
        QString reason;
    };

    // How far a command's "ts" may lie from its arrival.
    static constexpr qint64 kTimestampSkewMs = 10000;

    // A number, alone or as {"value": 41, "ts": "2026-12-09T14:03:07+01:00"}, with white space around it
    // and nothing else: every byte is judged, a NUL as any other. A retained message is always refused:
    // it would set the temperature again at every reconnect, long after it was meant. Where the retain
    // flag cannot be trusted, only the object form with a "ts" within kTimestampSkewMs of the arrival is
    // taken; a "ts" given is checked alike over MQTT 5.
    static Verdict judge(const QByteArray &payload, const Arrival &arrival, const BlackbodyModel &model,
        const LinkSituation &situation);
    // The link policy's refusal in the event's words; empty for none.
    static QString reason(LinkPolicy::Refusal refusal);
};
