#include "scpierrorqueue.h"

namespace {
constexpr int kOverflow = -350;
}

void ScpiErrorQueue::push(int code, const QString &text)
{
    if (code <= -100 && code > -200)
        raise(CommandError);
    else if (code <= -200 && code > -300)
        raise(ExecutionError);
    else if (code <= -400 && code > -500)
        raise(QueryError);
    else if (code != 0)
        raise(DeviceError);
    if (m_entries.size() < kCapacity) {
        m_entries.enqueue({code, text});
        return;
    }
    m_entries.last() = {kOverflow, QStringLiteral("Queue overflow")};
}

void ScpiErrorQueue::clear()
{
    m_entries.clear();
    m_eventStatus = 0;
}

QByteArray ScpiErrorQueue::next()
{
    const QPair<int, QString> entry
        = m_entries.isEmpty() ? qMakePair(0, QStringLiteral("No error")) : m_entries.dequeue();
    return QByteArray::number(entry.first) + ",\"" + entry.second.toLatin1() + '"';
}
