#include "calibrationrun.h"

#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

using Kind = CalibrationRunError::Kind;

// A day: longer makes no sense for one point, and keeps every time far inside qint64 milliseconds.
constexpr double kLongestSeconds = 86400;
// No length, temperature or uncertainty of this trade comes near it; a value beyond is a typing slip or a
// hostile file, and would overflow the printed digits downstream.
constexpr double kAbsurd = 1e6;

// The parser's offset counts bytes; the operator's editor counts lines and characters.
void lineAndColumn(const QByteArray &json, int offset, int *line, int *column)
{
    offset = qBound(0, offset, json.size());
    *line = 1;
    *column = 1;
    for (int i = 0; i < offset; ++i) {
        const auto byte = quint8(json.at(i));
        if (byte == '\n') {
            ++*line;
            *column = 1;
        } else if ((byte & 0xC0) != 0x80) { // UTF-8 continuation bytes belong to the character before
            ++*column;
        }
    }
}

void setError(CalibrationRunError *error, Kind kind, int step, const QString &field, const QString &reason)
{
    error->kind = kind;
    error->step = step;
    error->field = field;
    if (step == 0)
        error->message = field.isEmpty() ? reason : CalibrationRun::tr("%1：%2").arg(field, reason);
    else if (field.isEmpty())
        error->message = CalibrationRun::tr("第 %1 步：%2").arg(step).arg(reason);
    else
        error->message = CalibrationRun::tr("第 %1 步，%2：%3").arg(step).arg(field, reason);
}

// Reads the fields of one object (the header, or step `step`), stopping at the first bad one.
class FieldReader
{
public:
    // `prefix` names a nested object in messages: "source." or "budget[2].".
    FieldReader(const QJsonObject &object, int step, CalibrationRunError *error, const QString &prefix = {})
        : m_object(object)
        , m_step(step)
        , m_error(error)
        , m_prefix(prefix)
    { }

    bool ok() const { return !m_error->isError(); }

    // Keeps *out when the field is left out; `required` makes that an error instead.
    void number(const char *key, double *out, double low, bool lowOpen, double high, bool required = false)
    {
        const QJsonValue value = take(key, required);
        if (value.isUndefined())
            return;
        if (!value.isDouble())
            return fail(Kind::WrongType, key, CalibrationRun::tr("应为数字"));
        // JSON has no infinity or NaN: the parser refuses such a number as a syntax error.
        const double v = value.toDouble();
        if (!std::isfinite(v))
            return fail(Kind::TooLarge, key, CalibrationRun::tr("不能大于 %1").arg(high));
        if (lowOpen && v <= low)
            return fail(Kind::NotPositive, key, CalibrationRun::tr("必须大于零"));
        if (v < low)
            return fail(Kind::Negative, key, CalibrationRun::tr("不能为负数"));
        if (v > high)
            return fail(Kind::TooLarge, key, CalibrationRun::tr("不能大于 %1").arg(high));
        *out = v;
    }

    void requiredNumber(const char *key, double *out) { number(key, out, -qInf(), false, qInf(), true); }

    // A temperature, length or uncertainty: at least 0 and at most kAbsurd.
    void amount(const char *key, double *out, bool required = false)
    {
        number(key, out, 0, false, kAbsurd, required);
    }

    void text(const char *key, QString *out)
    {
        const QJsonValue value = take(key, false);
        if (value.isUndefined())
            return;
        if (!value.isString())
            return fail(Kind::WrongType, key, CalibrationRun::tr("应为文字"));
        *out = value.toString();
    }

    // A whole number above zero.
    void count(const char *key, int *out, int high)
    {
        double v = *out;
        number(key, &v, 0, true, high);
        if (ok() && v != std::floor(v))
            return fail(Kind::WrongType, key, CalibrationRun::tr("应为整数"));
        *out = int(v);
    }

    // One of `words`, as its index.
    void choice(const char *key, const QStringList &words, int *out)
    {
        QString word;
        text(key, &word);
        if (!ok() || !m_object.contains(QLatin1String(key)))
            return;
        const int index = words.indexOf(word);
        if (index < 0)
            return fail(Kind::BadValue, key,
                CalibrationRun::tr("应为 %1 之一")
                    .arg(QLatin1Char('"') + words.join(QStringLiteral("\", \"")) + QLatin1Char('"')));
        *out = index;
    }

