#include "data/stamp_codes.h"

#include <array>
#include <cstddef>

namespace kts {
namespace {

struct StampName {
  char code[4];
  const char* display;
};

constexpr std::array<StampName, kStampCodeCount> kStampNames{{
    {"TIM", "TIME STAMP"},
    {"CLD", "COLD STARTUP"},
    {"CHG", "CHANGE STARTUP"},
    {"LUK", "COOL STARTUP"},
    {"WRM", "WARM STARTUP"},
    {"STP", "STOP STAMP"},
    {"TTY", "COMMS STAMP"},
    {"REC", "RECOVERY STAMP"},
    {"BST", "BURST STAMP"},
    {"SER", "SERIAL STAMP"},
    {"RTC", "RTC STAMP"},
    {"GAN", "GAIN STAMP"},
}};

}  // namespace

const char* StampCode(int type) {
  if (type < 0 || type >= kStampCodeCount) return "";
  return kStampNames[static_cast<size_t>(type)].code;
}

const char* StampDisplayName(int type) {
  if (type < 0 || type >= kStampCodeCount) return "";
  return kStampNames[static_cast<size_t>(type)].display;
}

int FindStampCode(const uint8_t* b) {
  for (int t = 0; t < kStampCodeCount; ++t) {
    const char* c = kStampNames[static_cast<size_t>(t)].code;
    if (b[0] == static_cast<uint8_t>(c[0]) && b[1] == static_cast<uint8_t>(c[1]) &&
        b[2] == static_cast<uint8_t>(c[2]))
      return t;
  }
  return -1;
}

}  // namespace kts
