// The channel type table: one row per type letter with its labels, unit,
// plot axis group and rollover class. Letters above 127 are the derived
// types 0x81 … 0x85. The "µ" of labels and units is the Latin-1 byte 0xB5.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kts {

inline constexpr int kChannelTypeRows = 34;  // searched rows; index 34 is the 'U' row
inline constexpr int kUnknownTypeIndex = 34;

// Derived types.
inline constexpr uint8_t kTypeSignificantWaveHeight = 0x81;
inline constexpr uint8_t kTypeTidalSlope = 0x82;
inline constexpr uint8_t kTypeOptodeConcentration = 0x83;
inline constexpr uint8_t kTypeOptodeSaturation = 0x84;
inline constexpr uint8_t kTypeDepth = 0x85;

struct ChannelTypeRow {
  uint8_t letter;
  const char* columnLabel;  // 10 characters, right-aligned
  const char* listFormat;   // one %d, the channel number; empty for 'E' and 'X'
  int axisGroup;            // 0..22
  const char* shortTag;     // may hold a %3d for the channel number
  int rolloverClass;        // 0, 1 or 2
};

// Row index 0..33 of a letter, or 34 when the letter is not in the table.
int FindType(uint8_t letter);
// The row of an index; 34 (or anything out of range) gives the 'U' row.
const ChannelTypeRow& TypeRow(int index);
inline const ChannelTypeRow& RowOf(uint8_t letter) { return TypeRow(FindType(letter)); }
inline int AxisGroupOf(uint8_t letter) { return RowOf(letter).axisGroup; }

bool IsAutorangingType(uint8_t letter);  // 'y', 'f', 'g', 'i'
bool IsDerivedType(uint8_t letter);      // S s u d W X and 0x81 … 0x85

// The unit text the file headers write after a channel's coefficients.
// Models containing "HV" are all "Degrees_C"; non-'T' channels of models
// containing "LV" are "deciBars"; conductivity is "mS/cm" when the logger
// listed it as 'S', else "uS/cm".
const char* UnitText(uint8_t letter, std::string_view model, bool conductivityMicroSiemens);

// A channel's line in a dialog's channel list, e.g. "3 - Temperature\t";
// empty for the types that have none ('E', 'X'). An unknown letter gives
// the 'U' row's "3 - Unknown\t".
std::string ChannelListText(uint8_t letter, int channelNumber);

// A channel's short tag, e.g. "T  3" or "Salin" (tags of derived types carry
// no number).
std::string ShortTagText(uint8_t letter, int channelNumber);

// Gain label of an autoranging channel for gain code 0..3 ("25FTU" is code 3).
const char* GainLabel(uint8_t letter, int gainCode);

}  // namespace kts
