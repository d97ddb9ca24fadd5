// Depth from pressure: the UNESCO 1983 formula with latitude, and the
// simplified hydrostatic form with a fixed water density.
#pragma once

#include <cstdint>

namespace kts {

// Latitude in degrees from whole degrees and minutes. Southern latitudes
// take the minutes with the sign of the degrees (−33° 30′ is −33.5°, not
// −32.5°); with 0 degrees the minutes keep their own sign.
double LatitudeDegrees(int32_t degrees, double minutes);

// Surface gravity of the UNESCO 1983 depth formula, m/s², at a latitude in
// degrees: 9.780318 · (1 + 5.2788e-3·sin²φ + 2.36e-5·sin⁴φ).
double SurfaceGravityUnesco1983(double latitudeDegrees);

// Depth in metres from sea pressure p (dbar, absolute minus atmospheric) at
// a latitude in degrees. Saunders and Fofonoff (1976), as given in Fofonoff
// and Millard, UNESCO Technical Papers in Marine Science 44 (1983):
//   z = (((−1.82e-15·p + 2.279e-10)·p − 2.2512e-5)·p + 9.72659)·p / (g0 + 1.092e-6·p)
// Check value: p = 10000 dbar at 30° gives 9712.653 m.
double DepthUnesco1983(double seaPressure, double latitudeDegrees);

// The same with the surface gravity g0 worked out beforehand, for series at
// one latitude.
double DepthUnesco1983FromGravity(double seaPressure, double surfaceGravity);

// Simplified depth: z = p / (ρ · 0.980665), p in dbar, ρ in g/cm³ (1 dbar =
// 10⁴ Pa and standard gravity 9.80665 m/s²). The density and the gravity
// constant are the float32 values the settings hold.
double DepthSimplified(double seaPressure, float density);

}  // namespace kts
