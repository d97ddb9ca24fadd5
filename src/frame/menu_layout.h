// The main window's menu bar: popups and items with their ids and texts.
// The window builds its menus from this table, so a text or an id lives in
// one place.
#pragma once

#include <span>

namespace kts {

enum class MenuPopup { None, File, LoggerFunctions, Calibration, Configuration };

struct MenuItem {
  MenuPopup popup;  // None: an item of the menu bar itself
  int id;           // 0: a separator
  const char* text;
  bool checkable = false;
};

struct PopupInfo {
  MenuPopup popup;
  const char* text;
};

// In menu-bar order: each popup appears where its first item stands.
std::span<const MenuItem> MenuItems();
std::span<const PopupInfo> MenuPopups();
const char* PopupText(MenuPopup popup);

// The menu text of a command id, or nullptr when it has none.
const char* MenuText(int id);

inline constexpr const char* kRecentPopupText = "&Read a recent file";
inline constexpr const char* kModemSleepText = "Modem slee&p";

}  // namespace kts
