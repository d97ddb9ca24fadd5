#include "sim/profile.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <limits>
#include <cstdlib>
#include <sstream>

#include "core/text.h"
#include "core/time_math.h"
#include "sim/text_file.h"

namespace kts::sim {
namespace {

constexpr size_t kMaxProfileBytes = 64 * 1024;

std::string Trim(std::string_view s) {
  size_t a = 0, b = s.size();
  while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
  while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
  return std::string(s.substr(a, b - a));
}

std::vector<std::string> Words(const std::string& s) {
  std::vector<std::string> out;
  std::istringstream in(s);
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

bool ParseInteger(const std::string& text, long long min, long long max, long long* out) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const long long v = std::strtoll(text.c_str(), &end, hex ? 16 : 10);
  if (errno != 0 || end == text.c_str() || *end != '\0' || v < min || v > max) return false;
  *out = v;
  return true;
}

bool ParseDouble(const std::string& text, double* out) {
  if (text.empty()) return false;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || *end != '\0' || !std::isfinite(v)) return false;
  *out = v;
  return true;
}

bool ParseHexByte(const std::string& text, uint8_t* out) {
  if (text.empty() || text.size() > 2) return false;
  for (char c : text)
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  *out = static_cast<uint8_t>(std::strtoul(text.c_str(), nullptr, 16));
  return true;
}

// "6.51" as hundredths.
bool ParseVersion(const std::string& text, int* out) {
  double v = 0;
  if (!ParseDouble(text, &v) || v < 0 || v >= 100) return false;
  *out = static_cast<int>(std::lround(v * 100));
  return true;
}

bool ParseClockTime(const std::string& text, int* h, int* m, int* s) {
  int hh, mm, ss;
  char tail;
  if (std::sscanf(text.c_str(), "%d:%d:%d%c", &hh, &mm, &ss, &tail) != 3) return false;
  if (hh < 0 || hh > 24 || mm < 0 || mm > 59 || ss < 0 || ss > 59) return false;
  if (hh == 24 && (mm != 0 || ss != 0)) return false;
  *h = hh, *m = mm, *s = ss;
  return true;
}

bool ParseDateTime(const std::string& text, TimeRecord* out) {
  int y, mo, d, h, mi, s;
  char tail;
  if (std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d%c", &y, &mo, &d, &h, &mi, &s, &tail) != 6)
    return false;
  if (y < 2000 || y > 2099 || mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || h < 0 || mi < 0 ||
      mi > 59 || s < 0 || s > 59)
    return false;
  *out = MakeTime(y, mo, d, h, mi, s);
  return true;
}

bool IsLoggerRate(long long baud) {
  // clang-format off
  switch (baud) {
    case 1200: case 2400: case 4800: case 9600: case 19200: case 28800: case 38400:
    case 57600: case 115200:
      return true;
    default:
      return false;
  }
  // clang-format on
}

bool IsStandardRate(long long baud) {
  return baud == 1200 || baud == 2400 || baud == 4800 || baud == 9600 || baud == 19200;
}

bool ParseByteList(const std::string& value, size_t max, std::vector<uint8_t>* out) {
  out->clear();
  for (const std::string& w : Words(value)) {
    uint8_t b;
    if (!ParseHexByte(w, &b) || out->size() == max) return false;
    out->push_back(b);
  }
  return !out->empty();
}

// A run of hex digits, with or without blanks between the bytes.
bool ParseHexBytes(const std::string& value, size_t count, uint8_t* out) {
  std::string digits;
  for (char c : value)
    if (!std::isspace(static_cast<unsigned char>(c))) digits.push_back(c);
  if (digits.size() != count * 2) return false;
  for (size_t i = 0; i < count; ++i)
    if (!ParseHexByte(digits.substr(2 * i, 2), &out[i])) return false;
  return true;
}

uint8_t Bcd(int v) {
  return static_cast<uint8_t>(((v / 10) << 4) | (v % 10));
}

// Keys that take a whole number in a range and nothing more.
struct IntegerKey {
  const char* key;
  long long min, max;
  void (*set)(Profile&, long long);
};

constexpr IntegerKey kIntegerKeys[] = {
    {"serial", 0, 999999, [](Profile& p, long long v) { p.serial = static_cast<int>(v); }},
    {"latency_ms", 0, 655350, [](Profile& p, long long v) { p.latencyMs = static_cast<int>(v); }},
    {"reading_time_ms", 0, 6553500,
     [](Profile& p, long long v) { p.readingTimeMs = static_cast<int>(v); }},
    {"memory_type", 0, 4, [](Profile& p, long long v) { p.memoryType = static_cast<int>(v); }},
    {"header_length", 0, 255,
     [](Profile& p, long long v) { p.headerLength = static_cast<int>(v); }},
    {"battery", 0, 255, [](Profile& p, long long v) { p.battery = static_cast<int>(v); }},
    {"rs_advanced", 0, 255,
     [](Profile& p, long long v) { p.rsAdvanced = static_cast<uint8_t>(v); }},
    {"calibration_records", 0, 64,
     [](Profile& p, long long v) { p.calibrationRecords = static_cast<int>(v); }},
    {"history_capacity", 1, 255,
     [](Profile& p, long long v) { p.historyCapacity = static_cast<int>(v); }},
    {"records", 0, 3000000, [](Profile& p, long long v) { p.records = static_cast<int>(v); }},
    {"time_stamp_every", 1, 10000000,
     [](Profile& p, long long v) { p.timeStampEvery = static_cast<int>(v); }},
    {"start_byte", 0, 255, [](Profile& p, long long v) { p.startByte = static_cast<uint8_t>(v); }},
    {"oem_flags", 0, 0xFFFFFF,
     [](Profile& p, long long v) { p.oemFlags = static_cast<uint32_t>(v); }},
    {"averaging", 0, 65535,
     [](Profile& p, long long v) { p.averaging = static_cast<uint16_t>(v); }},
    {"realtime_code", 0, 255,
     [](Profile& p, long long v) { p.realTimeCode = static_cast<uint8_t>(v); }},
    {"hysteresis", 0, 65535,
     [](Profile& p, long long v) { p.hysteresis = static_cast<uint16_t>(v); }},
    {"burst_rate", 1, 255, [](Profile& p, long long v) { p.burstRate = static_cast<int>(v); }},
    {"erase_ms", 0, 600000, [](Profile& p, long long v) { p.eraseMs = static_cast<int>(v); }},
    {"clock_frozen", 0, 1, [](Profile& p, long long v) { p.clockFrozen = v != 0; }},
};

class LineParser {
 public:
  LineParser(Profile& p, std::string* error) : p_(p), error_(error) {}

  bool apply(const std::string& text, bool allowBase) {
    if (text.size() > kMaxProfileBytes) return fail(0, "the profile is larger than 64 KiB");
    std::istringstream in(text);
    std::string line;
    int number = 0;
    bool first = true;
    while (std::getline(in, line)) {
      ++number;
      const size_t hash = line.find('#');
      if (hash != std::string::npos) line.erase(hash);
      line = Trim(line);
      if (line.empty()) continue;
      const size_t eq = line.find('=');
      if (eq == std::string::npos) return fail(number, "expected 'key = value'");
      const std::string key = Trim(std::string_view(line).substr(0, eq));
      const std::string value = Trim(std::string_view(line).substr(eq + 1));
      if (key == "base") {
        if (!allowBase || !first) return fail(number, "'base' must be the first key of a profile");
        const char* text = BuiltinProfileText(value);
        if (!text) return fail(number, "no built-in profile named '" + value + "'");
        const std::string keepName = p_.name;
        LineParser inner(p_, error_);
        if (!inner.apply(text, false)) return false;
        p_.name = keepName;
        first = false;
        continue;
      }
      first = false;
      if (value.empty()) return fail(number, "'" + key + "' has no value");
      if (!setKey(number, key, value)) return false;
    }
    return validate();
  }

 private:
  bool fail(int line, const std::string& what) {
    if (error_) *error_ = line > 0 ? Format("line %d: %s", line, what.c_str()) : what;
    return false;
  }

  bool integer(int line, const std::string& key, const std::string& value, long long min,
               long long max, long long* out) {
    if (ParseInteger(value, min, max, out)) return true;
    return fail(line, Format("%s: '%s' is not a whole number from %lld to %lld", key.c_str(),
                             value.c_str(), min, max));
  }

  bool setKey(int n, const std::string& key, const std::string& value) {
    long long v = 0;
    for (const IntegerKey& k : kIntegerKeys) {
      if (key != k.key) continue;
      if (!integer(n, key, value, k.min, k.max, &v)) return false;
      k.set(p_, v);
      return true;
    }
    if (key == "model") {
      if (Words(value).size() != 1 || value.size() > 20)
        return fail(n, "model: one word of at most 20 characters");
      p_.model = value;
    } else if (key == "firmware") {
      if (!ParseVersion(value, &p_.firmware))
        return fail(n, "firmware: expected a version such as 6.51");
    } else if (key == "baud") {
      if (!ParseInteger(value, 1, 1000000, &v) || !IsLoggerRate(v))
        return fail(n, "baud: one of 1200, 2400, 4800, 9600, 19200, 28800, 38400, 57600, 115200");
      p_.baud = static_cast<int>(v);
    } else if (key == "default_baud") {
      if (!ParseInteger(value, 1, 1000000, &v) || !IsStandardRate(v))
        return fail(n, "default_baud: one of 1200, 2400, 4800, 9600, 19200");
      p_.defaultBaud = static_cast<int>(v);
    } else if (key == "channels") {
      return setChannels(n, value);
    } else if (key.rfind("capability.", 0) == 0) {
      long long word = 0;
      if (!ParseInteger(key.substr(11), 0, kCapabilityWords - 1, &word))
        return fail(n, "capability.N: N is a word number from 0 to 23");
      if (!integer(n, key, value, 0, 0xFFFFFFFFLL, &v)) return false;
      p_.words[static_cast<size_t>(word)] = static_cast<uint32_t>(v);
      p_.hasWord.set(static_cast<size_t>(word));
    } else if (key == "min_software") {
      int hundredths = 0;
      if (!ParseVersion(value, &hundredths))
        return fail(n, "min_software: expected a version such as 5.00");
      p_.minSoftware = Format("%d.%02d", hundredths / 100, hundredths % 100);
    } else if (key == "tables") {
      std::vector<uint8_t> ids;
      if (value != "none" && !ParseByteList(value, 256, &ids))
        return fail(n, "tables: table numbers in hex, such as '01 03 07', or 'none'");
      p_.tables.reset();
      for (uint8_t id : ids) p_.tables.set(id);
    } else if (key == "extended_caps" || key == "range_switching") {
      std::vector<uint8_t> bytes;
      if (!ParseByteList(value, 25, &bytes))
        return fail(n, key + ": up to 25 hex bytes (the rest are FF)");
      std::array<uint8_t, 25>& t = key == "extended_caps" ? p_.extendedCaps : p_.rangeSwitching;
      t = NoRangeSwitchingTable();
      for (size_t i = 0; i < bytes.size(); ++i) t[i] = bytes[i];
    } else if (key == "standardization") {
      return setStandardization(n, value);
    } else if (key == "calibration") {
      if (value == "none")
        p_.calibration = CalibrationKind::None;
      else if (value == "history")
        p_.calibration = CalibrationKind::History;
      else if (value == "flash")
        p_.calibration = CalibrationKind::Flash;
      else if (value == "single")
        p_.calibration = CalibrationKind::Single;
      else
        return fail(n, "calibration: none, history, flash or single");
    } else if (key.rfind("coefficients.", 0) == 0) {
      long long channel = 0;
      if (!ParseInteger(key.substr(13), 1, kMaxSimChannels, &channel))
        return fail(n, "coefficients.N: N is a channel number from 1 to 24");
      const std::vector<std::string> w = Words(value);
      Coefficients c{};
      if (w.size() != 4) return fail(n, key + ": four numbers c0 c1 c2 c3");
      for (size_t i = 0; i < 4; ++i) {
        // "nan" stands for a damaged record, as a logger may hand one over.
        if (w[i] == "nan") {
          c[i] = std::numeric_limits<double>::quiet_NaN();
          continue;
        }
        if (!ParseDouble(w[i], &c[i])) return fail(n, key + ": '" + w[i] + "' is not a number");
      }
      p_.coefficients.emplace_back(static_cast<int>(channel), c);
    } else if (key == "status") {
      if (!integer(n, key, value, 0, 8, &v)) return false;
      if (v == 6 || v == 7)
        return fail(n, "status: 0 to 5 or 8 (profiling and memory error are not simulated)");
      p_.status = static_cast<int>(v);
    } else if (key == "start" || key == "end") {
      if (!ParseDateTime(value, key == "start" ? &p_.start : &p_.end))
        return fail(n, key + ": expected YYYY-MM-DD hh:mm:ss with a year from 2000 to 2099");
    } else if (key == "period") {
      int h, m, s;
      if (!ParseClockTime(value, &h, &m, &s) || h * 3600 + m * 60 + s == 0)
        return fail(n, "period: expected hh:mm:ss, not 00:00:00");
      p_.periodSeconds = h * 3600 + m * 60 + s;
    } else if (key == "clock") {
      if (value == "data")
        p_.clockStart = ClockStart::Data;
      else if (value == "host")
        p_.clockStart = ClockStart::Host;
      else if (ParseDateTime(value, &p_.clock))
        p_.clockStart = ClockStart::Fixed;
      else
        return fail(n, "clock: data, host or YYYY-MM-DD hh:mm:ss");
    } else if (key == "stamps") {
      if (value == "none")
        p_.stamps = StampPlan::None;
      else if (value == "time")
        p_.stamps = StampPlan::Time;
      else if (value == "all")
        p_.stamps = StampPlan::All;
      else
        return fail(n, "stamps: none, time or all");
    } else if (key == "threshold") {
      if (!ParseHexBytes(value, 8, p_.threshold.data()))
        return fail(n, "threshold: the eight bytes of \"!A\" as 16 hex digits");
    } else if (key == "check_period") {
      int h, m, s;
      if (!ParseClockTime(value, &h, &m, &s)) return fail(n, "check_period: expected hh:mm:ss");
      p_.checkPeriod = {Bcd(h), Bcd(m), Bcd(s)};
    } else if (key == "burst_length") {
      if (!ParseInteger(value, 0, 65535, &v) ||
          (v != 0 && v != 512 && v != 1024 && v != 2048 && v != 4096))
        return fail(n, "burst_length: 0 (no bursts), 512, 1024, 2048 or 4096");
      p_.burstLength = static_cast<int>(v);
    } else if (key == "burst_period") {
      int h, m, s;
      if (!ParseClockTime(value, &h, &m, &s) || h * 3600 + m * 60 + s == 0)
        return fail(n, "burst_period: expected hh:mm:ss, not 00:00:00");
      p_.burstPeriodSeconds = h * 3600 + m * 60 + s;
    } else if (key == "logger_height" || key == "wave_height" || key == "wave_period") {
      double d = 0;
      if (!ParseDouble(value, &d) || d < 0 || d > 1000)
        return fail(n, key + ": a number from 0 to 1000");
      (key == "logger_height" ? p_.loggerHeight
       : key == "wave_height" ? p_.waveHeight
                              : p_.wavePeriod) = d;
    } else {
      return fail(n, "unknown key '" + key + "'");
    }
    return true;
  }

  bool setChannels(int n, const std::string& value) {
    std::vector<ProfileChannel> channels;
    for (const std::string& w : Words(value)) {
      ProfileChannel c;
      if (!std::isalpha(static_cast<unsigned char>(w[0])) || (w.size() != 1 && w[1] != ':'))
        return fail(
            n,
            "channels: each channel is a type letter, optionally ':' and an address byte in hex");
      c.letter = static_cast<uint8_t>(w[0]);
      if (w.size() > 1 && !ParseHexByte(w.substr(2), &c.address))
        return fail(n, "channels: '" + w + "' has no valid address byte");
      if (channels.size() == kMaxSimChannels) return fail(n, "channels: at most 24");
      channels.push_back(c);
    }
    if (channels.empty()) return fail(n, "channels: at least one");
    p_.channels = channels;
    return true;
  }

  bool setStandardization(int n, const std::string& value) {
    const std::vector<std::string> w = Words(value);
    Standardization s;
    long long valid = 0;
    if (w.size() != 5 || !ParseInteger(w[0], 0, 1, &valid) || !ParseDouble(w[1], &s.standard1) ||
        !ParseDouble(w[2], &s.sample1) || !ParseDouble(w[3], &s.k15) || w[4].size() > 8)
      return fail(
          n,
          "standardization: valid(0/1) Vstandard(1) Vsample(1) K15 batch (8 characters at most)");
    s.present = true;
    s.valid = valid == 1;
    s.batch = w[4];
    p_.standardization = s;
    return true;
  }

  bool validate() {
    for (const auto& [channel, c] : p_.coefficients)
      if (channel > static_cast<int>(p_.channels.size()))
        return fail(0, Format("coefficients.%d: the logger has only %zu channels", channel,
                              p_.channels.size()));
    if (CompareTimes(p_.end, p_.start) < 0)
      return fail(0, "end: the deployment ends before it starts");
    if (IsHvModel(p_) && p_.channels.size() != 1)
      return fail(0, "channels: an HV recorder has one channel");
    return true;
  }

  Profile& p_;
  std::string* error_;
};

}  // namespace

bool IsExtended(const Profile& p) {
  return p.firmware > 499;
}
bool IsQzFamily(const Profile& p) {
  return Contains(p.model, "QZ");
}
bool IsHvModel(const Profile& p) {
  return Contains(p.model, "HV");
}
bool IsLvModel(const Profile& p) {
  return Contains(p.model, "LV");
}
bool SendsCheckByte(const Profile& p) {
  return !(IsHvModel(p) && p.firmware < 150);
}

uint32_t Word(const Profile& p, int n) {
  if (n < 0 || n >= kCapabilityWords) return 0;
  return p.words[static_cast<size_t>(n)];
}

bool HasFeature(const Profile& p, int bit) {
  return p.hasWord[0] && (p.words[0] >> bit) & 1;
}

int HeaderLength(const Profile& p) {
  if (p.headerLength >= 0) return p.headerLength;
  if (HasFeature(p, 2) && p.hasWord[3]) return static_cast<int>(Word(p, 3) & 0xFF);
  if (IsHvModel(p)) return p.firmware < 150 ? 0 : (p.firmware < 220 ? 15 : 30);
  return 30;
}

int EngineeringUnitsLevel(const Profile& p) {
  return HasFeature(p, 19) ? static_cast<int>(Word(p, 20)) : 0;
}
bool HasStartCharacteristic(const Profile& p) {
  return HasFeature(p, 14);
}
bool HasWaves(const Profile& p) {
  return HasFeature(p, 16) && p.burstLength > 0;
}
bool FetchTakesCode(const Profile& p) {
  return IsExtended(p) || IsQzFamily(p);
}

uint32_t MemoryBase(const Profile& p) {
  return IsExtended(p) ? 0 : 0x20000;
}

uint32_t MemoryCapacityEnd(const Profile& p) {
  if (IsExtended(p))
    return p.memoryType >= 3 ? 0x7FE000 : (p.memoryType == 2 ? 0x3FF7FE : 0x1FF7FE);
  return p.memoryType >= 2 ? 0x3FF7FE : 0x1FF7FE;
}

SpeedCommand SpeedCommandOf(const Profile& p) {
  if (IsExtended(p) || IsQzFamily(p)) return SpeedCommand::Code;
  const int v = p.firmware;
  if (IsHvModel(p) && ((v >= 215 && v < 300) || v >= 315)) return SpeedCommand::HvLv;
  if (IsLvModel(p) && v >= 315) return SpeedCommand::HvLv;
  return SpeedCommand::None;
}

bool ApplyProfileLines(const std::string& text, Profile& p, std::string* error) {
  LineParser parser(p, error);
  return parser.apply(text, false);
}

bool ParseProfile(const std::string& text, Profile& out, std::string* error) {
  Profile p;
  p.name = out.name;
  LineParser parser(p, error);
  if (!parser.apply(text, true)) return false;
  out = std::move(p);
  return true;
}

bool LoadProfileFile(const std::string& path, Profile& out, std::string* error) {
  std::string text;
  const FileRead read = ReadBoundedFile(path, kMaxProfileBytes, &text);
  if (read != FileRead::Ok) {
    if (error)
      *error = read == FileRead::CannotOpen ? "cannot open the profile file " + path
                                            : path + ": the profile is larger than 64 KiB";
    return false;
  }
  Profile p;
  p.name = path;
  std::string why;
  if (!ParseProfile(text, p, &why)) {
    if (error) *error = path + ": " + why;
    return false;
  }
  out = std::move(p);
  return true;
}

bool LoadBuiltinProfile(const std::string& name, Profile& out, std::string* error) {
  const char* text = BuiltinProfileText(name);
  if (!text) {
    if (error) {
      std::string known;
      for (const std::string& n : BuiltinProfileNames()) known += (known.empty() ? "" : ", ") + n;
      *error = "no built-in profile named '" + name + "' (known: " + known + ")";
    }
    return false;
  }
  Profile p;
  p.name = name;
  std::string why;
  if (!ParseProfile(text, p, &why)) {
    if (error) *error = "built-in profile " + name + ": " + why;
    return false;
  }
  out = std::move(p);
  return true;
}

}  // namespace kts::sim
