// One full repaint of the plot's traces: 8 channels × 350,000 samples across
// 1,000 pixel columns, reduced to per-column spans (the work the widget does
// before it draws). The per-sample mapping is measured beside it for scale.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "core/session.h"
#include "bench_session.h"
#include "frame/plot_columns.h"
#include "frame/plot_model.h"
#include "platform/serial_port.h"

namespace {

using namespace kts;

using bench::QuietUi;

constexpr int kChannels = 8;
constexpr int kSamples = 350'000;
constexpr int kWidth = 1000;

struct Rig {
  QuietUi ui;
  SystemClock clock;
  TermiosOpener opener;
  NoClipboard clipboard;
  Session s{ui, clock, opener, clipboard};

  Rig() {
    DataSet& d = s.data;
    d.measuredChannels = d.totalChannels = kChannels;
    d.sampleCount = kSamples;
    d.stride = kSamples + 2;
    const char* types = "TPCDYRHF";
    uint32_t x = 1;
    for (int c = 0; c < kChannels; ++c) {
      d.types[static_cast<size_t>(c)] = static_cast<uint8_t>(types[c]);
      float* row = d.row(c);
      float v = 10.0f * c, lo = v, hi = v;
      for (int i = 0; i < kSamples; ++i) {
        x = x * 1103515245u + 12345u;
        v += static_cast<float>(static_cast<int>(x >> 16) % 201 - 100) * 0.001f;
        row[i] = v;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
      }
      row[kSamples] = lo;
      row[kSamples + 1] = hi;
    }
    s.plot.plotWidth = kWidth;
    StartDisplay(s);
  }
};

Rig& TheRig() {
  static Rig* rig = new Rig;  // built once: the row store is 36 MiB
  return *rig;
}

void BM_ReduceWholeDataSet(benchmark::State& state) {
  Rig& rig = TheRig();
  ResetView(rig.s);
  TraceColumns columns;
  for (auto _ : state) {
    const SampleWindow w = SamplesForColumns(rig.s, 0, kWidth);
    for (int c = 0; c < kChannels; ++c) {
      const ValueMap map = MakeValueMap(rig.s.plot, ChannelGroup(rig.s.data, c));
      benchmark::DoNotOptimize(columns.reduce(rig.s.plot, rig.s.data.row(c), w, map));
    }
  }
  state.SetItemsProcessed(state.iterations() * int64_t{kChannels} * kSamples);
}
BENCHMARK(BM_ReduceWholeDataSet)->Unit(benchmark::kMillisecond);

void BM_ReduceZoomedIn(benchmark::State& state) {
  Rig& rig = TheRig();
  ResetView(rig.s);
  SetReadingsPerDivision(rig.s.plot, 1.0f);
  rig.s.plot.scrollOffset = kSamples / 2;
  TraceColumns columns;
  for (auto _ : state) {
    const SampleWindow w = SamplesForColumns(rig.s, 0, kWidth);
    for (int c = 0; c < kChannels; ++c) {
      const ValueMap map = MakeValueMap(rig.s.plot, ChannelGroup(rig.s.data, c));
      benchmark::DoNotOptimize(columns.reduce(rig.s.plot, rig.s.data.row(c), w, map));
    }
  }
}
BENCHMARK(BM_ReduceZoomedIn)->Unit(benchmark::kMicrosecond);

// Mapping every sample to a pixel, as a line per sample would need.
void BM_MapEverySample(benchmark::State& state) {
  Rig& rig = TheRig();
  ResetView(rig.s);
  for (auto _ : state) {
    int64_t sum = 0;
    for (int c = 0; c < kChannels; ++c) {
      const ValueMap map = MakeValueMap(rig.s.plot, ChannelGroup(rig.s.data, c));
      const float* row = rig.s.data.row(c);
      for (int i = 0; i < kSamples; ++i) sum += SampleX(rig.s.plot, i) + map.map(row[i]);
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_MapEverySample)->Unit(benchmark::kMillisecond);

}  // namespace
