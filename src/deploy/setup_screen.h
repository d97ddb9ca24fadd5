// What every setup-type screen shares with the deployment rules: a message
// line with its info or warning indicator and the state of the "Enable
// logging" button. The main setup screen is one such record in the Session;
// the date-and-time picker and the threshold screen carry their own line.
#pragma once

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

struct SetupScreen {
  bool open = false;
  MessageLine message;
  bool enableLoggingEnabled = false;
  std::string mainButton = kEnableLoggingButton;

  // The fourteen-word block as it was when the screen opened: tells whether
  // the start mode has changed since.
  DeploymentBlock backup;

  bool thresholdButtonShown = false;
  bool averagingControlsShown = false;
};

// A modal screen's state once a button has been pressed.
enum class DialogOutcome { Open, Accepted, Discarded };

}  // namespace kts
