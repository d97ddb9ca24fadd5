#include "frame/plot_labels.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "convert/channel_range.h"
#include "convert/channel_types.h"
#include "core/session.h"
#include "core/text.h"
#include "core/time_format.h"
#include "core/time_math.h"
#include "data/row_times.h"
#include "frame/plot_model.h"

namespace kts {
namespace {

int SampleCountOf(const DataSet& d) {
  return RowLayoutHolds(ChannelCountOf(d), d.sampleCount, d.stride) ? d.sampleCount : 0;
}

bool ModelHas(const Session& s, const char* part) {
  return Contains(s.data.context.identity.model, part);
}

TimeRecord AddSampleSeconds(const TimeRecord& base, double seconds) {
  const double ticks = std::clamp(seconds * kTicksPerSecond, -1e17, 1e17);
  return FromTicks(ToTicks(base) + std::llround(ticks));
}

std::string DateText(const TimeRecord& t) {
  return Format("%04d/%s/%02d", t.year, MonthAbbreviation(t.month), t.day);
}

// The range in force on an autoranging channel, by gain code 3, 2, 1, 0.
const char* RangeText(uint8_t type, int gainCode) {
  static constexpr const char* kTurbidity[4] = {"25FTU", "125FTU", "500FTU", "2500FTU"};
  static constexpr const char* kUltraviolet[4] = {"50QSU", "15QSU", "500QSU", "1500QSU"};
  static constexpr const char* kFluorometer[4] = {"5ug/l", "15ug/l", "50ug/l", "150ug/l"};
  const int index = 3 - (gainCode & 3);
  if (type == 'y') return kTurbidity[index];
  if (type == 'i') return kUltraviolet[index];
  return kFluorometer[index];
}

}  // namespace

void AxisLabels::add(int x, int y, LabelAlign align, std::string text) {
  if (count >= static_cast<int>(items.size())) return;
  items[static_cast<size_t>(count++)] = {x, y, align, std::move(text)};
}

TimeRecord PlotSampleTime(const DataSet& d, int sample) {
  const int stamps = std::clamp(d.stampCount, 0, kMaxStamps);
  const StampEntry* base = nullptr;
  for (int k = 0; k < stamps; ++k) {
    const StampEntry& e = d.stamps[static_cast<size_t>(k)];
    if (e.type == kStampGain || e.sampleIndex > sample) continue;
    if (base == nullptr || e.sampleIndex >= base->sampleIndex) base = &e;
  }
  const double period = SamplePeriodSeconds(d);
  if (base == nullptr) return AddSampleSeconds(d.startTime, sample * period);
  return AddSampleSeconds(base->time, (static_cast<double>(sample) - base->sampleIndex) * period);
}

AxisLabels TimeAxisLabels(const Session& s) {
  AxisLabels out;
  const PlotView& v = s.plot;
  const DataSet& d = s.data;
  const int n = SampleCountOf(d);
  const int p = v.plotWidth;
  const int left = kPlotOriginX, right = p + kPlotOriginX, centre = p / 2 + kPlotOriginX;
  if (s.app.xyPlotMode) {
    const int x = std::clamp(v.xChannel, 0, std::max(0, ChannelCountOf(d) - 1));
    if (n > 0 && x < ChannelCountOf(d)) {
      out.add(left, 310, LabelAlign::Left, Format("%-9.4f", d.row(x)[n]));
      out.add(right, 310, LabelAlign::Right, Format("%-9.4f", d.row(x)[n + 1]));
    }
    return out;
  }
  if (n <= 0) return out;
  if (s.app.realTimeDisplayActive || s.app.microSalinometerMode) {
    const TimeRecord latest = d.startTime;
    const TimeRecord earliest = AddSampleSeconds(latest, -v.scrollOffset * SamplePeriodSeconds(d));
    out.add(left, 310, LabelAlign::Left, DateText(earliest));
    out.add(left, 330, LabelAlign::Left, FormatClock(earliest).str());
    out.add(right, 310, LabelAlign::Right, DateText(latest));
    out.add(right, 330, LabelAlign::Right, FormatClock(latest).str());
    return out;
  }
  const int first = std::clamp(v.scrollOffset, 0, n - 1);
  const int last = std::clamp(v.scrollOffset + SamplesOnScreen(v), 0, n - 1);
  const TimeRecord a = PlotSampleTime(d, first), b = PlotSampleTime(d, last);
  out.add(left, 310, LabelAlign::Left, DateText(a));
  out.add(left, 330, LabelAlign::Left, FormatClock(a).str());
  out.add(right, 310, LabelAlign::Right, DateText(b));
  out.add(right, 330, LabelAlign::Right, FormatClock(b).str());
  out.add(left, 290, LabelAlign::Left, v.scrollOffset < 0 ? "  " : Format("%d  ", v.scrollOffset));
  out.add(right, 290, LabelAlign::Right, Format("  %d", last));
  out.add(centre, 290, LabelAlign::Centre,
          Format("    %0.2f readings per division    ", v.readingsPerDivision + 0.0001));
  if (d.samplingMode == kProfilingMode) {
    out.add(centre, 310, LabelAlign::Centre, "1/6 second per reading");
  } else {
    const double seconds = std::clamp(v.readingsPerDivision * SamplePeriodSeconds(d), 0.0, 3.6e9);
    const int64_t whole = static_cast<int64_t>(seconds);
    out.add(centre, 310, LabelAlign::Centre,
            Format("%02d:%02d:%02d per division", static_cast<int>(whole / 3600),
                   static_cast<int>(whole / 60 % 60), static_cast<int>(whole % 60)));
  }
  return out;
}

AxisLabels ValueAxisLabels(const Session& s) {
  AxisLabels out;
  const PlotView& v = s.plot;
  const DataSet& d = s.data;
  const int channel = CurrentChannel(v);
  out.add(155, kReadoutY, LabelAlign::Right, Format("Channel %2d", channel + 1));
  const int g = std::clamp(v.currentGroup, 0, kAxisGroups - 1);
  if (s.app.xyPlotMode) {
    out.add(140, 35, LabelAlign::Right, Format("%9.4f", v.groupMax[static_cast<size_t>(g)]));
    out.add(135, 235, LabelAlign::Right, Format("%9.4f", v.groupMin[static_cast<size_t>(g)]));
    return out;
  }
  if (SampleCountOf(d) <= 0) return out;
  const ValueMap map = MakeValueMap(v, g);
  const double u = v.unitsPerDivision[static_cast<size_t>(g)];
  double top = map.centre + 10.0 * u, bottom = map.centre - 10.0 * u;
  if (g == kDepthGroup) std::swap(top, bottom);
  out.add(135, 35, LabelAlign::Right, Format("  %9.4f", top));
  out.add(135, 135, LabelAlign::Right, Format("  %9.4f", map.centre));
  out.add(135, 235, LabelAlign::Right, Format("  %9.4f", bottom));
  out.add(120, 75, LabelAlign::Right, Format(v.statisticsMode ? "%10.6f/div" : "%9.4f/div", u));
  out.add(110, 270, LabelAlign::Right, UnitsLabel(s, g));
  return out;
}

std::string UnitsLabel(const Session& s, int group) {
  if (ModelHas(s, "HV") || group == 0) return "degrees C";
  if (ModelHas(s, "LV") || group == 1) return "deciBars";
  const OxygenUnit oxygen = s.settings.derived.oxygenUnit;
  switch (group) {
    case 2:
      if (ModelHas(s, "YP")) return "volt ratio";
      return s.data.context.description.conductivityMicroSiemens ? "uS/cm" : "mS/cm";
    case 3:
    case 21:
      return "percent";
    case 4:
      return "\xB5Mol/l";
    case 5:
    case 17:
      return "Volts";
    case 6:
      return "FTU";
    case 7:
      return "\xB5Mol.m-2.s-1";
    case 8:
      return "pH units";
    case 9:
    case 10:
      return "ug/l";
    case 11:
      return "QSU";
    case 12:
      return "Depth m";
    case 13:
      return "PSU";
    case 14:
      return "m/sec";
    case 15:
      return "sig wv ht (m)";
    case 16:
      return "m/hour";
    case 18:
      return "generic";
    case 19:
      return oxygen == OxygenUnit::MgPerL         ? "mg/l"
             : oxygen == OxygenUnit::MicroMolPerL ? "\xB5Mol/l"
                                                  : "ml/l";
    case 20:
      return s.settings.derived.optodeUnit == OxygenUnit::MgPerL ? "mg/l" : "ml/l";
    default:
      return "Unknown";
  }
}

std::string CursorReadout(const Session& s) {
  const PlotView& v = s.plot;
  const DataSet& d = s.data;
  const int n = SampleCountOf(d);
  if (!v.cursorActive || n <= 0 || s.app.xyPlotMode) return {};
  const int sample = std::clamp(v.cursorSample, 0, n - 1);
  const TimeText when = FormatDisplayDateTime(PlotSampleTime(d, sample));
  std::string text = Format(v.statisticsMode ? "%s %12.7f" : "%s %9.4f", when.c_str(),
                            static_cast<double>(CursorValue(s)));
  // The last range change at or before the cursor that covers this channel.
  const int channel = CurrentChannel(v);
  const int stamps = std::clamp(d.stampCount, 0, kMaxStamps);
  const StampEntry* gain = nullptr;
  for (int k = 0; k < stamps; ++k) {
    const StampEntry& e = d.stamps[static_cast<size_t>(k)];
    if (e.type == kStampGain && e.sampleIndex <= sample && (e.gainMask & (1u << channel)))
      gain = &e;
  }
  if (gain != nullptr && channel < kMaxChannels)
    text += Format(" (%s)", RangeText(d.types[static_cast<size_t>(channel)],
                                      gain->gains[static_cast<size_t>(channel)]));
  return text;
}

ChannelButtonFace ChannelButtonFaceOf(const Session& s, int channel) {
  ChannelButtonFace f;
  const int count = ChannelCountOf(s.data);
  if (channel < 0 || channel >= kChannelButtons) return f;
  f.colour = channel % 8;
  f.whiteText = WhiteTextOnColour(f.colour);
  f.place = channel;
  f.visible = count >= 2 && channel < count;
  f.text = ShortTagText(s.data.types[static_cast<size_t>(channel)], channel + 1);
  if (s.app.microSalinometerMode) {
    static constexpr const char* kNames[3] = {"Stand", "Sample", "Temp"};
    if (channel < 3) f.text = kNames[channel];
    // The standard and sample buttons give their places to temperature and salinity.
    if (channel <= 1) f.visible = false;
    if (channel == 2 || channel == 3) f.place = channel - 2;
  }
  return f;
}

PlotControls PlotControlsOf(const Session& s) {
  PlotControls c;
  const int count = ChannelCountOf(s.data);
  c.allButton = c.xyButton = count >= 2;
  c.allHeight = count >= 13 ? 48 : 24;
  c.xyCaption = s.app.xyPlotMode ? "time Plot" : "x-y Plot";
  const bool realTime = s.app.realTimeDisplayActive;
  const bool microSal = s.app.microSalinometerMode;
  const bool timePlot = !s.app.xyPlotMode;
  if (timePlot && !microSal) {
    c.zoomIn = true;
    c.zoomOut = c.reset = !realTime;
  }
  uint32_t groups = 0;
  const uint32_t plotted = s.plot.channelMask & AllChannelsMask(s.data);
  for (int ch = 0; ch < count; ++ch)
    if (plotted & (1u << ch)) groups |= 1u << ChannelGroup(s.data, ch);
  c.scaleButtons = timePlot && !realTime && !microSal && std::popcount(groups) <= 1;
  c.upDown = std::popcount(plotted) > 1;
  return c;
}

}  // namespace kts
