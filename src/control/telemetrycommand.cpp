#include "telemetrycommand.h"

#include "control/blackbodymodel.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

constexpr int kMaxNumberBytes = 64;

TelemetryCommand::Verdict refused(const char *reason)
{
    TelemetryCommand::Verdict verdict;
    verdict.reason = QString::fromLatin1(reason);
    return verdict;
}

} // namespace

QString TelemetryCommand::reason(LinkPolicy::Refusal refusal)
{
    return LinkPolicy::reasonWord(refusal);
}

TelemetryCommand::Verdict TelemetryCommand::judge(
    const QByteArray &payload, bool retained, const BlackbodyModel &model, const LinkSituation &situation)
{
    if (retained)
        return refused("retained");
    // No number the model takes is longer; a long message is not read through.
    if (payload.size() > kMaxNumberBytes)
        return refused("not a number");
    // JSON's number grammar, which plain decimal text also meets.
    static const QRegularExpression number(
        QStringLiteral("^-?(?:0|[1-9][0-9]*)(?:\\.([0-9]+))?(?:[eE]([+-]?[0-9]{1,3}))?$"));
    const QString text = QString::fromUtf8(payload).trimmed();
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
