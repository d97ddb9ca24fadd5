#include "data/header_settings.h"

#include <algorithm>
#include <cstdint>

#include "convert/calibration.h"
#include "core/bcd.h"
#include "core/checksum.h"

namespace kts {
namespace {

constexpr uint32_t kRawLimitCeiling = 0xDFFFFF;  // the highest level a channel reports

// A header shorter than a field reads as zeros there.
struct HeaderBytes {
  std::span<const uint8_t> bytes;
  uint32_t at(size_t i) const { return i < bytes.size() ? bytes[i] : 0u; }
  uint32_t big24(size_t i) const { return at(i) << 16 | at(i + 1) << 8 | at(i + 2); }
  uint32_t little16(size_t i) const { return at(i) | at(i + 1) << 8; }
};

void ResetHeaderFields(DeploymentParameters& d) {
  DeploymentBlock& b = d.block;
  b.startMode = kStartAtTime;
  b.powerFlag = 0;
  b.samplingMode = 0;
  b.thresholdTestMode = 0;
  b.thresholdChannel = 0;
  b.thresholdLevel = 0.0;
  b.thresholdLimitValue = 0.0;
  b.thresholdRaw = 0;
  b.thresholdRawLimit = 0;
  b.hysteresisPeriod = 0;
  d.hysteresisEnabled = false;
  d.averagingEnabled = false;
  d.averagingPeriod = 1;
  d.realTimeOutput = 0;
  d.checkPeriod = MakePeriod(0, 0, 0);
}

void DecodeStartCode(uint32_t code, uint32_t levelA, DeploymentBlock& b) {
  switch (code) {
    case 1:
      b.startMode = kStartNow;
      break;
    case 2:
    case 3:
      b.startMode = code;
      b.thresholdRaw = levelA;
      b.thresholdRawLimit = kRawLimitCeiling;
      break;
    case 4:
      b.startMode = b.thresholdRawLimit >= kRawLimitCeiling ? uint32_t{kStartAboveThreshold} : 4u;
      break;
    case 5:
      b.startMode = b.thresholdRawLimit >= kRawLimitCeiling ? uint32_t{kStartBelowThreshold} : 5u;
      break;
    case 6:
    case 7:
      b.startMode = code == 6 ? kStartAboveThreshold : kStartBelowThreshold;
      b.thresholdTestMode = 1;
      break;
    default:
      b.startMode = kStartAtTime;
      break;
  }
  if (code >= 1 && code <= 5) b.thresholdTestMode = 0;
}

}  // namespace

bool DecodeHeaderSettings(std::span<const uint8_t> header, const ImageLayout& layout,
                          const DecodeContext& context, DeploymentParameters& d) {
  const HeaderBytes h{header};
  if (FirmwareAbove(context.identity, 2.65)) {
    const size_t summed = std::min(header.size(), static_cast<size_t>(layout.headerLength));
    if (ByteSum(header.data(), summed) != kTableSum) {
      ResetHeaderFields(d);
      return false;
    }
  }
  const LoggerDescription& caps = context.description;
  DeploymentBlock& b = d.block;

  uint32_t start = h.at(15);
  b.powerFlag = (start & 0x80) ? kPowerFlag : 0;
  start &= 0x7F;
  b.samplingMode = 0;
  if (caps.profiling6Hz && (start & 0x40)) {
    b.samplingMode = kProfilingMode;
    start &= ~0x40u;
  }
  const uint32_t channel = h.at(16) == 255 ? 0 : h.at(16);
  b.thresholdChannel = channel < kMaxChannels ? channel : 0;
  const uint32_t levelA = h.big24(17);
  b.thresholdRawLimit = levelA;
  b.thresholdRaw = h.big24(20);
  DecodeStartCode(start, levelA, b);

  // The threshold levels are in the units of the channel they test.
  const uint8_t type = layout.types[b.thresholdChannel];
  const Coefficients& c = context.coefficients.c[b.thresholdChannel];
  b.thresholdLimitValue = ConvertRaw(static_cast<int32_t>(b.thresholdRawLimit), type, c, false);
  b.thresholdLevel = ConvertRaw(static_cast<int32_t>(b.thresholdRaw), type, c, false);
  // Temperature runs opposite to the counts: above in counts is below in degrees.
  if (type == 'T') {
    if (b.startMode == kStartAboveThreshold)
      b.startMode = kStartBelowThreshold;
    else if (b.startMode == kStartBelowThreshold)
      b.startMode = kStartAboveThreshold;
  }

  const uint32_t count = h.little16(23);
  if (count >= 2 && count <= 64800 && caps.averaging) {
    d.averagingEnabled = true;
    d.averagingPeriod = count / 6;
  } else {
    d.averagingEnabled = false;
    d.averagingPeriod = 1;
  }

  if (caps.externalDataConnector) {
    d.realTimeBaudCode = h.at(25);
    d.realTimeOutput = d.realTimeBaudCode != 0 ? 1 : 0;
  }

  d.checkPeriod = MakePeriod(0, 0, 0);
  if (caps.powerSaveThresholding)
    d.checkPeriod = MakePeriod(BcdToInt(static_cast<uint8_t>(h.at(26))),
                               BcdToInt(static_cast<uint8_t>(h.at(27))),
                               BcdToInt(static_cast<uint8_t>(h.at(28))));
  b.thresholdTestMode = PeriodSeconds(d.checkPeriod) != 0 ? 1 : 0;

  if (caps.hysteresis) {
    const uint32_t hysteresis = h.little16(29);
    d.hysteresisEnabled = hysteresis != 0;
    if (hysteresis == 0)
      b.hysteresisPeriod = 0;
    else if (b.samplingMode == kProfilingMode)
      b.hysteresisPeriod = hysteresis / 6;
    else
      b.hysteresisPeriod = static_cast<uint32_t>(
          std::min<int64_t>(int64_t{hysteresis} * PeriodSeconds(d.samplingPeriod), UINT32_MAX));
  }
  return true;
}

}  // namespace kts
