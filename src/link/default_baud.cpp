#include "link/default_baud.h"

#include <algorithm>
#include <array>

#include "core/session.h"
#include "core/text.h"
#include "link/protocol.h"
#include "platform/status_line.h"

namespace kts {
namespace {

// The byte of the "R0300" table; false on any read failure.
bool ReadDefaultBaudByte(Session& s, uint8_t* d) {
  std::array<uint8_t, 256> table{};
  int n = 0;
  if (ReadTable(s, "R0300", table.data(), static_cast<int>(table.size()), &n) != 1 || n < 2)
    return false;
  *d = table[0];
  return true;
}

}  // namespace

int DefaultBaudFromByte(uint8_t d) {
  const int divisor = (d + 2) % 256;
  return divisor == 0 ? 0 : 288000 / divisor;
}

int DefaultBaudByte(int rate) {
  if (rate <= 0) return -1;
  const int d = 288000 / rate - 2;
  return (d >= 0 && d <= 253) ? d : -1;
}

int ReadDefaultBaud(Session& s) {
  uint8_t d = 0;
  const int rate = ReadDefaultBaudByte(s, &d) ? DefaultBaudFromByte(d) : 0;
  if (rate == 0) {
    ShowStatus(s.ui, "Default baudrate retrieve error");
    return 0;
  }
  s.description.defaultBaud = rate;
  return rate;
}

bool WriteDefaultBaud(Session& s, int rate) {
  const bool standard =
      std::find(kStandardRates.begin(), kStandardRates.end(), rate) != kStandardRates.end();
  if (!standard || rate < s.description.lowestDefaultBaud) {
    ShowStatus(s.ui, Format("Default baudrate %d is not allowed for this logger", rate));
    return false;
  }
  const uint8_t d = static_cast<uint8_t>(DefaultBaudByte(rate));
  if (!SendTable(s, "S0300", 1, &d)) {
    ShowStatus(s.ui, "Default baudrate send error");
    return false;
  }
  uint8_t back = 0;
  if (!ReadDefaultBaudByte(s, &back)) {
    ShowStatus(s.ui, "Default baudrate retrieve error");
    return false;
  }
  if (back != d) {
    ShowStatus(s.ui, "Default baudrate compare error");
    return false;
  }
  s.description.defaultBaud = rate;
  ShowStatus(s.ui, "Default baudrate write success");
  return true;
}

}  // namespace kts
