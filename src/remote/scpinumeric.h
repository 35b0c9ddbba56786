#pragma once

#include <QString>
#include <QVector>

#include <optional>

class ScpiErrorQueue;
struct ScpiParameter;

// A numeric parameter as SCPI-1999 writes it: a number, with a unit suffix where the quantity has one
// (CEL, FAR or K for a temperature, S for seconds), or MIN, MAX or DEF for the bounds and the default of
// what it sets. A temperature is converted to degrees Celsius, and keeps only the places after the point
// it has in Celsius, so that 113 FAR is 45 and not 45.000000001. Pure.
class ScpiNumeric
{
public:
    // A difference of temperatures (a stability band) is the same in CEL and K, 5/9 of it in FAR.
    enum class Quantity { Temperature, TemperatureDifference, Seconds, Plain };

    // What MIN, MAX and DEF stand for; DEF may be unknown (no reading to take it from).
    struct Bounds
    {
        double minimum = 0;
        double maximum = 0;
        std::optional<double> byDefault;
    };

    struct Value
    {
        double value = 0;
        int decimals = 0; // places after the point, as written or as converted
    };

    // The value `parameter` stands for; nothing, with the error queued, when it is none.
    static std::optional<Value> read(
        const ScpiParameter &parameter, Quantity quantity, const Bounds &bounds, ScpiErrorQueue &errors);
    // What a query asks for: the value itself without a parameter, or MIN, MAX or DEF.
    enum class Asked { Value, Minimum, Maximum, Default, Invalid };
    // Invalid, with the error queued, for anything else.
    static Asked asked(const QVector<ScpiParameter> &parameters, ScpiErrorQueue &errors);

private:
    static Asked word(const QString &text);
};
