#pragma once

#include <QByteArray>
#include <QSerialPort>

#include <optional>

// What the thermometer's replies mean. The port worker frames requests and checks replies; these
// functions only read the bytes of a reply it accepted.
namespace ThermometerProtocol {

constexpr unsigned char kReadCode = 0x01;
constexpr unsigned char kAckCode = 0x17;
// Rates the port is probed at, in this order.
constexpr QSerialPort::BaudRate kProbeBaudRates[] = {QSerialPort::Baud9600, QSerialPort::Baud115200};

// The temperature in °C of a read reply: (R - 1000) / 10 with R the first two bytes, high byte first.
// Nothing unless the reply is exactly 3 bytes ending in the XOR of the other two.
std::optional<double> thermometerReading(const QByteArray &reply);

// What the answer to command 0x17 says about the wake-up preamble: 3 bytes, one zero more; 2 bytes, none
// more; any other length says nothing.
std::optional<bool> extraLeadingZeroFromAck(const QByteArray &reply);

// What one exchange the worker reported changes; at most one of reading and noReading is set.
struct ReplyEffect
{
    std::optional<bool> extraLeadingZero; // from the answer to 0x17
    std::optional<double> reading; // a read's temperature in °C
    bool noReading = false; // a read went unanswered
};

// `ok` as the worker reports it: a complete reply with a valid check. Readings count only under the XOR
// protocol (selector 0); a failed read means no reading under either.
ReplyEffect replyEffect(unsigned char code, const QByteArray &reply, bool ok, int protocol);

} // namespace ThermometerProtocol
