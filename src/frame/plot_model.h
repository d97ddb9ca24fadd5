// The plot's arithmetic: mapping samples and values to pixels, the start of
// a display, zoom, vertical scale steps, scrolling, the cursor, channel
// selection and the x-y mode. Pure state changes on the Session; the widget
// repaints from the result.
#pragma once

#include <cstdint>

namespace kts {

struct Session;
struct PlotView;
struct DataSet;

// Plot command ids (buttons of the plot).
inline constexpr int kCmdZoomOut = 136;
inline constexpr int kCmdReset = 137;
inline constexpr int kCmdScaleFiner = 138;
inline constexpr int kCmdScaleCoarser = 139;
inline constexpr int kCmdRescale = 140;
inline constexpr int kCmdAllChannels = 144;
inline constexpr int kCmdXyPlot = 145;
inline constexpr int kCmdFirstChannelButton = 666;
inline constexpr int kCmdLastChannelButton = 689;
inline constexpr int kCmdZoomIn = 2135;

// ---- Mapping -------------------------------------------------------------

// Horizontal divisions of the plot (P / 10, at least 1).
int Divisions(const PlotView& v);
// Samples that fit across the plot at the current zoom.
int SamplesOnScreen(const PlotView& v);
// Sets readingsPerDivision and keeps pixelsPerReading in step (0 readings
// per division, a one-sample data set, maps every sample to x = 0).
void SetReadingsPerDivision(PlotView& v, float readingsPerDivision);
// x of a sample `relative` samples right of the left edge (truncated as
// the plot has always done; kept inline, the trace reduction calls it for
// every sample).
inline int PixelOfOffset(int relative, float pixelsPerReading) {
  const double x = static_cast<double>(relative) * pixelsPerReading;
  return x >= 1e9 ? 1'000'000'000 : x <= -1e9 ? -1'000'000'000 : static_cast<int>(x);
}
// x of sample i (may lie outside the plot).
int SampleX(const PlotView& v, int sample);
// The sample under plot column x.
int SampleAtX(const PlotView& v, int x);

// Value to y for one axis group: linear, then clamped to ±1000. Holds the
// centre and scale of the group so a trace maps without recomputing them.
struct ValueMap {
  double centre = 0.0;   // value shown on the centre line
  double perUnit = 1.0;  // pixels per value unit, negative for depth
  int map(float value) const;
  double valueAt(int y) const;  // the value under row y
};
ValueMap MakeValueMap(const PlotView& v, int group);

// ---- Whole-data-set operations ------------------------------------------

// Axis group of a channel of the data set (22, unknown, when out of range).
int ChannelGroup(const DataSet& d, int channel);
int ChannelCountOf(const DataSet& d);
uint32_t AllChannelsMask(const DataSet& d);
int CurrentChannel(const PlotView& v);

enum class DisplayStart { Shown, NothingToShow, OnlyStamps, AsciiText };
// Puts a freshly decoded or loaded data set on display. A data set of stamps
// only says so (caption "Display").
DisplayStart StartDisplay(Session& s);

// The group ranges from the plotted channels' stored minima and maxima.
void UpdateGroupRanges(Session& s);
void ResetView(Session& s);            // Reset: the whole data set
void RescaleCurrentGroup(Session& s);  // "R"
void RescaleGroup(Session& s, int group);
void ScaleStep(Session& s, bool finer);  // "+" finer, "-" coarser
bool ZoomIn(Session& s);
bool ZoomOut(Session& s);
// Zoom to a rectangle given in plot coordinates; an empty one does nothing.
bool ZoomToBox(Session& s, int left, int top, int right, int bottom);

// ---- Cursor --------------------------------------------------------------

void SetCursorAt(Session& s, int x);
void ClearCursor(Session& s);
// The current channel's value at the cursor (0 without data).
float CursorValue(const Session& s);

// ---- Channels ------------------------------------------------------------

// A channel button; `add` (Shift held) adds the channel to the plotted ones.
void SelectChannel(Session& s, int channel, bool add);
void SelectAllChannels(Session& s);  // "ALL"
// The up-down control: the next (down) or previous set bit of the mask.
void StepCurrentChannel(Session& s, bool down);
// x-y mode on with channel `xChannel` (0-based) across, or back to time.
void StartXyPlot(Session& s, int xChannel);
void EndXyPlot(Session& s);

// ---- Scrolling -----------------------------------------------------------

enum class ScrollAction { LineUp, LineDown, PageUp, PageDown, Thumb, Home, End };
struct ScrollRanges {
  int horizontalMin = 0, horizontalMax = 0, horizontalPage = 1;
  int verticalMin = 0, verticalMax = 0, verticalPage = 21;
};
// Recomputes both ranges and maxScroll.
ScrollRanges SetScrollRanges(Session& s);
// Each returns whether the view moved.
bool ScrollHorizontal(Session& s, ScrollAction action, int thumb = 0);
bool ScrollVertical(Session& s, ScrollAction action, int thumb = 0);

// ---- Real-time limits ----------------------------------------------------

void ApplyRealTimeLimits(Session& s);

// ---- Commands ------------------------------------------------------------

// Runs one of the plot's command ids except 145 (which needs its dialog);
// 0 when the id is not the plot's.
int RunPlotCommand(Session& s, int id, bool shiftHeld = false);

}  // namespace kts
