#include "convert/derived_units_dialog.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>

#include "convert/derived_channels.h"
#include "convert/seawater_depth.h"
#include "core/session.h"
#include "core/text.h"

namespace kts {

namespace {

std::string_view Trim(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  return t;
}

// A plain decimal number, the whole text; not "nan", "inf" or hexadecimal.
std::optional<double> ParseNumber(std::string_view text) {
  const std::string_view t = Trim(text);
  double v = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (t.empty() || ec != std::errc() || end != t.data() + t.size() || !std::isfinite(v))
    return std::nullopt;
  return v;
}

std::optional<int> ParseWholeNumber(std::string_view text) {
  const std::string_view t = Trim(text);
  int v = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (t.empty() || ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
  return v;
}

// A number within [low, high], as a float.
std::optional<float> InRange(std::string_view text, double low, double high) {
  const std::optional<double> v = ParseNumber(text);
  if (!v || *v < low || *v > high) return std::nullopt;
  return static_cast<float>(*v);
}

}  // namespace

DerivedUnitsDialog OpenDerivedUnits(const DerivedUnits& u) {
  DerivedUnitsDialog d;
  d.choices = u;
  d.atmosphericPressure = Format("%g", static_cast<double>(u.atmosphericPressure));
  d.latitudeDegrees = Format("%d", u.latitudeDegrees);
  d.latitudeMinutes = Format("%.3f", static_cast<double>(u.latitudeMinutes));
  d.density = Format("%g", static_cast<double>(u.density));
  d.fixedTemperature = Format("%.2f", static_cast<double>(u.fixedTemperature));
  d.fixedSalinity = Format("%.2f", static_cast<double>(u.fixedSalinity));
  return d;
}

std::string ReadDerivedUnits(const DerivedUnitsDialog& d, DerivedUnits& out,
                             DerivedUnitsField& field) {
  using F = DerivedUnitsField;
  const auto refuse = [&](F f, const char* text) {
    field = f;
    return std::string(text);
  };

  // 0 is allowed: a logger whose pressure sensor reads gauge pressure.
  const std::optional<float> atmospheric = InRange(d.atmosphericPressure, 0.0, 20.0);
  if (!atmospheric)
    return refuse(F::AtmosphericPressure,
                  "Atmospheric pressure must be a number from 0 to 20 dBar.");
  const std::optional<int> degrees = ParseWholeNumber(d.latitudeDegrees);
  if (!degrees || *degrees < -90 || *degrees > 90)
    return refuse(F::LatitudeDegrees, "Latitude degrees must be a whole number from -90 to 90.");
  // Kept to the thousandths the field shows, so that what is shown is what is used.
  std::optional<double> minutes = ParseNumber(d.latitudeMinutes);
  if (minutes) minutes = std::round(*minutes * 1000.0) / 1000.0;
  if (!minutes || std::fabs(*minutes) >= 60.0)
    return refuse(F::LatitudeMinutes, "Latitude minutes must be a number below 60.");
  if (std::fabs(LatitudeDegrees(*degrees, *minutes)) > 90.0)
    return refuse(F::LatitudeMinutes, "Latitude must lie between 90 degrees south and 90 north.");
  // Catches a density typed in kg/m3 (1028), which would shrink depths a thousandfold.
  const std::optional<float> density = InRange(d.density, 0.5, 2.0);
  if (!density) return refuse(F::Density, "Water density must be a number from 0.5 to 2.0 g/cm3.");
  const std::optional<float> temperature = InRange(d.fixedTemperature, -5.0, 50.0);
  if (!temperature)
    return refuse(F::FixedTemperature,
                  "The temperature to be used when no temperature sensor is present must be a "
                  "number from -5.00 to 50.00 degrees C.");
  const std::optional<float> salinity = InRange(d.fixedSalinity, 0.0, 50.0);
  if (!salinity)
    return refuse(F::FixedSalinity,
                  "The salinity to be used when no conductivity sensor is present must be a "
                  "number from 0.00 to 50.00 PSU.");
  if (d.choices.optodeUnit == OxygenUnit::MicroMolPerL)
    return refuse(F::OptodeUnit, "Optode concentration is calculated in ml/l or mg/l.");

  DerivedUnits u = d.choices;
  u.atmosphericPressure = *atmospheric;
  u.latitudeDegrees = *degrees;
  u.latitudeMinutes = static_cast<float>(*minutes);
  u.density = *density;
  u.fixedTemperature = *temperature;
  u.fixedSalinity = *salinity;
  out = u;
  field = F::None;
  return {};
}

int DerivedUnitsOk(Session& s, DerivedUnitsDialog& dialog) {
  DerivedUnits updated;
  const std::string problem = ReadDerivedUnits(dialog, updated, dialog.focus);
  if (!problem.empty()) {
    s.ui.message(Message{problem, "Derived Units", Icon::Warning, Buttons::Ok, Answer::Ok});
    return 0;
  }
  s.settings.derived = updated;
  if (s.data.measuredChannels > 0) AppendDerivedChannels(s);
  return 1;
}

}  // namespace kts