    void date(const char *key, QString *out)
    {
        QString written;
        text(key, &written);
        if (!ok() || written.isEmpty())
            return;
        if (!QDate::fromString(written, Qt::ISODate).isValid())
            return fail(Kind::BadValue, key, CalibrationRun::tr("应为日期，如 2027-06-30"));
        *out = written;
    }

    // An object or array field; Undefined when left out or after an error.
    QJsonValue nested(const char *key, bool array)
    {
        const QJsonValue value = take(key, false);
        if (value.isUndefined())
            return value;
        if (array && !value.isArray()) {
            fail(Kind::WrongType, key, CalibrationRun::tr("应为列表"));
            return QJsonValue::Undefined;
        }
        if (!array && !value.isObject()) {
            fail(Kind::WrongType, key, CalibrationRun::tr("应为对象"));
            return QJsonValue::Undefined;
        }
        return value;
    }

    void flag(const char *key, bool *out)
    {
        const QJsonValue value = take(key, false);
        if (value.isUndefined())
            return;
        if (!value.isBool())
            return fail(Kind::WrongType, key, CalibrationRun::tr("应为 true 或 false"));
        *out = value.toBool();
    }

    void fail(Kind kind, const QString &field, const QString &reason)
    {
        setError(m_error, kind, m_step,
            field.isEmpty() && !m_prefix.isEmpty() ? m_prefix.chopped(1) : m_prefix + field, reason);
    }

private:
    QJsonValue take(const char *key, bool required)
    {
        if (!ok())
            return QJsonValue::Undefined;
        const QJsonValue value = m_object.value(QLatin1String(key));
        if (value.isUndefined() && required)
            fail(Kind::Missing, QLatin1String(key), CalibrationRun::tr("缺少此项"));
        return value;
    }

    QJsonObject m_object;
    int m_step;
    CalibrationRunError *m_error;
    QString m_prefix;
};

const QStringList kConditions {QStringLiteral("as found"), QStringLiteral("as left")};
const QStringList kRules {QStringLiteral("simple"), QStringLiteral("guarded")};
const QStringList kDistributions {
    QStringLiteral("normal"), QStringLiteral("rectangular"), QStringLiteral("triangular")};
const QStringList kActsAt {QStringLiteral("reading"), QStringLiteral("source")};
const QStringList kToleranceOf {QStringLiteral("reading"), QStringLiteral("reference")};
const QStringList kReadingsFrom {QStringLiteral("typed"), QStringLiteral("driver")};

void readReadings(const QJsonObject &object, int version, ReadingsSource *out, CalibrationRunError *error)
{
    FieldReader reader(object, 0, error, QStringLiteral("readings."));
    int from = int(out->from);
    reader.choice("source", kReadingsFrom, &from);
    out->from = ReadingsSource::From(from);
    reader.text("driver", &out->driver);
    reader.text("port", &out->port);
    reader.number("intervalS", &out->intervalS, 0, true, ReadingsSource::kLongestIntervalS);
    if (reader.ok() && out->intervalS < ReadingsSource::kShortestIntervalS)
        reader.fail(Kind::BadValue, QStringLiteral("intervalS"),
            CalibrationRun::tr("不能短于 %1 秒").arg(ReadingsSource::kShortestIntervalS));
    reader.flag("emissivityConfirmed", &out->emissivityConfirmed);
    if (!reader.ok() || out->from != ReadingsSource::From::Driver)
        return;
    // An older program reads such a file as one with typed readings; version 4 makes it refuse the file.
    if (version < 4)
        reader.fail(Kind::BadValue, QStringLiteral("source"), CalibrationRun::tr("\"driver\" 需要版本 4"));
    else if (out->driver.isEmpty())
        reader.fail(Kind::Missing, QStringLiteral("driver"), CalibrationRun::tr("缺少此项"));
    else if (out->port.isEmpty())
        reader.fail(Kind::Missing, QStringLiteral("port"), CalibrationRun::tr("缺少此项"));
}

