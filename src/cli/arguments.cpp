#include "cli/arguments.h"

namespace kts::cli {

std::optional<std::string> Arguments::value(const std::string& name) const {
  const auto it = values.find(name);
  if (it == values.end()) return std::nullopt;
  return it->second;
}

bool ParseArguments(int argc, char** argv, int first, const OptionSpec& spec, Arguments& out,
                    std::string& error) {
  bool onlyPositional = false;
  for (int i = first; i < argc; ++i) {
    std::string arg = argv[i];
    if (onlyPositional || arg.size() < 2 || arg[0] != '-' || arg == "-") {
      out.positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      onlyPositional = true;
      continue;
    }
    std::string value;
    bool hasInlineValue = false;
    if (const size_t eq = arg.find('='); eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg = arg.substr(0, eq);
      hasInlineValue = true;
    }
    if (spec.flags.count(arg)) {
      if (hasInlineValue) {
        error = "option " + arg + " takes no value";
        return false;
      }
      out.flags.insert(arg);
    } else if (spec.withValue.count(arg)) {
      if (!hasInlineValue) {
        if (i + 1 >= argc) {
          error = "option " + arg + " needs a value";
          return false;
        }
        value = argv[++i];
      }
      out.values[arg] = value;
    } else {
      error = "unknown option " + arg;
      return false;
    }
  }
  return true;
}

}  // namespace kts::cli
