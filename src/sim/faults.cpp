#include "sim/faults.h"

#include <cstdlib>
#include <sstream>

#include "core/text.h"

namespace kts::sim {
namespace {

std::string Join(const std::set<int>& s) {
  std::string out;
  for (int v : s) out += (out.empty() ? "" : ",") + std::to_string(v);
  return out;
}

// A chance drawn from the generator: the same draws in the same order
// whatever the standard library's distributions do.
bool Chance(std::mt19937_64& random, double p) {
  if (p <= 0.0) return false;
  return static_cast<double>(random() >> 11) * 0x1.0p-53 < p;
}

}  // namespace

bool Faults::any() const {
  return !badCheckReads.empty() || !droppedReplies.empty() || dropRate > 0 || noiseRate > 0 ||
         silentAfter >= 0 || slowMs > 0 || oneRate > 0 || eraseFailures > 0 || uploadFault >= 0 ||
         !ignoredSettings.empty() || enableMode >= 0;
}

std::string Faults::describe() const {
  std::string out;
  auto add = [&out](const std::string& s) { out += (out.empty() ? "" : "; ") + s; };
  if (!badCheckReads.empty()) add("wrong check byte on memory reads " + Join(badCheckReads));
  if (!droppedReplies.empty()) add("replies dropped for commands " + Join(droppedReplies));
  if (dropRate > 0) add(Format("replies dropped at rate %g", dropRate));
  if (noiseRate > 0) add(Format("bit noise at rate %g per byte", noiseRate));
  if (silentAfter >= 0) add(Format("silent after %d commands", silentAfter));
  if (slowMs > 0) add(Format("replies %d ms late", slowMs));
  if (oneRate > 0) add(Format("answers at %d baud only", oneRate));
  if (eraseFailures > 0) add(Format("%d erase(s) fail", eraseFailures));
  if (uploadFault >= 0) add(Format("calibration upload refused with F%d", uploadFault));
  for (const std::string& c : ignoredSettings) add("setting " + c + " not kept");
  if (enableMode >= 0) add(Format("enable answers mode %02X", enableMode));
  if (out.empty()) out = "none";
  return out + Format(" (seed %llu)", static_cast<unsigned long long>(seed));
}

bool ParseOrdinals(const std::string& text, std::set<int>* out) {
  std::set<int> values;
  std::stringstream in(text);
  for (std::string item; std::getline(in, item, ',');) {
    char* end = nullptr;
    const long v = std::strtol(item.c_str(), &end, 10);
    if (item.empty() || *end != '\0' || v < 1 || v > 100000000) return false;
    values.insert(static_cast<int>(v));
  }
  if (values.empty()) return false;
  *out = std::move(values);
  return true;
}

void FaultInjector::set(const Faults& f) {
  faults_ = f;
  random_.seed(f.seed);
  commands_ = 0;
  memoryReads_ = 0;
}

bool FaultInjector::hearCommand() {
  if (faults_.silentAfter >= 0 && commands_ >= faults_.silentAfter) return false;
  ++commands_;
  return true;
}

bool FaultInjector::dropReply() {
  if (faults_.droppedReplies.count(commands_)) return true;
  return Chance(random_, faults_.dropRate);
}

bool FaultInjector::corruptCheckByte() {
  return faults_.badCheckReads.count(++memoryReads_) > 0;
}

void FaultInjector::addNoise(uint8_t* data, size_t n) {
  if (faults_.noiseRate <= 0) return;
  for (size_t i = 0; i < n; ++i)
    if (Chance(random_, faults_.noiseRate)) data[i] ^= static_cast<uint8_t>(1u << (random_() % 8));
}

bool FaultInjector::eraseFails() {
  if (faults_.eraseFailures <= 0) return false;
  --faults_.eraseFailures;
  return true;
}

int FaultInjector::takeUploadFault() {
  const int f = faults_.uploadFault;
  faults_.uploadFault = -1;
  return f;
}

}  // namespace kts::sim
