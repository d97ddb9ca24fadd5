// Reading and writing the logger's calibration coefficients, for each of
// the three ways loggers keep them (see CalibrationGeneration).
#pragma once

#include <array>
#include <functional>
#include <string_view>

#include "link/coefficient_set.h"

namespace kts {

struct Session;

// Bytes of the QZ flash calibration area; no record may end beyond it.
inline constexpr int kFlashAreaSize = 65025;
inline constexpr int kFlashHeaderBytes = 6;
inline constexpr int kFlashEntryBytes = 33;  // a channel's 32 bytes and one spare
inline constexpr int FlashRecordBytes(int channels) {
  return kFlashHeaderBytes + kFlashEntryBytes * channels;
}
// Whether a record of `channels` channels may still be appended at `offset`.
inline constexpr bool FlashRecordFits(int offset, int channels) {
  return offset + FlashRecordBytes(channels) < kFlashAreaSize;
}

// CommGet(10). Reads only while the coefficients' re-read flag is set (1
// otherwise). Success installs the logger's set and clears the flag; any
// failure installs the defaults, keeps the flag set and returns 0.
int ReadCoefficients(Session& s);

// What a command that works with the logger's channels reads after
// connecting: the configuration table, then the coefficients (each only
// when its re-read flag is set). 0 when the configuration could not be
// read; coefficients that cannot be read leave the defaults in place.
int ReadConfigurationAndCoefficients(Session& s);

// CommSend(11): writes the current set to the logger and reads it back.
int WriteCoefficients(Session& s);

// Extended loggers: history record `record` (0 the newest), channel
// `channel` (0 the header) with "V%02X%02X%02X", up to five tries. As
// ReadTable: 1, 0, or −1 for a record the logger does not have.
int ReadHistoryTable(Session& s, int record, int channel, uint8_t* out, int capacity, int* n);

// Makes the first `channels` sets of `c` the current coefficients (the
// others get their defaults), as read from the logger.
void InstallCoefficients(Session& s, const std::array<ChannelCoefficients, kMaxChannels>& c,
                         const std::array<int, 6>& date, int channels);

// One record of the QZ flash area.
struct FlashRecord {
  std::array<int, 6> date{};  // year − 2000, month, day, hour, minute, second
  std::array<ChannelCoefficients, kMaxChannels> c{};
};

enum class FlashWalk { Records, Empty, Error };

// Reads the flash records from offset 0 for the configured channel count,
// calling `each` per record, oldest first. Records: `newest` holds the last
// one and `end` the offset after it. Empty: the area is erased (end 0).
// Error: a read failed five times; "Download Error in reading calibration
// coefficients" has been shown. The walk never passes the area's end.
FlashWalk WalkFlashRecords(Session& s, FlashRecord* newest, int* end,
                           const std::function<void(const FlashRecord&)>& each = {});

// The header of a history record ("CAL" or "CMM" and the date as six
// two-digit numbers), from the table bytes without the check byte. False
// when neither keyword is there.
bool ParseHistoryHeader(std::string_view table, bool* complete, std::array<int, 6>* date);

// The refusal text for an upload reply that ends in NAK: the eight
// characters before the NAK name F0, F1 or F2. nullptr for anything else.
const char* UploadRefusalText(std::string_view reply);

}  // namespace kts
