// The binary table protocol from the logger's side: "R" and "V" send a
// table (echo, length, then 16-byte chunks, each released by the host's
// ACK); "S" and "U" receive one (ACK to the header, ACK to every chunk, the
// last one only when the bytes sum to 0xA5).
#include <cstring>

#include "core/checksum.h"
#include "core/text.h"
#include "core/time_math.h"
#include "sim/logger_engine.h"
#include "sim/wire_fields.h"

namespace kts::sim {
namespace {

constexpr char kAck = 0x06;
constexpr char kNak = 0x15;
constexpr int64_t kTransferTimeoutMs = 2000;
constexpr size_t kChunk = 16;
constexpr int64_t kDefaultRateGraceMs = 100;    // after the read-back
constexpr int64_t kDefaultRateUnreadMs = 1000;  // when nobody reads it back

void PutDouble(double v, uint8_t* out) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  for (size_t b = 0; b < 8; ++b) out[b] = static_cast<uint8_t>(bits >> (8 * b));
}

bool IsStandardRate(int baud) {
  return baud == 1200 || baud == 2400 || baud == 4800 || baud == 9600 || baud == 19200;
}

}  // namespace

std::vector<uint8_t> LoggerEngine::tableData(int id) const {
  switch (id) {
    case 1: {
      std::vector<uint8_t> t{
          static_cast<uint8_t>(channels_.size()), static_cast<uint8_t>(latencyMs_ / 10),
          static_cast<uint8_t>(latencyMs_ / 10 >> 8), static_cast<uint8_t>(readingTimeMs_ / 100),
          static_cast<uint8_t>(readingTimeMs_ / 100 >> 8)};
      for (const ProfileChannel& c : channels_) t.insert(t.end(), {c.letter, c.address});
      return t;
    }
    case 3:
      return {static_cast<uint8_t>(288000 / profile_.defaultBaud - 2)};
    case 4:
      return {profile_.extendedCaps.begin(), profile_.extendedCaps.end()};
    case 5:
      return {profile_.rangeSwitching.begin(), profile_.rangeSwitching.end()};
    case 6: {
      const Standardization& s = profile_.standardization;
      std::vector<uint8_t> t(33, 0);
      t[0] = s.valid ? 1 : 0;
      PutDouble(s.standard1, &t[1]);
      PutDouble(s.sample1, &t[9]);
      PutDouble(s.k15, &t[17]);
      std::memcpy(&t[25], s.batch.data(), std::min<size_t>(8, s.batch.size()));
      return s.present ? t : std::vector<uint8_t>{};
    }
    case 7:
      return {profile_.rsAdvanced, 0, 0, 0};
    default:
      return {};
  }
}

bool LoggerEngine::tablePresent(int id) const {
  const auto it = tables_.find(id);
  return it != tables_.end() && !it->second.empty();
}

void LoggerEngine::startTableRead(const std::string& echo, std::vector<uint8_t> data,
                                  const EngineTime& now) {
  data.push_back(TableCheckByte(data.data(), data.size()));
  answer(echo + Format("%02X", static_cast<unsigned>(data.size())), now);
  if (dropCurrent_) return;
  transfer_ = Transfer::Sending;
  transferData_ = std::move(data);
  transferDone_ = 0;
  transferMs_ = now.monoMs;
  transferCommand_ = echo;
}

void LoggerEngine::readTable(const std::string& c, const EngineTime& now) {
  uint8_t b[2];
  if (!ParseHexField(std::string_view(c).substr(1), 2, b)) return refuse(now, "not a table number");
  if (b[1] != 0 || !tablePresent(b[0])) {
    answer(c + "00", now);  // no such table
    return;
  }
  transferTable_ = b[0];
  startTableRead(c, tables_.at(b[0]), now);
}

