#include "kelvraframing.h"

#include "framing.h"

namespace KelvraFraming {

namespace {

constexpr int kPaddedLength = 7;
constexpr int kFastReadZeros = 5;
constexpr int kFiveByteReplyLength = 5;
constexpr uchar kReadCode = 0x01;
// Value high byte, low byte, check byte: cut after two equal value bytes, it would pass the check.
constexpr int kReadingLength = 3;

} // namespace

uchar xorOf(const QByteArray &bytes)
{
    uchar x = 0;
    for (const char byte : bytes)
        x ^= uchar(byte);
    return x;
}

QByteArray commandFrame(const QByteArray &payload)
{
    if (!payload.isEmpty() && (uchar(payload.at(0)) == kBareCodeA || uchar(payload.at(0)) == kBareCodeB))
        return payload;
    return payload + char(xorOf(payload));
}

QByteArray paddedCommand(const QByteArray &framed, bool extraZero)
{
    const int length = kPaddedLength + (extraZero ? 1 : 0);
    if (framed.size() >= length)
        return framed;
    return QByteArray(length - framed.size(), '\0') + framed;
}

QByteArray fastReadRequest(uchar code, bool extraZero)
{
    QByteArray request(kFastReadZeros + (extraZero ? 1 : 0), '\0');
    request.append(char(code));
    request.append(char(code));
    return request;
}

bool isCommandReply(uchar code, const QByteArray &reply)
{
    if (!Framing::isXorReply(reply))
        return false;
    if (code == 0x40 || code == 0x12)
        return reply.size() == kFiveByteReplyLength;
    if (code == kReadCode)
        return reply.size() == kReadingLength;
    return true;
}

QByteArray crcReadFrame(uchar code)
{
    QByteArray payload(6, '\0');
    payload[1] = char(code);
    return Framing::crcFrame(payload);
}

} // namespace KelvraFraming
