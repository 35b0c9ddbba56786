#pragma once

#include <QString>

// The rule for a status-bar message that reports an event: it stands until the next event replaces it or
// until kShownMs have passed, whichever comes first. Times are a monotonic clock's milliseconds, so the
// rule is tested without waiting.
class TransientMessage
{
public:
    static constexpr qint64 kShownMs = 15000;

    // `text` replaces any message still shown.
    void show(const QString &text, qint64 now);
    void clear() { m_text.clear(); }
    // What is shown at `now`: empty once the message has had its time.
    QString textAt(qint64 now) const;
    // When the message shown goes; meaningless while none is.
    qint64 endsAt() const { return m_shownAt + kShownMs; }

private:
    QString m_text;
    qint64 m_shownAt = 0;
};