void LoggerEngine::readHistory(const std::string& c, const EngineTime& now) {
  uint8_t b[3];
  if (!ParseHexField(std::string_view(c).substr(1), 3, b))
    return refuse(now, "not a record and channel");
  const size_t record = size_t{b[0]} | size_t{b[1]} << 8;
  const size_t channel = b[2];
  const std::vector<CalibrationRecord>& h = calibration_.history();
  transferTable_ = 0;
  if (profile_.calibration != CalibrationKind::History || record >= h.size() ||
      channel > h[record].channels.size()) {
    answer(c + "00", now);
    return;
  }
  std::vector<uint8_t> data;
  if (channel == 0) {
    const std::string text =
        std::string(h[record].complete ? "CAL" : "CMM") + WireDate(h[record].date);
    data.assign(text.begin(), text.end());
  } else {
    data.resize(32);
    PutCoefficients(h[record].channels[channel - 1], data.data());
  }
  startTableRead(c, std::move(data), now);
}

void LoggerEngine::startTableWrite(const std::string& c, const EngineTime& now) {
  uint8_t b[3];
  if (!ParseHexField(std::string_view(c).substr(1), 3, b)) return refuse(now, "not a table header");
  const int id = b[0];
  const size_t count = b[2];
  size_t expected = 0;
  if (id == 1 && count >= 8 && (count - 6) % 2 == 0) expected = count;
  if (id == 3) expected = 2;
  if (id == 4 || id == 5) expected = 26;
  if (id == 6) expected = 34;
  if (b[1] != 0 || !tablePresent(id) || expected == 0 || count != expected) {
    log_.note(Format("table %02X cannot be written with %zu bytes", id, count));
    answer(std::string(1, kNak), now);
    return;
  }
  transferIsUpload_ = false;
  transferTable_ = id;
  acceptTransfer(count, now);
}

void LoggerEngine::acceptTransfer(size_t count, const EngineTime& now) {
  answer(std::string(1, kAck), now);
  if (dropCurrent_) return;  // the host never saw the ACK and sends no data
  transfer_ = Transfer::Receiving;
  transferExpected_ = count;
  transferDone_ = 0;
  transferData_.clear();
  transferMs_ = now.monoMs;
}

void LoggerEngine::startUpload(const std::string& c, const EngineTime& now) {
  uint8_t b[3];
  if (!ParseHexField(std::string_view(c).substr(1), 3, b))
    return refuse(now, "not an upload header");
  const int channel = b[0] | b[1] << 8;
  const size_t count = b[2];
  if (profile_.calibration != CalibrationKind::History || count != (channel == 0 ? 2u : 34u)) {
    log_.note(Format("calibration upload header refused (channel %d, %zu bytes)", channel, count));
    answer(std::string(1, kNak), now);
    return;
  }
  transferIsUpload_ = true;
  transferChannel_ = channel;
  acceptTransfer(count, now);
}

bool LoggerEngine::continueTransfer(const EngineTime& now) {
  if (transfer_ == Transfer::Sending) {
    const char b = pending_[0];
    if (b != kAck && b != kNak) {
      log_.note("table transfer abandoned by the host");
      transfer_ = Transfer::None;
      return false;
    }
    pending_.erase(0, 1);
    transferMs_ = now.monoMs;
    if (b == kNak) {
      log_.note("table transfer refused by the host");
      transfer_ = Transfer::None;
      return true;
    }
    if (transferDone_ < transferData_.size()) {
      const size_t n = std::min(kChunk, transferData_.size() - transferDone_);
      send(std::string(reinterpret_cast<const char*>(transferData_.data() + transferDone_), n),
           now);
      transferDone_ += n;
      // A new default rate read back: the host moves to it right after its
      // last ACK, and so does the logger, a moment later.
      if (transferDone_ == transferData_.size() && transferTable_ == 3 && pendingDefaultBaud_)
        defaultBaudDueMs_ = now.monoMs + kDefaultRateGraceMs;
    } else {
      transfer_ = Transfer::None;  // the last chunk acknowledged
    }
    return true;
  }
  // Receiving: everything is data until the announced count has arrived.
  const size_t chunkEnd = std::min(transferExpected_, (transferDone_ / kChunk + 1) * kChunk);
  const size_t take = std::min(pending_.size(), chunkEnd - transferDone_);
  transferData_.insert(transferData_.end(), pending_.begin(),
                       pending_.begin() + static_cast<long>(take));
  pending_.erase(0, take);
  transferDone_ += take;
  transferMs_ = now.monoMs;
  if (transferDone_ == transferExpected_) {
    transfer_ = Transfer::None;
    if (transferIsUpload_)
      finishUpload(now);
    else
      finishTableWrite(now);
  } else if (transferDone_ == chunkEnd) {
    send(std::string(1, kAck), now);
  }
  return true;
}

