#pragma once

// Popup menus as plain values. The core builds a Menu, the platform shows it
// at a screen point and answers with the command of the item the user chose.
// Captions are UTF-8 and carry their accelerator as "&" before the letter.

#include <optional>
#include <string>
#include <vector>

#include "platform/Geometry.h"

namespace qv {

struct MenuItem {
  std::string name;     // the program's own name of the item ("NSetup"), for finding it
  std::string caption;  // "设置(&S)"; empty for a separator
  int command = 0;      // what the item runs; 0 for separators and submenus
  int tag = 0;
  bool separator = false;
  bool enabled = true;
  bool checked = false;
  std::vector<MenuItem> submenu;  // a non-empty submenu makes the item open it

  static MenuItem Separator(std::string name) {
    MenuItem item;
    item.name = std::move(name);
    item.separator = true;
    return item;
  }
};

struct Menu {
  std::string name;  // "PopupMenuCenter"
  std::vector<MenuItem> items;
};

class IMenus {
 public:
  virtual ~IMenus() = default;
  // Shows the menu at the screen point and waits until it closes. Returns the
  // command of the chosen item; nullopt when the user closed the menu without
  // choosing (Escape, a click elsewhere).
  virtual std::optional<int> ShowPopupMenu(const Menu& menu, Point screen) = 0;
};

// The item of the menu (or of one of its submenus) with this name; null when none.
inline const MenuItem* FindMenuItem(const std::vector<MenuItem>& items, const std::string& name) {
  for (const MenuItem& item : items) {
    if (item.name == name) return &item;
    if (const MenuItem* inner = FindMenuItem(item.submenu, name)) return inner;
  }
  return nullptr;
}

}  // namespace qv
