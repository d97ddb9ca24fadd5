// Four calibration coefficients per channel: y = c0 + x·c1 + x²·c2 + x³·c3.
#pragma once

#include <array>

#include "link/logger_description.h"

namespace kts {

struct CoefficientSet {
  std::array<std::array<double, 4>, kMaxChannels> c{};
  std::array<int, 6> date{};  // year − 2000, month, day, hour, minute, second
  bool readFromLogger = false;  // false while defaults are in use
  int qzOffset = 0;             // next free byte of the QZ flash calibration area
};

}  // namespace kts
