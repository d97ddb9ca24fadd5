// How much of the memory a deployment fills and how much battery charge it
// uses: one advisory line on the screens that edit the deployment.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace kts {

struct Session;
struct SetupScreen;

enum class LoggerSeries { Series3070, Series4070, Other };
LoggerSeries SeriesOf(std::string_view model);

// The current (mA) a logger draws while on: its base current and, for
// loggers outside the -3070 and -4070 series, that of each channel.
int EstimatorCurrent(LoggerSeries series, std::span<const uint8_t> channelTypes);

// Writes the estimate line to the screen's message line (the main setup
// screen when none is given) and sets its indicator.
void showEstimates(Session& s, SetupScreen* screen);

// The charge-per-event estimate of the -3070 and -4070 series and the
// tide-and-wave logger: 1 when the charge is within the nominal battery
// capacity, else 0. Leaves the memory percentage and the charge in the
// deployment parameters; writes the line only when a screen is given.
int chargeEstimate(Session& s, SetupScreen* screen);

}  // namespace kts
