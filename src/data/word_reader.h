// Reads the 24-bit sample words of an image, taking the stamps that the
// logger inserted between them out of the stream.
#pragma once

#include <cstdint>

#include "data/stamp_codes.h"

namespace kts {

inline constexpr int32_t kEndOfWords = -1;
inline constexpr int kStampBytes = 12;

struct WordCursor {
  const uint8_t* bytes = nullptr;
  int pos = 0;        // the next byte to read
  int end = 0;        // one past the last byte of the words
  int wordsRead = 0;  // stamp words included
};

// The next data word (0 … 0xFFFFFF, big-endian), or kEndOfWords. A zero word
// followed by one of the twelve codes is a stamp: it is consumed, handed to
// onStamp(type, bcd) with `bcd` at its six BCD date bytes, and the word after
// it is read the same way. `stampSeen` tells whether a stamp came before the
// word returned. A zero word without a code is the value 0. A stamp cut short
// by the end of the words ends them: its date cannot be trusted.
template <class OnStamp>
inline int32_t ReadWord(WordCursor& c, bool& stampSeen, OnStamp&& onStamp) {
  stampSeen = false;
  for (;;) {
    if (c.end - c.pos < 3) return kEndOfWords;
    const uint8_t* p = c.bytes + c.pos;
    const int32_t word = int32_t{p[0]} << 16 | int32_t{p[1]} << 8 | int32_t{p[2]};
    c.pos += 3;
    ++c.wordsRead;
    if (word != 0) return word;
    if (c.end - c.pos < 3) return 0;
    const int type = FindStampCode(p + 3);
    if (type < 0) return 0;
    if (c.end - c.pos < kStampBytes - 3) {
      c.pos = c.end;
      return kEndOfWords;
    }
    onStamp(type, p + 6);
    c.pos += kStampBytes - 3;
    c.wordsRead += 3;
    stampSeen = true;
  }
}

}  // namespace kts
