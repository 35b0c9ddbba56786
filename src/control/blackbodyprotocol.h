#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Request payloads and reply decoding of the blackbody controller. The port worker appends the check
// byte and validates replies; these functions only deal with the payload and the meaning of the bytes.
namespace BlackbodyProtocol {

constexpr unsigned char kReadCode = 0x52; // 'R'
constexpr unsigned char kSetCode = 0x43; // 'C'
constexpr int kReplyLength = 9;

QByteArray pollPayload();

// The set point in wire units, rounded to the nearest unit and clamped to the signed 16-bit range.
// Rounding matters: 0.29 * 100 is 28.999... in binary floating point.
qint16 toWireUnits(double celsius, int wireScale);
QByteArray setPointPayload(double celsius, int wireScale);
// A set point in wire units as the operator reads it, with the model's decimals: 3500 at 100 is "35.00".
QString wireUnitsText(qint16 wire, int wireScale, int decimals);

struct PollReading
{
    float current;
    float set;
    qint16 currentWire;
    qint16 setWire;
};

// Current and set temperature of a read reply; nothing when the reply is not 9 bytes long.
std::optional<PollReading> decodePollReply(const QByteArray &reply, int wireScale);

} // namespace BlackbodyProtocol
