// kts retrieve: the whole retrieval of a logger's memory, as the retrieval
// screen runs it, with the decision about a logging logger taken from a
// flag, and the data written as PATH.hex, PATH.dat and (--mat) PATH.mat.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/data_output.h"
#include "core/session.h"
#include "core/text.h"
#include "deploy/retrieval_screen.h"
#include "link/connection.h"
#include "link/logger_status.h"

namespace kts::cli {
namespace {

constexpr const char* kRetrieveUsage =
    "usage: kts retrieve --port P --out PATH [--format N|A|E] [--mat] [--all]\n"
    "                    [--stop | --suspend | --keep-logging] [--comment TEXT]\n"
    "                    [--yes] [--base DIR] [--quiet]\n"
    "\n"
    "Reads the logger's memory, decodes it and writes PATH.hex and PATH.dat (and\n"
    "PATH.mat with --mat). A logger that is still logging is left untouched\n"
    "unless a flag says what to do with it:\n"
    "  --stop           stop it for good\n"
    "  --suspend        suspend it while its memory is read, then resume it\n"
    "  --keep-logging   read while it keeps logging (loggers that allow it)\n"
    "  --all            read the whole memory, whatever its memory pointer says\n"
    "  --format N|A|E   time columns of the .dat: none, time, or date and time\n"
    "                   (default: the Format setting of the base directory)\n"
    "  --comment TEXT   the comment line of the file headers\n"
    "  --yes            replace existing files without asking\n"
    "Progress goes to stderr, the summary to stdout.\n"
    "--port takes a COM number (\"3\" or \"COM3\") or a device path.\n";

int UsageError(const std::string& why) {
  std::fprintf(stderr, "kts retrieve: %s\n%s", why.c_str(), kRetrieveUsage);
  return kUsage;
}

// Everything that can be checked before the logger is touched, so a run
// that could not keep its data never stops or suspends a logger.
bool OutputsCanBeWritten(CliContext& context, const std::string& stem, const OutputChoice& c) {
  const std::filesystem::path directory = std::filesystem::path(stem).parent_path();
  if (!directory.empty() && !std::filesystem::is_directory(directory)) {
    ReportFailure(context, "retrieve", "the directory " + directory.string() + " does not exist");
    return false;
  }
  for (const char* extension : {".hex", ".dat", ".mat"}) {
    if (std::string(extension) == ".mat" && !c.mat) continue;
    const std::string path = stem + extension;
    if (std::filesystem::exists(path) && !context.ui.answerYes) {
      ReportFailure(context, "retrieve",
                    path + " already exists (--yes replaces it, or choose another --out)");
      return false;
    }
  }
  return true;
}

struct Transfer {
  int64_t startMs = 0;
  int64_t total = 0;
};

std::string RateText(int64_t bytes, int64_t ms) {
  if (ms <= 0) return "at once";
  const double rate = static_cast<double>(bytes) * 1000.0 / static_cast<double>(ms);
  return rate >= 10000 ? Format("%.0f kB/s", rate / 1000) : Format("%.0f B/s", rate);
}

void ShowTransfer(CliContext& context, const Transfer& t) {
  const Session& s = *context.session;
  context.ui.transfer(static_cast<int>(s.retrieval.progress), s.retrieval.imageOffset, t.total,
                      context.clock.monotonicMs() - t.startMs);
}

}  // namespace

int RunRetrieve(int argc, char** argv) {
  OptionSpec spec;
  spec.withValue.insert({"--out", "--format", "--comment"});
  spec.flags.insert({"--mat", "--all", "--stop", "--suspend", "--keep-logging"});
  Arguments args;
  if (const int status = ReadCommandArguments(argc, argv, "retrieve", kRetrieveUsage, spec, args);
      status >= 0)
    return status;
  const std::optional<std::string> out = args.value("--out");
  if (!out || out->empty()) return UsageError("--out PATH is required");
  const int decisions = args.has("--stop") + args.has("--suspend") + args.has("--keep-logging");
  if (decisions > 1) return UsageError("give at most one of --stop, --suspend and --keep-logging");

  CliContext context;
  if (!context.applyCommonOptions(args)) return kUsage;
  Session& s = *context.session;
  OutputChoice choice;
  choice.hex = choice.dat = true;
  choice.mat = args.has("--mat");
  choice.comment = args.value("--comment");
  if (!choice.comment) choice.comment = std::string();
  if (!ParseTimeColumns(args, s.settings.timeColumns, &choice.timeColumns))
    return UsageError("--format takes N (no time), A (time) or E (date and time)");
  const std::string stem = OutputStem(*out);
  if (!OutputsCanBeWritten(context, stem, choice)) return kFailure;

  if (!ConnectLogger(context, "retrieve")) return kFailure;

  RetrievalScreen screen;
  if (args.has("--stop")) screen.decision = LoggingDecision::Stop;
  if (args.has("--suspend")) screen.decision = LoggingDecision::Suspend;
  if (args.has("--keep-logging")) screen.decision = LoggingDecision::KeepLogging;
  // A logger found suspended goes on logging afterwards unless --stop.
  screen.resumeFoundSuspended = !args.has("--stop");

  std::vector<std::string> written;
  bool writeFailed = false;
  screen.hooks.saveData = [&](Session& session) -> std::string {
    if (!WriteOutputs(context, "retrieve", stem, choice, written)) {
      writeFailed = true;
      return {};
    }
    session.app.retrievedDataSaved = true;
    session.app.newImageSinceSave = false;
    return stem + ".dat";
  };

  if (!openRetrievalScreen(s, screen)) {
    ReportFailure(context, "retrieve", context.ui.lastStatusText());
    return kFailure;
  }
  if (screen.mainButton != kRetrieveDataButton && !args.has("--stop")) {
    // The screen offers only to stop this logger.
    ReportFailure(
        context, "retrieve",
        screen.message.text.empty() ? "The logger must be stopped (--stop)" : screen.message.text);
    return kFailure;
  }
  if (screen.message.text.rfind("No data in memory", 0) == 0) {
    ReportFailure(context, "retrieve", screen.message.text);
    return kFailure;
  }

  // The transfer line replaces the engine's own progress texts; it starts
  // with the first block, so the rate is the line's, not the connection's.
  context.ui.beginTransfer();
  retrieve(s, screen, args.has("--all"));
  if (!screen.inProgress && !screen.finished) {
    context.ui.endTransfer();
    // Cancelled at the question, or the logger could not be read: the
    // logger was left as it was.
    const std::string& why =
        context.ui.lastShown().empty() ? context.ui.lastStatusText() : context.ui.lastShown();
    ReportFailure(context, "retrieve", why.empty() ? "Retrieval cancelled" : why);
    if (IsRunningStatus(screen.status) && screen.retrievalClass > 1) {
      if (decisions == 0)
        std::fprintf(stderr,
                     "kts retrieve: the logger was left as it was; say what to do with "
                     "it: --stop, --suspend or --keep-logging\n");
      else
        std::fprintf(stderr,
                     "kts retrieve: this logger does not allow %s; it was left as it "
                     "was\n",
                     args.has("--suspend") ? "--suspend" : "--keep-logging");
    }
    return kFailure;
  }
  Transfer transfer{
      context.clock.monotonicMs(),
      static_cast<int64_t>(s.retrieval.memoryEnd) - static_cast<int64_t>(s.retrieval.firstAddress)};
  // The decode starts when the last block is in: that ends the transfer.
  int64_t transferMs = -1;
  screen.hooks.hideDataDisplay = [&](Session&) {
    transferMs = context.clock.monotonicMs() - transfer.startMs;
    ShowTransfer(context, transfer);
    context.ui.endTransfer();
  };
  ShowTransfer(context, transfer);
  while (continueRetrieval(s, screen)) ShowTransfer(context, transfer);
  context.ui.endTransfer();
  if (transferMs < 0) transferMs = context.clock.monotonicMs() - transfer.startMs;
  const double seconds = static_cast<double>(transferMs) / 1000.0;

  if (writeFailed) return kFailure;
  if (written.empty()) {
    ReportFailure(context, "retrieve", "nothing was written");
    return kFailure;
  }
  const DataSet& d = s.data;
  std::printf("Retrieved %d bytes (%d samples, %d channels) from %s in %.1f s (%s); wrote",
              s.image.length, d.sampleCount, d.totalChannels, IdentityText(s.link.identity).c_str(),
              seconds, RateText(s.image.length, transferMs).c_str());
  for (const std::string& w : written) std::printf(" %s", w.c_str());
  std::printf("\n");
  return s.retrieval.complete ? kSuccess : kFailure;
}

}  // namespace kts::cli
