// Where one command ends in the byte stream the host writes. Commands carry
// no terminator: the logger knows each command's length from its letters
// (and, for "!C", from the count it carries).
#pragma once

#include <cstddef>
#include <string_view>

namespace kts::sim {

struct FramingRules {
  bool plainFetch = false;         // "F" alone (older loggers outside the QZ family)
  bool singleCalibration = false;  // "Y" + 32 bytes (the oldest loggers)
};

// Bytes the logger skips between commands: line ends and blanks (a person
// at a terminal), stray ACK/NAK and NUL bytes.
bool IsFiller(unsigned char c);

enum class Frame { Complete, NeedMore, Unknown };

struct FrameResult {
  Frame frame;
  size_t length;  // Complete: the command's length; Unknown: bytes to discard
};

// The command at the start of `pending` (which must not start with filler).
FrameResult FrameCommand(std::string_view pending, const FramingRules& rules);

}  // namespace kts::sim
