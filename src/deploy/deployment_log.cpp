#include "deploy/deployment_log.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "core/session.h"
#include "core/text.h"
#include "core/time_format.h"
#include "deploy/deployment_rules.h"
#include "deploy/estimates.h"
#include "deploy/setup_screen.h"
#include "deploy/setup_texts.h"
#include "link/logger_status.h"
#include "platform/status_line.h"

namespace kts {
namespace {

std::string IdentityLine(const Session& s) {
  const LoggerIdentity& id = s.link.identity;
  const std::string identity =
      Format("KTS %s %5.2f %06d", id.model.c_str(), static_cast<double>(id.firmware), id.serial);
  if (s.description.hasMinimumSoftwareVersion)
    return Format("%s (Windows: %s - Minimum required: %.2f)\n", identity.c_str(), kSoftwareVersion,
                  static_cast<double>(s.description.minimumSoftwareVersion));
  return Format("%s (Windows: %s)\n", identity.c_str(), kSoftwareVersion);
}

const char* StartName(uint32_t startMode) {
  if (startMode == kStartAboveThreshold) return "Above threshold";
  if (startMode == kStartBelowThreshold) return "Below threshold";
  return "Start of logging";
}

// Outcomes 3 and 4: what was programmed.
void AppendDeployment(Session& s, bool resumed, std::string& e) {
  const DeploymentParameters& d = s.deployment;
  const LoggerDescription& caps = s.description;
  if (resumed) e += "Resumed logging\n";
  e += Format("Host time:                   %s\n", FormatDisplayDateTime(d.hostTime).c_str());
  e += Format("Logger setup at logger time: %s\n", FormatDisplayDateTime(d.loggerTime).c_str());
  e += Format("Logging start:               %s\n", FormatDisplayDateTime(d.startTime).c_str());
  e += Format("Logging end:                 %s\n", FormatDisplayDateTime(d.endTime).c_str());
  e += Format("Sample period:                           %s\n", PeriodText(d).c_str());
  if (IsQzLogger(s)) {
    // The record holds the sense the user chose, whatever the channel type.
    e += Format("Logger start: %s ", StartName(d.block.startMode));
    if (IsThresholdStart(d.block.startMode)) {
      e += Format("%9.4f channel %d\t", d.block.thresholdLevel,
                  static_cast<int>(d.block.thresholdChannel) + 1);
      if (caps.hysteresis) {
        e += d.block.hysteresisPeriod == 0 ? std::string(" Hysteresis period not enabled")
                                           : Format(" Hysteresis period: %d seconds",
                                                    static_cast<int>(d.block.hysteresisPeriod));
      }
    }
    e += "\n";
  }
  if (caps.averaging) {
    e += d.averagingEnabled ? Format("Averaging: %d seconds\n", static_cast<int>(d.averagingPeriod))
                            : std::string("Averaging: NONE\n");
  }
  if (caps.startOptionByte) {
    const uint32_t oem = d.block.oemFlags;
    if (oem == 0) {
      e += "OEM functions not enabled\n";
    } else {
      e += "OEM:";
      if (oem & 2) e += " Logger autostart selected ";
      if (oem & 1) e += " Logger storage inhibited";
      if (oem & 4) e += " Logger using engineering units";
      e += "\n";
    }
  }
  if (caps.externalDataConnector)
    e += d.realTimeOutput ? "Realtime output enabled\n" : "Realtime output not enabled\n";
  if (caps.waves) {
    e += d.burstEnabled ? Format("Wave sampling enabled: rate %dHz, length %d, period %s\n",
                                 static_cast<int>(d.burstRate), static_cast<int>(d.burstLength),
                                 FormatPeriod(d.burstPeriod).c_str())
                        : std::string("Wave sampling not enabled\n");
  }
  if (!resumed) {
    SetupScreen scratch;
    showEstimates(s, &scratch);
    e += scratch.message.text;
    e += "\n";
  }
}

// The folder is made when missing; one that exists is used as it is.
bool MakeFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0777) == 0) return true;
  struct stat st;
  return errno == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool AppendToFile(const std::string& path, const std::string& entry) {
  std::FILE* f = std::fopen(path.c_str(), "a");
  if (!f) return false;
  const bool written = std::fwrite(entry.data(), 1, entry.size(), f) == entry.size();
  const bool closed = std::fclose(f) == 0;
  return written && closed;
}

}  // namespace

int writeDeploymentLog(Session& s, int outcome, const RetrievalLogDetails* retrieval) {
  RetrievalLogDetails details;
  if (outcome == kOutcomeRetrieved) {
    if (retrieval) {
      details = *retrieval;
    } else {
      details.hostTime = s.retrieved.hostTime;
      details.loggerTime = s.retrieved.loggerTime;
      details.status = s.retrieved.loggerStatus;
    }
  } else if (outcome != kOutcomeSetupFailed && outcome != kOutcomeEnabled &&
             outcome != kOutcomeResumed) {
    return 0;
  }
  const TimeRecord& hostTime =
      outcome == kOutcomeRetrieved ? details.hostTime : s.deployment.hostTime;

  std::string entry = "----------------------------------------\n";
  entry += IdentityLine(s);
  if (outcome == kOutcomeEnabled || outcome == kOutcomeResumed) {
    AppendDeployment(s, outcome == kOutcomeResumed, entry);
  } else if (outcome == kOutcomeSetupFailed) {
    entry +=
        Format("Host time:                          %s\n", FormatDisplayDateTime(hostTime).c_str());
    entry += Format("Logger setup FAILED at logger time: %s\n",
                    FormatDisplayDateTime(s.deployment.loggerTime).c_str());
  } else {
    entry +=
        Format("Host time:                          %s\n", FormatDisplayDateTime(hostTime).c_str());
    entry += Format("Logger downloaded at logger time:   %s\n",
                    FormatDisplayDateTime(details.loggerTime).c_str());
    entry += Format("Logger status:                      %s\n", StatusName(details.status));
    if (!details.savedPath.empty())
      entry += Format("Data was written to a file:         %s\n", details.savedPath.c_str());
  }
  entry += "\n";

  const std::string base = s.settings.baseDirectory.empty() ? "." : s.settings.baseDirectory;
  const std::string directory = base + "/log";
  if (!MakeFolder(directory)) {
    ShowStatus(s.ui, "Error: Unable to save log file");
    return 0;
  }
  if (!AppendToFile(directory + Format("/%06d.log", s.link.identity.serial), entry)) {
    ShowStatus(s.ui, "Error: Unable to open log file");
    return 0;
  }
  if (!AppendToFile(
          directory + Format("/%04d%02d%02d.log", hostTime.year, hostTime.month, hostTime.day),
          entry)) {
    ShowStatus(s.ui, "Error: Unable to open daily log file");
    return 0;
  }
  return 1;
}

}  // namespace kts
