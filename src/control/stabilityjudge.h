#pragma once

#include <QString>
#include <QtGlobal>

// Says whether the blackbody holds its set temperature: stable once the accepted readings have covered
// the last window with no gap over kMaxGapMs, each within ±band of the set temperature read back in the
// same reply (inclusive, with kEdgeTolerance for the single-precision readings).
// A gap, a reading outside the band or a change of the read-back set temperature restarts the window.
// A reading the jump filter held back is not judged, but it shows the link is alive, so it closes a gap.
// GUI thread only; times are monotonic milliseconds.
class StabilityJudge
{
public:
    static constexpr qint64 kMaxGapMs = 1500;
    // Far below the finest wire unit (0.01 °C), far above single-precision error at 1000 °C.
    static constexpr double kEdgeTolerance = 1e-4;

    enum class State {
        Unknown, // no reading since the link opened or readings stopped
        Settling,
        Stable, // since stableSince()
    };

    // A narrower band restarts the window, since the readings so far were judged against the wider one;
    // a wider band or another length keeps its start, and a longer window ends a stability it no longer
    // covers at once.
    void setLimits(double band, qint64 windowMs);
    // A reply of the poll: `accepted` is false when the jump filter held `current` back. True exactly
    // when this reading made the state Stable.
    bool reading(qint64 now, double current, double set, bool accepted);
    // No readings any more: the link closed or the controller stopped answering.
    void reset();

    State state() const { return m_state; }
    qint64 stableSince() const { return m_stableSince; }

private:
    void restart();

    double m_band = 0.1;
    qint64 m_windowMs = 30000;
    State m_state = State::Unknown;
    qint64 m_lastAt = 0; // latest reply, accepted or held back
    bool m_inWindow = false; // every accepted reading since m_windowStart lay in the band around m_windowSet
    qint64 m_windowStart = 0;
    double m_windowSet = 0;
    qint64 m_stableSince = 0;
};

// A duration as "mm:ss"; minutes keep counting past 59 and gain digits past 99 ("100:00").
QString stableDurationText(qint64 ms);
