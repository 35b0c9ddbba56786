#pragma once

#include <QtGlobal>

// Whether the controller answering on the line is still the one the link was opened to. A controller
// that vanished and came back, or fell silent and answers again, may be another one at the same path,
// or ours restarted with its power-on set point; either would take our next set frame in its own wire
// scale. So after an interruption its first reading must report, in wire units, the set point it held
// before, or the one last sent to it while it was known to be ours (which it may have taken just before
// the line went). A set point sent after the interruption proves nothing: the controller under
// suspicion would only be repeating it. Anything else leaves it unconfirmed until someone who can see it
// vouches for it. GUI thread only.
class ControllerIdentity
{
public:
    enum class State {
        Confirmed,
        Checking, // interrupted: the next reading decides
        Unconfirmed, // reported a set point it did not hold; reported() says which
    };

    // The operator opened the link: whatever answers is taken as it is.
    void opened();
    // The line went, or the controller stopped answering, after it had reported a set point.
    void interrupted();
    // A set frame carrying `wire` went out; it counts only while the controller is known to be ours.
    void sent(qint16 wire);
    // The set point a valid reading reports; returns the state it leaves.
    State reading(qint16 setWire);
    // Someone who can see the controller says it is ours: it holds what it reported.
    void accept();

    State state() const { return m_state; }
    // Reported a set point it did not hold, and nobody has vouched for it since, whether it is silent
    // now or not: no set point may go to it.
    bool suspect() const { return m_suspect; }
    bool knowsHeld() const { return m_knowsHeld; }
    qint16 held() const { return m_held; }
    qint16 reported() const { return m_reported; }

private:
    bool mayHold(qint16 setWire) const;

    State m_state = State::Confirmed;
    bool m_suspect = false;
    bool m_knowsHeld = false;
    qint16 m_held = 0;
    bool m_hasSent = false;
    qint16 m_sent = 0;
    qint16 m_reported = 0;
};
