// Writing the .dat rows of 700,000 samples of four channels and four
// derived ones with date and time columns, against plain fprintf of the
// same numbers in the same formats.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "bench_session.h"
#include "convert/derived_channels.h"
#include "data/data_files.h"
#include "data/row_times.h"

namespace {

using namespace kts;

constexpr int kSamples = 700'000;

void FillDataSet(Session& s) {
  DataSet& d = s.data;
  d.context.identity.model = "QZ-740";
  d.context.identity.firmware = 6.0f;
  d.context.description.capabilityWordsRead = true;
  d.measuredChannels = 4;
  d.totalChannels = 4;
  d.types = {'T', 'P', 'C', 'D'};
  d.sampleCount = kSamples;
  d.stride = kSamples + 2;
  d.startTime = MakeTime(2024, 1, 1);
  d.samplePeriod = MakePeriod(0, 0, 10);
  d.stampCount = 0;
  for (int i = 0; i < kSamples; ++i) {
    d.row(0)[i] = 12.0f + 3.0f * std::sin(i * 0.001f);
    d.row(1)[i] = 50.0f + 40.0f * std::sin(i * 0.0003f);
    d.row(2)[i] = 42.0f + 2.0f * std::cos(i * 0.002f);
    d.row(3)[i] = 95.0f + 5.0f * std::sin(i * 0.0007f);
  }
  s.settings.derived.depthOn = true;
  s.settings.derived.salinityOn = true;
  s.settings.derived.soundSpeedOn = true;
  s.settings.derived.oxygenOn = true;
  AppendDerivedChannels(s);
}

std::string TempPath(const char* name) {
  return (std::filesystem::temp_directory_path() / name).string();
}

void BM_WriteDatFile(benchmark::State& state) {
  bench::BenchSession b;
  FillDataSet(b.s);
  const std::string path = TempPath("kts-dat-write-bench.dat");
  for (auto _ : state) WriteDatFile(b.s, path, "benchmark", 2);
  const auto bytes = static_cast<int64_t>(std::filesystem::file_size(path));
  state.SetBytesProcessed(state.iterations() * bytes);
  state.counters["channels"] = b.s.data.totalChannels;
  std::filesystem::remove(path);
}
BENCHMARK(BM_WriteDatFile)->Unit(benchmark::kMillisecond);

// The same rows through fprintf, for comparison (no header, no sync).
void BM_PrintfSameRows(benchmark::State& state) {
  bench::BenchSession b;
  FillDataSet(b.s);
  const DataSet& d = b.s.data;
  const std::string path = TempPath("kts-dat-printf-bench.dat");
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    RowTimes times(d);
    for (int i = 0; i < d.sampleCount; ++i) {
      const TimeRecord t = times.next();
      std::fprintf(f, "%04d/%02d/%02d ", t.year, t.month, t.day);
      std::fprintf(f, "%02d:%02d:%02d ", t.hour, t.minute, t.second);
      for (int c = 0; c < d.totalChannels; ++c) std::fprintf(f, "%9.4f ", d.row(c)[i]);
      std::fputc('\n', f);
    }
    std::fclose(f);
  }
  const auto bytes = static_cast<int64_t>(std::filesystem::file_size(path));
  state.SetBytesProcessed(state.iterations() * bytes);
  std::filesystem::remove(path);
}
BENCHMARK(BM_PrintfSameRows)->Unit(benchmark::kMillisecond);

}  // namespace
