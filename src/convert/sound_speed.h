// Speed of sound in seawater, m/s, from practical salinity S, ITS-90
// temperature T (°C) and pressure P (dbar). The system passes the absolute
// pressure (sea pressure plus the atmospheric pressure) to all three.
#pragma once

namespace kts {

// Chen and Millero (1977), the UNESCO 1983 algorithm, with the ITS-90
// coefficients of Wong and Zhu (1995); pressure in bar (P/10) inside.
// Check value: S = 40, T = 40/1.00024, P = 10000 dbar gives 1732.0037.
double SoundSpeedChenMilleroWongZhu(double salinity, double temperature, double pressure);

// Del Grosso (1974), NRL II, with the ITS-90 coefficients of Wong and Zhu
// (1995); pressure in kg/cm² (P · 1.019716 / 10) inside.
// Check value: S = 35, T = 10, P = 10.1325 dbar gives 1489.9541.
double SoundSpeedDelGrosso(double salinity, double temperature, double pressure);

// Wilson (1960), "Equation for the speed of sound in sea water", in its MPa
// form (q = P/100) with t = 1.00024·T, and the signs of the published
// equation: the q² and (S − 35)² terms are positive.
// Check value: S = 35, T = 2, P = 10010.1325 dbar gives 1631.2132.
double SoundSpeedWilson(double salinity, double temperature, double pressure);

}  // namespace kts
