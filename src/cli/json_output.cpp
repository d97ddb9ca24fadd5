#include "cli/json_output.h"

#include <cmath>

#include "core/text.h"

namespace kts::cli {

namespace {

std::string Quote(std::string_view text, bool latin1) {
  std::string out = "\"";
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      out += Format("\\u%04x", u);
    } else if (u >= 0x80 && latin1) {
      out += static_cast<char>(0xC0 | (u >> 6));
      out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
      out += c;
    }
  }
  out += '"';
  return out;
}

}  // namespace

std::string JsonString(std::string_view text) {
  return Quote(text, false);
}
std::string JsonLatin1(std::string_view text) {
  return Quote(text, true);
}

std::string Utf8FromLatin1(std::string_view text) {
  std::string out;
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (u >> 6));
      out += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return out;
}

std::string JsonTime(const TimeRecord& t) {
  return Format("\"%04d-%02d-%02dT%02d:%02d:%02d\"", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
}

std::string JsonNumber(double value) {
  if (!std::isfinite(value)) return "null";
  return Format("%.17g", value);
}

}  // namespace kts::cli
