// One picture of the main window, drawn by a real X server: a window that
// paints nothing (a broken platform plugin, a central widget that lost its
// children) comes out as one flat colour.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QScreen>
#include <QSet>
#include <QTest>

#include "gui_rig.h"
#include "platform/status_line.h"

namespace {
const char* g_outputPath = nullptr;
}

namespace kts::test {
namespace {

TEST(Screenshot, MainWindowIsDrawn) {
  GuiRig r;
  ASSERT_TRUE(r.start());
  r.s->app.sampleCount = 0;
  ShowStatus(r.ui, "Ready");
  ASSERT_TRUE(QTest::qWaitForWindowExposed(r.window.get()));
  QTest::qWait(200);  // let the window manager-less server settle the first paint
  const QImage image = r.window->grab().toImage();
  ASSERT_FALSE(image.isNull());
  EXPECT_GE(image.width(), 900);
  EXPECT_GE(image.height(), 400);
  if (g_outputPath) image.save(g_outputPath);

  QSet<QRgb> colours;
  int nonBackground = 0;
  const QRgb corner = image.pixel(0, image.height() / 2);
  for (int y = 0; y < image.height(); y += 3)
    for (int x = 0; x < image.width(); x += 3) {
      const QRgb p = image.pixel(x, y);
      colours.insert(p);
      if (p != corner) ++nonBackground;
    }
  EXPECT_GT(colours.size(), 8) << "a blank window has one or two colours";
  EXPECT_GT(nonBackground, 1000);
}

}  // namespace
}  // namespace kts::test

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  if (argc > 1) g_outputPath = argv[1];
  return RUN_ALL_TESTS();
}
