#pragma once

// The five context menus of the main form: their items, captions, tags and
// the command each item runs. Items that run the same command in different
// menus carry the same command; what differs by menu (the dock's menus
// return the bar to rest first) is decided by the dispatch from the menu.

#include <string>

#include "platform/Menus.h"

namespace qv::app {

enum class Command : int {
  None = 0,
  OpenSettings,
  OpenDockSettings,
  MinimizeToTray,
  RestoreFromTray,
  ClearAll,
  NextBackground,
  NextCenter,
  ToggleRound,
  ToggleRect,
  OpenHelp,
  OpenAbout,
  Exit,
  DeleteItem,
  Properties,
};

enum class MenuKind { Center, TaskBar, Soft, RectBG, RectIcon };

Menu PopupMenuCenter();
Menu PopupMenuTaskBar();
Menu PopupMenuSoft();
Menu PopupMenuRectBG();
Menu PopupMenuRectIcon();
Menu MenuOf(MenuKind kind);

// The command of the first item of the center menu, in menu order, whose tag
// equals the value: the center button's command for CenterAction. None when
// no item carries the tag.
Command CenterCommandOf(int centerAction);

}  // namespace qv::app
