// kts info: who the logger is, what it is doing, how full its memory is,
// its channels and its calibration.
#include <cstdio>
#include <string>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/json_output.h"
#include "cli/logger_facts.h"
#include "convert/channel_types.h"
#include "core/session.h"
#include "core/text.h"
#include "core/time_format.h"
#include "link/commands.h"
#include "link/connection.h"
#include "link/logger_status.h"
#include "link/serial_link.h"

namespace kts::cli {
namespace {

constexpr const char* kInfoUsage =
    "usage: kts info --port P [--json] [--base DIR] [--quiet]\n"
    "\n"
    "Connects to the logger and prints its identity, status, memory used, its\n"
    "channels with their labels and units, and its calibration coefficients.\n"
    "--port takes a COM number (\"3\" or \"COM3\") or a device path.\n";

void PrintText(const Session& s, const LoggerFacts& f) {
  std::printf("Logger        %s\n", IdentityText(s.link.identity).c_str());
  std::printf("Port          %s at %d baud\n", LoggerPortName(s).c_str(), s.ports.currentBaud);
  std::printf("Status        %s\n", StatusName(f.status));
  std::printf("Memory used   %s\n", f.memoryUsed.c_str());
  std::printf("Channels      %d\n", s.description.channelCount);
  for (int k = 0; k < s.description.channelCount; ++k)
    std::printf("  %-22s %s\n", Utf8FromLatin1(ChannelLabel(s, k)).c_str(),
                Utf8FromLatin1(ChannelUnit(s, k)).c_str());
  std::printf("Calibration   %s\n", f.calibration.c_str());
  if (!f.coefficientsShown) return;
  std::printf("  channel  %20s %20s %20s %20s\n", "c0", "c1", "c2", "c3");
  for (int k = 0; k < s.description.channelCount; ++k) {
    const auto& c = s.coefficients.c[static_cast<size_t>(k)];
    std::printf("  %7d  %20.15f %20.15f %20.15f %20.15f\n", k + 1, c[0], c[1], c[2], c[3]);
  }
}

void PrintJson(const Session& s, const LoggerFacts& f) {
  const LoggerIdentity& id = s.link.identity;
  std::printf("{\"identity\":%s,\"model\":%s,\"firmware\":%.2f,\"serial\":%d,",
              JsonString(IdentityText(id)).c_str(), JsonString(id.model).c_str(),
              static_cast<double>(id.firmware), id.serial);
  std::printf("\"port\":%s,\"baud\":%d,", JsonString(LoggerPortName(s)).c_str(),
              s.ports.currentBaud);
  std::printf("\"status\":%d,\"statusName\":%s,", f.status,
              JsonString(StatusName(f.status)).c_str());
  std::printf("\"memoryPointer\":%u,\"memoryUsed\":%s,", f.memoryPointer,
              JsonString(f.memoryUsed).c_str());
  std::printf("\"calibration\":%s,\"calibrationRead\":%s,", JsonString(f.calibration).c_str(),
              f.coefficientsRead ? "true" : "false");
  std::printf("\"channels\":[");
  for (int k = 0; k < s.description.channelCount; ++k) {
    const auto type = static_cast<char>(s.description.channelTypes[static_cast<size_t>(k)]);
    std::printf("%s{\"number\":%d,\"type\":%s,\"label\":%s,\"unit\":%s", k ? "," : "", k + 1,
                JsonString(std::string(1, type)).c_str(), JsonLatin1(ChannelLabel(s, k)).c_str(),
                JsonLatin1(ChannelUnit(s, k)).c_str());
    if (f.coefficientsShown) {
      const auto& c = s.coefficients.c[static_cast<size_t>(k)];
      std::printf(",\"coefficients\":[%s,%s,%s,%s]", JsonNumber(c[0]).c_str(),
                  JsonNumber(c[1]).c_str(), JsonNumber(c[2]).c_str(), JsonNumber(c[3]).c_str());
    }
    std::printf("}");
  }
  std::printf("]}\n");
}

}  // namespace

int RunInfo(int argc, char** argv) {
  OptionSpec spec;
  spec.flags.insert("--json");
  Arguments args;
  if (const int status = ReadCommandArguments(argc, argv, "info", kInfoUsage, spec, args);
      status >= 0)
    return status;
  CliContext context;
  if (!context.applyCommonOptions(args)) return kUsage;
  if (!ConnectLogger(context, "info")) return kFailure;
  LoggerFacts facts;
  if (!ReadLoggerFacts(context, "info", facts)) return kFailure;
  if (args.has("--json"))
    PrintJson(*context.session, facts);
  else
    PrintText(*context.session, facts);
  return kSuccess;
}

}  // namespace kts::cli
