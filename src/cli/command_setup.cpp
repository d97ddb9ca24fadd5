// kts setup: programs and enables a deployment through the setup screen's
// own model, or assesses one without a logger (--model).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/cli_context.h"
#include "cli/commands.h"
#include "core/time_format.h"
#include "deploy/date_time_picker_model.h"
#include "deploy/deployment_rules.h"
#include "deploy/estimates.h"
#include "deploy/setup_sequence.h"
#include "deploy/setup_simulation.h"
#include "deploy/setup_texts.h"
#include "deploy/threshold_screen.h"
#include "deploy/validation.h"
#include "link/capabilities.h"
#include "link/connection.h"
#include "link/serial_link.h"

namespace kts::cli {
namespace {

constexpr const char* kSetupUsage =
    "usage: kts setup --port P (--start \"YYYY-MM-DD HH:MM:SS\" | --now)\n"
    "                 --end \"YYYY-MM-DD HH:MM:SS\" --period HH:MM:SS\n"
    "                 [--averaging SECONDS] [--profiling]\n"
    "                 [--threshold above|below --channel N --level X\n"
    "                  [--check-period HH:MM:SS] [--hysteresis SECONDS]]\n"
    "                 [--sync-clock] [--dry-run] [--yes] [--base DIR]\n"
    "       kts setup --model MODEL [--sensors LIST] (the same deployment options)\n"
    "\n"
    "Checks a deployment against the logger's clock, memory and sensors and, unless\n"
    "--dry-run is given, erases the logger, programs it, reads every setting back\n"
    "and enables it. Questions take the answer that loses no data unless --yes is\n"
    "given (--yes agrees to losing data not yet downloaded). A period of 00:00:00\n"
    "is one day. A threshold start ends one year after the logger time, whatever\n"
    "--end says. The outcome is added to the deployment log (log/ under --base).\n"
    "\n"
    "Without --port the setup is assessed in simulation for --model, one of\n"
    "HLV-4070 HNV-4070 HKV-4070 HV-3070 QZ-740 QZ-760 HNV-3070-QH; the QZ models\n"
    "take --sensors, letters separated by commas: C conductivity, T temperature,\n"
    "P pressure, D dissolved oxygen, Y turbidity, F fluorometry, R PAR, H pH,\n"
    "N transmissometer, S8 S16 S24 a thermistor string.\n"
    "\n"
    "Prints the estimate line (--dry-run, simulation) or the logger's answer to\n"
    "the enable command. Exit status 0 done, 1 refused or failed, 2 usage.\n";

struct SetupRequest {
  bool now = false;
  TimeRecord start, end, period;
  bool averaging = false;
  uint32_t averagingSeconds = 0;
  bool profiling = false;
  bool threshold = false;
  bool above = true;
  int channel = 0;  // from 1
  std::string level;
  bool checkPeriodGiven = false;
  TimeRecord checkPeriod;
  bool hysteresisGiven = false;
  std::string hysteresis;
};

bool ReadNumber(const std::string& text, long min, long max, long* out) {
  if (text.empty()) return false;
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || v < min || v > max) return false;
  *out = v;
  return true;
}

bool ParsePeriodArg(const std::string& text, TimeRecord* out) {
  int h, m, s;
  char tail;
  if (std::sscanf(text.c_str(), "%2d:%2d:%2d%c", &h, &m, &s, &tail) != 3) return false;
  if (h < 0 || h > 24 || m < 0 || m > 59 || s < 0 || s > 59 || (h == 24 && (m || s))) return false;
  *out = MakePeriod(h, m, s);
  return true;
}

bool ParseDateTimeArg(const std::string& text, TimeRecord* out) {
  int y, mo, d, h, mi, s;
  char tail;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &s, &tail) != 6)
    return false;
  static constexpr int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 2000 || y > 2099 || mo < 1 || mo > 12 || d < 1 || d > kDays[mo - 1] || h > 23 || h < 0 ||
      mi < 0 || mi > 59 || s < 0 || s > 59)
    return false;
  if (mo == 2 && d == 29 && y % 4 != 0) return false;
  *out = MakeTime(y, mo, d, h, mi, s);
  return true;
}

