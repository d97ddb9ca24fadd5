// The texts and lists the setup screens show for the deployment, and the
// two lists whose choice changes it (start mode and real-time output).
#pragma once

#include <string>
#include <vector>

namespace kts {

struct Session;
struct SetupScreen;
struct DeploymentParameters;

struct ChoiceList {
  std::vector<std::string> entries;
  int selected = 0;
  bool enabled = false;
};

// Start list: outside the QZ family it only shows the start mode; on QZ
// loggers that can start on a threshold it chooses the start mode.
ChoiceList StartList(const Session& s);
// Selecting entry i of an enabled list. "No thresholding" keeps the start
// mode the screen opened with when that was a timed or immediate start, so
// a timed start never silently becomes start-now. Returns 0 when the entry
// cannot be chosen.
int SelectStartEntry(Session& s, SetupScreen& screen, int index);

// Real-time list (real-time capability only; empty otherwise).
ChoiceList RealTimeList(const Session& s);
int SelectRealTimeEntry(Session& s, int index);
// The real-time rate is the port's current rate; the logger is sent
// trunc(9216000 / (32 × rate)) − 2 while real-time output is on, else 0.
void ApplyRealTimeBaudCode(Session& s);

std::string AveragingText(const DeploymentParameters& d);
std::string PeriodText(const DeploymentParameters& d);     // "6Hz profiling" in profiling mode
std::string StartTimeText(const DeploymentParameters& d);  // "NOW" for start-now
// Tide-and-wave loggers.
std::string WaveRateText(const DeploymentParameters& d);
std::string BurstText(const DeploymentParameters& d);
std::string WaveAveragingText(const DeploymentParameters& d);

}  // namespace kts
