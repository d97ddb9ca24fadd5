// The plot widget painting offscreen into an image, and its mouse and key
// input reaching the view model.
#include "gui/plot_widget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <cmath>

#include "convert/channel_range.h"
#include "frame/plot_geometry.h"
#include "frame/plot_model.h"
#include "gui/channel_button.h"
#include "test_session.h"

// Fontconfig keeps its caches for the life of the process; under
// LeakSanitizer that is not a leak of ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace kts::test {
namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "gui_plot_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  return *app;
}

class PlotWidgetTest : public ::testing::Test {
 protected:
  TestSession t;
  Session& s = t.s;

  void SetUp() override { App(); }

  void load(const std::string& types, int n) {
    DataSet& d = s.data;
    d.measuredChannels = d.totalChannels = static_cast<int>(types.size());
    d.sampleCount = n;
    d.stride = n + 2;
    d.startTime = MakeTime(2024, 3, 5, 12, 0, 0);
    for (int c = 0; c < d.totalChannels; ++c) {
      d.types[static_cast<size_t>(c)] = static_cast<uint8_t>(types[static_cast<size_t>(c)]);
      ChannelRange range;
      for (int i = 0; i < n; ++i) {
        d.row(c)[i] = static_cast<float>(std::sin(i * 0.001 + c) * 10.0 + c * 5);
        range.add(d.row(c)[i]);
      }
      range.store(d.row(c), n);
    }
    s.plot.plotWidth = 803;
  }

