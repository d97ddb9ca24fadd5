// A simulated logger on its own pseudo-terminal, running on its own thread:
// what the kts-sim program runs and what every host link test starts.
//
//   SimOptions o;
//   o.profile = "qz";
//   o.settings = {"records = 200", "erase_ms = 100"};
//   std::string why;
//   auto sim = SimulatedLogger::Start(o, &why);   // nullptr: `why` says why
//   open sim->path() as the logger port …
//   sim->setFaults(f);   sim->image();   sim->exchanges();
//
// No global state: any number can run side by side. The object stops its
// thread when it is destroyed.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/exchange_log.h"
#include "sim/faults.h"
#include "sim/profile.h"

namespace kts::sim {

struct SimOptions {
  std::string profile = "extended";   // a built-in profile …
  std::string profileFile;            // … or a profile file …
  std::string profileText;            // … or profile text ("base = NAME" allowed)
  std::vector<std::string> settings;  // "key = value" lines applied last
  std::string hexFile;                // replay this saved image instead of generating one
  uint64_t seed = 1;
  bool pace = false;    // replies no faster than the line rate (10 bits a byte)
  std::string logFile;  // every command and reply, with timestamps
  Faults faults;
};

// What the logger holds now, for tests to compare with what the host read.
struct LoggerSnapshot {
  int status = 0;  // 0..8, or 0x7F during and after a failed erase
  int rate = 0;    // the rate it answers at
  bool erasing = false;
  uint32_t memoryBase = 0;
  uint32_t memoryPointer = 0;
  int channels = 0;
  TimeRecord clock;  // the logger clock
  TimeRecord start, end;
  int periodSeconds = 0;
  uint8_t startByte = 0;
  uint32_t oemFlags = 0;
  uint16_t averaging = 0;
  int historyRecords = 0;
  // The calibration in force, one set per channel (as "V", "I" or "Z" give it).
  std::vector<Coefficients> coefficients;
};

class LoggerEngine;
class PtyLine;

class SimulatedLogger {
 public:
  static std::unique_ptr<SimulatedLogger> Start(const SimOptions& options, std::string* error);
  ~SimulatedLogger();
  SimulatedLogger(const SimulatedLogger&) = delete;
  SimulatedLogger& operator=(const SimulatedLogger&) = delete;

  // Stops the thread; the pseudo-terminal closes. Safe to call twice.
  void stop();

  // The slave device the host opens, e.g. "/dev/pts/7".
  const std::string& path() const { return path_; }
  const Profile& profile() const { return profile_; }

  // New faults; their ordinals count from now.
  void setFaults(const Faults& f);
  Faults faults() const;

  // The memory image: the bytes from the memory base up to the pointer.
  std::vector<uint8_t> image() const;
  // Any part of the address space, as "I" reads it (without check byte).
  std::vector<uint8_t> readMemory(uint32_t start, size_t n) const;
  LoggerSnapshot snapshot() const;

  std::vector<ExchangeEntry> exchanges() const { return log_.entries(); }
  // The commands heard, in order (convenience for assertions).
  std::vector<std::string> commands() const;
  void clearExchanges() { log_.clear(); }

 private:
  SimulatedLogger() = default;
  void run();
  void drainOutput(int64_t nowMs, int rate);

  Profile profile_;
  bool pace_ = false;
  std::string path_;
  ExchangeLog log_;
  std::unique_ptr<PtyLine> line_;
  std::unique_ptr<LoggerEngine> engine_;
  mutable std::mutex mutex_;  // guards engine_ and the output queue
  std::atomic<bool> stop_{false};
  std::atomic<bool> listening_{false};
  std::thread thread_;

  struct Queued {
    std::string bytes;
    size_t sent = 0;
    int64_t notBeforeMs = 0;
  };
  std::deque<Queued> queue_;  // only the thread touches it
  size_t queuedBytes_ = 0;
  double lineFreeMs_ = 0;
};

}  // namespace kts::sim