void readCertificate(const QJsonObject &object, CertificateFields *out, CalibrationRunError *error)
{
    FieldReader reader(object, 0, error, QStringLiteral("certificate."));
    reader.text("customer", &out->customer);
    reader.text("customerAddress", &out->customerAddress);
    reader.text("customerCountry", &out->customerCountry);
    if (reader.ok() && !out->customerCountry.isEmpty()
        && !QRegularExpression(QStringLiteral("^[A-Z]{2}$")).match(out->customerCountry).hasMatch())
        return reader.fail(Kind::BadValue, QStringLiteral("customerCountry"),
            CalibrationRun::tr("应为两个大写字母的国家代码，如 CN"));
    int condition = kConditions.indexOf(out->condition);
    reader.choice("condition", kConditions, &condition);
    out->condition = kConditions.value(condition);
    reader.text("signatory", &out->signatory);
    reader.text("make", &out->make);
    reader.text("model", &out->model);
    reader.text("serial", &out->serial);
    reader.amount("resolutionC", &out->resolutionC);
    reader.amount("apertureMm", &out->apertureMm);
    const QJsonValue band = reader.nested("bandUm", true);
    if (band.isUndefined())
        return;
    const QJsonArray limits = band.toArray();
    // Planck's law is integrated over the band: wavelengths below 0.1 µm or past 1 mm are no thermometer's.
    if (limits.size() != 2 || !limits.at(0).isDouble() || !limits.at(1).isDouble()
        || limits.at(0).toDouble() < 0.1 || limits.at(1).toDouble() <= limits.at(0).toDouble()
        || limits.at(1).toDouble() > 1000)
        return reader.fail(Kind::BadValue, QStringLiteral("bandUm"),
            CalibrationRun::tr("应为两个波长 [下限, 上限]（µm），下限小于上限"));
    out->bandLowUm = limits.at(0).toDouble();
    out->bandHighUm = limits.at(1).toDouble();
}

void readSource(const QJsonObject &object, SourceFields *out, CalibrationRunError *error)
{
    FieldReader reader(object, 0, error, QStringLiteral("source."));
    reader.text("make", &out->make);
    reader.text("model", &out->model);
    reader.text("serial", &out->serial);
    reader.number("emissivity", &out->emissivity, 0, true, 1);
    reader.number("emissivityUncertainty", &out->emissivityUncertainty, 0, false, 1);
    reader.text("certificate", &out->certificate);
    reader.date("due", &out->due);
    const QJsonArray points = reader.nested("uncertainty", true).toArray();
    for (int i = 0; i < points.size() && reader.ok(); ++i) {
        const QString prefix = QStringLiteral("source.uncertainty[%1].").arg(i + 1);
        FieldReader point(points.at(i).toObject(), 0, error, prefix);
        if (!points.at(i).isObject())
            return point.fail(Kind::WrongType, QString(), CalibrationRun::tr("应为对象"));
        SourceUncertaintyPoint p;
        point.number("setPoint", &p.setPoint, -kAbsurd, false, kAbsurd, true);
        point.amount("U", &p.expanded, true);
        if (point.ok() && !out->uncertainty.isEmpty() && p.setPoint <= out->uncertainty.constLast().setPoint)
            point.fail(Kind::BadValue, QStringLiteral("setPoint"), CalibrationRun::tr("设定值应依次增大"));
        if (!point.ok())
            return;
        out->uncertainty.append(p);
    }
}

void readBudget(const QJsonArray &components, QVector<BudgetComponent> *out, CalibrationRunError *error)
{
    for (int i = 0; i < components.size(); ++i) {
        FieldReader reader(components.at(i).toObject(), 0, error, QStringLiteral("budget[%1].").arg(i + 1));
        if (!components.at(i).isObject())
            return reader.fail(Kind::WrongType, QString(), CalibrationRun::tr("应为对象"));
        BudgetComponent c;
        reader.text("name", &c.name);
        reader.amount("value", &c.value, true);
        int distribution = 0;
        reader.choice("distribution", kDistributions, &distribution);
        c.distribution = BudgetComponent::Distribution(distribution);
        if (c.distribution == BudgetComponent::Distribution::Normal)
            reader.number("k", &c.k, 0, true, kAbsurd);
        reader.number("dof", &c.dof, 0, true, kAbsurd);
        int actsAt = 0;
        reader.choice("actsAt", kActsAt, &actsAt);
        c.actsAt = BudgetComponent::ActsAt(actsAt);
        reader.flag("repeatability", &c.repeatability);
        reader.text("basis", &c.basis);
        if (!reader.ok())
            return;
        out->append(c);
    }
}

