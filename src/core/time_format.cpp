#include "core/time_format.h"

#include <cstdio>
#include <cstring>

namespace kts {
namespace {

int TwoDigits(int v) {
  v %= 100;
  return v < 0 ? v + 100 : v;
}

// Reads the n characters that end just before position `end` with the given
// scanf format; false when fewer characters precede the tag.
template <typename... Ints>
int ScanBefore(std::string_view text, size_t end, size_t n, const char* format, Ints*... out) {
  if (end < n) return 0;
  char field[16] = {};
  std::memcpy(field, text.data() + end - n, n);
  return std::sscanf(field, format, out...);
}

}  // namespace

const char* MonthAbbreviation(int month) {
  static constexpr const char* kNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  return (month >= 1 && month <= 12) ? kNames[month - 1] : "???";
}

TimeText FormatWireDateTime(const TimeRecord& t) {
  TimeText r;
  std::snprintf(r.s, sizeof r.s, "%02d%02d%02d%02d%02d%02d", TwoDigits(t.year - 2000),
                TwoDigits(t.month), TwoDigits(t.day), TwoDigits(t.hour), TwoDigits(t.minute),
                TwoDigits(t.second));
  return r;
}

TimeText FormatWireDuration(const TimeRecord& t) {
  TimeText r;
  std::snprintf(r.s, sizeof r.s, "%02d%02d%02d", TwoDigits(t.hour), TwoDigits(t.minute),
                TwoDigits(t.second));
  return r;
}

TimeText FormatDisplayDateTime(const TimeRecord& t) {
  TimeText r;
  std::snprintf(r.s, sizeof r.s, "%04d/%s/%02d %02d:%02d:%02d", int{t.year},
                MonthAbbreviation(t.month), int{t.day}, int{t.hour}, int{t.minute},
                int{t.second});
  return r;
}

TimeText FormatShortDateTime(const TimeRecord& t) {
  TimeText r;
  std::snprintf(r.s, sizeof r.s, "%02d/%02d/%02d %02d:%02d:%02d", TwoDigits(t.year - 2000),
                int{t.month}, int{t.day}, int{t.hour}, int{t.minute}, int{t.second});
  return r;
}

TimeText FormatClock(const TimeRecord& t) {
  TimeText r;
  std::snprintf(r.s, sizeof r.s, "%02d:%02d:%02d", int{t.hour}, int{t.minute}, int{t.second});
  return r;
}

TimeText FormatPeriod(const TimeRecord& t) { return FormatClock(t); }

TimeRecord ParseWireDateTime(std::string_view reply) {
  const TimeRecord fallback = MakeTime(2000, 1, 1);
  const size_t c = reply.find('C');
  if (c == std::string_view::npos) return fallback;
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  if (ScanBefore(reply, c, 12, "%02d%02d%02d%02d%02d%02d", &y, &mo, &d, &h, &mi, &s) != 6)
    return fallback;
  if (y < 0 || y > 99 || mo < 1 || mo > 12 || d < 1 || d > 31 || h < 0 || h >= 24 || mi < 0 ||
      mi >= 60 || s < 0 || s >= 60)
    return fallback;
  return MakeTime(y + 2000, mo, d, h, mi, s);
}

TimeRecord ParseWireDuration(std::string_view reply) {
  size_t tag = reply.find("CSP");
  if (tag == std::string_view::npos) tag = reply.find("WAV");
  const TimeRecord zero = MakeTime(2000, 1, 1);
  if (tag == std::string_view::npos || tag < 6) return zero;
  int h = -1, m = -1, s = -1;
  ScanBefore(reply, tag, 6, "%02d%02d%02d", &h, &m, &s);
  TimeRecord p = zero;
  const bool fullDay = h == 24 && m == 0 && s == 0;
  if (fullDay || (h >= 0 && h < 24 && m >= 0 && m < 60 && s >= 0 && s < 60)) {
    p.hour = static_cast<uint16_t>(h);
    p.minute = static_cast<uint16_t>(m);
    p.second = static_cast<uint16_t>(s);
  } else {
    p.hour = 0;
    p.minute = 1;
    p.second = 0;
  }
  return p;
}

}  // namespace kts
