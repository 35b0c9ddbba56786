#include "radiance.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kC1 = 1.191042972e-16; // 2hc², W·m²·sr⁻¹
constexpr double kC2 = 1.438776877e-2; // hc/k, m·K
constexpr double kKelvin = 273.15;
constexpr int kIntervals = 400; // Simpson's rule; even
constexpr double kLowestC = -100;
constexpr double kHighestC = 1500;

double planck(double metres, double kelvin)
{
    // expm1 keeps the small values at short wavelengths and low temperatures.
    return kC1 / (std::pow(metres, 5) * std::expm1(kC2 / (metres * kelvin)));
}

} // namespace

namespace Radiance {

double band(double celsius, double lowUm, double highUm)
{
    const double kelvin = celsius + kKelvin;
    const double low = lowUm * 1e-6;
    const double step = (highUm - lowUm) * 1e-6 / kIntervals;
    double sum = planck(low, kelvin) + planck(low + kIntervals * step, kelvin);
    for (int i = 1; i < kIntervals; ++i)
        sum += (i % 2 ? 4 : 2) * planck(low + i * step, kelvin);
    return sum * step / 3;
}

double apparentTemperature(double sourceC, double sourceEmissivity, double setEmissivity, double ambientC,
    double lowUm, double highUm)
{
    if (sourceEmissivity == setEmissivity)
        return sourceC;
    const double ambient = band(ambientC, lowUm, highUm);
    const double wanted
        = ambient + sourceEmissivity / setEmissivity * (band(sourceC, lowUm, highUm) - ambient);
    double low = kLowestC;
    double high = kHighestC;
    if (!(band(low, lowUm, highUm) <= wanted && wanted <= band(high, lowUm, highUm)))
        return std::numeric_limits<double>::quiet_NaN();
    // Bisection: B rises steadily with T, and 1600 K halved 30 times is below 2 µK.
    for (int i = 0; i < 30; ++i) {
        const double middle = (low + high) / 2;
        (band(middle, lowUm, highUm) < wanted ? low : high) = middle;
    }
    return (low + high) / 2;
}

} // namespace Radiance
