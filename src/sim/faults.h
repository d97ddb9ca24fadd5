// Misbehaviour on purpose, seeded and repeatable: the same faults and the
// same exchange give the same failures. Ordinals count from the moment the
// faults are set (1 is the first command or memory read after that).
#pragma once

#include <cstdint>
#include <random>
#include <set>
#include <string>

namespace kts::sim {

struct Faults {
  uint64_t seed = 1;
  std::set<int> badCheckReads;   // memory reads answered with a wrong check byte
  std::set<int> droppedReplies;  // commands whose reply never leaves
  double dropRate = 0.0;         // chance that any reply is dropped
  double noiseRate = 0.0;        // chance per byte sent that one bit flips
  int silentAfter = -1;          // after this many commands the logger hears nothing
  int slowMs = 0;                // every reply starts this much later
  int oneRate = 0;               // the logger answers at this rate only; "!E" changes nothing
  int eraseFailures = 0;         // the next erases end with status 7F
  int uploadFault = -1;          // the next calibration upload is refused with F0, F1 or F2
  // Settings heard but not kept (commands starting with these texts, e.g.
  // "K", "!1"): what the host reads back is the old value.
  std::set<std::string> ignoredSettings;
  int enableMode = -1;  // "P" answers "Logger started in mode" with this code, enabling nothing

  bool any() const;
  std::string describe() const;
};

// Parses "3,5,9" into ordinals; false on anything else.
bool ParseOrdinals(const std::string& text, std::set<int>* out);

class FaultInjector {
 public:
  void set(const Faults& f);
  const Faults& faults() const { return faults_; }

  // A complete command arrived: false when the logger has gone silent.
  bool hearCommand();
  int commandOrdinal() const { return commands_; }
  // Whether the reply to the current command is dropped.
  bool dropReply();
  // Whether the current memory read gets a wrong check byte.
  bool corruptCheckByte();
  // Flips bits of outgoing bytes at the noise rate.
  void addNoise(uint8_t* data, size_t n);
  // Whether this erase fails; uses one up.
  bool eraseFails();
  // The upload fault to apply now (−1: none); uses it up.
  int takeUploadFault();

 private:
  Faults faults_;
  std::mt19937_64 random_{1};
  int commands_ = 0;
  int memoryReads_ = 0;
};

}  // namespace kts::sim
