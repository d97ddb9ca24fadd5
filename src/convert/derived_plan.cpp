#include "convert/derived_plan.h"

#include "convert/channel_types.h"
#include "core/text.h"

namespace kts {

namespace {

bool Has(std::span<const uint8_t> types, uint8_t letter) {
  for (uint8_t t : types)
    if (t == letter) return true;
  return false;
}

}  // namespace

int DerivedPlan::channelOf(DerivedQuantity q) const {
  for (int k = 0; k < count; ++k)
    if (quantity[static_cast<size_t>(k)] == q) return k;
  return -1;
}

DerivedSources FindDerivedSources(std::span<const uint8_t> measuredTypes) {
  DerivedSources s;
  const auto first = [](int& slot, int c) {
    if (slot < 0) slot = c;
  };
  for (size_t i = 0; i < measuredTypes.size(); ++i) {
    const int c = static_cast<int>(i);
    switch (measuredTypes[i]) {
      case 'P':
      case 'L':
        first(s.pressure, c);
        break;
      case 'T':
        first(s.temperature, c);
        break;
      case 'C':
        first(s.conductivity, c);
        break;
      case 'D':
      case 'K':
        first(s.oxygen, c);
        break;
      case 'J':
        first(s.optode, c);
        break;
      default:
        break;
    }
  }
  return s;
}

bool IsTideAndWaveModel(std::string_view model) {
  return Contains(model, "HKV");
}

uint8_t DerivedTypeLetter(DerivedQuantity q, SoundSpeedEquation soundSpeed) {
  switch (q) {
    case DerivedQuantity::Depth:
      return kTypeDepth;
    case DerivedQuantity::Salinity:
      return 'S';
    case DerivedQuantity::SpecificConductivity:
      return 's';
    case DerivedQuantity::OxygenConcentration:
      return 'X';
    case DerivedQuantity::SoundSpeed:
      return soundSpeed == SoundSpeedEquation::Unesco      ? 'u'
             : soundSpeed == SoundSpeedEquation::DelGrosso ? 'd'
                                                           : 'W';
    case DerivedQuantity::SignificantWaveHeight:
      return kTypeSignificantWaveHeight;
    case DerivedQuantity::TidalSlope:
      return kTypeTidalSlope;
    case DerivedQuantity::OptodeConcentration:
      return kTypeOptodeConcentration;
    case DerivedQuantity::OptodeSaturation:
      return kTypeOptodeSaturation;
  }
  return 'U';
}

const char* DerivedQuantityName(DerivedQuantity q) {
  switch (q) {
    case DerivedQuantity::Depth:
      return "Depth";
    case DerivedQuantity::Salinity:
      return "Salinity";
    case DerivedQuantity::SpecificConductivity:
      return "Specific conductivity";
    case DerivedQuantity::OxygenConcentration:
      return "Dissolved O2 concentration";
    case DerivedQuantity::SoundSpeed:
      return "Speed of sound";
    case DerivedQuantity::SignificantWaveHeight:
      return "Significant wave height";
    case DerivedQuantity::TidalSlope:
      return "Tidal slope";
    case DerivedQuantity::OptodeConcentration:
      return "Optode concentration";
    case DerivedQuantity::OptodeSaturation:
      return "Optode saturation";
  }
  return "";
}

DerivedPlan PlanDerivedChannels(std::span<const uint8_t> measuredTypes, const DerivedUnits& u,
                                bool tideAndWave, int room) {
  DerivedPlan plan;
  plan.sources = FindDerivedSources(measuredTypes);
  const DerivedSources& src = plan.sources;
  const bool ct = src.hasSalinityInputs();

  const auto consider = [&](DerivedQuantity q, bool wanted) {
    if (!wanted) return;
    if (plan.count < room) {
      plan.quantity[static_cast<size_t>(plan.count)] = q;
      plan.letter[static_cast<size_t>(plan.count)] = DerivedTypeLetter(q, u.soundSpeed);
      ++plan.count;
    } else {
      plan.leftOut[static_cast<size_t>(plan.leftOutCount++)] = q;
    }
  };
  consider(DerivedQuantity::Depth, u.depthOn && src.pressure >= 0);
  consider(DerivedQuantity::Salinity, u.salinityOn && ct);
  consider(DerivedQuantity::SpecificConductivity, u.specificConductivityOn && ct);
  consider(DerivedQuantity::OxygenConcentration, u.oxygenOn && src.oxygen >= 0);
  consider(DerivedQuantity::SoundSpeed, u.soundSpeedOn && ct);
  consider(DerivedQuantity::SignificantWaveHeight, tideAndWave);
  consider(DerivedQuantity::TidalSlope, tideAndWave);
  consider(DerivedQuantity::OptodeConcentration, u.optodeConcentrationOn && src.optode >= 0);
  // The saturation needs a measured temperature: a fixed one would make a
  // plausible-looking but unfounded saturation series.
  consider(DerivedQuantity::OptodeSaturation,
           u.optodeSaturationOn && src.optode >= 0 && src.temperature >= 0);
  return plan;
}

std::string LeftOutText(const DerivedPlan& plan) {
  if (plan.leftOutCount == 0) return {};
  std::string text = "Unable to fit derived channels: ";
  for (int k = 0; k < plan.leftOutCount; ++k) {
    if (k > 0) text += ", ";
    text += DerivedQuantityName(plan.leftOut[static_cast<size_t>(k)]);
  }
  return text;
}

int RealTimeDerivedChannelCount(std::span<const uint8_t> types, bool tideAndWave) {
  int count = 0;
  if (Has(types, 'P') || Has(types, 'L')) count += 1;
  if (Has(types, 'T') && Has(types, 'C')) count += Has(types, 'D') ? 4 : 3;
  if (tideAndWave) count += 2;
  return count;
}

}  // namespace kts
