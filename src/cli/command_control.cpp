// kts stop, kts resume: the logger's stop ("!9") and resume ("!R")
// commands, each followed by the status the logger then reports.
#include <cstdio>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "core/session.h"
#include "link/commands.h"
#include "link/logger_status.h"

namespace kts::cli {
namespace {

// The numbers of the two actions in the command dispatcher.
constexpr int kStopCommand = 13;    // connect, then "!9"
constexpr int kResumeCommand = 23;  // "!R", retried until the logger runs again

constexpr const char* kStopUsage =
    "usage: kts stop --port P [--base DIR] [--quiet]\n"
    "\n"
    "Stops a logger that is logging, enabled or suspended, and prints the\n"
    "status it then reports. The data in its memory stay where they are.\n"
    "--port takes a COM number (\"3\" or \"COM3\") or a device path.\n";

constexpr const char* kResumeUsage =
    "usage: kts resume --port P [--base DIR] [--quiet]\n"
    "\n"
    "Resumes a suspended or stopped logger (it goes on adding to its memory\n"
    "with the settings it has) and prints the status it then reports.\n"
    "--port takes a COM number (\"3\" or \"COM3\") or a device path.\n";

// Reads and prints the status; false when the logger does not say.
bool PrintStatus(CliContext& context, const char* command) {
  Session& s = *context.session;
  if (CommGet(s, 9) != 1) {
    ReportFailure(context, command, "Error: Status read incorrectly");
    return false;
  }
  std::printf("%s\n", StatusName(s.link.status));
  return true;
}

}  // namespace

int RunStop(int argc, char** argv) {
  Arguments args;
  if (const int status = ReadCommandArguments(argc, argv, "stop", kStopUsage, {}, args);
      status >= 0)
    return status;
  CliContext context;
  if (!context.applyCommonOptions(args)) return kUsage;
  if (!ConnectLogger(context, "stop")) return kFailure;
  Session& s = *context.session;
  if (CommSend(s, kStopCommand) != 1) {
    ReportFailure(context, "stop", context.ui.lastStatusText());
    return kFailure;
  }
  if (!PrintStatus(context, "stop")) return kFailure;
  // A logger still running after "!9" has not stopped, whatever it answered.
  if (IsRunningStatus(s.link.status)) {
    ReportFailure(context, "stop",
                  "The logger did not stop.\nTry again.\nContact KTS if the problem persists.");
    return kFailure;
  }
  return kSuccess;
}

int RunResume(int argc, char** argv) {
  Arguments args;
  if (const int status = ReadCommandArguments(argc, argv, "resume", kResumeUsage, {}, args);
      status >= 0)
    return status;
  CliContext context;
  if (!context.applyCommonOptions(args)) return kUsage;
  if (!ConnectLogger(context, "resume")) return kFailure;
  Session& s = *context.session;
  // A failed resume was already shown ("Logger failed to resume.").
  const bool resumed = CommSend(s, kResumeCommand) == 1;
  PrintStatus(context, "resume");
  return resumed ? kSuccess : kFailure;
}

}  // namespace kts::cli
