// What a logger says about itself through its tables: capabilities,
// configuration, RS advanced byte, range switching and default baud rate.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kts {

inline constexpr int kMaxChannels = 24;

enum class MemoryClass { Standard, Large, ExtraLarge };

struct LoggerDescription {
  // Capability words as read ("!0%02X"), and whether any were read.
  bool capabilityWordsRead = false;
  std::array<uint32_t, 24> words{};

  int memoryType = 0;  // word 1: 2 = 4 Meg, 3 or more = 8 Meg, other = 2 Meg
  bool profiling6Hz = false;
  int parameterBlockLength = 30;  // word 3; also the image header length
  bool hysteresis = false;
  int stopSuspendCode = 1;  // word 5 low nibble: the retrieval class
  bool option4 = false;     // word 5 bit 4: calibration readable while logging
  bool option5 = false;     // word 5 bit 5
  bool option6 = false;     // word 5 bit 6: live readings while logging
  bool averaging = false;
  bool conventionalThresholding = false;
  bool powerSaveThresholding = false;
  uint32_t configFlags = 0;  // word 8
  bool uvCommands = false;
  bool frontEndThroughComms = false;
  bool reportsBattery = false;
  bool externalDataConnector = false;  // real-time output
  int defaultBaud = 2400;              // as stored in the logger
  int expressRate = 0;                 // 0: none
  bool hasMinimumSoftwareVersion = false;
  float minimumSoftwareVersion = 0.0f;
  bool startCharacteristicCommands = false;
  bool startOptionByte = false;  // OEM support
  bool waves = false;
  bool highRate = false;  // sampling at 1, 2 and 4 Hz
  bool externalPower = false;
  int engineeringUnitsLevel = 0;
  int modemControl = 0;
  int memoryTest = 0;
  int dataBuoy = 0;

  // Configuration table.
  int channelCount = 1;
  std::array<uint8_t, kMaxChannels> channelTypes{};  // type letters, 'T', 'P', …
  std::array<uint8_t, kMaxChannels> frontEndAddress{};
  bool conductivityMicroSiemens = true;  // cleared when the table lists 'S' (mS/cm)
  int latencyMs = 300;
  int readingTimeMs = 200;
  std::array<uint8_t, 256> configTable{};  // the bytes of "R0100" as read
  int configTableLength = 0;

  uint8_t rsAdvanced = 0x04;  // bit 0 SD card, 1 serial card, 2 binary, 3 ASCII output
  std::array<uint8_t, 26> extendedChannelCaps = DefaultRangeTable();
  std::array<uint8_t, 26> rangeSwitching = DefaultRangeTable();
  std::array<int, kMaxChannels> channelReadingTimeMs{};
  bool hasRangeSwitching = false;
  int lowestDefaultBaud = 2400;

  static constexpr std::array<uint8_t, 26> DefaultRangeTable() {
    std::array<uint8_t, 26> t{};
    t[0] = 1;
    for (size_t i = 1; i < t.size(); ++i) t[i] = 0xFF;
    return t;
  }

  MemoryClass memoryClass() const {
    if (memoryType >= 3) return MemoryClass::ExtraLarge;
    if (memoryType == 2) return MemoryClass::Large;
    return MemoryClass::Standard;
  }
  // The byte-count flag: the logger stores text bytes, not readings.
  bool asciiOutput() const { return (rsAdvanced & 0x08) != 0; }
};

}  // namespace kts
