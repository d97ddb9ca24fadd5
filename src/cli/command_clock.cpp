// kts clock: the logger's clock beside the host's, and the clock
// synchronisation.
#include <cstdio>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/json_output.h"
#include "core/session.h"
#include "core/time_format.h"
#include "core/time_math.h"
#include "link/clock_sync.h"
#include "link/commands.h"
#include "link/logger_status.h"

namespace kts::cli {
namespace {

constexpr int kStatusQuery = 9;

constexpr const char* kClockUsage =
    "usage: kts clock --port P [--sync [--yes]] [--json] [--base DIR] [--quiet]\n"
    "\n"
    "Reads the logger clock and shows it beside the host's local time and the\n"
    "difference in seconds. --sync first sets the logger clock to the host's\n"
    "local time and checks that it reads back within a second; a logger that is\n"
    "logging or enabled is only set with --yes (its data would shift in time).\n"
    "--port takes a COM number (\"3\" or \"COM3\") or a device path.\n";

void PrintClock(const TimeRecord& logger, const TimeRecord& host, bool synchronised, bool json) {
  const int64_t difference = DiffSeconds(logger, host);
  if (json) {
    std::printf("{\"logger\":%s,\"host\":%s,\"differenceSeconds\":%lld,\"synchronised\":%s}\n",
                JsonTime(logger).c_str(), JsonTime(host).c_str(),
                static_cast<long long>(difference), synchronised ? "true" : "false");
    return;
  }
  std::printf("Logger clock  %s\n", FormatDisplayDateTime(logger).c_str());
  std::printf("Host clock    %s\n", FormatDisplayDateTime(host).c_str());
  std::printf("Difference    %+lld s%s\n", static_cast<long long>(difference),
              difference > 0   ? " (logger ahead)"
              : difference < 0 ? " (logger behind)"
                               : "");
}

}  // namespace

int RunClock(int argc, char** argv) {
  OptionSpec spec;
  spec.flags.insert({"--sync", "--json"});
  Arguments args;
  if (const int status = ReadCommandArguments(argc, argv, "clock", kClockUsage, spec, args);
      status >= 0)
    return status;
  CliContext context;
  if (!context.applyCommonOptions(args)) return kUsage;
  if (!ConnectLogger(context, "clock")) return kFailure;
  Session& s = *context.session;

  bool synchronised = false;
  if (args.has("--sync")) {
    // A logger that is recording keeps its data's times by its own clock:
    // moving the clock under it shifts everything recorded afterwards.
    if (CommGet(s, kStatusQuery) != 1) {
      ReportFailure(context, "clock", "Error: Status read incorrectly");
      return kFailure;
    }
    if (!IsIdleStatus(s.link.status) && !context.ui.answerYes) {
      ReportFailure(context, "clock",
                    std::string("the logger is ") + StatusName(s.link.status) +
                        ": setting its clock now would shift the times of what it records.\n"
                        "Stop it first (kts stop), or give --yes to set the clock anyway.");
      return kFailure;
    }
    if (!SynchronizeClock(s)) {
      ReportFailure(context, "clock", "Logger clock has not set properly.\nTry again.");
      return kFailure;
    }
    synchronised = true;
  } else if (CommGet(s, 1) != 1) {
    ReportFailure(context, "clock", "Unable to read the logger clock (no reply to \"B\")");
    return kFailure;
  }
  // The host time is taken right after the logger's reply, so the
  // difference is not stretched by the exchange.
  const TimeRecord host = s.clock.localNow();
  PrintClock(s.link.loggerClock, host, synchronised, args.has("--json"));
  return kSuccess;
}

}  // namespace kts::cli
