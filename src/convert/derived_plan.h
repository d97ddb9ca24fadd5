// Which derived channels a data set gets, in which order, and from which
// measured channels they are computed.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "convert/derived_units.h"

namespace kts {

// In the order the channels are appended.
enum class DerivedQuantity : uint8_t {
  Depth,
  Salinity,
  SpecificConductivity,
  OxygenConcentration,
  SoundSpeed,
  SignificantWaveHeight,
  TidalSlope,
  OptodeConcentration,
  OptodeSaturation,
};
inline constexpr int kDerivedQuantityCount = 9;

// The first measured channel of each kind, or −1 when there is none.
struct DerivedSources {
  int pressure = -1;      // first 'P' or 'L'
  int temperature = -1;   // first 'T'
  int conductivity = -1;  // first 'C'
  int oxygen = -1;        // first 'D' or 'K' (% saturation)
  int optode = -1;        // first 'J' (µmol/l)
  bool hasSalinityInputs() const { return temperature >= 0 && conductivity >= 0; }
};

struct DerivedPlan {
  DerivedSources sources;
  // Channels to append, in order.
  int count = 0;
  std::array<DerivedQuantity, kDerivedQuantityCount> quantity{};
  std::array<uint8_t, kDerivedQuantityCount> letter{};
  // Channels the settings ask for and the inputs allow, but with no room left.
  int leftOutCount = 0;
  std::array<DerivedQuantity, kDerivedQuantityCount> leftOut{};

  int channelOf(DerivedQuantity q) const;  // index among the appended, or −1
};

DerivedSources FindDerivedSources(std::span<const uint8_t> measuredTypes);

// The tide-and-wave logger family: a model text containing "HKV".
bool IsTideAndWaveModel(std::string_view model);

// The type letter a derived quantity is stored under.
uint8_t DerivedTypeLetter(DerivedQuantity q, SoundSpeedEquation soundSpeed);

// A derived quantity's name as the status line gives it.
const char* DerivedQuantityName(DerivedQuantity q);

// Plans the derived channels for the measured channel types. `room` is how
// many channels may still be appended (the 24-channel limit and the row
// store); channels beyond it are listed as left out.
DerivedPlan PlanDerivedChannels(std::span<const uint8_t> measuredTypes, const DerivedUnits& units,
                                bool tideAndWave, int room);

// "Unable to fit derived channels: …", naming the channels left out for want
// of room; empty when none was left out.
std::string LeftOutText(const DerivedPlan& plan);

// Derived channels to reserve before real-time collection starts: 1 with a
// pressure channel ('P' or 'L'), 3 more with 'T' and 'C' (4 with a 'D' as
// well), 2 more for the tide-and-wave logger.
int RealTimeDerivedChannelCount(std::span<const uint8_t> types, bool tideAndWave);

}  // namespace kts
