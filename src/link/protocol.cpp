#include "link/protocol.h"

#include <algorithm>
#include <cctype>
#include <array>
#include <cstdio>
#include <cstring>

#include "core/checksum.h"
#include "core/session.h"
#include "core/text.h"
#include "core/time_format.h"
#include "link/serial_link.h"

namespace kts {

bool QueryTagged(Session& s, std::string_view command, std::string_view tag) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (attempt > 0) DelayMs(s, 500);
    WriteComm(s, PortRole::Logger, command);
    ReadReply(s, 120);
    const std::string_view reply = s.reply.text();
    if (Contains(reply, tag) && reply.size() < 50) return true;
  }
  s.reply.set(kFailedQueryText);
  return false;
}

bool WaitAck(Session& s) {
  uint8_t buffer[301];
  for (int attempt = 0; attempt < 5; ++attempt) {
    const int got = ReadComm(s, PortRole::Logger, buffer, sizeof buffer, 300);
    if (got <= 0) continue;
    if (std::memchr(buffer, kAck, static_cast<size_t>(got))) return true;
    if (std::memchr(buffer, kNak, static_cast<size_t>(got))) {
      s.reply.set(std::string_view(reinterpret_cast<const char*>(buffer), static_cast<size_t>(got)));
      s.reply.length = got;
      return false;
    }
  }
  return false;
}

bool SendTable(Session& s, std::string_view prefix, int n, const uint8_t* data) {
  if (n < 0 || n > 254) return false;
  std::array<uint8_t, 256> copy{};
  if (n > 0) std::memcpy(copy.data(), data, static_cast<size_t>(n));
  copy[static_cast<size_t>(n)] = TableCheckByte(copy.data(), static_cast<size_t>(n));
  WriteComm(s, PortRole::Logger, std::string(prefix) + Format("%02X", n + 1));
  if (!WaitAck(s)) return false;
  for (int sent = 0; sent < n + 1; sent += 16) {
    const int chunk = std::min(16, n + 1 - sent);
    WriteBytes(s, PortRole::Logger, copy.data() + sent, chunk);
    if (!WaitAck(s)) return false;
  }
  return true;
}

namespace {
unsigned HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  return static_cast<unsigned>(std::toupper(static_cast<unsigned char>(c)) - 'A' + 10);
}
}  // namespace

int ReadTable(Session& s, std::string_view command, uint8_t* out, int capacity, int* length) {
  if (length) *length = 0;
  WriteComm(s, PortRole::Logger, command);
  ReadReply(s, 80);
  const std::string_view reply = s.reply.text();
  const size_t echo = reply.find(command);
  if (echo == std::string_view::npos || Contains(reply, "Unknown command")) return 0;
  if (reply.size() < command.size() + 2 || echo + command.size() + 2 > reply.size()) return 0;
  // Exactly two hex digits: a sign or a space from a noisy line must not
  // turn into a huge count.
  const char high = reply[echo + command.size()];
  const char low = reply[echo + command.size() + 1];
  if (!std::isxdigit(static_cast<unsigned char>(high)) ||
      !std::isxdigit(static_cast<unsigned char>(low)))
    return 0;
  const unsigned n = HexDigitValue(high) * 16 + HexDigitValue(low);
  const uint8_t ack = kAck;
  WriteBytes(s, PortRole::Logger, &ack, 1);
  if (n < 1) return -1;
  if (static_cast<int>(n) > capacity) return 0;
  // Each chunk is read with its exact length into a scratch buffer, so a
  // noisy line can never write beyond the table.
  uint8_t scratch[17];
  for (unsigned got = 0; got < n; got += 16) {
    const int chunk = static_cast<int>(std::min(16u, n - got));
    if (ReadComm(s, PortRole::Logger, scratch, sizeof scratch, chunk) != chunk) return 0;
    std::memcpy(out + got, scratch, static_cast<size_t>(chunk));
    WriteBytes(s, PortRole::Logger, &ack, 1);
  }
  if (length) *length = static_cast<int>(n);
  return ByteSum(out, n) == kTableSum ? 1 : 0;
}

std::string ReadMemoryCommand(uint32_t start, uint32_t end) {
  return Format("I%02x%02x%02x%02x%02x%02x%02x%02x", end & 0xFF, (end >> 8) & 0xFF,
                (end >> 16) & 0xFF, (end >> 24) & 0xFF, start & 0xFF, (start >> 8) & 0xFF,
                (start >> 16) & 0xFF, (start >> 24) & 0xFF);
}

void SendSimple(Session& s, std::string_view text) {
  WriteComm(s, PortRole::Logger, text);
  DelayMs(s, 50);
}

bool ScanHexBytesBefore(std::string_view text, size_t end, int count, uint8_t* out) {
  const size_t digits = static_cast<size_t>(count) * 2;
  if (end < digits || end > text.size()) return false;
  for (int i = 0; i < count; ++i) {
    char pair[3] = {text[end - digits + 2 * static_cast<size_t>(i)],
                    text[end - digits + 2 * static_cast<size_t>(i) + 1], 0};
    unsigned v = 0;
    if (std::sscanf(pair, "%2X", &v) != 1) return false;
    out[i] = static_cast<uint8_t>(v);
  }
  return true;
}

}  // namespace kts
