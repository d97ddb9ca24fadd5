#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "frame/command_ids.h"
#include "frame/copy_registry.h"
#include "frame_fixture.h"

namespace kts::test {
namespace {

// Other running copies: each holds the lock of its slot.
std::vector<std::unique_ptr<CopyRegistry>> Running(const std::string& dir,
                                                   std::initializer_list<int> slots) {
  std::vector<std::unique_ptr<CopyRegistry>> copies;
  for (int slot : slots) {
    copies.push_back(std::make_unique<CopyRegistry>(dir));
    EXPECT_TRUE(copies.back()->claim(slot)) << slot;
  }
  return copies;
}

constexpr const char* kQuestion =
    "You are trying to open copy number 2 of the KTS Windows Software.\nDo you want to continue?";

TEST(MultipleCopies, NinthCopyIsRefusedWithTheLimitMessage) {
  FrameRig r;
  r.base.write("kts_copies.ini", "Allow multiple copies\n");
  auto others = Running(r.registry.path(), {0, 1, 2, 3, 4, 5, 6, 7});
  EXPECT_FALSE(r.frame->startUp(r.options()));
  ASSERT_EQ(r.ui().messages.size(), 1u);
  EXPECT_EQ(r.ui().messages[0].text,
            "8 copies of KTS Windows Software are now running.\nThis is the limit allowed.\n\n"
            "This attempt to run another copy will terminate.");
  EXPECT_EQ(r.ui().messages[0].caption, "Multiple copies");
  EXPECT_TRUE(r.frame->exited());
  EXPECT_FALSE(r.w.timerRunning);
}

TEST(MultipleCopies, SecondCopyWithoutPermissionClosesSilently) {
  for (const char* file : {"", "Single copy only\n", "Allow\n"}) {
    FrameRig r;
    if (*file) r.base.write("kts_copies.ini", file);
    auto first = Running(r.registry.path(), {0});
    EXPECT_FALSE(r.frame->startUp(r.options())) << file;
    EXPECT_TRUE(r.ui().messages.empty()) << r.ui().messageTexts();
    EXPECT_TRUE(r.frame->exited());
  }
}

TEST(MultipleCopies, SecondCopyAsksAndIsNumbered) {
  FrameRig r;
  r.base.write("kts_copies.ini", "Allow multiple copies\n");
  auto first = Running(r.registry.path(), {0});
  r.ui().answers.push_back(Answer::Yes);
  ASSERT_TRUE(r.frame->startUp(r.options()));
  ASSERT_EQ(r.ui().messages.size(), 1u);
  const Message& q = r.ui().messages[0];
  EXPECT_EQ(q.text, kQuestion);
  EXPECT_EQ(q.caption, "KTS Windows Software - Multiple copy");
  EXPECT_EQ(q.buttons, Buttons::YesNo);
  EXPECT_EQ(q.defaultAnswer, Answer::No);
  EXPECT_EQ(r.s().settings.copyIndex, 1);
  EXPECT_EQ(r.w.titleText, "Copy 2 : KTS Data Loggers");
  EXPECT_EQ(r.w.x, 140 + 20);
  EXPECT_EQ(r.w.y, 10 + 30);
  EXPECT_TRUE(r.base.exists("kts.002.ini"));
  EXPECT_FALSE(r.w.commandEnabled.at(kCmdAllowMultipleCopies)) << "greyed in a further copy";
  EXPECT_EQ(r.frame->copies()->claimedSlot(), 1);
}

TEST(MultipleCopies, AnsweringNoEndsTheCopy) {
  FrameRig r;
  r.base.write("kts_copies.ini", "Allow multiple copies\n");
  auto first = Running(r.registry.path(), {0});
  r.ui().answers.push_back(Answer::No);
  EXPECT_FALSE(r.frame->startUp(r.options()));
  EXPECT_TRUE(r.frame->exited());
  EXPECT_FALSE(r.base.exists("kts.002.ini"));
}

TEST(MultipleCopies, FirstFreeSlotIsTaken) {
  FrameRig r;
  r.base.write("kts_copies.ini", "Allow multiple copies\n");
  auto others = Running(r.registry.path(), {0, 2});
  r.ui().answers.push_back(Answer::Yes);
  ASSERT_TRUE(r.frame->startUp(r.options()));
  EXPECT_EQ(r.ui().messages.at(0).text, kQuestion);
  EXPECT_EQ(r.s().settings.copyIndex, 1);
}

TEST(MultipleCopies, FirstCopyIsAcceptedWithoutAQuestion) {
  FrameRig r;
  auto others = Running(r.registry.path(), {3});  // a later copy still running
  ASSERT_TRUE(r.frame->startUp(r.options()));
  EXPECT_TRUE(r.ui().messages.empty()) << r.ui().messageTexts();
  EXPECT_EQ(r.s().settings.copyIndex, 0);
  EXPECT_EQ(r.w.titleText, "KTS Data Loggers");
}

TEST(CopyRegistry, SlotsFreeWhenTheirCopyEnds) {
  TempDir dir;
  CopyRegistry probe(dir.path());
  EXPECT_EQ(probe.runningMask(), 0);
  {
    auto copies = Running(dir.path(), {0, 1, 5});
    EXPECT_EQ(probe.runningMask(), 0b100011);
    CopyRegistry again(dir.path());
    EXPECT_FALSE(again.claim(1)) << "a held slot is not shared";
  }
  EXPECT_EQ(probe.runningMask(), 0) << "the locks went with their holders";
  EXPECT_EQ(FirstFreeSlot(0b100011), 2);
  EXPECT_EQ(FirstFreeSlot(0xFF), 8);
  EXPECT_EQ(FirstFreeSlot(0), 0);
}

}  // namespace
}  // namespace kts::test
