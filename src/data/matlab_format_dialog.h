// The "MATLAB date/time output format" dialog as a model: how the times of
// a MATLAB file are written. Two choices of two options each; OK keeps them
// in the settings (the caller then writes the settings file), Cancel
// changes nothing.
#pragma once

#include <array>

namespace kts {

struct Settings;

inline constexpr const char* kMatlabFormatTitle = "MATLAB date/time output format";

// Frequency: 0 one record for the start time, 1 a record for each sample.
inline constexpr std::array<const char*, 2> kMatlabFrequencyChoices{
    "One date/time record for the Start time", "A date/time record for each set of samples"};
// Format: 0 text, 1 serial date numbers.
inline constexpr std::array<const char*, 2> kMatlabFormatChoices{"Text string",
                                                                 "'datenum' format"};

struct MatlabFormatDialog {
  int frequency = 0;
  int format = 0;
};

// The dialog as it opens, showing the current settings (a value out of
// range shows as the first choice).
MatlabFormatDialog OpenMatlabFormat(const Settings& settings);

// OK: the settings take the choices. Returns 1; the caller writes the
// settings file.
int MatlabFormatOk(Settings& settings, const MatlabFormatDialog& dialog);

}  // namespace kts
