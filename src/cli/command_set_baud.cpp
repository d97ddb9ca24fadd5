// kts set-baud: the rate a logger answers at after power-up.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/cli_context.h"
#include "cli/commands.h"
#include "deploy/logger_functions.h"
#include "link/connection.h"
#include "link/serial_link.h"

namespace kts::cli {
namespace {

constexpr const char* kSetBaudUsage =
    "usage: kts set-baud --port P [--rate BAUD] [--base DIR]\n"
    "\n"
    "Without --rate prints the logger's default baud rate and the rates it allows.\n"
    "With --rate stores the new default, moves the port to it and finds the logger\n"
    "there again. Only a logger that is not logging, and that has a capabilities\n"
    "table, takes a new default rate. Exit status 0 done, 1 refused or failed, 2 usage.\n";

}  // namespace

int RunSetBaud(int argc, char** argv) {
  OptionSpec spec;
  AddCommonOptions(spec);
  spec.withValue.insert("--rate");
  Arguments args;
  std::string error;
  if (!ParseArguments(argc, argv, 1, spec, args, error) || !args.positional.empty()) {
    std::fprintf(stderr, "kts set-baud: %s\n%s",
                 error.empty() ? "unexpected argument" : error.c_str(), kSetBaudUsage);
    return kUsage;
  }
  if (args.has("--help")) {
    std::fputs(kSetBaudUsage, stdout);
    return kSuccess;
  }
  int rate = 0;
  if (auto v = args.value("--rate")) {
    char* end = nullptr;
    const long n = std::strtol(v->c_str(), &end, 10);
    if (v->empty() || *end != '\0' || n <= 0 || n > 1'000'000) {
      std::fprintf(stderr, "kts set-baud: --rate takes a baud rate such as 9600\n");
      return kUsage;
    }
    rate = static_cast<int>(n);
  }
  if (!args.value("--port")) {
    std::fprintf(stderr, "kts set-baud: --port is needed\n%s", kSetBaudUsage);
    return kUsage;
  }
  CliContext context;
  if (!context.applyCommonOptions(args)) return kUsage;
  Session& s = *context.session;
  if (!Connect(s)) {
    std::fprintf(stderr, "kts set-baud: no logger answered on %s\n", LoggerPortName(s).c_str());
    return kFailure;
  }
  if (RefuseBusyLogger(s, LoggerFunction::DefaultBaud)) return kFailure;
  DefaultBaudDialog dialog;
  if (!editDefaultBaud(s, dialog)) return kFailure;
  if (rate == 0) {
    std::printf("default baud rate: %d\nallowed:", dialog.current);
    for (int r : dialog.rates) std::printf(" %d", r);
    std::printf("\n");
    return kSuccess;
  }
  dialog.selected = -1;
  for (size_t i = 0; i < dialog.rates.size(); ++i)
    if (dialog.rates[i] == rate) dialog.selected = static_cast<int>(i);
  if (dialog.selected < 0) {
    std::fprintf(stderr, "kts set-baud: this logger does not allow %d baud; it allows", rate);
    for (int r : dialog.rates) std::fprintf(stderr, " %d", r);
    std::fprintf(stderr, "\n");
    return kFailure;
  }
  if (!AcceptDefaultBaud(s, dialog)) return kFailure;
  std::printf("default baud rate: %d\n", rate);
  return kSuccess;
}

}  // namespace kts::cli
