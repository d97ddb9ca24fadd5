// The main settings file ("kts.ini"): one "key=value" line per setting, in a
// fixed order, read back by the first key each line contains.
#pragma once

#include <string>
#include <string_view>

#include "data/settings.h"
#include "link/port_config.h"

namespace kts {

inline constexpr size_t kSettingsLineLength = 94;

// The settings the file holds back to their defaults (the port numbers, GPS,
// radio delay and every switch and constant; not the directories or lists).
void ResetMainSettings(Settings& settings, PortConfig& ports);

// The whole file text, every line in its order.
std::string FormatMainSettings(const Settings& settings, const PortConfig& ports);

// Applies one line (without its line end). Unknown lines, and values that
// cannot be read or lie outside their range, leave the setting as it was.
void ApplySettingsLine(std::string_view line, Settings& settings, PortConfig& ports);

}  // namespace kts
