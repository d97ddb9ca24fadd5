// Machine-readable output for --json: strings escaped for JSON, times in
// ISO 8601 form (local time, no zone, as the logger keeps it).
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "core/time_record.h"

namespace kts::cli {

// Bytes above 127 pass through (paths and texts the system took as UTF-8).
std::string JsonString(std::string_view text);
// Channel labels and units carry Latin-1 (the "µ" of micro-units is the
// byte 0xB5); JSON wants UTF-8.
std::string JsonLatin1(std::string_view text);
// The same conversion for text output on a UTF-8 terminal.
std::string Utf8FromLatin1(std::string_view text);
std::string JsonTime(const TimeRecord& t);
// Numbers that may be NaN or infinite come out as null.
std::string JsonNumber(double value);

}  // namespace kts::cli
