#pragma once

// The keyboard's focus among the items. Tab and Shift+Tab walk the shown
// items (the ring's filled slots in slot order, then the dock's), Enter or
// Space launch the focused one, the application key or Shift+F10 opens its
// menu, Escape hides the windows. The presentations draw the focus ring; the
// window the hot key handed the keyboard to keeps it while Tab moves (moving
// the system's focus from window to window loses keys typed meanwhile under
// Wine).

#include <optional>
#include <vector>

#include "catalogue/ItemFocus.h"
#include "catalogue/ItemSlots.h"
#include "config/Settings.h"
#include "platform/Keys.h"
#include "platform/Platform.h"

namespace qv::app {

// The slot after current in order (before it when backward), wrapping; from
// a slot not in order, the first (the last when backward); 0 for no order.
int NextInOrder(const std::vector<int>& order, int current, bool backward);

// What the keys do, done the way the pointer and the hot key do it.
class IKeyCommands {
 public:
  virtual ~IKeyCommands() = default;
  virtual void Launch(WindowId item) = 0;    // as a click on it
  virtual void OpenMenu(WindowId item) = 0;  // as a right click on it
  virtual void Hide() = 0;                   // as the hot key pressed again
};

class KeyboardFocus {
 public:
  KeyboardFocus(const config::Settings& settings, const catalogue::ItemSlots& slots, catalogue::IItemFocus& ring,
                catalogue::IItemFocus& dock, IKeyCommands& commands, IWindowSystem& windows);

  // The focused slot; 0 for none.
  int Slot() const { return slot_; }
  // True when the key was the focus's; the others (arrows, and Enter and
  // Space with no item focused) keep the ring's meaning.
  bool KeyDown(KeyPress press);
  // Items left their slots or moved: a slot that no longer holds the focused
  // item is forgotten, and the ring comes off the item.
  void ItemsChanged();
  // An item window as an assistive client hears of it: its label (its
  // file's name when it has none) and whether the focus is on it; nullopt
  // for a window that holds no item.
  std::optional<AccessibleItem> Describe(WindowId window) const;

 private:
  std::vector<int> Order() const;
  bool Focused();
  void Set(int slot);
  catalogue::IItemFocus& ViewOf(int slot) { return slot <= catalogue::kRingSlots ? ring_ : dock_; }

  const config::Settings& settings_;
  const catalogue::ItemSlots& slots_;
  catalogue::IItemFocus& ring_;
  catalogue::IItemFocus& dock_;
  IKeyCommands& commands_;
  IWindowSystem& windows_;
  int slot_ = 0;
  WindowId window_ = kNoWindow;  // the focused item's window, to tell it from a newcomer in its slot
};

}  // namespace qv::app
