// Live readings ("F", "F00", "F%02X") and real-time output records, in the
// binary form ("\0" + tag + six BCD time bytes + three bytes per channel +
// check byte + CR LF) or the engineering-units form ("TIM ... FET\r\n").
#include <cstring>

#include "core/bcd.h"
#include "core/checksum.h"
#include "core/text.h"
#include "core/time_math.h"
#include "sim/logger_engine.h"
#include "sim/wire_fields.h"

namespace kts::sim {

bool LoggerEngine::engineeringUnits() const {
  return EngineeringUnitsLevel(profile_) > 0 && (settings_.oemFlags & 4);
}

bool LoggerEngine::realTimeOn() const {
  if (IsExtended(profile_) && !HasFeature(profile_, 11)) return false;
  // With the start characteristic commands bit 5 of the start byte says it;
  // otherwise a non-zero real-time code.
  if (HasStartCharacteristic(profile_)) return (settings_.startByte & 0x20) != 0;
  return settings_.realTimeCode != 0;
}

std::string LoggerEngine::binaryRecord(const char* tag, const TimeRecord& t, const uint32_t* words,
                                       int n) const {
  uint8_t body[9 + 3 * kMaxSimChannels];
  std::memcpy(body, tag, 3);
  PackBcd(t, body + 3);
  for (int c = 0; c < n; ++c) SampleEncoder::PutWord(words[c], body + 9 + 3 * c);
  const size_t size = 9 + 3 * static_cast<size_t>(n);
  std::string out(1, '\0');
  out.append(reinterpret_cast<const char*>(body), size);
  out.push_back(static_cast<char>(ByteSum(body, size)));  // tag, time and counts
  out += "\r\n";
  return out;
}

void LoggerEngine::fetch(const std::string& c, const EngineTime& now) {
  int channel = 0;  // 0: every channel
  if (c.size() == 3) {
    uint8_t code;
    if (!ParseHexField(std::string_view(c).substr(1), 1, &code))
      return refuse(now, "not a fetch code");
    channel = code;
    if (channel > channelCount()) return refuse(now, "no such channel");
  }
  const int64_t clock = loggerClockTicks(now);
  uint32_t words[kMaxSimChannels];
  encoder_.sample(clock, fetchIndex_++, words, /*stream=*/1);
  const int n = channelCount();
  std::string reply;
  if (engineeringUnits()) {
    if (!calibration_.calibrated()) {
      reply = "Not calibrated FET\r\n";
    } else if (channel > 0) {
      reply = Format("%.4f FET\r\n", encoder_.value(channel - 1, words[channel - 1]));
    } else {
      reply = "TIM";
      for (int k = 0; k < n; ++k) reply += Format(" %.4f", encoder_.value(k, words[k]));
      reply += " FET\r\n";
    }
  } else if (channel > 0) {
    reply = Format("%06X\r\n", words[channel - 1] & 0xFFFFFF);
  } else {
    reply = binaryRecord("TIM", FromTicks(clock), words, n);
  }
  // The reading takes the channels' reading time.
  answer(std::move(reply), now, readingTimeMs_);
}

void LoggerEngine::sendLiveRecord(const LiveRecord& r, const EngineTime& now) {
  if (!realTimeOn()) return;
  const TimeRecord t = FromTicks(r.ticks);
  if (!engineeringUnits()) {
    send(binaryRecord(r.tag, t, r.words.data(), r.count), now);
    return;
  }
  std::string line = r.tag;
  if (std::strcmp(r.tag, "SEQ") == 0)
    line += Format(" %04X", r.sequence);
  else
    line += " " + WireDate(t);
  const bool burst = std::strcmp(r.tag, "TIM") != 0;
  for (int k = 0; k < r.count; ++k) {
    const int channel = burst ? encoder_.pressureChannel() : k;
    line += Format(" %.4f", encoder_.value(channel, r.words[static_cast<size_t>(k)]));
  }
  send(line + " FET\r\n", now);
}

}  // namespace kts::sim
