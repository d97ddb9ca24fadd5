// Retrieval throughput against the simulated logger with line-rate pacing,
// at 19200 and at 115200 baud. The counters give image bytes per second and
// that figure as a share of the line rate (baud / 10 bytes per second).
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "core/session.h"
#include "bench_session.h"
#include "link/capabilities.h"
#include "link/commands.h"
#include "link/connection.h"
#include "link/memory_retrieval.h"
#include "link/serial_link.h"
#include "platform/clipboard.h"
#include "platform/serial_port.h"
#include "sim/simulated_logger.h"

namespace {

using namespace kts;

using bench::QuietUi;

// One channel of 3-byte words: `records` words after the image header.
void BM_Retrieval(benchmark::State& state) {
  const int baud = static_cast<int>(state.range(0));
  const int records = static_cast<int>(state.range(1));
  sim::SimOptions o;
  o.profile = "extended";
  o.settings = {"channels = T", "status = 4", "stamps = none",
                "records = " + std::to_string(records)};
  o.pace = true;
  std::string why;
  std::unique_ptr<sim::SimulatedLogger> logger = sim::SimulatedLogger::Start(o, &why);
  if (!logger) {
    state.SkipWithError(why.c_str());
    return;
  }
  QuietUi ui;
  SystemClock clock;
  TermiosOpener opener;
  NoClipboard clipboard;
  Session s(ui, clock, opener, clipboard);
  s.ports.loggerDevice = logger->path();
  s.ports.currentBaud = logger->profile().baud;
  if (!OpenCommPort(s, PortRole::Logger, s.ports.currentBaud, 0) || !Connect(s) ||
      ReadCapabilities(s) != 1 || CommGet(s, 6) != 1) {
    state.SkipWithError("the simulated logger did not answer");
    return;
  }
  int64_t bytes = 0;
  double seconds = 0.0;
  for (auto _ : state) {
    s.description.expressRate = baud > 19200 ? baud : 0;
    if (!StartRetrieval(s) || s.ports.currentBaud != baud) {
      state.SkipWithError("the rate could not be set");
      return;
    }
    const auto begin = std::chrono::steady_clock::now();
    while (RetrievalTick(s)) {
    }
    const auto end = std::chrono::steady_clock::now();
    FinishRetrieval(s);
    if (!s.retrieval.complete) {
      state.SkipWithError("the retrieval did not complete");
      return;
    }
    const double took = std::chrono::duration<double>(end - begin).count();
    state.SetIterationTime(took);
    seconds += took;
    bytes += s.image.length;
  }
  state.SetBytesProcessed(bytes);
  state.counters["image_bytes"] = static_cast<double>(s.image.length);
  if (seconds > 0) state.counters["line_share"] = bytes / seconds / (baud / 10.0);
}

// About 24 KiB at 19200 and 96 KiB at 115200: some ten seconds each.
BENCHMARK(BM_Retrieval)
    ->Args({19200, 8000})
    ->Args({115200, 32000})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace
