#include "link/memory_retrieval.h"

#include <algorithm>

#include "core/checksum.h"
#include "core/session.h"
#include "core/text.h"
#include "link/connection.h"
#include "link/link_hooks.h"
#include "link/protocol.h"
#include "link/serial_link.h"
#include "link/speed_change.h"

namespace kts {
namespace {

constexpr uint32_t kExtendedMemoryEnd = 0x7FE000;
constexpr uint32_t kOlderMemoryStart = 0x20000;
constexpr uint32_t kLargeMemoryEnd = 0x3FF7FE;
constexpr uint32_t kStandardMemoryEnd = 0x1FF7FE;
constexpr int kAttempts = 10;
constexpr int kFallBackAttempt = 6;  // after five failures
constexpr int kFallBackRate = 19200;
constexpr int kFallBackBlockSize = 480;
constexpr int kRetryPauseMs = 300;
constexpr int64_t kKeepAliveMs = 5000;

// The image store also takes the check byte and ReadComm's terminator
// behind the last block.
constexpr uint32_t kLargestRange = MemoryImage::kCapacity - 2;

int TickPeriodMs(int blockSize, int baud) {
  return baud > 0 ? std::max(1, blockSize * 10000 / baud) : 1000;
}

// A new block size scales the progress each block brings.
void SetBlockSize(Session& s, int blockSize) {
  RetrievalState& r = s.retrieval;
  if (blockSize == r.blockSize || r.blockSize <= 0) return;
  r.increment *= static_cast<double>(blockSize) / r.blockSize;
  r.blockSize = blockSize;
  r.tickPeriodMs = TickPeriodMs(blockSize, s.ports.currentBaud);
  StartTimer(s, r.tickPeriodMs, true);
}

void EndRetrieval(Session& s, RetrievalEnd how) {
  RetrievalState& r = s.retrieval;
  r.running = false;
  r.end = how;
  r.complete = how == RetrievalEnd::Complete || how == RetrievalEnd::NothingToRead;
  s.image.length = r.imageOffset;
}

bool SameLogger(const Session& s) {
  return s.link.identity.serial == s.retrieval.serial;
}

// After a pause of 5 seconds or more the logger may have gone to sleep or
// the line may have dropped: wake it, at 19200 baud if the fast rate no
// longer gets through. False when it cannot be reached (no message: the
// screen finishes with what has been read).
bool KeepAlive(Session& s) {
  RetrievalState& r = s.retrieval;
  if (s.clock.monotonicMs() - r.lastTickMs < kKeepAliveMs) return true;
  const int rate = s.ports.currentBaud;
  if (Connect(s)) {
    if (SameLogger(s)) return true;
    EndRetrieval(s, RetrievalEnd::LoggerChanged);
    return false;
  }
  if (rate > kFallBackRate) {
    s.ports.currentBaud = kFallBackRate;
    SetCommBaud(s, kFallBackRate);
    // The rate to go back to afterwards is the one before this retrieval,
    // not the fall-back rate the second speed-up starts from.
    const int savedRate = s.link.savedRate;
    const bool reached = Connect(s) && SameLogger(s) && SpeedUpForRetrieval(s);
    s.link.savedRate = savedRate;
    if (reached) {
      SetBlockSize(s, RetrievalBlockSize(s.ports.currentBaud));
      return true;
    }
  }
  EndRetrieval(
      s, s.link.connected && !SameLogger(s) ? RetrievalEnd::LoggerChanged : RetrievalEnd::LinkLost);
  return false;
}

bool BlockArrived(const uint8_t* at, int got, const BlockRequest& b, bool noCheckByte) {
  if (got != b.count) return false;
  if (noCheckByte) return true;
  return at[b.dataBytes] == MemoryCheckByte(at, static_cast<size_t>(b.dataBytes));
}

}  // namespace

int RetrievalBlockSize(int baud) {
  switch (baud) {
    case 1200:
      return 60;
    case 2400:
      return 120;
    case 4800:
      return 240;
    case 57600:
    case 115200:
      return 960;
    default:
      return 480;
  }
}

MemoryRange RetrievalRange(const LoggerIdentity& id, const LoggerDescription& d, uint32_t pointer) {
  MemoryRange range;
  if (id.extended) {
    range.start = 0;
    range.end = std::min(pointer, kExtendedMemoryEnd);
  } else {
    range.start = kOlderMemoryStart;
    range.end = std::min(pointer, d.memoryType == 2 ? kLargeMemoryEnd : kStandardMemoryEnd);
  }
  if (range.end > range.start && range.end - range.start > kLargestRange)
    range.end = range.start + kLargestRange;
  return range;
}

BlockRequest PlanBlock(uint32_t start, uint32_t memoryEnd, int blockSize, bool extended,
                       bool noCheckByte) {
  BlockRequest b;
  b.memoryEnd = memoryEnd;
  if (start >= memoryEnd || blockSize <= 0) {
    b.end = start;
    return b;
  }
  const int checkByte = noCheckByte ? 0 : 1;
  const auto countTo = [&](uint32_t end) { return static_cast<int>(end - start) + checkByte; };
  b.end = memoryEnd - start > static_cast<uint32_t>(blockSize) ? start + blockSize : memoryEnd;
  b.count = countTo(b.end);

  // Older loggers cannot read across the end of a 64 KiB bank: the blocks
  // that reach one are asked for in the fixed forms the firmware expects.
  if (!extended) {
    const uint32_t span = b.end - start;
    const uint32_t nextBank = (start & ~0xFFFFu) + 0x10000u;
    if ((start == 0x0FF780 || start == 0x1FF780 || start == 0x2FF780) && span >= 126) {
      b.end = nextBank;
      b.count = 126 + checkByte;
      if (b.end > memoryEnd) {
        b.end = memoryEnd;
        b.count = countTo(b.end);
      }
    } else if (start == 0x3FF780 && span >= 126) {
      b.end = (b.end & ~0xFFu) | 0xFEu;
      b.count = 126 + checkByte;
    } else if ((start & 0xFFFFu) == 0xFF00u && span >= 256) {
      b.end = nextBank;
      b.count = 255 + checkByte;
    }
  }

  // Early HV recorders end on a whole 3-byte sample.
  if (noCheckByte && b.end == memoryEnd) {
    const int cut = b.count % 3;
    b.count -= cut;
    b.end -= static_cast<uint32_t>(cut);
    b.memoryEnd = b.end;
  }
  b.dataBytes = b.count - checkByte;
  return b;
}

std::string RemainingTimeText(uint32_t bytesLeft, int baud) {
  double seconds = 0.0;
  if (baud == 115200)
    seconds = bytesLeft * 0.000125;
  else if (baud >= 10)
    seconds = static_cast<double>(bytesLeft) / (baud / 10);
  const int whole = static_cast<int>(seconds);
  if (whole > 0) return Format("Estimated download time remaining %d:%02d", whole / 60, whole % 60);
  return "Estimated download time remaining < 1 second";
}

bool StartRetrieval(Session& s) {
  RetrievalState& r = s.retrieval;
  r.running = false;
  r.complete = false;
  r.end = RetrievalEnd::None;
  r.imageOffset = 0;
  r.blocksRequested = 0;
  r.blocksRetransmitted = 0;
  r.progress = 0.0;
  s.image.length = 0;
  r.noCheckByte = IsHvModel(s.link.identity) && !FirmwareAtLeast(s.link.identity, 1.50);
  r.serial = s.link.identity.serial;
  // Whatever happens next, the rate to return to is the present one.
  s.link.savedRate = s.ports.currentBaud;

  if (s.link.identity.extended && s.link.memoryPointer == 0) {
    EndRetrieval(s, RetrievalEnd::NoAnswer);
    return false;
  }
  const MemoryRange range = RetrievalRange(s.link.identity, s.description, s.link.memoryPointer);
  r.firstAddress = r.startAddress = range.start;
  r.memoryEnd = range.end;
  if (range.end <= range.start) {
    // Nothing to read: never a division by an empty range.
    ShowRetrievalMessage(s, "No data in memory.");
    EndRetrieval(s, RetrievalEnd::NothingToRead);
    return true;
  }

  if (!SpeedUpForRetrieval(s)) {
    EndRetrieval(s, RetrievalEnd::NoAnswer);
    return false;
  }
  r.blockSize = RetrievalBlockSize(s.ports.currentBaud);
  r.increment = r.blockSize * 100.0 / (r.memoryEnd - r.startAddress);
  s.ui.progress(0, "");
  r.lastTickMs = s.clock.monotonicMs();
  EnableMenus(s, MenuGroup::LoggerCommands, false);
  r.tickPeriodMs = TickPeriodMs(r.blockSize, s.ports.currentBaud);
  StartTimer(s, r.tickPeriodMs, true);
  r.running = true;
  return true;
}

bool RetrievalTick(Session& s) {
  RetrievalState& r = s.retrieval;
  if (!r.running) return false;
  if (!KeepAlive(s)) return false;

  BlockRequest b =
      PlanBlock(r.startAddress, r.memoryEnd, r.blockSize, s.link.identity.extended, r.noCheckByte);
  r.memoryEnd = b.memoryEnd;
  if (b.dataBytes <= 0) {
    EndRetrieval(s, RetrievalEnd::Complete);
    return false;
  }

  uint8_t* const store = s.image.bytes.get();
  const int room = MemoryImage::kCapacity - r.imageOffset;
  bool accepted = false;
  for (int attempt = 1; attempt <= kAttempts && !accepted; ++attempt) {
    if (attempt > 1) {
      // Let the rest of a bad answer arrive and throw it away, so that it
      // cannot be taken for the start of the next one.
      DelayMs(s, kRetryPauseMs);
      ReadComm(s, PortRole::Logger, store + r.imageOffset, room, b.count);
      ++r.blocksRetransmitted;
      if (attempt == kFallBackAttempt && s.ports.currentBaud > kFallBackRate) {
        SetLoggerSpeed(s, kFallBackRate);
        SetBlockSize(s, kFallBackBlockSize);
        b = PlanBlock(r.startAddress, r.memoryEnd, r.blockSize, s.link.identity.extended,
                      r.noCheckByte);
        r.memoryEnd = b.memoryEnd;
      }
    }
    if (b.count + 1 > room) break;  // never past the image store
    ++r.blocksRequested;
    WriteComm(s, PortRole::Logger, ReadMemoryCommand(r.startAddress, b.end));
    const int got = ReadComm(s, PortRole::Logger, store + r.imageOffset, room, b.count);
    accepted = BlockArrived(store + r.imageOffset, got, b, r.noCheckByte);
  }

  if (!accepted) {
    EndRetrieval(s, RetrievalEnd::BlockFailed);
    s.ui.message({Format("Download error.\n%d blocks requested, %d blocks retransmitted.",
                         r.blocksRequested, r.blocksRetransmitted),
                  "Retrieve Data", Icon::Warning, Buttons::Ok, Answer::Ok});
    return false;
  }

  r.imageOffset += b.dataBytes;
  r.startAddress += static_cast<uint32_t>(b.dataBytes);
  s.image.length = r.imageOffset;
  r.progress = std::min(100.0, r.progress + r.increment);
  const uint32_t left = r.memoryEnd > b.end ? r.memoryEnd - b.end : 0;
  const std::string remaining = RemainingTimeText(left, s.ports.currentBaud);
  s.ui.progress(static_cast<int>(r.progress), remaining);
  ShowRetrievalMessage(s, remaining);
  r.lastTickMs = s.clock.monotonicMs();

  if (r.startAddress >= r.memoryEnd) {
    EndRetrieval(s, RetrievalEnd::Complete);
    return false;
  }
  return true;
}

void CancelRetrievalEngine(Session& s) {
  if (s.retrieval.running) EndRetrieval(s, RetrievalEnd::Cancelled);
}

void FinishRetrieval(Session& s) {
  RetrievalState& r = s.retrieval;
  if (r.running) EndRetrieval(s, RetrievalEnd::Cancelled);
  s.image.length = r.imageOffset;
  RestoreSpeedAfterRetrieval(s);
}

}  // namespace kts
