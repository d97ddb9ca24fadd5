#include "cli/command_line.h"

#include <cstdio>

#include "core/session.h"
#include "link/connection.h"
#include "link/serial_link.h"

namespace kts::cli {

int ReadCommandArguments(int argc, char** argv, const char* command, const char* usage,
                         OptionSpec spec, Arguments& args, size_t maxPositional) {
  AddCommonOptions(spec);
  std::string error;
  if (!ParseArguments(argc, argv, 1, spec, args, error)) {
    std::fprintf(stderr, "kts %s: %s\n%s", command, error.c_str(), usage);
    return kUsage;
  }
  // --help wins over everything else on the line, as a user reading about
  // a command expects.
  if (args.has("--help")) {
    std::fputs(usage, stdout);
    return kSuccess;
  }
  if (args.positional.size() > maxPositional) {
    std::fprintf(stderr, "kts %s: unexpected argument \"%s\"\n%s", command,
                 args.positional[maxPositional].c_str(), usage);
    return kUsage;
  }
  return -1;
}

void ReportFailure(CliContext& context, const char* command, const std::string& text) {
  if (text.empty()) return;
  if (text == context.ui.lastShown()) return;  // already on the terminal
  std::string indented;
  for (char c : text) {
    indented += c;
    if (c == '\n') indented += "  ";
  }
  std::fprintf(stderr, "kts %s: %s\n", command, indented.c_str());
}

bool ConnectLogger(CliContext& context, const char* command) {
  Session& s = *context.session;
  if (Connect(s)) return true;
  // Connect put the reason on the status line ("Unable to open …" or
  // "Unable to Communicate with Logger on …").
  ReportFailure(context, command, context.ui.lastStatusText());
  if (IsPortOpen(s, PortRole::Logger)) CloseCommPort(s, PortRole::Logger);
  return false;
}

}  // namespace kts::cli
