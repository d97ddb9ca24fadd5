// Writing and reading a full data set as a MATLAB file (700,000 samples of
// four measured channels, two derived channels, a stamp every 1,000
// samples), each beside the time to copy the same bytes to disk and back:
// a save is a write of a file of the .mat's size under a temporary name,
// synced and renamed; a read is a read of those bytes.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "convert/derived_channels.h"
#include "core/session.h"
#include "bench_session.h"
#include "data/atomic_file.h"
#include "data/decoder.h"
#include "data/matlab_file.h"
#include "platform/clipboard.h"
#include "platform/host_clock.h"
#include "platform/serial_port.h"

namespace {

using namespace kts;

constexpr int kSamples = 700'000;

using bench::QuietUi;

struct Bench {
  QuietUi ui;
  SystemClock clock;
  TermiosOpener opener;
  NoClipboard clipboard;
  Session s{ui, clock, opener, clipboard};
  std::string dir;

  Bench() {
    char pattern[] = "/tmp/kts-mat-bench-XXXXXX";
    dir = ::mkdtemp(pattern) ? pattern : "/tmp";
    DataSet& d = s.data;
    d.context.identity.model = "QZ-740";
    d.context.identity.firmware = 5.12f;
    d.context.identity.serial = 4711;
    d.measuredChannels = d.totalChannels = 4;
    d.types = {'T', 'C', 'P', 'D'};
    d.sampleCount = kSamples;
    d.stride = kSamples + 2;
    uint32_t x = 12345;
    for (int c = 0; c < 4; ++c) {
      float* row = d.row(c);
      for (int i = 0; i < kSamples; ++i) {
        x = x * 1103515245u + 12345u;
        row[i] = 5.0f + 10.0f * static_cast<float>(c) + static_cast<float>(x >> 8) / 16777216.0f;
      }
      row[kSamples] = 0.0f;
      row[kSamples + 1] = 50.0f;
    }
    d.startTime = MakeTime(2026, 1, 1);
    d.samplePeriod = MakePeriod(0, 0, 10);
    d.stampCount = kSamples / 1000;
    for (int k = 0; k < d.stampCount; ++k) {
      d.stamps[static_cast<size_t>(k)].sampleIndex = k * 1000;
      d.stamps[static_cast<size_t>(k)].time = MakeTime(2026, 1, 1 + k / 100, k % 24);
    }
    AssignStampMarkers(d);
    s.settings.derived.salinityOn = true;
    s.settings.derived.depthOn = true;
    AppendDerivedChannels(s);
  }
  ~Bench() { std::filesystem::remove_all(dir); }
  std::string file(const char* name) const { return dir + "/" + name; }
};

Bench& Shared() {
  static Bench b;
  return b;
}

void Write(benchmark::State& state, int frequency, int format) {
  Bench& b = Shared();
  b.s.settings.matlabFrequency = frequency;
  b.s.settings.matlabFormat = format;
  const std::string path = b.file("data.mat");
  for (auto _ : state)
    if (WriteMatFile(b.s, path) != 1) state.SkipWithError("write failed");
  const auto bytes = static_cast<int64_t>(std::filesystem::file_size(path));
  state.SetBytesProcessed(state.iterations() * bytes);
  state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_WriteMat_StartTimeText(benchmark::State& state) { Write(state, 0, 0); }
void BM_WriteMat_EverySampleDatenum(benchmark::State& state) { Write(state, 1, 1); }
void BM_WriteMat_EverySampleText(benchmark::State& state) { Write(state, 1, 0); }

// The same number of bytes as the start-time .mat, written the same way.
void BM_CopyBytesToDisk(benchmark::State& state) {
  Bench& b = Shared();
  b.s.settings.matlabFrequency = 0;
  b.s.settings.matlabFormat = 0;
  const std::string mat = b.file("copy-source.mat");
  WriteMatFile(b.s, mat);
  std::string bytes(std::filesystem::file_size(mat), '\0');
  std::FILE* f = std::fopen(mat.c_str(), "rb");
  if (f == nullptr || std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) state.SkipWithError("read");
  if (f != nullptr) std::fclose(f);
  const std::string path = b.file("copy.bin");
  for (auto _ : state)
    if (!WriteFileAtomically(path, bytes)) state.SkipWithError("write failed");
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}

void BM_ReadMat(benchmark::State& state) {
  Bench& b = Shared();
  b.s.settings.matlabFrequency = 0;
  b.s.settings.matlabFormat = 0;
  const std::string path = b.file("read.mat");
  WriteMatFile(b.s, path);
  static Bench* reader = new Bench;  // a second session to read into
  reader->s.settings.derived = b.s.settings.derived;
  reader->s.settings.derived.depthOn = reader->s.settings.derived.salinityOn = state.range(0) == 1;
  for (auto _ : state)
    if (ReadMatFile(reader->s, path) != 1) state.SkipWithError("read failed");
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(path)));
}

// Reading the same bytes back into memory.
void BM_CopyBytesFromDisk(benchmark::State& state) {
  Bench& b = Shared();
  const std::string path = b.file("read.mat");
  b.s.settings.matlabFrequency = 0;
  WriteMatFile(b.s, path);
  std::vector<char> buffer(std::filesystem::file_size(path));
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr || std::fread(buffer.data(), 1, buffer.size(), f) != buffer.size())
      state.SkipWithError("read failed");
    if (f != nullptr) std::fclose(f);
    benchmark::DoNotOptimize(buffer.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(buffer.size()));
}

BENCHMARK(BM_WriteMat_StartTimeText)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteMat_EverySampleDatenum)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteMat_EverySampleText)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CopyBytesToDisk)->Unit(benchmark::kMillisecond)->UseRealTime();
// Argument 1: the derived channels are computed after the read, as in use;
// 0: the file alone.
BENCHMARK(BM_ReadMat)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CopyBytesFromDisk)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
