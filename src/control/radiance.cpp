#include "radiance.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kC1 = 1.191042972e-16; // 2hc², W·m²·sr⁻¹
constexpr double kC2 = 1.438776877e-2; // hc/k, m·K
constexpr double kKelvin = 273.15;
constexpr double kLowestC = -100;
constexpr double kHighestC = 1500;
// Gauss–Legendre, eight nodes on [−1, 1].
constexpr double kNodes[] = {0.1834346424956498, 0.5255324099163290, 0.7966664774136267, 0.9602898564975363};
constexpr double kWeights[]
    = {0.3626837833783620, 0.3137066458778873, 0.2223810344533745, 0.1012285362903763};
// Panels this wide in x = c2/(λT) leave the quadrature's error near 1e-13: the integrand's nearest poles
// are at ±2πi. Past 60 beyond the peak or the band's start the rest is below e⁻⁶⁰ of the whole.
constexpr double kPanel = 2;
constexpr double kTail = 60;

// x³/(eˣ − 1), Planck's law in the variable x = c2/(λT); expm1 keeps its x² behaviour near zero.
double planckX(double x)
{
    return x > 0 ? x * x * x / std::expm1(x) : 0;
}

// ∫ planckX from `from` to `to`, in panels of at most kPanel.
double integral(double from, double to)
{
    const int panels = std::max(1, int(std::ceil((to - from) / kPanel)));
    const double half = (to - from) / panels / 2;
    double sum = 0;
    for (int p = 0; p < panels; ++p) {
        const double middle = from + (2 * p + 1) * half;
        for (int i = 0; i < 4; ++i)
            sum += kWeights[i] * (planckX(middle - half * kNodes[i]) + planckX(middle + half * kNodes[i]));
    }
    return sum * half;
}

} // namespace

namespace Radiance {

double band(double celsius, double lowUm, double highUm)
{
    // In x = c2/(λT) the band's integrand is smooth and bounded whatever the band: a fixed rule in λ
    // lost degrees on bands of decades (0.1–1000 µm).
    const double kelvin = celsius + kKelvin;
    const double from = kC2 / (highUm * 1e-6 * kelvin);
    const double to = std::min(kC2 / (lowUm * 1e-6 * kelvin), std::max(from, 3.0) + kTail);
    const double scale = kC1 * std::pow(kelvin / kC2, 4);
    return to > from ? scale * integral(from, to) : 0;
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
    // Bisection: B rises steadily with T, and 1600 K halved 40 times is below 2 nK, so differences of
    // the result over a few hundredths of a degree hold their digits.
    for (int i = 0; i < 40; ++i) {
        const double middle = (low + high) / 2;
        (band(middle, lowUm, highUm) < wanted ? low : high) = middle;
    }
    return (low + high) / 2;
}

} // namespace Radiance
