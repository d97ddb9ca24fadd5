// Copying the logger's memory into the memory image, block by block: each
// block with its check byte, failed blocks asked for again, a fast link that
// keeps failing taken down to 19200 baud, the link kept alive between
// blocks, progress and the time remaining shown as it goes.
//
// The retrieval screen drives it: StartRetrieval once, RetrievalTick for
// each block while it returns true, FinishRetrieval at the end whatever
// happened. The range comes from s.link.memoryPointer, which the caller has
// read (or set to the full memory) beforehand.
#pragma once

#include <cstdint>
#include <string>

#include "link/logger_description.h"
#include "link/logger_identity.h"

namespace kts {

struct Session;

// Bytes per request at a rate: 1200 → 60, 2400 → 120, 4800 → 240,
// 57600 and 115200 → 960, any other rate → 480.
int RetrievalBlockSize(int baud);

// The addresses to read. Extended loggers: 0 up to the pointer, at most
// 0x7FE000. Older loggers: 0x20000 up to the pointer, at most 0x3FF7FE with
// the 4 Meg memory type and 0x1FF7FE otherwise.
struct MemoryRange {
  uint32_t start = 0;
  uint32_t end = 0;  // exclusive
};
MemoryRange RetrievalRange(const LoggerIdentity& id, const LoggerDescription& d, uint32_t pointer);

// One block request: the end address sent and the bytes that answer it
// (data and, where the logger sends one, the check byte).
struct BlockRequest {
  uint32_t end = 0;
  int count = 0;
  int dataBytes = 0;
  uint32_t memoryEnd = 0;  // moved back by the last-block rule of early HV recorders
};
// Plans the block at `start`: the block size, the 64 KiB bank boundaries
// of older loggers and the whole-sample last block of HV recorders below
// firmware 1.50 (`noCheckByte`).
BlockRequest PlanBlock(uint32_t start, uint32_t memoryEnd, int blockSize, bool extended,
                       bool noCheckByte);

// "Estimated download time remaining %d:%02d", or "… < 1 second".
std::string RemainingTimeText(uint32_t bytesLeft, int baud);

// Speeds the link up and sets up the range, counters and progress. False
// when the logger does not answer, or when an extended logger reports an
// empty memory (pointer 0). A range with nothing in it ends at once with
// "No data in memory." (true; s.retrieval.running stays false).
bool StartRetrieval(Session& s);

// Keeps the link alive and reads one block. True while blocks remain; false
// once the retrieval has ended (s.retrieval.end says how).
bool RetrievalTick(Session& s);

// Stops a running retrieval part way (the image keeps what was verified).
void CancelRetrievalEngine(Session& s);

// Back to the normal rate; the image length is what was read.
void FinishRetrieval(Session& s);

}  // namespace kts
