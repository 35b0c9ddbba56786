#include "calibrationrun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

using Kind = CalibrationRunError::Kind;

// A day: longer makes no sense for one point, and keeps every time far inside qint64 milliseconds.
constexpr double kLongestSeconds = 86400;

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
    FieldReader(const QJsonObject &object, int step, CalibrationRunError *error)
        : m_object(object)
        , m_step(step)
        , m_error(error)
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
        if (lowOpen && v <= low)
            return fail(Kind::NotPositive, key, CalibrationRun::tr("必须大于零"));
        if (v < low)
            return fail(Kind::Negative, key, CalibrationRun::tr("不能为负数"));
        if (v > high)
            return fail(Kind::TooLarge, key, CalibrationRun::tr("不能大于 %1").arg(high));
        *out = v;
    }

    void requiredNumber(const char *key, double *out) { number(key, out, -qInf(), false, qInf(), true); }

    void text(const char *key, QString *out)
    {
        const QJsonValue value = take(key, false);
        if (value.isUndefined())
            return;
        if (!value.isString())
            return fail(Kind::WrongType, key, CalibrationRun::tr("应为文字"));
        *out = value.toString();
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
        setError(m_error, kind, m_step, field, reason);
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
};

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

bool CalibrationStep::operator==(const CalibrationStep &other) const
{
    return setPoint == other.setPoint && band == other.band && window == other.window && dwell == other.dwell
        && askReading == other.askReading;
}

bool CalibrationRun::operator==(const CalibrationRun &other) const
{
    return instrument == other.instrument && operatorName == other.operatorName
        && distanceMm == other.distanceMm && emissivity == other.emissivity && steps == other.steps;
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
    const QJsonObject root {
        {QStringLiteral("version"), kVersion},
        {QStringLiteral("instrument"), instrument},
        {QStringLiteral("operator"), operatorName},
        {QStringLiteral("distanceMm"), distanceMm},
        {QStringLiteral("emissivity"), emissivity},
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
    FieldReader header(root, 0, error);
    header.text("instrument", &run.instrument);
    header.text("operator", &run.operatorName);
    header.number("distanceMm", &run.distanceMm, 0, false, qInf());
    header.number("emissivity", &run.emissivity, 0, true, 1);
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
        reader.number("band", &step.band, 0, false, qInf());
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
