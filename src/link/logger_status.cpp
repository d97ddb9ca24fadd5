#include "link/logger_status.h"

#include <cstdio>
#include <cstring>

namespace kts {

const char* StatusName(int code) {
  static constexpr const char* kNames[9] = {"Not Enabled",      "Enabled",
                                            "Logging",          "Thresholding enabled",
                                            "Logging Complete", "Logging Suspended",
                                            "Profiling Active", "Memory Error",
                                            "Logging Stopped by User"};
  return (code >= 0 && code <= 8) ? kNames[code] : kNames[7];
}

bool ParseStatusReply(std::string_view reply, bool extended, int* code, int* secondByte) {
  static constexpr std::string_view kKey = "Logger status";
  const size_t at = reply.find(kKey);
  if (at == std::string_view::npos) return false;
  char field[16] = {};
  const std::string_view rest = reply.substr(at + kKey.size());
  std::memcpy(field, rest.data(), rest.size() < sizeof field - 1 ? rest.size() : sizeof field - 1);
  unsigned first = 0, second = 0;
  const int fields = std::sscanf(field, "%2X%2X", &first, &second);
  if (fields < 1) return false;
  // sscanf's %X takes a sign, so a noisy "-1" reads as a huge value: never
  // let it become a negative status.
  int c = first > 0xFF ? 7 : static_cast<int>(first);
  if (second > 0xFF) second = 0;
  if (!extended) {
    if (c > 6) c = 7;
    second = 0;
  } else {
    if (fields < 2) second = 0;
    if (c == 4 && second == 2) c = 8;
    else if (c > 6 && c != 8) c = 7;
  }
  if (code) *code = c;
  if (secondByte) *secondByte = static_cast<int>(second);
  return true;
}

}  // namespace kts
