// The command language from the logger's side: queries answer "<value><TAG>"
// without a line end, settings answer nothing, bad parameters "Invalid
// parameter", unknown letters "Unknown command".
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/bcd.h"
#include "core/text.h"
#include "core/time_math.h"
#include "sim/logger_engine.h"
#include "sim/wire_fields.h"

namespace kts::sim {
namespace {

int64_t WholeSecond(int64_t ticks) {
  return ticks - ticks % kTicksPerSecond;
}

}  // namespace

std::string LoggerEngine::identityText() const {
  return Format("KTS %s %d.%02d %06d\r\n", profile_.model.c_str(), profile_.firmware / 100,
                profile_.firmware % 100, profile_.serial);
}

std::string LoggerEngine::statusText() const {
  if (!IsExtended(profile_)) return Format("Logger status %02X", status_ == 8 ? 4 : status_);
  // Extended loggers add a second byte: 02 says a stop by the user.
  if (status_ == 8) return "Logger status 0402";
  return Format("Logger status %02X00", status_);
}

void LoggerEngine::handle(const std::string& c, const EngineTime& now) {
  for (const std::string& prefix : faults_.faults().ignoredSettings) {
    if (c.size() > prefix.size() && c.compare(0, prefix.size(), prefix) == 0) {
      log_.note("fault: setting not kept: " + c);
      return;
    }
  }
  const int64_t clock = loggerClockTicks(now);
  const std::string_view args = std::string_view(c).substr(1);
  // clang-format off
  switch (c[0]) {
    case 'A': answer(identityText(), now); return;
    case 'B': answer(WireDate(FromTicks(clock)) + "CTD", now); return;
    case 'C': answer(WirePeriod(settings_.periodSeconds) + "CSP", now); return;
    case 'D': answer(WireDate(settings_.start) + "CST", now); return;
    case 'E': answer(WireDate(settings_.end) + "CET", now); return;
    case 'G': {
      answer(HexLittleEndian32(memory_.pointer()) + "CDP", now);
      return;
    }
    case 'T': answer(statusText(), now); return;
    case 'P': enable(now); return;
    case 'N': erase(now); return;
    case 'J': case 'L': case 'M': {
      TimeRecord t;
      if (!ParseWireDate(args, &t)) return refuse(now, "not a valid date and time");
      if (c[0] == 'J') setClock(t, now);
      else (c[0] == 'L' ? settings_.start : settings_.end) = t;
      return;
    }
    case 'K': {
      int seconds = 0;
      if (!ParseWirePeriod(args, &seconds) || seconds == 0)
        return refuse(now, "not a valid period");
      settings_.periodSeconds = seconds;
      return;
    }
    case 'W': {
      uint8_t b[2];
      if (!ParseHexField(args, 2, b)) return refuse(now, "not two hex bytes");
      settings_.averaging = static_cast<uint16_t>(b[0] | b[1] << 8);
      return;
    }
    case 'X':
      answer(Format("%02X%02X", settings_.averaging & 0xFF, settings_.averaging >> 8) + "BST", now);
      return;
    case 'F': fetch(c, now); return;
    case 'I': readMemory(c, now); return;
    case 'R': case 'S': case 'V': case 'U':
      if (!IsExtended(profile_)) {
        answer("Unknown command\r\n", now);
        return;
      }
      if (c[0] == 'R') readTable(c, now);
      else if (c[0] == 'S') startTableWrite(c, now);
      else if (c[0] == 'V') readHistory(c, now);
      else startUpload(c, now);
      return;
    case 'Z':
      if (profile_.calibration != CalibrationKind::Single) {
        answer("Unknown command\r\n", now);
      } else if (!calibration_.singleSet()) {
        answer("CAL", now);  // not calibrated
      } else {
        const std::array<uint8_t, 32>& b = calibration_.single();
        answer(std::string(reinterpret_cast<const char*>(b.data()), b.size()) + "CAL", now);
      }
      return;
    case 'Y':
      calibration_.setSingle(reinterpret_cast<const uint8_t*>(c.data() + 1));
      reconfigure();
      log_.note("calibration written");
      return;
    case '!': handleBang(c, now); return;
    default: answer("Unknown command\r\n", now); return;
  }
  // clang-format on
}

void LoggerEngine::handleBang(const std::string& c, const EngineTime& now) {
  const std::string_view args = std::string_view(c).substr(2);
  DeploymentSettings& d = settings_;
  uint8_t b[8];
  // clang-format off
  switch (c[1]) {
    case '0': {
      if (!ParseHexField(args, 1, b)) return refuse(now, "not a hex word number");
      if (!profile_.hasWord.any()) {
        answer("Unknown command\r\n", now);
        return;
      }
      answer(HexLittleEndian32(Word(profile_, b[0])) + "CAP" + Format("%02X", b[0]), now);
      return;
    }
    case '1':
      if (!ParseHexField(args, 4, b)) return refuse(now, "not four hex bytes");
      std::memcpy(startCharacteristic_.data(), b, 4);
      d.startByte = b[0];
      d.oemFlags = uint32_t{b[1]} | uint32_t{b[2]} << 8 | uint32_t{b[3]} << 16;
      return;
    case '2': answer(HexText(startCharacteristic_.data(), 4) + "STC", now); return;
    case '4':
      if (!ParseHexField(args, 1, b)) return refuse(now, "not a hex byte");
      d.burstRate = b[0];
      return;
    case '5': answer(Format("%02XRAT", d.burstRate), now); return;
    case '6': {
      int seconds = 0;
      if (!ParseHexField(args, 2, b) || !ParseWirePeriod(args.substr(4), &seconds))
        return refuse(now, "not a burst length and period");
      d.burstLength = static_cast<uint16_t>(b[0] | b[1] << 8);
      int f[3];
      ParseDecimalPairs(args.substr(4), 3, f);
      for (size_t i = 0; i < 3; ++i) d.burstPeriod[i] = IntToBcd(f[i]);
      return;
    }
    case '7':
      answer(Format("%02X%02X", d.burstLength & 0xFF, d.burstLength >> 8) +
                 WirePeriod(d.burstPeriodSeconds()) + "WAV",
             now);
      return;
    case '9': stop(now); return;
    case 'A':
      if (!ParseHexField(args, 8, b)) return refuse(now, "not eight hex bytes");
      std::memcpy(d.threshold.data(), b, 8);
      d.thresholdSet = true;
      return;
    case 'B':
      if (!ParseHexField(args, 1, b)) return refuse(now, "not a hex byte");
      d.realTimeCode = b[0];
      return;
    case 'C': programCalibrationArea(c, now); return;
    case 'D': answer(Format("%02XBAT", profile_.battery), now); return;
    case 'E': changeSpeed(c, now); return;
    case 'H':
      if (!ParseHexField(args, 2, b)) return refuse(now, "not two hex bytes");
      d.hysteresis = static_cast<uint16_t>(b[0] | b[1] << 8);
      return;
    case 'K': {
      int f[3], seconds;
      if (!ParseWirePeriod(args, &seconds) || !ParseDecimalPairs(args, 3, f))
        return refuse(now, "not a valid period");
      for (size_t i = 0; i < 3; ++i) d.checkPeriod[i] = IntToBcd(f[i]);
      return;
    }
    case 'L': answer(HexText(d.threshold.data(), 8) + "THR", now); return;
    case 'M': answer(Format("%02XBAU", d.realTimeCode), now); return;
    case 'O': answer(Format("%02X%02XHYS", d.hysteresis & 0xFF, d.hysteresis >> 8), now); return;
    case 'P': answer(HexText(d.checkPeriod.data(), 3) + "PSP", now); return;
    case 'R': resume(now); return;
    case 'S': suspend(now); return;
    case 'T':
      if (!ParseHexField(args, 1, b)) return refuse(now, "not a hex byte");
      if (b[0] == 0) answer("0102", now);
      else log_.note(Format("test register %02X written", b[0]));
      return;
    case 'U':
      if (!ParseHexField(args, 1, b)) return refuse(now, "not a hex byte");
      return;  // a prefix: it only announces the command that follows
    case 'W': answer(profile_.minSoftware + "WIN", now); return;
    case 'Y':
      if (!ParseHexField(args, 8, b)) return refuse(now, "not eight hex bytes");
      std::memcpy(d.height.data(), b, 8);
      return;
    case 'Z': answer(HexText(d.height.data(), 8) + "LHT", now); return;
    default: answer("Unknown command\r\n", now); return;
  }
  // clang-format on
}

void LoggerEngine::setClock(const TimeRecord& t, const EngineTime& now) {
  const int64_t before = loggerClockTicks(now);
  // A frozen clock keeps the time itself in the offset.
  clockOffset_ = profile_.clockFrozen ? ToTicks(t) : ToTicks(t) - now.wallTicks;
  // A logging logger marks the change of time, so its records keep true times.
  if (status_ == 2 && recorder_.active() && std::llabs(ToTicks(t) - before) > 2 * kTicksPerSecond) {
    recorder_.stop();
    recorder_.begin(WholeSecond(ToTicks(t)), settings_);
    recorder_.setStoring(!(settings_.oemFlags & 1));
    recorder_.writeStamp("TIM", WholeSecond(ToTicks(t)));
  }
}

void LoggerEngine::enable(const EngineTime& now) {
  if (faults_.faults().enableMode >= 0) {
    log_.note("fault: enable refused");
    answer(Format("Logger started in mode %02X", faults_.faults().enableMode), now);
    return;
  }
  if (erasing_ || status_ == 1 || status_ == 2 || status_ == 3 || status_ == kStatusEraseFault) {
    answer(Format("Logger started in mode %02X", status_), now);
    return;
  }
  const int64_t clock = loggerClockTicks(now);
  // The mode code of "!A" (without its power and profiling flags).
  const int code = settings_.thresholdSet ? (settings_.threshold[0] & 7) : 0;
  int next = 1;
  if (code >= 2)
    next = 3;
  else if ((settings_.startByte & 1) || code == 1)
    next = 2;
  if (ToTicks(settings_.end) <= clock) next = 4;  // nothing left to log
  if (next != 4) {
    const bool empty = memory_.pointer() == memory_.base();
    if (empty) recorder_.writeHeader(settings_, HeaderLength(profile_));
    const int64_t startNow =
        std::max(ToTicks(settings_.start), WholeSecond(clock) + kTicksPerSecond);
    const int64_t first = next == 2 ? startNow : ToTicks(settings_.start);
    recorder_.begin(first, settings_);
    recorder_.setStoring(!(settings_.oemFlags & 1));
    // Not erased: the new records follow the old ones behind a time stamp.
    if (!empty && next != 3) recorder_.writeStamp("TIM", first);
    if (next == 3) recorder_.stop();  // waiting for the threshold, which the sea never crosses here
  }
  status_ = next;
  log_.note(Format("enabled: status %d", next));
  answer(Format("Logger started in mode %02X", next), now);
}

void LoggerEngine::erase(const EngineTime& now) {
  recorder_.stop();
  erasing_ = true;
  eraseFails_ = faults_.eraseFails();
  eraseEndMs_ = now.monoMs + profile_.eraseMs;
  status_ = kStatusEraseFault;  // busy until the erase ends
  log_.note(
      Format("erasing for %d ms%s", profile_.eraseMs, eraseFails_ ? " (fault: will fail)" : ""));
}

void LoggerEngine::stop(const EngineTime& now) {
  updateStatus(now);
  if (status_ == 1 || status_ == 2 || status_ == 3 || status_ == 5) {
    recorder_.stop();
    status_ = IsExtended(profile_) ? 8 : 4;
    log_.note("stopped by the user");
  }
}

void LoggerEngine::suspend(const EngineTime& now) {
  updateStatus(now);
  if (status_ == 1 || status_ == 2 || status_ == 3) {
    resumeStatus_ = status_;
    status_ = 5;
    log_.note("suspended");
  }
}

void LoggerEngine::resume(const EngineTime& now) {
  updateStatus(now);
  const int64_t clock = loggerClockTicks(now);
  if (status_ == 5) {
    status_ = resumeStatus_;
  } else if ((status_ == 4 || status_ == 8) && ToTicks(settings_.end) > clock &&
             memory_.pointer() > memory_.base()) {
    // Continue adding to the data already in memory, marked by a stamp.
    const int64_t first = WholeSecond(clock) + kTicksPerSecond;
    recorder_.begin(std::max(first, ToTicks(settings_.start)), settings_);
    recorder_.setStoring(!(settings_.oemFlags & 1));
    recorder_.writeStamp("TIM", std::max(first, ToTicks(settings_.start)));
    status_ = ToTicks(settings_.start) > clock ? 1 : 2;
  } else {
    return;
  }
  log_.note(Format("resumed: status %d", status_));
}

void LoggerEngine::changeSpeed(const std::string& c, const EngineTime& now) {
  uint8_t code;
  if (!ParseHexField(std::string_view(c).substr(2), 1, &code)) return refuse(now, "not a hex byte");
  const SpeedCommand kind = SpeedCommandOf(profile_);
  int baud = 0;
  if (kind == SpeedCommand::HvLv) {
    baud = code == 0 ? 28800 : (code == 1 ? 19200 : 0);
  } else if (kind == SpeedCommand::Code) {
    if (code == 1)
      baud = 115200;
    else if (code >= 1 && 288000 % (code + 2) == 0)
      baud = 288000 / (code + 2);
    if (baud != 115200 && baud != 57600 && baud != 28800 && baud != 19200 && baud != 9600 &&
        baud != 4800 && baud != 2400 && baud != 1200)
      baud = 0;
  } else {
    log_.note("this logger cannot change its rate");
    return;
  }
  if (baud == 0) return refuse(now, "no such rate code");
  if (faults_.faults().oneRate > 0) {
    log_.note(Format("fault: stays at %d baud", rate_));
    return;
  }
  log_.note(Format("rate %d -> %d", rate_, baud));
  rate_ = baud;
}

}  // namespace kts::sim
