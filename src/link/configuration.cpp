#include "link/configuration.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/checksum.h"
#include "core/session.h"
#include "core/text.h"
#include "link/capabilities.h"
#include "link/protocol.h"
#include "link/range_switching.h"
#include "link/rs_advanced.h"
#include "link/serial_link.h"
#include "platform/status_line.h"

namespace kts {
namespace {

constexpr int kOlderTableLength = 55;  // 54 bytes and their sum

void SetChannel(LoggerDescription& d, int k, uint8_t letter) {
  d.channelTypes[static_cast<size_t>(k)] = NormaliseChannelLetter(letter, d);
}

// Loggers whose configuration flags are exactly 1 carry no table: the
// channels follow from the model. False when the model names no set.
bool ChannelsFromModel(const LoggerIdentity& id, LoggerDescription& d) {
  if (Contains(id.model, "4070")) {
    d.channelCount = 2;
    SetChannel(d, 0, 'T');
    SetChannel(d, 1, 'P');
    return true;
  }
  if (Contains(id.model, "3070")) {
    d.channelCount = 1;
    SetChannel(d, 0, IsHvModel(id) ? 'T' : 'P');
    return true;
  }
  return false;
}

int ReadExtendedConfiguration(Session& s) {
  LoggerDescription& d = s.description;
  if (d.configFlags != kConfigBasicRs || !ChannelsFromModel(s.link.identity, d)) {
    std::array<uint8_t, 256> table{};
    int n = 0;
    const int read = ReadTable(s, "R0100", table.data(), static_cast<int>(table.size()), &n);
    if (read == 0) {
      ShowStatus(s.ui, "GetConfigTable error");
      return 0;
    }
    if (read < 0 || ParseExtendedConfiguration(table.data(), n, d) != 1) {
      ResetConfigurationFields(d);
      ShowStatus(s.ui, "Logger not yet configured");
      return -1;
    }
  }
  if (d.configFlags & kConfigRangeSwitching) {
    ReadRangeSwitching(s);
  } else {
    InstallDefaultRangeTables(d);
    InterpretRangeSwitching(d);
  }
  return ReadRsAdvanced(s) == 0 ? 0 : 1;
}

// The memory copy of the table on older QZ loggers: 55 bytes, the last the
// sum of the others; the logger's own check byte may follow.
int ReadOlderConfiguration(Session& s) {
  LoggerDescription& d = s.description;
  uint8_t table[kOlderTableLength + 2] = {};
  bool good = false;
  for (int attempt = 0; attempt < 5 && !good; ++attempt) {
    if (attempt > 0) DelayMs(s, 100);
    DiscardInput(s);
    WriteComm(s, PortRole::Logger, "I00000200C9FF0100");
    const int got = ReadComm(s, PortRole::Logger, table, sizeof table, kOlderTableLength + 1);
    good = got >= kOlderTableLength &&
           table[kOlderTableLength - 1] == ByteSum(table, kOlderTableLength - 1);
  }
  if (!good) {
    ShowStatus(s.ui, "Configuration Table read failed.");
    return 0;
  }
  ParseOlderConfiguration(table, d);
  return 1;
}

}  // namespace

uint8_t NormaliseChannelLetter(uint8_t letter, LoggerDescription& d) {
  if (letter == 'S') {
    d.conductivityMicroSiemens = false;
    return 'C';
  }
  return letter;
}

void ResetConfigurationFields(LoggerDescription& d) {
  const LoggerDescription def;
  d.channelCount = def.channelCount;
  d.channelTypes = def.channelTypes;
  d.frontEndAddress = def.frontEndAddress;
  d.conductivityMicroSiemens = def.conductivityMicroSiemens;
  d.latencyMs = def.latencyMs;
  d.readingTimeMs = def.readingTimeMs;
  d.configuredReadingTimeMs = def.configuredReadingTimeMs;
  d.configTable = def.configTable;
  d.configTableLength = def.configTableLength;
}

int ParseExtendedConfiguration(const uint8_t* table, int n, LoggerDescription& d) {
  if (n < 1) return -1;
  const int count = table[0];
  // The channel entries and the check byte must all lie within the table.
  if (count < 1 || count > kMaxChannels || 5 + 2 * count + 1 > n) return -1;
  d.channelCount = count;
  d.latencyMs = (table[1] | table[2] << 8) * 10;
  d.configuredReadingTimeMs = d.readingTimeMs = (table[3] | table[4] << 8) * 100;
  for (int k = 0; k < count; ++k) {
    SetChannel(d, k, table[5 + 2 * k]);
    d.frontEndAddress[static_cast<size_t>(k)] = table[6 + 2 * k];
  }
  const size_t kept = std::min(static_cast<size_t>(n), d.configTable.size());
  std::memcpy(d.configTable.data(), table, kept);
  d.configTableLength = static_cast<int>(kept);
  return 1;
}

void ParseOlderConfiguration(const uint8_t table[55], LoggerDescription& d) {
  const int count = table[53];
  if (count < 1 || count > kMaxChannels) {
    // A table that does not fit the logger's 24 channels: one channel at
    // the default timing.
    d.channelCount = 1;
    d.latencyMs = 300;
    d.configuredReadingTimeMs = d.readingTimeMs = 200;
    SetChannel(d, 0, table[47]);
  } else {
    d.channelCount = count;
    d.latencyMs = (table[51] | table[52] << 8) * 10;
    d.configuredReadingTimeMs = d.readingTimeMs = (table[49] | table[50] << 8) * 100;
    for (int k = 0; k < count; ++k) SetChannel(d, k, table[47 - 2 * k]);
  }
  std::memcpy(d.configTable.data(), table, kOlderTableLength);
  d.configTableLength = kOlderTableLength;
}

int ReadConfiguration(Session& s) {
  if (!s.link.reread.configuration) return 1;
  ReadCapabilities(s);  // the configuration flags decide which tables exist
  ShowStatus(s.ui, "Assessing the logger configuration");
  LoggerDescription& d = s.description;
  ResetConfigurationFields(d);
  const LoggerIdentity& id = s.link.identity;
  int result = 1;
  if (id.extended) {
    result = ReadExtendedConfiguration(s);
  } else {
    InstallDefaultRangeTables(d);
    InstallRsAdvancedDefault(d);
    if (IsQzFamily(id)) {
      result = ReadOlderConfiguration(s);
    } else {
      // One channel: a temperature recorder's thermistor, else pressure.
      SetChannel(d, 0, IsHvModel(id) ? 'T' : 'P');
    }
    InterpretRangeSwitching(d);
  }
  if (result == 1) s.link.reread.configuration = false;
  return result;
}

}  // namespace kts
