// The command ids of the main window: menu items, buttons and the commands
// other parts post to it. The numbers are the system's own.
#pragma once

// The plot's own buttons (zoom, scale, channels) are numbered with the plot.
#include "frame/plot_model.h"

namespace kts {

enum CommandId : int {
  kCmdAbout = 100,
  kCmdRetrieveData = 110,
  kCmdFetchLiveReadings = 111,
  kCmdExit = 112,
  kCmdReadDat = 113,
  kCmdScreenCapture = 114,
  kCmdSetup = 115,
  kCmdSaveFile = 116,
  kCmdSaveSegment = 117,
  kCmdCalibrationCoefficients = 118,
  kCmdCalibrationHistory = 119,
  kCmdWriteFormat = 120,
  kCmdReadHex = 122,
  kCmdDerivedUnits = 124,
  kCmdGpsTest = 127,
  kCmdDefaultBaud = 129,
  kCmdStatistics = 131,
  kCmdSaveMatlab = 133,
  kCmdReadMatlab = 134,
  kCmdMicroSalinometer = 135,
  kCmdComSettings = 259,
  kCmdConnect = 262,
  kCmdRetrievalContinue = 271,  // to the retrieval dialog
  kCmdRetrievalStop = 272,      // to the retrieval dialog
  kCmdRecentPopup = 1044,
  kCmdRecentFirst = 1045,
  kCmdRecentLast = 1054,
  kCmdShowRangeChanges = 1165,
  kCmdStatisticsRefresh = 1204,  // to the statistics window
  kCmdRealTimeLimits = 40020,
  kCmdLanguage = 40028,
  kCmdAllowMultipleCopies = 40035,
  kCmdLiveRefresh = 40039,
  kCmdMatlabFormat = 40043,
  kCmdModemSleep = 40044,
  kCmdLatency = 40046,
  kCmdRealTimeRestartStored = 40049,
  kCmdRealTimeRestart = 40057,
  kCmdEngineeringUnits = 40060,
};

inline constexpr int kTimerId = 253;

inline bool IsChannelButton(int id) { return id >= kCmdFirstChannelButton && id <= kCmdLastChannelButton; }
inline bool IsRecentFile(int id) { return id >= kCmdRecentFirst && id <= kCmdRecentLast; }
// The buttons and the channel buttons around the plot.
inline bool IsPlotControl(int id) {
  return (id >= kCmdZoomOut && id <= kCmdRescale) || id == kCmdAllChannels || id == kCmdXyPlot ||
         IsChannelButton(id) || id == kCmdZoomIn;
}
// Ids that have a menu entry but no action.
inline bool IsInertCommand(int id) {
  return (id >= 101 && id <= 109) || id == 121 || id == 123 || id == 125 || id == 126 ||
         id == 128 || id == 130 || id == 132;
}

}  // namespace kts
