#include "data/matlab_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "convert/channel_types.h"
#include "convert/derived_channels.h"
#include "core/session.h"
#include "core/text.h"
#include "core/time_format.h"
#include "core/time_math.h"
#include "data/atomic_file.h"
#include "data/burst_analysis.h"
#include "data/decoder.h"
#include "data/directories.h"
#include "data/mat_file.h"
#include "data/row_times.h"
#include "platform/status_line.h"

namespace kts {
namespace {

constexpr double kDateNumber2000 = 730486.0;
constexpr int kDateTextWidth = 20;
constexpr int kStampWords = 33;  // one stamp entry as 32-bit words
constexpr int kMaxBurstLength = 4096;
constexpr int kChannelNameWidth = 16;  // characters of a channel name that count

constexpr int kCommonMonthDays[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
constexpr int kLeapMonthDays[12] = {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335};

// ---- Texts ---------------------------------------------------------------

void PutDigits(char* at, unsigned value, int width) {
  for (int i = width - 1; i >= 0; --i) {
    at[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}

// Exactly 20 characters, so that every row of a char matrix has the same
// width; fields beyond their digits (only in a damaged stamp) wrap.
void WriteDateText(const TimeRecord& t, char* out) {
  PutDigits(out, t.day % 100u, 2);
  out[2] = '-';
  std::memcpy(out + 3, MonthAbbreviation(t.month), 3);
  out[6] = '-';
  PutDigits(out + 7, t.year % 10000u, 4);
  out[11] = ' ';
  PutDigits(out + 12, t.hour % 100u, 2);
  out[14] = ':';
  PutDigits(out + 15, t.minute % 100u, 2);
  out[17] = ':';
  PutDigits(out + 18, t.second % 100u, 2);
}

// A channel's name in the file: the first word of its column label.
std::string ChannelName(uint8_t letter) {
  std::string_view label = RowOf(letter).columnLabel;
  const size_t first = label.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::string();
  label.remove_prefix(first);
  return std::string(label.substr(0, label.find(' ')));
}

// The type letter of a channel name read back: the first row of the type
// table whose label's first word is the name (trailing blanks and NULs
// taken off); 'U' when none is.
uint8_t TypeOfChannelName(std::string_view name) {
  name = name.substr(0, kChannelNameWidth);
  while (!name.empty() && (name.back() == ' ' || name.back() == '\0')) name.remove_suffix(1);
  while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
  if (name.empty()) return 'U';
  for (int i = 0; i < kChannelTypeRows; ++i) {
    const ChannelTypeRow& row = TypeRow(i);
    if (ChannelName(row.letter) == name) return row.letter;
  }
  return 'U';
}

// ---- Writing ---------------------------------------------------------------

// The first failure's message, or nullptr when every variable was written.
class MatExport {
 public:
  MatExport(Session& s, MatWriter& w) : s_(s), d_(s.data), w_(w) {}

  const char* run() {
    if (const char* e = name()) return e;
    if (const char* e = data()) return e;
    if (const char* e = channelNames()) return e;
    if (const char* e = periods()) return e;
    if (const char* e = times()) return e;
    if (d_.burstCount > 0)
      if (const char* e = waves()) return e;
    return stamps();
  }

 private:
  const char* name() {
    const LoggerIdentity& id = d_.context.identity;
    const std::string text =
        Format("KTS %.63s %5.2f %06d", id.model.c_str(), static_cast<double>(id.firmware), id.serial);
    if (!w_.putString("loggername", text)) return "Error using matPutVariable for logger name";
    return nullptr;
  }

  const char* data() {
    const size_t n = static_cast<size_t>(std::max(d_.sampleCount, 0));
    const size_t m = static_cast<size_t>(std::clamp(d_.measuredChannels, 0, kMaxChannels));
    std::vector<float> columns;
    try {
      columns.resize(n * m);
    } catch (const std::bad_alloc&) {
      return "Unable to create numeric mxArray for logger data";
    }
    for (size_t c = 0; c < m; ++c)
      std::copy_n(d_.row(static_cast<int>(c)), n, columns.begin() + static_cast<ptrdiff_t>(c * n));
    if (!w_.putSingle("loggerdata", columns.data(), n, m))
      return "Error using matPutVariable for logger data";
    return nullptr;
  }

  const char* channelNames() {
    const int m = std::clamp(d_.measuredChannels, 0, kMaxChannels);
    std::vector<std::string> names;
    size_t width = 0;
    for (int c = 0; c < m; ++c) {
      names.push_back(ChannelName(d_.types[static_cast<size_t>(c)]));
      width = std::max(width, names.back().size());
    }
    std::string text;
    for (std::string& n : names) {
      n.resize(width, ' ');
      text += n;
    }
    if (!w_.putCharMatrix("loggerchannelnames", text, names.size(), width))
      return "Error using matPutVariable for logger channel names";
    return nullptr;
  }

  const char* periods() {
    const float period = d_.samplingMode == kProfilingMode
                             ? 1.0f / 6.0f
                             : static_cast<float>(PeriodSeconds(d_.samplePeriod));
    if (!w_.putSingle("loggersampleperiod", &period, 1, 1))
      return "Error using matPutVariable for logger sample period";
    const float averaging =
        s_.retrieved.averagingEnabled ? static_cast<float>(s_.retrieved.averagingPeriod) : 0.0f;
    if (!w_.putSingle("loggeraveragingperiod", &averaging, 1, 1))
      return "Error using matPutVariable for logger averaging period";
    return nullptr;
  }

  const char* times() {
    const bool everySample = s_.settings.matlabFrequency == 1;
    const bool dateNumbers = s_.settings.matlabFormat == 1;
    const size_t rows = everySample ? static_cast<size_t>(std::max(d_.sampleCount, 0)) : 1;
    bool ok;
    if (dateNumbers) {
      std::vector<double> numbers;
      try {
        numbers.resize(rows);
      } catch (const std::bad_alloc&) {
        return "Error: Unable to allocate time data memory";
      }
      if (everySample) {
        RowTimes times(d_);
        for (double& x : numbers) x = SerialDateNumber(times.next());
      } else {
        numbers[0] = SerialDateNumber(d_.startTime);
      }
      ok = w_.putDouble("loggertimes", numbers.data(), 1, rows);
    } else {
      std::string text;
      try {
        text.resize(rows * kDateTextWidth);
      } catch (const std::bad_alloc&) {
        return "Error: Unable to allocate time data memory";
      }
      if (everySample) {
        RowTimes times(d_);
        for (size_t r = 0; r < rows; ++r) WriteDateText(times.next(), &text[r * kDateTextWidth]);
      } else {
        WriteDateText(d_.startTime, text.data());
      }
      ok = w_.putCharMatrix("loggertimes", text, rows, kDateTextWidth);
    }
    return ok ? nullptr : "Error using matPutVariable for logger times";
  }

  const char* waves() {
    const float rate = static_cast<float>(s_.retrieved.burstRate);
    if (!w_.putSingle("loggerwaverate", &rate, 1, 1)) return "Error using matPutVariable for wave rate";
    const float height = static_cast<float>(s_.retrieved.loggerHeight);
    if (!w_.putSingle("loggerheight", &height, 1, 1))
      return "Error using matPutVariable for logger height";

    const int bursts = std::min(d_.burstCount, kMaxBursts);
    int length = 0;
    for (int b = 0; b < bursts; ++b)
      length = std::max(length, d_.burstRecords[static_cast<size_t>(b)].sampleCount);
    length = std::clamp(length, 0, kBurstCapacity);
    const size_t L = static_cast<size_t>(length);
    std::vector<float> columns;
    try {
      columns.assign(L * static_cast<size_t>(bursts), kInvalidValue);
    } catch (const std::bad_alloc&) {
      return "Unable to create numeric mxArray for wave data";
    }
    for (int b = 0; b < bursts; ++b) {
      const int count = std::clamp(d_.burstRecords[static_cast<size_t>(b)].sampleCount, 0, length);
      std::copy_n(d_.bursts.get() + static_cast<size_t>(b) * kBurstCapacity, count, columns.begin() + static_cast<ptrdiff_t>(b * L));
    }
    if (!w_.putSingle("loggerwavedata", columns.data(), L, static_cast<size_t>(bursts)))
      return "Error using matPutVariable for wave data";

    // Until the analysis can give a burst's corrected series its column
    // holds the invalid value.
    for (int b = 0; b < bursts; ++b) {
      float* column = columns.data() + b * L;
      if (!SurfaceCorrectedBurst(s_, b, column, length)) std::fill_n(column, L, kInvalidValue);
    }
    if (!w_.putSingle("loggerwavedatasurface", columns.data(), L, static_cast<size_t>(bursts)))
      return "Error using matPutVariable for wave data at surface";

    std::string text(static_cast<size_t>(bursts) * kDateTextWidth, ' ');
    for (int b = 0; b < bursts; ++b)
      WriteDateText(d_.burstRecords[static_cast<size_t>(b)].start, &text[b * kDateTextWidth]);
    if (!w_.putCharMatrix("loggerwavetimes", text, static_cast<size_t>(bursts), kDateTextWidth))
      return "Error using matPutVariable for logger wave times";
    return nullptr;
  }

  // 132 words per stamp: the entries as 33 little-endian words each, then
  // zeros, as files have always held them.
  const char* stamps() {
    const int k = std::clamp(d_.stampCount, 0, kMaxStamps);
    std::vector<uint32_t> words;
    try {
      words.assign(static_cast<size_t>(k) * 132, 0u);
    } catch (const std::bad_alloc&) {
      return "Unable to create numeric mxArray for logger private data";
    }
    for (int i = 0; i < k; ++i) {
      const StampEntry& e = d_.stamps[static_cast<size_t>(i)];
      uint32_t* w = words.data() + static_cast<size_t>(i) * kStampWords;
      w[0] = static_cast<uint32_t>(e.sampleIndex);
      w[1] = static_cast<uint32_t>(e.type);
      w[2] = static_cast<uint32_t>(e.marker);
      w[3] = static_cast<uint32_t>(e.burstNumber);
      const TimeRecord& t = e.time;
      w[4] = t.year | uint32_t{t.month} << 16;
      w[5] = t.dayOfWeek | uint32_t{t.day} << 16;
      w[6] = t.hour | uint32_t{t.minute} << 16;
      w[7] = t.second | uint32_t{t.millisecond} << 16;
      for (int g = 0; g < kMaxChannels; ++g) w[8 + g] = static_cast<uint32_t>(e.gains[static_cast<size_t>(g)]);
      w[32] = e.gainMask;
    }
    if (!w_.putUInt32("loggerprivate", words.data(), 1, words.size()))
      return "Error using matPutVariable for logger private data";
    return nullptr;
  }

  Session& s_;
  const DataSet& d_;
  MatWriter& w_;
};

// ---- Reading ---------------------------------------------------------------

// Everything a file gives, gathered and checked before the session changes.
struct MatImport {
  LoggerIdentity identity;
  int samples = 0;
  int channels = 0;
  bool haveData = false;
  MatArray data;  // column-major, samples × channels
  std::array<uint8_t, kMaxChannels> types{};
  TimeRecord period;
  bool profiling = false;
  bool averaging = false;
  uint32_t averagingPeriod = 1;
  TimeRecord start;
  float waveRate = 0.0f;
  float height = 0.0f;
  int burstLength = 0;
  int bursts = 0;
  std::vector<float> waves;  // column-major, burstLength × bursts
  bool havePrivate = false;
  std::vector<StampEntry> stamps;
  bool stampsSuppressed = false;
};

// The stamp table kept in "loggerprivate": the element count N gives
// N / 132 entries of 33 words; files of older versions kept 36-byte entries
// (a 20-byte head) or 32-byte ones, told apart by a year before 2000 where
// the current layout has one.
class StampWords {
 public:
  explicit StampWords(const std::vector<uint32_t>& w) : w_(w) {}
  size_t bytes() const { return w_.size() * 4; }
  uint32_t byte(size_t i) const { return (w_[i / 4] >> (8 * (i % 4))) & 0xFF; }
  uint16_t u16(size_t i) const { return static_cast<uint16_t>(byte(i) | byte(i + 1) << 8); }
  uint32_t u32(size_t i) const { return u16(i) | uint32_t{u16(i + 2)} << 16; }
  TimeRecord time(size_t i) const {
    TimeRecord t;
    t.year = u16(i);
    t.month = u16(i + 2);
    t.dayOfWeek = u16(i + 4);
    t.day = u16(i + 6);
    t.hour = u16(i + 8);
    t.minute = u16(i + 10);
    t.second = u16(i + 12);
    t.millisecond = u16(i + 14);
    return t;
  }

 private:
  const std::vector<uint32_t>& w_;
};

void ParseStamps(const std::vector<uint32_t>& words, MatImport* in) {
  const StampWords b(words);
  const size_t n = words.size();
  size_t entrySize = 132, headSize = 16, count = n / 132;
  if (n >= 33 && b.u16(16) <= 1999) {
    entrySize = 36, headSize = 20, count = n / 36;
  } else if (n / 132 >= 2 && b.u16(132 + 16) <= 1999) {
    // Only a table with a second entry can show one: a single stamp's
    // padding is zeros.
    entrySize = 32, headSize = 16, count = n / 32;
  }
  if (count > static_cast<size_t>(kMaxStamps)) {
    count = kMaxStamps;
    in->stampsSuppressed = true;
  }
  in->stamps.assign(count, StampEntry{});
  for (size_t i = 0; i < count; ++i) {
    const size_t at = i * entrySize;
    StampEntry& e = in->stamps[i];
    e.sampleIndex = static_cast<int32_t>(b.u32(at));
    e.type = static_cast<int32_t>(b.u32(at + 4));
    e.marker = static_cast<int32_t>(b.u32(at + 8));
    e.burstNumber = static_cast<int32_t>(b.u32(at + 12));
    e.time = b.time(at + headSize);
    if (entrySize == 132) {
      for (size_t g = 0; g < kMaxChannels; ++g) e.gains[g] = static_cast<int32_t>(b.u32(at + 32 + 4 * g));
      e.gainMask = b.u32(at + 128);
    }
  }
}

bool FirstValue(MatReader& r, const std::string& name, double* value) {
  std::vector<double> v;
  if (!r.readDoubles(name, 1, &v) || v.empty() || !std::isfinite(v[0])) return false;
  *value = v[0];
  return true;
}

// One variable into the import; false when it cannot be read.
bool ReadVariable(MatReader& r, const std::string& name, MatImport* in) {
  if (Contains(name, "loggername")) {
    std::string text;
    MatVariableInfo shape;
    if (!r.readCharRows(name, 1024, &text, &shape)) return false;
    const size_t kts = text.find("KTS");
    if (kts != std::string::npos) {
      char model[64] = {};
      float firmware = 0.0f;
      int serial = 0;
      const int got = std::sscanf(text.c_str() + kts + 3, "%63s %f %d", model, &firmware, &serial);
      if (got >= 1) in->identity.model = model;
      if (got >= 2 && std::isfinite(firmware) && firmware >= 0.0f && firmware < 100.0f)
        in->identity.firmware = firmware;
      if (got >= 3) in->identity.serial = serial;
    }
    return true;
  }
  if (Contains(name, "loggerdata")) {
    MatVariableInfo info;
    if (!r.info(name, &info) || !info.plainMatrix || info.columns < 1 ||
        info.columns > static_cast<size_t>(kMaxChannels))
      return false;
    if ((info.rows + 2) * info.columns > static_cast<size_t>(kRowStoreFloats)) return false;
    if (!r.readArray(name, kRowStoreFloats, &in->data)) return false;
    in->samples = static_cast<int>(info.rows);
    in->channels = static_cast<int>(info.columns);
    in->haveData = true;
    return true;
  }
  if (Contains(name, "loggerchannelnames")) {
    std::string text;
    MatVariableInfo shape;
    if (!r.readCharRows(name, kMaxChannels * 256, &text, &shape)) return false;
    for (size_t c = 0; c < shape.rows && c < static_cast<size_t>(kMaxChannels); ++c)
      in->types[c] = TypeOfChannelName(std::string_view(text).substr(c * shape.columns, shape.columns));
    return true;
  }
  if (Contains(name, "loggersampleperiod")) {
    double v;
    if (!FirstValue(r, name, &v)) return false;
    // 1/6 s (and, in older files, a negative value) is six-hertz profiling.
    if (v < 0.0 || (v > 0.0 && v < 1.0)) {
      in->profiling = true;
      return true;
    }
    const double seconds = std::round(v);
    if (seconds > 65535.0 * 3600.0) return false;
    const auto whole = static_cast<int64_t>(seconds);
    in->profiling = false;
    in->period = MakePeriod(static_cast<int>(whole / 3600), static_cast<int>(whole / 60 % 60),
                            static_cast<int>(whole % 60));
    return true;
  }
  if (Contains(name, "loggeraveragingperiod")) {
    double v;
    if (!FirstValue(r, name, &v) || v < 0.0 || v > 4294967295.0) return false;
    in->averaging = v != 0.0;
    in->averagingPeriod = in->averaging ? static_cast<uint32_t>(std::round(v)) : 1u;
    return true;
  }
  if (Contains(name, "loggertimes")) {
    MatVariableInfo info;
    if (!r.info(name, &info) || !info.plainMatrix || info.elements() == 0) return false;
    if (info.type == MatClass::Char) {
      std::string text;
      MatVariableInfo shape;
      if (!r.readCharRows(name, static_cast<size_t>(kRowStoreFloats) * kDateTextWidth, &text, &shape))
        return false;
      return ParseMatlabDateText(std::string_view(text).substr(0, shape.columns), &in->start);
    }
    std::vector<double> numbers;
    if (!r.readDoubles(name, kRowStoreFloats, &numbers)) return false;
    return FromSerialDateNumber(numbers[0], &in->start);
  }
  if (Contains(name, "loggerwaverate")) {
    double v;
    if (!FirstValue(r, name, &v)) return false;
    in->waveRate = static_cast<float>(v);
    return true;
  }
  if (Contains(name, "loggerheight")) {
    double v;
    if (!FirstValue(r, name, &v)) return false;
    in->height = static_cast<float>(v);
    return true;
  }
  if (Contains(name, "loggerwavedatasurface")) return true;  // the analysis recomputes it
  if (Contains(name, "loggerwavedata")) {
    MatVariableInfo info;
    if (!r.info(name, &info) || !info.plainMatrix || info.rows > kMaxBurstLength ||
        info.columns > static_cast<size_t>(kMaxBursts))
      return false;
    if (!r.readFloats(name, info.elements(), &in->waves)) return false;
    in->burstLength = static_cast<int>(info.rows);
    in->bursts = static_cast<int>(info.columns);
    return true;
  }
  if (Contains(name, "loggerprivate")) {
    std::vector<uint32_t> words;
    if (!r.readUInt32(name, size_t{132} * 2 * kMaxStamps, &words)) return false;
    ParseStamps(words, in);
    in->havePrivate = true;
    return true;
  }
  return true;  // not one of ours
}

// As the decoder keeps them: from 300 and −300, temperatures that could not
// be computed (−1000) left out.
void MinimumAndMaximum(DataSet& d, int c) {
  float* row = d.row(c);
  const bool temperature = d.types[static_cast<size_t>(c)] == 'T';
  float low = 300.0f, high = -300.0f;
  if (temperature) {
    for (int i = 0; i < d.sampleCount; ++i) {
      const float v = row[i];
      if (v < -999.0f) continue;
      low = std::min(low, v);
      high = std::max(high, v);
    }
  } else {
    for (int i = 0; i < d.sampleCount; ++i) {
      const float v = row[i];
      low = v < low ? v : low;
      high = v > high ? v : high;
    }
  }
  row[d.sampleCount] = low;
  row[d.sampleCount + 1] = high;
}

void Commit(Session& s, MatImport& in) {
  DataSet& d = s.data;
  d.context.identity = in.identity;
  d.context.identity.extended = FirmwareAbove(in.identity, 4.99);
  d.context.description = LoggerDescription{};
  d.context.coefficients = CoefficientSet{};
  d.rawCounts = false;
  d.headerLength = 0;
  if (in.haveData) {
    d.measuredChannels = d.totalChannels = in.channels;
    d.sampleCount = in.samples;
    d.stride = in.samples + 2;
    d.types = in.types;
    for (int c = 0; c < in.channels; ++c) {
      const size_t n = static_cast<size_t>(in.samples);
      if (!in.data.copyFloats(static_cast<size_t>(c) * n, n, d.row(c))) std::fill_n(d.row(c), n, kInvalidValue);
      MinimumAndMaximum(d, c);
    }
  } else {
    // A file without data gives an empty data set, not the rows of the last one.
    d.measuredChannels = d.totalChannels = 0;
    d.sampleCount = 0;
    d.stride = 2;
    d.types = in.types;
  }
  d.context.description.channelCount = std::max(d.measuredChannels, 1);
  d.context.description.channelTypes = d.types;
  d.context.description.waves = in.bursts > 0;

  d.startTime = in.start;
  d.samplePeriod = in.period;
  d.samplingMode = in.profiling ? kProfilingMode : 0;

  d.stampCount = static_cast<int>(in.stamps.size());
  std::copy(in.stamps.begin(), in.stamps.end(), d.stamps.get());
  AssignStampMarkers(d);
  d.runningTime = SampleTime(d, d.sampleCount);

  d.burstCount = in.bursts;
  std::fill_n(d.burstRecords.get(), kMaxBursts, BurstRecord{});
  int bst = 0;
  for (int b = 0; b < in.bursts; ++b) {
    std::copy_n(in.waves.begin() + static_cast<ptrdiff_t>(b) * in.burstLength, in.burstLength, d.burst(b));
    BurstRecord& record = d.burstRecords[static_cast<size_t>(b)];
    record.sampleCount = in.burstLength;
    record.start = d.startTime;
    while (bst < d.stampCount && d.stamps[static_cast<size_t>(bst)].type != kStampBurst) ++bst;
    if (bst < d.stampCount) record.start = d.stamps[static_cast<size_t>(bst++)].time;
  }

  RetrievedDeployment& r = s.retrieved;
  r.startTime = d.startTime;
  r.samplingPeriod = d.samplePeriod;
  r.block.samplingMode = d.samplingMode;
  r.averagingEnabled = in.averaging;
  r.averagingPeriod = in.averagingPeriod;
  r.burstEnabled = in.bursts > 0;
  r.burstLength = static_cast<uint32_t>(in.burstLength);
  r.burstRate = in.waveRate > 0.0f && in.waveRate < 1e6f ? static_cast<uint32_t>(std::lround(in.waveRate)) : 0u;
  r.loggerHeight = in.height;

  // The image in memory is not where these data came from.
  s.image.length = 0;
  s.app.retrievedDataPresent = false;
  s.app.retrievedDataSaved = false;
  s.app.newImageSinceSave = false;
  s.app.hexDataLoaded = false;
  s.app.datDataLoaded = true;
  s.plot.channelMask = 0xFFFFFF;
}

// The values of a generic front end's ASCII output are text bytes, not
// readings: they have no place in a MATLAB matrix. The data's logger and
// the one connected are both asked, as the save command always has.
bool RefuseAsciiData(Session& s) {
  if (!s.data.context.description.asciiOutput() && !s.description.asciiOutput()) return true;
  s.ui.message({"These ASCII data from a generic front end can not be saved in the MATLAB format.",
                "Save MATLAB file", Icon::Warning, Buttons::Ok, Answer::Ok});
  return false;
}

}  // namespace

// ---- Serial date numbers and date texts -----------------------------------

double SerialDateNumber(const TimeRecord& t) {
  TimeRecord at = t;
  if (at.year < 2000) at.year = 2000;
  const int64_t seconds = SecondsSince2000(at);
  return kDateNumber2000 + static_cast<double>(seconds / 86400) +
         static_cast<double>(seconds % 86400) / 86400.0;
}

bool FromSerialDateNumber(double number, TimeRecord* t) {
  if (!std::isfinite(number) || number >= kDateNumber2000 + 8000.0 * 366.0) return false;
  if (number < kDateNumber2000) number = kDateNumber2000;
  const double whole = std::trunc(number);
  int64_t days = static_cast<int64_t>(whole) - static_cast<int64_t>(kDateNumber2000);
  int64_t seconds = static_cast<int64_t>(std::trunc((number - whole) * 86400.0 + 0.5));
  if (seconds >= 86400) {  // rounded up to the next midnight
    seconds -= 86400;
    ++days;
  }
  int year = 2000;
  for (int length = 366; days >= length; length = (year % 4 == 0) ? 366 : 365) {
    days -= length;
    ++year;
  }
  const int* table = (year % 4 == 0) ? kLeapMonthDays : kCommonMonthDays;
  int month = 12;
  while (month > 1 && days < table[month - 1]) --month;
  *t = MakeTime(year, month, static_cast<int>(days - table[month - 1]) + 1,
                static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                static_cast<int>(seconds % 60));
  return true;
}

std::string MatlabDateText(const TimeRecord& t) {
  char text[kDateTextWidth];
  WriteDateText(t, text);
  return std::string(text, kDateTextWidth);
}

bool ParseMatlabDateText(std::string_view text, TimeRecord* t) {
  char field[48] = {};
  std::memcpy(field, text.data(), std::min(text.size(), sizeof field - 1));
  int day, year, hour, minute, second;
  char month[4] = {};
  if (std::sscanf(field, "%2d-%3c-%4d %2d:%2d:%2d", &day, month, &year, &hour, &minute, &second) != 6)
    return false;
  int m = 1;
  while (m <= 12 && std::strcmp(MonthAbbreviation(m), month) != 0) ++m;
  if (m > 12 || day < 1 || day > 31 || year < 0 || hour < 0 || hour > 23 || minute < 0 ||
      minute > 59 || second < 0 || second > 59)
    return false;
  *t = MakeTime(year, m, day, hour, minute, second);
  return true;
}

// ---- Entry points ----------------------------------------------------------------

int WriteMatFile(Session& s, const std::string& path) {
  if (!RefuseAsciiData(s)) return 0;
  AtomicFile file;
  MatWriter writer;
  const std::string header = Format("MATLAB 5.0 MAT-file, Created by: KTS Logger %s", kSoftwareVersion);
  if (!file.open(path) || !writer.create(file.temporaryPath(), header)) {
    ShowStatus(s.ui, Format("Unable to open file: %s", path.c_str()));
    return 0;
  }
  MatExport job(s, writer);
  const char* failure = job.run();
  const bool closed = writer.close();
  if (failure != nullptr) {
    ShowStatus(s.ui, failure);
    return 0;  // the temporary file goes with `file`
  }
  if (!closed || !file.commit()) {
    const std::string reason = file.error().empty() ? std::string("write error") : file.error();
    ShowStatus(s.ui, Format("Error writing file: %s (%s)", path.c_str(), reason.c_str()));
    return 0;
  }
  return 1;
}

int ReadMatFile(Session& s, const std::string& path) {
  MatReader reader;
  if (!reader.open(path)) {
    ShowStatus(s.ui, Format("Unable to open file: %s", path.c_str()));
    return 0;
  }
  MatImport in;
  in.identity.model = "Unknown";
  in.identity.firmware = 0.0f;
  in.identity.serial = 0;
  in.types = s.data.types;
  in.period = s.data.samplePeriod;
  in.profiling = s.data.samplingMode == kProfilingMode;
  in.start = s.data.startTime;
  in.averaging = s.retrieved.averagingEnabled;
  in.averagingPeriod = s.retrieved.averagingPeriod;
  try {
    for (const std::string& name : reader.names()) {
      if (!ReadVariable(reader, name, &in)) {
        ShowStatus(s.ui, "Error reading in file");
        return 0;
      }
    }
  } catch (const std::bad_alloc&) {
    ShowStatus(s.ui, "Error reading in file");
    return 0;
  }
  if (!in.havePrivate) {
    ShowStatus(s.ui, "Error reading in file - cannot display data");
    return 0;
  }
  Commit(s, in);
  if (in.stampsSuppressed)
    s.ui.message(
        {"Data contains more timestamps than buffer can hold.\nSubsequent timestamps will "
         "be suppressed.",
         "Timestamps", Icon::Warning, Buttons::Ok, Answer::Ok});
  ShowStatus(s.ui, "MATLAB file read successfully");
  for (int b = 0; b < s.data.burstCount; ++b) AnalyseBurst(s, b);
  AppendDerivedChannels(s);
  s.app.sampleCount = s.data.sampleCount;
  s.app.channelCount = s.data.totalChannels;
  return 1;
}

bool MatlabSaveAllowed(Session& s) { return RefuseAsciiData(s); }

FileRequest MatlabSaveRequest(const Session& s) {
  FileRequest r;
  r.title = "Select a 'mat' file for storing the data";
  r.filter = "MATLAB Files (*.mat)";
  r.pattern = "*.mat";
  r.directory = s.settings.matDirectory == "empty" ? BaseDataFolder(s.settings, DataFolder::Mat)
                                                    : s.settings.matDirectory;
  r.defaultName = Format("%06d*.mat", s.data.context.identity.serial);
  r.save = true;
  return r;
}

FileRequest MatlabOpenRequest(const Session& s, std::string_view currentFile) {
  FileRequest r;
  r.title = "Select an existing 'mat' file to be opened";
  r.filter = "MATLAB Files (*.mat)";
  r.pattern = "*.mat";
  r.directory = s.settings.matDirectory == "empty" ? BaseDataFolder(s.settings, DataFolder::Mat)
                                                    : s.settings.matDirectory;
  std::string name(currentFile.substr(currentFile.rfind('/') == std::string_view::npos
                                          ? 0
                                          : currentFile.rfind('/') + 1));
  for (const char* from : {".dat", ".hex"}) {
    const size_t at = name.find(from);
    if (at != std::string::npos) name.replace(at, 4, ".mat");
  }
  r.defaultName = name;
  return r;
}

}  // namespace kts
