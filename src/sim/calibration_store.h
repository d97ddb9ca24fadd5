// The calibration a simulated logger carries, in its generation's form:
// numbered history records (extended loggers, "V"/"U"), records appended
// to the flash calibration area (older QZ loggers, "I"/"!C"), or one set of
// 32 bytes (the oldest loggers, "Z"/"Y").
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/time_record.h"
#include "sim/profile.h"
#include "sim/sim_memory.h"

namespace kts::sim {

struct CalibrationRecord {
  bool complete = true;  // "CAL"; an interrupted upload leaves "CMM"
  TimeRecord date;
  std::vector<Coefficients> channels;
};

// The 32 bytes of four doubles, each least significant byte first.
void PutCoefficients(const Coefficients& c, uint8_t out[32]);
Coefficients GetCoefficients(const uint8_t in[32]);

class CalibrationStore {
 public:
  // Creates the profile's calibration records (the flash ones inside the
  // memory's calibration area).
  void init(const Profile& p, uint64_t seed, SimMemory& memory);

  CalibrationKind kind() const { return kind_; }
  bool calibrated() const;
  // The coefficients in force for `channels` channels (the newest complete
  // record; the typical values of each type where none is stored).
  std::vector<Coefficients> current(const SimMemory& memory, int channels) const;

  // History records, newest first.
  const std::vector<CalibrationRecord>& history() const { return history_; }

  // Upload of a new history record ("U"): F-codes 0 (channel error), 1 (no
  // more room) and 2 (no configuration table) refuse a step.
  int openUpload(const TimeRecord& now, int channels, int forcedFault);
  int writeUploadChannel(int channel, const uint8_t* bytes32);
  int closeUpload(int forcedFault);

  // The single set of the oldest loggers.
  bool singleSet() const { return singleSet_; }
  const std::array<uint8_t, 32>& single() const { return single_; }
  void setSingle(const uint8_t* bytes32);

 private:
  CalibrationKind kind_ = CalibrationKind::None;
  int capacity_ = 16;
  std::vector<CalibrationRecord> history_;
  std::vector<Coefficients> typical_;
  bool uploadOpen_ = false;
  CalibrationRecord upload_;
  std::vector<bool> uploaded_;
  std::array<uint8_t, 32> single_{};
  bool singleSet_ = false;
};

// Walks the flash records: each a 6-byte BCD date then 33 bytes per
// channel; a first header byte of 0xFF ends them. Returns the newest.
bool NewestFlashRecord(const SimMemory& memory, int channels, CalibrationRecord* out);

}  // namespace kts::sim
