#include "link/rs_advanced.h"

#include <array>

#include "core/session.h"
#include "link/protocol.h"
#include "platform/status_line.h"

namespace kts {
namespace {

void ApplyDataBuoy(LoggerDescription& d) {
  if (d.dataBuoy != 1) return;
  d.rsAdvanced =
      static_cast<uint8_t>((d.rsAdvanced | kRsSerialCard | kRsAsciiOutput) & ~kRsBinaryOutput);
}

}  // namespace

void InstallRsAdvancedDefault(LoggerDescription& d) {
  d.rsAdvanced = kRsBinaryOutput;
  ApplyDataBuoy(d);
}

int ReadRsAdvanced(Session& s) {
  LoggerDescription& d = s.description;
  InstallRsAdvancedDefault(d);
  if (!(d.configFlags & kConfigAdvanced)) return 2;
  std::array<uint8_t, 256> table{};
  int n = 0;
  const int read = ReadTable(s, "R0700", table.data(), static_cast<int>(table.size()), &n);
  if (read < 0) return 2;  // the logger keeps no such table after all
  if (read == 0 || n < 2) {
    ShowStatus(s.ui, "Retrieve RS Advanced information failed");
    return 0;
  }
  d.rsAdvanced = table[0];
  ApplyDataBuoy(d);
  return 1;
}

const char* OutputFormatText(uint8_t rsAdvanced) {
  const bool binary = rsAdvanced & kRsBinaryOutput;
  const bool ascii = rsAdvanced & kRsAsciiOutput;
  if (binary && ascii) return "Format: ASCII and Binary";
  if (binary) return "Format: Binary";
  if (ascii) return "Format: ASCII";
  return "Format: None set";
}

}  // namespace kts
