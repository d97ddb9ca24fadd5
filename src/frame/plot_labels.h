// The texts around the plot: time and value axis labels, the units label of
// an axis group, the cursor read-out, the channel buttons' faces and which
// controls are shown. Positions are main-window coordinates.
#pragma once

#include <array>
#include <string>

#include "core/time_record.h"
#include "frame/plot_geometry.h"

namespace kts {

struct Session;
struct DataSet;

enum class LabelAlign { Left, Centre, Right };
struct PlotLabel {
  int x = 0;
  int y = 0;  // top of the text
  LabelAlign align = LabelAlign::Left;
  std::string text;  // Latin-1, as the channel tables hold "µ"
};

struct AxisLabels {
  std::array<PlotLabel, 12> items;
  int count = 0;
  void add(int x, int y, LabelAlign align, std::string text);
};

inline constexpr int kReadoutY = 2;  // the row above the plot

// The time of a sample: the last stamp other than a range change at or
// before it, plus the samples since times the sampling period; the start
// time plus sample × period without such a stamp.
TimeRecord PlotSampleTime(const DataSet& d, int sample);

AxisLabels TimeAxisLabels(const Session& s);
AxisLabels ValueAxisLabels(const Session& s);
// "degrees C", "mS/cm", … for an axis group.
std::string UnitsLabel(const Session& s, int group);
// The cursor line's text, e.g. "2024/Mar/05 12:00:00  12.3456 (125FTU)";
// empty when the cursor is off.
std::string CursorReadout(const Session& s);

// A channel button: its place (0 … 23), colour, text and text colour.
struct ChannelButtonFace {
  bool visible = false;
  int place = 0;
  int colour = 0;  // index into kChannelColours
  bool whiteText = true;
  std::string text;
};
ChannelButtonFace ChannelButtonFaceOf(const Session& s, int channel);

// Which of the plot's controls are shown, and the captions that change.
struct PlotControls {
  bool allButton = false;
  int allHeight = 24;
  bool xyButton = false;
  const char* xyCaption = "x-y Plot";
  bool zoomIn = false, zoomOut = false, reset = false;
  bool scaleButtons = false;  // "+", "-", "R"
  bool upDown = false;
};
PlotControls PlotControlsOf(const Session& s);

}  // namespace kts
