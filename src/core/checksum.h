// The two check bytes of the logger protocol.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kts {

// Tables and blocks: data bytes plus the check byte sum to 0xA5 mod 256.
constexpr uint8_t kTableSum = 0xA5;

inline uint8_t ByteSum(const uint8_t* data, size_t n) {
  unsigned sum = 0;
  for (size_t i = 0; i < n; ++i) sum += data[i];
  return static_cast<uint8_t>(sum);
}

inline uint8_t TableCheckByte(const uint8_t* data, size_t n) {
  return static_cast<uint8_t>(kTableSum - ByteSum(data, n));
}

// Memory reads: the byte after the data is the plain sum of the data.
inline uint8_t MemoryCheckByte(const uint8_t* data, size_t n) { return ByteSum(data, n); }

}  // namespace kts