// The version decides how the rest is read, so it is judged first.
bool versionReadable(const QJsonObject &root, CalibrationRunError *error)
{
    const QJsonValue version = root.value(QLatin1String("version"));
    if (version.isUndefined()) {
        setError(error, Kind::NoVersion, 0, QString(), CalibrationRun::tr("文件缺少版本号"));
        return false;
    }
    const double v = version.toDouble(-1);
    if (!version.isDouble() || v < 1 || v != std::floor(v)) {
        setError(error, Kind::BadVersion, 0, QStringLiteral("version"), CalibrationRun::tr("版本号无效"));
        return false;
    }
    if (v > CalibrationRun::kVersion) {
        setError(error, Kind::NewerVersion, 0, QString(),
            CalibrationRun::tr("此文件由较新版本的程序保存（版本 %1），本程序无法读取")
                .arg(QString::number(v, 'f', 0)));
        return false;
    }
    return true;
}

} // namespace

bool CertificateFields::operator==(const CertificateFields &o) const
{
    return customer == o.customer && customerAddress == o.customerAddress
        && customerCountry == o.customerCountry && condition == o.condition && signatory == o.signatory
        && make == o.make && model == o.model && serial == o.serial && resolutionC == o.resolutionC
        && bandLowUm == o.bandLowUm && bandHighUm == o.bandHighUm && apertureMm == o.apertureMm;
}

bool SourceUncertaintyPoint::operator==(const SourceUncertaintyPoint &o) const
{
    return setPoint == o.setPoint && expanded == o.expanded;
}

bool SourceFields::operator==(const SourceFields &o) const
{
    return make == o.make && model == o.model && serial == o.serial && emissivity == o.emissivity
        && emissivityUncertainty == o.emissivityUncertainty && certificate == o.certificate && due == o.due
        && uncertainty == o.uncertainty;
}

bool BudgetComponent::operator==(const BudgetComponent &o) const
{
    return name == o.name && value == o.value && distribution == o.distribution
        && (distribution != Distribution::Normal || k == o.k) && dof == o.dof && actsAt == o.actsAt
        && repeatability == o.repeatability && basis == o.basis;
}

bool ReadingsSource::operator==(const ReadingsSource &o) const
{
    return from == o.from && driver == o.driver && port == o.port && intervalS == o.intervalS
        && emissivityConfirmed == o.emissivityConfirmed;
}

bool CalibrationStep::operator==(const CalibrationStep &other) const
{
    return setPoint == other.setPoint && band == other.band && window == other.window && dwell == other.dwell
        && askReading == other.askReading;
}

bool CalibrationRun::operator==(const CalibrationRun &other) const
{
    return instrument == other.instrument && operatorName == other.operatorName
        && distanceMm == other.distanceMm && emissivity == other.emissivity
        && certificate == other.certificate && source == other.source && ambientC == other.ambientC
        && ambientUncertaintyC == other.ambientUncertaintyC && toleranceC == other.toleranceC
        && tolerancePercent == other.tolerancePercent && toleranceOf == other.toleranceOf
        && guarded == other.guarded && readingsPerStep == other.readingsPerStep && budget == other.budget
        && readings == other.readings && steps == other.steps;
}

int CalibrationRun::versionNeeded() const
{
    if (!certificate.customerAddress.isEmpty() || !certificate.customerCountry.isEmpty())
        return 5;
    return readings.from == ReadingsSource::From::Driver ? 4 : 3;
}

