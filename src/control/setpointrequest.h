#pragma once

#include <QString>
#include <QtGlobal>

// Who asked for a set point, so that each asker hears its own answer.
enum class Requester { Window, Scpi, Mqtt, Run };

// One request for a set point as the link carries it: numbered by the link, so that an asker can tell
// its own outcome from another's. `origin` says more about who asked (a remote client's address).
struct SetPointRequest
{
    quint64 id = 0;
    double celsius = 0;
    Requester requester = Requester::Window;
    QString origin;
};

// What became of a request. Refused: the controller answered with another set point. NotConfirmed: no
// timely answer, so nobody knows. Superseded: a newer request took its place before it was settled.
enum class SetPointOutcome { Confirmed, Refused, NotConfirmed, Superseded };
