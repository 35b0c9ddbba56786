#pragma once

#include "remote/scpierrorqueue.h"
#include "remote/scpistatus.h"

#include <QByteArray>
#include <QString>

// One client as the commands see it: its error queue, its answers in the order of its queries, and a
// hold for a sequential command, whose client's next command waits until the command is done.
class ScpiClient
{
public:
    virtual ~ScpiClient() = default;

    virtual int id() const = 0;
    // Who the client is, for the operator: its address.
    virtual QString origin() const = 0;
    virtual ScpiErrorQueue &errors() = 0;
    virtual ScpiStatus &status() = 0;
    // Answers owed or not yet written: IEEE 488.2's message available.
    virtual bool messageAvailable() const = 0;
    // The place of the next answer in the order of the queries.
    virtual quint64 reserve() = 0;
    // Fills a reserved place; the answer goes out once every earlier one has.
    virtual void answer(quint64 slot, const QByteArray &text) = 0;
    void answerNow(const QByteArray &text) { answer(reserve(), text); }
    // The command under way is sequential: nothing more of the client's is taken until release().
    virtual void hold() = 0;
    virtual void release() = 0;
};