void LoggerEngine::finishTableWrite(const EngineTime& now) {
  if (ByteSum(transferData_.data(), transferData_.size()) != kTableSum) {
    log_.note(Format("table %02X: check byte wrong, not stored", transferTable_));
    send(std::string(1, kNak), now);
    return;
  }
  transferData_.pop_back();
  const bool ok = applyTable(transferTable_, transferData_, now);
  send(std::string(1, ok ? kAck : kNak), now);
}

bool LoggerEngine::applyTable(int id, const std::vector<uint8_t>& data, const EngineTime& now) {
  if (id == 1) {
    if (data.empty() || data[0] < 1 || data[0] > kMaxSimChannels ||
        data.size() != 5 + 2u * data[0]) {
      log_.note("configuration table refused: its channel count does not match its length");
      return false;
    }
    tables_[1] = data;
    applyConfiguration(data);
  } else if (id == 3) {
    const int divisor = (data[0] + 2) & 0xFF;
    const int baud = divisor ? 288000 / divisor : 0;
    if (!IsStandardRate(baud)) {
      log_.note(Format("default rate byte %d refused: not a standard rate", data[0]));
      return false;
    }
    tables_[3] = data;
    if (baud != rate_) {
      // The new default takes over once the host has read it back.
      pendingDefaultBaud_ = baud;
      defaultBaudDueMs_ = now.monoMs + kDefaultRateUnreadMs;
    }
  } else {
    tables_[id] = data;
    reconfigure();
  }
  log_.note(Format("table %02X written", id));
  return true;
}

void LoggerEngine::applyConfiguration(const std::vector<uint8_t>& t) {
  channels_.clear();
  for (size_t k = 0; k < t[0]; ++k) channels_.push_back(ProfileChannel{t[5 + 2 * k], t[6 + 2 * k]});
  latencyMs_ = (t[1] | t[2] << 8) * 10;
  readingTimeMs_ = (t[3] | t[4] << 8) * 100;
  reconfigure();
}

void LoggerEngine::finishUpload(const EngineTime& now) {
  if (ByteSum(transferData_.data(), transferData_.size()) != kTableSum) {
    log_.note("calibration upload: check byte wrong");
    send(std::string(1, kNak), now);
    return;
  }
  const int forced = faults_.faults().uploadFault;
  int fault = -1;
  if (transferChannel_ == 0 && transferData_[0] == 'A') {
    const int take = (forced == 1 || forced == 2) ? faults_.takeUploadFault() : -1;
    fault = calibration_.openUpload(FromTicks(loggerClockTicks(now)), channelCount(), take);
  } else if (transferChannel_ == 0 && transferData_[0] == 'Z') {
    const int take = forced == 0 ? faults_.takeUploadFault() : -1;
    fault = calibration_.closeUpload(take);
    reconfigure();
  } else if (transferChannel_ > 0) {
    fault = calibration_.writeUploadChannel(transferChannel_, transferData_.data());
  } else {
    log_.note("calibration upload: neither 'A' nor 'Z'");
    send(std::string(1, kNak), now);
    return;
  }
  if (fault >= 0) {
    log_.note(Format("calibration upload refused with F%d", fault));
    send(Format("F%d", fault) + kNak, now);
  } else {
    send(std::string(1, kAck), now);
  }
}

void LoggerEngine::expireTransfer(const EngineTime& now) {
  if (transfer_ == Transfer::None || now.monoMs - transferMs_ < kTransferTimeoutMs) return;
  log_.note("table transfer timed out");
  transfer_ = Transfer::None;
  pending_.clear();
}

}  // namespace kts::sim
