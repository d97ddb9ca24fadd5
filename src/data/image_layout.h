// Where the sample words of a memory image begin and how many channels each
// record holds, by the logger's capabilities or, for loggers without
// capability words, by its model and firmware.
#pragma once

#include <array>
#include <cstdint>

#include "link/logger_description.h"
#include "link/logger_identity.h"

namespace kts {

struct ImageLayout {
  int headerLength = 0;  // H: image bytes before the first word
  int channels = 1;      // measured channels, 1..24
  std::array<uint8_t, kMaxChannels> types{};
  int words = 0;         // whole words from byte H to the end of the image, stamps included
  bool hvModel = false;  // the model string contains "HV": every channel is a thermistor
};

// Never trusts the description: the channel count is kept within 1..24 and
// the header within the image, and the words never reach past its length.
ImageLayout ComputeImageLayout(const LoggerIdentity& identity, const LoggerDescription& description,
                               int imageLength);

}  // namespace kts
