// Host-side helpers for the simulated logger tests: block reads with the
// host's memory read command, raw exchanges with exact lengths.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "core/checksum.h"
#include "core/session.h"
#include "link/protocol.h"
#include "link/serial_link.h"

namespace kts::test {

// Reads [start, end) in blocks as the retrieval engine does; each block's
// check byte must be the sum of its bytes. False on a short or bad block.
inline bool ReadImage(Session& s, uint32_t start, uint32_t end, bool checkByte,
                      std::vector<uint8_t>* out, uint32_t block = 480) {
  std::vector<uint8_t> buffer(block + 2);
  for (uint32_t at = start; at < end;) {
    const uint32_t stop = std::min(at + block, end);
    const int n = static_cast<int>(stop - at) + (checkByte ? 1 : 0);
    WriteComm(s, PortRole::Logger, ReadMemoryCommand(at, stop));
    if (ReadComm(s, PortRole::Logger, buffer.data(), n + 1, n) != n) return false;
    const size_t data = stop - at;
    if (checkByte && buffer[data] != MemoryCheckByte(buffer.data(), data)) return false;
    out->insert(out->end(), buffer.begin(), buffer.begin() + static_cast<long>(data));
    at = stop;
  }
  return true;
}

// Writes a command and reads n bytes back, or what came in time. Where the
// host's own time-out is not the point, a loaded test machine gets a
// quarter of a second more before a reply counts as short.
inline std::string Exchange(Session& s, const std::string& command, int n) {
  std::vector<uint8_t> buffer(static_cast<size_t>(n) + 1);
  WriteComm(s, PortRole::Logger, command);
  int got = ReadComm(s, PortRole::Logger, buffer.data(), n + 1, n);
  const auto patience = std::chrono::steady_clock::now() + std::chrono::milliseconds(250);
  while (got < n && std::chrono::steady_clock::now() < patience)
    got += ReadComm(s, PortRole::Logger, buffer.data() + got, n - got + 1, n - got);
  return std::string(reinterpret_cast<const char*>(buffer.data()), static_cast<size_t>(got));
}

inline uint32_t PointerFromReply(std::string_view reply) {
  uint8_t b[4] = {};
  ScanHexBytesBefore(reply, reply.find("CDP"), 4, b);
  return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
}

}  // namespace kts::test
