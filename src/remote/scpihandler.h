#pragma once

struct ScpiUnit;
class ScpiSession;

// What the server's sessions hand every well-formed unit to, in the order of the client's message.
class ScpiHandler
{
public:
    virtual ~ScpiHandler() = default;
    // Queries answer through session.reserve() and session.answer(), now or later; errors go to
    // session.errors().
    virtual void execute(ScpiSession &session, const ScpiUnit &unit) = 0;
    virtual void sessionEnded(int /*id*/) { }
};
