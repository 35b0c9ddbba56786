#include "coverage.h"

#include <cmath>
#include <initializer_list>

namespace {

// Lentz's evaluation of the continued fraction of I_x(a, b), for x < (a + 1)/(a + b + 2).
double betaFraction(double a, double b, double x)
{
    constexpr double kTiny = 1e-300;
    double c = 1;
    double d = 1 - (a + b) * x / (a + 1);
    d = 1 / (std::abs(d) < kTiny ? kTiny : d);
    double h = d;
    for (int m = 1; m <= 300; ++m) {
        const double m2 = 2.0 * m;
        for (const double term : {m * (b - m) * x / ((a + m2 - 1) * (a + m2)),
                 -(a + m) * (a + b + m) * x / ((a + m2) * (a + m2 + 1))}) {
            d = 1 + term * d;
            d = 1 / (std::abs(d) < kTiny ? kTiny : d);
            c = 1 + term / c;
            c = std::abs(c) < kTiny ? kTiny : c;
            h *= d * c;
        }
        if (std::abs(d * c - 1) < 1e-15)
            break;
    }
    return h;
}

} // namespace

namespace Coverage {

double incompleteBeta(double a, double b, double x)
{
    if (x <= 0)
        return 0;
    if (x >= 1)
        return 1;
    const double front = std::exp(
        std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) + a * std::log(x) + b * std::log1p(-x));
    // The fraction converges quickly only below its turning point; above it, by symmetry.
    if (x < (a + 1) / (a + b + 2))
        return front * betaFraction(a, b, x) / a;
    return 1 - front * betaFraction(b, a, 1 - x) / b;
}

double studentT(double dof, double probability)
{
    // P(|T| > t) = I_{ν/(ν+t²)}(ν/2, 1/2), falling as t rises; the normal's is erfc(t/√2).
    const double beyond = 1 - probability;
    auto tail = [dof](double t) {
        return std::isfinite(dof) ? incompleteBeta(dof / 2, 0.5, dof / (dof + t * t))
                                  : std::erfc(t / std::sqrt(2.0));
    };
    double low = 0;
    double high = 1;
    while (tail(high) > beyond && high < 1e12)
        high *= 2;
    for (int i = 0; i < 200 && high - low > 1e-12 * high; ++i) {
        const double middle = (low + high) / 2;
        (tail(middle) > beyond ? low : high) = middle;
    }
    return (low + high) / 2;
}

} // namespace Coverage
