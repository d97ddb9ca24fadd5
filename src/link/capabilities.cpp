#include "link/capabilities.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/session.h"
#include "core/text.h"
#include "link/commands.h"
#include "link/protocol.h"
#include "platform/status_line.h"

namespace kts {
namespace {

bool Bit(uint32_t word, int bit) {
  return (word >> bit) & 1u;
}

int SmallInt(uint32_t word) {
  return static_cast<int>(std::min<uint32_t>(word, 0xFFFF));
}

// Word 0 bit 13: the logger names the lowest software version it works with.
void CheckMinimumSoftwareVersion(Session& s) {
  LoggerDescription& d = s.description;
  d.hasMinimumSoftwareVersion = true;
  if (CommGet(s, 27) != 1) return;
  const std::string_view reply = s.reply.text();
  std::string_view number = reply.substr(0, reply.find("WIN"));
  while (!number.empty() &&
         (number.front() == ' ' || number.front() == '\r' || number.front() == '\n'))
    number.remove_prefix(1);
  float version = 0.0f;
  const auto r = std::from_chars(number.data(), number.data() + number.size(), version);
  if (r.ec != std::errc() || !std::isfinite(version)) return;
  d.minimumSoftwareVersion = version;
  if (FirmwareHundredths(version) <= FirmwareHundredths(kSoftwareVersionNumber)) return;
  s.ui.message({Format("This logger needs version %.2f or later of the KTS Windows Software.\n"
                       "This software is version %s.\n\n"
                       "The results may be unpredictable if you continue.",
                       static_cast<double>(version), kSoftwareVersion),
                "Minimum Windows Version", Icon::Error, Buttons::Ok, Answer::Ok});
}

// Reads word 0 and every word it points to; false when any read failed.
bool ReadWords(Session& s) {
  LoggerDescription& d = s.description;
  bool clean = true;
  auto read = [&](int n) {
    uint32_t w = 0;
    clean = ReadCapabilityWord(s, n, &w) && clean;
    d.words[static_cast<size_t>(n)] = w;
    return w;
  };
  const uint32_t w0 = read(0);
  d.capabilityWordsRead = true;

  if (Bit(w0, 0)) d.memoryType = SmallInt(read(1));
  d.profiling6Hz = Bit(w0, 1);
  if (Bit(w0, 2)) {
    // The parameter block is read with a one-byte length: keep the default
    // when the word cannot be one.
    const uint32_t length = read(3);
    if (length >= 1 && length <= 255) d.parameterBlockLength = static_cast<int>(length);
  }
  d.hysteresis = Bit(w0, 3);
  if (Bit(w0, 4)) {
    const uint32_t w5 = read(5);
    d.stopSuspendCode = static_cast<int>(w5 & 0x0F);
    d.option4 = Bit(w5, 4);
    d.option5 = Bit(w5, 5);
    d.option6 = Bit(w5, 6);
  }
  d.averaging = Bit(w0, 5);
  if (Bit(w0, 6)) {
    const uint32_t w7 = read(7);
    d.conventionalThresholding = Bit(w7, 0);
    d.powerSaveThresholding = Bit(w7, 1);
  }
  if (Bit(w0, 7)) d.configFlags = read(8);
  d.uvCommands = Bit(w0, 8);
  d.frontEndThroughComms = Bit(w0, 9);
  d.reportsBattery = Bit(w0, 10);
  d.externalDataConnector = Bit(w0, 11);
  if (Bit(w0, 12)) InterpretBaudWord(read(13), &d.defaultBaud, &d.expressRate);
  if (Bit(w0, 13)) CheckMinimumSoftwareVersion(s);
  d.startCharacteristicCommands = Bit(w0, 14);
  d.startOptionByte = Bit(w0, 15);
  d.waves = Bit(w0, 16);
  d.highRate = Bit(w0, 17);
  d.externalPower = Bit(w0, 18);
  if (Bit(w0, 19)) d.engineeringUnitsLevel = SmallInt(read(20));
  if (Bit(w0, 20)) d.modemControl = SmallInt(read(21));
  if (Bit(w0, 21)) d.memoryTest = SmallInt(read(22));
  if (Bit(w0, 22)) d.dataBuoy = SmallInt(read(23));
  return clean;
}

}  // namespace

bool ReadCapabilityWord(Session& s, int n, uint32_t* word) {
  *word = 0;
  if (QueryTagged(s, Format("!0%02X", n & 0xFF), "CAP")) {
    const std::string_view reply = s.reply.text();
    const size_t tag = reply.find("CAP");
    uint8_t echo = 0;
    uint8_t b[4];
    if (ScanHexBytesBefore(reply, tag + 5, 1, &echo) && echo == n &&
        ScanHexBytesBefore(reply, tag, 4, b)) {
      *word = uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
      return true;
    }
  }
  ShowStatus(s.ui, "Read capabilities error");
  return false;
}

void ResetCapabilityFields(LoggerDescription& d) {
  const LoggerDescription def;
  d.capabilityWordsRead = def.capabilityWordsRead;
  d.words = def.words;
  d.memoryType = def.memoryType;
  d.profiling6Hz = def.profiling6Hz;
  d.parameterBlockLength = def.parameterBlockLength;
  d.hysteresis = def.hysteresis;
  d.stopSuspendCode = def.stopSuspendCode;
  d.option4 = def.option4;
  d.option5 = def.option5;
  d.option6 = def.option6;
  d.averaging = def.averaging;
  d.conventionalThresholding = def.conventionalThresholding;
  d.powerSaveThresholding = def.powerSaveThresholding;
  d.configFlags = def.configFlags;
  d.uvCommands = def.uvCommands;
  d.frontEndThroughComms = def.frontEndThroughComms;
  d.reportsBattery = def.reportsBattery;
  d.externalDataConnector = def.externalDataConnector;
  d.defaultBaud = def.defaultBaud;
  d.expressRate = def.expressRate;
  d.hasMinimumSoftwareVersion = def.hasMinimumSoftwareVersion;
  d.minimumSoftwareVersion = def.minimumSoftwareVersion;
  d.startCharacteristicCommands = def.startCharacteristicCommands;
  d.startOptionByte = def.startOptionByte;
  d.waves = def.waves;
  d.highRate = def.highRate;
  d.externalPower = def.externalPower;
  d.engineeringUnitsLevel = def.engineeringUnitsLevel;
  d.modemControl = def.modemControl;
  d.memoryTest = def.memoryTest;
  d.dataBuoy = def.dataBuoy;
  d.microSalinometerSettings = def.microSalinometerSettings;
  d.lowestDefaultBaud = def.lowestDefaultBaud;
}

void InterpretBaudWord(uint32_t word, int* defaultBaud, int* expressRate) {
  const int rate = static_cast<int>(word >> 24) * 100;
  const bool standard =
      std::find(kStandardRates.begin(), kStandardRates.end(), rate) != kStandardRates.end();
  *defaultBaud = standard ? rate : 2400;
  const int express = static_cast<int>(word & 0xFFFFFF);
  *expressRate = (express == 19200 || express == 57600 || express == 115200) ? express : 19200;
}

void ApplyModelRules(const LoggerIdentity& id, bool radioDelay, uint32_t startMode,
                     LoggerDescription& d) {
  const std::string& model = id.model;
  const bool hv = IsHvModel(id);
  const bool lv = IsLvModel(id);
  const bool qz = IsQzFamily(id);
  auto atLeast = [&](double v) { return FirmwareAtLeast(id, v); };

  if (((hv || lv) && atLeast(3.15)) || (qz && atLeast(4.00))) d.memoryType = 2;
  if (!hv && !lv && model != "QZ-740-MD" && !Contains(model, "MVq")) d.averaging = true;
  if (qz && Contains(model, "MC")) {
    d.conventionalThresholding = true;
    if (atLeast(4.25)) d.powerSaveThresholding = true;
  }
  if (qz && atLeast(2.65) && !radioDelay) d.expressRate = 57600;
  if (Contains(model, "U")) d.externalDataConnector = true;
  if (Contains(model, "QZ-760")) d.profiling6Hz = true;

  if (hv && !atLeast(1.50))
    d.stopSuspendCode = 1;
  else if (hv && !atLeast(2.15))
    d.stopSuspendCode = 4;
  else if (hv || lv)
    d.stopSuspendCode = !atLeast(3.00) ? 3 : (!atLeast(3.15) ? 4 : 3);
  else if (qz)
    d.stopSuspendCode = (atLeast(2.45) && startMode < 2) ? 3 : 2;

  if (qz) {
    d.frontEndThroughComms = true;
    if (atLeast(2.10)) d.reportsBattery = true;
  }
}

int ReadCapabilities(Session& s) {
  if (!s.link.reread.capabilities) return 1;
  ShowStatus(s.ui, "Assessing logger capabilities ");
  LoggerDescription& d = s.description;
  ResetCapabilityFields(d);
  const LoggerIdentity& id = s.link.identity;
  bool clean = true;
  if (id.extended || (IsQzFamily(id) && FirmwareAtLeast(id, 4.25))) clean = ReadWords(s);
  if (!id.extended) ApplyModelRules(id, s.ports.radioDelayEnabled, s.deployment.block.startMode, d);
  // Extended YP-930s carry the flag too, so this is not a rule of old loggers only.
  d.microSalinometerSettings =
      Contains(id.model, "YP-930") && (d.configFlags & kConfigMicroSalinometer) != 0;
  s.link.reread.capabilities = false;
  if (s.linkHooks.showModemSleepItem) s.linkHooks.showModemSleepItem(s, d.modemControl == 1);
  return clean ? 1 : 0;
}

void ForceCapabilityReread(Session& s) {
  s.link.reread.capabilities = true;
  s.link.reread.configuration = true;
}

}  // namespace kts
