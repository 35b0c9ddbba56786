#pragma once

#include <QByteArray>

// Byte-level framing of the thermometer's line: XOR check bytes, the wake-up zeros in front of a request,
// and when a reply is complete. Pure functions, safe from any thread.
namespace KelvraFraming {

// Requests starting with these bytes are sent without a check byte.
constexpr uchar kBareCodeA = 0x82;
constexpr uchar kBareCodeB = 0x78;

// XOR of all bytes.
uchar xorOf(const QByteArray &bytes);

// The payload followed by its XOR check byte, or the payload alone when it starts with 0x82 or 0x78.
QByteArray commandFrame(const QByteArray &payload);

// The framed command padded in front with 0x00 to at least 7 bytes (8 with extraZero); longer frames
// are left as they are.
QByteArray paddedCommand(const QByteArray &framed, bool extraZero);

// Five 0x00 bytes (six with extraZero), code, and code again as its check byte.
QByteArray fastReadRequest(uchar code, bool extraZero);

// Whether the bytes collected so far answer the command `code`: a valid XOR frame, which for 0x40 and
// 0x12 must also be exactly 5 bytes long, and for the read 0x01 exactly 3.
bool isCommandReply(uchar code, const QByteArray &reply);

// The CRC-framed read: 00, code, 00 00 00 00, then the CRC-16/MODBUS, low byte first.
QByteArray crcReadFrame(uchar code);

} // namespace KelvraFraming
