#include <gtest/gtest.h>

#include "frame/command_ids.h"
#include "frame_fixture.h"

namespace kts::test {
namespace {

TEST(SetupSimulation, SetupWithoutALoggerOpensTheChosenSetupScreen) {
  FrameRig r;
  r.s().ports.loggerDevice = r.base.file("no-logger");
  r.w.dialogActions[DialogId::SetupSimulation] = [&] {
    r.s().description.waves = true;  // the tide-and-wave logger was chosen
    return 1;
  };
  r.frame->runCommand(kCmdSetup);
  EXPECT_EQ(r.w.dialogs, (std::vector<DialogId>{DialogId::SetupSimulation, DialogId::HkvSetup}));

  r.w.dialogs.clear();
  r.w.dialogResults[DialogId::SetupSimulation] = 0;
  r.w.dialogActions.clear();
  r.frame->runCommand(kCmdSetup);
  EXPECT_EQ(r.w.dialogs, std::vector<DialogId>{DialogId::SetupSimulation}) << "cancelled";
}

}  // namespace
}  // namespace kts::test
