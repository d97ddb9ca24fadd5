#include "cli/cli_context.h"

#include <sys/stat.h>

#include <cstdio>

#include "platform/port_map.h"

namespace kts::cli {

void AddCommonOptions(OptionSpec& spec) {
  spec.withValue.insert({"--base", "--port"});
  spec.flags.insert({"--yes", "--quiet", "--help"});
}

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
  ReadPortMap(s.settings.baseDirectory + "/ktsports.ini", s.ports.map);
  if (auto port = args.value("--port")) {
    if (const int n = ParseComNumber(*port); n != 0) {
      s.ports.loggerPort = n;
      s.ports.loggerDevice.clear();
    } else if (!port->empty() && (*port)[0] == '/') {
      s.ports.loggerDevice = *port;
    } else {
      std::fprintf(stderr, "kts: --port takes a COM number (1 to 16, \"COM3\") or a device path, not \"%s\"\n",
                   port->c_str());
      return false;
    }
  }
  return true;
}

}  // namespace kts::cli
