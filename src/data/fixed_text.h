// Text output for the data files, digit for digit what the printf formats
// "%d", "%6d", "%02d", "%9.4f", "%.15f" … give, but without the C locale
// (a desktop locale with a decimal comma must not change a file) and fast
// enough for millions of values: std::to_chars gives the exact decimal
// expansion that glibc's printf gives for the same precision.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/time_record.h"

namespace kts {

// Room that one value may need: "%.15f" of the largest double is 327
// characters; no caller asks for more precision than 15.
inline constexpr int kMaxFixedChars = 360;

// "%*.*f": writes at p, returns the position after. p must have
// kMaxFixedChars of room (or width, when larger).
char* PutFixed(char* p, double value, int precision, int width = 0);
// "%*d" (zeroPad false) or "%0*d".
char* PutInt(char* p, int64_t value, int width = 0, bool zeroPad = false);

// Appends to a string, for headers and the smaller files.
class TextOut {
 public:
  explicit TextOut(std::string& out) : out_(out) {}
  TextOut& text(std::string_view t) {
    out_.append(t);
    return *this;
  }
  TextOut& ch(char c) {
    out_.push_back(c);
    return *this;
  }
  TextOut& fixed(double value, int precision, int width = 0);
  TextOut& integer(int64_t value, int width = 0, bool zeroPad = false);
  // "%02d:%02d:%02d"
  TextOut& clock(const TimeRecord& t);
  // "%04d/%02d/%02d" (four-digit year), or "%4d/%02d/%02d" (space-padded)
  TextOut& date(const TimeRecord& t, bool spacePaddedYear = false);

 private:
  std::string& out_;
};

}  // namespace kts
