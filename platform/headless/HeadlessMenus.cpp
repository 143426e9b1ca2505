#include <utility>

#include "platform/headless/HeadlessDesktop.h"

namespace qv::headless {

namespace {

// An item a user could choose: enabled, not a separator, not a submenu, and
// reached through enabled submenus only.
const MenuItem* Choosable(const std::vector<MenuItem>& items, const MenuChoice& choice) {
  for (const MenuItem& item : items) {
    if (item.separator || !item.enabled) continue;
    if (!item.submenu.empty()) {
      if (const MenuItem* inner = Choosable(item.submenu, choice)) return inner;
      continue;
    }
    if (choice.command ? item.command == *choice.command : item.caption == choice.caption) return &item;
  }
  return nullptr;
}

}  // namespace

std::optional<int> HeadlessProcess::ShowPopupMenu(const Menu& menu, Point screen) {
  MenuRecord record{menu, screen, std::nullopt};
  if (!desktop_.scriptedMenus_.empty()) {
    const MenuChoice choice = std::move(desktop_.scriptedMenus_.front());
    desktop_.scriptedMenus_.pop_front();
    if (choice.command || !choice.caption.empty()) {
      if (const MenuItem* item = Choosable(menu.items, choice)) record.answer = item->command;
    }
  }
  desktop_.menusShown_.push_back(record);
  return record.answer;
}

}  // namespace qv::headless