// Reads the deployment options; false with the reason for a usage error.
bool ReadRequest(const Arguments& a, SetupRequest& r, std::string& why) {
  if (a.has("--now") == a.value("--start").has_value()) {
    why = "give either --start or --now";
    return false;
  }
  r.now = a.has("--now");
  if (!r.now && !ParseDateTimeArg(*a.value("--start"), &r.start)) {
    why = "--start takes \"YYYY-MM-DD HH:MM:SS\"";
    return false;
  }
  if (!a.value("--end") || !ParseDateTimeArg(*a.value("--end"), &r.end)) {
    why = "--end takes \"YYYY-MM-DD HH:MM:SS\"";
    return false;
  }
  if (!a.value("--period") || !ParsePeriodArg(*a.value("--period"), &r.period)) {
    why = "--period takes HH:MM:SS (hours 0 to 24)";
    return false;
  }
  r.period = PeriodFromPicker(r.period);
  r.profiling = a.has("--profiling");
  if (auto v = a.value("--averaging")) {
    long seconds;
    if (!ReadNumber(*v, 1, kMaxAveragingSeconds, &seconds)) {
      why = "--averaging takes seconds from 1 to 10800";
      return false;
    }
    if (r.profiling) {
      why = "averaging is prohibited by profiling";
      return false;
    }
    r.averaging = true;
    r.averagingSeconds = static_cast<uint32_t>(seconds);
  }
  const bool thresholdOption = a.value("--channel") || a.value("--level") ||
                               a.value("--check-period") || a.value("--hysteresis");
  if (auto sense = a.value("--threshold")) {
    if (*sense != "above" && *sense != "below") {
      why = "--threshold takes above or below";
      return false;
    }
    r.threshold = true;
    r.above = *sense == "above";
    long channel;
    if (!a.value("--channel") || !ReadNumber(*a.value("--channel"), 1, 24, &channel)) {
      why = "--threshold needs --channel N (1 to 24)";
      return false;
    }
    r.channel = static_cast<int>(channel);
    if (!a.value("--level")) {
      why = "--threshold needs --level";
      return false;
    }
    r.level = *a.value("--level");
    if (auto v = a.value("--check-period")) {
      if (!ParsePeriodArg(*v, &r.checkPeriod) || r.checkPeriod.hour > 23) {
        why = "--check-period takes HH:MM:SS";
        return false;
      }
      r.checkPeriodGiven = true;
    }
    if (auto v = a.value("--hysteresis")) {
      r.hysteresisGiven = true;
      r.hysteresis = *v;
    }
    if (r.averaging) {
      why = "averaging is prohibited by thresholding";
      return false;
    }
  } else if (thresholdOption) {
    why = "--channel, --level, --check-period and --hysteresis go with --threshold";
    return false;
  }
  return true;
}

// The screen's message line on stderr: the reason for a refusal.
int Refuse(Session& s, const std::string& fallback) {
  const std::string& text = s.setup.message.text;
  std::fprintf(stderr, "kts setup: %s\n", text.empty() ? fallback.c_str() : text.c_str());
  return kFailure;
}

// Fills the deployment as the date-and-time picker and the threshold screen
// would, then leaves it to the validation.
int ApplyRequest(Session& s, const SetupRequest& r) {
  DeploymentParameters& d = s.deployment;
  const LoggerDescription& caps = s.description;
  if (r.profiling && !caps.profiling6Hz) {
    std::fprintf(stderr, "kts setup: this logger has no 6Hz profiling\n");
    return kFailure;
  }
  if (r.averaging && !caps.averaging) {
    std::fprintf(stderr, "kts setup: this logger cannot average\n");
    return kFailure;
  }
  d.block.startMode = r.now ? kStartNow : kStartAtTime;
  d.startTime = r.now ? d.loggerTime : r.start;
  d.endTime = r.end;
  if (!caps.waves) {
    d.samplingPeriod = r.period;
    d.block.samplingMode = r.profiling ? kProfilingMode : 0;
  }
  d.averagingEnabled = r.averaging;
  d.averagingPeriod = r.averaging ? r.averagingSeconds : (caps.averaging ? 1 : 0);
  d.changedSinceBatch = true;
  s.setup.mainButton = kEnableLoggingButton;
  s.setup.backup.startMode = d.block.startMode;

  if (!r.threshold) {
    // A threshold start the logger held is not carried into a timed one.
    d.block.thresholdTestMode = 0;
    d.checkPeriod = MakePeriod(0, 0, 0);
    d.block.hysteresisPeriod = 0;
    d.hysteresisEnabled = false;
    return kSuccess;
  }
  if (!SelectStartEntry(s, s.setup, r.above ? 1 : 2)) {
    std::fprintf(stderr, "kts setup: this logger cannot start on a threshold\n");
    return kFailure;
  }
  ThresholdScreen t;
  OpenThresholdScreen(s, t);
  t.selectedEntry = -1;
  for (size_t i = 0; i < t.channelOfEntry.size(); ++i)
    if (t.channelOfEntry[i] == r.channel - 1) t.selectedEntry = static_cast<int>(i);
  if (t.selectedEntry < 0) {
    std::fprintf(stderr, "kts setup: channel %d cannot start a deployment on this logger\n",
                 r.channel);
    return kFailure;
  }
  t.levelText = r.level;
  if (r.checkPeriodGiven) {
    if (!t.periodicChoicesEnabled) {
      std::fprintf(stderr, "kts setup: this logger tests its threshold continuously only\n");
      return kFailure;
    }
    ChoosePowerSaving(s, t, PowerSavingChoice::LetMeChoose);
    t.checkPicker = r.checkPeriod;
  }
  if (r.hysteresisGiven) {
    SetHysteresisChecked(t, true);
    if (!t.hysteresisChecked) {
      std::fprintf(stderr, "kts setup: this logger has no hysteresis for this threshold test\n");
      return kFailure;
    }
    t.hysteresisText = r.hysteresis;
  }
  if (!AcceptThresholdScreen(s, t)) {
    std::fprintf(stderr, "kts setup: %s\n",
                 t.message.text.empty() ? "threshold not accepted" : t.message.text.c_str());
    return kFailure;
  }
  return kSuccess;
}

