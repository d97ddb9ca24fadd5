// Conductivity corrected to 25 °C.
#pragma once

namespace kts {

// C25 = C / (1 + 0.0191·(T − 25)), in the unit of C: a linear temperature
// compensation of 1.91 %/°C. Check value: C = 42.914 at T = 15 gives 53.045735.
inline double SpecificConductivity25(double conductivity, double temperature) {
  return conductivity / (1.0 + 0.0191 * (temperature - 25.0));
}

}  // namespace kts
