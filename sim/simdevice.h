#pragma once

#include "linesettings.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

namespace sim {

// One instrument behind a simulated line: turns the bytes a client sends into requests and replies.
// Knows nothing of ports, timing of the line or faults; called from the simulator's thread only.
class SimDevice
{
public:
    struct Exchange
    {
        QByteArray request;
        QByteArray reply; // empty: the device does not answer this request
        int delayMs = 0; // time the device itself takes over this answer, on top of the line's delay
    };

    virtual ~SimDevice() = default;

    // Bytes from the line in arrival order; returns each request they complete, with its reply.
    virtual QVector<Exchange> receive(const QByteArray &bytes) = 0;
    // The line settings the device is configured for; with others it receives only garbage.
    virtual LineSettings line() const = 0;
    // Whether the bytes would pass the client's reply check (used to keep injected garbage invalid).
    virtual bool isValidReply(const QByteArray &bytes) const = 0;
    // One-line summary for logs and the status command.
    virtual QString describe() const = 0;
    // Device-specific console commands; returns false for a command it does not know.
    virtual bool handleCommand(const QStringList &words, QString *response) = 0;
    // Help lines for those commands.
    virtual QStringList commandHelp() const = 0;
    // What the device sends of itself when it is due to (a reading for an instrument that pushes its
    // readings); empty for devices that only answer.
    virtual QByteArray unasked() { return {}; }
};

} // namespace sim
