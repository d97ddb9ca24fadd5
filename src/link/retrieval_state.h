// One memory retrieval in progress.
#pragma once

#include <cstdint>

namespace kts {

struct RetrievalState {
  bool running = false;
  bool complete = false;  // the whole range was read
  int imageOffset = 0;    // where the next block's bytes go
  uint32_t startAddress = 0;
  uint32_t memoryEnd = 0;  // exclusive
  uint32_t firstAddress = 0;
  int blockSize = 480;
  int blocksRequested = 0;
  int blocksRetransmitted = 0;
  double progress = 0.0;
  double increment = 0.0;
  int64_t lastTickMs = 0;
  int tickPeriodMs = 1000;
};

}  // namespace kts
