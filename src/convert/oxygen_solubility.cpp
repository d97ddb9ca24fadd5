#include "convert/oxygen_solubility.h"

#include <cmath>

namespace kts {

double OxygenSolubilityWeiss1970(double T, double S) {
  const double tau = (T + 273.15) / 100.0;
  const double lnC = -173.4292 + 249.6339 / tau + 143.3483 * std::log(tau) - 21.8492 * tau +
                     S * (-0.033096 + (0.014259 - 0.0017 * tau) * tau);
  return std::exp(lnC);
}

double OxygenSolubilityGarciaGordon1992(double T, double S) {
  const double Ts = std::log((298.15 - T) / (273.15 + T));
  const double lnC =
      2.00856 + (3.224 + (3.99063 + (4.80299 + (0.978188 + 1.71069 * Ts) * Ts) * Ts) * Ts) * Ts +
      S * (-0.00624097 + (-0.00693498 + (-0.00690358 - 0.00429155 * Ts) * Ts) * Ts) -
      3.1168e-7 * S * S;
  return std::exp(lnC);
}

}  // namespace kts
