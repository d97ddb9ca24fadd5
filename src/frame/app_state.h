// The application's own state: what is connected, what data is in memory,
// which display mode is on, which dialog is open.
#pragma once

#include <cstdint>
#include <string>

#include "deploy/setup_screen.h"

namespace kts {

struct AppState {
  int languageIndex = 0;
  bool retrievedDataPresent = false;  // retrieved data in memory …
  bool retrievedDataSaved = false;    // … and written to a file
  bool newImageSinceSave = false;     // the image was retrieved since the last save
  bool hexDataLoaded = false;
  bool datDataLoaded = false;
  bool realTimeDisplayActive = false;
  bool xyPlotMode = false;
  bool gpsPortOpen = false;
  bool microSalinometerMode = false;
  bool retrievalInProgress = false;
  int liveReadingsChannel = 0;
  int activeDialogCommand = 0;  // 110 retrieval, 111 live readings, 115 setup, …
  int sampleCount = 0;
  int channelCount = 0;
  bool simulation = false;  // setup assessed without a logger
  // A command the logic asks the main window to run next (e.g. 115 "&Setup"
  // after a setting failed to read back); 0 when none.
  int postedCommand = 0;

  // The open logger dialog asked the tick to poll the logger's status; the
  // fields it refreshes (the setup screen keeps its own message line and
  // main button in the session's SetupScreen).
  bool statusPolling = false;
  struct PolledFields {
    std::string identity;
    std::string loggerClock;
    std::string hostClock;
    std::string memoryUsed;
    std::string statusLine;
    MessageLine message;
    std::string mainButton;
    bool retrieveAllShown = false;  // "Retrieve 100%"
  } polled;
  bool retrieveAllKeyHeld = false;  // the key that shows "Retrieve 100%"

  bool statisticsMode = false;
  bool minimised = false;
};

}  // namespace kts
