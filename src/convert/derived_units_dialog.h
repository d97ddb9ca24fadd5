// The "KTS Logger - Derived Units Setup" dialog as a model: which derived
// quantities are computed and their constants. The view shows the fields and
// forwards input; the command line fills the same fields from its options.
// Texts are Latin-1 ("\xB5" is µ).
#pragma once

#include <string>

#include "convert/derived_units.h"

namespace kts {

struct Session;

inline constexpr const char* kDerivedUnitsTitle = "KTS Logger - Derived Units Setup";

// Control texts.
inline constexpr const char* kDepthLabel = "Depth m";
inline constexpr const char* kAtmosphericPressureLabel = "Atmospheric Pressure (dBar)";
inline constexpr const char* kLatitudeLabel = "Latitude";
inline constexpr const char* kDegreesLabel = "degrees";
inline constexpr const char* kMinutesLabel = "minutes";
inline constexpr const char* kDensityLabel = "Density";
inline constexpr const char* kSalinityLabel = "Practical Salinity Scale";
inline constexpr const char* kSpecificConductivityLabel = "corrected to 25C";
inline constexpr const char* kSoundSpeedLabel = "Calculate speed of sound using:";
inline constexpr const char* kUnescoLabel = "UNESCO";
inline constexpr const char* kDelGrossoLabel = "del Grosso";
inline constexpr const char* kWilsonLabel = "Wilson";
inline constexpr const char* kOxygenLabel =
    "In addition to % saturation you may calculate concentration using the Weiss equation with "
    "output in one of these units:";
inline constexpr const char* kMlPerLLabel = "ml/l";
inline constexpr const char* kMgPerLLabel = "mg/l";
inline constexpr const char* kMicroMolPerLLabel = "\xB5Mol/l";
inline constexpr const char* kFixedTemperatureLabel =
    "Actual temperature to be used when no temperature sensor is present.";
inline constexpr const char* kFixedSalinityLabel =
    "Actual salinity (PSU) to be used when no conductivity sensor is present.";
inline constexpr const char* kOptodeConcentrationLabel = "Calculate concentration:";
inline constexpr const char* kOptodeSaturationLabel =
    "Calculate the saturation using the Garcia and Gordon  equation";

// The edit fields a typed number can be wrong in.
enum class DerivedUnitsField {
  None,
  AtmosphericPressure,
  LatitudeDegrees,
  LatitudeMinutes,
  Density,
  FixedTemperature,
  FixedSalinity,
  OptodeUnit,
};

// The dialog's working copy: the check boxes and radio choices in
// `choices` (its number fields are not shown: the edit fields below replace
// them on OK), the edit fields as the text the user typed.
struct DerivedUnitsDialog {
  DerivedUnits choices;
  std::string atmosphericPressure;
  std::string latitudeDegrees;
  std::string latitudeMinutes;
  std::string density;
  std::string fixedTemperature;
  std::string fixedSalinity;

  // The field to put the cursor in after a refused OK.
  DerivedUnitsField focus = DerivedUnitsField::None;
};

// The dialog as it opens, showing the current settings.
DerivedUnitsDialog OpenDerivedUnits(const DerivedUnits& current);

// Reads the working copy into `out`. Returns an empty text when every field
// holds an acceptable value; otherwise the message saying what is wrong,
// with `field` naming the field, and `out` untouched.
std::string ReadDerivedUnits(const DerivedUnitsDialog& dialog, DerivedUnits& out,
                             DerivedUnitsField& field);

// OK: a wrong field is reported in a message box (caption "Derived Units")
// and the dialog stays open (returns 0, focus set). Otherwise the settings
// take the new values, derived channels of the data in memory are computed
// again, and 1 is returned: the caller then writes the settings file.
int DerivedUnitsOk(Session& s, DerivedUnitsDialog& dialog);

// Cancel: the settings and the data stay as they were.
inline int DerivedUnitsCancel(Session&) {
  return 0;
}

}  // namespace kts
