#include "cli/cli_context.h"

#include <sys/stat.h>

#include <cstdio>

#include "data/line_reader.h"
#include "data/main_settings.h"
#include "data/settings_file.h"
#include "link/serial_link.h"
#include "platform/port_map.h"

namespace kts::cli {

void AddCommonOptions(OptionSpec& spec) {
  spec.withValue.insert({"--base", "--port"});
  spec.flags.insert({"--yes", "--quiet", "--help"});
}

CliContext::~CliContext() {
  if (IsPortOpen(*session, PortRole::Logger)) CloseCommPort(*session, PortRole::Logger);
}

namespace {

// The settings the desktop application keeps (port, rates, time columns,
// derived channels). Read only: a command-line run leaves the files as the
// application wrote them.
void ReadSettingsFile(Session& s) {
  InputFile in(MainSettingsPath(s.settings));
  if (in.file == nullptr) return;
  LineReader reader(in.file, kSettingsLineLength);
  std::string line;
  while (reader.next(line)) ApplySettingsLine(line, s.settings, s.ports);
}

}  // namespace

bool CliContext::applyCommonOptions(const Arguments& args) {
  Session& s = *session;
  ui.answerYes = args.has("--yes");
  ui.quiet = args.has("--quiet");
  if (auto base = args.value("--base")) {
    struct stat st {};
    if (stat(base->c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
      std::fprintf(stderr, "kts: the base directory %s does not exist\n", base->c_str());
      return false;
    }
    s.settings.baseDirectory = *base;
  }
  ReadSettingsFile(s);
  ReadPortMap(s.settings.baseDirectory + "/ktsports.ini", s.ports.map);
  if (auto port = args.value("--port")) {
    if (const int n = ParseComNumber(*port); n != 0) {
      s.ports.loggerPort = n;
      s.ports.loggerDevice.clear();
    } else if (!port->empty() && (*port)[0] == '/') {
      s.ports.loggerDevice = *port;
    } else {
      std::fprintf(
          stderr,
          "kts: --port takes a COM number (1 to 16, \"COM3\") or a device path, not \"%s\"\n",
          port->c_str());
      return false;
    }
  }
  return true;
}

}  // namespace kts::cli
