// A small POSIX-style argument reader for the sub-commands: "--name value",
// "--name=value", flags and positional arguments.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kts::cli {

struct OptionSpec {
  std::set<std::string> withValue;  // e.g. "--port", "--out"
  std::set<std::string> flags;      // e.g. "--json", "--yes"
};

struct Arguments {
  std::map<std::string, std::string> values;
  std::set<std::string> flags;
  std::vector<std::string> positional;

  bool has(const std::string& flag) const { return flags.count(flag) != 0; }
  std::optional<std::string> value(const std::string& name) const;
};

// Reads argv from `first` on. On a usage error returns false with a message
// in `error` (the caller exits with status 2).
bool ParseArguments(int argc, char** argv, int first, const OptionSpec& spec, Arguments& out,
                    std::string& error);

}  // namespace kts::cli
