// What a logger writes into its flash during a deployment: the image header
// (its parameter block), sample records, stamps and wave bursts. The same
// recorder fills the memory of a profile at start-up and keeps recording
// while the simulated logger is logging.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/time_record.h"
#include "sim/profile.h"
#include "sim/sample_encoder.h"
#include "sim/sim_memory.h"

namespace kts::sim {

// The deployment as the logger was told it: the fields of its parameter block.
struct DeploymentSettings {
  TimeRecord start, end;
  int periodSeconds = 60;
  uint8_t startByte = 0;               // "!1" start byte
  uint32_t oemFlags = 0;               // "!1" option bytes
  std::array<uint8_t, 8> threshold{};  // "!A" bytes
  bool thresholdSet = false;
  uint16_t averaging = 1;                // "W"
  uint8_t realTimeCode = 0;              // "!B"
  std::array<uint8_t, 3> checkPeriod{};  // "!K", BCD
  uint16_t hysteresis = 0;               // "!H"
  uint8_t burstRate = 4;                 // "!4"
  uint16_t burstLength = 0;              // "!6"
  std::array<uint8_t, 3> burstPeriod{};  // "!6", BCD hh mm ss
  std::array<uint8_t, 8> height{};       // "!Y", the double's bytes

  static DeploymentSettings FromProfile(const Profile& p);
  int burstPeriodSeconds() const;
  bool sixHertz() const { return (startByte & 0x40) != 0; }
};

// The parameter block heading the image: start, end and period (BCD) in
// bytes 0–14, the deployment fields from byte 15 on, and a last byte that
// makes all bytes sum to 0xA5.
std::vector<uint8_t> BuildImageHeader(const DeploymentSettings& d, int length);

// A stamp: a zero word, the three-letter code and the BCD time.
void EncodeStamp(const char* code, const TimeRecord& t, uint8_t out[12]);

// One sample or wave-burst pair as it goes out on the line in real time.
struct LiveRecord {
  char tag[4] = "TIM";  // "TIM", "BST" or "SEQ"
  int64_t ticks = 0;
  uint16_t sequence = 0;  // burst sample index of a "SEQ" record
  int count = 0;
  std::array<uint32_t, kMaxSimChannels> words{};
};
using LiveSink = std::function<void(const LiveRecord&)>;

class DeploymentRecorder {
 public:
  DeploymentRecorder(const SampleEncoder& encoder, SimMemory& memory)
      : encoder_(encoder), memory_(memory) {}

  // Starts recording: the first record at `first`, one every period; with
  // bursts, the first burst at the first record.
  void begin(int64_t first, const DeploymentSettings& d);
  bool active() const { return active_; }
  void stop() { active_ = false; }
  // With data storage inhibited, samples still go out in real time.
  void setStoring(bool storing) { storing_ = storing; }
  int64_t nextRecordTicks() const { return nextRecord_; }

  bool writeHeader(const DeploymentSettings& d, int length);
  bool writeStamp(const char* code, int64_t ticks);
  // The next record, after any burst due before it, written at once.
  bool writeNextRecord();
  // The first `channels` words of the next record, then the record is
  // given up (a stamp interrupted it): its time slot passes.
  bool writePartialRecord(int channels);
  // The next record with a genuine zero data word in one channel.
  bool writeNextRecordWithZero(int channel);
  void skipTime(int64_t ticks) { nextRecord_ += ticks; }

  // Live logging: everything due up to `now` (bursts at their sampling
  // rate); each sample goes to the sink as well. False when the memory is
  // full. After a gap (a suspension, a clock change) a "TIM" stamp carries
  // the new time.
  bool advance(int64_t now, const LiveSink& sink);

 private:
  bool record(const LiveSink* sink);
  bool burstSample(const LiveSink* sink);
  bool startBurst(const LiveSink* sink);

  const SampleEncoder& encoder_;
  SimMemory& memory_;
  bool active_ = false;
  bool storing_ = true;
  int64_t nextRecord_ = 0;
  int64_t period_ = 0;
  uint64_t index_ = 0;
  // Bursts.
  int burstLength_ = 0;
  int burstRate_ = 4;
  int64_t burstPeriod_ = 0;
  int64_t nextBurst_ = 0;
  bool inBurst_ = false;
  int64_t burstStart_ = 0;
  int burstSample_ = 0;
  uint64_t burstCount_ = 0;
  LiveRecord pendingPair_;
};

// Fills the memory with the profile's deployment: header, records, stamps
// of the profile's plan and wave bursts. The recorder is left ready to go
// on logging after the last record.
void GenerateDeployment(const Profile& p, DeploymentRecorder& recorder);

}  // namespace kts::sim
