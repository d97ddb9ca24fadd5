// The translated header (".chn.txt"): the items of the common header, each
// with its English label, the Traditional Chinese one in "<…>" and the
// value, as 16-bit characters (UTF-16 little-endian, no byte-order mark).
// Narrow text becomes one 16-bit unit a byte, so "µ" (0xB5) stays U+00B5.
#include <algorithm>
#include <string>

#include "convert/channel_types.h"
#include "convert/derived_plan.h"
#include "core/session.h"
#include "core/time_format.h"
#include "data/atomic_file.h"
#include "data/common_header.h"
#include "data/data_files.h"
#include "data/fixed_text.h"
#include "link/logger_status.h"

namespace kts {
namespace {

class WideText {
 public:
  WideText& narrow(std::string_view t) {
    for (char c : t) units_.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    return *this;
  }
  WideText& wide(std::u16string_view t) {
    units_.append(t);
    return *this;
  }
  // "English <中文>"
  WideText& label(std::string_view english, std::u16string_view chinese) {
    return narrow(english).narrow(" <").wide(chinese).narrow(">");
  }
  std::string bytes() const {
    std::string out;
    out.reserve(units_.size() * 2);
    for (char16_t u : units_) {
      out.push_back(static_cast<char>(u & 0xFF));
      out.push_back(static_cast<char>(u >> 8));
    }
    return out;
  }

