#pragma once

#include "control/jumpfilter.h"

#include <QByteArray>
#include <QtGlobal>

#include <optional>

// Bookkeeping of the blackbody poll, apart from the window so it can be driven with chosen times
// (monotonic milliseconds). GUI thread only.
// At most one read request is in flight, so a silent controller cannot pile up requests in the worker's
// queue; a reading older than kStaleAfterMs is no longer shown as valid.
class BlackbodyPoll
{
public:
    // One read request per tick; a run's dwell counts its readings against it.
    static constexpr qint64 kIntervalMs = 500;
    static constexpr qint64 kStaleAfterMs = 3000;
    // The worker drops requests once its port is gone; such a request stops blocking the next after this.
    static constexpr qint64 kLostAfterMs = 3000;

    // Readings further than this from the last shown one are suspect (see JumpFilter).
    static constexpr int kMaxJumpCelsius = 5;

    struct Reading
    {
        float current; // after the jump filter
        float raw; // as the controller reported it, which stability and a run's dwell judge
        float set;
        qint16 setWire; // the set point the controller holds, in wire units
        bool accepted; // false when the jump filter held the reading back and `current` is the last one shown
    };

    // The port opened: no reading yet, and the first one is accepted whatever its value.
    void start(int wireScale, qint64 now);
    // True when a read request should be sent now; it then counts as in flight.
    bool takePollTurn(qint64 now);
    // A read reply arrived; the reading to show when it was good.
    std::optional<Reading> readReply(const QByteArray &reply, bool ok, qint64 now);
    // True exactly once when the last good reading (or the start) is older than kStaleAfterMs.
    bool expire(qint64 now);

    bool readingValid() const { return m_readingValid; }

private:
    JumpFilter m_filter;
    int m_wireScale = 100;
    bool m_inFlight = false;
    qint64 m_sentAt = 0;
    bool m_readingValid = false;
    bool m_expired = false;
    qint64 m_lastGoodAt = 0;
};
