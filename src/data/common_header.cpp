#include "data/common_header.h"

#include <algorithm>

#include "convert/channel_types.h"
#include "convert/derived_plan.h"
#include "core/session.h"
#include "core/text.h"
#include "core/time_format.h"
#include "data/decoder.h"
#include "data/fixed_text.h"
#include "data/stamp_codes.h"
#include "link/logger_status.h"

namespace kts {
namespace {

bool HasCapabilities(const DataSet& d) {
  return d.context.description.capabilityWordsRead;
}

// "%4d/%02d/%02d %02d:%02d:%02d"
void StampTime(TextOut& out, const TimeRecord& t) {
  out.date(t, true).ch(' ').clock(t);
}

int StampCountOf(const DataSet& d) {
  return std::clamp(d.stampCount, 0, kMaxStamps);
}

bool InRange(const StampEntry& e, const HeaderOptions& o) {
  return o.lastSample < 0 || (e.sampleIndex >= o.firstSample && e.sampleIndex <= o.lastSample);
}

int PageNumber(const StampEntry& e, const HeaderOptions& o, bool fromOne) {
  const int first = o.lastSample < 0 ? 0 : o.firstSample;
  return e.sampleIndex - first + (fromOne ? 1 : 0);
}

void StampLine(TextOut& out, const char* lead, const StampEntry& e, int number, bool withType) {
  out.text(lead);
  StampTime(out, e.time);
  out.text(" at sample ").integer(number);
  if (withType) out.text(" of type: ").text(StampDisplayName(e.type));
}

void GainPairs(TextOut& out, const DataSet& d, const StampEntry& e) {
  const int measured = std::clamp(d.measuredChannels, 0, kMaxChannels);
  for (int c = 0; c < measured; ++c) {
    if ((e.gainMask & (1u << c)) == 0) continue;
    const int gain = e.gains[static_cast<size_t>(c)];
    out.text(" channel=").integer(c + 1).text(" gain=").integer(gain).text(" (");
    out.text(GainLabel(d.types[static_cast<size_t>(c)], gain)).ch(')');
  }
}

bool IsTimeType(int type) {
  return type == kStampTime || type == kStampRtc;
}

void ResetStampLines(TextOut& out, const DataSet& d, const HeaderOptions& o, bool keep(int)) {
  for (int i = 0; i < StampCountOf(d); ++i) {
    const StampEntry& e = d.stamps[static_cast<size_t>(i)];
    if (keep(e.type) || !InRange(e, o)) continue;
    StampLine(out, "Reset stamp ", e, PageNumber(e, o, true), true);
    out.ch('\n');
  }
}

void ExtendedDataRange(TextOut& out, const LoggerDescription& desc) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out.text("Extended data range: ");
  for (uint8_t b : desc.extendedChannelCaps) out.ch(kHex[b >> 4]).ch(kHex[b & 15]);
  out.ch('\n');
}

void StampSection(TextOut& out, const Session& s, const HeaderOptions& o) {
  const DataSet& d = s.data;
  const LoggerDescription& desc = d.context.description;
  const bool hex = o.form == HeaderForm::Hex;
  const int count = StampCountOf(d);
  switch (StampFormOf(d.context.identity)) {
    case StampForm::A: {
      for (int i = 0; i < count; ++i) {
        const StampEntry& e = d.stamps[static_cast<size_t>(i)];
        if (!(IsTimeType(e.type) || e.type == kStampBurst) || !InRange(e, o)) continue;
        StampLine(out, "Timestamp ", e, PageNumber(e, o, true), true);
        out.ch('\n');
      }
      ResetStampLines(out, d, o, [](int t) { return IsTimeType(t) || t == kStampBurst; });
      if (hex) {
        out.text("Number of bytes in header ").integer(desc.parameterBlockLength).ch('\n');
        if (HasCapabilities(d)) ExtendedDataRange(out, desc);
      }
      break;
    }
    case StampForm::B: {
      for (int i = 0; i < count; ++i) {
        const StampEntry& e = d.stamps[static_cast<size_t>(i)];
        if (!InRange(e, o)) continue;
        StampLine(out, "Timestamp ", e, PageNumber(e, o, false), false);
        out.ch('\n');
      }
      if (hex && HasCapabilities(d)) {
        out.text("Number of bytes in header ").integer(desc.parameterBlockLength).ch('\n');
        ExtendedDataRange(out, desc);
      }
      break;
    }
    case StampForm::C: {
      const DeploymentBlock& block = s.retrieved.block;
      out.text("Logger start:").text(StartModeName(static_cast<int>(block.startMode))).ch(' ');
      if (block.startMode == kStartAboveThreshold || block.startMode == kStartBelowThreshold)
        out.fixed(block.thresholdLevel, 4, 9)
            .text(" channel ")
            .integer(int64_t{block.thresholdChannel} + 1);
      out.ch('\n');
      for (int i = 0; i < count; ++i) {
        const StampEntry& e = d.stamps[static_cast<size_t>(i)];
        if (!(IsTimeType(e.type) || e.type == kStampGain) || !InRange(e, o)) continue;
        StampLine(out, "Timestamp ", e, PageNumber(e, o, true), true);
        if (e.type == kStampGain) GainPairs(out, d, e);
        out.ch('\n');
      }
      ResetStampLines(out, d, o, [](int t) { return IsTimeType(t) || t == kStampGain; });
      if (hex) {
        if (IsQzFamily(d.context.identity) || HasCapabilities(d))
          out.text("Number of bytes in header ").integer(desc.parameterBlockLength).ch('\n');
        ExtendedDataRange(out, desc);
      }
      break;
    }
  }
}

void CardLine(TextOut& out, uint8_t rs) {
  out.text((rs & kRsSdCard) ? "MMC/SD Memory card present, " : "No MMC/SD Memory card, ");
  out.text((rs & kRsSerialCard) ? "Generic Serial card present, " : "No Generic Serial card, ");
  out.text("Format: ");
  const bool binary = (rs & kRsBinaryOutput) != 0, ascii = (rs & kRsAsciiOutput) != 0;
  out.text(binary && ascii ? "ASCII and Binary" : ascii ? "ASCII" : binary ? "Binary" : "None set");
  out.ch('\n');
}

const char* ColumnLabel(uint8_t type, HeaderForm form, const DerivedUnits& units) {
  if (type == 'X' && form != HeaderForm::Hex) {
    switch (units.oxygenUnit) {
      case OxygenUnit::MicroMolPerL:
        return "dO2\xB5Mol/l ";
      case OxygenUnit::MlPerL:
        return " dO2 ml/l ";
      case OxygenUnit::MgPerL:
        return " dO2 mg/l ";
    }
  }
  return RowOf(type).columnLabel;
}

}  // namespace

