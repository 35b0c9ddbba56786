#pragma once

struct ScpiUnit;
class ScpiClient;

// What the server's sessions hand every well-formed unit to, in the order of the client's message.
class ScpiHandler
{
public:
    virtual ~ScpiHandler() = default;
    // Queries answer through client.reserve() and client.answer(), now or later; errors go to
    // client.errors(). A sequential command holds the client until it is done.
    virtual void execute(ScpiClient &client, const ScpiUnit &unit) = 0;
    virtual void sessionStarted(ScpiClient & /*client*/) { }
    virtual void sessionEnded(int /*id*/) { }
};
