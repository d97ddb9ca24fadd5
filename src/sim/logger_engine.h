// The simulated logger itself, apart from any device: bytes from the host go
// in with the line rate and the time, bytes for the host come out. It keeps
// the logger's status, clock, settings, memory, tables and calibration, and
// answers the command language from the logger's side.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "sim/calibration_store.h"
#include "sim/command_framing.h"
#include "sim/deployment_recorder.h"
#include "sim/exchange_log.h"
#include "sim/faults.h"
#include "sim/profile.h"
#include "sim/sample_encoder.h"
#include "sim/sim_memory.h"

namespace kts::sim {

// Status codes as the logger reports them; 0x7F while the memory erases
// and after an erase that failed.
inline constexpr int kStatusEraseFault = 0x7F;

struct EngineTime {
  int64_t monoMs = 0;     // a millisecond clock that never goes back
  int64_t wallTicks = 0;  // the host's local wall-clock time, 100-ns units
};

// Bytes for the host, not to leave before a time (fetch latency, slow replies).
struct Outgoing {
  std::string bytes;
  int64_t notBeforeMs = 0;
};

class LoggerEngine {
 public:
  // Builds the logger from the profile: memory image (generated from the
  // seed, or the replayed image when `replay` is given), tables, calibration.
  LoggerEngine(const Profile& profile, uint64_t seed, ExchangeLog& log, const EngineTime& now,
               const std::vector<uint8_t>* replay = nullptr);
  LoggerEngine(const LoggerEngine&) = delete;
  LoggerEngine& operator=(const LoggerEngine&) = delete;

  // Bytes from the host at the line rate the host has set.
  void receive(const uint8_t* data, size_t n, int lineBaud, const EngineTime& now);
  // Timers: the end of an erase, logging, expired partial commands.
  void tick(const EngineTime& now);
  // What is to be sent, in order.
  std::deque<Outgoing> takeOutput();

  void setFaults(const Faults& f);
  const Faults& faults() const { return faults_.faults(); }

  const Profile& profile() const { return profile_; }
  int rate() const { return rate_; }
  int status() const { return status_; }
  const SimMemory& memory() const { return memory_; }
  const DeploymentSettings& settings() const { return settings_; }
  const CalibrationStore& calibration() const { return calibration_; }
  int64_t loggerClockTicks(const EngineTime& now) const {
    return profile_.clockFrozen ? clockOffset_ : now.wallTicks + clockOffset_;
  }
  int channelCount() const { return static_cast<int>(channels_.size()); }
  bool erasing() const { return erasing_; }

 private:
  // Framing and dispatch.
  void process(const EngineTime& now);
  void handle(const std::string& command, const EngineTime& now);
  void handleBang(const std::string& command, const EngineTime& now);
  void updateStatus(const EngineTime& now);

  // Output: a command's reply (may be dropped or delayed by the faults), and
  // bytes outside a command's reply (table chunks, ACKs, real-time records).
  void answer(std::string bytes, const EngineTime& now, int delayMs = 0);
  void send(std::string bytes, const EngineTime& now, int delayMs = 0);
  void refuse(const EngineTime& now, const char* why);

  // Commands (logger_commands.cpp).
  std::string identityText() const;
  std::string statusText() const;
  void enable(const EngineTime& now);
  void erase(const EngineTime& now);
  void stop(const EngineTime& now);
  void suspend(const EngineTime& now);
  void resume(const EngineTime& now);
  void changeSpeed(const std::string& command, const EngineTime& now);
  void setClock(const TimeRecord& t, const EngineTime& now);

  // Memory (logger_memory.cpp).
  void readMemory(const std::string& command, const EngineTime& now);
  size_t memoryReadLength(uint32_t start, uint32_t end) const;
  void programCalibrationArea(const std::string& command, const EngineTime& now);

  // Tables (logger_tables.cpp).
  bool tablePresent(int id) const;
  std::vector<uint8_t> tableData(int id) const;
  void startTableRead(const std::string& echo, std::vector<uint8_t> data, const EngineTime& now);
  void readTable(const std::string& command, const EngineTime& now);
  void readHistory(const std::string& command, const EngineTime& now);
  void startTableWrite(const std::string& command, const EngineTime& now);
  void startUpload(const std::string& command, const EngineTime& now);
  void acceptTransfer(size_t count, const EngineTime& now);
  bool continueTransfer(const EngineTime& now);
  void finishTableWrite(const EngineTime& now);
  void finishUpload(const EngineTime& now);
  bool applyTable(int id, const std::vector<uint8_t>& data, const EngineTime& now);
  void applyConfiguration(const std::vector<uint8_t>& table);
  void expireTransfer(const EngineTime& now);

  // Live readings (logger_live.cpp).
  void fetch(const std::string& command, const EngineTime& now);
  bool realTimeOn() const;
  bool engineeringUnits() const;
  void sendLiveRecord(const LiveRecord& r, const EngineTime& now);
  std::string binaryRecord(const char* tag, const TimeRecord& t, const uint32_t* words,
                           int n) const;

  void reconfigure();  // encoder after a channel or calibration change

  Profile profile_;
  ExchangeLog& log_;
  FramingRules framing_;
  SimMemory memory_;
  SampleEncoder encoder_;
  DeploymentRecorder recorder_;
  CalibrationStore calibration_;
  FaultInjector faults_;

  std::vector<ProfileChannel> channels_;
  std::map<int, std::vector<uint8_t>> tables_;  // data bytes, without the check byte
  int latencyMs_ = 300;
  int readingTimeMs_ = 200;

  int rate_ = 19200;
  int status_ = 0;
  int resumeStatus_ = 2;
  int64_t clockOffset_ = 0;
  DeploymentSettings settings_;
  std::array<uint8_t, 4> startCharacteristic_{};
  uint64_t fetchIndex_ = 0;

  bool erasing_ = false;
  bool eraseFails_ = false;
  int64_t eraseEndMs_ = 0;
  int pendingDefaultBaud_ = 0;
  int64_t defaultBaudDueMs_ = 0;

  std::string pending_;
  int64_t lastInputMs_ = 0;
  bool dropCurrent_ = false;
  int lastIgnoredBaud_ = 0;
  int lineBaud_ = 0;  // the line rate the bytes in pending_ came at

  // Table transfers.
  enum class Transfer { None, Sending, Receiving };
  Transfer transfer_ = Transfer::None;
  int64_t transferMs_ = 0;
  std::vector<uint8_t> transferData_;
  size_t transferDone_ = 0;
  size_t transferExpected_ = 0;
  std::string transferCommand_;
  bool transferIsUpload_ = false;
  int transferTable_ = 0;
  int transferChannel_ = 0;

  std::deque<Outgoing> outbox_;
};

}  // namespace kts::sim
