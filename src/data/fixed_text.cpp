#include "data/fixed_text.h"

#include <charconv>
#include <cstring>

namespace kts {

char* PutFixed(char* p, double value, int precision, int width) {
  // The digits go straight to their place and move right by the padding.
  const auto r = std::to_chars(p, p + kMaxFixedChars, value, std::chars_format::fixed, precision);
  // Only a value beyond any double could fail; nothing is written then.
  if (r.ec != std::errc()) return p;
  const int n = static_cast<int>(r.ptr - p);
  const int pad = width - n;
  if (pad <= 0) return r.ptr;
  std::memmove(p + pad, p, static_cast<size_t>(n));
  std::memset(p, ' ', static_cast<size_t>(pad));
  return p + width;
}

char* PutInt(char* p, int64_t value, int width, bool zeroPad) {
  char digits[24];
  const auto r = std::to_chars(digits, digits + sizeof digits, value);
  const int n = static_cast<int>(r.ptr - digits);
  int pad = width - n;
  if (pad > 0 && zeroPad) {
    // printf puts the sign before the zeros.
    const char* d = digits;
    int len = n;
    if (*d == '-') {
      *p++ = '-';
      ++d;
      --len;
    }
    for (; pad > 0; --pad) *p++ = '0';
    std::memcpy(p, d, static_cast<size_t>(len));
    return p + len;
  }
  for (; pad > 0; --pad) *p++ = ' ';
  std::memcpy(p, digits, static_cast<size_t>(n));
  return p + n;
}

TextOut& TextOut::fixed(double value, int precision, int width) {
  char buffer[kMaxFixedChars + 64];
  const int w = width < 64 ? width : 64;
  char* end = PutFixed(buffer, value, precision, w);
  out_.append(buffer, static_cast<size_t>(end - buffer));
  return *this;
}

TextOut& TextOut::integer(int64_t value, int width, bool zeroPad) {
  char buffer[96];
  const int w = width < 64 ? width : 64;
  char* end = PutInt(buffer, value, w, zeroPad);
  out_.append(buffer, static_cast<size_t>(end - buffer));
  return *this;
}

TextOut& TextOut::clock(const TimeRecord& t) {
  integer(t.hour, 2, true).ch(':').integer(t.minute, 2, true).ch(':');
  return integer(t.second, 2, true);
}

TextOut& TextOut::date(const TimeRecord& t, bool spacePaddedYear) {
  integer(t.year, 4, !spacePaddedYear).ch('/').integer(t.month, 2, true).ch('/');
  return integer(t.day, 2, true);
}

}  // namespace kts
