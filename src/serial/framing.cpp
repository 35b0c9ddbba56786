#include "framing.h"

namespace Framing {

uchar checksum7(const QByteArray &bytes)
{
    unsigned sum = 0;
    for (const char byte : bytes)
        sum += uchar(byte);
    return uchar(sum & 0x7F);
}

QByteArray checksumFrame(const QByteArray &payload)
{
    QByteArray framed = payload;
    framed.append(char(checksum7(payload)));
    return framed;
}

bool isChecksumReply(const QByteArray &reply)
{
    return reply.size() == 9 && checksum7(reply.left(8)) == uchar(reply.at(8));
}

uchar checksumRequestCode(const QByteArray &framed)
{
    return framed.size() >= 3 ? uchar(framed.at(2)) : 0;
}

quint16 crc16Modbus(const QByteArray &bytes)
{
    quint16 crc = 0xFFFF;
    for (const char byte : bytes) {
        crc ^= uchar(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

QByteArray crcFrame(const QByteArray &payload)
{
    const quint16 crc = crc16Modbus(payload);
    QByteArray framed = payload;
    framed.append(char(crc & 0xFF));
    framed.append(char(crc >> 8));
    return framed;
}

bool isCrcReply(const QByteArray &reply)
{
    if (reply.size() < 6)
        return false;
    const quint16 crc = crc16Modbus(reply.left(reply.size() - 2));
    return uchar(reply.at(reply.size() - 2)) == (crc & 0xFF)
        && uchar(reply.at(reply.size() - 1)) == (crc >> 8);
}

uchar crcRequestCode(const QByteArray &framed)
{
    return framed.size() >= 4 ? uchar(framed.at(3)) : 0;
}

QByteArray commandFrame(uchar addr, uchar code, ushort data, ushort index)
{
    QByteArray payload;
    payload.append(char(addr));
    payload.append(char(code));
    payload.append(char(index >> 8));
    payload.append(char(index & 0xFF));
    payload.append(char(data >> 8));
    payload.append(char(data & 0xFF));
    return crcFrame(payload);
}

QByteArray crcWriteFrame(uchar code, const QByteArray &value, ushort index)
{
    QByteArray payload;
    payload.append(char(0x00));
    payload.append(char(code));
    payload.append(char(index >> 8));
    payload.append(char(index & 0xFF));
    if (value.size() < 2)
        payload.append(QByteArray(2 - value.size(), '\0'));
    payload.append(value);
    return crcFrame(payload);
}

bool isXorReply(const QByteArray &reply)
{
    if (reply.size() < 2)
        return false;
    uchar x = 0;
    for (int i = 0; i < reply.size() - 1; ++i)
        x ^= uchar(reply.at(i));
    return x == uchar(reply.at(reply.size() - 1));
}

} // namespace Framing
