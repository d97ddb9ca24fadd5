#include "convert/practical_salinity.h"

#include <cmath>

namespace kts {

namespace {

constexpr double kIpts68PerIts90 = 1.00024;

// PSS-78 salinity polynomial in Rt^(1/2), with its temperature correction.
double SalinityPolynomial(double rt, double t68) {
  constexpr double a0 = 0.0080, a1 = -0.1692, a2 = 25.3851, a3 = 14.0941, a4 = -7.0261, a5 = 2.7081;
  constexpr double b0 = 0.0005, b1 = -0.0056, b2 = -0.0066, b3 = -0.0375, b4 = 0.0636, b5 = -0.0144;
  constexpr double k = 0.0162;
  const double r = std::sqrt(rt);
  const double dt = t68 - 15.0;
  const double a = a0 + (a1 + (a2 + (a3 + (a4 + a5 * r) * r) * r) * r) * r;
  const double b = b0 + (b1 + (b2 + (b3 + (b4 + b5 * r) * r) * r) * r) * r;
  return a + dt / (1.0 + k * dt) * b;
}

}  // namespace

double SalinityPss78(double conductivity, double temperature, double p) {
  constexpr double c0 = 0.6766097, c1 = 2.00564e-2, c2 = 1.104259e-4, c3 = -6.9698e-7,
                   c4 = 1.0031e-9;
  constexpr double d1 = 3.426e-2, d2 = 4.464e-4, d3 = 4.215e-1, d4 = -3.107e-3;
  constexpr double e1 = 2.070e-5, e2 = -6.370e-10, e3 = 3.989e-15;
  const double R = conductivity / kConductivity35_15_0;
  const double t = temperature * kIpts68PerIts90;
  const double rt = c0 + (c1 + (c2 + (c3 + c4 * t) * t) * t) * t;
  const double Rp =
      1.0 + p * (e1 + (e2 + e3 * p) * p) / (1.0 + (d1 + d2 * t) * t + R * (d3 + d4 * t));
  return SalinityPolynomial(R / (Rp * rt), t);
}

double SalinityFromRatioPss78(double rt, double temperature) {
  return SalinityPolynomial(rt, temperature * kIpts68PerIts90);
}

}  // namespace kts
