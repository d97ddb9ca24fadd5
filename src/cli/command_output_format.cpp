// kts output-format: binary or engineering units for fetched and real-time data.
#include <cstdio>
#include <string>

#include "cli/cli_context.h"
#include "cli/commands.h"
#include "deploy/logger_functions.h"
#include "link/connection.h"
#include "link/serial_link.h"

namespace kts::cli {
namespace {

constexpr const char* kOutputFormatUsage =
    "usage: kts output-format --port P [--set binary|engineering] [--base DIR]\n"
    "\n"
    "Prints the format the logger sends fetched (and real-time) data in. With --set\n"
    "changes it, when the logger can output engineering units, and reads the\n"
    "setting back. Exit status 0 done, 1 refused or failed, 2 usage.\n";

}  // namespace

int RunOutputFormat(int argc, char** argv) {
  OptionSpec spec;
  AddCommonOptions(spec);
  spec.withValue.insert("--set");
  Arguments args;
  std::string error;
  if (!ParseArguments(argc, argv, 1, spec, args, error) || !args.positional.empty()) {
    std::fprintf(stderr, "kts output-format: %s\n%s",
                 error.empty() ? "unexpected argument" : error.c_str(), kOutputFormatUsage);
    return kUsage;
  }
  if (args.has("--help")) {
    std::fputs(kOutputFormatUsage, stdout);
    return kSuccess;
  }
  const auto set = args.value("--set");
  if (set && *set != "binary" && *set != "engineering") {
    std::fprintf(stderr, "kts output-format: --set takes binary or engineering\n");
    return kUsage;
  }
  if (!args.value("--port")) {
    std::fprintf(stderr, "kts output-format: --port is needed\n%s", kOutputFormatUsage);
    return kUsage;
  }
  CliContext context;
  if (!context.applyCommonOptions(args)) return kUsage;
  Session& s = *context.session;
  if (!Connect(s)) {
    std::fprintf(stderr, "kts output-format: no logger answered on %s\n",
                 LoggerPortName(s).c_str());
    return kFailure;
  }
  OutputFormatDialog dialog;
  if (!editOutputFormat(s, dialog)) {
    std::fprintf(stderr, "kts output-format: the start characteristic could not be read\n");
    return kFailure;
  }
  const bool engineering = (s.deployment.block.oemFlags & 4) != 0;
  if (set && (*set == "engineering") != engineering) {
    if (!dialog.okShown) {
      std::fprintf(stderr, "kts output-format: %s\n", dialog.text.c_str());
      return kFailure;
    }
    if (!AcceptOutputFormat(s, dialog)) return kFailure;
  }
  std::printf("%s\n", dialog.text.c_str());
  return kSuccess;
}

}  // namespace kts::cli
