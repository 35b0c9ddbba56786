#include "uutprotocol.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

// A line that never ends a reply must not grow the buffer without bound.
constexpr int kMaxReplyBytes = 4096;

quint16 crc16Modbus(const QByteArray &bytes)
{
    quint16 crc = 0xFFFF;
    for (const char c : bytes) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

// The check bytes of `frame` under `checksum`, as they go on the line.
QByteArray checkBytes(const UutChecksum &checksum, const QByteArray &frame)
{
    const int from = std::min<int>(checksum.from, frame.size());
    const int end = std::max(from, int(frame.size()) + checksum.to);
    const QByteArray covered = frame.mid(from, end - from);
    QByteArray check;
    switch (checksum.kind) {
    case UutChecksum::Kind::None:
        return QByteArray();
    case UutChecksum::Kind::Sum8: {
        quint8 sum = 0;
        for (const char c : covered)
            sum = quint8(sum + quint8(c));
        check.append(char(sum));
        break;
    }
    case UutChecksum::Kind::Xor: {
        quint8 x = 0;
        for (const char c : covered)
            x ^= quint8(c);
        check.append(char(x));
        break;
    }
    case UutChecksum::Kind::Crc16Modbus: {
        const quint16 crc = crc16Modbus(covered);
        check.append(char(crc & 0xFF));
        check.append(char(crc >> 8));
        break;
    }
    }
    return checksum.format == UutChecksum::Format::Hex ? check.toHex().toUpper() : check;
}

// The raw field value for `value`, or nothing when it does not fit the field's width and sign.
std::optional<QByteArray> encodeField(const UutValueField &field, double value)
{
    const double raw = std::round((value - field.offset) / field.scale);
    const double bits = 8.0 * field.width;
    const double low = field.isSigned ? -std::pow(2.0, bits - 1) : 0;
    const double high = field.isSigned ? std::pow(2.0, bits - 1) - 1 : std::pow(2.0, bits) - 1;
    if (!(raw >= low && raw <= high)) // also NaN
        return std::nullopt;
    const quint32 word = quint32(qint64(raw));
    QByteArray bytes;
    for (int i = 0; i < field.width; ++i) {
        const int shift = 8 * (field.bigEndian ? field.width - 1 - i : i);
        bytes.append(char((word >> shift) & 0xFF));
    }
    return bytes;
}

std::optional<double> decodeField(const UutValueField &field, const QByteArray &bytes)
{
    const int at = std::max(field.at, 0);
    if (at + field.width > bytes.size())
        return std::nullopt;
    quint32 word = 0;
    for (int i = 0; i < field.width; ++i) {
        const int shift = 8 * (field.bigEndian ? field.width - 1 - i : i);
        word |= quint32(quint8(bytes.at(at + i))) << shift;
    }
    double raw = double(word);
    if (field.isSigned && field.width < 4 && (word & (1u << (8 * field.width - 1))))
        raw -= std::pow(2.0, 8 * field.width);
    else if (field.isSigned && field.width == 4)
        raw = double(qint32(word));
    return raw * field.scale + field.offset;
}

// "{value:05.1f}" and the like, filled in; nothing when the value cannot be written.
std::optional<QString> fillTemplate(const UutCommand &command, const QString &address, double value)
{
    static const QRegularExpression placeholder(
        QStringLiteral("\\{value(?::(0?)([0-9]{0,2})(?:\\.([0-9]))?([fd]))?\\}|\\{address\\}|\\{\\{|\\}\\}"));
    const double scaled = value * command.textScale;
    QString out;
    int last = 0;
    auto it = placeholder.globalMatch(command.text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += command.text.mid(last, m.capturedStart() - last);
        last = m.capturedEnd();
        const QString whole = m.captured(0);
        if (whole == QLatin1String("{{") || whole == QLatin1String("}}")) {
            out += whole.at(0);
            continue;
        }
        if (whole == QLatin1String("{address}")) {
            out += address;
            continue;
        }
        if (!std::isfinite(scaled) || std::fabs(scaled) > 1e15)
            return std::nullopt;
        // The format was checked when the driver was read: [0][width][.precision]f|d.
        const QByteArray flags = m.captured(1).toLatin1() + m.captured(2).toLatin1();
        if (m.captured(4).isEmpty())
            out += QString::number(scaled, 'g', 10);
        else if (m.captured(4) == QLatin1String("d"))
            out += QString::asprintf(("%" + flags + "lld").constData(), qint64(std::llround(scaled)));
        else
            out += QString::asprintf(
                ("%" + flags + "." + (m.captured(3).isEmpty() ? QByteArray("6") : m.captured(3).toLatin1())
                    + "f")
                    .constData(),
                scaled);
    }
    out += command.text.mid(last);
    return out;
}

QString escapedText(const QByteArray &bytes)
{
    QString out;
    for (const char c : bytes) {
        const quint8 b = quint8(c);
        if (b == '\r')
            out += QStringLiteral("\\r");
        else if (b == '\n')
            out += QStringLiteral("\\n");
        else if (b == '\t')
            out += QStringLiteral("\\t");
        else if (b == '\\')
            out += QStringLiteral("\\\\");
        else if (b >= 0x20 && b < 0x7F)
            out += QLatin1Char(c);
        else
            out += QStringLiteral("\\x%1").arg(b, 2, 16, QLatin1Char('0'));
    }
    return out;
}

QString hexText(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' '));
}

