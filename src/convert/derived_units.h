// Which derived quantities are computed, and their constants.
#pragma once

#include <cstdint>

namespace kts {

enum class SoundSpeedEquation { Unesco, DelGrosso, Wilson };
enum class OxygenUnit { MlPerL, MgPerL, MicroMolPerL };

struct DerivedUnits {
  bool depthOn = false;
  float atmosphericPressure = 10.1325f;  // dbar
  bool depthSeawater = false;            // false: the simplified equation with density
  int32_t latitudeDegrees = 0;
  float latitudeMinutes = 0.0f;
  float density = 1.0281f;  // g/cm³
  bool salinityOn = false;
  bool specificConductivityOn = false;
  bool soundSpeedOn = false;
  SoundSpeedEquation soundSpeed = SoundSpeedEquation::Unesco;
  bool oxygenOn = false;
  OxygenUnit oxygenUnit = OxygenUnit::MlPerL;
  float fixedTemperature = 15.0f;  // °C, when no temperature channel exists
  float fixedSalinity = 35.0f;     // PSU, when no conductivity channel exists
  bool optodeConcentrationOn = false;
  OxygenUnit optodeUnit = OxygenUnit::MlPerL;  // ml/l or mg/l
  bool optodeSaturationOn = false;

  bool anyOn() const {
    return depthOn || salinityOn || specificConductivityOn || soundSpeedOn || oxygenOn ||
           optodeConcentrationOn || optodeSaturationOn;
  }
};

}  // namespace kts
