// Packed binary-coded decimal, as the logger stores dates in stamps and in
// its calibration records.
#pragma once

#include <cstdint>

#include "core/time_record.h"

namespace kts {

constexpr int BcdToInt(uint8_t b) { return (b >> 4) * 10 + (b & 15); }
constexpr uint8_t IntToBcd(int v) {
  v %= 100;
  if (v < 0) v += 100;
  return static_cast<uint8_t>(((v / 10) << 4) | (v % 10));
}

// Six bytes: year mod 100, month, day, hour, minute, second.
inline void PackBcd(const TimeRecord& t, uint8_t out[6]) {
  out[0] = IntToBcd(t.year % 100);
  out[1] = IntToBcd(t.month);
  out[2] = IntToBcd(t.day);
  out[3] = IntToBcd(t.hour);
  out[4] = IntToBcd(t.minute);
  out[5] = IntToBcd(t.second);
}

}  // namespace kts
