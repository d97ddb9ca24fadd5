#include "data/realtime_limits.h"

#include <array>

#include "core/session.h"
#include "core/text.h"
#include "data/line_reader.h"
#include "data/settings_file.h"
#include "data/text_numbers.h"

namespace kts {
namespace {

constexpr const char* kLimitsFile = "kts.lim";
constexpr size_t kLimitsLineLength = 94;

constexpr std::array<const char*, kLimitGroups> kKeys{
    "Temperature", "Pressure",        "Conductivity",  "DissolvedO2",
    "DerivedO2",   "Voltage",         "Turbidity",     "PAR",
    "pH",          "Fluorometry-C",   "Fluorometry-R", "Fluorometry-UV",
    "Depth",       "Salinity",        "SOS",           "Significant Wave Height",
    "Tidal Slope", "Transmissometer",
};

}  // namespace

const char* LimitKey(int group) {
  return group >= 0 && group < kLimitGroups ? kKeys[static_cast<size_t>(group)] : "";
}

int ReadLimits(Session& s) {
  s.settings.limits = kDefaultLimits;
  InputFile in(InBaseDirectory(s.settings, kLimitsFile));
  LineReader reader(in.file, kLimitsLineLength);
  std::string line;
  while (reader.next(line)) {
    for (size_t g = 0; g < kKeys.size(); ++g) {
      if (!Contains(line, kKeys[g])) continue;
      const size_t eq = line.find('=');
      int maximum = 0, minimum = 0;
      const char* rest = nullptr;
      if (eq != std::string::npos && ParseInt(line.c_str() + eq + 1, maximum, &rest) &&
          ParseInt(rest, minimum)) {
        RealTimeLimit& limit = s.settings.limits[g];
        limit = {maximum, minimum};
        SetLimitMinimum(limit, minimum);
      }
      break;
    }
  }
  return 1;
}

int WriteLimits(Session& s) {
  std::string text;
  for (size_t g = 0; g < kKeys.size(); ++g)
    text +=
        Format("%s=%d %d\n", kKeys[g], s.settings.limits[g].maximum, s.settings.limits[g].minimum);
  return WriteSettingsFile(s, InBaseDirectory(s.settings, kLimitsFile), text);
}

void SetLimitMinimum(RealTimeLimit& limit, int minimum) {
  limit.minimum = minimum;
  if (limit.maximum < minimum) limit.maximum = minimum;
}

void SetLimitMaximum(RealTimeLimit& limit, int maximum) {
  limit.maximum = maximum;
  if (limit.minimum > maximum) limit.minimum = maximum;
}

}  // namespace kts