  static QImage Render(QWidget* w) {
    QImage image(w->size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    w->render(&image);
    return image;
  }
  static int Count(const QImage& image, QRgb colour, int column = -1) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if ((column < 0 || x == column) && (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
          ++n;
    return n;
  }
  gui::ChannelButton* Button(gui::PlotWidget& w, int channel) {
    for (gui::ChannelButton* b : w.findChildren<gui::ChannelButton*>())
      if (b->channel() == channel) return b;
    return nullptr;
  }
};

TEST_F(PlotWidgetTest, PaintsEachPlottedChannelInItsColourOverTheGrid) {
  load("TP", 350'000);
  gui::PlotWidget w(s);
  w.startDisplay();
  QImage image = Render(w.plotArea());
  ASSERT_EQ(image.width(), 803);
  ASSERT_EQ(image.height(), kPlotHeight);
  const QRgb yellow = kChannelColours[0], red = kChannelColours[1];
  EXPECT_GT(Count(image, yellow), 800);  // one trace across every column
  EXPECT_GT(Count(image, red), 800);
  EXPECT_GT(Count(image, kGridLight), 10'000);
  for (int x : {1, 200, 400, 799}) {  // continuous: no column left out
    EXPECT_GT(Count(image, yellow, x) + Count(image, red, x), 0) << "column " << x;
  }
  EXPECT_EQ(Count(image, 0xFF00FF), 0);  // every pixel painted

  // A plain click on channel 2's button leaves only the red trace; Shift
  // adds channel 1 again.
  QTest::mouseClick(Button(w, 1), Qt::LeftButton);
  EXPECT_EQ(s.plot.channelMask, 0b10u);
  image = Render(w.plotArea());
  EXPECT_EQ(Count(image, yellow), 0);
  EXPECT_GT(Count(image, red), 800);
  QTest::mouseClick(Button(w, 0), Qt::LeftButton, Qt::ShiftModifier);
  EXPECT_EQ(s.plot.channelMask, 0b11u);
  EXPECT_GT(Count(Render(w.plotArea()), yellow), 800);
  Button(w, 1)->click();  // a click without the mouse: Shift is not remembered
  EXPECT_EQ(s.plot.channelMask, 0b10u);
}

TEST_F(PlotWidgetTest, MouseAndKeysReachTheView) {
  load("TP", 8001);
  gui::PlotWidget w(s);
  w.startDisplay();
  QSignalSpy readouts(&w, &gui::PlotWidget::statusText);

  // Left click: the cursor, its white line and its read-out.
  QTest::mouseClick(w.plotArea(), Qt::LeftButton, {}, QPoint(400, 100));
  ASSERT_TRUE(s.plot.cursorActive);
  EXPECT_EQ(s.plot.cursorSample, 4000);  // 400 pixels at 10 readings per pixel
  ASSERT_GE(readouts.count(), 1);
  EXPECT_TRUE(readouts.last().at(0).toString().startsWith("2024/Mar/0"));
  EXPECT_GT(Count(Render(w.plotArea()), 0xFFFFFF, 400), 200);

  // Right-drag: a zoom box, which switches the cursor off.
  const float before = s.plot.readingsPerDivision;
  QTest::mousePress(w.plotArea(), Qt::RightButton, {}, QPoint(200, 60));
  QTest::mouseMove(w.plotArea(), QPoint(400, 160));
  QTest::mouseRelease(w.plotArea(), Qt::RightButton, {}, QPoint(400, 160));
  EXPECT_FALSE(s.plot.cursorActive);
  EXPECT_LT(s.plot.readingsPerDivision, before);
  EXPECT_EQ(s.plot.scrollOffset, SampleAtX(s.plot, 0));

  // The horizontal scroll bar pages through the data.
  auto* bar = w.findChildren<QScrollBar*>().first();
  ASSERT_EQ(bar->orientation(), Qt::Horizontal);
  const int offset = s.plot.scrollOffset;
  bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_GT(s.plot.scrollOffset, offset);
  EXPECT_EQ(bar->value(), s.plot.scrollOffset);

  // "+" and "-" keys step the scale of a single plotted group.
  QTest::mouseClick(Button(w, 0), Qt::LeftButton);
  const float u = s.plot.unitsPerDivision[0];
  QTest::keyClick(w.plotArea(), '-');
  EXPECT_GT(s.plot.unitsPerDivision[0], u);
  QTest::keyClick(w.plotArea(), '+');
  QTest::keyClick(w.plotArea(), '+');
  EXPECT_LT(s.plot.unitsPerDivision[0], u);
  QTest::keyClick(w.plotArea(), 'R');
  EXPECT_FLOAT_EQ(s.plot.unitsPerDivision[0], u);
}

TEST_F(PlotWidgetTest, RepaintingAStripGivesTheSamePixelsAsTheWholePlot) {
  load("TA", 12);  // few samples: lines cross whole strips between them
  gui::PlotWidget w(s);
  w.startDisplay();
  const QImage whole = Render(w.plotArea());
  for (const QRect strip : {QRect(100, 0, 40, kPlotHeight), QRect(0, 0, 7, kPlotHeight),
                            QRect(790, 0, 13, kPlotHeight)}) {
    QImage part = whole.copy();
    part.fill(Qt::magenta);
    w.plotArea()->render(&part, strip.topLeft(), QRegion(strip));
    EXPECT_EQ(part.copy(strip), whole.copy(strip)) << "strip at " << strip.x();
  }
}

TEST_F(PlotWidgetTest, OneSampleAndNoDataPaintSafely) {
  load("TP", 1);
  gui::PlotWidget w(s);
  w.startDisplay();
  const QImage one = Render(w.plotArea());
  EXPECT_GT(Count(one, kChannelColours[0]) + Count(one, kChannelColours[1]), 0);
  QTest::mouseClick(w.plotArea(), Qt::LeftButton, {}, QPoint(500, 100));
  EXPECT_EQ(s.plot.cursorSample, 0);
  Render(&w);

  load("TP", 0);
  w.startDisplay();
  const QImage none = Render(w.plotArea());
  EXPECT_EQ(Count(none, kChannelColours[0]) + Count(none, kChannelColours[1]), 0);
  QTest::mouseClick(w.plotArea(), Qt::LeftButton, {}, QPoint(500, 100));
  EXPECT_FALSE(s.plot.cursorActive);
}

}  // namespace
}  // namespace kts::test
