// The application frame: start-up, the command table of the main window,
// the one timer's tick and the exit flow. It owns the application state and
// talks to the user through the Ui and to its window through FrameWindow.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "frame/copy_registry.h"
#include "frame/frame_window.h"
#include "frame/main_layout.h"

namespace kts {

struct Session;

struct StartOptions {
  std::string baseDirectory;      // where the settings files and data folders live
  std::string registryDirectory;  // the running-copy locks; empty: the per-user default
  std::string commandLine;        // one file name, perhaps in double quotes
  int screenWidth = 1000;
};

// The steps of the tick that other parts own; an empty step is skipped.
struct TickSteps {
  std::function<void(Session&)> gpsLine;           // the GPS dialog's position line
  std::function<void(Session&)> enableCountdown;   // a pending enable countdown
  std::function<void(Session&)> realTimeStep;      // real-time and wave displays
  std::function<void(Session&)> microSalinometerStep;
  std::function<void(Session&)> liveReadingsStep;
};

// SetMenuBusy modes.
enum MenuBusyMode : int {
  kMenuBusy = 0,
  kMenuFree = 1,
  kMenuBusyWithConfiguration = 2,
  kMenuFreeWithConfiguration = 3,
};

// "Copy %-2d: " before a title for further copies, keeping at most 85
// characters of the old title; the title unchanged for the first copy.
std::string TitlePrefix(int copyIndex, std::string_view title);

// The command-line argument as a file name: surrounding quotes removed.
std::string CommandLineFileName(std::string_view commandLine);

class Frame {
 public:
  Frame(Session& s, FrameWindow& window);
  ~Frame();
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;

  // The start-up sequence. False when the program must end (a refused copy,
  // a data folder that cannot be created).
  bool startUp(const StartOptions& options);

  // One command of the table, with its argument (0 when none).
  void runCommand(int id, int argument = 0);

  // One tick of the timer.
  void tick();

  // The exit flow: true when the program ends, false when the user chose to
  // save the data first.
  bool exitFlow();

  bool connect();
  void errorBox(int entry, std::string_view argument = {});
  void setMenuBusy(int mode);
  bool startTimer(int intervalMs, bool restart);
  void updateClock();
  void showUnitsIcon();
  void buildRecentMenu();
  std::string messageText(int entry) const;

  TickSteps& tickSteps() { return steps_; }
  CopyRegistry* copies() { return copies_.get(); }
  bool exited() const { return exited_; }
  int timerIntervalMs() const { return timerIntervalMs_; }

 private:
  bool multipleCopyCheck(const MainLayout& layout);
  bool askToSave(std::string_view caption);
  bool refuseUnlessIdle(bool allowedWhileLogging, int entry, int captionEntry);
  bool readForLoggerDialog();
  void runPostedCommands();
  void connectCommand();
  void fetchLiveReadings();
  void retrieveData();
  void setup();
  void setupSimulation();
  void calibration(bool history);
  void loggerSetting(int busyEntry, int captionEntry, DialogId dialog);
  void engineeringUnits();
  void gpsTest();
  void saveMatlab();
  void readMatlab();
  void readDataFile(bool hex);
  void readRecent(int id);
  void toggleRangeChanges(int argument);
  void toggleMultipleCopies(int argument);
  void modemSleep();
  void endRealTimeDisplay();
  void pollStatus();
  void addRecent(const std::string& path);
  void showRecentMenu();
  int saveData();
  void saveSegment();
  void setMenuGroup(bool enabled, bool configuration);

  Session& s_;
  FrameWindow& w_;
  TickSteps steps_;
  std::unique_ptr<CopyRegistry> copies_;
  int timerIntervalMs_ = 0;
  bool timerRunning_ = false;
  int lastClockSecond_ = -1;
  bool recentMenuBuilt_ = false;
  bool exited_ = false;
  int depth_ = 0;
};

}  // namespace kts
