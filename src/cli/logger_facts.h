// What `kts info` reads from a connected logger, and how channels are named.
#pragma once

#include <cstdint>
#include <string>

#include "cli/cli_context.h"

namespace kts::cli {

struct LoggerFacts {
  int status = 0;
  uint32_t memoryPointer = 0;
  std::string memoryUsed;          // the memory-usage text
  std::string calibration;         // where the coefficients shown come from
  bool coefficientsRead = false;   // read from the logger just now
  bool coefficientsShown = false;  // a set is printed (read, or the defaults)
};

// Status, configuration, memory pointer and calibration of the connected
// logger. False (the reason on stderr) when the status, the configuration
// or the memory pointer cannot be read; a calibration that cannot be read
// is reported in `calibration` and is not a failure.
bool ReadLoggerFacts(CliContext& context, const char* command, LoggerFacts& facts);

// "2 - Temperature" (the channel list's text), or the column label for the
// types that have no list text; k counts from 0.
std::string ChannelLabel(const Session& s, int k);
const char* ChannelUnit(const Session& s, int k);

}  // namespace kts::cli
