#include "sim/logger_engine.h"

#include <algorithm>

#include "core/text.h"
#include "core/time_math.h"

namespace kts::sim {
namespace {

constexpr int64_t kPartialCommandMs = 2000;  // a command's bytes arrive together; a person types

}  // namespace

LoggerEngine::LoggerEngine(const Profile& profile, uint64_t seed, ExchangeLog& log,
                           const EngineTime& now, const std::vector<uint8_t>* replay)
    : profile_(profile),
      log_(log),
      memory_(MemoryBase(profile_), MemoryCapacityEnd(profile_)),
      encoder_(profile_, seed),
      recorder_(encoder_, memory_) {
  framing_.plainFetch = !FetchTakesCode(profile_);
  framing_.singleCalibration = profile_.calibration == CalibrationKind::Single;
  channels_ = profile_.channels;
  latencyMs_ = profile_.latencyMs;
  readingTimeMs_ = profile_.readingTimeMs;
  rate_ = profile_.baud;
  status_ = profile_.status;
  resumeStatus_ = 2;
  settings_ = DeploymentSettings::FromProfile(profile_);
  startCharacteristic_ = {settings_.startByte, static_cast<uint8_t>(settings_.oemFlags),
                          static_cast<uint8_t>(settings_.oemFlags >> 8),
                          static_cast<uint8_t>(settings_.oemFlags >> 16)};
  calibration_.init(profile_, seed, memory_);
  if (IsExtended(profile_)) {
    for (int id = 0; id < 256; ++id)
      if (profile_.tables[static_cast<size_t>(id)]) tables_[id] = tableData(id);
  } else if (IsQzFamily(profile_)) {
    // Older QZ loggers keep their configuration just below the data: the
    // channel count in byte 53, latency / 10 ms in bytes 51–52 and reading
    // time / 100 ms in bytes 49–50 (low byte first), channel k's type letter
    // in byte 47 − 2k and its front-end address in byte 46 − 2k.
    std::array<uint8_t, kConfigurationBlockSize> block{};
    block[53] = static_cast<uint8_t>(channels_.size());
    block[51] = static_cast<uint8_t>(latencyMs_ / 10),
    block[52] = static_cast<uint8_t>(latencyMs_ / 10 >> 8);
    block[49] = static_cast<uint8_t>(readingTimeMs_ / 100);
    block[50] = static_cast<uint8_t>(readingTimeMs_ / 100 >> 8);
    for (size_t k = 0; k < channels_.size(); ++k) {
      block[47 - 2 * k] = channels_[k].letter;
      block[46 - 2 * k] = channels_[k].address;
    }
    memory_.setConfigurationBlock(block);
  }
  reconfigure();

  if (replay) {
    memory_.setImage(*replay);
  } else {
    GenerateDeployment(profile_, recorder_);
  }
  // Recording goes on only while the logger is logging, and never on top
  // of a replayed image (its deployment is not ours to continue).
  if (status_ != 2 || replay) recorder_.stop();

  int64_t clock = now.wallTicks;
  if (profile_.clockStart == ClockStart::Fixed) clock = ToTicks(profile_.clock);
  if (profile_.clockStart == ClockStart::Data) {
    // A logging logger: half a period before its next record is due. An
    // idle one: a minute after its data (and its end, once complete).
    const int64_t next = recorder_.nextRecordTicks();
    const int64_t half = int64_t{std::max(1, profile_.periodSeconds / 2)} * kTicksPerSecond;
    clock = next + 60 * kTicksPerSecond;
    if (status_ == 4) clock = std::max(clock, ToTicks(profile_.end) + 60 * kTicksPerSecond);
    if (status_ == 2) clock = next - half;
  }
  clockOffset_ = profile_.clockFrozen ? clock : clock - now.wallTicks;
  faults_.set(Faults{});
  log_.note(
      Format("%s %s %d.%02d serial %06d at %d baud, memory %u bytes (pointer 0x%06X), status %d",
             profile_.name.c_str(), profile_.model.c_str(), profile_.firmware / 100,
             profile_.firmware % 100, profile_.serial, rate_,
             static_cast<unsigned>(memory_.image().size()), memory_.pointer(), status_));
}

void LoggerEngine::reconfigure() {
  encoder_.configure(channels_, calibration_.current(memory_, channelCount()));
  auto range = [this](int id, const std::array<uint8_t, 25>& fallback) {
    std::array<uint8_t, 25> t = fallback;
    const auto it = tables_.find(id);
    if (it != tables_.end() && it->second.size() == t.size())
      std::copy(it->second.begin(), it->second.end(), t.begin());
    return t;
  };
  encoder_.setRangeTables(range(4, profile_.extendedCaps), range(5, profile_.rangeSwitching));
}

void LoggerEngine::setFaults(const Faults& f) {
  faults_.set(f);
  if (f.oneRate > 0) rate_ = f.oneRate;
  log_.note("faults: " + f.describe());
}

std::deque<Outgoing> LoggerEngine::takeOutput() {
  std::deque<Outgoing> out;
  out.swap(outbox_);
  return out;
}

void LoggerEngine::send(std::string bytes, const EngineTime& now, int delayMs) {
  if (bytes.empty()) return;
  faults_.addNoise(reinterpret_cast<uint8_t*>(bytes.data()), bytes.size());
  log_.add(ExchangeEntry::Reply, bytes);
  outbox_.push_back(Outgoing{std::move(bytes), now.monoMs + delayMs + faults_.faults().slowMs});
}

void LoggerEngine::answer(std::string bytes, const EngineTime& now, int delayMs) {
  if (dropCurrent_) {
    log_.note(Format("fault: reply dropped (%zu bytes)", bytes.size()));
    return;
  }
  send(std::move(bytes), now, delayMs);
}

void LoggerEngine::refuse(const EngineTime& now, const char* why) {
  log_.note(why);
  answer("Invalid parameter\r\n", now);
}

void LoggerEngine::receive(const uint8_t* data, size_t n, int lineBaud, const EngineTime& now) {
  updateStatus(now);
  if (n == 0) return;
  if (lineBaud != rate_) {
    // At another rate the logger's receiver sees only framing errors.
    if (lineBaud != lastIgnoredBaud_)
      log_.note(Format("ignored %zu bytes: the line is at %d baud, the logger at %d", n, lineBaud,
                       rate_));
    lastIgnoredBaud_ = lineBaud;
    pending_.clear();
    transfer_ = Transfer::None;
    return;
  }
  lastIgnoredBaud_ = 0;
  lineBaud_ = lineBaud;
  pending_.append(reinterpret_cast<const char*>(data), n);
  lastInputMs_ = now.monoMs;
  process(now);
}

void LoggerEngine::process(const EngineTime& now) {
  while (!pending_.empty()) {
    if (transfer_ != Transfer::None) {
      if (continueTransfer(now)) continue;
      if (pending_.empty()) break;
    }
    const unsigned char first = static_cast<unsigned char>(pending_[0]);
    if (IsFiller(first)) {
      pending_.erase(0, 1);
      continue;
    }
    const FrameResult f = FrameCommand(pending_, framing_);
    if (f.frame == Frame::NeedMore) break;
    const std::string command = pending_.substr(0, f.length);
    pending_.erase(0, f.length);
    if (!faults_.hearCommand()) {
      log_.add(ExchangeEntry::Command, command);
      log_.note("fault: the logger is silent");
      continue;
    }
    dropCurrent_ = faults_.dropReply();
    log_.add(ExchangeEntry::Command, command);
    if (f.frame == Frame::Unknown) {
      answer("Unknown command\r\n", now);
      continue;
    }
    handle(command, now);
    if (rate_ != lineBaud_ && !pending_.empty()) {
      // Whatever followed a rate change on the line came at the old rate.
      log_.note(Format("ignored %zu bytes sent at %d baud after the change to %d", pending_.size(),
                       lineBaud_, rate_));
      pending_.clear();
    }
  }
}

void LoggerEngine::tick(const EngineTime& now) {
  updateStatus(now);
  if (!pending_.empty() && transfer_ == Transfer::None &&
      now.monoMs - lastInputMs_ > kPartialCommandMs) {
    log_.note("incomplete command discarded: " + EscapeBytes(pending_));
    pending_.clear();
  }
  expireTransfer(now);
  if (pendingDefaultBaud_ && now.monoMs >= defaultBaudDueMs_) {
    if (faults_.faults().oneRate > 0) {
      log_.note(Format("fault: stays at %d baud", rate_));
    } else {
      log_.note(Format("rate %d -> %d (new default rate)", rate_, pendingDefaultBaud_));
      rate_ = pendingDefaultBaud_;
    }
    pendingDefaultBaud_ = 0;
  }
}

void LoggerEngine::updateStatus(const EngineTime& now) {
  const int64_t clock = loggerClockTicks(now);
  if (erasing_ && now.monoMs >= eraseEndMs_) {
    erasing_ = false;
    if (eraseFails_) {
      status_ = kStatusEraseFault;
      log_.note("erase failed: status 7F");
    } else {
      memory_.erase();
      status_ = 0;
      log_.note("erase complete");
    }
  }
  if (status_ == 1 && clock >= ToTicks(settings_.start)) {
    status_ = 2;
    if (!recorder_.active()) {  // enabled before the simulator started
      recorder_.begin(ToTicks(settings_.start), settings_);
      recorder_.setStoring(!(settings_.oemFlags & 1));
    }
    log_.note("start time reached: logging");
  }
  if (status_ != 2) return;
  if (clock >= ToTicks(settings_.end)) {
    recorder_.advance(ToTicks(settings_.end) - 1,
                      [&](const LiveRecord& r) { sendLiveRecord(r, now); });
    status_ = 4;
    recorder_.stop();
    log_.note("end time reached: logging complete");
    return;
  }
  if (!recorder_.advance(clock, [&](const LiveRecord& r) { sendLiveRecord(r, now); })) {
    status_ = 4;
    recorder_.stop();
    log_.note("memory full: logging complete");
  }
}

}  // namespace kts::sim