bool wholeMatch(const QString &pattern, const QString &text, QString *group = nullptr)
{
    const QRegularExpression re(QRegularExpression::anchoredPattern(pattern));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return false;
    if (group)
        *group = m.captured(1);
    return true;
}

UutReading readingOf(const UutProtocol::Judgement &j, const QString &raw, int attempts)
{
    UutReading reading;
    reading.kind = j.kind;
    reading.value = j.value;
    reading.raw = raw;
    reading.meaning = j.meaning;
    reading.attempts = attempts;
    return reading;
}

} // namespace

UutProtocol::UutProtocol(const UutDriver &driver)
    : m_driver(driver)
{ }

QByteArray UutProtocol::requestBytes(const UutDriver &driver, const UutCommand &command, double value)
{
    QByteArray frame;
    if (command.kind == UutCommand::Kind::Text) {
        const std::optional<QString> text = fillTemplate(command, driver.address, value);
        if (!text)
            return QByteArray();
        frame = text->toLatin1();
    } else {
        frame = command.bytes;
        if (command.value) {
            const std::optional<QByteArray> field = encodeField(*command.value, value);
            if (!field)
                return QByteArray();
            const int at
                = command.value->at < 0 ? int(frame.size()) : std::min<int>(command.value->at, frame.size());
            frame.insert(at, *field);
        }
    }
    return frame + checkBytes(driver.checksum, frame) + driver.writeTerminator;
}

QString UutProtocol::rawText(const UutDriver &driver, const QByteArray &reply)
{
    return driver.binary() ? hexText(reply) : escapedText(reply);
}

UutProtocol::Judgement UutProtocol::judge(
    const UutDriver &driver, const UutCommand &command, const QByteArray &reply)
{
    Judgement j;
    j.retry = true;
    QByteArray frame = reply;
    if (!driver.readTerminator.isEmpty() && frame.endsWith(driver.readTerminator))
        frame.chop(driver.readTerminator.size());
    const int checkSize = driver.checksum.size();
    if (checkSize > 0) {
        const QByteArray payload = frame.left(frame.size() - checkSize);
        if (frame.size() < checkSize || checkBytes(driver.checksum, payload) != frame.right(checkSize)) {
            j.meaning = QStringLiteral("checksum mismatch");
            return j;
        }
        frame = payload;
    }
    const QString text = driver.binary() ? hexText(frame) : QString::fromLatin1(frame);
    const auto error = std::find_if(driver.errors.begin(), driver.errors.end(),
        [&text](const UutErrorPattern &e) { return wholeMatch(e.pattern, text); });
    if (error != driver.errors.end()) {
        j.kind = UutReading::Kind::Error;
        j.meaning = error->meaning;
        j.retry = error->action == UutErrorPattern::Action::Retry;
        j.retryDelayMs = error->retryDelayMs;
        return j;
    }
    if (!command.decoder) {
        j.kind = UutReading::Kind::Value;
        j.retry = false;
        return j;
    }
    const UutDecoder &d = *command.decoder;
    std::optional<double> value;
    if (d.kind == UutDecoder::Kind::Regex) {
        QString group;
        bool ok = false;
        if (wholeMatch(d.pattern, QString::fromLatin1(frame), &group)) {
            const double number = group.trimmed().toDouble(&ok);
            if (ok)
                value = number * d.field.scale + d.field.offset;
        }
    } else {
        value = decodeField(d.field, frame);
    }
    if (!value || !std::isfinite(*value)) {
        j.meaning = QStringLiteral("reply not understood");
        return j;
    }
    j.kind = UutReading::Kind::Value;
    j.value = *value;
    j.retry = false;
    return j;
}

