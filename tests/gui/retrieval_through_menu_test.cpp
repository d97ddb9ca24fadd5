#include <gtest/gtest.h>

#include <QPushButton>

#include "frame/command_ids.h"
#include "gui/retrieval_view.h"
#include "gui_rig.h"
#include "modal.h"
#include "sim/simulated_logger.h"

namespace kts::test {
namespace {

// "&Retrieve data" on a simulated logger that has finished logging: the
// screen opens, "Retrieve Data" reads the memory one block per tick, and
// the plot shows the decoded channels.
TEST(RetrievalThroughTheMenu, EndsWithTheDataOnThePlot) {
  sim::SimOptions options;
  options.profile = "extended";
  options.settings = {"status = 4", "records = 300"};
  std::string error;
  auto logger = sim::SimulatedLogger::Start(options, &error);
  ASSERT_TRUE(logger) << error;

  GuiRig r;
  ASSERT_TRUE(r.start());
  r.s->ports.loggerDevice = logger->path();
  r.s->ports.currentBaud = logger->profile().baud;
  r.clock.realSleeps = true;

  r.window->action(kCmdRetrieveData)->trigger();
  gui::RetrievalView* view = r.window->retrievalView();
  ASSERT_NE(view, nullptr) << r.status().toStdString();
  EXPECT_EQ(r.s->app.activeDialogCommand, kCmdRetrieveData);
  EXPECT_EQ(view->mainButton()->text(), "Retrieve Data");

  // Whatever is asked on the way (saving the data at the end) is declined.
  auto asking = std::make_shared<bool>(true);
  RejectModalsWhile(asking);
  view->mainButton()->click();
  for (int tick = 0; tick < 2000 && r.s->app.retrievalInProgress; ++tick) r.window->tick();
  *asking = false;
  EXPECT_FALSE(r.s->app.retrievalInProgress);
  EXPECT_EQ(r.s->data.sampleCount, 300) << r.status().toStdString();
  EXPECT_EQ(r.s->app.sampleCount, 300);
  EXPECT_TRUE(r.s->app.retrievedDataPresent);
  EXPECT_FALSE(r.s->app.retrievedDataSaved) << "declined: still protected by the question";
}

}  // namespace
}  // namespace kts::test
