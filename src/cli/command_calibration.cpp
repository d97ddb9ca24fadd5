// kts calibration: the logger's calibration coefficients — show them, write
// the calibration history file, or set new ones with read-back.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_context.h"
#include "cli/commands.h"
#include "data/calibration_history.h"
#include "link/calibration_dialog.h"
#include "link/capabilities.h"
#include "link/coefficients.h"
#include "link/commands.h"
#include "link/logger_status.h"

namespace kts::cli {

namespace {

constexpr const char* kCalibrationUsage =
    "usage: kts calibration [--port P] [--base DIR] [--history] [--yes] [CH=C0,C1,C2,C3 ...]\n"
    "\n"
    "Connects to the logger and prints its calibration coefficients, one line per\n"
    "channel: number, label, c0 c1 c2 c3 (y = c0 + x*c1 + x^2*c2 + x^3*c3).\n"
    "\n"
    "  --history        also write the calibration history file (SERIAL.NNN.his)\n"
    "                   into the base directory and print it\n"
    "  CH=C0,C1,C2,C3   new coefficients for channel CH (from 1); the set is\n"
    "                   written to the logger and read back. Writing asks for\n"
    "                   confirmation: give --yes to answer it.\n";

struct Setting {
  int channel = 0;  // from 1
  std::string values[4];
};

// "CH=C0,C1,C2,C3"; false with a reason. The values are checked as typed
// fields are, by the dialog.
bool ParseSetting(const std::string& text, Setting* out, std::string* why) {
  const size_t eq = text.find('=');
  const std::string number = text.substr(0, eq);
  int channel = 0;
  if (eq == std::string::npos || std::sscanf(number.c_str(), "%d", &channel) != 1 ||
      std::to_string(channel) != number || channel < 1) {
    *why = "\"" + text + "\" is not CH=C0,C1,C2,C3";
    return false;
  }
  std::vector<std::string> values;
  const std::string rest = text.substr(eq + 1);
  for (size_t at = 0;;) {
    const size_t comma = rest.find(',', at);
    values.push_back(rest.substr(at, comma == std::string::npos ? std::string::npos : comma - at));
    if (comma == std::string::npos) break;
    at = comma + 1;
  }
  if (values.size() != 4) {
    *why = "\"" + text + "\" needs four coefficients";
    return false;
  }
  out->channel = channel;
  for (size_t i = 0; i < 4; ++i) out->values[i] = values[i];
  return true;
}

void PrintCoefficients(const Session& s, const CalibrationDialog& d) {
  for (int k = 0; k < d.channels; ++k) {
    const ChannelCoefficients& c = s.coefficients.c[static_cast<size_t>(k)];
    std::printf("%-20s %.17g %.17g %.17g %.17g\n", d.rowLabels[static_cast<size_t>(k)].c_str(),
                c[0], c[1], c[2], c[3]);
  }
}

}  // namespace

int RunCalibration(int argc, char** argv) {
  OptionSpec spec;
  AddCommonOptions(spec);
  spec.flags.insert("--history");
  Arguments args;
  std::string error;
  if (!ParseArguments(argc, argv, 1, spec, args, error)) {
    std::fprintf(stderr, "kts calibration: %s\n%s", error.c_str(), kCalibrationUsage);
    return kUsage;
  }
  if (args.has("--help")) {
    std::fputs(kCalibrationUsage, stdout);
    return kSuccess;
  }
  std::vector<Setting> settings;
  for (const std::string& text : args.positional) {
    Setting setting;
    if (!ParseSetting(text, &setting, &error)) {
      std::fprintf(stderr, "kts calibration: %s\n%s", error.c_str(), kCalibrationUsage);
      return kUsage;
    }
    settings.push_back(setting);
  }
  CliContext context;
  if (!context.applyCommonOptions(args)) return kUsage;
  Session& s = *context.session;

  if (!CommGet(s, 0)) return kFailure;
  CommGet(s, 9);
  ReadCapabilities(s);
  if (!IsIdleStatus(s.link.status) && !s.description.option4) {
    s.ui.message(
        {"Logging in progress or enabled.\nCannot read the calibration coefficients at "
         "this time.\n\nUse 'Retrieve data' menu item to stop logger - \n 'Retrieve "
         "Data' or 'STOP Logger' button.",
         "Calibration", Icon::Warning, Buttons::Ok, Answer::Ok});
    return kFailure;
  }
  if (!ReadConfigurationAndCoefficients(s)) return kFailure;

  if (args.has("--history")) {
    std::vector<std::string> lines;
    const int written = WriteHistoryFile(s, &lines);
    for (const std::string& line : lines) std::printf("%s\n", line.c_str());
    if (!written) return kFailure;
  }

  CalibrationDialog d;
  OpenCalibrationDialog(s, d);
  if (settings.empty()) {
    PrintCoefficients(s, d);
    return kSuccess;
  }
  for (const Setting& setting : settings) {
    if (setting.channel > d.channels) {
      std::fprintf(stderr, "kts calibration: the logger has no channel %d\n", setting.channel);
      return kUsage;
    }
    for (size_t i = 0; i < 4; ++i)
      d.fields[static_cast<size_t>(setting.channel - 1)][i] = setting.values[i];
  }
  const CalibrationOutcome outcome = SetCalibration(s, d);
  if (outcome == CalibrationOutcome::Unchanged) {
    PrintCoefficients(s, d);
    return kSuccess;
  }
  if (outcome != CalibrationOutcome::Accepted) return kFailure;
  const int written = CommSend(s, 11);
  if (written) CommGet(s, 10);  // what the logger now holds
  PrintCoefficients(s, d);
  return written ? kSuccess : kFailure;
}

}  // namespace kts::cli
