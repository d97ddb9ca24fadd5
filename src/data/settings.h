// Settings kept in the base directory: "kts.ini", "ktsdir.ini",
// "ktspath.fil", "kts.lim" and "kts_copies.ini".
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "convert/derived_units.h"

namespace kts {

inline constexpr int kRecentFiles = 10;
inline constexpr int kLimitGroups = 18;

struct RealTimeLimit {
  int maximum = 0;
  int minimum = 0;
  bool operator==(const RealTimeLimit&) const = default;
};

// Maximum and minimum per quantity, in the order of the limits file's keys
// (realtime_limits.h).
inline constexpr std::array<RealTimeLimit, kLimitGroups> kDefaultLimits{{
    {35, -5}, {30, 0}, {60, 20}, {100, 0}, {0, 0}, {5, 0}, {2500, 0}, {10000, 0}, {14, 0},
    {70, 0}, {70, 0}, {150, 0}, {150, 0}, {60, 40}, {1600, 1500}, {5, 0}, {1, 0}, {10, 0},
}};

struct Settings {
  std::string baseDirectory = ".";  // where the settings files and data folders live
  int copyIndex = 0;                // 0 for the first running copy

  int timeColumns = 0;  // "Format=": 0 none (N), 1 time (A), 2 date and time (E)
  DerivedUnits derived;
  bool languageSupport = false;  // "Language Support: Chinese"
  int microSalinometerAverage = 30;
  int matlabFrequency = 0;  // 0 start time only, 1 every sample
  int matlabFormat = 0;     // 0 text, 1 serial date number
  bool showRangeChanges = true;
  double onlineLowerDepth = 0, onlineUpperDepth = 10;
  double onlineLowerPh = 4, onlineUpperPh = 10;
  double onlineLowerO2 = 0, onlineUpperO2 = 100;
  bool allowMultipleCopies = false;

  // "ktsdir.ini": each "empty" until read or defaulted.
  std::string datDirectory = "empty";
  std::string hexDirectory = "empty";
  std::string matDirectory = "empty";
  std::string rememberedPath;  // where the last save-range went, without "dat" or "hex"

  std::array<std::string, kRecentFiles> recent{};  // most recent first; "" for none
  std::array<RealTimeLimit, kLimitGroups> limits = kDefaultLimits;
};

// A file or folder of the base directory.
inline std::string InBaseDirectory(const Settings& s, std::string_view name) {
  std::string path = s.baseDirectory.empty() ? std::string(".") : s.baseDirectory;
  if (path.back() != '/') path += '/';
  path += name;
  return path;
}

}  // namespace kts
