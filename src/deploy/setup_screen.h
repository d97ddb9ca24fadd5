// What every setup-type screen shares with the deployment rules: a message
// line with its info or warning indicator and the state of the "Enable
// logging" button. The main setup screen is one such record in the Session;
// the date-and-time picker and the threshold screen carry their own line.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "deploy/deployment_parameters.h"

namespace kts {

enum class MessageIndicator { Hidden, Info, Warning };

struct MessageLine {
  std::string text;
  MessageIndicator indicator = MessageIndicator::Hidden;

  void clear() {
    text.clear();
    indicator = MessageIndicator::Hidden;
  }
  void show(std::string_view t, MessageIndicator i) {
    text = t;
    indicator = i;
  }
};

// Main button texts of the setup screen.
inline constexpr const char* kEnableLoggingButton = "Enable logging";
inline constexpr const char* kResumeEnableButton = "Resume/Enable";
inline constexpr const char* kResumeButton = "Resume";
inline constexpr const char* kStopLoggerButton = "STOP logger";

struct Session;

// What a screen that reads the logger's state shows of it (the setup and
// the retrieval screens).
struct LoggerStateTexts {
  std::string loggerName;
  std::string status;
  std::string hostTime;
  std::string loggerTime;
  std::string startTime;
  std::string endTime;
  std::string period;
};

// How the last press of a setup button ended.
enum class SetupOutcome {
  None,
  Stopped,        // refused or declined: the screen stays open, nothing was changed
  EraseWaiting,   // the logger erases; the tick goes on with the programming
  Enabled,        // programmed, verified and enabled
  Resumed,        // "Continue to add": resumed with the settings it holds
  Failed,         // a logger-side failure: the screen closed, Setup is asked for again
  LoggerStopped,  // "STOP logger" sent "!9"
  Closed,         // closed without touching the logger
};

struct SetupScreen {
  bool open = false;
  MessageLine message;
  bool enableLoggingEnabled = false;
  std::string mainButton = kEnableLoggingButton;
  bool mainButtonsShown = true;  // the main button and Cancel; hidden while programming

  LoggerStateTexts texts;
  std::string memoryUsage;  // "%.1f%%, %dK readings" and the like
  int status = 0;
  uint32_t memoryPointer = 0;
  bool simulation = false;    // no logger: assessed, never enabled
  bool fieldsHidden = false;  // the QZ-760 stop screen shows only its main button
  bool rangeSwitchingButtonShown = false;
  bool acceptBatchEnabled = false;
  bool restartDisplayShown = false;
  bool autorunShown = false;  // "Autorun when battery/external power switched on"
  bool autorunChecked = false;

  bool resuming = false;
  bool dataLossAccepted = false;
  bool realTimeChosen = false;          // the frame starts the real-time collection on close
  bool restartRealTimeDisplay = false;  // "Restart Display" was pressed
  bool fetchLiveReadings = false;       // the frame runs "&Fetch live readings" on close

  // The erase wait, advanced by the tick.
  bool eraseWait = false;
  double eraseProgress = 0.0;
  double eraseIncrement = 0.0;

  SetupOutcome outcome = SetupOutcome::None;
  // What the logger answered to the enable command, as the status line shows it.
  std::string enableReply;

  // Prepares the real-time files before a deployment with real-time output
  // is programmed; false stops the sequence. Empty: nothing to prepare.
  std::function<bool(Session&)> prepareRealTimeFiles;

  // The fourteen-word block as it was when the screen opened: tells whether
  // the start mode has changed since.
  DeploymentBlock backup;

  bool thresholdButtonShown = false;
  bool averagingControlsShown = false;
};

// A modal screen's state once a button has been pressed.
enum class DialogOutcome { Open, Accepted, Discarded };

}  // namespace kts
