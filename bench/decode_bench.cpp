// Decoding a full 8 MiB memory image (three channels, temperature first, a
// time stamp every 1,000 records) into engineering units.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "core/bcd.h"
#include "data/decoder.h"
#include "data/memory_image.h"

namespace {

using namespace kts;

std::vector<uint8_t> FullImage() {
  std::vector<uint8_t> image;
  image.reserve(MemoryImage::kCapacity);
  image.resize(30, 0);  // parameter block
  auto word = [&](uint32_t w) {
    image.push_back(static_cast<uint8_t>(w >> 16));
    image.push_back(static_cast<uint8_t>(w >> 8));
    image.push_back(static_cast<uint8_t>(w));
  };
  uint32_t x = 12345;
  for (int record = 0;; ++record) {
    if (record % 1000 == 0) {
      if (image.size() + 12 > MemoryImage::kCapacity) break;
      word(0);
      image.insert(image.end(), {'T', 'I', 'M'});
      uint8_t bcd[6];
      PackBcd(MakeTime(2024, 1 + record / 200000 % 12, 1 + record / 10000 % 28, 12), bcd);
      image.insert(image.end(), bcd, bcd + 6);
    }
    if (image.size() + 9 > MemoryImage::kCapacity) break;
    x = x * 1103515245u + 12345u;
    word(0x300000 + (x >> 12) % 0x400000);  // temperature
    word(0x100000 + (x >> 4) % 0x200000);   // pressure
    word(0x200000 + (x >> 8) % 0x300000);   // conductivity
  }
  return image;
}

void BM_DecodeFullImage(benchmark::State& state) {
  const std::vector<uint8_t> image = FullImage();
  DecodeContext ctx;
  ctx.identity.model = "QZ-740";
  ctx.identity.firmware = 3.0f;
  ctx.description.channelCount = 3;
  ctx.description.channelTypes = {'T', 'P', 'C'};
  ctx.coefficients.c[0] = {1.2e-3, 2.3e-4, 0.0, 9.0e-8};
  ctx.coefficients.c[1] = {-10.0, 500.0, 0.0, 0.0};
  ctx.coefficients.c[2] = {0.0, 70000.0, 100.0, 0.0};
  DataSet data;
  DecodeInput in;
  in.image = image.data();
  in.length = static_cast<int>(image.size());
  in.context = &ctx;
  in.startTime = MakeTime(2024, 1, 1);
  in.samplePeriod = MakePeriod(0, 0, 10);
  for (auto _ : state) {
    DecodeSamples(in, data);
    benchmark::DoNotOptimize(data.rows.get());
  }
  state.counters["samples"] = data.sampleCount;
  state.counters["stamps"] = data.stampCount;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * in.length);
}
BENCHMARK(BM_DecodeFullImage)->Unit(benchmark::kMillisecond);

// The least any decoder does with the same image: every 3-byte word read
// once and stored as a float. The decoder's figure is read against it.
void BM_DecodeFullImage_Baseline(benchmark::State& state) {
  const std::vector<uint8_t> image = FullImage();
  std::vector<float> store(image.size() / 3);
  for (auto _ : state) {
    const uint8_t* p = image.data();
    for (size_t i = 0; i < store.size(); ++i, p += 3)
      store[i] = static_cast<float>(uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2]);
    benchmark::DoNotOptimize(store.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(image.size()));
}
BENCHMARK(BM_DecodeFullImage_Baseline)->Unit(benchmark::kMillisecond);

}  // namespace
