#pragma once

#include "control/blackbodypoll.h"

#include <QString>
#include <QtGlobal>

// Says whether the blackbody holds its set temperature: stable once the readings have covered the last
// window, each within ±band of the set temperature read back in the same reply (inclusive, with
// kEdgeTolerance for the single-precision readings). Every reply that passed its check is judged as the
// controller reported it; one the jump filter held back from the tile counts as outside the band.
// A reading outside the band, a change of the read-back set temperature or no reply for the stale time
// restarts the window; one missed poll does not. GUI thread only; times are monotonic milliseconds.
class StabilityJudge
{
public:
    static constexpr qint64 kMaxGapMs = BlackbodyPoll::kStaleAfterMs;
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
    // A reply of the poll, `current` as reported; `accepted` is false when the jump filter held it back
    // from the tile. True exactly when this reading made the state Stable.
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
    qint64 m_lastAt = 0; // latest reply
    bool m_inWindow = false; // every reading since m_windowStart lay in the band around m_windowSet
    qint64 m_windowStart = 0;
    double m_windowSet = 0;
    qint64 m_stableSince = 0;
};

// A duration as "mm:ss"; minutes keep counting past 59 and gain digits past 99 ("100:00").
QString stableDurationText(qint64 ms);
