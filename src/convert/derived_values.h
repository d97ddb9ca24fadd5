// The derived quantities of one sample, from the values of its measured
// source channels. The data set driver runs it for every sample; the
// real-time display runs it for each record as it arrives.
#pragma once

#include <array>
#include <limits>

#include "convert/derived_plan.h"
#include "convert/derived_units.h"

namespace kts {

// The invalid marker: a value that could not be computed.
inline constexpr double kInvalidResult = -1000.0;

// An input is valid when it is greater than −1000; NaN and infinities are not.
inline bool IsValidInput(double v) {
  return v > -1000.0 && v <= std::numeric_limits<double>::max();
}

// Everything the per-sample computation needs, prepared once per run.
struct DerivedCalculator {
  std::array<bool, kDerivedQuantityCount> wanted{};
  bool hasPressure = false;
  bool hasTemperature = false;
  bool hasSalinityInputs = false;  // 'C' and 'T'
  bool needsSalinity = false;      // a wanted quantity takes the salinity
  double atmosphericPressure = 10.1325;
  bool depthSeawater = false;
  double surfaceGravity = 0;  // of the UNESCO depth formula at the set latitude
  float density = 1.0281f;
  double conductivityToMs = 1.0;  // 1/1000 for µS/cm
  SoundSpeedEquation soundSpeed = SoundSpeedEquation::Unesco;
  double oxygenUnitFactor = 1.0;  // ml/l → the chosen unit
  double optodeUnitFactor = 0;    // µmol/l → the chosen unit
  double fixedTemperature = 15.0;
  double fixedSalinity = 35.0;
};

DerivedCalculator MakeDerivedCalculator(const DerivedPlan& plan, const DerivedUnits& units,
                                        bool conductivityMicroSiemens);

// The source channels' values of one sample; those without a source channel
// are ignored.
struct DerivedInputs {
  double pressure = 0;      // dbar, absolute
  double temperature = 0;   // °C
  double conductivity = 0;  // mS/cm or µS/cm
  double oxygen = 0;        // % saturation
  double optode = 0;        // µmol/l
};

// Fills the wanted quantities (indexed by DerivedQuantity) except the two
// tide-and-wave ones; each is a value or −1000, possibly not finite when the
// inputs are extreme (the caller stores such a result as −1000).
void ComputeDerivedValues(const DerivedCalculator& k, const DerivedInputs& in,
                          std::array<double, kDerivedQuantityCount>& out);

}  // namespace kts
