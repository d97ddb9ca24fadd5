// Four calibration coefficients per channel: y = c0 + x·c1 + x²·c2 + x³·c3.
#pragma once

#include <array>
#include <cstdint>

#include "link/logger_description.h"

namespace kts {

using ChannelCoefficients = std::array<double, 4>;

struct CoefficientSet {
  std::array<ChannelCoefficients, kMaxChannels> c{};
  std::array<int, 6> date{};    // year − 2000, month, day, hour, minute, second
  bool readFromLogger = false;  // false while defaults are in use
  // The logger said it holds no calibration (the status line then reads
  // "Logger not yet calibrated - using defaults"). A set the user leaves as
  // it is must still be written to such a logger.
  bool notCalibrated = false;
  int qzOffset = 0;  // next free byte of the QZ flash calibration area
};

// The three ways loggers keep their calibration.
enum class CalibrationGeneration {
  History,  // extended loggers: numbered records behind "V" / "U"
  Flash,    // older QZ loggers: records appended to flash, "I" / "!C"
  Single,   // the oldest loggers: one set behind "Z" / "Y"
};

struct LoggerIdentity;
CalibrationGeneration GenerationOf(const LoggerIdentity& id);

// The coefficients an uncalibrated channel gets: the thermistor's for a
// temperature channel, ×100 for the single channel of an oldest-generation
// logger that is not an HV model, else the identity line.
ChannelCoefficients DefaultCoefficients(uint8_t channelType, CalibrationGeneration generation,
                                        bool hvModel);

// Every channel of the set gets its default (channel types from the
// description); the set is marked as not read from the logger.
void InstallDefaultCoefficients(CoefficientSet& set, const LoggerDescription& d,
                                const LoggerIdentity& id);

// A channel's 32 bytes as the logger stores them: four doubles, c0 first,
// each least significant byte first.
void PackCoefficients(const ChannelCoefficients& c, uint8_t out[32]);
ChannelCoefficients UnpackCoefficients(const uint8_t in[32]);

// A coefficient the logger hands over is usable only when it is a finite
// number; NaN or an infinity would turn every reading of the channel into
// garbage.
bool AllFinite(const ChannelCoefficients& c);

}  // namespace kts
