// A full repaint of the plot widget, offscreen into an image: 8 channels ×
// 350,000 samples across 1,000 pixels (grid, traces, stamp marks, cursor).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <algorithm>

#include "core/session.h"
#include "../bench_session.h"
#include "frame/plot_model.h"
#include "gui/plot_widget.h"
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
  gui::PlotWidget* widget = nullptr;

  explicit Rig(const char* types) {
    DataSet& d = s.data;
    d.measuredChannels = d.totalChannels = kChannels;
    d.sampleCount = kSamples;
    d.stride = kSamples + 2;
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
    for (int k = 0; k < 350; ++k) {  // a time stamp every 1,000 samples
      StampEntry& e = d.stamps[static_cast<size_t>(k)];
      e.sampleIndex = k * 1000;
      e.type = kStampTime;
    }
    d.stampCount = 350;
    s.plot.plotWidth = kWidth;
    widget = new gui::PlotWidget(s);
    widget->startDisplay();
    SetCursorAt(s, kWidth / 2);
  }
};

QApplication& App() {
  static int argc = 1;
  static char name[] = "plot_paint_bench";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  return *app;
}

void Repaint(benchmark::State& state, const char* types, uint32_t mask = 0xFF) {
  App();
  static Rig* thin = nullptr;
  static Rig* thick = nullptr;
  Rig*& rig = types[0] == 'A' ? thick : thin;
  if (rig == nullptr) rig = new Rig(types);  // built once: the row store is 36 MiB
  rig->s.plot.channelMask = mask;
  QWidget* area = rig->widget->plotArea();
  QImage image(area->size(), QImage::Format_RGB32);
  for (auto _ : state) {
    area->render(&image);
    benchmark::DoNotOptimize(image.constBits());
  }
  state.SetItemsProcessed(state.iterations() * int64_t{kChannels} * kSamples);
}

// 1-pixel traces, and the 3-pixel traces of depth and wave height.
void BM_PaintWholeDataSet(benchmark::State& state) {
  Repaint(state, "TPCDYRHF");
}
void BM_PaintWholeDataSetThickPens(benchmark::State& state) {
  Repaint(state, "AAAAAAAA");
}
// The grid, stamp marks and cursor alone, for what the traces add.
void BM_PaintWithoutTraces(benchmark::State& state) {
  Repaint(state, "TPCDYRHF", 0);
}
BENCHMARK(BM_PaintWholeDataSet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintWithoutTraces)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintWholeDataSetThickPens)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
