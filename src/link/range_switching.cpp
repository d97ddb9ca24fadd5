#include "link/range_switching.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "core/checksum.h"
#include "core/session.h"
#include "link/connection.h"
#include "link/protocol.h"
#include "platform/status_line.h"

namespace kts {
namespace {

using RangeTable = std::array<uint8_t, 26>;

constexpr std::array<SensorRow, kSensorRows> kSensors{{
    {'V', "Voltage (rollover)", 0},
    {'M', "Voltage (monotonic)", 0},
    {'D', "Dissolved oxygen", 0},
    {'f', "Fluorometry-C Autoranging", 460},
    {'g', "Fluorometry-R Autoranging", 460},
    {'i', "Fluorometry-UV Autoranging", 460},
    {'F', "Fluorometry-C", 0},
    {'G', "Fluorometry-R", 0},
    {'I', "Fluorometry-UV", 0},
    {'R', "PAR - Biospherical", 0},
    {'R', "PAR - Licor", 0},
    {'H', "pH", 0},
    {'N', "Transmissometer", 0},
    {'y', "Turbidity - Autoranging", 0},
    {'Y', "Turbidity", 860},
}};

bool ReadRangeTable(Session& s, const char* command, RangeTable& out) {
  std::array<uint8_t, 256> table{};
  int n = 0;
  if (ReadTable(s, command, table.data(), static_cast<int>(table.size()), &n) != 1 ||
      n != static_cast<int>(out.size()))
    return false;
  std::memcpy(out.data(), table.data(), out.size());
  return true;
}

// Sends one table and reads it back; the status line names the table.
bool WriteRangeTable(Session& s, const char* send, const char* read, RangeTable& table,
                     const std::string& name) {
  table[25] = TableCheckByte(table.data(), 25);
  if (!SendTable(s, send, 25, table.data())) {
    ShowStatus(s.ui, name + " send error");
    return false;
  }
  RangeTable back{};
  if (!ReadRangeTable(s, read, back)) {
    ShowStatus(s.ui, name + " retrieve error");
    return false;
  }
  if (back != table) {
    ShowStatus(s.ui, name + " compare error");
    return false;
  }
  ShowStatus(s.ui, name + " write success");
  return true;
}

}  // namespace

const SensorRow& SensorTableRow(int i) {
  return kSensors[static_cast<size_t>(std::clamp(i, 0, kSensorRows - 1))];
}

int ChannelReadingTimeMs(uint8_t letter, int gainSetting) {
  const SensorRow* row = &kSensors.back();
  for (const SensorRow& r : kSensors) {
    if (r.letter == letter) {
      row = &r;
      break;
    }
  }
  return gainSetting != 0 ? 200 : row->autorangeMs + 400;
}

void InstallDefaultRangeTables(LoggerDescription& d) {
  d.extendedChannelCaps = LoggerDescription::DefaultRangeTable();
  d.rangeSwitching = LoggerDescription::DefaultRangeTable();
}

void InterpretRangeSwitching(LoggerDescription& d) {
  const int channels = std::clamp(d.channelCount, 0, kMaxChannels);
  d.hasRangeSwitching = false;
  d.channelReadingTimeMs.fill(0);
  for (int c = 0; c < channels; ++c) {
    const uint8_t r = d.rangeSwitching[static_cast<size_t>(c) + 1];
    const int mode = r & 7;
    if (mode == 7) continue;
    const int gain = (r >> 3) & 3;
    uint8_t& letter = d.channelTypes[static_cast<size_t>(c)];
    if (gain < 3) {
      d.hasRangeSwitching = true;
      if (mode == 6)
        letter = 'y';
      else if (mode == 5 && (letter == 'F' || letter == 'G' || letter == 'I'))
        letter = static_cast<uint8_t>(letter - 'A' + 'a');
    }
    d.channelReadingTimeMs[static_cast<size_t>(c)] = ChannelReadingTimeMs(letter, gain);
  }
  d.readingTimeMs = d.configuredReadingTimeMs;
  int slowest = 0;
  if (d.hasRangeSwitching) {
    for (int c = 0; c < channels; ++c) {
      const int t = d.channelReadingTimeMs[static_cast<size_t>(c)];
      if (t > d.configuredReadingTimeMs && t > d.readingTimeMs) {
        d.readingTimeMs = t;
        slowest = c + 1;
      }
    }
  }
  d.rangeSwitching[0] = static_cast<uint8_t>(slowest > 0 ? slowest : 1);
}

bool ReadRangeSwitching(Session& s) {
  LoggerDescription& d = s.description;
  if (!ReadRangeTable(s, "R0400", d.extendedChannelCaps))
    d.extendedChannelCaps = LoggerDescription::DefaultRangeTable();
  const bool read = ReadRangeTable(s, "R0500", d.rangeSwitching);
  if (!read) {
    d.rangeSwitching = LoggerDescription::DefaultRangeTable();
    ShowStatus(s.ui, "Range switching behaviour retrieve error");
  }
  InterpretRangeSwitching(d);
  return read;
}

int WriteRangeSwitching(Session& s) {
  LoggerDescription& d = s.description;
  if (!(d.configFlags & kConfigRangeSwitching)) return 2;
  if (!Reconnect(s)) return 0;
  // The slowest channel in byte 0 must match the gains being sent.
  InterpretRangeSwitching(d);
  const bool written =
      WriteRangeTable(s, "S0400", "R0400", d.extendedChannelCaps,
                      "Extended channel capabilities") &&
      WriteRangeTable(s, "S0500", "R0500", d.rangeSwitching, "Range switching behaviour");
  InterpretRangeSwitching(d);
  if (!written) return 0;
  ShowStatus(s.ui, "Range switching behaviour and Extended channel capabilities write success");
  return 1;
}

}  // namespace kts
