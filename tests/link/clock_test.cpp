#include "link/clock_sync.h"

#include <gtest/gtest.h>

#include "core/session.h"
#include "core/time_math.h"
#include "link/date_time_picker.h"
#include "link/time_keeping.h"
#include "link_rig.h"

namespace kts {
namespace {

using test::LinkRig;
using test::LoggerScript;

// Opens the logger port with the host clock at `now`.
void OpenAt(LinkRig& rig, const TimeRecord& now) {
  ASSERT_TRUE(rig.t.openLogger(rig.peer.path()));
  rig.t.clock.set(now);
}

TEST(SynchronizeClock, WaitsOutSecond59AndSendsTheNextSecond) {
  LinkRig rig{LoggerScript{}};
  OpenAt(rig, MakeTime(2026, 12, 7, 23, 59, 59, 500));
  ASSERT_TRUE(SynchronizeClock(rig.s()));
  // 00:00:00 of the next day and a bit, so the time set is 00:00:01.
  EXPECT_EQ(rig.logger.commands(), (std::vector<std::string>{"J261208000001", "B"}));
  EXPECT_TRUE(rig.t.ui.messages.empty());
}

TEST(SynchronizeClock, AcceptsOneSecondAndRefusesTwo) {
  for (const auto& [clock, good] : {std::pair{"261207120011", true},
                                    {"261207120010", true},
                                    {"261207120013", false},
                                    {"261207115000", false}}) {
    LoggerScript script;
    script.keepsClock = false;
    script.clock = clock;
    LinkRig rig(script);
    OpenAt(rig, MakeTime(2026, 12, 7, 12, 0, 10, 300));  // sets 12:00:11
    EXPECT_EQ(SynchronizeClock(rig.s()), good) << clock;
    if (!good) {
      ASSERT_EQ(rig.t.ui.messages.size(), 1u);
      EXPECT_EQ(rig.t.ui.messages[0].text, "Logger clock has not set properly.\nTry again.");
      EXPECT_EQ(rig.t.ui.messages[0].caption, "Synchronize Clock");
      EXPECT_EQ(rig.t.ui.messages[0].icon, Icon::Error);
    }
  }
}

TEST(SynchronizeClock, AClockThatCannotBeReadIsNotSet) {
  LoggerScript script;
  script.keepsClock = false;
  script.answersClock = false;
  LinkRig rig(script);
  OpenAt(rig, MakeTime(2026, 12, 7, 12, 0, 0));
  // The logger clock from an earlier read happens to match: it must not count.
  rig.s().link.loggerClock = MakeTime(2026, 12, 7, 12, 0, 1);
  EXPECT_FALSE(SynchronizeClock(rig.s()));
  EXPECT_EQ(rig.t.ui.messages.size(), 1u);
}

TEST(TimeKeeping, NextSampleElapsedTimeAndCountdown) {
  SampleSequence seq;
  const TimeRecord t0 = MakeTime(2026, 3, 1, 0, 0, 0);
  EXPECT_FALSE(IsNextSample(seq, t0, 10));  // nothing before it
  EXPECT_TRUE(IsNextSample(seq, AddSeconds(t0, 10), 10));
  EXPECT_TRUE(IsNextSample(seq, AddSeconds(t0, 10), 10));   // the same time again
  EXPECT_FALSE(IsNextSample(seq, AddSeconds(t0, 21), 10));  // a gap
  EXPECT_FALSE(IsNextSample(seq, AddSeconds(t0, 15), 10));  // earlier
  EXPECT_TRUE(IsNextSample(seq, AddSeconds(t0, 20), 10));

  test::FakeClock clock;
  clock.realSleeps = false;
  ElapsedTimer elapsed;
  EXPECT_EQ(ElapsedMsCapped(elapsed, clock), 1000);
  clock.advanceMs(250);
  EXPECT_EQ(ElapsedMsCapped(elapsed, clock), 250);
  clock.advanceMs(5000);
  EXPECT_EQ(ElapsedMsCapped(elapsed, clock), 1000);

  Countdown countdown;
  EXPECT_EQ(CountdownLeft(countdown, clock), 0);
  StartCountdown(countdown, clock);
  EXPECT_EQ(CountdownLeft(countdown, clock), 20);
  clock.advanceMs(1999);
  EXPECT_EQ(CountdownLeft(countdown, clock), 19);
  clock.set(MakeTime(2020, 1, 1));  // the wall clock going back changes nothing
  EXPECT_EQ(CountdownLeft(countdown, clock), 19);
  clock.advanceMs(25000);
  EXPECT_EQ(CountdownLeft(countdown, clock), 0);
}

TEST(DateTimePicker, DefaultEndFillsTheMemoryUpTo365Days) {
  EXPECT_EQ(DefaultDeploymentSeconds(10, 2, MemoryClass::Standard), 3'269'920);
  EXPECT_EQ(DefaultDeploymentSeconds(1, 1, MemoryClass::Large), 1'300'000);
  EXPECT_EQ(DefaultDeploymentSeconds(2, 1, MemoryClass::ExtraLarge), 5'586'912);
  EXPECT_EQ(DefaultDeploymentSeconds(3600, 1, MemoryClass::ExtraLarge), 31'536'000);
  EXPECT_EQ(DefaultDeploymentSeconds(0, 1, MemoryClass::Standard), 31'536'000);  // a day
  EXPECT_EQ(DefaultDeploymentSeconds(10, 0, MemoryClass::Standard), 6'539'840);
  // Sums that would overflow 32 bits are capped, not wrapped.
  EXPECT_EQ(DefaultDeploymentSeconds(86'400, 1, MemoryClass::ExtraLarge), 31'536'000);
}

TEST(DateTimePicker, OpeningShowsAStartAheadAndAnEndAfterIt) {
  const TimeRecord host = MakeTime(2026, 12, 7, 12, 0, 0);
  const TimeRecord period = MakePeriod(0, 0, 10);
  const TimeRecord past = MakeTime(2026, 1, 1);
  const TimeRecord later = MakeTime(2027, 1, 1);

  PickerTimes p = OpenDateTimePicker(past, past, host, false, period, 2, MemoryClass::Standard);
  EXPECT_EQ(p.start, host);
  EXPECT_EQ(p.end, AddSeconds(host, 3'269'920));
  EXPECT_STREQ(p.startLabel, "Start time");
  EXPECT_TRUE(p.startControlsShown);

  p = OpenDateTimePicker(later, MakeTime(2027, 2, 1), host, false, period, 2,
                         MemoryClass::Standard);
  EXPECT_EQ(p.start, later);
  EXPECT_EQ(p.end, MakeTime(2027, 2, 1));  // later than both: kept

  p = OpenDateTimePicker(later, MakeTime(2026, 12, 31), host, false, period, 2,
                         MemoryClass::Standard);
  EXPECT_EQ(p.end, AddSeconds(later, 3'269'920));  // before the start: replaced

  p = OpenDateTimePicker(later, past, host, true, period, 2, MemoryClass::Standard);
  EXPECT_TRUE(p.startNow);
  EXPECT_FALSE(p.startControlsShown);
  EXPECT_STREQ(p.startLabel, "Start time - NOW");
  EXPECT_EQ(p.start, host);
  EXPECT_EQ(p.end, AddSeconds(host, 3'269'920));

  SetPickerStartNow(p, false, host);
  EXPECT_STREQ(p.startLabel, "Start time");
  EXPECT_TRUE(p.startControlsShown);
}

}  // namespace
}  // namespace kts
