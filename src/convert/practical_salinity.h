// Practical salinity, PSS-78.
#pragma once

namespace kts {

// Conductivity of S = 35 seawater at t68 = 15 °C and p = 0, mS/cm.
inline constexpr double kConductivity35_15_0 = 42.914;

// Practical salinity from conductivity C (mS/cm), ITS-90 temperature T (°C)
// and sea pressure p (dbar). PSS-78, Lewis and Perkin (1981) and UNESCO
// Technical Papers in Marine Science 44 (1983); T is turned into t68 =
// 1.00024·T first. Check value: C = 42.914, T = 15/1.00024, p = 0 gives
// 35.000000. The scale is defined for 2 ≤ S ≤ 42; below it the plain
// polynomial is returned (C = 0 gives about 0.005, not 0). A negative
// conductivity has no square root and gives NaN.
double SalinityPss78(double conductivity, double temperature, double seaPressure);

// Practical salinity from the conductivity ratio Rt = C(S,t,0)/C(35,t,0) at
// ITS-90 temperature T: the last step of PSS-78 alone, as a salinometer
// measures it. Check value: Rt = 1.0568875 at t68 = 20 gives 37.245628.
double SalinityFromRatioPss78(double rt, double temperature);

}  // namespace kts
