// The one record of a deployment: when the logger starts and stops, how it
// samples, averages, starts on a threshold, outputs in real time and bursts.
#pragma once

#include <cstdint>
#include <string>

#include "core/time_record.h"

namespace kts {

enum StartMode : uint32_t {
  kStartAtTime = 0,
  kStartNow = 1,
  kStartAboveThreshold = 2,
  kStartBelowThreshold = 3,
};
inline constexpr uint32_t kPowerFlag = 128;
inline constexpr uint32_t kProfilingMode = 64;

// Fourteen 32-bit words, copied as a whole (backups and batch values).
struct DeploymentBlock {
  uint32_t startMode = kStartAtTime;
  uint32_t powerFlag = 0;
  uint32_t samplingMode = 0;       // 0 normal, 64 six-hertz profiling
  uint32_t thresholdTestMode = 0;  // 0 continuous, 1 every check period
  uint32_t thresholdChannel = 0;   // 0-based
  uint32_t spare = 0;
  double thresholdLevel = 0.0;       // engineering units
  double thresholdLimitValue = 0.0;  // engineering value of the raw limit
  uint32_t thresholdRaw = 0;
  uint32_t thresholdRawLimit = 0;
  uint32_t hysteresisPeriod = 0;  // seconds, 0 = off
  uint32_t oemFlags = 0;          // bit 0 inhibit storage, 1 autostart, 2 engineering units

  bool operator==(const DeploymentBlock&) const = default;
};
static_assert(sizeof(DeploymentBlock) == 56, "fourteen 32-bit words");

struct DeploymentParameters {
  TimeRecord loggerTime;  // the logger clock when the setup screen opened
  TimeRecord hostTime;
  TimeRecord startTime;
  TimeRecord endTime;
  TimeRecord samplingPeriod = MakePeriod(0, 1, 0);
  DeploymentBlock block;

  bool averagingEnabled = false;
  uint32_t averagingPeriod = 1;  // seconds, 1..10800
  uint32_t realTimeOutput = 0;
  uint32_t realTimeBaud = 19200;
  uint32_t realTimeBaudCode = 0;

  // Wave bursts (tide-and-wave logger).
  bool burstEnabled = false;
  uint32_t burstRate = 0;    // Hz: 1, 2 or 4
  uint32_t burstLength = 0;  // samples
  TimeRecord burstPeriod = MakePeriod(0, 0, 0);
  double meanDepth = 0.0;
  double loggerHeight = 0.0;

  TimeRecord checkPeriod = MakePeriod(0, 0, 0);  // threshold power-saving test period
  bool hysteresisEnabled = false;
  bool changedSinceBatch = false;

  // Left by the validation (computeMinimumPeriods): the shortest period the
  // sensors allow, and the shortest one at which the logger still powers
  // down between samples; whole seconds.
  float minimumPeriod = 0.0f;
  float powerCyclePeriod = 0.0f;

  // Left by the charge-per-event estimate for the tide-and-wave checks.
  float estimatedMemoryPercent = 0.0f;
  float estimatedChargeMah = 0.0f;
};

// The deployment as last programmed ("Accept batch values").
struct BatchValues {
  bool available = false;
  TimeRecord startTime, endTime, samplingPeriod;
  DeploymentBlock block;
  bool averagingEnabled = false;
  uint32_t averagingPeriod = 1;
  uint32_t realTimeOutput = 0;
  bool burstEnabled = false;
  uint32_t burstRate = 0, burstLength = 0;
  TimeRecord burstPeriod;
};

// The deployment that produced the data in memory, as read at retrieval;
// the file writers take their header values from it.
struct RetrievedDeployment {
  TimeRecord hostTime, loggerTime, startTime, endTime, samplingPeriod;
  DeploymentBlock block;
  bool averagingEnabled = false;
  uint32_t averagingPeriod = 0;
  uint32_t realTimeOutput = 0, realTimeBaudCode = 0;
  int loggerStatus = 0;
  bool burstEnabled = false;
  uint32_t burstRate = 0, burstLength = 0;
  TimeRecord burstPeriod;
  double loggerHeight = 0.0;
  // The memory-pointer reply the retrieval read ("00E07F00CDP"); a setup
  // that finds another pointer knows the data since have not been read.
  std::string memoryPointerReply;
};

}  // namespace kts
