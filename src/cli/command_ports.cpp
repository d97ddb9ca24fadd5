// kts ports: the COM numbers, the devices they stand for, which are present.
#include <cstdio>

#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/json_output.h"
#include "link/serial_link.h"

namespace kts::cli {

namespace {

constexpr const char* kPortsUsage =
    "usage: kts ports [--json] [--base DIR]\n"
    "\n"
    "Lists COM1 to COM16, the device each stands for and whether it is present\n"
    "(a port another program holds shows as absent). The mapping is read from\n"
    "ktsports.ini in the base directory (default: the current directory).\n";

}  // namespace

int RunPorts(int argc, char** argv) {
  OptionSpec spec;
  AddCommonOptions(spec);
  spec.flags.insert("--json");
  Arguments args;
  std::string error;
  if (!ParseArguments(argc, argv, 1, spec, args, error) || !args.positional.empty()) {
    std::fprintf(stderr, "kts ports: %s\n%s", error.empty() ? "unexpected argument" : error.c_str(),
                 kPortsUsage);
    return kUsage;
  }
  if (args.has("--help")) {
    std::fputs(kPortsUsage, stdout);
    return kSuccess;
  }
  CliContext context;
  if (!context.applyCommonOptions(args)) return kUsage;
  Session& s = *context.session;
  ScanCommPorts(s);
  const bool json = args.has("--json");
  if (json) std::printf("[");
  for (int n = 1; n <= kMaxComPort; ++n) {
    const std::string device = s.ports.map.deviceFor(n);
    const bool present = s.ports.present[static_cast<size_t>(n)];
    if (json) {
      std::printf("%s{\"port\":\"COM%d\",\"device\":%s,\"present\":%s}", n > 1 ? "," : "", n,
                  JsonString(device).c_str(), present ? "true" : "false");
    } else {
      std::printf("COM%-3d %-8s %s\n", n, present ? "present" : "absent", device.c_str());
    }
  }
  if (json) std::printf("]\n");
  return kSuccess;
}

}  // namespace kts::cli
