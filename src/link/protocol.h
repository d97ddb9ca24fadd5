// The exchange rules of the logger's command language: tagged queries,
// acknowledgements, binary tables with the 0xA5 checksum, memory reads.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kts {

struct Session;

inline constexpr uint8_t kAck = 0x06;
inline constexpr uint8_t kNak = 0x15;

// Up to 5 tries (500 ms apart): write the command, read up to 120 bytes; a
// reply that contains the tag and is shorter than 50 characters succeeds.
// After 5 failures the reply buffer holds "000101000000" and false returns.
bool QueryTagged(Session& s, std::string_view command, std::string_view tag);

// Up to 5 reads of up to 300 bytes: ACK succeeds, NAK fails at once.
bool WaitAck(Session& s);

// Sends n data bytes under the header prefix + "%02X"(n + 1), then the data
// and check byte in chunks of 16, each acknowledged. Works on its own copy.
bool SendTable(Session& s, std::string_view prefix, int n, const uint8_t* data);

// Reads a table ("R0100", "V000000" …) into out: 1 with the n bytes (data
// and check byte) summing to 0xA5, 0 on any failure, −1 when the logger
// reports length 0 (no such table). `length` receives n.
int ReadTable(Session& s, std::string_view command, uint8_t* out, int capacity,
              int* length = nullptr);

// "I" + end address + start address, each four bytes least significant
// first as two lower-case hex digits. The logger answers end − start bytes
// and their sum (no check byte from HV models below firmware 1.50).
std::string ReadMemoryCommand(uint32_t start, uint32_t end);

// Writes the text, then waits 50 ms.
void SendSimple(Session& s, std::string_view text);

// Reads "%2X" pairs from the 2 × count characters that end just before
// position `end` of text (least significant first is the caller's matter).
// False when fewer characters precede `end` or a pair is not hexadecimal.
bool ScanHexBytesBefore(std::string_view text, size_t end, int count, uint8_t* out);

}  // namespace kts