bool ReadSensors(const std::string& list, QzSensors& q) {
  size_t at = 0;
  while (at <= list.size()) {
    const size_t comma = list.find(',', at);
    const std::string item =
        list.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
    if (item == "C")
      q.conductivity = true;
    else if (item == "T")
      q.temperature = true;
    else if (item == "P")
      q.pressure = true;
    else if (item == "D")
      q.oxygen = true;
    else if (item == "Y")
      q.turbidity = true;
    else if (item == "F")
      q.fluorometry = true;
    else if (item == "R")
      q.par = true;
    else if (item == "H")
      q.ph = true;
    else if (item == "N")
      q.transmissometer = true;
    else if (item == "S8" || item == "S16" || item == "S24")
      q.thermistorString = std::atoi(item.c_str() + 1);
    else
      return false;
    if (comma == std::string::npos) break;
    at = comma + 1;
  }
  return true;
}

// Validates and prints the estimate line.
int Assess(Session& s) {
  if (validateDeployment(s, &s.setup, true) != kDeploymentValid)
    return Refuse(s, "the deployment is not valid");
  showEstimates(s, &s.setup);
  std::printf("%s\n", s.setup.message.text.c_str());
  return kSuccess;
}

int Simulate(CliContext& context, const Arguments& args, const SetupRequest& r) {
  Session& s = *context.session;
  SimulatedModel model;
  const auto name = args.value("--model");
  if (!name || !SimulatedModelFromName(name->c_str(), &model)) {
    std::fprintf(stderr, "kts setup: without --port, --model names a logger type: %s\n%s",
                 name ? name->c_str() : "(none)", kSetupUsage);
    return kUsage;
  }
  QzSensors sensors;
  if (auto list = args.value("--sensors"); list && !ReadSensors(*list, sensors)) {
    std::fprintf(stderr, "kts setup: --sensors takes letters such as C,T,P\n");
    return kUsage;
  }
  if (!OpenSetupSimulation(s, model, sensors)) return kFailure;
  if (const int applied = ApplyRequest(s, r); applied != kSuccess) return applied;
  return Assess(s);
}

}  // namespace

int RunSetup(int argc, char** argv) {
  OptionSpec spec;
  AddCommonOptions(spec);
  spec.withValue.insert({"--start", "--end", "--period", "--averaging", "--threshold", "--channel",
                         "--level", "--check-period", "--hysteresis", "--model", "--sensors"});
  spec.flags.insert({"--now", "--profiling", "--sync-clock", "--dry-run"});
  Arguments args;
  std::string error;
  if (!ParseArguments(argc, argv, 1, spec, args, error) || !args.positional.empty()) {
    std::fprintf(stderr, "kts setup: %s\n%s", error.empty() ? "unexpected argument" : error.c_str(),
                 kSetupUsage);
    return kUsage;
  }
  if (args.has("--help")) {
    std::fputs(kSetupUsage, stdout);
    return kSuccess;
  }
  SetupRequest request;
  if (!ReadRequest(args, request, error)) {
    std::fprintf(stderr, "kts setup: %s\n%s", error.c_str(), kSetupUsage);
    return kUsage;
  }
  CliContext context;
  if (!context.applyCommonOptions(args)) return kUsage;
  if (!args.value("--port")) return Simulate(context, args, request);

  Session& s = *context.session;
  if (!Connect(s)) {
    std::fprintf(stderr, "kts setup: no logger answered on %s\n", LoggerPortName(s).c_str());
    return kFailure;
  }
  ReadCapabilities(s);
  if (!openSetupScreen(s)) return Refuse(s, "the logger's state could not be read");
  if (s.setup.fieldsHidden) return Refuse(s, "this logger cannot be set up while it runs");
  if (args.has("--sync-clock") && !SyncToPc(s)) return Refuse(s, "the logger clock was not set");
  if (const int applied = ApplyRequest(s, request); applied != kSuccess) return applied;
  // What the screen said about the settings it found no longer applies.
  s.setup.message.clear();
  if (args.has("--dry-run")) return Assess(s);

  SetupOutcome outcome = enableLogging(s);
  while (s.setup.eraseWait) {
    s.clock.sleepMs(1000);
    SetupEraseTick(s);
    outcome = s.setup.outcome;
  }
  switch (outcome) {
    case SetupOutcome::Enabled:
      std::printf(
          "%s\n",
          EnableStatusText(s.setup.enableReply, s.link.status, s.deployment.startTime).c_str());
      return kSuccess;
    case SetupOutcome::Stopped:
      return Refuse(s, "not enabled");
    default:
      std::fprintf(stderr, "kts setup: the logger was not enabled\n");
      return kFailure;
  }
}

}  // namespace kts::cli
