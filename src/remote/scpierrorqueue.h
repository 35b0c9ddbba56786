#pragma once

#include <QPair>
#include <QQueue>
#include <QString>

// One client's error/event queue. It holds 16 entries; when full, the newest is replaced by
// -350 "Queue overflow", as SCPI-1999 wants, and later errors are lost until one is read.
class ScpiErrorQueue
{
public:
    static constexpr int kCapacity = 16;

    void push(int code, const QString &text);
    // The oldest entry as the reply to SYSTem:ERRor?, `0,"No error"` when empty.
    QByteArray next();
    void clear() { m_entries.clear(); }
    int size() const { return m_entries.size(); }

private:
    QQueue<QPair<int, QString>> m_entries;
};
