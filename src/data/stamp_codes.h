// The twelve stamp codes a logger writes into its sample stream, and the
// names the file headers and the plot give them. The type of a stamp is its
// row here (see StampType in data_set.h).
#pragma once

#include <cstdint>

namespace kts {

inline constexpr int kStampCodeCount = 12;

// "TIM", "CLD", … for type 0..11; "" outside that range.
const char* StampCode(int type);
// "TIME STAMP", "COLD STARTUP", … for type 0..11; "" outside that range.
const char* StampDisplayName(int type);
// The type whose code the three bytes spell, or −1.
int FindStampCode(const uint8_t* threeBytes);

}  // namespace kts
