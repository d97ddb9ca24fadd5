#include "frame/plot_model.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "convert/axis_ranges.h"
#include "convert/channel_range.h"
#include "convert/channel_types.h"
#include "core/session.h"
#include "frame/plot_geometry.h"

namespace kts {
namespace {

constexpr double kMinimumWidth = 0.0009;  // narrowest value range a group may span
constexpr float kFinestScale = 0.0001f;
constexpr float kFinestStatisticsScale = 0.000001f;
constexpr float kFinestBoxScale = 0.00005f;
constexpr float kCoarsestScale = 1e30f;
constexpr double kIntLimit = 1e9;  // offsets and ranges stay well inside int

constexpr uint32_t kMicroSalinometerMask = 0b1010;

int ClampToInt(double v) {
  if (!(v == v)) return 0;
  return static_cast<int>(std::clamp(v, -kIntLimit, kIntLimit));
}

int ClampGroup(int g) {
  return g < 0 || g >= kAxisGroups ? kAxisGroups - 1 : g;
}

// A range whose ends meet (one reading, limits of 0/0) is widened upwards so
// that a scale computed from it is never 0; the width is relative for large
// values so that it survives float rounding.
void WidenRange(float& lo, float& hi) {
  if (!std::isfinite(lo)) lo = 0.0f;
  if (!std::isfinite(hi)) hi = lo;
  if (lo > hi) std::swap(lo, hi);
  const double width = std::max(kMinimumWidth, std::fabs(static_cast<double>(lo)) * 1e-6);
  if (static_cast<double>(hi) - lo >= width) return;
  hi = static_cast<float>(static_cast<double>(lo) + width);
}

float GuardedScale(const PlotView& v, int g) {
  const float u = v.unitsPerDivision[static_cast<size_t>(ClampGroup(g))];
  return u > 0.0f && std::isfinite(u) ? u : 1.0f;
}

int SampleCountOf(const Session& s) {
  const DataSet& d = s.data;
  return RowLayoutHolds(ChannelCountOf(d), d.sampleCount, d.stride) ? d.sampleCount : 0;
}

double GroupMiddle(const PlotView& v, int g) {
  const size_t i = static_cast<size_t>(ClampGroup(g));
  return (static_cast<double>(v.groupMax[i]) + v.groupMin[i]) / 2.0;
}

void UpdateVerticalRange(PlotView& v) {
  const size_t g = static_cast<size_t>(ClampGroup(v.currentGroup));
  const double span = static_cast<double>(v.groupMax[g]) - v.groupMin[g];
  v.verticalRange = std::max(0, ClampToInt(span / (2.0 * GuardedScale(v, v.currentGroup))));
}

bool MicroSalinometer(const Session& s) {
  return s.app.microSalinometerMode;
}

uint32_t PlottedMask(const Session& s) {
  return s.plot.channelMask & AllChannelsMask(s.data);
}

// The groups of the plotted channels, one bit per group.
uint32_t PlottedGroups(const Session& s) {
  uint32_t groups = 0;
  const uint32_t mask = PlottedMask(s);
  for (int c = 0; c < ChannelCountOf(s.data); ++c)
    if (mask & (1u << c)) groups |= 1u << ChannelGroup(s.data, c);
  return groups;
}

void SetCurrentChannel(Session& s, int channel) {
  s.plot.currentChannelBit = 1u << channel;
  s.plot.currentGroup = ChannelGroup(s.data, channel);
}

// Leading digit d and power p of r: r = d.xxx × p.
void Decompose(double r, double& p, int& d) {
  p = std::pow(10.0, std::floor(std::log10(r) + 1e-9));
  d = static_cast<int>(std::floor(r / p + 1e-6));
  if (d >= 10) {
    p *= 10.0;
    d = 1;
  }
}

// The right edge stays inside the data; with the cursor on, the view is
// centred on the cursor sample (at the data's ends the cursor moves instead).
void FitHorizontally(Session& s) {
  PlotView& v = s.plot;
  const int n = SampleCountOf(s);
  const int onScreen = SamplesOnScreen(v);
  const int lastStart = std::max(0, n - 1 - onScreen);
  if (v.scrollOffset + onScreen > n - 1) v.scrollOffset = std::max(0, n - 1 - onScreen);
  if (v.cursorActive) {
    v.scrollOffset = std::clamp(v.cursorSample - onScreen / 2, 0, lastStart);
    v.cursorX = SampleX(v, v.cursorSample);
  }
}

}  // namespace

// ---- Mapping -------------------------------------------------------------

int Divisions(const PlotView& v) {
  return std::max(1, v.plotWidth / kDivisionPixels);
}

int SamplesOnScreen(const PlotView& v) {
  return std::max(0, ClampToInt(static_cast<double>(v.readingsPerDivision) * Divisions(v)));
}

void SetReadingsPerDivision(PlotView& v, float r) {
  if (!(r > 0.0f) || !std::isfinite(r)) r = 0.0f;
  v.readingsPerDivision = r;
  v.pixelsPerReading = r > 0.0f ? static_cast<float>(kDivisionPixels) / r : 0.0f;
}

int SampleX(const PlotView& v, int sample) {
  return PixelOfOffset(sample - v.scrollOffset, v.pixelsPerReading);
}

int SampleAtX(const PlotView& v, int x) {
  if (!(v.pixelsPerReading > 0.0f)) return v.scrollOffset;
  return v.scrollOffset + ClampToInt(x / static_cast<double>(v.pixelsPerReading));
}

int ValueMap::map(float value) const {
  const double d = (centre - value) * perUnit;  // pixels below the centre line
  if (d != d) return kYClamp;
  const double y = kPlotCentreY + std::trunc(d);
  return static_cast<int>(
      std::clamp(y, static_cast<double>(-kYClamp), static_cast<double>(kYClamp)));
}

double ValueMap::valueAt(int y) const {
  return centre - (y - kPlotCentreY) / perUnit;
}

ValueMap MakeValueMap(const PlotView& v, int group) {
  const double u = GuardedScale(v, group);
  ValueMap m;
  m.centre = GroupMiddle(v, group) - v.verticalOffset * u;
  m.perUnit = (ClampGroup(group) == kDepthGroup ? -kDivisionPixels : kDivisionPixels) / u;
  return m;
}

// ---- Whole-data-set operations ------------------------------------------

int ChannelCountOf(const DataSet& d) {
  return std::clamp(d.totalChannels, 0, kMaxChannels);
}

int ChannelGroup(const DataSet& d, int channel) {
  if (channel < 0 || channel >= kMaxChannels) return kAxisGroups - 1;
  return ClampGroup(AxisGroupOf(d.types[static_cast<size_t>(channel)]));
}

uint32_t AllChannelsMask(const DataSet& d) {
  const int n = ChannelCountOf(d);
  return n >= 32 ? 0xFFFFFFFFu : (1u << n) - 1u;
}

int CurrentChannel(const PlotView& v) {
  return v.currentChannelBit ? std::countr_zero(v.currentChannelBit) : 0;
}

DisplayStart StartDisplay(Session& s) {
  PlotView& v = s.plot;
  const int n = SampleCountOf(s);
  v.cursorActive = false;
  if (n <= 0) {
    v.displayPresent = false;
    if (s.data.stampCount <= 0) return DisplayStart::NothingToShow;
    s.ui.message(
        {"There are no data to display.\nAll the reported readings were imbedded timestamps.",
         "Display", Icon::Warning, Buttons::Ok, Answer::Ok});
    return DisplayStart::OnlyStamps;
  }
  v.displayPresent = true;
  v.verticalOffset = 0;
  if (s.data.context.description.asciiOutput()) return DisplayStart::AsciiText;
  // The mask is set before the reset so that the reset rescales the groups
  // of the new data set, not those of the one before.
  if (MicroSalinometer(s)) {
    v.channelMask = kMicroSalinometerMask;
    SetCurrentChannel(s, 1);
  } else {
    v.channelMask = AllChannelsMask(s.data);
    SetCurrentChannel(s, 0);
  }
  ResetView(s);
  RescaleCurrentGroup(s);
  return DisplayStart::Shown;
}

void UpdateGroupRanges(Session& s) {
  const AxisRanges r = ComputeAxisRanges(s.data, PlottedMask(s));
  for (size_t g = 0; g < kAxisGroups; ++g) {
    s.plot.groupMin[g] = r.minimum[g];
    s.plot.groupMax[g] = r.maximum[g];
    WidenRange(s.plot.groupMin[g], s.plot.groupMax[g]);
  }
}

void ResetView(Session& s) {
  PlotView& v = s.plot;
  const int n = SampleCountOf(s);
  SetReadingsPerDivision(
      v, n > 1 ? static_cast<float>(n - 1) / static_cast<float>(Divisions(v)) : 0.0f);
  v.scrollOffset = 0;
  UpdateGroupRanges(s);
  if (std::popcount(PlottedMask(s)) > 1) {
    const uint32_t groups = PlottedGroups(s);
    for (int g = 0; g < kAxisGroups; ++g)
      if (groups & (1u << g)) RescaleGroup(s, g);
    RescaleCurrentGroup(s);
  }
  SetScrollRanges(s);
}

void RescaleGroup(Session& s, int group) {
  PlotView& v = s.plot;
  const size_t g = static_cast<size_t>(ClampGroup(group));
  WidenRange(v.groupMin[g], v.groupMax[g]);
  const double u = (static_cast<double>(v.groupMax[g]) - v.groupMin[g]) / 20.0;
  v.unitsPerDivision[g] = static_cast<float>(std::clamp(u, 1e-30, 1e30));
}

void RescaleCurrentGroup(Session& s) {
  PlotView& v = s.plot;
  RescaleGroup(s, v.currentGroup);
  v.verticalOffset = 0;
  UpdateVerticalRange(v);
  SetScrollRanges(s);
}

void ScaleStep(Session& s, bool finer) {
  static constexpr double kSteps[] = {0.5, 1, 2, 5, 10};
  PlotView& v = s.plot;
  const size_t g = static_cast<size_t>(ClampGroup(v.currentGroup));
  const double u = GuardedScale(v, v.currentGroup);
  double p = std::pow(10.0, std::floor(std::log10(u)));
  double m = u / p;
  if (m >= 9.9999) {
    m /= 10.0;
    p *= 10.0;
  } else if (m < 1.0 - 1e-9) {
    m *= 10.0;
    p /= 10.0;
  }
  double step = finer ? kSteps[0] : kSteps[4];
  if (finer) {
    // Float scales carry rounding (0.2f is 0.2000000003): a step equal to
    // the mantissa does not count as below it.
    for (int i = 4; i >= 0; --i)
      if (kSteps[i] < m * (1.0 - 1e-5)) {
        step = kSteps[i];
        break;
      }
  } else {
    for (double e : kSteps)
      if (e - 0.1 > m) {
        step = e;
        break;
      }
  }
  double next = step * p;
  if (finer)
    next = std::max(next,
                    static_cast<double>(v.statisticsMode ? kFinestStatisticsScale : kFinestScale));
  v.unitsPerDivision[g] = static_cast<float>(std::min(next, static_cast<double>(kCoarsestScale)));
  UpdateVerticalRange(v);
  if (v.cursorActive) {
    const double offset =
        (CursorValue(s) - GroupMiddle(v, v.currentGroup)) / GuardedScale(v, v.currentGroup);
    v.verticalOffset = -ClampToInt(offset);
  }
  SetScrollRanges(s);
}

bool ZoomIn(Session& s) {
  PlotView& v = s.plot;
  const double r = v.readingsPerDivision;
  if (!(r > 1.0) || SampleCountOf(s) < 2) return false;
  double p;
  int d;
  Decompose(r, p, d);
  double next = d == 1 ? 0.3 * p : d <= 3 ? p : 3.0 * p;
  SetReadingsPerDivision(v, static_cast<float>(std::max(1.0, next)));
  FitHorizontally(s);
  SetScrollRanges(s);
  return true;
}

bool ZoomOut(Session& s) {
  PlotView& v = s.plot;
  const int n = SampleCountOf(s);
  if (n < 2) return false;
  const double cap =
      static_cast<double>(static_cast<float>(n - 1) / static_cast<float>(Divisions(v)));
  const double r = v.readingsPerDivision;
  if (r >= cap) return false;
  double next = cap;
  if (r > 0.0) {
    double p;
    int d;
    Decompose(r, p, d);
    next = d <= 2 ? 3.0 * p : 10.0 * p;
  }
  if (next >= cap) {
    next = cap;
    v.scrollOffset = 0;
  }
  SetReadingsPerDivision(v, static_cast<float>(next));
  FitHorizontally(s);
  SetScrollRanges(s);
  return true;
}

bool ZoomToBox(Session& s, int left, int top, int right, int bottom) {
  PlotView& v = s.plot;
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (left == right || top == bottom) return false;
  if (SampleCountOf(s) <= 0 || s.data.context.description.asciiOutput()) return false;
  v.cursorActive = false;

  const int first = SampleAtX(v, left);
  const int last = SampleAtX(v, right);
  const int width = v.plotWidth;
  float r = static_cast<float>(last - first) * kDivisionPixels / static_cast<float>(width);
  int offset = first;
  if (r < 1.0f) {
    r = 1.0f;
    offset = first - (width / 20 - (last - first) / 2);
  }
  SetReadingsPerDivision(v, r);
  v.scrollOffset = offset;

  const int current = ClampGroup(v.currentGroup);
  const double u = GuardedScale(v, current);
  const double direction = current == kDepthGroup ? -1.0 : 1.0;
  const double centreShift =
      -v.verticalOffset * u + direction * (kPlotCentreY - (top + bottom) / 2) * u / kDivisionPixels;
  const double factor = (bottom - top) / 200.0;
  // Every group on display shrinks with the box, not only the current one.
  const uint32_t groups = PlottedGroups(s) | (1u << current);
  for (int g = 0; g < kAxisGroups; ++g) {
    if (!(groups & (1u << g))) continue;
    const double scaled = GuardedScale(v, g) * factor;
    v.unitsPerDivision[static_cast<size_t>(g)] =
        static_cast<float>(std::max(scaled, static_cast<double>(kFinestBoxScale)));
  }
  v.verticalOffset = -ClampToInt(centreShift / GuardedScale(v, current));
  UpdateVerticalRange(v);
  SetScrollRanges(s);
  return true;
}

// ---- Cursor --------------------------------------------------------------

void SetCursorAt(Session& s, int x) {
  PlotView& v = s.plot;
  const int n = SampleCountOf(s);
  if (n <= 0 || s.app.xyPlotMode || s.data.context.description.asciiOutput()) return;
  x = std::clamp(x, 0, std::max(0, v.plotWidth - 1));
  int sample = v.scrollOffset;
  if (v.pixelsPerReading > 0.0f)
    sample += ClampToInt(std::lround(x / static_cast<double>(v.pixelsPerReading)));
  v.cursorSample = std::clamp(sample, 0, n - 1);
  v.cursorX = x;
  v.cursorActive = true;
}

void ClearCursor(Session& s) {
  s.plot.cursorActive = false;
}

float CursorValue(const Session& s) {
  const int n = SampleCountOf(s);
  const int channel = CurrentChannel(s.plot);
  if (n <= 0 || channel >= ChannelCountOf(s.data)) return 0.0f;
  return s.data.row(channel)[std::clamp(s.plot.cursorSample, 0, n - 1)];
}

// ---- Channels ------------------------------------------------------------

namespace {

void AfterSelection(Session& s) {
  UpdateGroupRanges(s);
  if (s.app.xyPlotMode) {
    ResetView(s);
    RescaleCurrentGroup(s);
  } else {
    RescaleCurrentGroup(s);
  }
}

}  // namespace

void SelectChannel(Session& s, int channel, bool add) {
  if (channel < 0 || channel >= ChannelCountOf(s.data)) return;
  const uint32_t bit = 1u << channel;
  if (add) {
    s.plot.channelMask |= bit;
  } else {
    s.plot.channelMask = bit;
    SetCurrentChannel(s, channel);
  }
  AfterSelection(s);
}

void SelectAllChannels(Session& s) {
  if (MicroSalinometer(s)) {
    s.plot.channelMask = kMicroSalinometerMask;
    SetCurrentChannel(s, 1);
  } else {
    s.plot.channelMask = AllChannelsMask(s.data);
    SetCurrentChannel(s, 0);
  }
  AfterSelection(s);
}

void StepCurrentChannel(Session& s, bool down) {
  const uint32_t mask = PlottedMask(s);
  if (mask == 0) return;
  const int current = CurrentChannel(s.plot);
  for (int k = 1; k <= kMaxChannels; ++k) {
    const int c = ((down ? current + k : current - k) % kMaxChannels + kMaxChannels) % kMaxChannels;
    if (mask & (1u << c)) {
      SetCurrentChannel(s, c);
      UpdateVerticalRange(s.plot);
      return;
    }
  }
}

void StartXyPlot(Session& s, int xChannel) {
  if (ChannelCountOf(s.data) <= 0) return;
  s.app.xyPlotMode = true;
  s.plot.xChannel = std::clamp(xChannel, 0, ChannelCountOf(s.data) - 1);
  s.plot.channelMask = MicroSalinometer(s) ? kMicroSalinometerMask : AllChannelsMask(s.data);
  if (!(s.plot.channelMask & s.plot.currentChannelBit))
    SetCurrentChannel(s, std::countr_zero(s.plot.channelMask));
  s.plot.cursorActive = false;
  ResetView(s);
  RescaleCurrentGroup(s);
}

void EndXyPlot(Session& s) {
  s.app.xyPlotMode = false;
  if (MicroSalinometer(s)) s.plot.channelMask = kMicroSalinometerMask;
  ResetView(s);
  RescaleCurrentGroup(s);
}

// ---- Scrolling -----------------------------------------------------------

ScrollRanges SetScrollRanges(Session& s) {
  PlotView& v = s.plot;
  const int n = SampleCountOf(s);
  ScrollRanges r;
  r.horizontalPage = std::max(1, SamplesOnScreen(v));
  r.horizontalMin = 0;
  r.horizontalMax = std::max(0, n - 2);
  v.maxScroll = std::max(0, n - 1 - r.horizontalPage);
  r.verticalMin = 10 - v.verticalRange;
  r.verticalMax = v.verticalRange + 10;
  r.verticalPage = 21;
  return r;
}

bool ScrollHorizontal(Session& s, ScrollAction action, int thumb) {
  PlotView& v = s.plot;
  SetScrollRanges(s);
  const int page = std::max(1, ClampToInt(static_cast<double>(v.readingsPerDivision) * 10.0));
  int next = v.scrollOffset;
  switch (action) {
    case ScrollAction::LineUp:
      next -= 1;
      break;
    case ScrollAction::LineDown:
      next += 1;
      break;
    case ScrollAction::PageUp:
      next = ClampToInt(static_cast<double>(next) - page);
      break;
    case ScrollAction::PageDown:
      next = ClampToInt(static_cast<double>(next) + page);
      break;
    case ScrollAction::Thumb:
      next = thumb;
      break;
    case ScrollAction::Home:
      next = 0;
      break;
    case ScrollAction::End:
      next = v.maxScroll;
      break;
  }
  next = std::clamp(next, 0, v.maxScroll);
  if (next == v.scrollOffset) return false;
  v.scrollOffset = next;
  if (v.cursorActive) v.cursorX = SampleX(v, v.cursorSample);
  return true;
}

bool ScrollVertical(Session& s, ScrollAction action, int thumb) {
  PlotView& v = s.plot;
  int next = v.verticalOffset;
  switch (action) {
    case ScrollAction::LineUp:
      next -= 1;
      break;
    case ScrollAction::LineDown:
      next += 1;
      break;
    case ScrollAction::PageUp:
      next -= 10;
      break;
    case ScrollAction::PageDown:
      next += 10;
      break;
    case ScrollAction::Thumb:
      next = thumb;
      break;
    case ScrollAction::Home:
      next = -v.verticalRange;
      break;
    case ScrollAction::End:
      next = v.verticalRange;
      break;
  }
  next = std::clamp(next, -v.verticalRange, v.verticalRange);
  if (next == v.verticalOffset) return false;
  v.verticalOffset = next;
  return true;
}

// ---- Real-time limits ----------------------------------------------------

void ApplyRealTimeLimits(Session& s) {
  PlotView& v = s.plot;
  DataSet& d = s.data;
  const int channels = ChannelCountOf(d);
  const bool rowsHold = RowLayoutHolds(channels, d.sampleCount, d.stride);
  for (int c = 0; c < channels; ++c) {
    const int g = ChannelGroup(d, c);
    float lo = 0.0f, hi = 1.0f;
    if (!v.rawView) {
      const RealTimeLimit limit =
          g < kLimitGroups ? s.settings.limits[static_cast<size_t>(g)] : RealTimeLimit{};
      lo = static_cast<float>(limit.minimum);
      hi = static_cast<float>(limit.maximum);
      WidenRange(lo, hi);
      if (rowsHold) {
        d.row(c)[d.sampleCount] = lo;
        d.row(c)[d.sampleCount + 1] = hi;
      }
    }
    v.groupMin[static_cast<size_t>(g)] = lo;
    v.groupMax[static_cast<size_t>(g)] = hi;
    RescaleGroup(s, g);
  }
  UpdateVerticalRange(v);
  SetScrollRanges(s);
}

// ---- Commands ------------------------------------------------------------

int RunPlotCommand(Session& s, int id, bool shiftHeld) {
  switch (id) {
    case kCmdZoomOut:
      ZoomOut(s);
      return 1;
    case kCmdReset:
      ResetView(s);
      return 1;
    case kCmdScaleFiner:
      ScaleStep(s, true);
      return 1;
    case kCmdScaleCoarser:
      ScaleStep(s, false);
      return 1;
    case kCmdRescale:
      RescaleCurrentGroup(s);
      return 1;
    case kCmdAllChannels:
      SelectAllChannels(s);
      return 1;
    case kCmdZoomIn:
      ZoomIn(s);
      return 1;
    default:
      break;
  }
  if (id >= kCmdFirstChannelButton && id <= kCmdLastChannelButton) {
    SelectChannel(s, id - kCmdFirstChannelButton, shiftHeld);
    return 1;
  }
  return 0;
}

}  // namespace kts
