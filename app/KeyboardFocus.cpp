#include "app/KeyboardFocus.h"

#include <algorithm>

namespace qv::app {

int NextInOrder(const std::vector<int>& order, int current, bool backward) {
  if (order.empty()) return 0;
  const auto at = std::find(order.begin(), order.end(), current);
  if (at == order.end()) return backward ? order.back() : order.front();
  const auto index = at - order.begin();
  const auto count = static_cast<std::ptrdiff_t>(order.size());
  return order[static_cast<std::size_t>((index + (backward ? count - 1 : 1)) % count)];
}

KeyboardFocus::KeyboardFocus(const config::Settings& settings, const catalogue::ItemSlots& slots,
                             catalogue::IItemFocus& ring, catalogue::IItemFocus& dock, IKeyCommands& commands,
                             IWindowSystem& windows)
    : settings_(settings), slots_(slots), ring_(ring), dock_(dock), commands_(commands), windows_(windows) {}

std::vector<int> KeyboardFocus::Order() const {
  std::vector<int> order;
  auto add = [&](int first, int last) {
    for (int slot = first; slot <= last; ++slot)
      if (slots_[slot].Window != kNoWindow) order.push_back(slot);
  };
  if (settings_.IsShowRound) add(1, catalogue::kRingSlots);
  if (settings_.IsShowRect) add(catalogue::kRingSlots + 1, catalogue::kRingSlots + slots_.DockCount());
  return order;
}

bool KeyboardFocus::KeyDown(KeyPress press) {
  switch (press.key) {
    case Key::Tab:
      Set(NextInOrder(Order(), slot_, press.shift));
      return true;
    case Key::Enter:
    case Key::Space:
      if (!Focused()) return false;
      commands_.Launch(window_);
      return true;
    case Key::F10:
      if (!press.shift) return false;
      [[fallthrough]];
    case Key::Apps:
      if (!Focused()) return false;
      commands_.OpenMenu(window_);
      return true;
    case Key::Escape:
      commands_.Hide();
      return true;
    default:
      return false;
  }
}

// An item whose presentation was switched off since it took the focus is no
// longer reached by the keys: the focus lets go of it.
bool KeyboardFocus::Focused() {
  if (slot_ != 0) {
    const std::vector<int> order = Order();
    if (std::find(order.begin(), order.end(), slot_) == order.end()) Set(0);
  }
  return slot_ != 0;
}

void KeyboardFocus::Set(int slot) {
  if (slot == slot_) return;
  if (slot_ != 0) ViewOf(slot_).ShowFocus(slot_, false);
  slot_ = slot;
  window_ = slot == 0 ? kNoWindow : slots_[slot].Window;
  if (slot_ != 0) ViewOf(slot_).ShowFocus(slot_, true);
  windows_.AnnounceFocus(window_);
}

void KeyboardFocus::ItemsChanged() {
  if (slot_ == 0 || slots_[slot_].Window == window_) return;
  // The item may live on in another slot (an exchange, the dock closing its
  // gap): the ring comes off it there.
  const int now = slots_.Windows().ItemSlot(window_);
  const int old = slot_;
  slot_ = 0;
  window_ = kNoWindow;
  ViewOf(now != 0 ? now : old).ShowFocus(now != 0 ? now : old, false);
  windows_.AnnounceFocus(kNoWindow);
}

std::optional<AccessibleItem> KeyboardFocus::Describe(WindowId window) const {
  const int slot = window == kNoWindow ? 0 : slots_.Windows().ItemSlot(window);
  if (slot == 0) return std::nullopt;
  const catalogue::TImageIconRec& rec = slots_[slot];
  std::string name = rec.Hint;
  if (name.empty()) name = rec.File.substr(rec.File.find_last_of("\\/") + 1);
  return AccessibleItem{name, slot == slot_};
}

}  // namespace qv::app
