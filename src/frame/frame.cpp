#include "frame/frame.h"

#include <sys/stat.h>

#include <algorithm>
#include <optional>

#include "core/session.h"
#include "core/text.h"
#include "core/time_format.h"
#include "data/data_files.h"
#include "data/directories.h"
#include "data/matlab_file.h"
#include "data/overwrite_check.h"
#include "data/realtime_limits.h"
#include "data/recent_files.h"
#include "data/settings_file.h"
#include "deploy/setup_sequence.h"
#include "frame/command_ids.h"
#include "frame/main_layout.h"
#include "frame/messages.h"
#include "frame/pending_operations.h"
#include "frame/plot_model.h"
#include "link/capabilities.h"
#include "link/commands.h"
#include "link/connection.h"
#include "link/logger_status.h"
#include "link/protocol.h"
#include "link/serial_link.h"
#include "platform/status_line.h"

namespace kts {
namespace {

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Posted commands that post again cannot run for ever.
constexpr int kMaxPostedCommands = 8;

}  // namespace

const char* DialogName(DialogId id) {
  switch (id) {
    case DialogId::About: return "About";
    case DialogId::Download: return "DownloadProc";
    case DialogId::HkvDownload: return "HKVDownloadProc";
    case DialogId::Fetch: return "FetchProc";
    case DialogId::GenericFetch: return "GenericFetchProc";
    case DialogId::Setup: return "SetupProc";
    case DialogId::HkvSetup: return "HKVSetupProc";
    case DialogId::SetupSimulation: return "SetupSimulation";
    case DialogId::Calibration: return "CalibProc";
    case DialogId::CalibrationHistory: return "CALIBHIST";
    case DialogId::WriteFormat: return "WriteFormatProc";
    case DialogId::DerivedUnits: return "DerivedUnitsProc";
    case DialogId::GpsTest: return "GPSTestDialog";
    case DialogId::DefaultBaudrate: return "DefaultBaudrate";
    case DialogId::Latency: return "Latency";
    case DialogId::ComSettings: return "SettingsProc";
    case DialogId::Limits: return "LimitsProc";
    case DialogId::LanguageSupport: return "LanguageSupport";
    case DialogId::MatlabFormat: return "MATLABFormat";
    case DialogId::EngineeringUnits: return "EngineeringUnitsProc";
  }
  return "";
}

std::string TitlePrefix(int copyIndex, std::string_view title) {
  if (copyIndex <= 0) return std::string(title);
  return Format("Copy %-2d: ", copyIndex + 1) + std::string(title.substr(0, 85));
}

std::string CommandLineFileName(std::string_view commandLine) {
  std::string_view name = commandLine;
  while (!name.empty() && (name.front() == ' ' || name.front() == '\t')) name.remove_prefix(1);
  while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
  if (!name.empty() && name.front() == '"') name.remove_prefix(1);
  if (!name.empty() && name.back() == '"') name.remove_suffix(1);
  return std::string(name);
}

Frame::Frame(Session& s, FrameWindow& window) : s_(s), w_(window) {
  LinkHooks& h = s_.linkHooks;
  // The port is opened afresh: the rate may have changed under it.
  h.reconnect = [this](Session& s) {
    CloseCommPort(s, PortRole::Logger);
    s.link.connected = false;
    runCommand(kCmdConnect);
  };
  h.redrawRetrievedData = [this](Session&) { w_.redrawPlot(); };
  h.saveRetrievedData = [this](Session&) { saveData(); };
  h.hideDataDisplay = [this](Session&) { w_.redrawPlot(); };
  h.enableMenus = [this](Session&, MenuGroup group, bool enabled) {
    if (group == MenuGroup::LoggerCommands) {
      setMenuBusy(enabled ? kMenuFree : kMenuBusy);
    } else {
      for (int id : {kCmdSaveFile, kCmdWriteFormat, kCmdSaveSegment}) w_.enableCommand(id, enabled);
    }
  };
  h.startTimer = [this](Session&, int intervalMs, bool restart) { startTimer(intervalMs, restart); };
  h.showModemSleepItem = [this](Session&, bool present) { w_.showModemSleepItem(present); };
  h.saveSettings = [](Session& s) { return WriteSettings(s) == 1; };
  // The setup screen's erase wait goes on one step per tick.
  steps_.enableCountdown = [](Session& s) {
    if (s.setup.eraseWait) SetupEraseTick(s);
  };
}

// The session may outlive the frame: its hooks must not call back into it.
Frame::~Frame() { s_.linkHooks = LinkHooks{}; }

std::string Frame::messageText(int entry) const {
  return MessageText(s_.app.languageIndex, entry);
}

// ---------------------------------------------------------------------------
// Status bar, boxes, menu and timer.

void Frame::errorBox(int entry, std::string_view argument) {
  std::string text = messageText(entry);
  if (!argument.empty()) {
    const std::string arg(argument);
    text = Format(text.c_str(), arg.c_str());
  }
  s_.ui.message({text, messageText(kMsgError), Icon::Warning, Buttons::Ok, Answer::Ok});
}

void Frame::setMenuGroup(bool enabled, bool configuration) {
  w_.enableCommand(kCmdSetup, enabled);
  w_.enableCommand(kCmdRetrieveData, enabled);
  w_.enablePopup(MenuPopup::File, enabled);
  w_.enablePopup(MenuPopup::LoggerFunctions, enabled);
  w_.enableCommand(kCmdComSettings, enabled);
  w_.enablePopup(MenuPopup::Calibration, enabled);
  w_.enableCommand(kCmdMicroSalinometer, enabled);
  if (configuration) w_.enablePopup(MenuPopup::Configuration, enabled);
}

void Frame::setMenuBusy(int mode) {
  switch (mode) {
    case 0: setMenuGroup(false, false); break;
    case 1: setMenuGroup(true, false); break;
    case 2:
    case 4: setMenuGroup(false, true); break;
    case 3:
    case 5: setMenuGroup(true, true); break;
    default: break;
  }
}

bool Frame::startTimer(int intervalMs, bool restart) {
  if (restart && timerRunning_) {
    w_.stopTimer();
    timerRunning_ = false;
  }
  if (!w_.startTimer(intervalMs)) {
    errorBox(kMsgTimer);
    return false;
  }
  timerRunning_ = true;
  timerIntervalMs_ = intervalMs;
  return true;
}

void Frame::updateClock() {
  const TimeRecord now = s_.clock.localNow();
  if (now.second == lastClockSecond_) return;
  lastClockSecond_ = now.second;
  s_.ui.setClock(FormatDisplayDateTime(now));
}

void Frame::showUnitsIcon() {
  s_.ui.setUnitsIcon((s_.deployment.block.oemFlags & 4u) != 0);
}

void Frame::buildRecentMenu() {
  const std::string list = InBaseDirectory(s_.settings, "ktspath.fil");
  const std::string older = InBaseDirectory(s_.settings, "kts.fil");
  if (!FileExists(list) && !FileExists(older)) return;  // the menu stays as it is
  const int n = ReadRecentFiles(s_);
  std::vector<std::string> items;
  for (int i = 0; i < n && i < kRecentFiles; ++i)
    items.push_back(Format("%2d - %s", i + 1, s_.settings.recent[static_cast<size_t>(i)].c_str()));
  w_.setRecentFiles(items);
  recentMenuBuilt_ = true;
}

void Frame::addRecent(const std::string& path) {
  AddRecent(s_, path);
  showRecentMenu();
}

void Frame::showRecentMenu() {
  std::vector<std::string> items;
  for (int i = 0; i < kRecentFiles; ++i) {
    const std::string& entry = s_.settings.recent[static_cast<size_t>(i)];
    if (entry.empty()) break;
    items.push_back(Format("%2d - %s", i + 1, entry.c_str()));
  }
  w_.setRecentFiles(items);
  recentMenuBuilt_ = true;
}

// ---------------------------------------------------------------------------
// Start-up.

bool Frame::startUp(const StartOptions& options) {
  const MainLayout layout = ComputeMainLayout(options.screenWidth);
  s_.plot.plotWidth = layout.plotWidth;

  s_.settings.baseDirectory = options.baseDirectory.empty() ? "." : options.baseDirectory;
  s_.settings.copyIndex = 0;
  ReadSettings(s_);
  ReadLimits(s_);

  w_.setTitle(messageText(kMsgWindowTitle));
  w_.place(layout.left, kMainWindowTop, layout.width, kMainWindowHeight);

  runCommand(kCmdShowRangeChanges, 1);
  s_.description.rangeSwitching = LoggerDescription::DefaultRangeTable();
  s_.description.extendedChannelCaps = LoggerDescription::DefaultRangeTable();

  copies_ = std::make_unique<CopyRegistry>(options.registryDirectory);
  if (!multipleCopyCheck(layout)) {
    exitFlow();
    return false;
  }

  ScanCommPorts(s_);
  ReadSettings(s_);  // now this copy's own file
  runCommand(kCmdAllowMultipleCopies, 1);

  ShowStatus(s_.ui, messageText(kMsgReady));
  ShowLinkState(s_, false);
  showUnitsIcon();

  buildRecentMenu();
  startTimer(1000, false);
  s_.loggerPort.reset();
  s_.gpsPort.reset();
  if (!SetUpDataDirectories(s_)) {
    exitFlow();
    return false;
  }

  const std::string file = CommandLineFileName(options.commandLine);
  if (!file.empty()) {
    int ok = 0;
    if (Contains(file, ".dat")) {
      ok = ReadDataFile(s_, file);
    } else if (Contains(file, ".hex")) {
      ok = ReadHexFile(s_, file);
    } else {
      ShowStatus(s_.ui, Format(messageText(kMsgUnableToOpenFile).c_str(), file.c_str()));
    }
    if (ok) {
      addRecent(file);
      w_.showData();
    } else {
      showRecentMenu();  // a missing file left the list
    }
  }
  return true;
}

bool Frame::multipleCopyCheck(const MainLayout& layout) {
  const uint8_t mask = copies_->runningMask();
  if (mask == 0xFF) {
    s_.ui.message({"8 copies of KTS Windows Software are now running.\nThis is the limit "
                   "allowed.\n\nThis attempt to run another copy will terminate.",
                   "Multiple copies", Icon::Warning, Buttons::Ok, Answer::Ok});
    return false;
  }
  const int index = FirstFreeSlot(mask);
  if (index > 0) {
    // Only the first line counts, and only its first 40 characters.
    std::string line;
    if (std::FILE* f = std::fopen(InBaseDirectory(s_.settings, "kts_copies.ini").c_str(), "r")) {
      char buffer[41] = {};
      if (std::fgets(buffer, sizeof buffer, f)) line = buffer;
      std::fclose(f);
    }
    if (!Contains(line, "Allow multiple copies")) return false;
    const Answer a = s_.ui.message(
        {Format("You are trying to open copy number %d of the KTS Windows Software.\nDo you "
                "want to continue?",
                index + 1),
         "KTS Windows Software - Multiple copy", Icon::Warning, Buttons::YesNo, Answer::No});
    if (a != Answer::Yes) return false;
  }
  // Another copy starting at the same moment may have taken the slot.
  int slot = index;
  while (slot < kMaxCopies && !copies_->claim(slot)) ++slot;
  s_.settings.copyIndex = slot < kMaxCopies ? slot : index;
  if (s_.settings.copyIndex > 0) {
    w_.setTitle(TitlePrefix(s_.settings.copyIndex, w_.title()));
    w_.place(layout.left + 20 * s_.settings.copyIndex, kMainWindowTop + 30 * s_.settings.copyIndex,
             layout.width, kMainWindowHeight);
  }
  return true;
}

// ---------------------------------------------------------------------------
// Commands.

bool Frame::askToSave(std::string_view caption) {
  if (!s_.app.retrievedDataPresent || s_.app.retrievedDataSaved) return true;
  const Answer a = s_.ui.message({messageText(kMsgUnsavedData), std::string(caption), Icon::Warning,
                                  Buttons::YesNo, Answer::Yes});
  if (a == Answer::No) {
    s_.app.retrievedDataPresent = false;
    s_.app.retrievedDataSaved = false;
    return true;
  }
  if (a == Answer::Yes) {
    if (s_.app.sampleCount > 0) w_.showData();
    saveData();
  }
  return false;
}

int Frame::saveData() {
  const int ok = SaveData(s_);
  if (ok) showRecentMenu();
  return ok;
}

void Frame::saveSegment() {
  if (s_.app.sampleCount <= 0) {
    ShowStatus(s_.ui, "No data in memory to save");
    return;
  }
  const int first = std::max(0, s_.plot.scrollOffset);
  const int last = std::min(s_.app.sampleCount - 1, first + SamplesOnScreen(s_.plot) - 1);
  if (SaveRange(s_, first, last)) showRecentMenu();
}

bool Frame::connect() {
  runCommand(kCmdConnect);
  return s_.link.connected;
}

void Frame::connectCommand() {
  ShowStatus(s_.ui, Format(messageText(kMsgAttemptingToConnect).c_str(), s_.ports.loggerPort));
  if (CommGet(s_, 0)) {
    const LoggerIdentity& id = s_.link.identity;
    const long baud = s_.loggerPort ? s_.loggerPort->baud() : s_.ports.currentBaud;
    ShowStatus(s_.ui, Format(messageText(kMsgConnected).c_str(), id.model.c_str(),
                             static_cast<double>(id.firmware), id.serial, s_.ports.loggerPort, baud));
  }
}

// A status that could not be read is not taken for an idle logger.
bool Frame::refuseUnlessIdle(bool allowedWhileLogging, int entry, int captionEntry) {
  if (IsIdleStatus(s_.link.status) || allowedWhileLogging) return false;
  s_.ui.message({messageText(entry), messageText(captionEntry), Icon::Warning, Buttons::Ok,
                 Answer::Ok});
  return true;
}

bool Frame::readForLoggerDialog() {
  if (CommGet(s_, 16) != 1) return false;
  CommGet(s_, 10);
  if (s_.description.startCharacteristicCommands) CommGet(s_, 28);
  return true;
}

void Frame::fetchLiveReadings() {
  if (s_.app.realTimeDisplayActive) {
    s_.app.realTimeDisplayActive = false;
  } else {
    if (!connect()) return;
    if (!CommGet(s_, 9)) {
      ShowStatus(s_.ui, "Unable to read the logger status");
      return;
    }
    ReadCapabilities(s_);
    if (refuseUnlessIdle(s_.description.option6, kMsgFetchWhileLogging, kMsgFetch)) return;
    if (!readForLoggerDialog()) return;
  }
  const bool generic = (s_.description.rsAdvanced & kRsSerialCard) != 0;
  if (w_.openDialog(generic ? DialogId::GenericFetch : DialogId::Fetch) >= 0)
    s_.app.activeDialogCommand = kCmdFetchLiveReadings;
}

void Frame::retrieveData() {
  if (!connect()) return;
  if (Contains(s_.link.identity.model, "QZ-760"))
    s_.description.waves = false;
  else
    ReadCapabilities(s_);
  const DialogId d = s_.description.waves ? DialogId::HkvDownload : DialogId::Download;
  if (w_.openDialog(d) >= 0) s_.app.activeDialogCommand = kCmdRetrieveData;
}

void Frame::setup() {
  // "No logger is connected" must be true before the simulation is offered.
  if (!s_.link.connected) connect();
  if (!s_.link.connected) {
    setupSimulation();
    return;
  }
  if (Contains(s_.link.identity.model, "QZ-760") && !FirmwareAbove(s_.link.identity, 4.99))
    s_.description.waves = false;
  else
    ReadCapabilities(s_);
  const int r = w_.openDialog(s_.description.waves ? DialogId::HkvSetup : DialogId::Setup);
  if (r >= 0 && s_.setup.realTimeChosen) StartRealTimeCollection(s_);
  if (r >= 0 && s_.setup.fetchLiveReadings) s_.app.postedCommand = kCmdFetchLiveReadings;
  if (s_.app.gpsPortOpen) {
    CloseCommPort(s_, PortRole::Gps);
    s_.app.gpsPortOpen = false;
  }
}

// The simulation dialog applies the chosen model (1) or is cancelled (0);
// the setup screen then opens on the simulated logger.
void Frame::setupSimulation() {
  if (w_.openDialog(DialogId::SetupSimulation) != 1) return;
  w_.openDialog(s_.description.waves ? DialogId::HkvSetup : DialogId::Setup);
}

void Frame::calibration(bool history) {
  setMenuBusy(kMenuBusyWithConfiguration);
  const int caption = history ? kMsgCalibrationHistory : kMsgCalibration;
  bool ok = connect() && CommGet(s_, 0);
  if (ok && !CommGet(s_, 9)) {
    ShowStatus(s_.ui, "Unable to read the logger status");
    ok = false;
  }
  if (ok) {
    ReadCapabilities(s_);
    ok = !refuseUnlessIdle(s_.description.option4, kMsgCalibrationWhileLogging, caption) &&
         readForLoggerDialog();
  }
  if (ok) {
    if (history) {
      w_.showWaitCursor(true);
      w_.openDialog(DialogId::CalibrationHistory);
      w_.showWaitCursor(false);
    } else {
      const int r = w_.openDialog(DialogId::Calibration);
      if (r != 0 && r != kDialogUnavailable && CommSend(s_, 11)) {
        s_.link.reread.coefficients = true;
        CommGet(s_, 10);
      }
    }
  }
  setMenuBusy(kMenuFreeWithConfiguration);
}

void Frame::loggerSetting(int busyEntry, int captionEntry, DialogId dialog) {
  if (!connect()) return;
  if (!CommGet(s_, 9)) {
    ShowStatus(s_.ui, "Unable to read the logger status");
    return;
  }
  if (refuseUnlessIdle(false, busyEntry, captionEntry)) return;
  w_.openDialog(dialog);
}

void Frame::engineeringUnits() {
  if (!CommGet(s_, 0)) return;
  if (!CommGet(s_, 9)) {
    ShowStatus(s_.ui, "Unable to read the logger status");
    return;
  }
  if (!IsIdleStatus(s_.link.status)) {
    s_.ui.message({"This logger is active.\n\nThe communiation format cannot be switched "
                   "between\nEngineering units and Binary format at this time",
                   "Communication format", Icon::Warning, Buttons::Ok, Answer::Ok});
    return;
  }
  ReadCapabilities(s_);
  CommGet(s_, 28);
  w_.openDialog(DialogId::EngineeringUnits);
  showUnitsIcon();
}

void Frame::gpsTest() {
  if (!OpenGpsPort(s_)) {
    s_.ui.message({messageText(kMsgGpsUnable), messageText(kMsgGpsTest), Icon::Warning,
                   Buttons::Ok, Answer::Ok});
    return;
  }
  s_.app.gpsPortOpen = true;
  s_.app.activeDialogCommand = kCmdGpsTest;
  w_.openDialog(DialogId::GpsTest);
  s_.app.activeDialogCommand = 0;
  CloseCommPort(s_, PortRole::Gps);
  s_.app.gpsPortOpen = false;
}

void Frame::saveMatlab() {
  const AppState& a = s_.app;
  if (!a.retrievedDataPresent && !a.hexDataLoaded && !a.datDataLoaded && s_.data.sampleCount <= 0) {
    ShowStatus(s_.ui, "No data in memory to save");
    return;
  }
  if (!MatlabSaveAllowed(s_)) return;
  w_.openDialog(DialogId::MatlabFormat);  // the time format comes first
  const auto chosen = s_.ui.chooseFile(MatlabSaveRequest(s_));
  if (!chosen || chosen->empty()) return;
  if (FileExists(*chosen)) {
    const Answer a = s_.ui.message({Format(messageText(kMsgAlreadyExists).c_str(), chosen->c_str()),
                                    "Write File", Icon::Warning, Buttons::YesNo, Answer::No});
    if (a != Answer::Yes) return;
  }
  WriteMatFile(s_, *chosen);
}

void Frame::readMatlab() {
  if (!askToSave(messageText(kMsgFileRead))) return;
  const auto chosen = s_.ui.chooseFile(MatlabOpenRequest(s_, s_.settings.recent[0]));
  if (!chosen || chosen->empty()) return;
  if (ReadMatFile(s_, *chosen)) w_.showData();
}

void Frame::readDataFile(bool hex) {
  if (!askToSave(messageText(kMsgFileRead))) return;
  const std::optional<std::string> path = hex ? ChooseHexFile(s_) : ChooseDataFile(s_);
  if (!path) return;
  if (hex ? ReadHexFile(s_, *path) : ReadDataFile(s_, *path)) {
    addRecent(*path);
    w_.showData();
  } else {
    showRecentMenu();
  }
}

void Frame::readRecent(int id) {
  const size_t i = static_cast<size_t>(id - kCmdRecentFirst);
  if (i >= s_.settings.recent.size() || s_.settings.recent[i].empty()) return;
  if (!askToSave(messageText(kMsgFileRead))) return;
  const std::string path = s_.settings.recent[i];
  const int ok = Contains(path, ".hex") ? ReadHexFile(s_, path) : ReadDataFile(s_, path);
  if (ok) {
    addRecent(path);
    w_.showData();
  } else {
    showRecentMenu();  // a file that is gone left the list
  }
}

void Frame::toggleRangeChanges(int argument) {
  if (argument != 1) s_.settings.showRangeChanges = !s_.settings.showRangeChanges;
  w_.checkCommand(kCmdShowRangeChanges, s_.settings.showRangeChanges);
  if (argument != 1) WriteSettings(s_);
  w_.redrawPlot();
}

void Frame::toggleMultipleCopies(int argument) {
  if (Contains(w_.title(), "Copy")) {
    w_.enableCommand(kCmdAllowMultipleCopies, false);
    return;
  }
  if (argument != 1) s_.settings.allowMultipleCopies = !s_.settings.allowMultipleCopies;
  w_.checkCommand(kCmdAllowMultipleCopies, s_.settings.allowMultipleCopies);
  if (argument != 1) WriteSettings(s_);
}

void Frame::modemSleep() {
  if (!QueryTagged(s_, "A", "KTS")) {
    ShowStatus(s_.ui, "Unable to Communicate with Logger");
    return;
  }
  const uint32_t output = s_.deployment.realTimeOutput;
  s_.deployment.realTimeOutput = 13;
  CommSend(s_, 19);
  s_.deployment.realTimeOutput = output;
  const int channel = s_.app.liveReadingsChannel;
  s_.app.liveReadingsChannel = 1;
  CommGet(s_, 7);
  s_.app.liveReadingsChannel = channel;
  CloseCommPort(s_, PortRole::Logger);
  ShowStatus(s_.ui, "Logger Disconnected");
  s_.link.connected = false;
  ForceCapabilityReread(s_);
  w_.enableCommand(kCmdModemSleep, false);
  ShowLinkState(s_, false);
}

void Frame::endRealTimeDisplay() {
  startTimer(1000, true);
  ShowStatus(s_.ui, "End of Real-time Display");
  s_.app.realTimeDisplayActive = false;
  if (s_.app.activeDialogCommand == 1043) s_.app.activeDialogCommand = 0;
  if ((s_.deployment.block.oemFlags & 1u) == 0 && s_.description.modemControl == 0) {
    Question q;
    q.caption = "End Real-time Display";
    q.text =
        "Logger is transmitting information on the external data line.\nDo you want to allow "
        "this data transmission to continue?";
    q.buttons = {{1, "Allow transmission to continue"}, {2, "Stop transmission"}};
    q.defaultId = 1;
    q.icon = Icon::Question;
    if (s_.ui.ask(q) == 2) {
      if (s_.link.connected || connect()) CommSend(s_, 19);
    }
  }
  setMenuBusy(kMenuFree);
  if (!s_.description.asciiOutput()) FinishRealTimeFile(s_);
}

void Frame::runPostedCommands() {
  for (int n = 0; n < kMaxPostedCommands && s_.app.postedCommand != 0; ++n) {
    const int id = s_.app.postedCommand;
    s_.app.postedCommand = 0;
    runCommand(id);
  }
  s_.app.postedCommand = 0;
}

void Frame::runCommand(int id, int argument) {
  if (exited_) return;
  ++depth_;
  switch (id) {
    case kCmdAbout: w_.openDialog(DialogId::About); break;
    case kCmdRetrieveData: retrieveData(); break;
    case kCmdFetchLiveReadings: fetchLiveReadings(); break;
    case kCmdExit:
      exitFlow();
      break;
    case kCmdReadDat: readDataFile(false); break;
    case kCmdScreenCapture: ScreenCapture(s_); break;
    case kCmdSetup: setup(); break;
    case kCmdSaveFile: saveData(); break;
    case kCmdSaveSegment: saveSegment(); break;
    case kCmdCalibrationCoefficients: calibration(false); break;
    case kCmdCalibrationHistory: calibration(true); break;
    case kCmdWriteFormat: w_.openDialog(DialogId::WriteFormat); break;
    case kCmdReadHex: readDataFile(true); break;
    case kCmdDerivedUnits:
      if (argument == 0 && w_.openDialog(DialogId::DerivedUnits) == 1) {
        WriteSettings(s_);
        w_.redrawPlot();
      }
      break;
    case kCmdGpsTest: gpsTest(); break;
    case kCmdDefaultBaud:
      loggerSetting(kMsgDefaultBaudWhileLogging, kMsgSetDefaultBaud, DialogId::DefaultBaudrate);
      break;
    case kCmdStatistics:
      s_.app.statisticsMode = true;
      ShowStatisticsView(s_);
      w_.redrawPlot();
      break;
    case kCmdSaveMatlab: saveMatlab(); break;
    case kCmdReadMatlab: readMatlab(); break;
    case kCmdMicroSalinometer: StartMicroSalinometer(s_); break;
    case kCmdComSettings: w_.openDialog(DialogId::ComSettings); break;
    case kCmdConnect: connectCommand(); break;
    case kCmdShowRangeChanges: toggleRangeChanges(argument); break;
    case kCmdRealTimeLimits:
      if (w_.openDialog(DialogId::Limits) == 1) WriteLimits(s_);
      if (s_.app.realTimeDisplayActive) {
        ApplyRealTimeLimits(s_);
        w_.redrawPlot();
      }
      break;
    case kCmdLanguage:
      if (w_.openDialog(DialogId::LanguageSupport) == 1) WriteSettings(s_);
      break;
    case kCmdAllowMultipleCopies: toggleMultipleCopies(argument); break;
    case kCmdLiveRefresh:
      if (steps_.liveReadingsStep) steps_.liveReadingsStep(s_);
      break;
    case kCmdMatlabFormat: w_.openDialog(DialogId::MatlabFormat); break;
    case kCmdModemSleep: modemSleep(); break;
    case kCmdLatency:
      loggerSetting(kMsgLatencyWhileLogging, kMsgSetLatency, DialogId::Latency);
      break;
    case kCmdRealTimeRestartStored: RestartRealTimeFromStoredSetup(s_); break;
    case kCmdRealTimeRestart:
      s_.ui.message({"This function is disabled while it is being rewritten.\nIt will be released "
                     "in the future.\n\nUse the 'Restart Display' function under the 'Setup' menu "
                     "item.",
                     "Restart Real-time Display", Icon::Information, Buttons::Ok, Answer::Ok});
      break;
    case kCmdEngineeringUnits: engineeringUnits(); break;
    case kCmdZoomIn:
      if (s_.app.realTimeDisplayActive)
        endRealTimeDisplay();
      else
        w_.plotCommand(id);
      break;
    default:
      if (IsRecentFile(id))
        readRecent(id);
      else if (IsPlotControl(id))
        w_.plotCommand(id);
      break;
  }
  --depth_;
  if (depth_ == 0) runPostedCommands();
}

// ---------------------------------------------------------------------------
// The tick.

void Frame::tick() {
  if (exited_) return;
  updateClock();
  if (s_.app.retrievalInProgress) {
    w_.sendToRetrievalDialog(kCmdRetrievalContinue);
    w_.showWaitCursor(true);
  }
  const int active = s_.app.activeDialogCommand;
  if (active == 0 || active == kCmdGpsTest) {
    if (active == kCmdGpsTest && s_.app.gpsPortOpen && steps_.gpsLine) steps_.gpsLine(s_);
    runPostedCommands();
    return;
  }
  if (s_.app.statusPolling)
    pollStatus();
  else if (steps_.enableCountdown)
    steps_.enableCountdown(s_);
  if (s_.app.realTimeDisplayActive) {
    if (s_.app.gpsPortOpen && steps_.gpsLine) steps_.gpsLine(s_);
    if (steps_.realTimeStep) steps_.realTimeStep(s_);
  }
  if (s_.app.microSalinometerMode && steps_.microSalinometerStep) steps_.microSalinometerStep(s_);
  if (s_.app.liveReadingsChannel != 0 && steps_.liveReadingsStep) steps_.liveReadingsStep(s_);
  runPostedCommands();
}

// ---------------------------------------------------------------------------
// Exit.

bool Frame::exitFlow() {
  if (exited_) return true;
  if (s_.app.retrievalInProgress) {
    s_.app.retrievalInProgress = false;
    w_.sendToRetrievalDialog(kCmdRetrievalStop);
  }
  if (s_.app.retrievedDataPresent && !s_.app.retrievedDataSaved) {
    const Answer a = s_.ui.message({messageText(kMsgUnsavedData), "Program Exit", Icon::Warning,
                                    Buttons::YesNo, Answer::Yes});
    if (a == Answer::Yes) {
      if (s_.app.sampleCount > 0) w_.showData();
      saveData();
      return false;
    }
    if (a != Answer::No) return false;  // closed: nothing is lost, nothing ends
  }
  if (s_.app.realTimeDisplayActive) endRealTimeDisplay();
  if (timerRunning_) w_.stopTimer();
  timerRunning_ = false;
  CloseCommPort(s_, PortRole::Logger);
  CloseCommPort(s_, PortRole::Gps);
  s_.app.gpsPortOpen = false;
  s_.link.connected = false;
  if (copies_) copies_->release();
  exited_ = true;
  return true;
}

}  // namespace kts
