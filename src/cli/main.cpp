// kts: the command-line front end. Every logger operation and every file
// conversion, scriptable: results on stdout, messages on stderr, exit status
// 0 success, 1 failure, 2 usage error.
#include <cstdio>
#include <cstring>

#include "cli/cli_context.h"
#include "cli/commands.h"

namespace {

constexpr kts::cli::SubCommand kCommands[] = {
    {"ports", "list the COM ports, their devices and which are present", kts::cli::RunPorts},
    {"info", "identity, status, memory used, channels and calibration of a logger",
     kts::cli::RunInfo},
    {"clock", "logger and host time; --sync sets the logger clock", kts::cli::RunClock},
    {"retrieve", "read a logger's memory into .hex, .dat and .mat files", kts::cli::RunRetrieve},
    {"convert", "convert .hex, .dat and .mat files into other formats", kts::cli::RunConvert},
    {"stop", "stop a logger", kts::cli::RunStop},
    {"resume", "resume a suspended or stopped logger", kts::cli::RunResume},
    {"calibration", "show, set or list the history of the calibration coefficients",
     kts::cli::RunCalibration},
    {"setup", "check, program and enable a deployment (or assess one without a logger)",
     kts::cli::RunSetup},
    {"set-baud", "show or set the logger's default baud rate", kts::cli::RunSetBaud},
    {"set-latency", "show or set the latency of the logger's configuration",
     kts::cli::RunSetLatency},
    {"output-format", "show or set binary or engineering-units output", kts::cli::RunOutputFormat},
};

void PrintUsage(std::FILE* out) {
  std::fprintf(out, "usage: kts COMMAND [OPTIONS]\n\nCommands:\n");
  for (const auto& c : kCommands) std::fprintf(out, "  %-14s %s\n", c.name, c.summary);
  std::fprintf(out, "\nEvery command takes --help.\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    PrintUsage(stderr);
    return kts::cli::kUsage;
  }
  if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h") ||
      !std::strcmp(argv[1], "help")) {
    PrintUsage(stdout);
    return kts::cli::kSuccess;
  }
  for (const auto& c : kCommands)
    if (!std::strcmp(argv[1], c.name)) return c.run(argc - 1, argv + 1);
  std::fprintf(stderr, "kts: unknown command \"%s\"\n", argv[1]);
  PrintUsage(stderr);
  return kts::cli::kUsage;
}
