#include "scpinumeric.h"

#include "remote/scpierrorqueue.h"
#include "remote/scpiparser.h"

#include <cmath>

namespace {

constexpr int kMostDecimals = 6;

// The fewest places after the point that hold `value`, up to kMostDecimals.
int decimalsOf(double value)
{
    for (int d = 0; d < kMostDecimals; ++d) {
        const double scaled = value * std::pow(10.0, d);
        if (std::abs(scaled - std::round(scaled)) < 1e-6)
            return d;
    }
    return kMostDecimals;
}

// `value` at the fewest places that hold it, without the conversion's last-bit noise.
ScpiNumeric::Value converted(double value)
{
    const int decimals = decimalsOf(value);
    const double scale = std::pow(10.0, decimals);
    return ScpiNumeric::Value {std::round(value * scale) / scale, decimals};
}

} // namespace

ScpiNumeric::Asked ScpiNumeric::word(const QString &text)
{
    const QString w = text.toUpper();
    if (w == QLatin1String("MIN") || w == QLatin1String("MINIMUM"))
        return Asked::Minimum;
    if (w == QLatin1String("MAX") || w == QLatin1String("MAXIMUM"))
        return Asked::Maximum;
    if (w == QLatin1String("DEF") || w == QLatin1String("DEFAULT"))
        return Asked::Default;
    return Asked::Invalid;
}

std::optional<ScpiNumeric::Value> ScpiNumeric::read(
    const ScpiParameter &parameter, Quantity quantity, const Bounds &bounds, ScpiErrorQueue &errors)
{
    if (parameter.kind == ScpiParameter::Kind::Word) {
        std::optional<double> value;
        switch (word(parameter.text)) {
        case Asked::Minimum:
            value = bounds.minimum;
            break;
        case Asked::Maximum:
            value = bounds.maximum;
            break;
        case Asked::Default:
            if (!bounds.byDefault) {
                errors.push(-230, QStringLiteral("Data corrupt or stale;no default known"));
                return std::nullopt;
            }
            value = bounds.byDefault;
            break;
        case Asked::Value:
        case Asked::Invalid:
            errors.push(-224, QStringLiteral("Illegal parameter value"));
            return std::nullopt;
        }
        return Value {*value, decimalsOf(*value)};
    }
    if (parameter.kind != ScpiParameter::Kind::Number) {
        errors.push(-104, QStringLiteral("Data type error"));
        return std::nullopt;
    }
    const QString &suffix = parameter.suffix;
    if (suffix.isEmpty())
        return Value {parameter.number, parameter.decimals};
    if (quantity == Quantity::Seconds && suffix == QLatin1String("S"))
        return Value {parameter.number, parameter.decimals};
    if (quantity == Quantity::Temperature) {
        if (suffix == QLatin1String("CEL"))
            return Value {parameter.number, parameter.decimals};
        if (suffix == QLatin1String("K")) {
            return converted(parameter.number - 273.15);
        }
        if (suffix == QLatin1String("FAR")) {
            return converted((parameter.number - 32) * 5 / 9);
        }
    }
    if (quantity == Quantity::TemperatureDifference) {
        if (suffix == QLatin1String("CEL") || suffix == QLatin1String("K"))
            return Value {parameter.number, parameter.decimals};
        if (suffix == QLatin1String("FAR"))
            return converted(parameter.number * 5 / 9);
    }
    errors.push(-131, QStringLiteral("Invalid suffix"));
    return std::nullopt;
}

ScpiNumeric::Asked ScpiNumeric::asked(const QVector<ScpiParameter> &parameters, ScpiErrorQueue &errors)
{
    if (parameters.isEmpty())
        return Asked::Value;
    if (parameters.size() > 1) {
        errors.push(-108, QStringLiteral("Parameter not allowed"));
        return Asked::Invalid;
    }
    const Asked asked
        = parameters.at(0).kind == ScpiParameter::Kind::Word ? word(parameters.at(0).text) : Asked::Invalid;
    if (asked == Asked::Invalid)
        errors.push(-224, QStringLiteral("Illegal parameter value"));
    return asked;
}