void UutProtocol::enqueue(const Job &job)
{
    m_jobs.push_back(job);
}

UutProtocol::Steps UutProtocol::ask(int token, Purpose purpose, double value, qint64 now)
{
    Job job;
    job.token = token;
    job.purpose = purpose;
    job.value = value;
    switch (purpose) {
    case Purpose::Reading:
    case Purpose::Check:
        job.command = &m_driver.read;
        job.listens = m_driver.mode == UutDriver::Mode::Listen;
        break;
    case Purpose::SetEmissivity:
        job.command = m_driver.setEmissivity ? &*m_driver.setEmissivity : nullptr;
        break;
    case Purpose::QueryEmissivity:
        job.command = m_driver.queryEmissivity ? &*m_driver.queryEmissivity : nullptr;
        break;
    case Purpose::Init:
        break;
    }
    if (!job.command) {
        UutReading reading;
        reading.kind = UutReading::Kind::Error;
        reading.meaning = QStringLiteral("the driver has no such command");
        reading.pausesRun = true;
        reading.attempts = 0;
        return Steps {Step {Step::Kind::Answer, QByteArray(), token, purpose, reading}};
    }
    enqueue(job);
    return m_phase == Phase::Idle ? startNext(now) : Steps();
}

UutProtocol::Steps UutProtocol::askInit(qint64 now)
{
    for (const UutCommand &command : m_driver.init) {
        Job job;
        job.purpose = Purpose::Init;
        job.command = &command;
        enqueue(job);
    }
    return m_phase == Phase::Idle ? startNext(now) : Steps();
}

UutProtocol::Steps UutProtocol::startNext(qint64 now)
{
    m_phase = Phase::Idle;
    if (m_jobs.empty())
        return Steps();
    if (m_jobs.front().listens)
        return send(now);
    if (now < m_quietUntil) {
        m_phase = Phase::Pausing;
        m_deadline = m_quietUntil;
        return Steps();
    }
    return send(now);
}

UutProtocol::Steps UutProtocol::send(qint64 now)
{
    Job &job = m_jobs.front();
    ++job.attempts;
    m_phase = Phase::Waiting;
    m_deadline = now + m_driver.replyTimeoutMs;
    if (job.listens)
        return Steps();
    const QByteArray bytes = requestBytes(m_driver, *job.command, job.value);
    if (bytes.isEmpty()) {
        UutReading reading;
        reading.kind = UutReading::Kind::Error;
        reading.meaning = QStringLiteral("value out of the command's range");
        reading.pausesRun = true;
        reading.attempts = 0;
        return finish(reading, now);
    }
    // A reply still under way to an earlier request is no reply to this one.
    m_input.clear();
    m_echo = m_driver.echo ? bytes : QByteArray();
    Steps steps {Step {Step::Kind::Write, bytes, 0, job.purpose, UutReading()}};
    if (!job.command->expectsReply) {
        m_quietUntil = now + m_driver.waitBetweenMs;
        UutReading reading;
        reading.kind = UutReading::Kind::Value;
        reading.value = job.value;
        reading.attempts = job.attempts;
        steps += finish(reading, now);
    }
    return steps;
}

UutProtocol::Steps UutProtocol::finish(UutReading reading, qint64 now)
{
    const Job job = m_jobs.front();
    m_jobs.pop_front();
    if (job.purpose == Purpose::SetEmissivity && reading.kind == UutReading::Kind::Value)
        reading.value = job.value;
    if (reading.kind != UutReading::Kind::Value)
        reading.pausesRun = true;
    Steps steps {Step {Step::Kind::Answer, QByteArray(), job.token, job.purpose, reading}};
    return steps + startNext(now);
}

int UutProtocol::expectedLength() const
{
    const UutCommand &command
        = m_phase != Phase::Idle && !m_jobs.empty() ? *m_jobs.front().command : m_driver.read;
    return command.replyLength > 0 ? command.replyLength : m_driver.replyLength;
}

