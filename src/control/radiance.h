#pragma once

// The temperature an infrared thermometer shows when it looks at a grey source: Planck's spectral
// radiance integrated over the thermometer's band, the source's emission plus the ambient it reflects,
// read back through the thermometer's own emissivity setting. Temperatures in degrees Celsius,
// wavelengths in micrometres. Pure functions; safe on any thread.
namespace Radiance {

// In-band radiance of a black body at `celsius`, W·m⁻²·sr⁻¹.
double band(double celsius, double lowUm, double highUm);

// The T_u that solves ε_u·B(T_u) + (1 − ε_u)·B(T_a) = ε_s·B(T_s) + (1 − ε_s)·B(T_a), to better than
// 0.001 °C; exactly `sourceC` when the emissivities are equal. NaN when no temperature from −100 to
// 1500 °C solves it (a cold source seen through a low setting can ask for less than no radiance).
double apparentTemperature(double sourceC, double sourceEmissivity, double setEmissivity, double ambientC,
    double lowUm, double highUm);

} // namespace Radiance