QByteArray CalibrationRun::toJson() const
{
    QJsonArray stepArray;
    for (const CalibrationStep &step : steps) {
        stepArray.append(QJsonObject {
            {QStringLiteral("setPoint"), step.setPoint},
            {QStringLiteral("band"), step.band},
            {QStringLiteral("window"), step.window},
            {QStringLiteral("dwell"), step.dwell},
            {QStringLiteral("askReading"), step.askReading},
        });
    }
    QJsonArray uncertainty;
    for (const SourceUncertaintyPoint &point : source.uncertainty)
        uncertainty.append(QJsonObject {
            {QStringLiteral("setPoint"), point.setPoint}, {QStringLiteral("U"), point.expanded}});
    QJsonArray components;
    for (const BudgetComponent &c : budget) {
        QJsonObject component {{QStringLiteral("name"), c.name}, {QStringLiteral("value"), c.value},
            {QStringLiteral("distribution"), kDistributions.at(int(c.distribution))}};
        if (c.distribution == BudgetComponent::Distribution::Normal)
            component.insert(QStringLiteral("k"), c.k);
        if (std::isfinite(c.dof)) // JSON has no infinity: left out, it reads back as infinite
            component.insert(QStringLiteral("dof"), c.dof);
        component.insert(QStringLiteral("actsAt"), kActsAt.at(int(c.actsAt)));
        component.insert(QStringLiteral("repeatability"), c.repeatability);
        if (c.repeatability || !c.basis.isEmpty())
            component.insert(QStringLiteral("basis"), c.basis);
        components.append(component);
    }
    const QJsonObject root {
        {QStringLiteral("version"), versionNeeded()},
        {QStringLiteral("instrument"), instrument},
        {QStringLiteral("operator"), operatorName},
        {QStringLiteral("distanceMm"), distanceMm},
        {QStringLiteral("emissivity"), emissivity},
        {QStringLiteral("certificate"),
            QJsonObject {{QStringLiteral("customer"), certificate.customer},
                {QStringLiteral("customerAddress"), certificate.customerAddress},
                {QStringLiteral("customerCountry"), certificate.customerCountry},
                {QStringLiteral("condition"), certificate.condition},
                {QStringLiteral("signatory"), certificate.signatory},
                {QStringLiteral("make"), certificate.make}, {QStringLiteral("model"), certificate.model},
                {QStringLiteral("serial"), certificate.serial},
                {QStringLiteral("resolutionC"), certificate.resolutionC},
                {QStringLiteral("bandUm"), QJsonArray {certificate.bandLowUm, certificate.bandHighUm}},
                {QStringLiteral("apertureMm"), certificate.apertureMm}}},
        {QStringLiteral("source"),
            QJsonObject {{QStringLiteral("make"), source.make}, {QStringLiteral("model"), source.model},
                {QStringLiteral("serial"), source.serial}, {QStringLiteral("emissivity"), source.emissivity},
                {QStringLiteral("emissivityUncertainty"), source.emissivityUncertainty},
                {QStringLiteral("certificate"), source.certificate}, {QStringLiteral("due"), source.due},
                {QStringLiteral("uncertainty"), uncertainty}}},
        {QStringLiteral("ambientC"), ambientC},
        {QStringLiteral("ambientUncertaintyC"), ambientUncertaintyC},
        {QStringLiteral("tolerance"),
            QJsonObject {{QStringLiteral("c"), toleranceC}, {QStringLiteral("percent"), tolerancePercent},
                {QStringLiteral("of"), kToleranceOf.at(int(toleranceOf))}}},
        {QStringLiteral("decisionRule"), kRules.at(guarded ? 1 : 0)},
        {QStringLiteral("readingsPerStep"), readingsPerStep},
        {QStringLiteral("budget"), components},
        {QStringLiteral("readings"),
            QJsonObject {{QStringLiteral("source"), kReadingsFrom.at(int(readings.from))},
                {QStringLiteral("driver"), readings.driver}, {QStringLiteral("port"), readings.port},
                {QStringLiteral("intervalS"), readings.intervalS},
                {QStringLiteral("emissivityConfirmed"), readings.emissivityConfirmed}}},
        {QStringLiteral("steps"), stepArray},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

CalibrationRun CalibrationRun::fromJson(const QByteArray &json, CalibrationRunError *error)
{
    *error = CalibrationRunError();
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parse);
    if (parse.error != QJsonParseError::NoError) {
        error->kind = Kind::Syntax;
        lineAndColumn(json, parse.offset, &error->line, &error->column);
        error->message = CalibrationRun::tr("第 %1 行第 %2 列：%3")
                             .arg(error->line)
                             .arg(error->column)
                             .arg(parse.errorString());
        return {};
    }
    if (!document.isObject()) {
        setError(error, Kind::NotARun, 0, QString(), CalibrationRun::tr("这不是校准程序文件"));
        return {};
    }
    const QJsonObject root = document.object();
    if (!versionReadable(root, error))
        return {};

    CalibrationRun run;
    // Before version 3 a run without the field asked for one reading per step.
    if (root.value(QLatin1String("version")).toDouble() < 3)
        run.readingsPerStep = 1;
    FieldReader header(root, 0, error);
    header.text("instrument", &run.instrument);
    header.text("operator", &run.operatorName);
    header.amount("distanceMm", &run.distanceMm);
    header.number("emissivity", &run.emissivity, 0, true, 1);
    header.number("ambientC", &run.ambientC, -273.15, false, 3000);
    header.amount("ambientUncertaintyC", &run.ambientUncertaintyC);
    int rule = run.guarded ? 1 : 0;
    header.choice("decisionRule", kRules, &rule);
    run.guarded = rule == 1;
    header.count("readingsPerStep", &run.readingsPerStep, 100);
    const QJsonValue certificate = header.nested("certificate", false);
    if (header.ok() && !certificate.isUndefined())
        readCertificate(certificate.toObject(), &run.certificate, error);
    const QJsonValue source = header.ok() ? header.nested("source", false) : QJsonValue::Undefined;
    if (header.ok() && !source.isUndefined())
        readSource(source.toObject(), &run.source, error);
    const QJsonValue tolerance = header.ok() ? header.nested("tolerance", false) : QJsonValue::Undefined;
    if (header.ok() && !tolerance.isUndefined()) {
        FieldReader reader(tolerance.toObject(), 0, error, QStringLiteral("tolerance."));
        reader.amount("c", &run.toleranceC);
        reader.number("percent", &run.tolerancePercent, 0, false, 100);
        int of = int(run.toleranceOf);
        reader.choice("of", kToleranceOf, &of);
        run.toleranceOf = CalibrationRun::ToleranceOf(of);
    }
    const QJsonValue budget = header.ok() ? header.nested("budget", true) : QJsonValue::Undefined;
    if (header.ok() && !budget.isUndefined())
        readBudget(budget.toArray(), &run.budget, error);
    const QJsonValue readings = header.ok() ? header.nested("readings", false) : QJsonValue::Undefined;
    if (header.ok() && !readings.isUndefined())
        readReadings(readings.toObject(), root.value(QLatin1String("version")).toInt(), &run.readings, error);
    const QJsonValue steps = root.value(QLatin1String("steps"));
    if (header.ok() && !steps.isUndefined() && !steps.isArray())
        header.fail(Kind::WrongType, QStringLiteral("steps"), CalibrationRun::tr("应为步骤列表"));
    if (!header.ok())
        return {};

    const QJsonArray stepArray = steps.toArray();
    for (int i = 0; i < stepArray.size(); ++i) {
        CalibrationStep step;
        FieldReader reader(stepArray.at(i).toObject(), i + 1, error);
        if (!stepArray.at(i).isObject()) {
            reader.fail(Kind::WrongType, QString(), CalibrationRun::tr("应为一个步骤对象"));
            return {};
        }
        reader.requiredNumber("setPoint", &step.setPoint);
        reader.amount("band", &step.band);
        reader.number("window", &step.window, 0, true, kLongestSeconds);
        reader.number("dwell", &step.dwell, 0, false, kLongestSeconds);
        if (reader.ok() && step.dwell < kShortestDwell)
            reader.fail(Kind::ShorterThanPoll, QStringLiteral("dwell"),
                CalibrationRun::tr("不能短于一次轮询（%1 秒）").arg(kShortestDwell));
        reader.flag("askReading", &step.askReading);
        if (!reader.ok())
            return {};
        run.steps.append(step);
    }
    return run;
}

CalibrationRunError CalibrationRun::checkModel(double minimum, double maximum, int decimals) const
{
    CalibrationRunError error;
    const double scale = std::pow(10.0, decimals);
    for (int i = 0; i < steps.size(); ++i) {
        const double setPoint = steps.at(i).setPoint;
        if (setPoint < minimum || setPoint > maximum) {
            setError(&error, Kind::OutsideModel, i + 1, QStringLiteral("setPoint"),
                CalibrationRun::tr("%1℃ 超出型号范围 %2℃ 到 %3℃").arg(setPoint).arg(minimum).arg(maximum));
            break;
        }
        // 0.29 × 100 is 28.999… in binary: a value written with the model's decimals is near a whole unit.
        const double units = setPoint * scale;
        if (std::abs(units - std::round(units)) > 1e-6 * qMax(1.0, std::abs(units))) {
            setError(&error, Kind::TooPrecise, i + 1, QStringLiteral("setPoint"), QString());
            error.message = CalibrationRun::tr("第 %1 步的设定值 %2 超出该型号的精度（%3 位小数）")
                                .arg(i + 1)
                                .arg(QString::number(setPoint, 'g', 15))
                                .arg(decimals);
            break;
        }
    }
    return error;
}

const BudgetComponent *CalibrationRun::statedRepeatability() const
{
    const auto found = std::find_if(
        budget.begin(), budget.end(), [](const BudgetComponent &c) { return c.repeatability; });
    return found == budget.end() ? nullptr : &*found;
}
