#pragma once

// Which presentation, and which slot, a window of the program belongs to.
// The presentations keep the table as they make, move and destroy windows,
// so an event is told apart by one lookup instead of by parsing the
// window's name (the names stay, for tools outside the program).

#include <optional>
#include <unordered_map>

#include "platform/Platform.h"

namespace qv::catalogue {

enum class Presentation { Round, Rect };

enum class WindowRole {
  Main,    // the invisible anchor, "FormRoundHot"
  Skin,    // the ring skin "BackGroundForm", the dock bar "RectForm"
  Center,  // the center button or clock, "CenterForm"
  Item,    // an item window; slot says which
  Label,   // the name label
};

struct WindowPlace {
  Presentation presentation = Presentation::Round;
  WindowRole role = WindowRole::Item;
  int slot = 0;  // items only: 1..20 the ring, 21..260 the dock

  bool operator==(const WindowPlace&) const = default;
};

class WindowTable {
 public:
  void Add(WindowId window, WindowPlace place) {
    if (window != kNoWindow) places_[window] = place;
  }
  void Remove(WindowId window) { places_.erase(window); }
  // An item window now shows another slot (an exchange, a gap closed).
  void MoveItem(WindowId window, int slot) {
    if (const auto found = places_.find(window); found != places_.end()) found->second.slot = slot;
  }
  std::optional<WindowPlace> Lookup(WindowId window) const {
    const auto found = places_.find(window);
    if (found == places_.end()) return std::nullopt;
    return found->second;
  }
  // The slot an item window shows, of either presentation; 0 for any other window.
  int ItemSlot(WindowId window) const {
    const std::optional<WindowPlace> place = Lookup(window);
    return place && place->role == WindowRole::Item ? place->slot : 0;
  }
  // The ring slot of a ring item window; 0 for any other window.
  int RingSlot(WindowId window) const {
    const std::optional<WindowPlace> place = Lookup(window);
    return place && place->role == WindowRole::Item && place->presentation == Presentation::Round ? place->slot : 0;
  }
  std::size_t Size() const { return places_.size(); }

 private:
  std::unordered_map<WindowId, WindowPlace> places_;
};

}  // namespace qv::catalogue
