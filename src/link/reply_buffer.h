// The reply buffer every exchange reads into, and the fetch bookkeeping.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace kts {

struct ReplyBuffer {
  static constexpr int kCapacity = 4096;  // bytes a single read may deliver
  std::array<char, kCapacity + 1> bytes{};
  int length = 0;  // bytes received by the last read (a NUL may come before it)

  // The reply as the callers' string searches see it: up to the first NUL.
  std::string_view text() const { return std::string_view(bytes.data()); }
  // Every byte received, NULs included.
  std::string_view raw() const { return std::string_view(bytes.data(), static_cast<size_t>(length)); }
  const uint8_t* data() const { return reinterpret_cast<const uint8_t*>(bytes.data()); }
  uint8_t* data() { return reinterpret_cast<uint8_t*>(bytes.data()); }

  void clear() {
    length = 0;
    bytes[0] = '\0';
  }
  void set(std::string_view s) {
    const size_t n = s.size() < static_cast<size_t>(kCapacity) ? s.size() : kCapacity;
    std::memcpy(bytes.data(), s.data(), n);
    bytes[n] = '\0';
    length = static_cast<int>(n);
  }
};

// Live readings: what a fetch expects and how much has been collected.
struct FetchState {
  static constexpr int kCollectCapacity = 2048;
  int expectedLength = 8;
  int collected = 0;
  int replyTimeLimitSeconds = 0;
  int fetchCode = 0;            // 0: all channels ("F00"), else the channel number
  bool allChannels = true;
};

}  // namespace kts
