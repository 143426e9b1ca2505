#pragma once

// Runs the commands of the menus and of the center button. What they act on
// (the tray states, the removal, the skins, the dialogs, the dock) is reached
// through the two interfaces below.

#include <optional>
#include <string>

#include "app/BoxTracker.h"
#include "app/Menus.h"
#include "catalogue/WindowTable.h"
#include "platform/Platform.h"

namespace qv::app {

// What the commands reach. The windows as a whole: the tray, the two
// presentations, the skins, the end of the program.
class IWindowCommands {
 public:
  virtual ~IWindowCommands() = default;
  virtual void MinimizeToTray() = 0;
  virtual void RestoreFromTray() = 0;
  virtual void ToggleRound() = 0;
  virtual void ToggleRect() = 0;
  virtual void RaiseRoundWindows() = 0;
  virtual void CollapseRectBar() = 0;
  virtual void NextBackground() = 0;
  virtual void NextCenter() = 0;
  // Closing the main form: the shutdown, then the end of the program.
  virtual void Exit() = 0;
};

// The items and the dialogs.
class IItemCommands {
 public:
  virtual ~IItemCommands() = default;
  virtual void ClearAll() = 0;  // asks first
  // The item of that window: its property dialog, and its removal.
  virtual void Properties(WindowId window) = 0;
  virtual void DeleteItem(WindowId window) = 0;
  // The settings dialog on the page it shows (a new one on its first page),
  // and on the dock's first page; the about box.
  virtual void OpenSettings() = 0;
  virtual void OpenDockSettings() = 0;
  virtual void OpenAbout() = 0;
};

// The help pages shipped beside the program: English, and Chinese.
inline constexpr const char* kHelpPage = "Help\\index.html";
inline constexpr const char* kChineseHelpPage = "Help\\index.zh.html";

// The menu a right release opens on a window of this place; nullopt for
// windows without one (the main form, the label, windows of no presentation).
std::optional<MenuKind> MenuForPlace(const std::optional<catalogue::WindowPlace>& place);

class CommandDispatch {
 public:
  // windows tells which presentation and role a window has; while one of
  // the program's boxes is up, no menu opens and no command runs.
  CommandDispatch(Platform& platform, const catalogue::WindowTable& windows, const BoxTracker& boxes,
                  IWindowCommands& shown, IItemCommands& items);

  // Shows the menu at the point and runs what the user chose. target is the
  // window the menu was opened on: the item menus act on that item.
  void OpenMenu(MenuKind kind, Point screen, WindowId target = kNoWindow);
  // A right release on a program window opens its menu, if it has one.
  void OnRightRelease(WindowId window, Point screen);

  // A command as if chosen from the menu.
  void Run(Command command, MenuKind from, WindowId target = kNoWindow);

  // The center button: the command of the center menu's first item tagged
  // centerAction. A value no item carries runs nothing; false then.
  bool CenterClick(int centerAction);

  void OpenHelp();

 private:
  Platform& platform_;
  const catalogue::WindowTable& windows_;
  const BoxTracker& boxes_;
  IWindowCommands& shown_;
  IItemCommands& items_;
};

}  // namespace qv::app
