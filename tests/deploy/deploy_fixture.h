// A session set up as a connected logger with a known clock, for the
// deployment model tests.
#pragma once

#include <gtest/gtest.h>

#include <string_view>

#include "core/session.h"
#include "core/time_math.h"
#include "test_session.h"

namespace kts::test {

class DeployTest : public ::testing::Test {
 protected:
  TestSession t;
  Session& s = t.s;
  DeploymentParameters& d = t.s.deployment;
  const TimeRecord loggerNow = MakeTime(2026, 12, 7, 12, 0, 0);

  void SetUp() override {
    t.clock.realSleeps = false;
    t.clock.set(loggerNow);
    d.loggerTime = loggerNow;
    d.hostTime = loggerNow;
    d.startTime = AddSeconds(loggerNow, 3600);
    d.endTime = AddSeconds(loggerNow, 86400 + 3600);
    d.samplingPeriod = MakePeriod(0, 1, 0);
    s.link.identity.model = "QZ-740";
    s.link.identity.firmware = 4.5f;
    s.link.identity.serial = 42;
    UseChannels("TPC");
  }

  void UseChannels(std::string_view types) {
    s.description.channelCount = static_cast<int>(types.size());
    for (size_t i = 0; i < types.size(); ++i)
      s.description.channelTypes[i] = static_cast<uint8_t>(types[i]);
  }

  // The times of a deployment of `seconds` starting an hour from now.
  void LastingSeconds(int64_t seconds) {
    d.startTime = AddSeconds(loggerNow, 3600);
    d.endTime = AddSeconds(d.startTime, seconds);
  }
};

}  // namespace kts::test
