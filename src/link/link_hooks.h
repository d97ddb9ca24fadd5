// What the connection and retrieval code needs from the main window and the
// data side: saving and redrawing retrieved data, the menus, the timer, the
// retrieval dialog's message line and the reconnect command. The frame fills
// these in; an empty hook falls back to the behaviour noted beside it, so the
// command-line front end and the tests work without a window.
#pragma once

#include <functional>
#include <string_view>

namespace kts {

struct Session;

enum class MenuGroup {
  // "&Save file", "&Format for the save file", "Save screen se&gment to file".
  SaveItems,
  // "&Setup", "&Retrieve data" and the three menus that follow them.
  LoggerCommands,
};

struct LinkHooks {
  // The main window's reconnect command, run synchronously; it leaves the
  // connected flag of the link state set or cleared. Empty: close the logger
  // port, reopen it at the current rate and run Connect.
  std::function<void(Session&)> reconnect;

  // A different logger answered while retrieved data is unsaved and the
  // user chose to save it: the identity of the logger that produced the data
  // is current again while these run. Empty: nothing is redrawn or saved
  // (the question is asked again on the next connection).
  std::function<void(Session&)> redrawRetrievedData;  // only when it is on display
  std::function<void(Session&)> saveRetrievedData;

  // The user chose to drop the unsaved data: hide the plot windows.
  std::function<void(Session&)> hideDataDisplay;

  std::function<void(Session&, MenuGroup, bool enabled)> enableMenus;

  // StartTimer of the main window. Empty: nothing.
  std::function<void(Session&, int intervalMs, bool restart)> startTimer;

  // The retrieval dialog's message line. Empty: the status bar.
  std::function<void(Session&, std::string_view text)> retrievalMessage;
  // Ends the retrieval dialog's busy state. Empty: Ui::setBusy(false).
  std::function<void(Session&)> endRetrievalBusy;

  // Inserts (true) or removes the "Modem slee&p" menu item.
  std::function<void(Session&, bool present)> showModemSleepItem;

  // Writes the settings file after the COM settings changed; false when it
  // could not be written (the writer reports why).
  std::function<bool(Session&)> saveSettings;
};

// Calls a hook when it is set; the fallbacks documented above otherwise.
void ShowRetrievalMessage(Session& s, std::string_view text);
void EndRetrievalBusy(Session& s);
void EnableMenus(Session& s, MenuGroup group, bool enabled);
void StartTimer(Session& s, int intervalMs, bool restart);

}  // namespace kts
