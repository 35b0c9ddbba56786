#include "uutdevice.h"

#include <QRegularExpression>

#include <cmath>

namespace sim {

namespace {

// A pause this long between bytes ends a half-received binary request.
constexpr qint64 kFrameGapNs = 100 * 1000 * 1000;
constexpr double kMinEmissivity = 0.1;
constexpr double kMaxEmissivity = 1.0;
// The addressed kind's five digits of tenths stay below its own sentinels.
constexpr double kAddressedMax = 7000.0;
// What the binary reading's two bytes can carry.
constexpr double kBinaryMin = -100.0;
constexpr double kBinaryMax = 6453.5;

const QByteArray kSyntaxError = QByteArrayLiteral("*Syntax Error\r");

bool emissivityInRange(double value)
{
    return value >= kMinEmissivity - 1e-9 && value <= kMaxEmissivity + 1e-9;
}

QByteArray twoBytes(int value)
{
    QByteArray bytes;
    bytes.append(char((value >> 8) & 0xFF));
    bytes.append(char(value & 0xFF));
    return bytes;
}

QByteArray fixed(double value, int decimals)
{
    return QByteArray::number(value, 'f', decimals);
}

// The console words of the sentinels each kind has.
QString sentinelsOf(UutDevice::Kind kind)
{
    switch (kind) {
    case UutDevice::Kind::Ascii:
        return QStringLiteral("error");
    case UutDevice::Kind::Addressed:
        return QStringLiteral("notready, overrange or error");
    case UutDevice::Kind::Binary:
        return QStringLiteral("overrange");
    case UutDevice::Kind::Scpi:
        return QStringLiteral("overrange or error");
    }
    return {};
}

} // namespace

bool UutDevice::kindFromName(const QString &name, Kind *kind)
{
    for (const Kind k : {Kind::Ascii, Kind::Addressed, Kind::Binary, Kind::Scpi}) {
        // cppcheck-suppress useStlAlgorithm ; four kinds and a second result, clearer as a loop
        if (kindName(k) == name) {
            *kind = k;
            return true;
        }
    }
    return false;
}

QString UutDevice::kindName(Kind kind)
{
    switch (kind) {
    case Kind::Ascii:
        return QStringLiteral("ascii");
    case Kind::Addressed:
        return QStringLiteral("addressed");
    case Kind::Binary:
        return QStringLiteral("binary");
    case Kind::Scpi:
        return QStringLiteral("scpi");
    }
    return {};
}

UutDevice::UutDevice(Kind kind, std::function<double()> source, int baud)
    : m_kind(kind)
    , m_source(std::move(source))
{
    m_line.baud = baud;
    if (kind == Kind::Addressed) {
        m_line.parity = 'E';
        m_address = QStringLiteral("00");
    }
    m_clock.start();
}

bool UutDevice::setEmissivity(double emissivity)
{
    if (!emissivityInRange(emissivity))
        return false;
    // The instrument keeps three decimals, as it shows them.
    m_emissivity = std::round(emissivity * 1000.0) / 1000.0;
    return true;
}

bool UutDevice::setAddress(const QString &address)
{
    static const QRegularExpression ascii(QStringLiteral("^(\\d{3})?$"));
    static const QRegularExpression addressed(QStringLiteral("^\\d{2}$"));
    if (m_kind == Kind::Ascii ? !ascii.match(address).hasMatch()
                              : m_kind != Kind::Addressed || !addressed.match(address).hasMatch())
        return false;
    m_address = address;
    return true;
}

bool UutDevice::queueSentinel(Sentinel sentinel, int count)
{
    const bool has = (m_kind == Kind::Ascii && sentinel == Sentinel::Error) || m_kind == Kind::Addressed
        || (m_kind == Kind::Binary && sentinel == Sentinel::OverRange)
        || (m_kind == Kind::Scpi && sentinel != Sentinel::NotReady);
    if (!has || count < 0)
        return false;
    m_sentinel = sentinel;
    m_sentinelCount = count;
    return true;
}

double UutDevice::reading()
{
    double value = m_view.reading(m_source(), m_emissivity) + m_offset;
    if (m_noise > 0.0)
        value += (m_random.generateDouble() * 2.0 - 1.0) * m_noise;
    return value;
}

QVector<SimDevice::Exchange> UutDevice::receive(const QByteArray &bytes)
{
    const qint64 now = m_clock.nsecsElapsed();
    if (m_kind == Kind::Binary && now - m_lastByteNs > kFrameGapNs)
        m_pending.clear();
    m_lastByteNs = now;
    m_pending += bytes;
    if (m_kind == Kind::Binary)
        return receiveBinary();

    // CR ends a request (LF for scpi); the other one of the pair, next to it, is tolerated and dropped.
    const char end = m_kind == Kind::Scpi ? '\n' : '\r';
    const char other = m_kind == Kind::Scpi ? '\r' : '\n';
    QVector<Exchange> exchanges;
    int at = 0;
    while ((at = m_pending.indexOf(end)) >= 0) {
        QByteArray request = m_pending.left(at);
        m_pending.remove(0, at + 1);
        const QByteArray raw = request + end;
        while (request.startsWith(other))
            request.remove(0, 1);
        while (request.endsWith(other))
            request.chop(1);
        if (request.isEmpty())
            continue;
        QByteArray reply;
        if (m_kind == Kind::Ascii)
            reply = answerAscii(request);
        else if (m_kind == Kind::Addressed)
            reply = answerAddressed(request);
        else
            reply = answerScpi(request);
        exchanges.append({raw, reply, 0});
    }
    return exchanges;
}

QByteArray UutDevice::answerAscii(const QByteArray &request)
{
    static const QRegularExpression prefixed(QStringLiteral("^(\\d{3})(.*)$"));
    QString command = QString::fromLatin1(request);
    const QRegularExpressionMatch prefix = prefixed.match(command);
    if (prefix.hasMatch()) {
        // On a shared bus, requests for another address are someone else's.
        if (prefix.captured(1) != m_address)
            return {};
        command = prefix.captured(2);
    }
    if (command == QLatin1String("?T"))
        return temperatureReply();
    if (command == QLatin1String("?E"))
        return "!E" + fixed(m_emissivity, 3) + '\r';
    if (command.startsWith(QLatin1String("E="))) {
        bool ok = false;
        const double value = command.mid(2).toDouble(&ok);
        if (ok && setEmissivity(value))
            return "!E" + fixed(m_emissivity, 3) + '\r';
    }
    return kSyntaxError;
}

QByteArray UutDevice::answerAddressed(const QByteArray &request)
{
    // Requests for another instrument on the bus, or for none, are not this one's to answer.
    if (request.left(2) != m_address.toLatin1())
        return {};
    const QByteArray command = request.mid(2, 2);
    const QByteArray argument = request.mid(4);
    static const QRegularExpression fourDigits(QStringLiteral("^\\d{4}$"));
    if (command == "ms" && argument.isEmpty())
        return temperatureReply();
    if (command == "em" && argument.isEmpty())
        return QByteArray::number(qRound(m_emissivity * 1000)).rightJustified(4, '0') + '\r';
    if (command == "es" && fourDigits.match(QString::fromLatin1(argument)).hasMatch()
        && setEmissivity(argument.toInt() / 1000.0))
        return argument + '\r';
    return "no\r";
}

QByteArray UutDevice::answerScpi(const QByteArray &request)
{
    static const QRegularExpression readingQuery(
        QStringLiteral("^(FETC|FETCH|MEAS|MEASURE)(:TEMP|:TEMPERATURE)?\\?$"));
    static const QRegularExpression emissivityCommand(QStringLiteral("^(EMIS|EMISSIVITY)(\\?|\\s+(\\S+))$"));
    QString command = QString::fromLatin1(request).trimmed();
    if (command.startsWith(QLatin1Char(':')))
        command.remove(0, 1);
    const QString header = command.section(QLatin1Char(' '), 0, 0).toUpper();
    const QString upper = header + command.mid(header.size());
    if (readingQuery.match(upper).hasMatch())
        return temperatureReply();
    if (upper == QLatin1String("*IDN?"))
        return QByteArrayLiteral("bbsim,simulated readout,0,1.0\n");
    if (upper == QLatin1String("*CLS")) {
        m_scpiErrors.clear();
        return {};
    }
    if (upper == QLatin1String("SYST:ERR?") || upper == QLatin1String("SYSTEM:ERROR?")) {
        const QString error
            = m_scpiErrors.isEmpty() ? QStringLiteral("0,\"No error\"") : m_scpiErrors.takeFirst();
        return error.toLatin1() + '\n';
    }
    const QRegularExpressionMatch set = emissivityCommand.match(upper);
    if (set.hasMatch()) {
        if (set.captured(2) == QLatin1String("?"))
            return fixed(m_emissivity, 3) + '\n';
        bool ok = false;
        const double value = set.captured(3).toDouble(&ok);
        if (!ok || !setEmissivity(value))
            m_scpiErrors << QStringLiteral("-222,\"Data out of range\"");
        return {};
    }
    // A readout stays silent on what it does not know and keeps the error for SYST:ERR?.
    m_scpiErrors << QStringLiteral("-113,\"Undefined header\"");
    return {};
}

QVector<SimDevice::Exchange> UutDevice::receiveBinary()
{
    QVector<Exchange> exchanges;
    while (!m_pending.isEmpty()) {
        const uchar code = uchar(m_pending.at(0));
        if (code == 0x01) {
            exchanges.append({m_pending.left(1), temperatureReply(), 0});
            m_pending.remove(0, 1);
        } else if (code == 0x04) {
            exchanges.append({m_pending.left(1), twoBytes(qRound(m_emissivity * 1000)), 0});
            m_pending.remove(0, 1);
        } else if (code == 0x84) {
            if (m_pending.size() < 3)
                break;
            const QByteArray request = m_pending.left(3);
            m_pending.remove(0, 3);
            const int value = (uchar(request.at(1)) << 8) | uchar(request.at(2));
            // A value it cannot take is not acknowledged.
            exchanges.append({request, setEmissivity(value / 1000.0) ? request.mid(1) : QByteArray(), 0});
        } else {
            m_pending.remove(0, 1);
        }
    }
    return exchanges;
}

QByteArray UutDevice::temperatureReply()
{
    Sentinel sentinel = Sentinel::NotReady;
    const bool replaced = takeSentinel(&sentinel);
    const double value = reading();
    const bool known = std::isfinite(value);
    switch (m_kind) {
    case Kind::Ascii: {
        if (replaced || !known)
            return kSyntaxError;
        // Three integer digits and two decimals, as "!T050.12".
        QByteArray number = fixed(std::abs(value), 2).rightJustified(6, '0');
        if (value < 0 && number != "000.00")
            number = '-' + number.mid(1);
        return "!T" + number + '\r';
    }
    case Kind::Addressed:
        if (replaced && sentinel == Sentinel::Error)
            return "no\r";
        if (replaced && sentinel == Sentinel::NotReady)
            return "77770\r";
        if (replaced || !known || value < 0.0 || value > kAddressedMax)
            return "88880\r";
        return QByteArray::number(qRound(value * 10.0)).rightJustified(5, '0') + '\r';
    case Kind::Binary: {
        // Over range it sends the most its two bytes can say: ff ff.
        const double clamped = replaced || !known ? kBinaryMax : qBound(kBinaryMin, value, kBinaryMax);
        return twoBytes(int(std::lround(clamped * 10.0 + 1000.0)));
    }
    case Kind::Scpi: {
        if (replaced && sentinel == Sentinel::Error)
            return QByteArrayLiteral("-230,\"Data corrupt or stale\"\n");
        const QByteArray number = replaced || !known ? QByteArrayLiteral("9.9E37") : fixed(value, 3);
        return (m_unitForm ? "t: " + number + " C" : number) + '\n';
    }
    }
    return {};
}

bool UutDevice::takeSentinel(Sentinel *sentinel)
{
    if (m_sentinelCount <= 0)
        return false;
    --m_sentinelCount;
    *sentinel = m_sentinel;
    return true;
}

QByteArray UutDevice::unasked()
{
    return m_kind == Kind::Scpi ? temperatureReply() : QByteArray();
}

bool UutDevice::isValidReply(const QByteArray &bytes) const
{
    // Any two bytes read as a binary reading: nothing tells garbage apart, so none is called valid.
    if (m_kind == Kind::Binary)
        return false;
    const char end = m_kind == Kind::Scpi ? '\n' : '\r';
    if (bytes.size() < 2 || bytes.back() != end)
        return false;
    for (int i = 0; i + 1 < bytes.size(); ++i) {
        if (uchar(bytes.at(i)) < 0x20 || uchar(bytes.at(i)) > 0x7E)
            return false;
    }
    return true;
}

QString UutDevice::describe() const
{
    QString text = QStringLiteral("instrument under test, %1 (%2): emissivity %3 against the source's %4, "
                                  "ambient %5 °C, offset %6 °C, noise ±%7 °C")
                       .arg(kindName(m_kind), m_line.toString())
                       .arg(m_emissivity, 0, 'f', 3)
                       .arg(m_view.sourceEmissivity, 0, 'f', 3)
                       .arg(m_view.ambientCelsius)
                       .arg(m_offset)
                       .arg(m_noise);
    if (!m_address.isEmpty())
        text += QStringLiteral(", address %1").arg(m_address);
    if (m_kind == Kind::Scpi && m_unitForm)
        text += QStringLiteral(", replies \"t: <value> C\"");
    if (m_sentinelCount > 0) {
        static const char *const names[] = {"notready", "overrange", "error"};
        text += QStringLiteral(", next %1 readings %2")
                    .arg(m_sentinelCount)
                    .arg(QLatin1String(names[int(m_sentinel)]));
    }
    return text;
}

bool UutDevice::handleCommand(const QStringList &words, QString *response)
{
    const QString command = words.value(0);
    const QString argument = words.value(1);
    bool numeric = false;
    const double value = argument.toDouble(&numeric);
    if (command == QLatin1String("sentinel")) {
        static const QStringList names {
            QStringLiteral("notready"), QStringLiteral("overrange"), QStringLiteral("error")};
        bool countOk = words.size() < 3;
        const int count = words.size() < 3 ? 1 : words.at(2).toInt(&countOk);
        const int index = names.indexOf(argument);
        if (words.size() > 3 || index < 0 || !countOk || !queueSentinel(Sentinel(index), count)) {
            *response = QStringLiteral("error: sentinel takes %1, and a count (default 1)")
                            .arg(sentinelsOf(m_kind));
            return true;
        }
    } else if (command == QLatin1String("address")) {
        if (words.size() != 2 || !setAddress(argument == QLatin1String("none") ? QString() : argument)) {
            *response
                = QStringLiteral("error: address needs three digits or none (ascii), two digits (addressed)");
            return true;
        }
    } else if (command == QLatin1String("form")) {
        if (words.size() != 2 || m_kind != Kind::Scpi
            || (argument != QLatin1String("plain") && argument != QLatin1String("unit"))) {
            *response = QStringLiteral("error: form needs plain or unit (scpi only)");
            return true;
        }
        setUnitForm(argument == QLatin1String("unit"));
    } else if (command == QLatin1String("emissivity") || command == QLatin1String("source-emissivity")) {
        if (words.size() != 2 || !numeric || !emissivityInRange(value)) {
            *response = QStringLiteral("error: %1 needs a number from 0.1 to 1").arg(command);
            return true;
        }
        if (command == QLatin1String("emissivity"))
            setEmissivity(value);
        else
            m_view.sourceEmissivity = value;
    } else if (command == QLatin1String("offset") || command == QLatin1String("noise")
        || command == QLatin1String("ambient")) {
        if (words.size() != 2 || !numeric) {
            *response = QStringLiteral("error: %1 needs a number").arg(command);
            return true;
        }
        if (command == QLatin1String("offset"))
            setOffset(value);
        else if (command == QLatin1String("noise"))
            setNoise(value);
        else
            m_view.ambientCelsius = value;
    } else {
        return false;
    }
    *response = describe();
    return true;
}

QStringList UutDevice::commandHelp() const
{
    return {QStringLiteral("sentinel WHAT [N]  the next N readings (default 1) are an error reply instead: "
                           "notready|overrange|error (addressed), error (ascii), overrange (binary), "
                           "overrange|error (scpi)"),
        QStringLiteral("emissivity E    the instrument's own emissivity setting, as from its keypad"),
        QStringLiteral("source-emissivity E  the source's emissivity in the reading model"),
        QStringLiteral("ambient C       the room's temperature in the reading model"),
        QStringLiteral("offset C        add C to every reading"),
        QStringLiteral("noise C         reading noise, peak degrees (0: exact)"),
        QStringLiteral("address A       ascii: three digits or none; addressed: two digits"),
        QStringLiteral("form plain|unit scpi readings as 50.123 or t: 50.123 C")};
}

} // namespace sim
