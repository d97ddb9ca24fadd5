// Builds memory images for tests the way a logger writes them: an optional
// header, big-endian 24-bit words and 12-byte stamps.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "core/bcd.h"
#include "core/time_record.h"

namespace kts::test {

class ImageBuilder {
 public:
  ImageBuilder& bytes(std::initializer_list<uint8_t> b) {
    data.insert(data.end(), b);
    return *this;
  }
  ImageBuilder& fill(size_t n, uint8_t value = 0) {
    data.insert(data.end(), n, value);
    return *this;
  }
  ImageBuilder& word(uint32_t w) {
    data.push_back(static_cast<uint8_t>(w >> 16));
    data.push_back(static_cast<uint8_t>(w >> 8));
    data.push_back(static_cast<uint8_t>(w));
    return *this;
  }
  ImageBuilder& record(std::initializer_list<uint32_t> words) {
    for (uint32_t w : words) word(w);
    return *this;
  }
  ImageBuilder& stamp(const char code[4], const TimeRecord& t) {
    word(0);
    data.insert(data.end(), code, code + 3);
    uint8_t bcd[6];
    PackBcd(t, bcd);
    data.insert(data.end(), bcd, bcd + 6);
    return *this;
  }
  int size() const { return static_cast<int>(data.size()); }

  std::vector<uint8_t> data;
};

}  // namespace kts::test
