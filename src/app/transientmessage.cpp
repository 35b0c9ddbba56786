#include "transientmessage.h"

void TransientMessage::show(const QString &text, qint64 now)
{
    m_text = text;
    m_shownAt = now;
}

QString TransientMessage::textAt(qint64 now) const
{
    return now - m_shownAt < kShownMs ? m_text : QString();
}
