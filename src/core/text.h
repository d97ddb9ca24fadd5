// Small text helpers for replies and messages.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

namespace kts {

inline bool Contains(std::string_view hay, std::string_view needle) {
  return hay.find(needle) != std::string_view::npos;
}

// printf-style formatting into a std::string (for messages, not hot loops).
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatV(const char* format, va_list args);

}  // namespace kts
