// The kts-sim command line.
#pragma once

#include <string>
#include <vector>

#include "sim/simulated_logger.h"

namespace kts::sim {

struct CommandLine {
  SimOptions sim;
  std::string link;  // publish the slave path as this symlink
  bool help = false;
  bool listProfiles = false;
};

// False with a message naming the bad option.
bool ParseCommandLine(const std::vector<std::string>& args, CommandLine* out, std::string* error);
std::string UsageText();

}  // namespace kts::sim
