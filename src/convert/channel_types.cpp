#include "convert/channel_types.h"

#include <array>

namespace kts {
namespace {

constexpr std::array<ChannelTypeRow, kChannelTypeRows + 1> kRows{{
    {'T', "     Temp ", "%d - Temperature\t", 0, "T%3d", 0},
    {'P', "     Pres ", "%d - Pressure\t", 1, "P%3d", 1},
    {'C', "     Cond ", "%d - Conductivity\t", 2, "C%3d", 2},
    {'D', "     D_O2 ", "%d - Dissolved O2\t", 3, "dO%3d", 1},
    {'N', "    Trans ", "%d - Transmiss\t", 17, "Tm%3d", 0},
    {'M', "      Vlt ", "%d - Voltage\t", 5, "V%3d", 0},
    {'V', "     Volt ", "%d - Voltage\t", 5, "V%3d", 1},
    {'Y', "     Turb ", "%d - Turbidity\t", 6, "Tu%3d", 2},
    {'y', "   Turb-a ", "%d - Turbidity\t", 6, "Tu%3d", 2},
    {'R', "      PAR ", "%d - PAR\t\t", 7, "PAR%3d", 1},
    {'H', "       pH ", "%d - pH\t\t", 8, "pH%3d", 1},
    {'F', "      FlC ", "%d - Fluorometry-C\t", 9, "FlC%3d", 2},
    {'f', "    FlC-a ", "%d - Fluorometry-C\t", 9, "FlC%3d", 2},
    {'G', "      FlR ", "%d - Fluorometry-R\t", 10, "FlR%3d", 2},
    {'g', "    FlR-a ", "%d - Fluorometry-R\t", 10, "FlR%3d", 2},
    {'I', "     FlUV ", "%d - Fluorometry-UV\t", 11, "FlUV%3d", 2},
    {'i', "   FlUV-a ", "%d - Fluorometry-UV\t", 11, "FlUV%3d", 2},
    {'E', "     Echo ", "", 12, "Echo", 1},
    {'A', "    Depth ", "%d - Depth\t", 12, "Depth", 2},
    {'S', " Salinity ", "%d - Salinity\t", 13, "Salin", 2},
    {'s', " SpecCond ", "%d - Specific Cond\t", 2, "SpCnd", 1},
    {'u', " SoS (UN) ", "%d - Speed of sound\t", 14, "SoS U", 1},
    {'d', "SoS (Grs) ", "%d - Speed of sound\t", 14, "SoS G", 1},
    {'W', "SoS (Wil) ", "%d - Speed of sound\t", 14, "SoS W", 1},
    {'X', "      dO2 ", "", 19, "dO2_C", 0},
    {'L', "     Paro ", "%d - Paroscientific\t", 1, "Psc%3d", 0},
    {'K', "     Optd ", "%d - Optode (sat)\t", 3, "Opt%3d", 0},
    {'J', "Optd_\xB5Mol ", "%d - Optode (conc)\t", 4, "Opt%3d", 0},
    {kTypeDepth, "    Depth ", "%d - Depth\t", 12, "dDepth", 2},
    {kTypeOptodeConcentration, "     dO2C ", "%d - Dissolved O2\t", 20, "dO2_C", 0},
    {kTypeOptodeSaturation, "     dO2S ", "%d - Dissolved O2\t", 21, "dO2_S", 0},
    {kTypeSignificantWaveHeight, "      SWH ", "%d - Sig wave ht\t", 15, "WavHt", 0},
    {kTypeTidalSlope, " Td_Slope ", "%d - Tidal slope\t", 16, "TSlope", 1},
    {'B', "  Generic ", "%d - Generic\t", 18, "Gen%3d", 0},
    // Outside the searched rows: what an unknown letter is shown as.
    {'U', "  Unknown ", "%d - Unknown\t", 22, "Unk%3d", 1},
}};

// Replaces the one "%d" or "%3d" of a table pattern with the number.
std::string ExpandChannelNumber(const char* pattern, int number) {
  std::string out;
  for (const char* p = pattern; *p != '\0'; ++p) {
    if (p[0] == '%' && p[1] == 'd') {
      out += std::to_string(number);
      ++p;
    } else if (p[0] == '%' && p[1] == '3' && p[2] == 'd') {
      const std::string digits = std::to_string(number);
      if (digits.size() < 3) out.append(3 - digits.size(), ' ');
      out += digits;
      p += 2;
    } else {
      out += *p;
    }
  }
  return out;
}

}  // namespace

int FindType(uint8_t letter) {
  for (int i = 0; i < kChannelTypeRows; ++i)
    if (kRows[static_cast<size_t>(i)].letter == letter) return i;
  return kUnknownTypeIndex;
}

const ChannelTypeRow& TypeRow(int index) {
  if (index < 0 || index > kUnknownTypeIndex) index = kUnknownTypeIndex;
  return kRows[static_cast<size_t>(index)];
}

bool IsAutorangingType(uint8_t letter) {
  return letter == 'y' || letter == 'f' || letter == 'g' || letter == 'i';
}

bool IsDerivedType(uint8_t letter) {
  switch (letter) {
    case 'S': case 's': case 'u': case 'd': case 'W': case 'X':
    case kTypeSignificantWaveHeight: case kTypeTidalSlope: case kTypeOptodeConcentration:
    case kTypeOptodeSaturation: case kTypeDepth:
      return true;
    default:
      return false;
  }
}

const char* UnitText(uint8_t letter, std::string_view model, bool conductivityMicroSiemens) {
  if (model.find("HV") != std::string_view::npos) return "Degrees_C";
  if (letter == 'T') return "Degrees_C";
  if (model.find("LV") != std::string_view::npos) return "deciBars";
  switch (letter) {
    case 'P': case 'L': return "deciBars";
    case 'C': case 's': return conductivityMicroSiemens ? "uS/cm" : "mS/cm";
    case 'D': case 'K': return "percent";
    case 'V': case 'M': return "Volts";
    case 'Y': case 'y': return "FTU";
    case 'R': return "\xB5Mol.m-2.s-1";
    case 'H': return "pH_units";
    case 'F': case 'f': case 'G': case 'g': return "ug/l";
    case 'I': case 'i': return "QSU";
    case 'J': return "\xB5Mol/l";
    case 'E': case 'A': return "m";
    case 'N': return "Transmittance";
    case 'B': return "Generic";
    default: return "Unknown";
  }
}

std::string ChannelListText(uint8_t letter, int channelNumber) {
  return ExpandChannelNumber(RowOf(letter).listFormat, channelNumber);
}

std::string ShortTagText(uint8_t letter, int channelNumber) {
  return ExpandChannelNumber(RowOf(letter).shortTag, channelNumber);
}

const char* GainLabel(uint8_t letter, int gainCode) {
  static constexpr const char* kTurbidity[4] = {"25FTU", "125FTU", "500FTU", "2500FTU"};
  static constexpr const char* kFluorometer[4] = {"5ug/l", "15ug/l", "50ug/l", "150ug/l"};
  const int index = 3 - (gainCode & 3);
  return letter == 'y' ? kTurbidity[index] : kFluorometer[index];
}

}  // namespace kts
