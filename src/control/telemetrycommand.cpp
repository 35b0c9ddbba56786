#include "telemetrycommand.h"

#include "control/blackbodymodel.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>

namespace {

// No command the model takes is longer, the object form included; a long message is not read through.
constexpr int kMaxCommandBytes = 256;

TelemetryCommand::Verdict refused(const char *reason)
{
    TelemetryCommand::Verdict verdict;
    verdict.reason = QString::fromLatin1(reason);
    return verdict;
}

// JSON's white space, the only bytes allowed around the command.
bool isJsonSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

QByteArray trimmedJson(const QByteArray &bytes)
{
    int from = 0;
    int to = bytes.size();
    while (from < to && isJsonSpace(bytes.at(from)))
        ++from;
    while (to > from && isJsonSpace(bytes.at(to - 1)))
        --to;
    return bytes.mid(from, to - from);
}

} // namespace

QString TelemetryCommand::reason(LinkPolicy::Refusal refusal)
{
    return LinkPolicy::reasonWord(refusal);
}

TelemetryCommand::Verdict TelemetryCommand::judge(const QByteArray &payload, const Arrival &arrival,
    const BlackbodyModel &model, const LinkSituation &situation)
{
    if (arrival.retained)
        return refused("retained");
    if (payload.size() > kMaxCommandBytes)
        return refused("not a number");
    // The bytes as received: a conversion that stops at a NUL would judge a command cut short.
    const QByteArray command = trimmedJson(payload);
    // JSON's number grammar, which plain decimal text also meets.
    static const QRegularExpression number(
        QStringLiteral("^-?(?:0|[1-9][0-9]*)(?:\\.([0-9]+))?(?:[eE]([+-]?[0-9]{1,3}))?$"));
    QByteArray numberText = command;
    bool timestamped = false;
    if (command.startsWith('{')) {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(command, &error);
        const QJsonObject object = document.object();
        const QJsonValue value = object.value(QStringLiteral("value"));
        const QJsonValue ts = object.value(QStringLiteral("ts"));
        const QStringList keys = object.keys();
        const bool onlyKnownKeys = std::all_of(keys.cbegin(), keys.cend(),
            [](const QString &key) { return key == QLatin1String("value") || key == QLatin1String("ts"); });
        if (error.error != QJsonParseError::NoError || !document.isObject() || !value.isDouble()
            || !onlyKnownKeys)
            return refused("not a number");
        if (!ts.isUndefined()) {
            const QDateTime at = QDateTime::fromString(ts.toString(), Qt::ISODateWithMs);
            // A time without its offset could be anybody's local time.
            if (!ts.isString() || !at.isValid() || at.timeSpec() == Qt::LocalTime)
                return refused("not timestamped");
            if (std::abs(at.msecsTo(arrival.at)) > kTimestampSkewMs)
                return refused("stale");
            timestamped = true;
        }
        // The number as written, for its decimals: JSON's reader keeps only its value.
        static const QRegularExpression written(QStringLiteral("\"value\"\\s*:\\s*([-+0-9.eE]+)"));
        numberText
            = written.match(QString::fromLatin1(command.constData(), command.size())).captured(1).toLatin1();
    }
    if (!arrival.retainFlagReliable && !timestamped)
        return refused("not timestamped");
    const QString text = QString::fromLatin1(numberText.constData(), numberText.size());
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return refused("not a number");
    if (const LinkPolicy::Refusal refusal = LinkPolicy::setPoint(situation, Requester::Mqtt);
        refusal != LinkPolicy::Refusal::None) {
        Verdict verdict;
        verdict.reason = reason(refusal);
        return verdict;
    }
    // The places after the point as written: 3.55e1 has one, 355e-1 one too.
    const int decimals = std::max(0, int(match.capturedLength(1)) - match.captured(2).toInt());
    const double value = text.toDouble();
    if (!setPointFits(model, value, decimals))
        return refused("out of range");
    Verdict verdict;
    verdict.accepted = true;
    verdict.value = value;
    return verdict;
}
