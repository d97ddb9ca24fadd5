#include "convert/sound_speed.h"

#include <cmath>

namespace kts {

double SoundSpeedChenMilleroWongZhu(double S, double T, double pressure) {
  const double P = pressure / 10.0;  // bar
  const double Cw =
      (1402.388 +
       (5.03830 + (-5.81090e-2 + (3.3432e-4 + (-1.47797e-6 + 3.1419e-9 * T) * T) * T) * T) * T) +
      (0.153563 + (6.8999e-4 + (-8.1829e-6 + (1.3632e-7 - 6.1260e-10 * T) * T) * T) * T) * P +
      (3.1260e-5 + (-1.7111e-6 + (2.5986e-8 + (-2.5353e-10 + 1.0415e-12 * T) * T) * T) * T) * P *
          P +
      (-9.7729e-9 + (3.8513e-10 - 2.3654e-12 * T) * T) * P * P * P;
  const double A =
      (1.389 + (-1.262e-2 + (7.166e-5 + (2.008e-6 - 3.21e-8 * T) * T) * T) * T) +
      (9.4742e-5 + (-1.2583e-5 + (-6.4928e-8 + (1.0515e-8 - 2.0142e-10 * T) * T) * T) * T) * P +
      (-3.9064e-7 + (9.1061e-9 + (-1.6009e-10 + 7.994e-12 * T) * T) * T) * P * P +
      (1.100e-10 + (6.651e-12 - 3.391e-13 * T) * T) * P * P * P;
  const double B = -1.922e-2 - 4.42e-5 * T + (7.3637e-5 + 1.7950e-7 * T) * P;
  const double D = 1.727e-3 - 7.9836e-6 * P;
  // S^1.5 as S·√S: the same value for every S ≥ 0, NaN below like the power.
  return Cw + A * S + B * S * std::sqrt(S) + D * S * S;
}

double SoundSpeedDelGrosso(double S, double T, double pressure) {
  const double G = pressure * 1.019716 / 10.0;  // kg/cm²
  const double dT = (5.012285 + (-5.51184e-2 + 2.21649e-4 * T) * T) * T;
  const double dS = (1.329530 + 1.288598e-4 * S) * S;
  const double dP = (0.1560592 + (2.449993e-5 - 8.833959e-9 * G) * G) * G;
  const double dSTP = 6.353509e-3 * T * G - 4.383615e-7 * T * T * T * G - 1.593895e-6 * T * G * G +
                      2.656174e-8 * T * T * G * G + 5.222483e-10 * T * G * G * G -
                      1.275936e-2 * S * T + 9.688441e-5 * S * T * T - 3.406824e-4 * S * T * G +
                      4.857614e-6 * S * S * T * G - 1.616745e-9 * S * S * G * G;
  return 1402.392 + dT + dS + dP + dSTP;
}

double SoundSpeedWilson(double S, double T, double pressure) {
  const double t = T * 1.00024;
  const double q = pressure / 100.0;  // MPa
  const double d = S - 35.0;
  return 1449.14 + (4.5721 + (-0.044532 + (-0.00026045 + 7.9851e-6 * t) * t) * t) * t +
         (1.39799 + 0.00169202 * d) * d +
         (1.63432 + (0.00106768 + (3.73403e-6 - 3.6332e-8 * q) * q) * q) * q +
         d * (-1.1244e-2 * t + 7.7711e-7 * t * t + 7.85344e-4 * q - 1.3458e-5 * q * q +
              3.2203e-7 * q * t + 1.6101e-8 * t * t * q) +
         q * (-0.0018974 + (7.6287e-5 + 4.6176e-7 * t) * t) * t +
         q * q * (-2.6301e-5 + 1.9302e-7 * t) * t - 2.0831e-7 * q * q * q * t;
}

}  // namespace kts
