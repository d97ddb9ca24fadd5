// What a repaint draws, reduced to the pixel grid: for each pixel column the
// span of the values that fall into it, and where the trace enters and
// leaves the column (the joins to its neighbours). The picture equals a line
// through every sample, but the work per repaint is bounded by the plot
// width, not the sample count. Buffers are allocated once.
#pragma once

#include <cstdint>
#include <memory>

#include "frame/plot_model.h"

namespace kts {

struct Session;

// One pixel column of a trace: its samples span minY … maxY; the trace
// arrives at firstY (from the previous column's lastY) and leaves at lastY.
struct ColumnSpan {
  int x = 0;
  int firstY = 0;
  int lastY = 0;
  int minY = 0;
  int maxY = 0;
};

// The samples a repaint of plot columns left … right has to draw (both
// inside the data; first > last when there is nothing to draw).
struct SampleWindow {
  int first = 0;
  int last = -1;
};
SampleWindow SamplesForColumns(const Session& s, int left, int right);

class TraceColumns {
 public:
  static constexpr int kCapacity = 2 * 4096;

  TraceColumns();
  // Reduces samples[first … last] (indices of the row) to columns; returns
  // the number of columns, at most kCapacity.
  int reduce(const PlotView& v, const float* samples, SampleWindow window, const ValueMap& map);
  const ColumnSpan* spans() const { return spans_.get(); }
  int count() const { return count_; }

 private:
  std::unique_ptr<ColumnSpan[]> spans_;
  int count_ = 0;
};

// Stamp markers: ticks at the top of the plot (y 3 … 21) and lines from
// y 225 up to 25. Kinds follow the stamp's type: a gain stamp's stored marker
// is its channel index, which would read as one of the line markers.
enum class MarkKind : uint8_t {
  None,
  BurstTick,       // a wave burst starts
  GainAllTick,     // a several-channel range change, all of its channels plotted
  GainSomeTick,    // a several-channel range change, some of its channels plotted
  GainSingleTick,  // a one-channel range change
  StampLine,       // a time or event stamp
  ClockLine,       // a clock set or recovery
};
inline constexpr int kTickTop = 3, kTickBottom = 21, kLineBottom = 225, kLineTop = 25;

struct StampMark {
  int x = 0;
  MarkKind kind = MarkKind::None;
};

// The marks of the stamps at samples window.first … window.last, at most
// `capacity`; returns how many were written.
int CollectStampMarks(const Session& s, SampleWindow window, StampMark* out, int capacity);

}  // namespace kts
