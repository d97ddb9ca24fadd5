#include "data/header_parser.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "convert/channel_types.h"
#include "convert/derived_plan.h"
#include "core/text.h"
#include "data/line_reader.h"
#include "data/stamp_codes.h"
#include "link/logger_status.h"

namespace kts {
namespace {

constexpr size_t kMaxModelLength = 63;
constexpr size_t kMaxCommentLength = 99;
constexpr int kMaxBurstLength = 4096;

bool HeaderFailed(FileProblem& p) {
  p = {"Error while reading file header", "Read File"};
  return false;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// "%d" at a position: blanks skipped, an optional sign, at most nine digits
// (a larger number is no number of ours).
bool IntAt(std::string_view line, size_t pos, int& out, size_t* end = nullptr) {
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  if (pos >= line.size()) return false;
  const char* first = line.data() + pos;
  const char* last = line.data() + line.size();
  if (*first == '+') ++first;
  const char* digitsEnd = first;
  if (digitsEnd < last && *digitsEnd == '-') ++digitsEnd;
  int digits = 0;
  while (digitsEnd < last && *digitsEnd >= '0' && *digitsEnd <= '9') ++digitsEnd, ++digits;
  if (digits == 0 || digits > 9) return false;
  int v = 0;
  std::from_chars(first, digitsEnd, v);
  out = v;
  if (end != nullptr) *end = static_cast<size_t>(digitsEnd - line.data());
  return true;
}

// "%lf" at a position, finite values only, whatever the process locale.
bool DoubleAt(std::string_view line, size_t pos, double& out) {
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  if (pos >= line.size()) return false;
  const char* first = line.data() + pos;
  const char* last = line.data() + line.size();
  if (*first == '+') ++first;
  double v = 0;
  const auto r = std::from_chars(first, last, v);
  if (r.ec != std::errc() || !std::isfinite(v)) return false;
  out = v;
  return true;
}

// The number after a word, e.g. the sample number after "sample".
bool IntAfter(std::string_view line, std::string_view word, int& out) {
  const size_t at = line.find(word);
  return at != std::string_view::npos && IntAt(line, at + word.size(), out);
}

bool ValidTime(int y, int mo, int d, int h, int mi, int s) {
  return y >= 1900 && y <= 9999 && mo >= 1 && mo <= 12 && d >= 1 && d <= 31 && h >= 0 && h < 24 &&
         mi >= 0 && mi < 60 && s >= 0 && s < 60;
}

// "y/m/d h:m:s" from a position; the year as written (two or four digits).
bool DateTimeAt(std::string_view line, size_t pos, int (&v)[6]) {
  static constexpr char kSeparators[6] = {'/', '/', ' ', ':', ':', '\0'};
  size_t at = pos;
  for (int k = 0; k < 6; ++k) {
    size_t end = 0;
    if (!IntAt(line, at, v[k], &end)) return false;
    at = end;
    if (kSeparators[k] != '\0') {
      if (at >= line.size() || line[at] != kSeparators[k]) return false;
      ++at;
    }
  }
  return true;
}

// A header time line: the date at character 14. Two digits before its first
// "/" are a year of this century; four are the year itself.
TimeRecord HeaderTime(std::string_view line) {
  int v[6] = {};
  if (line.size() <= 14 || !DateTimeAt(line, 14, v)) return MakeTime(2000, 1, 1);
  size_t slash = line.find('/', 14);
  int digits = 0;
  for (size_t i = 14; i < slash && i < line.size(); ++i)
    if (line[i] >= '0' && line[i] <= '9') ++digits;
  if (digits <= 2) v[0] += 2000;
  if (!ValidTime(v[0], v[1], v[2], v[3], v[4], v[5])) return MakeTime(2000, 1, 1);
  return MakeTime(v[0], v[1], v[2], v[3], v[4], v[5]);
}

bool PeriodAt(std::string_view line, size_t pos, TimeRecord& out) {
  int h = 0, m = 0, s = 0;
  size_t end = 0;
  if (!IntAt(line, pos, h, &end) || end >= line.size() || line[end] != ':') return false;
  if (!IntAt(line, end + 1, m, &end) || end >= line.size() || line[end] != ':') return false;
  if (!IntAt(line, end + 1, s, &end)) return false;
  if (h < 0 || h > 99 || m < 0 || m > 59 || s < 0 || s > 59) return false;
  out = MakePeriod(h, m, s);
  return true;
}

int StampTypeByName(std::string_view line) {
  const size_t at = line.find("type:");
  if (at == std::string_view::npos) return kStampTime;
  size_t p = at + 5;
  while (p < line.size() && IsBlank(line[p])) ++p;
  const std::string_view rest = line.substr(p);
  for (int t = 0; t < kStampCodeCount; ++t) {
    const std::string_view name = StampDisplayName(t);
    if (rest.substr(0, name.size()) == name) return t;
  }
  return kStampTime;
}

class HeaderParser {
 public:
  HeaderParser(LineReader& in, HeaderForm form, ParsedHeader& out)
      : in_(in), form_(form), h_(out) {}

  bool run(std::string_view first, FileProblem* problem) {
    FileProblem p;
    const bool ok = firstLine(first, p) && timeLines(p) && periodLine(p) && countLine(p) &&
                    columnsLine(p) && calibration(p) && keywordLoop(p);
    if (!ok && problem != nullptr) *problem = p;
    return ok;
  }

 private:
  bool next(std::string& line) { return in_.next(line); }

  bool firstLine(std::string_view line, FileProblem& p) {
    // "%s %s %f %d": maker, model, firmware, serial.
    std::string_view words[4];
    size_t pos = 0;
    for (auto& w : words) {
      while (pos < line.size() && (IsBlank(line[pos]))) ++pos;
      const size_t start = pos;
      while (pos < line.size() && !IsBlank(line[pos])) ++pos;
      w = line.substr(start, pos - start);
    }
    LoggerIdentity& id = h_.context.identity;
    id.model = std::string(words[1].substr(0, kMaxModelLength));
    if (!IsSupportedFileModel(id.model)) {
      p = {Format("This file is for a logger of type %s.\nThis type of logger is not supported "
                  "by this software.",
                  id.model.c_str()),
           "Read File"};
      return false;
    }
    double firmware = 0;
    if (DoubleAt(words[2], 0, firmware) && std::fabs(firmware) < 1000)
      id.firmware = static_cast<float>(firmware);
    else
      id.firmware = 0.0f;
    int serial = 0;
    id.serial = IntAt(words[3], 0, serial) ? serial : 0;
    id.extended = FirmwareAbove(id, 4.99);

    // The description starts from that of a logger that has told nothing.
    LoggerDescription& d = h_.context.description;
    d = LoggerDescription{};
    d.rsAdvanced = kRsBinaryOutput;
    d.capabilityWordsRead = id.extended;
    const size_t minimum = line.find("Minimum required");
    double version = 0;
    if (minimum != std::string_view::npos && DoubleAt(line, minimum + 17, version)) {
      d.hasMinimumSoftwareVersion = true;
      d.minimumSoftwareVersion = static_cast<float>(version);
    }
    if (form_ == HeaderForm::Hex && Contains(id.model, "HKV")) {
      h_.tideAndWave = true;
      d.waves = true;
    }
    return true;
  }

  bool timeLines(FileProblem& p) {
    TimeRecord* times[4] = {&h_.deployment.hostTime, &h_.deployment.loggerTime, &h_.startTime,
                            &h_.deployment.endTime};
    std::string line;
    for (TimeRecord* t : times) {
      if (!next(line)) return HeaderFailed(p);
      *t = HeaderTime(line);
    }
    h_.deployment.startTime = h_.startTime;
    return true;
  }

  bool periodLine(FileProblem& p) {
    std::string line;
    if (!next(line)) return HeaderFailed(p);
    if (Contains(line, "6Hz profiling")) {
      h_.samplingMode = kProfilingMode;
      h_.samplePeriod = MakePeriod(0, 0, 1);
      h_.context.description.profiling6Hz = true;
    } else if (!PeriodAt(line, 23, h_.samplePeriod)) {
      h_.samplePeriod = MakePeriod(0, 1, 0);
    }
    h_.deployment.samplingPeriod = h_.samplePeriod;
    h_.deployment.block.samplingMode = h_.samplingMode;
    return true;
  }

  bool countLine(FileProblem& p) {
    std::string line;
    if (!next(line)) return HeaderFailed(p);
    const size_t mode = line.find("mode: ");
    int channels = 0, samples = 0;
    if (mode == std::string::npos || !IntAt(line, 20, channels) ||
        !IntAfter(line, "number of samples = ", samples) || channels < 1 ||
        channels > kMaxChannels || samples < 0)
      return HeaderFailed(p);
    h_.channels = channels;
    h_.sampleCount = samples;
    h_.context.description.channelCount = channels;
    const std::string_view status = std::string_view(line).substr(mode + 6);
    int code = kLogging;
    switch (status.empty() ? '\0' : status[0]) {
      case 'N':
        code = kNotEnabled;
        break;
      case 'E':
        code = kEnabled;
        break;
      case 'T':
        code = kThresholdingEnabled;
        break;
      case 'M':
        code = kMemoryError;
        break;
      case 'P':
        code = kProfilingActive;
        break;
      case 'L':
        if (Contains(status, "Complete"))
          code = kLoggingComplete;
        else if (Contains(status, "Suspended"))
          code = kLoggingSuspended;
        else if (Contains(status, "Stopped"))
          code = kStoppedByUser;
        break;
      default:
        break;
    }
    h_.deployment.loggerStatus = code;
    return true;
  }

  bool columnsLine(FileProblem& p) {
    std::string line;
    if (!next(line)) return HeaderFailed(p);
    const char c = line.empty() ? 'E' : line[0];
    h_.timeColumns = c == 'N' ? 0 : c == 'A' ? 1 : 2;
    h_.leadWidth = LeadWidth(h_.timeColumns);
    return true;
  }

  bool calibration(FileProblem& p) {
    std::string line;
    for (int c = 0; c < h_.channels; ++c) {
      auto& k = h_.context.coefficients.c[static_cast<size_t>(c)];
      if (!next(line) || !Contains(line, "Calibration") || !DoubleAt(line, 16, k[0]))
        return HeaderFailed(p);
      for (int j = 1; j < 4; ++j)
        if (!next(line) || !DoubleAt(line, 0, k[static_cast<size_t>(j)])) return HeaderFailed(p);
      if (Contains(line, "mS/cm"))
        h_.context.description.conductivityMicroSiemens = false;
      else if (Contains(line, "uS/cm"))
        h_.context.description.conductivityMicroSiemens = true;
    }
    h_.context.coefficients.readFromLogger = true;
    return true;
  }

  // Loggers that write their column labels end the header there; the others
  // at the empty line that closes it. Either ends before the image of a
  // .hex file.
  bool keywordLoop(FileProblem& p) {
    const LoggerIdentity& id = h_.context.identity;
    const bool labelled = IsQzFamily(id) || h_.context.description.capabilityWordsRead;
    std::string line;
    while (next(line)) {
      if (Contains(line, "Number of bytes of data")) {
        h_.endLine = line;
        return finish(labelled, p);
      }
      const bool known = keyword(line);
      if (labelled) {
        if (Contains(line, "COMMENT") || Contains(line, "Generic Serial")) continue;
        if (!known && IsLabelLine(line)) {
          h_.endLine = line;
          labelTypes(line);
          return finish(labelled, p);
        }
      } else if (line.empty()) {
        h_.endLine = line;
        return finish(labelled, p);
      }
    }
    return HeaderFailed(p);
  }

  static bool IsLabelLine(std::string_view line) {
    static constexpr const char* kWords[] = {
        "Temp", "Pres", "Volt", "Turb", "Cond",  "D_O2", "PAR",   "pH",   "FlC",     "FlR",
        "FlUV", "Paro", "Optd", "Vlt",  "Trans", "Gain", "Depth", "Echo", "Generic", "Unknown"};
    for (const char* w : kWords)
      if (Contains(line, w)) return true;
    return false;
  }

  void labelTypes(std::string_view line) {
    int k = 0;
    size_t pos = 0;
    while (k < h_.channels && pos < line.size()) {
      while (pos < line.size() && line[pos] == ' ') ++pos;
      const size_t start = pos;
      while (pos < line.size() && line[pos] != ' ') ++pos;
      if (pos == start) break;
      const std::string_view word = line.substr(start, pos - start);
      uint8_t type = 'U';
      for (int r = 0; r <= kUnknownTypeIndex; ++r) {
        if (Contains(TypeRow(r).columnLabel, word)) {
          type = TypeRow(r).letter;
          break;
        }
      }
      h_.types[static_cast<size_t>(k++)] = type;
    }
    for (; k < h_.channels; ++k) h_.types[static_cast<size_t>(k)] = 'U';
  }

  bool finish(bool labelled, FileProblem& p) {
    LoggerDescription& d = h_.context.description;
    if (!labelled) {
      const std::string& m = h_.context.identity.model;
      h_.types.fill(0);
      for (int c = 0; c < h_.channels; ++c) h_.types[static_cast<size_t>(c)] = 'U';
      if (Contains(m, "HLV") || Contains(m, "4070")) {
        h_.types[0] = 'T';
        h_.types[1] = 'P';
      } else if (Contains(m, "LV")) {
        h_.types[0] = 'P';
      } else {
        h_.types[0] = 'T';
      }
      for (int c = h_.channels; c < kMaxChannels; ++c) h_.types[static_cast<size_t>(c)] = 0;
    }
    d.channelTypes = h_.types;
    // Time stamps and reset stamps are listed apart; the data set keeps
    // them in stream order, which within one sample is the listed order.
    std::stable_sort(
        h_.stamps.begin(), h_.stamps.end(),
        [](const StampEntry& a, const StampEntry& b) { return a.sampleIndex < b.sampleIndex; });
    const bool ascii = (d.rsAdvanced & (kRsAsciiOutput | kRsBinaryOutput)) == kRsAsciiOutput;
    if (ascii && form_ == HeaderForm::Dat) {
      p = {
          "This file is holds generic ASCII formatted data.\nThis type of data must be read "
          "using a text editor.",
          "Read File"};
      return false;
    }
    h_.asciiImage = ascii;
    return true;
  }

  // Acts on the first keyword the line holds; false when it holds none.
  bool keyword(std::string_view line) {
    LoggerDescription& d = h_.context.description;
    RetrievedDeployment& r = h_.deployment;
    int v = 0;
    double x = 0;
    if (const size_t at = line.find("COMMENT:"); at != std::string_view::npos) {
      const size_t from = std::min(line.size(), at + 9);
      h_.comment = std::string(line.substr(from, kMaxCommentLength));
      return true;
    }
    if (Contains(line, "Engineering units level")) {
      if (IntAfter(line, "Engineering units level", v)) d.engineeringUnitsLevel = v;
      return true;
    }
    if (Contains(line, "Averaging")) {
      d.averaging = true;
      if (line.size() > 11 && line.substr(11, 4) == "NONE") {
        r.averagingEnabled = false;
        r.averagingPeriod = 1;
      } else if (IntAt(line, 11, v) && v >= 0) {
        r.averagingEnabled = true;
        r.averagingPeriod = static_cast<uint32_t>(v);
      }
      return true;
    }
    if (Contains(line, "Logger start")) {
      startMode(line);
      return true;
    }
    if (Contains(line, "Timestamp")) {
      if (form_ == HeaderForm::Dat) stamp(line, 10);
      return true;
    }
    if (Contains(line, "Reset stamp")) {
      if (form_ == HeaderForm::Dat) stamp(line, 12);
      return true;
    }
    if (Contains(line, "Atmospheric") || Contains(line, "Latitude")) return true;
    if (Contains(line, "Memory type")) {
      if (IntAt(line, 12, v) && v >= 0) d.memoryType = v;
      return true;
    }
    if (Contains(line, "Number of bytes in header")) {
      if (IntAt(line, 25, v) && v >= 0 && v <= 255) d.parameterBlockLength = v;
      return true;
    }
    if (Contains(line, "Wave burst sample rate:")) {
      d.waves = true;
      if (IntAt(line, 23, v) && v >= 0) r.burstRate = static_cast<uint32_t>(v);
      return true;
    }
    if (Contains(line, "Wave burst sampling period:")) {
      r.burstEnabled = true;
      if (line.size() > 27) PeriodAt(line, 27, r.burstPeriod);
      return true;
    }
    if (Contains(line, "Wave burst sample length:")) {
      if (IntAt(line, 25, v) && v >= 0 && v <= kMaxBurstLength)
        r.burstLength = static_cast<uint32_t>(v);
      return true;
    }
    if (Contains(line, "Logger height:")) {
      if (DoubleAt(line, 15, x)) r.loggerHeight = x;
      return true;
    }
    if (Contains(line, "Extended data range:")) {
      extendedRange(line);
      return true;
    }
    if (Contains(line, "MMC/SD")) {
      uint8_t rs = 0;
      if (Contains(line, "MMC/SD Memory card present")) rs |= kRsSdCard;
      if (Contains(line, "Generic Serial card present")) rs |= kRsSerialCard;
      if (Contains(line, "ASCII and Binary"))
        rs |= kRsAsciiOutput | kRsBinaryOutput;
      else if (Contains(line, "ASCII"))
        rs |= kRsAsciiOutput;
      else if (!Contains(line, "None set"))
        rs |= kRsBinaryOutput;
      d.rsAdvanced = rs;
      d.configFlags |= kConfigAdvanced;
      return true;
    }
    return false;
  }

  void startMode(std::string_view line) {
    DeploymentBlock& b = h_.deployment.block;
    for (int m = 5; m >= 0; --m) {
      if (Contains(line, StartModeName(m))) {
        b.startMode = static_cast<uint32_t>(m);
        break;
      }
    }
    if (b.startMode != kStartAboveThreshold && b.startMode != kStartBelowThreshold) return;
    const size_t at = line.find("threshold");
    double level = 0;
    if (at != std::string_view::npos && DoubleAt(line, at + 9, level)) b.thresholdLevel = level;
    int channel = 0;
    if (IntAfter(line, "channel", channel) && channel >= 1 && channel <= kMaxChannels)
      b.thresholdChannel = static_cast<uint32_t>(channel - 1);
  }

  void stamp(std::string_view line, size_t timeAt) {
    int v[6] = {};
    int number = 0;
    if (!DateTimeAt(line, timeAt, v) || !ValidTime(v[0], v[1], v[2], v[3], v[4], v[5]) ||
        !IntAfter(line, "sample", number))
      return;
    StampEntry e;
    e.time = MakeTime(v[0], v[1], v[2], v[3], v[4], v[5]);
    // Stamp lines that name their type count samples from 1; the others
    // (loggers that list every stamp alike) from 0.
    const bool typed = Contains(line, "of type:");
    e.sampleIndex = typed ? number - 1 : number;
    e.type = typed ? StampTypeByName(line) : kStampTime;
    if (e.sampleIndex < 0 || e.sampleIndex > h_.sampleCount) return;
    if (e.type == kStampGain) gains(line, e);
    if (static_cast<int>(h_.stamps.size()) >= kMaxStamps) {
      h_.stampsSuppressed = true;
      return;
    }
    h_.stamps.push_back(e);
  }

  void gains(std::string_view line, StampEntry& e) {
    size_t pos = 0;
    while ((pos = line.find(" channel=", pos)) != std::string_view::npos) {
      int channel = 0, gain = 0;
      size_t end = 0;
      pos += 9;
      if (!IntAt(line, pos, channel, &end)) continue;
      if (line.substr(end, 6) != " gain=" || !IntAt(line, end + 6, gain)) continue;
      if (channel < 1 || channel > h_.channels || gain < 0 || gain > 3) continue;
      e.gains[static_cast<size_t>(channel - 1)] = gain;
      e.gainMask |= 1u << (channel - 1);
    }
  }

  void extendedRange(std::string_view line) {
    auto& table = h_.context.description.extendedChannelCaps;
    for (size_t i = 0; i < table.size(); ++i) {
      const size_t at = 21 + 2 * i;
      if (at + 2 > line.size()) break;
      uint8_t b = 0;
      const auto r = std::from_chars(line.data() + at, line.data() + at + 2, b, 16);
      if (r.ec != std::errc() || r.ptr != line.data() + at + 2) break;
      table[i] = b;
    }
  }

  LineReader& in_;
  HeaderForm form_;
  ParsedHeader& h_;
};

}  // namespace

bool IsSupportedFileModel(std::string_view model) {
  for (const char* m : {"-3070", "QZ-", "YP-930", "-4070", "-3080", "JQN-500"})
    if (Contains(model, m)) return true;
  return false;
}

bool ParseCommonHeader(LineReader& in, std::string_view firstLine, HeaderForm form,
                       ParsedHeader& out, FileProblem* problem) {
  out = ParsedHeader{};
  return HeaderParser(in, form, out).run(firstLine, problem);
}

}  // namespace kts
