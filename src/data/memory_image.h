// The logger's memory as retrieved: a flat byte image of at most 8 MiB.
#pragma once

#include <cstdint>
#include <memory>

namespace kts {

struct MemoryImage {
  static constexpr int kCapacity = 8 * 1024 * 1024;
  std::unique_ptr<uint8_t[]> bytes = std::make_unique_for_overwrite<uint8_t[]>(kCapacity);
  int length = 0;  // bytes held

  int wordCount() const { return length / 3; }
};

}  // namespace kts
