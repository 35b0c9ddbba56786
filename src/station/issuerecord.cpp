#include "issuerecord.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

using End = CalibrationJournal::End;
using Curve = IssueRecord::Curve;

// Names as the record writes them; a name, not an index, so that a later state cannot shift them.
const std::pair<Curve, const char *> kCurveNames[] = {
    {Curve::None, "none"},
    {Curve::Whole, "whole"},
    {Curve::Partial, "partial"},
    {Curve::Beside, "beside"},
    {Curve::Lost, "lost"},
};
const std::pair<End, const char *> kEndNames[] = {
    {End::None, "none"},
    {End::Finished, "finished"},
    {End::Aborted, "aborted"},
};

template<typename T, size_t N>
QString nameOf(const std::pair<T, const char *> (&names)[N], T value)
{
    for (const auto &[candidate, name] : names)
        if (candidate == value)
            return QString::fromLatin1(name);
    return QString();
}

template<typename T, size_t N>
std::optional<T> valueOf(const std::pair<T, const char *> (&names)[N], const QString &text)
{
    for (const auto &[candidate, name] : names)
        if (text == QLatin1String(name))
            return candidate;
    return std::nullopt;
}

} // namespace

QJsonObject IssueRecord::toJson() const
{
    QJsonArray rows;
    for (const CalibrationStepResult &row : run.results)
        rows.append(CalibrationJournal::resultObject(row));
    QJsonArray outages;
    for (const CalibrationOutage &outage : run.outages)
        outages.append(QJsonArray {double(outage.startMs), double(outage.lengthMs)});
    QJsonObject object {
        {QStringLiteral("number"), number()},
        {QStringLiteral("issuedAt"), issuedAt.toString(Qt::ISODateWithMs)},
        {QStringLiteral("header"), CalibrationJournal::headerObject(run.header)},
        {QStringLiteral("rows"), rows},
        {QStringLiteral("outages"), outages},
        {QStringLiteral("end"), nameOf(kEndNames, run.end)},
        {QStringLiteral("lab"),
            QJsonObject {{QStringLiteral("name"), lab.name}, {QStringLiteral("address"), lab.address},
                {QStringLiteral("prefix"), lab.prefix}, {QStringLiteral("country"), lab.country}}},
        {QStringLiteral("curve"), nameOf(kCurveNames, curve)},
        {QStringLiteral("curveFrom"), double(curveFromMsecs)},
        {QStringLiteral("curveFiles"), curveFiles},
        {QStringLiteral("chartSha256"), chartSha256},
    };
    // Only when there is one: a record issued before the trail keeps the hash it was issued with.
    if (!auditHead.isEmpty())
        object.insert(QStringLiteral("auditHead"), auditHead);
    // Only where there is one: the records issued before amendments existed keep their hashes.
    if (!replaces.isEmpty())
        object.insert(QStringLiteral("replaces"), replaces);
    if (!replacesSha256.isEmpty())
        object.insert(QStringLiteral("replacesSha256"), replacesSha256);
    return object;
}

std::optional<IssueRecord> IssueRecord::fromJson(const QJsonObject &object)
{
    IssueRecord record;
    if (!CalibrationJournal::headerFrom(object.value(QLatin1String("header")).toObject(), &record.run.header))
        return std::nullopt;
    const int steps = record.run.header.run.steps.size();
    for (const QJsonValue &row : object.value(QLatin1String("rows")).toArray()) {
        const std::optional<CalibrationStepResult> result
            = CalibrationJournal::resultFrom(row.toObject(), steps);
        if (!result)
            return std::nullopt;
        record.run.results.append(*result);
    }
    for (const QJsonValue &outage : object.value(QLatin1String("outages")).toArray()) {
        const QJsonArray pair = outage.toArray();
        record.run.outages.append({qint64(pair.at(0).toDouble()), qint64(pair.at(1).toDouble())});
    }
    const std::optional<End> end = valueOf(kEndNames, object.value(QLatin1String("end")).toString());
    const std::optional<Curve> curve = valueOf(kCurveNames, object.value(QLatin1String("curve")).toString());
    record.issuedAt
        = QDateTime::fromString(object.value(QLatin1String("issuedAt")).toString(), Qt::ISODateWithMs);
    if (!end || !curve || !record.issuedAt.isValid()
        || object.value(QLatin1String("number")).toString() != record.number())
        return std::nullopt;
    record.run.end = *end;
    record.curve = *curve;
    const QJsonObject lab = object.value(QLatin1String("lab")).toObject();
    record.lab.name = lab.value(QLatin1String("name")).toString();
    record.lab.address = lab.value(QLatin1String("address")).toString();
    record.lab.prefix = lab.value(QLatin1String("prefix")).toString();
    record.lab.country = lab.value(QLatin1String("country")).toString(); // absent from older records
    record.curveFromMsecs = qint64(object.value(QLatin1String("curveFrom")).toDouble());
    record.curveFiles = object.value(QLatin1String("curveFiles")).toBool();
    record.chartSha256 = object.value(QLatin1String("chartSha256")).toString();
    record.auditHead = object.value(QLatin1String("auditHead")).toString();
    record.replaces = object.value(QLatin1String("replaces")).toString();
    record.replacesSha256 = object.value(QLatin1String("replacesSha256")).toString();
    return record;
}

QString IssueRecord::hash(const QJsonObject &object)
{
    return QString::fromLatin1(QCryptographicHash::hash(
        QJsonDocument(object).toJson(QJsonDocument::Compact), QCryptographicHash::Sha256)
                                   .toHex());
}
