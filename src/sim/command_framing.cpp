#include "sim/command_framing.h"

#include "sim/wire_fields.h"

namespace kts::sim {
namespace {

FrameResult Need(std::string_view pending, size_t length) {
  if (pending.size() >= length) return {Frame::Complete, length};
  return {Frame::NeedMore, 0};
}

// Length of a "!x" command, 0 when unknown, 1 for "!C" (length follows).
size_t BangLength(char c) {
  // clang-format off
  switch (c) {
    case '2': case '5': case '7': case '9': case 'D': case 'L': case 'M': case 'O': case 'P':
    case 'R': case 'S': case 'W': case 'Z':
      return 2;
    case '0': case '4': case 'B': case 'E': case 'T': case 'U': return 4;
    case 'H': return 6;
    case 'K': return 8;
    case '1': return 10;
    case '6': return 12;
    case 'A': case 'Y': return 18;
    case 'C': return 1;
    default: return 0;
  }
  // clang-format on
}

}  // namespace

bool IsFiller(unsigned char c) {
  return c == '\r' || c == '\n' || c == ' ' || c == '\t' || c == 0 || c == 0x06 || c == 0x15;
}

FrameResult FrameCommand(std::string_view p, const FramingRules& rules) {
  if (p.empty()) return {Frame::NeedMore, 0};
  // clang-format off
  switch (p[0]) {
    case 'A': case 'B': case 'C': case 'D': case 'E': case 'G': case 'T': case 'P': case 'N':
    case 'X': case 'Z':
      return {Frame::Complete, 1};
    case 'F': return rules.plainFetch ? FrameResult{Frame::Complete, 1} : Need(p, 3);
    case 'J': case 'L': case 'M': return Need(p, 13);
    case 'K': return Need(p, 7);
    case 'W': case 'R': return Need(p, 5);
    case 'I': return Need(p, 17);
    case 'S': case 'U': case 'V': return Need(p, 7);
    case 'Y':
      if (!rules.singleCalibration) return {Frame::Unknown, 1};
      return Need(p, 33);
    case '!': {
      if (p.size() < 2) return {Frame::NeedMore, 0};
      const size_t length = BangLength(p[1]);
      if (length == 0) return {Frame::Unknown, 2};
      if (length > 1) return Need(p, length);
      // "!C" + offset (2 bytes) + count, then count bytes as hex digits.
      if (p.size() < 8) return {Frame::NeedMore, 0};
      const int hi = HexDigitValue(p[6]), lo = HexDigitValue(p[7]);
      if (hi < 0 || lo < 0) return {Frame::Complete, 8};  // refused as it stands
      return Need(p, 8 + 2 * static_cast<size_t>(hi * 16 + lo));
    }
    default:
      return {Frame::Unknown, 1};
  }
  // clang-format on
}

}  // namespace kts::sim
