#include "convert/derived_values.h"

#include <cmath>

#include "convert/oxygen_solubility.h"
#include "convert/practical_salinity.h"
#include "convert/seawater_depth.h"
#include "convert/sound_speed.h"
#include "convert/specific_conductivity.h"

namespace kts {

namespace {

constexpr size_t Index(DerivedQuantity q) {
  return static_cast<size_t>(q);
}

double OxygenUnitFactor(OxygenUnit unit) {
  switch (unit) {
    case OxygenUnit::MgPerL:
      return kOxygenMgPerMl;
    case OxygenUnit::MicroMolPerL:
      return kOxygenMicroMolPerMl;
    case OxygenUnit::MlPerL:
      break;
  }
  return 1.0;
}

}  // namespace

DerivedCalculator MakeDerivedCalculator(const DerivedPlan& plan, const DerivedUnits& u,
                                        bool conductivityMicroSiemens) {
  DerivedCalculator k;
  for (int c = 0; c < plan.count; ++c)
    k.wanted[Index(plan.quantity[static_cast<size_t>(c)])] = true;
  k.hasPressure = plan.sources.pressure >= 0;
  k.hasTemperature = plan.sources.temperature >= 0;
  k.hasSalinityInputs = plan.sources.hasSalinityInputs();
  k.needsSalinity = k.wanted[Index(DerivedQuantity::Salinity)] ||
                    k.wanted[Index(DerivedQuantity::SoundSpeed)] ||
                    k.wanted[Index(DerivedQuantity::OxygenConcentration)] ||
                    k.wanted[Index(DerivedQuantity::OptodeSaturation)];
  k.atmosphericPressure = u.atmosphericPressure;
  k.depthSeawater = u.depthSeawater;
  k.surfaceGravity =
      SurfaceGravityUnesco1983(LatitudeDegrees(u.latitudeDegrees, u.latitudeMinutes));
  k.density = u.density;
  k.conductivityToMs = conductivityMicroSiemens ? 1.0 / 1000.0 : 1.0;
  k.soundSpeed = u.soundSpeed;
  k.oxygenUnitFactor = OxygenUnitFactor(u.oxygenUnit);
  k.optodeUnitFactor =
      u.optodeUnit == OxygenUnit::MgPerL ? kOptodeMgPerMicroMol : kOptodeMlPerMicroMol;
  k.fixedTemperature = u.fixedTemperature;
  k.fixedSalinity = u.fixedSalinity;
  return k;
}

void ComputeDerivedValues(const DerivedCalculator& k, const DerivedInputs& in,
                          std::array<double, kDerivedQuantityCount>& out) {
  const bool pValid = k.hasPressure && IsValidInput(in.pressure);
  const double seaPressure = pValid ? in.pressure - k.atmosphericPressure : 0.0;

  if (k.wanted[Index(DerivedQuantity::Depth)]) {
    out[Index(DerivedQuantity::Depth)] =
        !pValid           ? kInvalidResult
        : k.depthSeawater ? DepthUnesco1983FromGravity(seaPressure, k.surfaceGravity)
                          : DepthSimplified(seaPressure, k.density);
  }

  // With 'C' and 'T' the salinity is computed for the speed of sound and the
  // oxygen quantities too; without them those take the fixed salinity.
  double salinity = k.fixedSalinity;
  const double temperature = k.hasTemperature ? in.temperature : k.fixedTemperature;
  const bool temperatureValid = IsValidInput(temperature);
  if (k.hasSalinityInputs) {
    const bool ctValid = temperatureValid && IsValidInput(in.conductivity);
    const bool inputsValid = ctValid && (!k.hasPressure || pValid);
    salinity = kInvalidResult;
    if (inputsValid && k.needsSalinity) {
      salinity = SalinityPss78(in.conductivity * k.conductivityToMs, temperature, seaPressure);
      if (std::isnan(salinity)) salinity = kInvalidResult;
    }
    out[Index(DerivedQuantity::Salinity)] = salinity;
    if (k.wanted[Index(DerivedQuantity::SpecificConductivity)]) {
      out[Index(DerivedQuantity::SpecificConductivity)] =
          ctValid ? SpecificConductivity25(in.conductivity, temperature) : kInvalidResult;
    }
    if (k.wanted[Index(DerivedQuantity::SoundSpeed)]) {
      double c = kInvalidResult;
      if (inputsValid && IsValidInput(salinity)) {
        const double pressure = k.hasPressure ? in.pressure : k.atmosphericPressure;
        switch (k.soundSpeed) {
          case SoundSpeedEquation::Unesco:
            c = SoundSpeedChenMilleroWongZhu(salinity, temperature, pressure);
            break;
          case SoundSpeedEquation::DelGrosso:
            c = SoundSpeedDelGrosso(salinity, temperature, pressure);
            break;
          case SoundSpeedEquation::Wilson:
            c = SoundSpeedWilson(salinity, temperature, pressure);
            break;
        }
      }
      out[Index(DerivedQuantity::SoundSpeed)] = c;
    }
  }

  const bool stateValid = temperatureValid && IsValidInput(salinity);
  if (k.wanted[Index(DerivedQuantity::OxygenConcentration)]) {
    out[Index(DerivedQuantity::OxygenConcentration)] =
        stateValid && IsValidInput(in.oxygen)
            ? OxygenConcentrationWeiss1970(in.oxygen, temperature, salinity) * k.oxygenUnitFactor
            : kInvalidResult;
  }
  if (k.wanted[Index(DerivedQuantity::OptodeConcentration)]) {
    out[Index(DerivedQuantity::OptodeConcentration)] =
        IsValidInput(in.optode) ? in.optode * k.optodeUnitFactor : kInvalidResult;
  }
  if (k.wanted[Index(DerivedQuantity::OptodeSaturation)]) {
    out[Index(DerivedQuantity::OptodeSaturation)] =
        stateValid && IsValidInput(in.optode)
            ? OptodeSaturationGarciaGordon1992(in.optode, temperature, salinity)
            : kInvalidResult;
  }
}

}  // namespace kts