 private:
  std::u16string units_;
};

std::string Fixed(double v, int precision, int width = 0) {
  std::string s;
  TextOut(s).fixed(v, precision, width);
  return s;
}
std::string Int(int64_t v, int width = 0, bool zero = false) {
  std::string s;
  TextOut(s).integer(v, width, zero);
  return s;
}
std::string Clock(const TimeRecord& t) {
  std::string s;
  TextOut(s).clock(t);
  return s;
}

// Units without the "µ" sign.
std::string PlainUnit(const char* unit) {
  std::string u = unit;
  if (u == "\xB5Mol.m-2.s-1") return "uMol.m-2.s-1";
  if (u == "\xB5Mol/l") return "uMol";
  return u;
}

struct Heading {
  const char* english;
  const char16_t* chinese;  // null: the English word again
};

Heading HeadingOf(uint8_t type) {
  switch (type) {
    case 'T':
      return {"Temp\t", u"溫度\t"};
    case 'P':
      return {"Pres\t", u"壓力\t"};
    case 'C':
      return {"Cond\t", u"電導度\t"};
    case 'D':
    case 'X':
    case kTypeOptodeConcentration:
    case kTypeOptodeSaturation:
      return {"D_O2\t", u"溶氧度\t"};
    case 'K':
    case 'J':
      return {"Optd\t", u"溶氧度\t"};
    case 'V':
    case 'M':
      return {"Volt\t", nullptr};
    case 'Y':
    case 'y':
      return {"Turb\t", u"濁度\t"};
    case 'R':
      return {"PAR\t", u"光照度\t"};
    case 'H':
      return {"pH\t", u"酸鹼度\t"};
    case 'F':
    case 'f':
      return {"FlC\t\t", u"葉綠素含量\t\t"};
    case 'G':
    case 'g':
      return {"FlR\t\t", u"葉綠素含量\t\t"};
    case 'I':
    case 'i':
      return {"FlUV\t\t", u"葉綠素含量\t\t"};
    case 'E':
      return {"Echo\t", nullptr};
    case 'A':
    case kTypeDepth:
      return {"Depth\t", u"深度\t"};
    case 'S':
      return {"Salinity\t", u"鹽度\t"};
    case 's':
      return {"SpecCond\t", u"比電導度\t"};
    case 'u':
      return {"SoS (UN)\t", u"聲波速度\t"};
    case 'd':
      return {"SoS (Grs)\t", nullptr};
    case 'W':
      return {"SoS (Wil)\t", nullptr};
    case 'L':
      return {"Paro\t", nullptr};
    case kTypeSignificantWaveHeight:
      return {"SWH\t", nullptr};
    case kTypeTidalSlope:
      return {"TDS\t", nullptr};
    case 'B':
      return {"Generic\t", nullptr};
    default:
      return {"Unknown\t", nullptr};
  }
}

}  // namespace

bool WriteTranslatedHeader(const Session& s, const std::string& path, std::string_view comment,
                           int timeColumns, std::string* error) {
  (void)comment;
  const DataSet& d = s.data;
  const LoggerIdentity& id = d.context.identity;
  const LoggerDescription& desc = d.context.description;
  const RetrievedDeployment& r = s.retrieved;
  const int measured = std::clamp(d.measuredChannels, 0, kMaxChannels);
  WideText w;

  std::string first = "KTS " + id.model + " " + Fixed(id.firmware, 2, 5) + " " +
                      Int(id.serial, 6, true) + " (Windows: " + kSoftwareVersion;
  if (desc.hasMinimumSoftwareVersion)
    first += " - Minimum required: " + Fixed(desc.minimumSoftwareVersion, 2);
  w.narrow(first).narrow(")\n");

  const TimeRecord* times[4] = {&r.hostTime, &r.loggerTime, &d.startTime, &r.endTime};
  const char* english[4] = {"Host time", "Logger time", "Logging start", "Logging end"};
  const char16_t* chinese[4] = {u"主機時間", u"登錄時間", u"登錄起始時間", u"登錄終止時間"};
  for (int k = 0; k < 4; ++k)
    w.label(english[k], chinese[k])
        .narrow("\t")
        .narrow(FormatShortDateTime(*times[k]))
        .narrow("\n");

  if (d.samplingMode == kProfilingMode)
    w.narrow("Sample period          6Hz profiling <6Hz ").wide(u"掃描頻率").narrow(">\n");
  else
    w.label("Sample period", u"取樣週期").narrow("\t").narrow(Clock(d.samplePeriod)).narrow("\n");

  w.label("Number of channels", u"\u9B3B\u9053\u6578").narrow(" = " + Int(measured, 2) + ", ");
  w.label("number of samples", u"取樣數").narrow(" = " + Int(d.sampleCount, 6) + ", ");
  w.label("mode", u"模式").narrow(" ").narrow(" ").narrow(StatusName(r.loggerStatus)).narrow("\n");

  const char lead = timeColumns == 2 ? 'E' : timeColumns == 1 ? 'A' : 'N';
  w.narrow(std::string(1, lead) + Int(measured, 2, true) + "%9.4f\n");

  for (int c = 0; c < measured; ++c) {
    const auto& k = d.context.coefficients.c[static_cast<size_t>(c)];
    w.label("Calibration", u"校正量").narrow("\t" + Int(c + 1, 2) + ":\t" + Fixed(k[0], 15) + "\n");
    w.narrow("\t\t\t\t" + Fixed(k[1], 15) + "\n");
    w.narrow("\t\t\t\t" + Fixed(k[2], 15) + "\n");
    w.narrow("\t\t\t\t" + Fixed(k[3], 15) + " ");
    w.narrow(PlainUnit(
        UnitText(d.types[static_cast<size_t>(c)], id.model, desc.conductivityMicroSiemens)));
    w.narrow("\n");
  }

  const DerivedUnits& u = s.settings.derived;
  const DerivedSources sources =
      FindDerivedSources(std::span<const uint8_t>(d.types.data(), static_cast<size_t>(measured)));
  if (u.depthOn && sources.pressure >= 0) {
    w.label("Atmospheric pressure", u"大氣壓力")
        .narrow(" " + Fixed(u.atmosphericPressure, 6) + " dBar, ");
    w.label("Density of water", u"水密度").narrow(" " + Fixed(u.density, 6) + " ");
    w.narrow(u.depthSeawater ? "(Seawater calculation)\n" : "(Freshwater calculation)\n");
    w.label("Latitude", u"緯度")
        .narrow(" " + Int(u.latitudeDegrees) + " degrees " + Fixed(u.latitudeMinutes, 2) +
                " minutes\n");
  }
  if (desc.capabilityWordsRead && desc.memoryType != 0)
    w.label("Memory type", u"記憶體型式")
        .narrow(" " + Int(desc.memoryType) + " " + MemoryTypeName(desc.memoryType) + "\n");
  if (desc.averaging) {
    w.label("Averaging", u"平均計算");
    if (r.averagingEnabled)
      w.narrow(" " + Int(r.averagingPeriod) + " seconds\n");
    else
      w.narrow(" NONE <").wide(u"無").narrow(">\n");
  }
  if (desc.waves && r.burstRate != 0)
    w.label("Wave burst sample rate", u"波浪取樣率").narrow(" " + Int(r.burstRate) + "Hz\n");
  if (IsTideAndWaveModel(id.model) && r.burstEnabled) {
    w.label("Wave burst sampling period", u"波浪取樣週期")
        .narrow(" " + Clock(r.burstPeriod) + "\n");
    w.label("Wave burst sample length", u"波浪取樣長度").narrow(" " + Int(r.burstLength) + "\n");
    w.label("Logger height", u"紀錄器高度").narrow(" " + Fixed(r.loggerHeight, 2) + "\n");
  }
  const DeploymentBlock& b = r.block;
  w.label("Logger start", u"紀錄器啟動").narrow(" : ").narrow(" ");
  w.narrow(StartModeName(static_cast<int>(b.startMode))).narrow(" ");
  if (b.startMode == kStartAboveThreshold || b.startMode == kStartBelowThreshold)
    w.narrow(Fixed(b.thresholdLevel, 4, 9) + " channel " + Int(int64_t{b.thresholdChannel} + 1));
  w.narrow("\n");

  const int total = std::clamp(d.totalChannels, 0, kMaxChannels);
  for (int line = 0; line < 2; ++line) {
    for (int c = 0; c < total; ++c) {
      const uint8_t type = d.types[static_cast<size_t>(c)];
      if (type == kTypeSignificantWaveHeight) continue;
      const Heading h = HeadingOf(type);
      if (line == 1 && h.chinese != nullptr)
        w.wide(h.chinese);
      else
        w.narrow(h.english);
    }
    w.narrow("\n");
  }
  return WriteFileAtomically(path, w.bytes(), error);
}

}  // namespace kts
