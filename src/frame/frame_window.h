// What the frame needs from its main window beyond the Ui interface: the
// title and position, the menu, the one timer, the dialogs and the plot.
// The desktop program implements it with Qt; tests with a recording fake.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "frame/menu_layout.h"

namespace kts {

// The dialogs the frame opens, by their template names (DialogName).
enum class DialogId {
  About,
  Download,
  HkvDownload,
  Fetch,
  GenericFetch,
  Setup,
  HkvSetup,
  SetupSimulation,
  Calibration,
  CalibrationHistory,
  WriteFormat,
  DerivedUnits,
  GpsTest,
  DefaultBaudrate,
  Latency,
  ComSettings,
  Limits,
  LanguageSupport,
  MatlabFormat,
  EngineeringUnits,
};

const char* DialogName(DialogId id);

// openDialog's answer when this build has no view for the dialog yet (the
// window has said so on the status line).
inline constexpr int kDialogUnavailable = -2;

class FrameWindow {
 public:
  virtual ~FrameWindow() = default;

  virtual std::string title() const = 0;
  virtual void setTitle(std::string_view title) = 0;
  virtual void place(int x, int y, int width, int height) = 0;

  virtual void enableCommand(int id, bool enabled) = 0;
  virtual void enablePopup(MenuPopup popup, bool enabled) = 0;
  virtual void checkCommand(int id, bool checked) = 0;
  // Creates "&Read a recent file" on the first call, then replaces its items.
  virtual void setRecentFiles(const std::vector<std::string>& items) = 0;
  virtual void showModemSleepItem(bool present) = 0;

  // The one periodic timer; false when it could not be created.
  virtual bool startTimer(int intervalMs) = 0;
  virtual void stopTimer() = 0;

  // Runs a dialog and returns its result (0 for a modeless one that opened),
  // or kDialogUnavailable.
  virtual int openDialog(DialogId id) = 0;
  // Ends the open modeless logger dialog.
  virtual void endActiveDialog() = 0;
  // A command for the open retrieval dialog (271 continue, 272 stop).
  virtual void sendToRetrievalDialog(int command) = 0;
  virtual void showWaitCursor(bool wait) = 0;

  // Plot buttons and redraws belong to the plot.
  virtual void plotCommand(int id) = 0;
  virtual void redrawPlot() = 0;
  // Shows the samples in memory (before they are saved).
  virtual void showData() = 0;
};

}  // namespace kts