UutProtocol::Steps UutProtocol::bytesIn(const QByteArray &bytes, qint64 now)
{
    Steps steps;
    for (const char c : bytes) {
        if (!m_echo.isEmpty()) {
            const bool echoed = m_echo.at(0) == c;
            m_echo.remove(0, 1);
            if (echoed)
                continue;
            // Not our echo after all: the line does not echo, or garbles it; either way this is the reply.
            m_echo.clear();
        }
        m_input.append(c);
        m_byteDeadline = now + m_driver.interByteTimeoutMs;
        if (m_phase == Phase::Waiting)
            m_phase = Phase::Replying;
        const bool complete = m_driver.readTerminator.isEmpty() ? m_input.size() >= expectedLength()
                                                                : m_input.endsWith(m_driver.readTerminator);
        if (!complete && m_input.size() < kMaxReplyBytes)
            continue;
        const QByteArray frame = m_input;
        m_input.clear();
        m_lastReplyAt = now;
        if (m_phase == Phase::Replying)
            steps += frameDone(frame, now);
    }
    return steps;
}

UutProtocol::Steps UutProtocol::frameDone(const QByteArray &frame, qint64 now)
{
    m_quietUntil = now + m_driver.waitBetweenMs;
    const Job &job = m_jobs.front();
    const Judgement j = judge(m_driver, *job.command, frame);
    const QString raw = rawText(m_driver, frame);
    if (j.kind == UutReading::Kind::Value)
        return finish(readingOf(j, raw, job.attempts), now);
    return failAttempt(j, raw, now);
}

UutProtocol::Steps UutProtocol::failAttempt(const Judgement &judgement, const QString &raw, qint64 now)
{
    const Job &job = m_jobs.front();
    if (!judgement.retry || job.attempts > m_driver.retries)
        return finish(readingOf(judgement, raw, job.attempts), now);
    m_phase = Phase::Pausing;
    m_deadline = std::max(now + judgement.retryDelayMs, job.listens ? now : m_quietUntil);
    m_input.clear();
    return m_deadline <= now ? send(now) : Steps();
}

UutProtocol::Steps UutProtocol::tick(qint64 now)
{
    switch (m_phase) {
    case Phase::Idle:
        // Unasked bytes that stopped short of a reply are forgotten.
        if (!m_input.isEmpty() && now >= m_byteDeadline)
            m_input.clear();
        return Steps();
    case Phase::Pausing:
        return now >= m_deadline ? send(now) : Steps();
    case Phase::Replying:
        if (now >= m_byteDeadline) {
            const QString raw = rawText(m_driver, m_input);
            m_input.clear();
            m_quietUntil = now + m_driver.waitBetweenMs;
            return failAttempt(
                Judgement {UutReading::Kind::Garbage, 0, QStringLiteral("reply cut short"), true, 0}, raw,
                now);
        }
        [[fallthrough]];
    case Phase::Waiting:
        if (now >= m_deadline) {
            const QString raw = rawText(m_driver, m_input);
            m_input.clear();
            const Judgement timeout {UutReading::Kind::Timeout, 0,
                QStringLiteral("no reply within %1 ms").arg(m_driver.replyTimeoutMs), true, 0};
            return failAttempt(timeout, raw, now);
        }
        return Steps();
    }
    return Steps();
}

std::optional<qint64> UutProtocol::nextDeadline() const
{
    switch (m_phase) {
    case Phase::Idle:
        return m_input.isEmpty() ? std::nullopt : std::optional<qint64>(m_byteDeadline);
    case Phase::Pausing:
    case Phase::Waiting:
        return m_deadline;
    case Phase::Replying:
        return std::min(m_deadline, m_byteDeadline);
    }
    return std::nullopt;
}

QVector<QPair<int, UutProtocol::Purpose>> UutProtocol::dropAll()
{
    QVector<QPair<int, Purpose>> dropped;
    for (const Job &job : m_jobs)
        dropped.append({job.token, job.purpose});
    m_jobs.clear();
    m_phase = Phase::Idle;
    m_input.clear();
    m_echo.clear();
    return dropped;
}

bool UutProtocol::idle() const
{
    return m_phase == Phase::Idle && m_jobs.empty();
}
