#include "replycollector.h"

#include <utility>

ReplyCollector::ReplyCollector(Complete complete)
    : m_test(std::move(complete))
{ }

bool ReplyCollector::add(const QByteArray &bytes)
{
    if (m_complete)
        return true;
    m_bytes += bytes;
    m_complete = m_test(m_bytes);
    return m_complete;
}
