#include "greybody.h"

#include <cmath>
#include <limits>

namespace sim {

namespace {

// Second radiation constant, µm·K.
constexpr double kC2 = 14387.77;
constexpr double kZeroCelsius = 273.15;

// Planck's radiance without its constant factor, which cancels in every ratio used here.
double radiance(double kelvin, double wavelengthUm)
{
    return 1.0 / std::expm1(kC2 / (wavelengthUm * kelvin));
}

} // namespace

double GreyBody::reading(double sourceCelsius, double instrumentEmissivity) const
{
    const double ambient = radiance(ambientCelsius + kZeroCelsius, wavelengthUm);
    const double received = sourceEmissivity * radiance(sourceCelsius + kZeroCelsius, wavelengthUm)
        + (1.0 - sourceEmissivity) * ambient;
    const double own = (received - (1.0 - instrumentEmissivity) * ambient) / instrumentEmissivity;
    if (!(own > 0.0) || !std::isfinite(own))
        return std::numeric_limits<double>::quiet_NaN();
    return kC2 / (wavelengthUm * std::log1p(1.0 / own)) - kZeroCelsius;
}

} // namespace sim
