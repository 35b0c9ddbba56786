#include "blackbodypoll.h"

#include "control/blackbodyprotocol.h"

void BlackbodyPoll::start(int wireScale, qint64 now)
{
    m_wireScale = wireScale;
    m_filter = JumpFilter(kMaxJumpCelsius * wireScale);
    m_inFlight = false;
    m_readingValid = false;
    m_expired = false;
    m_lastGoodAt = now;
}

bool BlackbodyPoll::takePollTurn(qint64 now)
{
    if (m_inFlight && now - m_sentAt < kLostAfterMs)
        return false;
    m_inFlight = true;
    m_sentAt = now;
    return true;
}

std::optional<BlackbodyPoll::Reading> BlackbodyPoll::readReply(const QByteArray &reply, bool ok, qint64 now)
{
    m_inFlight = false;
    if (!ok)
        return std::nullopt;
    const auto decoded = BlackbodyProtocol::decodePollReply(reply, m_wireScale);
    if (!decoded)
        return std::nullopt;
    m_readingValid = true;
    m_expired = false;
    m_lastGoodAt = now;
    const int shown = m_filter.filter(decoded->currentWire, now);
    // A held-back reading shows the last accepted one, which lies more than the limit away from it.
    return Reading {float(shown) / float(m_wireScale), decoded->current, decoded->set, decoded->setWire,
        shown == decoded->currentWire};
}

bool BlackbodyPoll::expire(qint64 now)
{
    if (m_expired || now - m_lastGoodAt <= kStaleAfterMs)
        return false;
    m_expired = true;
    m_readingValid = false;
    // The last accepted value is as old as the display; judging the next reading against it would
    // hold back a real change that happened during the gap.
    m_filter.reset();
    return true;
}
