// kts set-latency: the latency of a logger's configuration table.
#include <cstdio>
#include <string>

#include "cli/cli_context.h"
#include "cli/commands.h"
#include "deploy/logger_functions.h"
#include "link/connection.h"
#include "link/serial_link.h"

namespace kts::cli {
namespace {

constexpr const char* kSetLatencyUsage =
    "usage: kts set-latency --port P [--ms MILLISECONDS] [--base DIR]\n"
    "\n"
    "Without --ms prints the latency the logger's configuration table holds. With\n"
    "--ms (0 to 655350; stored in tens of milliseconds) writes the table back with\n"
    "the new latency and compares what the logger then holds. Only a logger that is\n"
    "not logging takes it. Exit status 0 done, 1 refused or failed, 2 usage.\n";

}  // namespace

int RunSetLatency(int argc, char** argv) {
  OptionSpec spec;
  AddCommonOptions(spec);
  spec.withValue.insert("--ms");
  Arguments args;
  std::string error;
  if (!ParseArguments(argc, argv, 1, spec, args, error) || !args.positional.empty()) {
    std::fprintf(stderr, "kts set-latency: %s\n%s",
                 error.empty() ? "unexpected argument" : error.c_str(), kSetLatencyUsage);
    return kUsage;
  }
  if (args.has("--help")) {
    std::fputs(kSetLatencyUsage, stdout);
    return kSuccess;
  }
  if (!args.value("--port")) {
    std::fprintf(stderr, "kts set-latency: --port is needed\n%s", kSetLatencyUsage);
    return kUsage;
  }
  CliContext context;
  if (!context.applyCommonOptions(args)) return kUsage;
  Session& s = *context.session;
  if (!Connect(s)) {
    std::fprintf(stderr, "kts set-latency: no logger answered on %s\n", LoggerPortName(s).c_str());
    return kFailure;
  }
  if (RefuseBusyLogger(s, LoggerFunction::Latency)) return kFailure;
  LatencyDialog dialog;
  if (!editLatency(s, dialog)) return kFailure;
  const auto ms = args.value("--ms");
  if (ms && !AcceptLatency(s, dialog, *ms)) return kFailure;
  std::printf("latency: %s ms\n", dialog.latencyText.c_str());
  return kSuccess;
}

}  // namespace kts::cli
