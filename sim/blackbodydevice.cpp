#include "blackbodydevice.h"

#include <cmath>

namespace sim {

namespace {

constexpr uchar kHeader = 0x80;
constexpr uchar kRead = 0x52;
constexpr uchar kSet = 0x43;
constexpr int kReadFrameSize = 6;
constexpr int kSetFrameSize = 7;
// A pause this long between bytes ends a half-received frame, as in the controller's receiver.
constexpr qint64 kFrameGapNs = 100 * 1000 * 1000;

uchar sum7(const QByteArray &bytes)
{
    unsigned sum = 0;
    for (const char byte : bytes)
        sum += uchar(byte);
    return uchar(sum & 0x7F);
}

qint16 toWire(double celsius, double unit)
{
    const double counts = std::round(celsius / unit);
    return qint16(qBound(-32768.0, counts, 32767.0));
}

} // namespace

BlackbodyDevice::BlackbodyDevice(const BlackbodyModel &model, int baud, double initialCelsius)
    : m_model(model)
    , m_baud(baud)
    , m_anchorTemp(initialCelsius)
    , m_setPoint(initialCelsius)
{
    m_clock.start();
}

double BlackbodyDevice::temperature() const
{
    if (m_tau <= 0.0)
        return m_setPoint;
    const double seconds = double(m_clock.nsecsElapsed() - m_anchorNs) / 1e9;
    return m_setPoint + (m_anchorTemp - m_setPoint) * std::exp(-seconds / m_tau);
}

void BlackbodyDevice::setTemperature(double celsius)
{
    m_anchorTemp = celsius;
    m_anchorNs = m_clock.nsecsElapsed();
}

bool BlackbodyDevice::setSetPoint(double celsius)
{
    // Half a wire count of slack, so the range ends themselves survive the wire rounding.
    const double slack = m_model.wireUnit / 2;
    if (celsius < m_model.minSetPoint - slack || celsius > m_model.maxSetPoint + slack)
        return false;
    reanchor();
    m_setPoint = celsius;
    return true;
}

void BlackbodyDevice::setTimeConstant(double seconds)
{
    reanchor();
    m_tau = seconds;
}

void BlackbodyDevice::setNoise(double amplitude)
{
    m_noise = qMax(0.0, amplitude);
}

QVector<SimDevice::Exchange> BlackbodyDevice::receive(const QByteArray &bytes)
{
    const qint64 now = m_clock.nsecsElapsed();
    if (now - m_lastByteNs > kFrameGapNs)
        m_pending.clear();
    m_lastByteNs = now;
    m_pending += bytes;

    QVector<Exchange> exchanges;
    for (;;) {
        const int start = m_pending.indexOf(char(kHeader));
        if (start < 0) {
            m_pending.clear();
            break;
        }
        m_pending.remove(0, start);
        if (m_pending.size() < 3)
            break;
        const uchar command = uchar(m_pending.at(2));
        const int size = command == kRead ? kReadFrameSize : command == kSet ? kSetFrameSize : 0;
        if (uchar(m_pending.at(1)) != kHeader || size == 0) {
            m_pending.remove(0, 1);
            continue;
        }
        if (m_pending.size() < size)
            break;
        const QByteArray frame = m_pending.left(size);
        if (sum7(frame.left(size - 1)) != uchar(frame.at(size - 1))) {
            m_pending.remove(0, 1);
            continue;
        }
        m_pending.remove(0, size);
        exchanges.append({frame, answer(frame), command == kRead ? m_pollDelayMs : 0});
    }
    return exchanges;
}

LineSettings BlackbodyDevice::line() const
{
    LineSettings settings;
    settings.baud = m_baud;
    settings.stopBits = m_model.stopBits;
    return settings;
}

bool BlackbodyDevice::isValidReply(const QByteArray &bytes) const
{
    return bytes.size() == 9 && sum7(bytes.left(8)) == uchar(bytes.at(8));
}

QString BlackbodyDevice::describe() const
{
    const int decimals = m_model.wireUnit < 0.1 ? 2 : 1;
    QString text = QStringLiteral("%1 (%2 °C per count, %3): %4 °C, set point %5 °C, tau %6 s, noise ±%7 °C")
                       .arg(m_model.name)
                       .arg(m_model.wireUnit)
                       .arg(line().toString())
                       .arg(temperature(), 0, 'f', decimals)
                       .arg(m_setPoint, 0, 'f', decimals)
                       .arg(m_tau)
                       .arg(m_noise);
    if (m_pollDelayMs > 0)
        text += QStringLiteral(", read answers %1 ms late").arg(m_pollDelayMs);
    if (m_ignoreSetFrames)
        text += QStringLiteral(", ignores set frames");
    return text;
}

bool BlackbodyDevice::handleCommand(const QStringList &words, QString *response)
{
    if (words.size() != 2)
        return false;
    if (words.at(0) == QLatin1String("ignoreset")) {
        const bool on = words.at(1) == QLatin1String("on");
        if (!on && words.at(1) != QLatin1String("off")) {
            *response = QStringLiteral("error: ignoreset needs on or off");
            return true;
        }
        setIgnoreSetFrames(on);
        *response = describe();
        return true;
    }
    bool numeric = false;
    const double value = words.at(1).toDouble(&numeric);
    const QString &command = words.at(0);
    if (command != QLatin1String("temp") && command != QLatin1String("setpoint")
        && command != QLatin1String("tau") && command != QLatin1String("noise")
        && command != QLatin1String("polldelay"))
        return false;
    if (!numeric) {
        *response = QStringLiteral("error: %1 needs a number").arg(command);
        return true;
    }
    if (command == QLatin1String("temp")) {
        setTemperature(value);
    } else if (command == QLatin1String("setpoint")) {
        if (!setSetPoint(value)) {
            *response = QStringLiteral("error: %1 °C is outside %2 to %3 °C")
                            .arg(value)
                            .arg(m_model.minSetPoint)
                            .arg(m_model.maxSetPoint);
            return true;
        }
    } else if (command == QLatin1String("tau")) {
        setTimeConstant(value);
    } else if (command == QLatin1String("polldelay")) {
        if (value < 0) {
            *response = QStringLiteral("error: polldelay needs a number of milliseconds");
            return true;
        }
        setPollDelay(int(value));
    } else {
        setNoise(value);
    }
    *response = describe();
    return true;
}

QStringList BlackbodyDevice::commandHelp() const
{
    return {QStringLiteral("temp C          jump the current temperature to C"),
        QStringLiteral("setpoint C      change the set point (model range only)"),
        QStringLiteral("tau S           thermal time constant in seconds (0: instant)"),
        QStringLiteral("noise C         reading noise, peak degrees (0: exact)"),
        QStringLiteral("polldelay MS    answer read frames MS ms late (0: at once)"),
        QStringLiteral("ignoreset on|off  neither obey nor answer set frames")};
}

void BlackbodyDevice::reanchor()
{
    m_anchorTemp = temperature();
    m_anchorNs = m_clock.nsecsElapsed();
}

QByteArray BlackbodyDevice::reply(double current)
{
    const qint16 cur = toWire(current, m_model.wireUnit);
    const qint16 set = toWire(m_setPoint, m_model.wireUnit);
    QByteArray bytes(9, '\0');
    bytes[0] = char(cur & 0xFF);
    bytes[1] = char((cur >> 8) & 0xFF);
    bytes[6] = char(set & 0xFF);
    bytes[7] = char((set >> 8) & 0xFF);
    bytes[8] = char(sum7(bytes.left(8)));
    return bytes;
}

QByteArray BlackbodyDevice::answer(const QByteArray &frame)
{
    if (uchar(frame.at(2)) == kSet) {
        if (m_ignoreSetFrames)
            return {};
        const qint16 counts = qint16(uchar(frame.at(4)) | (uchar(frame.at(5)) << 8));
        if (!setSetPoint(counts * m_model.wireUnit)) {
            ++m_refused;
            return {};
        }
    }
    double current = temperature();
    if (m_noise > 0.0)
        current += (m_random.generateDouble() * 2.0 - 1.0) * m_noise;
    return reply(current);
}

} // namespace sim
