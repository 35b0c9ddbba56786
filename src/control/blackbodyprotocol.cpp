#include "blackbodyprotocol.h"

#include <cmath>
#include <limits>

namespace BlackbodyProtocol {

namespace {

qint16 signedLittleEndian(const QByteArray &bytes, int offset)
{
    return qint16(quint16(quint8(bytes.at(offset))) | quint16(quint8(bytes.at(offset + 1))) << 8);
}

} // namespace

QByteArray pollPayload()
{
    return QByteArray::fromRawData("\x80\x80\x52\x00\x00", 5);
}

qint16 toWireUnits(double celsius, int wireScale)
{
    const double units = std::round(celsius * wireScale);
    if (!(units >= std::numeric_limits<qint16>::min())) // also catches NaN
        return std::numeric_limits<qint16>::min();
    if (units > std::numeric_limits<qint16>::max())
        return std::numeric_limits<qint16>::max();
    return qint16(units);
}

QByteArray setPointPayload(double celsius, int wireScale)
{
    const quint16 units = quint16(toWireUnits(celsius, wireScale));
    QByteArray payload("\x80\x80\x43\x00", 4);
    payload.append(char(units & 0xFF));
    payload.append(char(units >> 8));
    return payload;
}

QString wireUnitsText(qint16 wire, int wireScale, int decimals)
{
    return QString::number(double(wire) / wireScale, 'f', decimals);
}

std::optional<PollReading> decodePollReply(const QByteArray &reply, int wireScale)
{
    if (reply.size() != kReplyLength)
        return std::nullopt;
    const float scale = float(wireScale);
    const qint16 current = signedLittleEndian(reply, 0);
    const qint16 set = signedLittleEndian(reply, 6);
    return PollReading {current / scale, set / scale, current, set};
}

} // namespace BlackbodyProtocol
