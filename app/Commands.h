#pragma once

// Runs the commands of the menus and of the center button. The commands that
// live elsewhere (the tray states, the removal, the skins, the dialogs, the
// dock) are reached through hooks the main form fills.

#include <functional>
#include <optional>
#include <string>

#include "app/BoxTracker.h"
#include "app/Menus.h"
#include "catalogue/WindowTable.h"
#include "platform/Platform.h"

namespace qv::app {

struct CommandHooks {
  std::function<void()> MinimizeToTray;
  std::function<void()> RestoreFromTray;
  std::function<void()> ClearAll;  // asks first
  std::function<void()> NextBackground;
  std::function<void()> NextCenter;
  std::function<void()> ToggleRound;
  std::function<void()> ToggleRect;
  std::function<void()> RaiseRoundWindows;
  std::function<void()> CollapseRectBar;
  // The settings dialog on the page it shows (a new one on its first page),
  // and on the dock's first page. Nothing until the dialog exists.
  std::function<void()> OpenSettings;
  std::function<void()> OpenDockSettings;
  std::function<void()> OpenAbout;
  // The item of that window: its property dialog, and its removal.
  std::function<void(WindowId)> Properties;
  std::function<void(WindowId)> DeleteItem;
  // Closing the main form: the shutdown, then the end of the program.
  std::function<void()> Exit;
};

// The help page shipped beside the program.
inline constexpr const char* kHelpPage = "Help\\index.html";

// The menu a right release opens on a window of this place; nullopt for
// windows without one (the main form, the label, windows of no presentation).
std::optional<MenuKind> MenuForPlace(const std::optional<catalogue::WindowPlace>& place);

class CommandDispatch {
 public:
  // windows tells which presentation and role a window has; while one of
  // the program's boxes is up, no menu opens and no command runs.
  CommandDispatch(Platform& platform, const catalogue::WindowTable& windows, const BoxTracker& boxes,
                  CommandHooks hooks);

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
  static void Call(const std::function<void()>& hook) {
    if (hook) hook();
  }

  Platform& platform_;
  const catalogue::WindowTable& windows_;
  const BoxTracker& boxes_;
  CommandHooks hooks_;
};

}  // namespace qv::app
