#include "convert/derived_channels.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "convert/channel_range.h"
#include "convert/derived_plan.h"
#include "convert/derived_values.h"
#include "convert/tide_wave_channels.h"
#include "core/session.h"
#include "platform/status_line.h"

namespace kts {

namespace {

// Channels that may still be appended: the 24-channel limit, and total
// channels × stride within the row store.
int RoomForDerivedChannels(const DataSet& d) {
  const int fit = static_cast<int>(std::min<int64_t>(kMaxChannels, kRowStoreFloats / d.stride));
  return std::max(0, fit - d.measuredChannels);
}

void ComputeDerivedRows(DataSet& d, const DerivedPlan& plan, const DerivedCalculator& calc) {
  const int n = d.sampleCount;
  const int first = d.measuredChannels;
  const auto source = [&](int channel) -> const float* {
    return channel >= 0 ? d.row(channel) : nullptr;
  };
  const float* pressure = source(plan.sources.pressure);
  const float* temperature = source(plan.sources.temperature);
  const float* conductivity = source(plan.sources.conductivity);
  const float* oxygen = source(plan.sources.oxygen);
  const float* optode = source(plan.sources.optode);

  // The per-sample channels; the tide-and-wave ones are filled afterwards.
  std::array<float*, kDerivedQuantityCount> rows{};
  std::array<size_t, kDerivedQuantityCount> slot{};
  std::array<ChannelRange, kDerivedQuantityCount> ranges{};
  int computed = 0;
  for (int k = 0; k < plan.count; ++k) {
    const DerivedQuantity q = plan.quantity[static_cast<size_t>(k)];
    if (q == DerivedQuantity::SignificantWaveHeight || q == DerivedQuantity::TidalSlope) continue;
    rows[static_cast<size_t>(computed)] = d.row(first + k);
    slot[static_cast<size_t>(computed)] = static_cast<size_t>(q);
    ++computed;
  }

  DerivedInputs in;
  std::array<double, kDerivedQuantityCount> values{};
  for (int i = 0; i < n; ++i) {
    if (pressure) in.pressure = pressure[i];
    if (temperature) in.temperature = temperature[i];
    if (conductivity) in.conductivity = conductivity[i];
    if (oxygen) in.oxygen = oxygen[i];
    if (optode) in.optode = optode[i];
    ComputeDerivedValues(calc, in, values);
    for (int c = 0; c < computed; ++c) {
      const float v = StoredValue(values[slot[static_cast<size_t>(c)]]);
      rows[static_cast<size_t>(c)][i] = v;
      ranges[static_cast<size_t>(c)].add(v);
    }
  }
  for (int c = 0; c < computed; ++c)
    ranges[static_cast<size_t>(c)].store(rows[static_cast<size_t>(c)], n);
}

}  // namespace

void AppendDerivedChannels(Session& s) {
  DataSet& d = s.data;
  // Whatever an earlier run appended goes; a data set whose counts do not
  // describe the store gets nothing appended rather than a write past it.
  d.totalChannels = std::clamp(d.measuredChannels, 0, kMaxChannels);
  if (!RowLayoutHolds(d.measuredChannels, d.sampleCount, d.stride)) return;

  const int measured = d.measuredChannels;
  // The logger the data came from, not whichever logger is connected now.
  const bool tideAndWave = IsTideAndWaveModel(d.context.identity.model);
  const DerivedPlan plan =
      PlanDerivedChannels(std::span<const uint8_t>(d.types.data(), static_cast<size_t>(measured)),
                          s.settings.derived, tideAndWave, RoomForDerivedChannels(d));
  if (plan.leftOutCount > 0) ShowStatus(s.ui, LeftOutText(plan));
  if (plan.count == 0) return;

  for (int k = 0; k < plan.count; ++k)
    d.types[static_cast<size_t>(measured + k)] = plan.letter[static_cast<size_t>(k)];
  d.totalChannels = measured + plan.count;

  const DerivedCalculator calc =
      MakeDerivedCalculator(plan, s.settings.derived, d.context.description.conductivityMicroSiemens);
  ComputeDerivedRows(d, plan, calc);

  const auto channel = [&](DerivedQuantity q) {
    const int k = plan.channelOf(q);
    return k < 0 ? -1 : measured + k;
  };
  FillTideAndWaveChannels(d, channel(DerivedQuantity::SignificantWaveHeight),
                          channel(DerivedQuantity::TidalSlope), channel(DerivedQuantity::Depth));
}

}  // namespace kts
