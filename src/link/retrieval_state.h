// One memory retrieval in progress, and what the last one left behind.
#pragma once

#include <cstdint>

namespace kts {

// How a retrieval ended.
enum class RetrievalEnd {
  None,           // not started, or still running
  Complete,       // the whole range was read
  NothingToRead,  // the memory end was at or below the start address
  NoAnswer,       // the logger did not answer before the first block
  BlockFailed,    // ten attempts at one block failed
  LinkLost,       // the keep-alive could not reach the logger again
  LoggerChanged,  // another logger answered the keep-alive
  Cancelled,      // the user stopped it part way
};

struct RetrievalState {
  bool running = false;
  bool complete = false;  // the whole range was read
  RetrievalEnd end = RetrievalEnd::None;
  int imageOffset = 0;  // where the next block's bytes go
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
  // HV recorders below firmware 1.50 send no check byte after a block.
  bool noCheckByte = false;
  // The logger being read; a keep-alive that finds another one stops.
  int serial = -1;

  // The memory-pointer reply used by the last complete retrieval; the setup
  // compares the logger's current reply with it to warn about data that
  // have not been downloaded.
  char memoryPointerAtLastRetrieval[16] = {};
  // The memory pointer used and the whole 3-byte words read.
  uint32_t retrievedPointer = 0;
  int retrievedWords = 0;
};

}  // namespace kts
