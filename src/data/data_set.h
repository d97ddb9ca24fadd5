// The decoded data: one float row per channel (samples, then minimum and
// maximum), the stamp table and the wave bursts. The stores are fixed and
// allocated once; a decode replaces the contents, never the stores.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "core/time_record.h"
#include "link/coefficient_set.h"
#include "link/logger_description.h"
#include "link/logger_identity.h"

namespace kts {

inline constexpr int kRowStoreFloats = 9'437'184;  // 24 × 393,216
inline constexpr int kMaxStamps = 10'000;
inline constexpr int kMaxBursts = 1'350;
inline constexpr int kBurstCapacity = 16'384;
inline constexpr float kInvalidValue = -1000.0f;

enum StampType : int32_t {
  kStampTime = 0,      // "TIM"
  kStampCold = 1,      // "CLD"
  kStampChange = 2,    // "CHG"
  kStampCool = 3,      // "LUK"
  kStampWarm = 4,      // "WRM"
  kStampStop = 5,      // "STP"
  kStampComms = 6,     // "TTY"
  kStampRecovery = 7,  // "REC"
  kStampBurst = 8,     // "BST"
  kStampSerial = 9,    // "SER"
  kStampRtc = 10,      // "RTC"
  kStampGain = 11,     // "GAN"
};

// One stamp; 33 little-endian 32-bit words, the layout MATLAB files keep.
struct StampEntry {
  int32_t sampleIndex = 0;
  int32_t type = 0;
  int32_t marker = 0;
  int32_t burstNumber = 0;
  TimeRecord time;
  std::array<int32_t, kMaxChannels> gains{};
  uint32_t gainMask = 0;
};
static_assert(sizeof(StampEntry) == 132, "33 words per stamp entry");

// Results of the wave analysis of one burst; the start time comes last.
struct BurstRecord {
  int32_t sampleCount = 0;
  float meanDepth = 0.0f;
  float significantHeight = 0.0f;  // H(1/3)
  float significantPeriod = 0.0f;  // T(1/3)
  float maxHeight = 0.0f;          // H(max)
  float energy = 0.0f;
  int32_t error = 0;  // 0, 1 mean depth < logger height, 2 wave height > mean depth
  TimeRecord start;
};

// What the data were decoded with: the logger as it described itself when
// the image was retrieved or its file read. Kept with the data so that a
// later decode (raw counts, another coefficient set) and the file writers use
// the same logger even when another one has been connected since.
struct DecodeContext {
  LoggerIdentity identity;
  LoggerDescription description;
  CoefficientSet coefficients;
};

struct DataSet {
  DecodeContext context;
  bool rawCounts = false;  // rows hold raw / 2^24 instead of engineering units
  int headerLength = 0;    // image bytes before the first sample word

  int measuredChannels = 0;
  int totalChannels = 0;
  std::array<uint8_t, kMaxChannels> types{};
  int sampleCount = 0;
  int stride = 2;
  std::unique_ptr<float[]> rows = std::make_unique_for_overwrite<float[]>(kRowStoreFloats);

  TimeRecord startTime;
  TimeRecord samplePeriod = MakePeriod(0, 1, 0);
  uint32_t samplingMode = 0;  // 64: six-hertz profiling
  TimeRecord runningTime;
  std::string comment;  // the user's comment, from the last save or the file read

  std::unique_ptr<StampEntry[]> stamps = std::make_unique<StampEntry[]>(kMaxStamps);
  int stampCount = 0;

  std::unique_ptr<float[]> bursts =
      std::make_unique_for_overwrite<float[]>(size_t{kMaxBursts} * kBurstCapacity);
  std::unique_ptr<BurstRecord[]> burstRecords = std::make_unique<BurstRecord[]>(kMaxBursts);
  int burstCount = 0;

  float* row(int channel) { return rows.get() + static_cast<size_t>(channel) * static_cast<size_t>(stride); }
  const float* row(int channel) const {
    return rows.get() + static_cast<size_t>(channel) * static_cast<size_t>(stride);
  }
  float* burst(int b) { return bursts.get() + static_cast<size_t>(b) * kBurstCapacity; }
};

}  // namespace kts
