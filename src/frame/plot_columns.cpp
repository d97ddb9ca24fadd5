#include "frame/plot_columns.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "convert/channel_range.h"
#include "core/session.h"

namespace kts {

SampleWindow SamplesForColumns(const Session& s, int left, int right) {
  const PlotView& v = s.plot;
  const DataSet& d = s.data;
  const int n = RowLayoutHolds(ChannelCountOf(d), d.sampleCount, d.stride) ? d.sampleCount : 0;
  SampleWindow w;
  if (n <= 0) return w;
  const double perPixel = v.readingsPerDivision / 10.0;
  const double first =
      v.scrollOffset + static_cast<double>(static_cast<int>(std::max(left - 1, 0) * perPixel));
  const double last =
      v.scrollOffset + static_cast<double>(static_cast<int>((right + 10) * perPixel));
  // A centred zoom box can put the left edge before the first sample.
  w.first = static_cast<int>(std::clamp(first, 0.0, static_cast<double>(n)));
  w.last = static_cast<int>(std::clamp(last, -1.0, static_cast<double>(n - 1)));
  return w;
}

TraceColumns::TraceColumns() : spans_(std::make_unique<ColumnSpan[]>(kCapacity)) {}

namespace {

// The first sample after `from` whose column lies right of column x. The
// guess comes from the inverse mapping; the steps after it check with the
// mapping itself, so the columns are exactly those of drawing every sample.
int ColumnEnd(int from, int last, int x, int offset, float ppr) {
  if (!(ppr > 0.0f)) return last + 1;
  const double guess = x >= 0 ? offset + std::ceil((x + 1.0) / ppr)
                              : offset + std::floor(x / static_cast<double>(ppr)) + 1.0;
  int end = static_cast<int>(std::clamp(guess, from + 1.0, last + 1.0));
  while (end > from + 1 && PixelOfOffset(end - 1 - offset, ppr) != x) --end;
  while (end <= last && PixelOfOffset(end - offset, ppr) == x) ++end;
  return end;
}

// Widens [lo, hi] over n values. Four independent minima and maxima let the
// processor overlap the comparisons; a column may hold thousands of samples.
void SpanOf(const float* v, int n, float& lo, float& hi) {
  float lo1 = lo, lo2 = lo, lo3 = lo, hi1 = hi, hi2 = hi, hi3 = hi;
  int k = 0;
  for (; k + 4 <= n; k += 4) {
    lo = v[k] < lo ? v[k] : lo;
    hi = v[k] > hi ? v[k] : hi;
    lo1 = v[k + 1] < lo1 ? v[k + 1] : lo1;
    hi1 = v[k + 1] > hi1 ? v[k + 1] : hi1;
    lo2 = v[k + 2] < lo2 ? v[k + 2] : lo2;
    hi2 = v[k + 2] > hi2 ? v[k + 2] : hi2;
    lo3 = v[k + 3] < lo3 ? v[k + 3] : lo3;
    hi3 = v[k + 3] > hi3 ? v[k + 3] : hi3;
  }
  for (; k < n; ++k) {
    lo = v[k] < lo ? v[k] : lo;
    hi = v[k] > hi ? v[k] : hi;
  }
  lo = std::min({lo, lo1, lo2, lo3});
  hi = std::max({hi, hi1, hi2, hi3});
}

}  // namespace

int TraceColumns::reduce(const PlotView& v, const float* samples, SampleWindow window,
                         const ValueMap& map) {
  count_ = 0;
  if (window.first > window.last || samples == nullptr) return 0;
  const float ppr = v.pixelsPerReading;
  const int offset = v.scrollOffset;
  ColumnSpan* out = spans_.get();
  for (int i = window.first; i <= window.last && count_ < kCapacity;) {
    const int x = PixelOfOffset(i - offset, ppr);
    const int end = ColumnEnd(i, window.last, x, offset, ppr);
    float lo = samples[i], hi = lo;
    SpanOf(samples + i + 1, end - i - 1, lo, hi);
    const int a = map.map(lo);
    const int b = map.map(hi);
    out[count_++] = {x, map.map(samples[i]), map.map(samples[end - 1]), std::min(a, b),
                     std::max(a, b)};
    i = end;
  }
  return count_;
}

int CollectStampMarks(const Session& s, SampleWindow window, StampMark* out, int capacity) {
  const DataSet& d = s.data;
  const PlotView& v = s.plot;
  const uint32_t valid = AllChannelsMask(d);
  const uint32_t plotted = v.channelMask & valid;
  const int stamps = std::clamp(d.stampCount, 0, kMaxStamps);
  int count = 0;
  // A stamp at the sample of the stamp before it takes that stamp's kind, so
  // that it does not draw over a burst or range-change mark.
  MarkKind remembered = MarkKind::None;
  int rememberedSample = -1;
  for (int k = 0; k < stamps; ++k) {
    const StampEntry& e = d.stamps[static_cast<size_t>(k)];
    MarkKind kind = MarkKind::None;
    switch (e.type) {
      case kStampGain: {
        const uint32_t mask = e.gainMask & valid;
        if (s.settings.showRangeChanges && (mask & plotted)) {
          if (std::popcount(mask) <= 1)
            kind = MarkKind::GainSingleTick;
          else
            kind = (mask & ~plotted) == 0 ? MarkKind::GainAllTick : MarkKind::GainSomeTick;
        }
        remembered = MarkKind::None;
        rememberedSample = e.sampleIndex;
        break;
      }
      case kStampBurst:
        if (d.context.description.waves) kind = MarkKind::BurstTick;
        remembered = MarkKind::None;
        rememberedSample = e.sampleIndex;
        break;
      case kStampRtc:
      case kStampRecovery:
        kind = remembered = MarkKind::ClockLine;
        rememberedSample = e.sampleIndex;
        break;
      default:
        kind = e.sampleIndex != rememberedSample ? MarkKind::StampLine : remembered;
        break;
    }
    if (kind == MarkKind::None || e.sampleIndex < window.first || e.sampleIndex > window.last)
      continue;
    if (count >= capacity) break;
    out[count++] = {SampleX(v, e.sampleIndex), kind};
  }
  return count;
}

}  // namespace kts
