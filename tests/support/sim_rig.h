// A simulated logger on a pseudo-terminal with a host test session opened
// on it at the logger's rate: the starting point of every host link test.
//
//   test::SimRig rig("qz", {"records = 200"});
//   ASSERT_TRUE(rig.ok()) << rig.error;
//   QueryTagged(rig.s(), "T", "Logger");
//   rig.sim->image();
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sim/simulated_logger.h"
#include "test_session.h"

namespace kts::test {

struct SimRig {
  std::unique_ptr<sim::SimulatedLogger> sim;
  TestSession t;
  std::string error;

  explicit SimRig(const sim::SimOptions& options, int baud = 0) {
    sim = sim::SimulatedLogger::Start(options, &error);
    if (!sim) return;
    if (!t.openLogger(sim->path(), baud ? baud : sim->profile().baud)) {
      error = "cannot open " + sim->path();
      sim.reset();
    }
  }
  SimRig(const std::string& profile, std::vector<std::string> settings = {}, int baud = 0)
      : SimRig(Options(profile, std::move(settings)), baud) {}

  static sim::SimOptions Options(const std::string& profile,
                                 std::vector<std::string> settings = {}) {
    sim::SimOptions o;
    o.profile = profile;
    o.settings = std::move(settings);
    return o;
  }

  bool ok() const { return sim != nullptr; }
  Session& s() { return t.s; }
};

}  // namespace kts::test
