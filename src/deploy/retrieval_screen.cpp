#include "deploy/retrieval_screen.h"

#include <cstring>
#include <span>

#include "core/session.h"
#include "core/text.h"
#include "data/decode_image.h"
#include "data/header_settings.h"
#include "data/image_layout.h"
#include "deploy/deployment_log.h"
#include "deploy/setup_texts.h"
#include "link/capabilities.h"
#include "link/commands.h"
#include "link/configuration.h"
#include "link/link_hooks.h"
#include "link/logger_status.h"
#include "link/memory_retrieval.h"
#include "link/protocol.h"
#include "link/range_switching.h"
#include "platform/status_line.h"

namespace kts {
namespace {

constexpr int kRetrieveCommand = 110;  // the main window's "&Retrieve data"

constexpr const char* kStillCollecting = "The logger is still collecting data";
constexpr const char* kMustStopText = "This logger must be stopped to download data.";

bool IsYp930(const LoggerIdentity& id) {
  return Contains(id.model, "YP-930");
}

// "!9", then real-time output off in the logger too: a stopped logger
// must not go on talking on the line.
void StopLogger(Session& s) {
  CommSend(s, 13);
  s.deployment.realTimeOutput = 0;
  ApplyRealTimeBaudCode(s);
  CommSend(s, 19);
}

void CloseScreen(Session& s, RetrievalScreen& screen) {
  screen.open = false;
  screen.inProgress = false;
  s.app.retrievalInProgress = false;
  if (s.app.activeDialogCommand == kRetrieveCommand) s.app.activeDialogCommand = 0;
  s.ui.setBusy(false);
}

// Every way out after "!S" goes through here: a suspended logger is never
// left behind.
void ResumeIfSuspended(Session& s, RetrievalScreen& screen) {
  if (!screen.resumeAfterRetrieval) return;
  screen.resumeAfterRetrieval = false;
  CommSend(s, 23);
}

void LeaveScreen(Session& s, RetrievalScreen& screen) {
  ResumeIfSuspended(s, screen);
  CloseScreen(s, screen);
}

// The save step; returns the path written.
std::string SaveRetrievedData(Session& s, RetrievalScreen& screen) {
  std::string path;
  if (screen.hooks.saveData) {
    path = screen.hooks.saveData(s);
    if (!path.empty()) s.app.retrievedDataSaved = true;
  } else if (s.linkHooks.saveRetrievedData) {
    s.linkHooks.saveRetrievedData(s);
  }
  return path;
}

bool HasUnsavedData(const Session& s) {
  return s.app.retrievedDataPresent && !s.app.retrievedDataSaved;
}

std::string StartModeText(const Session& s) {
  switch (s.deployment.block.startMode) {
    case kStartNow:
      return "Start NOW";
    case kStartAboveThreshold:
      return "Start when ABOVE threshold";
    case kStartBelowThreshold:
      return "Start when BELOW threshold";
    default:
      return "Start at 'Start of logging'";
  }
}

void DecodeDeploymentBlock(Session& s);

// Step 6 of the opening: the deployment settings the data were logged with.
void ReadDeploymentSettings(Session& s, RetrievalScreen& screen) {
  const LoggerIdentity& id = s.link.identity;
  const LoggerDescription& d = s.description;
  DeploymentParameters& p = s.deployment;
  if (!d.averaging) p.averagingEnabled = false;
  if (!IsQzFamily(id) && !IsYp930(id)) {
    CommGet(s, 28);
    if (d.waves) {
      CommGet(s, 31);
      CommGet(s, 32);
    }
    if (d.averaging && d.hasCapabilityTable() && CommGet(s, 17) == 1) {
      const uint32_t length = s.link.averagingLength;
      p.averagingEnabled = length >= 2 && length <= 64800;
      uint32_t divisor = 6;
      if (d.highRate && CommGet(s, 30) == 1 && p.burstRate > 0) divisor = p.burstRate;
      p.averagingPeriod = p.averagingEnabled ? length / divisor : 1;
      if (p.averagingPeriod == 0) {
        p.averagingPeriod = 1;
        p.averagingEnabled = false;
      }
    }
    screen.startMode.clear();
  } else {
    // A failure here falls back to default coefficients; the retrieval
    // reads them again and says so then.
    CommGet(s, 10);
    DecodeDeploymentBlock(s);
    screen.startMode = StartModeText(s);
  }
}

// QZ and YP-930 loggers keep the deployment in their parameter block.
void DecodeDeploymentBlock(Session& s) {
  if (CommGet(s, 20) != 1) return;
  const std::span<const uint8_t> block(s.reply.data(), static_cast<size_t>(s.reply.length));
  DecodeContext context;
  context.identity = s.link.identity;
  context.description = s.description;
  context.coefficients = s.coefficients;
  const ImageLayout layout = ComputeImageLayout(s.link.identity, s.description, s.reply.length);
  DecodeHeaderSettings(block, layout, context, s.deployment);
}

// Older loggers' class follows from the start mode, known only now.
int RetrievalClass(const Session& s) {
  if (s.link.identity.extended) return s.description.stopSuspendCode;
  LoggerDescription d = s.description;
  ApplyModelRules(s.link.identity, s.ports.radioDelayEnabled, s.deployment.block.startMode, d);
  return d.stopSuspendCode;
}

// The question to ask for a logger that is collecting data, by its class.
LoggingQuestion QuestionFor(int retrievalClass, int status) {
  if (retrievalClass == 4) return LoggingQuestion::StopOrKeepLogging;
  if (retrievalClass == 3 && status != kThresholdingEnabled) return LoggingQuestion::StopOrSuspend;
  return LoggingQuestion::MustStop;
}

// A decision taken beforehand, when the question offers it.
int PresetChoice(LoggingDecision decision, LoggingQuestion q) {
  switch (decision) {
    case LoggingDecision::Stop:
      return kChoice7;
    case LoggingDecision::Suspend:
      return q == LoggingQuestion::StopOrSuspend ? kChoice6 : kQuestionClosed;
    case LoggingDecision::KeepLogging:
      return q == LoggingQuestion::StopOrKeepLogging ? kChoice6 : kQuestionClosed;
    case LoggingDecision::Ask:
      break;
  }
  return kQuestionClosed;
}

// Step 6 of retrieve(): false when the screen closed.
bool DecideForRunningLogger(Session& s, RetrievalScreen& screen) {
  if (screen.retrievalClass <= 1) {
    s.ui.message(
        {"Data cannot be retrieved from an KTS HV-3070 version 1.0 logger\nwhen it is "
         "still collecting data.",
         "Download", Icon::Warning, Buttons::Ok, Answer::Ok});
    CloseScreen(s, screen);
    return false;
  }
  const LoggingQuestion q = QuestionFor(screen.retrievalClass, screen.status);
  int choice = PresetChoice(screen.decision, q);
  if (choice == kQuestionClosed) choice = askLoggingDecision(s, q);
  if (choice == kQuestionClosed) {
    if (q == LoggingQuestion::StopOrKeepLogging) ShowStatus(s.ui, "");
    CloseScreen(s, screen);
    return false;
  }
  if (choice == kChoice6 && q == LoggingQuestion::StopOrKeepLogging) return true;
  if (choice == kChoice6 && q == LoggingQuestion::StopOrSuspend) {
    screen.message.show("Suspending logging", MessageIndicator::Info);
    CommSend(s, 22);
    screen.resumeAfterRetrieval = true;
    return true;
  }
  if (q != LoggingQuestion::StopOrKeepLogging)
    screen.message.show("Stopping logger", MessageIndicator::Info);
  StopLogger(s);
  screen.resumeAfterRetrieval = false;
  return true;
}

void RecordRetrievedDeployment(Session& s, const RetrievalScreen& screen) {
  const DeploymentParameters& p = s.deployment;
  RetrievedDeployment& r = s.retrieved;
  r.hostTime = p.hostTime;
  r.loggerTime = p.loggerTime;
  r.startTime = p.startTime;
  r.endTime = p.endTime;
  r.samplingPeriod = p.samplingPeriod;
  r.block = p.block;
  r.averagingEnabled = p.averagingEnabled;
  r.averagingPeriod = p.averagingPeriod;
  r.realTimeOutput = p.realTimeOutput;
  r.realTimeBaudCode = p.realTimeBaudCode;
  r.loggerStatus = screen.status;
  r.burstEnabled = p.burstEnabled;
  r.burstRate = p.burstRate;
  r.burstLength = p.burstLength;
  r.burstPeriod = p.burstPeriod;
  r.loggerHeight = p.loggerHeight;
}

void KeepPointerReply(char (&to)[16], const std::string& reply) {
  const size_t n = std::min(reply.size(), sizeof to - 1);
  std::memcpy(to, reply.data(), n);
  to[n] = '\0';
}

}  // namespace

Question LoggingDecisionQuestion(LoggingQuestion context) {
  Question q;
  q.caption = "Download";
  q.heading = kStillCollecting;
  q.defaultId = kQuestionClosed;  // a run that cannot ask leaves the logger alone
  switch (context) {
    case LoggingQuestion::SetupContainsData:
      q.caption = "Setup";
      q.heading = "The logger contains data";
      q.text =
          "You may continue to add data to the logger using all the previous settings or\nerase "
          "the memory.";
      q.buttons = {{kChoice6, "Continue to add"}, {kChoice7, "Erase old readings"}};
      break;
    case LoggingQuestion::MustStop:
      q.text = kMustStopText;
      q.buttons = {{kChoice7, "Stop"}};
      break;
    case LoggingQuestion::StopOrSuspend:
      q.text =
          "This logger may be stopped completely or\nsuspended during data download and resumed "
          "after.";
      q.buttons = {{kChoice6, "Suspend and resume"}, {kChoice7, "Stop"}};
      break;
    case LoggingQuestion::StopOrKeepLogging:
      q.text =
          "Do you wish to stop the logger?\nIf you choose to continue without stopping the "
          "logger, data download may be slow.";
      q.buttons = {{kChoice6, "Keep logging"}, {kChoice7, "Stop"}};
      break;
  }
  return q;
}

int askLoggingDecision(Session& s, LoggingQuestion context) {
  const Question q = LoggingDecisionQuestion(context);
  const int answer = s.ui.ask(q);
  for (const QuestionButton& b : q.buttons)
    if (b.id == answer) return answer;
  return kQuestionClosed;
}

const char* FullMemoryPointerReply(const LoggerDescription& d) {
  switch (d.memoryClass()) {
    case MemoryClass::ExtraLarge:
      return "00E07F00CDP";
    case MemoryClass::Large:
      return "FEF73F00CDP";
    case MemoryClass::Standard:
      break;
  }
  return "FEF71F00CDP";
}

bool openRetrievalScreen(Session& s, RetrievalScreen& screen) {
  screen.open = true;
  screen.finished = false;
  screen.inProgress = false;
  screen.retrieveAll = false;
  screen.resumeAfterRetrieval = false;
  screen.retrieveAllShown = false;
  screen.retrieveButtonShown = true;
  screen.mainButton = kRetrieveDataButton;
  screen.message.clear();
  screen.savedPath.clear();
  s.app.activeDialogCommand = kRetrieveCommand;

  screen.status = readLoggerState(s, screen.state, screen.message);
  if (screen.status < 0) {
    CloseScreen(s, screen);
    return false;
  }
  if (IsActiveOldQz760(s, screen.status)) {
    screen.mainButton = kStopLoggerButton;
    screen.message.show(
        "QZ-760 Logger active - update of this window suspended, you may stop "
        "the logger",
        MessageIndicator::Info);
    return true;
  }
  ForceCapabilityReread(s);
  ReadCapabilities(s);
  CommGet(s, 16);
  screen.retrievalClass = s.description.stopSuspendCode;

  if (s.description.configFlags & kConfigRangeSwitching) ReadRangeSwitching(s);
  if (CommGet(s, 6) != 1) {
    ShowStatus(s.ui, "Error: Memory pointer read incorrectly");
    CloseScreen(s, screen);
    return false;
  }
  const uint32_t pointer = s.link.memoryPointer;
  screen.memoryUsage = MemoryUsageText(s, pointer);
  if (MemoryReadings(s, pointer) > 0) screen.mainButton = kRetrieveDataButton;
  if (MemoryIsEmpty(s, pointer)) {
    if (IsIdleStatus(screen.status)) {
      screen.message.show("No data in memory.", MessageIndicator::Info);
    } else {
      screen.mainButton = kStopLoggerButton;
      screen.message.show("No data in memory - You may stop the logger.", MessageIndicator::Info);
    }
  }

  ReadDeploymentSettings(s, screen);
  screen.retrievalClass = RetrievalClass(s);

  if (!s.description.externalDataConnector) {
    s.deployment.realTimeOutput = 0;
    screen.realTime.clear();
  } else if (s.deployment.realTimeOutput == 0) {
    screen.realTime = "Not Enabled";
  } else {
    screen.realTime = (s.deployment.block.oemFlags & 1) ? "Enabled - NO data storage" : "Enabled";
  }
  ApplyRealTimeBaudCode(s);
  if (s.deployment.block.oemFlags & 1)
    screen.message.show("Data inhibit was set at last deployment - No new data to download",
                        MessageIndicator::Info);
  return true;
}

void retrieve(Session& s, RetrievalScreen& screen, bool all) {
  if (!screen.open || screen.inProgress) return;
  if (Contains(s.link.identity.model, "HKV") && screen.hooks.tideWaveNoticeAcknowledged &&
      !screen.hooks.tideWaveNoticeAcknowledged(s))
    return;
  if (screen.mainButton == kStopLoggerButton) {
    StopLogger(s);
    CloseScreen(s, screen);
    s.app.postedCommand = kRetrieveCommand;  // open again on the stopped logger
    return;
  }
  screen.retrieveAll = all;

  if (HasUnsavedData(s)) {
    const Answer a = s.ui.message(
        {"The previously retrieved data has not been saved.\nDo you wish to return to save the "
         "data now?",
         "Retrieve Data", Icon::Question, Buttons::YesNo, Answer::Yes});
    if (a == Answer::Yes) {
      SaveRetrievedData(s, screen);
      if (HasUnsavedData(s)) return;  // not saved: nothing replaces the data
    } else {
      s.app.retrievedDataSaved = false;
      s.app.retrievedDataPresent = false;
    }
  }

  s.ui.setBusy(true);
  screen.retrieveButtonShown = false;
  screen.retrieveAllShown = false;

  if ((screen.status == kLoggingComplete || screen.status == kStoppedByUser) &&
      (s.deployment.block.powerFlag & kPowerFlag) && screen.retrievalClass > 1)
    StopLogger(s);  // a logger kept powered is powered down

  if (IsRunningStatus(screen.status)) {
    if (!DecideForRunningLogger(s, screen)) return;
  } else if (screen.status == kLoggingSuspended) {
    bool resume = true;
    if (screen.resumeFoundSuspended) {
      resume = *screen.resumeFoundSuspended;
    } else {
      resume =
          s.ui.message({"The logger is suspended.\nDo you wish to resume logging after the "
                        "data have been retrieved?",
                        "Download", Icon::Question, Buttons::YesNo, Answer::Yes}) == Answer::Yes;
    }
    screen.resumeAfterRetrieval = resume;
  }

  const int status = readLoggerState(s, screen.state, screen.message);
  if (status < 0) {
    LeaveScreen(s, screen);
    return;
  }
  if (all) {
    screen.pointerReply = FullMemoryPointerReply(s.description);
    uint8_t b[4] = {};
    ScanHexBytesBefore(screen.pointerReply, screen.pointerReply.find("CDP"), 4, b);
    s.link.memoryPointer =
        uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
    KeepPointerReply(s.link.memoryPointerReply, screen.pointerReply);
  } else {
    if (CommGet(s, 6) != 1) {
      ShowStatus(s.ui, "Error: Memory pointer read incorrectly");
      LeaveScreen(s, screen);
      return;
    }
    screen.pointerReply = s.link.memoryPointerReply;
  }
  screen.memoryUsage = MemoryUsageText(s, s.link.memoryPointer);

  if (CommGet(s, 10) != 1)
    s.ui.message(
        {"This logger is not calibrated or the read of the calibration coefficients "
         "failed.\nDefault values of the calibration coefficients will be used.",
         "Calibration Coefficient Read", Icon::Warning, Buttons::Ok, Answer::Ok});

  screen.message.show(screen.message.text, MessageIndicator::Info);
  StartRetrieval(s);
  if (s.retrieval.running) {
    screen.inProgress = true;
    s.app.retrievalInProgress = true;
  } else {
    finishRetrieval(s, screen);
  }
}

bool continueRetrieval(Session& s, RetrievalScreen& screen) {
  if (!screen.inProgress) return false;
  if (RetrievalTick(s)) return true;
  finishRetrieval(s, screen);
  return false;
}

void cancelRetrieval(Session& s, RetrievalScreen& screen) {
  if (screen.inProgress) {
    CancelRetrievalEngine(s);
    finishRetrieval(s, screen);
    return;
  }
  ShowStatus(s.ui, "");
  LeaveScreen(s, screen);
}

void finishRetrieval(Session& s, RetrievalScreen& screen) {
  FinishRetrieval(s);
  screen.inProgress = false;
  s.app.retrievalInProgress = false;
  RetrievalState& r = s.retrieval;
  const uint32_t pointer = s.link.memoryPointer;
  r.retrievedPointer = pointer;
  r.retrievedWords = s.image.length / 3;

  // The channel count the data were logged with: read again, not assumed.
  // A read that fails (a line that dropped a reply just after the speed
  // change back) keeps the layout read when the screen opened: decoding
  // with the one-channel default would scramble every sample.
  if (s.link.connected && (IsQzFamily(s.link.identity) || s.description.hasCapabilityTable())) {
    const LoggerDescription opened = s.description;
    bool read = false;
    for (int attempt = 0; attempt < 2 && !read; ++attempt) {
      s.link.reread.configuration = true;
      read = CommGet(s, 16) == 1;
    }
    if (!read) {
      s.description = opened;
      s.link.reread.configuration = true;  // read again at the next connection
    }
  }
  if (screen.hooks.hideDataDisplay) screen.hooks.hideDataDisplay(s);
  DecodeImage(s, false);

  ResumeIfSuspended(s, screen);
  CloseScreen(s, screen);
  EnableMenus(s, MenuGroup::SaveItems, true);

  const uint32_t wanted = r.memoryEnd > r.firstAddress ? r.memoryEnd - r.firstAddress : 0;
  if (!r.complete && pointer != 0)
    s.ui.message({Format("Retrieval incomplete: %d of %d bytes read.", s.image.length,
                         static_cast<int>(wanted)),
                  "Retrieve Data", Icon::Warning, Buttons::Ok, Answer::Ok});

  if (pointer == 0) {
    s.ui.message(
        {"There are no data to display.", "Display", Icon::Warning, Buttons::Ok, Answer::Ok});
    s.app.retrievedDataPresent = false;
  } else if (r.retrievedWords == 0) {
    s.app.retrievedDataPresent = false;
  } else {
    s.app.retrievedDataPresent = true;
    s.app.retrievedDataSaved = false;
    s.app.newImageSinceSave = true;
    RecordRetrievedDeployment(s, screen);
  }
  // Only a complete read counts as downloaded for the setup's warning.
  if (r.complete) KeepPointerReply(r.memoryPointerAtLastRetrieval, screen.pointerReply);

  if (s.app.retrievedDataPresent) {
    if (screen.hooks.startDisplay) screen.hooks.startDisplay(s);
    if (s.data.sampleCount == 0)
      s.ui.message(
          {"There are no data to display.\nAll the reported readings were imbedded "
           "timestamps.",
           "Display", Icon::Warning, Buttons::Ok, Answer::Ok});
    screen.savedPath = SaveRetrievedData(s, screen);
  }
  screen.finished = true;

  RetrievalLogDetails details;
  details.hostTime = s.deployment.hostTime;
  details.loggerTime = s.deployment.loggerTime;
  details.status = screen.status;
  details.savedPath = screen.savedPath;
  writeDeploymentLog(s, kOutcomeRetrieved, &details);
}

}  // namespace kts
