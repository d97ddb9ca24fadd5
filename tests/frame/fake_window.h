// A main window for frame tests: records what the frame asked of it and
// answers dialogs with scripted results.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "frame/frame_window.h"

namespace kts::test {

class FakeWindow : public FrameWindow {
 public:
  std::string titleText;
  int x = -1, y = -1, width = 0, height = 0;
  std::map<int, bool> commandEnabled;
  std::map<MenuPopup, bool> popupEnabled;
  std::map<int, bool> checked;
  std::vector<std::string> recent;
  int recentBuilds = 0;
  bool modemSleepItem = false;
  bool timerRunning = false;
  int timerInterval = 0;
  int timerStarts = 0;
  bool timerFails = false;
  std::vector<DialogId> dialogs;
  std::map<DialogId, int> dialogResults;  // default 0
  std::set<DialogId> unavailable;
  std::map<DialogId, std::function<int()>> dialogActions;
  std::vector<int> retrievalCommands;
  std::vector<int> plotCommands;
  int dialogsEnded = 0;
  int redraws = 0;
  int dataShown = 0;

  std::string title() const override { return titleText; }
  void setTitle(std::string_view t) override { titleText = t; }
  void place(int px, int py, int w, int h) override {
    x = px;
    y = py;
    width = w;
    height = h;
  }
  void enableCommand(int id, bool enabled) override { commandEnabled[id] = enabled; }
  void enablePopup(MenuPopup popup, bool enabled) override { popupEnabled[popup] = enabled; }
  void checkCommand(int id, bool c) override { checked[id] = c; }
  void setRecentFiles(const std::vector<std::string>& items) override {
    recent = items;
    ++recentBuilds;
  }
  void showModemSleepItem(bool present) override { modemSleepItem = present; }
  bool startTimer(int intervalMs) override {
    if (timerFails) return false;
    timerRunning = true;
    timerInterval = intervalMs;
    ++timerStarts;
    return true;
  }
  void stopTimer() override { timerRunning = false; }
  int openDialog(DialogId id) override {
    if (unavailable.count(id)) return kDialogUnavailable;
    dialogs.push_back(id);
    if (auto a = dialogActions.find(id); a != dialogActions.end()) return a->second();
    auto r = dialogResults.find(id);
    return r == dialogResults.end() ? 0 : r->second;
  }
  void endActiveDialog() override { ++dialogsEnded; }
  void sendToRetrievalDialog(int command) override { retrievalCommands.push_back(command); }
  void showWaitCursor(bool) override {}
  void plotCommand(int id) override { plotCommands.push_back(id); }
  void redrawPlot() override { ++redraws; }
  void showData() override { ++dataShown; }

  bool opened(DialogId id) const {
    for (DialogId d : dialogs)
      if (d == id) return true;
    return false;
  }
};

}  // namespace kts::test
