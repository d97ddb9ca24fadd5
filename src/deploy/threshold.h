// Starting on a threshold: a level in engineering units becomes 24-bit raw
// counts of one channel, within what the sensor can report; the power-
// saving check period and the hysteresis period follow their rules.
#pragma once

#include <cstdint>
#include <string>

namespace kts {

struct Session;
struct ThresholdScreen;

// The channel's calibration equation (the thermistor one for a temperature
// channel); −1000 for a channel the logger does not have.
double rawToEng(const Session& s, int32_t raw, int channel);
// The raw count whose value is nearest the level, by successive
// approximation over 24 bits (thermistor counts fall as temperature rises).
uint32_t engToRaw(const Session& s, double level, int channel);

struct ThresholdRange {
  double minimum = 0.0;
  double maximum = 0.0;
};
// The lowest and highest level the sensor can report, to 0.01.
ThresholdRange thresholdLimits(const Session& s, int channel);

// The raw limit of a channel type, by its rollover class.
uint32_t RawLimitOf(uint8_t type);

// Applying the level of the deployment to its channel: the raw limit, its
// engineering value and the raw level; a level beyond the sensor's range
// is offered the range's end. On the screen the level is first rounded up
// to 0.01 and shown, and any question leaves the screen open; in the enable
// sequence a refusal stops the sequence.
enum class LevelCheck { Screen, Enable };
enum LevelResult : int {
  kLevelRefused = 0,
  kLevelWithinLimits = 1,
  kLevelMovedToLimit = 2,
};
int ApplyThresholdLevel(Session& s, LevelCheck where, ThresholdScreen* screen);

// A check period shorter than the sampling period must leave the logger
// time to power up and measure; a shorter one is raised (0 returned) with
// a note on the screen's message line.
int checkPowerSavingPeriod(Session& s, ThresholdScreen* screen);

// Hysteresis must cover whole sampling periods and fit the logger's 16-bit
// count; each correction is announced. Returns 1 when the period was left
// alone, 0 when it was changed.
int checkHysteresis(Session& s, ThresholdScreen* screen);

// "Channel: 2 (Pressure), threshold:10.50, continuous" and the like.
std::string describeThreshold(const Session& s);

// The name of a channel type as its channel lists show it ("Temperature").
std::string ChannelTypeName(uint8_t type);

}  // namespace kts