StampForm StampFormOf(const LoggerIdentity& id) {
  const std::string& m = id.model;
  if (Contains(m, "HNV") || Contains(m, "HKV")) return StampForm::A;
  if (Contains(m, "HV") &&
      ((FirmwareAbove(id, 2.15) && !FirmwareAtLeast(id, 3.0)) || FirmwareAbove(id, 3.15)))
    return StampForm::A;
  if (Contains(m, "LV") && FirmwareAbove(id, 3.15)) return StampForm::A;
  if (Contains(m, "QZ") || Contains(m, "JQN")) return StampForm::C;
  return StampForm::B;
}

const char* StartModeName(int mode) {
  static constexpr const char* kNames[6] = {"Start of logging",  "Now",
                                            "Above threshold",   "Below threshold",
                                            "Inside thresholds", "Outside thresholds"};
  return mode >= 0 && mode < 6 ? kNames[mode] : "";
}

const char* MemoryTypeName(int type) {
  static constexpr const char* kNames[4] = {"Intel 28F016S3", "AMD 29LV033C", "AT45DB642",
                                            "AT45DB642-D"};
  return type >= 1 && type <= 4 ? kNames[type - 1] : "";
}

std::string ColumnLabelLine(const Session& s, HeaderForm form, int timeColumns) {
  const DataSet& d = s.data;
  std::string line(static_cast<size_t>(LeadWidth(timeColumns)), ' ');
  const int total = std::clamp(d.totalChannels, 0, kMaxChannels);
  for (int c = 0; c < total; ++c) {
    const uint8_t type = d.types[static_cast<size_t>(c)];
    if (type == kTypeSignificantWaveHeight && form != HeaderForm::Hex) continue;
    line += ColumnLabel(type, form, s.settings.derived);
  }
  return line;
}

