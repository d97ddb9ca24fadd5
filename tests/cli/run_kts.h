// Runs the real `kts` program as a user's shell would, with its output and
// exit status captured, and a simulated logger to point it at.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sim/simulated_logger.h"

namespace kts::test {

struct RunResult {
  int exitStatus = -1;  // −1: killed (it ran past the safety limit) or not started
  std::string out;
  std::string err;
};

// Runs the kts program with `args` in `directory` (the current directory
// when empty). The run is killed after `limitSeconds`, so a hanging
// command fails the test instead of the whole suite.
RunResult RunKts(const std::vector<std::string>& args, const std::string& directory = {},
                 int limitSeconds = 120);

// A simulated logger of a built-in profile with extra "key = value" lines.
std::unique_ptr<sim::SimulatedLogger> StartLogger(const std::string& profile,
                                                  std::vector<std::string> settings = {},
                                                  sim::Faults faults = {});

// A fresh empty directory under the test's temporary area.
std::string MakeTempDirectory();

std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);

}  // namespace kts::test
