#include "sim/wire_fields.h"

#include "core/text.h"

namespace kts::sim {
int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ParseHexField(std::string_view text, size_t count, uint8_t* out) {
  if (text.size() < 2 * count) return false;
  for (size_t i = 0; i < count; ++i) {
    const int hi = HexDigitValue(text[2 * i]), lo = HexDigitValue(text[2 * i + 1]);
    if (hi < 0 || lo < 0) return false;
    out[i] = static_cast<uint8_t>(hi * 16 + lo);
  }
  return true;
}

bool ParseDecimalPairs(std::string_view text, size_t count, int* out) {
  if (text.size() < 2 * count) return false;
  for (size_t i = 0; i < count; ++i) {
    const char a = text[2 * i], b = text[2 * i + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9') return false;
    out[i] = (a - '0') * 10 + (b - '0');
  }
  return true;
}

bool ParseWireDate(std::string_view text, TimeRecord* out) {
  int f[6];
  if (!ParseDecimalPairs(text, 6, f)) return false;
  if (f[1] < 1 || f[1] > 12 || f[2] < 1 || f[2] > 31 || f[3] > 23 || f[4] > 59 || f[5] > 59)
    return false;
  *out = MakeTime(2000 + f[0], f[1], f[2], f[3], f[4], f[5]);
  return true;
}

bool ParseWirePeriod(std::string_view text, int* seconds) {
  int f[3];
  if (!ParseDecimalPairs(text, 3, f)) return false;
  if (f[1] > 59 || f[2] > 59 || f[0] > 24 || (f[0] == 24 && (f[1] || f[2]))) return false;
  *seconds = f[0] * 3600 + f[1] * 60 + f[2];
  return true;
}

std::string HexText(const uint8_t* bytes, size_t n) {
  std::string out;
  for (size_t i = 0; i < n; ++i) out += Format("%02X", bytes[i]);
  return out;
}

std::string HexLittleEndian32(uint32_t v) {
  return Format("%02X%02X%02X%02X", v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF, v >> 24);
}

std::string WireDate(const TimeRecord& t) {
  return Format("%02d%02d%02d%02d%02d%02d", (t.year - 2000) % 100, t.month, t.day, t.hour, t.minute,
                t.second);
}

std::string WirePeriod(int seconds) {
  return Format("%02d%02d%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
}

}  // namespace kts::sim
