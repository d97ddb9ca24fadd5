// Reading a .hex file of a full 8 MiB image (a 16 MiB file): the header,
// the hex digits into the image store, and the decode of three channels.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench_session.h"
#include "core/bcd.h"
#include "data/data_files.h"
#include "data/decode_image.h"

namespace {

using namespace kts;

void FillFullImage(MemoryImage& image) {
  uint8_t* p = image.bytes.get();
  int n = 30;
  std::fill(p, p + n, 0);
  uint32_t x = 12345;
  const auto word = [&](uint32_t w) {
    p[n++] = static_cast<uint8_t>(w >> 16);
    p[n++] = static_cast<uint8_t>(w >> 8);
    p[n++] = static_cast<uint8_t>(w);
  };
  for (int record = 0; n + 21 <= MemoryImage::kCapacity; ++record) {
    if (record % 1000 == 0) {
      word(0);
      p[n++] = 'T', p[n++] = 'I', p[n++] = 'M';
      PackBcd(MakeTime(2024, 1, 1 + record / 10000 % 28, 12), p + n);
      n += 6;
    }
    x = x * 1103515245u + 12345u;
    word(0x300000 + (x >> 12) % 0x400000);
    word(0x100000 + (x >> 4) % 0x200000);
    word(0x200000 + (x >> 8) % 0x300000);
  }
  image.length = n;
}

std::string WriteFullHexFile(Session& s) {
  s.link.identity.model = "QZ-740";
  s.link.identity.firmware = 3.0f;
  s.description.channelCount = 3;
  s.description.channelTypes = {'T', 'P', 'C'};
  s.coefficients.c[0] = {1.2e-3, 2.3e-4, 0.0, 9.0e-8};
  s.coefficients.c[1] = {-10.0, 500.0, 0.0, 0.0};
  s.coefficients.c[2] = {0.0, 70000.0, 100.0, 0.0};
  FillFullImage(s.image);
  s.data.startTime = MakeTime(2024, 1, 1);
  s.data.samplePeriod = MakePeriod(0, 0, 10);
  DecodeImage(s, true);
  const std::string path =
      (std::filesystem::temp_directory_path() / "kts-hex-read-bench.hex").string();
  WriteHexFile(s, path, "benchmark", 0);
  return path;
}

void BM_ReadFullHexFile(benchmark::State& state) {
  bench::BenchSession writer;
  const std::string path = WriteFullHexFile(writer.s);
  const auto bytes = static_cast<int64_t>(std::filesystem::file_size(path));
  bench::BenchSession reader;
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    ReadHexStream(reader.s, f, path);
    std::fclose(f);
    benchmark::DoNotOptimize(reader.s.data.sampleCount);
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  state.counters["image_bytes"] = reader.s.image.length;
  std::filesystem::remove(path);
}
BENCHMARK(BM_ReadFullHexFile)->Unit(benchmark::kMillisecond);

}  // namespace
