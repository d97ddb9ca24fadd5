// The retrieval screen: shows a logger's state, decides with the user
// whether the logger is stopped, suspended and resumed, or left logging,
// reads its memory through the retrieval engine, decodes it, records the
// deployment that produced it, offers to save it and logs the retrieval.
//
// A model: the desktop view shows its fields and calls its buttons; the
// command line sets `decision` from its flags and runs the same steps:
//
//   RetrievalScreen screen;
//   screen.decision = LoggingDecision::Suspend;
//   if (openRetrievalScreen(s, screen)) {
//     retrieve(s, screen, false);
//     while (continueRetrieval(s, screen)) {}   // one block per call (the tick)
//   }
//   s.retrieval.complete / s.retrieval.end: how the read ended.
//
// The engine's progress texts ("Estimated download time remaining …") go
// to LinkHooks::retrievalMessage; a window points it at `message` below.
// A "--stop" run on a suspended logger sets resumeFoundSuspended = false.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "deploy/logger_state.h"
#include "deploy/setup_screen.h"
#include "platform/ui.h"

namespace kts {

struct Session;
struct LoggerIdentity;
struct LoggerDescription;

// The "Download" question: who asks, and what it offers.
enum class LoggingQuestion {
  SetupContainsData,  // setup: continue adding to the data, or erase them
  MustStop,           // retrieval: the logger must be stopped
  StopOrSuspend,      // retrieval: stop, or suspend and resume afterwards
  StopOrKeepLogging,  // retrieval: stop, or read while it keeps logging
};
// Answers: the two choices, or kQuestionClosed for Cancel.
inline constexpr int kChoice6 = 6;  // "Continue to add", "Suspend and resume", "Keep logging"
inline constexpr int kChoice7 = 7;  // "Erase old readings", "Stop"

Question LoggingDecisionQuestion(LoggingQuestion context);
int askLoggingDecision(Session& s, LoggingQuestion context);

// A decision taken beforehand (a command-line flag). One the logger does
// not allow is not forced on it: the question is asked instead.
enum class LoggingDecision { Ask, Stop, Suspend, KeepLogging };

// What the frame provides. The save step belongs to the file writers; empty
// hooks fall back as noted, so the command line and the tests run without
// a window.
struct RetrievalFlowHooks {
  // Offers to save the retrieved data (file choice, writing, its own
  // messages) and returns the path written, or "" when nothing was saved.
  // Empty: LinkHooks::saveRetrievedData when the frame set that one (it
  // marks the data saved itself), else nothing is saved and the data stay
  // marked unsaved, so the unsaved-data question still protects them.
  std::function<std::string(Session&)> saveData;
  // Hides the plot windows before the decode; shows the new data after it.
  std::function<void(Session&)> hideDataDisplay;
  std::function<void(Session&)> startDisplay;
  // Tide-and-wave loggers: shows the notice until it has been acknowledged;
  // false while it has not (nothing else happens then). Empty: acknowledged.
  std::function<bool(Session&)> tideWaveNoticeAcknowledged;
};

inline constexpr const char* kRetrieveDataButton = "Retrieve Data";

struct RetrievalScreen {
  // Set by the driver before opening.
  LoggingDecision decision = LoggingDecision::Ask;
  // Answer to "resume the suspended logger afterwards?"; empty: ask.
  std::optional<bool> resumeFoundSuspended;
  RetrievalFlowHooks hooks;

  // What the screen shows.
  bool open = false;
  LoggerStateTexts state;
  MessageLine message;
  std::string mainButton = kRetrieveDataButton;
  bool retrieveButtonShown = true;
  bool retrieveAllShown = false;  // shown while the frame's key is held
  std::string memoryUsage;
  std::string startMode;  // QZ and YP-930 loggers
  std::string realTime;   // "" when the logger has no real-time output

  int status = 0;
  int retrievalClass = 1;
  bool resumeAfterRetrieval = false;
  bool retrieveAll = false;
  bool inProgress = false;
  std::string pointerReply;  // the memory-pointer reply the retrieval used

  // After the finish.
  bool finished = false;
  std::string savedPath;
};

// Reads the logger and fills the screen; false (closed) when its state
// cannot be read.
bool openRetrievalScreen(Session& s, RetrievalScreen& screen);
// "Retrieve Data" (all = false) and "Retrieve 100%" (all = true).
void retrieve(Session& s, RetrievalScreen& screen, bool all);
// One continue notification: the next block. True while blocks remain;
// the last one runs finishRetrieval.
bool continueRetrieval(Session& s, RetrievalScreen& screen);
// Cancel: finishes with what has been read during a retrieval, else closes.
void cancelRetrieval(Session& s, RetrievalScreen& screen);
void finishRetrieval(Session& s, RetrievalScreen& screen);

// The full-memory pointer reply of a memory class ("Retrieve 100%").
const char* FullMemoryPointerReply(const LoggerDescription& d);

}  // namespace kts
