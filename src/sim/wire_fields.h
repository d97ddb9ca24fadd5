// Parameter fields of the command language as the logger reads them: hex
// bytes in either case, two-digit decimal fields for dates and periods.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/time_record.h"

namespace kts::sim {

// 0–15, or −1 for a character that is not a hex digit.
int HexDigitValue(char c);
// `count` bytes from 2 × count hex digits (upper or lower case).
bool ParseHexField(std::string_view text, size_t count, uint8_t* out);
// `count` two-digit decimal numbers.
bool ParseDecimalPairs(std::string_view text, size_t count, int* out);
// "YYMMDDhhmmss" into a valid date and time (year 2000 + YY).
bool ParseWireDate(std::string_view text, TimeRecord* out);
// "hhmmss" into seconds: hours up to 24 (24:00:00 exactly), minutes and
// seconds below 60.
bool ParseWirePeriod(std::string_view text, int* seconds);

std::string HexText(const uint8_t* bytes, size_t n);  // "%02X" each
std::string HexLittleEndian32(uint32_t v);            // 8 digits, least significant byte first
std::string WireDate(const TimeRecord& t);            // "%02d" × 6, year − 2000
std::string WirePeriod(int seconds);                  // "%02d%02d%02d"

}  // namespace kts::sim
