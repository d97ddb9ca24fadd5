// The two calibration equations that turn a raw 24-bit count into
// engineering units, and the rollover correction applied before them.
#pragma once

#include <array>
#include <cstdint>

namespace kts {

using Coefficients = std::array<double, 4>;

// x = raw / 2^24; y = c0 + c1·x + c2·x² + c3·x³.
double ConvertPolynomial(int32_t raw, const Coefficients& c);

// Thermistor: L = ln(1/x − 1), s = c0 + c1·L + c2·L² + c3·L³, T = 1/s − 273.15.
// raw = 2^24 gives −273.15; raw 0, a negative raw or one above 2^24, and
// s = 0, NaN or infinite give the invalid marker −1000.
double ConvertTemperature(int32_t raw, const Coefficients& c);

// Raw-counts mode (statistics view): x = word / 2^24, with no rollover
// correction and no equation.
inline double NormalisedCount(uint32_t word) { return word / 16777216.0; }

// The temperature equation for type 'T' and for every channel of a model
// containing "HV"; the polynomial otherwise.
double ConvertRaw(int32_t raw, uint8_t type, const Coefficients& c, bool hvModel);

// Rollover correction of a raw word. With bit 0 of the channel's extended
// channel capabilities byte set, the type's rollover class applies (class 2:
// words ≥ 0xFD70A2 lose 2^24; class 1: words ≥ 0xDFFFFF; class 0 stays);
// with bit 0 clear an odd word moves by 2^24 towards its sign bit.
// `typeAIsClass1`: the logger reports engineering units level 1.
int32_t CorrectRollover(uint32_t word, uint8_t type, uint8_t extendedCapsByte, bool typeAIsClass1);

}  // namespace kts
