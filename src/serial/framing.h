#pragma once

#include <QByteArray>

// Byte-level framing of the blackbody controller's line: request check bytes, reply tests and the request
// codes that identify a reply. Pure functions, safe from any thread.
namespace Framing {

// Sum of all bytes, taken as unsigned, modulo 128.
uchar checksum7(const QByteArray &bytes);

// The payload followed by its 7-bit additive check byte.
QByteArray checksumFrame(const QByteArray &payload);

// True for exactly 9 bytes whose ninth is the 7-bit sum of the first eight.
bool isChecksumReply(const QByteArray &reply);

// The third byte of a checksum-framed request; 0 when the frame is shorter.
uchar checksumRequestCode(const QByteArray &framed);

// CRC-16/MODBUS: register 0xFFFF, reflected polynomial 0xA001, no final XOR.
quint16 crc16Modbus(const QByteArray &bytes);

// The payload followed by its CRC-16/MODBUS, low byte first.
QByteArray crcFrame(const QByteArray &payload);

// True for at least 6 bytes whose last two are the CRC (low byte first) of everything before them.
bool isCrcReply(const QByteArray &reply);

// The fourth byte of a CRC-framed request; 0 when the frame is shorter.
uchar crcRequestCode(const QByteArray &framed);

// The fixed 8-byte command: addr, code, index (high, low), data (high, low), then the CRC.
QByteArray commandFrame(uchar addr, uchar code, ushort data, ushort index);

// The CRC-framed write request: 0x00, code, index (high, low), then the value bytes, padded in front with
// 0x00 to at least two bytes.
QByteArray crcWriteFrame(uchar code, const QByteArray &value, ushort index);

// True for at least 2 bytes whose last is the XOR of all bytes before it (the port probe's answer).
bool isXorReply(const QByteArray &reply);

} // namespace Framing
