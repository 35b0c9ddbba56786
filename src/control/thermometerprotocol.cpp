#include "thermometerprotocol.h"

namespace ThermometerProtocol {

std::optional<double> thermometerReading(const QByteArray &reply)
{
    if (reply.size() != 3)
        return std::nullopt;
    const uchar high = uchar(reply.at(0));
    const uchar low = uchar(reply.at(1));
    if (uchar(high ^ low) != uchar(reply.at(2)))
        return std::nullopt;
    const int raw = high * 256 + low;
    return (raw - 1000) / 10.0;
}

std::optional<bool> extraLeadingZeroFromAck(const QByteArray &reply)
{
    if (reply.size() == 3)
        return true;
    if (reply.size() == 2)
        return false;
    return std::nullopt;
}

ReplyEffect replyEffect(unsigned char code, const QByteArray &reply, bool ok, int protocol)
{
    ReplyEffect effect;
    if (!ok)
        effect.noReading = code == kReadCode;
    else if (code == kAckCode)
        effect.extraLeadingZero = extraLeadingZeroFromAck(reply);
    else if (code == kReadCode && protocol == 0)
        effect.reading = thermometerReading(reply);
    return effect;
}

} // namespace ThermometerProtocol
