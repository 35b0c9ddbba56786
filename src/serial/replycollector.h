#pragma once

#include <QByteArray>

#include <functional>

// The bytes of one reply, gathered read by read as the port hands them over, and whether they form a
// complete reply yet. The port splits a reply wherever it likes and may join it with what follows, so the
// test is put to everything gathered after each read. Apart from the port, so it can be fed chosen reads.
class ReplyCollector
{
public:
    using Complete = std::function<bool(const QByteArray &)>;

    explicit ReplyCollector(Complete complete);

    // Appends one read (possibly empty) and tests the whole; true once complete. A complete reply takes
    // nothing more: later bytes are no part of it.
    bool add(const QByteArray &bytes);

    bool isComplete() const { return m_complete; }
    // Everything gathered, whether complete or not.
    const QByteArray &bytes() const { return m_bytes; }

private:
    Complete m_test;
    QByteArray m_bytes;
    bool m_complete = false;
};
