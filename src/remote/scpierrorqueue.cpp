#include "scpierrorqueue.h"

namespace {
constexpr int kOverflow = -350;
}

void ScpiErrorQueue::push(int code, const QString &text)
{
    if (m_entries.size() < kCapacity) {
        m_entries.enqueue({code, text});
        return;
    }
    m_entries.last() = {kOverflow, QStringLiteral("Queue overflow")};
}

QByteArray ScpiErrorQueue::next()
{
    const QPair<int, QString> entry
        = m_entries.isEmpty() ? qMakePair(0, QStringLiteral("No error")) : m_entries.dequeue();
    return QByteArray::number(entry.first) + ",\"" + entry.second.toLatin1() + '"';
}
