#pragma once

namespace sim {

// What a radiation thermometer reads off a grey source: the source sends ε_s·L(T_s) and reflects
// (1 − ε_s)·L(T_ambient); the thermometer takes what it receives as coming from a body of its own
// emissivity setting ε_i in the same surroundings, and solves for that body's temperature. L is Planck's
// spectral radiance at one wavelength, the middle of the usual 8–14 µm band. Equal emissivities read the
// source's own temperature. A plain value.
struct GreyBody
{
    double sourceEmissivity = 0.95;
    double ambientCelsius = 23.0;
    double wavelengthUm = 10.0;

    // NaN when no body at ε_i gives that radiance (a setting far below the source's, the source colder
    // than the room).
    double reading(double sourceCelsius, double instrumentEmissivity) const;
};

} // namespace sim
