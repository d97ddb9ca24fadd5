// Dissolved oxygen: air solubility, concentration from % saturation, and the
// optode quantities.
#pragma once

namespace kts {

// ml/l → mg/l: O2 molar mass over the ideal-gas molar volume, 31.9988/22.414.
inline constexpr double kOxygenMgPerMl = 1.4276;
// ml/l → µmol/l: 1000 over the real-gas molar volume of O2, 1000/22.392.
inline constexpr double kOxygenMicroMolPerMl = 44.659;
// Optode µmol/l → mg/l and → ml/l.
inline constexpr double kOptodeMgPerMicroMol = 0.031999;
inline constexpr double kOptodeMlPerMicroMol = 0.022392;
// Optode µmol/l over C* (ml/l) → % saturation.
inline constexpr double kOptodeSaturationFactor = 2.24114;

// Oxygen solubility C*, ml/l, of water in equilibrium with water-saturated
// air at 1 atm; Weiss (1970), Deep-Sea Research 17, ml/l constants:
//   ln C* = A1 + A2·(100/Tk) + A3·ln(Tk/100) + A4·(Tk/100) + S·(B1 + B2·Tk/100 + B3·(Tk/100)²)
// T in °C, S practical salinity. Check value: T = 10, S = 35 gives 6.318518.
double OxygenSolubilityWeiss1970(double temperature, double salinity);

// Oxygen solubility C*, ml/l; Garcia and Gordon (1992), Limnology and
// Oceanography 37, equation 8 with the combined-fit constants, as corrected
// by their 1993 erratum. Check value: T = 10, S = 35 gives 6.316 ml/l.
double OxygenSolubilityGarciaGordon1992(double temperature, double salinity);

// Oxygen concentration in ml/l from a % saturation reading D.
inline double OxygenConcentrationWeiss1970(double saturationPercent, double temperature,
                                           double salinity) {
  return OxygenSolubilityWeiss1970(temperature, salinity) * saturationPercent / 100.0;
}

// Optode saturation, %, from its concentration J (µmol/l).
inline double OptodeSaturationGarciaGordon1992(double concentration, double temperature,
                                               double salinity) {
  return concentration * kOptodeSaturationFactor /
         OxygenSolubilityGarciaGordon1992(temperature, salinity);
}

}  // namespace kts
