#pragma once

#include <QtGlobal>

// When to try reopening a port that vanished, and when to tell the operator it stays away. Times are
// milliseconds on one monotonic clock. Widget-free; the window drives it from a timer.
class ReconnectPolicy
{
public:
    static constexpr qint64 kRetryMs = 1000;
    static constexpr qint64 kWarnAfterMs = 60000;

    // The port vanished at `now`: attempts start at once.
    void lost(qint64 now);
    // The port is back, or the operator gave up; nothing more is due.
    void stop();
    bool active() const { return m_active; }

    // True when an attempt is due at `now`; the next one then falls a retry period later.
    bool takeAttempt(qint64 now);
    // True once per loss, when the port has stayed away for the warning delay.
    bool takeWarning(qint64 now);

    void setWarningDelay(qint64 ms) { m_warnAfterMs = ms; }

private:
    bool m_active = false;
    bool m_warned = false;
    qint64 m_lostAt = 0;
    qint64 m_nextAttempt = 0;
    qint64 m_warnAfterMs = kWarnAfterMs;
};