void AppendCommonHeader(const Session& s, const HeaderOptions& o, std::string& text) {
  TextOut out(text);
  const DataSet& d = s.data;
  const LoggerIdentity& id = d.context.identity;
  const LoggerDescription& desc = d.context.description;
  const RetrievedDeployment& r = s.retrieved;
  const int measured = std::clamp(d.measuredChannels, 0, kMaxChannels);

  // 1: identification
  out.text("KTS ").text(id.model).ch(' ').fixed(id.firmware, 2, 5).ch(' ');
  out.integer(id.serial, 6, true).text(" (Windows: ").text(kSoftwareVersion);
  if (desc.hasMinimumSoftwareVersion)
    out.text(" - Minimum required: ").fixed(desc.minimumSoftwareVersion, 2);
  out.text(")\n");

  // 2-5: times
  const bool range = o.lastSample >= 0;
  const TimeRecord start = range ? SampleTime(d, o.firstSample) : d.startTime;
  out.text("Host time     ").text(FormatShortDateTime(r.hostTime)).ch('\n');
  out.text("Logger time   ").text(FormatShortDateTime(r.loggerTime)).ch('\n');
  out.text("Logging start ").text(FormatShortDateTime(start)).ch('\n');
  out.text("Logging end   ").text(FormatShortDateTime(r.endTime)).ch('\n');

  // 6-8: period, counts, time columns
  if (d.samplingMode == kProfilingMode)
    out.text("Sample period          6Hz profiling\n");
  else
    out.text("Sample period          ").clock(d.samplePeriod).ch('\n');
  int samples = d.sampleCount;
  if (range) samples = o.lastSample - o.firstSample + 1;
  if (o.sampleCount >= 0) samples = o.sampleCount;
  out.text("Number of channels = ").integer(measured, 2).text(", ");
  out.text("number of samples = ").integer(samples, 6).text(", mode: ");
  out.text(StatusName(r.loggerStatus)).ch('\n');
  out.ch(o.timeColumns == 2 ? 'E' : o.timeColumns == 1 ? 'A' : 'N');
  out.integer(measured, 2, true).text("%9.4f\n");

  // 9: coefficients
  for (int c = 0; c < measured; ++c) {
    const auto& k = d.context.coefficients.c[static_cast<size_t>(c)];
    out.text("Calibration ").integer(c + 1, 2).text(": ").fixed(k[0], 15).ch('\n');
    out.text("                ").fixed(k[1], 15).ch('\n');
    out.text("                ").fixed(k[2], 15).ch('\n');
    out.text("                ").fixed(k[3], 15).ch(' ');
    out.text(UnitText(d.types[static_cast<size_t>(c)], id.model, desc.conductivityMicroSiemens));
    out.ch('\n');
  }

  // 10-16: comment and settings
  if (!o.comment.empty()) {
    // One line of at most 99 characters, whoever gave it.
    out.text("COMMENT: ");
    for (char c : o.comment.substr(0, 99)) out.ch(c == '\n' || c == '\r' ? ' ' : c);
    out.ch('\n');
  }
  bool metres = false;
  for (int c = 0; c < measured; ++c) {
    const uint8_t t = d.types[static_cast<size_t>(c)];
    metres = metres || t == 'E' || t == 'A';
  }
  if (metres) out.text("Engineering units level ").integer(desc.engineeringUnitsLevel).ch('\n');
  const DerivedUnits& u = s.settings.derived;
  const DerivedSources sources =
      FindDerivedSources(std::span<const uint8_t>(d.types.data(), static_cast<size_t>(measured)));
  if (u.depthOn && sources.pressure >= 0) {
    out.text("Atmospheric pressure ").fixed(u.atmosphericPressure, 6).text(" dBar, water density ");
    out.fixed(u.density, 6).text(", ");
    out.text(u.depthSeawater ? "(Seawater calculation)\n" : "(Simplified calculation)\n");
    out.text("Latitude ").integer(u.latitudeDegrees).text(" degrees ");
    out.fixed(u.latitudeMinutes, 3).text(" minutes\n");
  }
  if (desc.capabilityWordsRead && desc.memoryType != 0)
    out.text("Memory type: ")
        .integer(desc.memoryType)
        .ch(' ')
        .text(MemoryTypeName(desc.memoryType))
        .ch('\n');
  if (desc.averaging) {
    if (r.averagingEnabled)
      out.text("Averaging: ").integer(r.averagingPeriod).text(" seconds\n");
    else
      out.text("Averaging: NONE\n");
  }
  if (desc.waves && r.burstRate != 0)
    out.text("Wave burst sample rate: ").integer(r.burstRate).text("Hz\n");
  if (IsTideAndWaveModel(id.model) && r.burstEnabled) {
    out.text("Wave burst sampling period: ").clock(r.burstPeriod).ch('\n');
    out.text("Wave burst sample length:   ").integer(r.burstLength).ch('\n');
    out.text("Logger height:   ").fixed(r.loggerHeight, 2).ch('\n');
  }
  if (o.form == HeaderForm::Short) {
    out.ch('\n');
    return;
  }

  // 17-20: stamps, card, labels
  StampSection(out, s, o);
  if (desc.configFlags & kConfigAdvanced) CardLine(out, desc.rsAdvanced);
  if (IsQzFamily(id) || desc.capabilityWordsRead)
    out.ch('\n').text(ColumnLabelLine(s, o.form, o.timeColumns));
  out.ch('\n');
}

}  // namespace kts
