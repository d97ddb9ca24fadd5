// Converting and deriving a full row store worth of data: 2,796,202 readings
// (the 8 MiB image) from 4 measured channels T, C, P, D, with depth,
// salinity, specific conductivity, speed of sound and oxygen derived.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "convert/calibration.h"
#include "convert/channel_range.h"
#include "convert/derived_channels.h"
#include "core/session.h"
#include "bench_session.h"
#include "platform/clipboard.h"
#include "platform/serial_port.h"

namespace kts {
namespace {

constexpr int kReadings = 2'796'202;  // 8 MiB of 3-byte words
constexpr int kChannels = 4;
constexpr int kSamples = kReadings / kChannels;

using bench::QuietUi;

struct Bench {
  QuietUi ui;
  SystemClock clock;
  TermiosOpener opener;
  NoClipboard clipboard;
  Session s{ui, clock, opener, clipboard};
  std::vector<uint32_t> words;  // the image's sample words, channel-interleaved

  Bench() {
    s.description.conductivityMicroSiemens = false;
    const uint8_t types[kChannels] = {'T', 'C', 'P', 'D'};
    const Coefficients coefficients[kChannels] = {
        {0.0035, -0.00025, 2.7e-06, 2.3e-08}, {0, 70, 0, 0}, {-5, 1500, 0, 0}, {0, 120, 0, 0}};
    for (int c = 0; c < kChannels; ++c) {
      s.data.types[static_cast<size_t>(c)] = types[c];
      s.coefficients.c[static_cast<size_t>(c)] = coefficients[c];
    }
    DerivedUnits& u = s.settings.derived;
    u.depthOn = u.salinityOn = u.specificConductivityOn = u.soundSpeedOn = u.oxygenOn = true;
    u.depthSeawater = true;
    u.latitudeDegrees = 45;
    // A slow profile with some noise in the low bits, and a few bad words.
    words.resize(size_t{kSamples} * kChannels);
    uint32_t noise = 12345;
    for (int i = 0; i < kSamples; ++i) {
      const double phase = static_cast<double>(i) / kSamples;
      const uint32_t base[kChannels] = {static_cast<uint32_t>((0.3 + 0.4 * phase) * 16777216),
                                        static_cast<uint32_t>((0.4 + 0.3 * phase) * 16777216),
                                        static_cast<uint32_t>((0.01 + 0.6 * phase) * 16777216),
                                        static_cast<uint32_t>((0.5 + 0.3 * phase) * 16777216)};
      for (int c = 0; c < kChannels; ++c) {
        noise = noise * 1664525u + 1013904223u;
        words[static_cast<size_t>(i) * kChannels + static_cast<size_t>(c)] =
            (i % 10007 == 0 && c == 0) ? 0u : (base[c] + (noise >> 24)) & 0xFFFFFE;
      }
    }
  }

  // What the decoder does per reading: rollover, equation, float store,
  // running minimum and maximum.
  void convert() {
    DataSet& d = s.data;
    d.measuredChannels = d.totalChannels = kChannels;
    d.sampleCount = kSamples;
    d.stride = kSamples + 2;
    for (int c = 0; c < kChannels; ++c) {
      const uint8_t type = d.types[static_cast<size_t>(c)];
      const Coefficients& k = s.coefficients.c[static_cast<size_t>(c)];
      float* row = d.row(c);
      ChannelRange range;
      for (int i = 0; i < kSamples; ++i) {
        const uint32_t word = words[static_cast<size_t>(i) * kChannels + static_cast<size_t>(c)];
        const float v =
            StoredValue(ConvertRaw(CorrectRollover(word, type, 0xFF, false), type, k, false));
        row[i] = v;
        range.add(v);
      }
      range.store(row, kSamples);
    }
  }
};

void BM_ConvertAndDeriveFullStore(benchmark::State& state) {
  Bench b;
  for (auto _ : state) {
    b.convert();
    AppendDerivedChannels(b.s);
    benchmark::DoNotOptimize(b.s.data.rows.get());
  }
  state.counters["readings"] = kReadings;
  state.counters["derived"] = b.s.data.totalChannels - kChannels;
}
BENCHMARK(BM_ConvertAndDeriveFullStore)->Unit(benchmark::kMillisecond);

// The same readings stored as floats with no equation, rollover or range:
// the memory traffic every conversion pays. Both figures above are read
// against it.
void BM_StoreOnlyFullStore_Baseline(benchmark::State& state) {
  Bench b;
  DataSet& d = b.s.data;
  d.stride = kSamples + 2;
  for (auto _ : state) {
    for (int c = 0; c < kChannels; ++c) {
      float* row = d.row(c);
      for (int i = 0; i < kSamples; ++i)
        row[i] = static_cast<float>(
            b.words[static_cast<size_t>(i) * kChannels + static_cast<size_t>(c)]);
    }
    benchmark::DoNotOptimize(d.rows.get());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_StoreOnlyFullStore_Baseline)->Unit(benchmark::kMillisecond);

void BM_DeriveOnlyFullStore(benchmark::State& state) {
  Bench b;
  b.convert();
  for (auto _ : state) {
    AppendDerivedChannels(b.s);
    benchmark::DoNotOptimize(b.s.data.rows.get());
  }
}
BENCHMARK(BM_DeriveOnlyFullStore)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kts
