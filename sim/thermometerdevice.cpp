#include "thermometerdevice.h"

#include <cmath>

namespace sim {

namespace {

// A pause this long between bytes ends a half-received request.
constexpr qint64 kFrameGapNs = 100 * 1000 * 1000;

uchar xorOf(const QByteArray &bytes)
{
    uchar x = 0;
    for (const char byte : bytes)
        x ^= uchar(byte);
    return x;
}

QByteArray withXor(const QByteArray &payload)
{
    return payload + char(xorOf(payload));
}

} // namespace

ThermometerDevice::ThermometerDevice(int baud, double celsius, int ackLength)
    : m_baud(baud)
{
    setTemperature(celsius);
    setAckLength(ackLength);
    m_clock.start();
}

bool ThermometerDevice::setTemperature(double celsius)
{
    if (!(celsius >= kMinCelsius && celsius <= kMaxCelsius))
        return false;
    m_celsius = celsius;
    return true;
}

bool ThermometerDevice::setAckLength(int length)
{
    if (length != 2 && length != 3)
        return false;
    m_ackLength = length;
    return true;
}

QByteArray ThermometerDevice::readingFrame(double celsius)
{
    const double raw = std::round(qBound(kMinCelsius, celsius, kMaxCelsius) * 10.0 + 1000.0);
    const quint16 r = quint16(raw);
    QByteArray payload;
    payload.append(char(r >> 8));
    payload.append(char(r & 0xFF));
    return withXor(payload);
}

QVector<SimDevice::Exchange> ThermometerDevice::receive(const QByteArray &bytes)
{
    const qint64 now = m_clock.nsecsElapsed();
    if (now - m_lastByteNs > kFrameGapNs)
        m_pending.clear();
    m_lastByteNs = now;
    m_pending += bytes;

    QVector<Exchange> exchanges;
    for (;;) {
        int zeros = 0;
        while (zeros < m_pending.size() && m_pending.at(zeros) == '\0')
            ++zeros;
        m_pending.remove(0, zeros);
        if (m_pending.size() < 2)
            break;
        const uchar code = uchar(m_pending.at(0));
        const bool known = code == kReadCode || code == kAckCode;
        if (!known || uchar(m_pending.at(1)) != code) {
            m_pending.remove(0, 1);
            continue;
        }
        const QByteArray request = m_pending.left(2);
        m_pending.remove(0, 2);
        exchanges.append({request, code == kReadCode ? readingFrame(m_celsius) : ackFrame(), 0});
    }
    return exchanges;
}

LineSettings ThermometerDevice::line() const
{
    LineSettings settings;
    settings.baud = m_baud;
    settings.stopBits = 1;
    return settings;
}

bool ThermometerDevice::isValidReply(const QByteArray &bytes) const
{
    return bytes.size() >= 2 && xorOf(bytes.left(bytes.size() - 1)) == uchar(bytes.back());
}

QString ThermometerDevice::describe() const
{
    return QStringLiteral("thermometer (%1): %2 °C, answers 0x17 with %3 bytes")
        .arg(line().toString())
        .arg(m_celsius, 0, 'f', 1)
        .arg(m_ackLength);
}

bool ThermometerDevice::handleCommand(const QStringList &words, QString *response)
{
    if (words.size() != 2)
        return false;
    const QString &command = words.at(0);
    bool numeric = false;
    const double value = words.at(1).toDouble(&numeric);
    if (command == QLatin1String("temp")) {
        if (!numeric || !setTemperature(value)) {
            *response = QStringLiteral("error: temp needs a number from %1 to %2")
                            .arg(kMinCelsius)
                            .arg(kMaxCelsius);
            return true;
        }
    } else if (command == QLatin1String("ack")) {
        if (!numeric || value != std::floor(value) || !setAckLength(int(value))) {
            *response = QStringLiteral("error: ack needs 2 or 3");
            return true;
        }
    } else {
        return false;
    }
    *response = describe();
    return true;
}

QStringList ThermometerDevice::commandHelp() const
{
    return {QStringLiteral("temp C          the reading, -100 to 6453.5 °C"),
        QStringLiteral("ack 2|3         length of the answer to command 0x17")};
}

QByteArray ThermometerDevice::ackFrame() const
{
    return m_ackLength == 3 ? withXor(QByteArray::fromHex("1701")) : withXor(QByteArray(1, char(kAckCode)));
}

} // namespace sim
