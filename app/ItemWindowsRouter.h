#pragma once

// Item windows for the catalogue: ring slots go to the round window, dock
// slots to the dock.

#include "catalogue/ItemSlots.h"
#include "catalogue/LoadEntry.h"

namespace qv::app {

class ItemWindowsRouter final : public catalogue::IItemWindows {
 public:
  ItemWindowsRouter(catalogue::IItemWindows& round, catalogue::IItemWindows& dock) : round_(round), dock_(dock) {}

  void CreateRoundIconWindow(int slot) override { round_.CreateRoundIconWindow(slot); }
  void CreateRectIconWindow(int slot) override { dock_.CreateRectIconWindow(slot); }
  void DrawIconIntoSlot(int slot, const std::string& iconPath) override { Of(slot).DrawIconIntoSlot(slot, iconPath); }
  void RequestIcoPaint(int slot) override { Of(slot).RequestIcoPaint(slot); }

 private:
  catalogue::IItemWindows& Of(int slot) { return slot <= catalogue::kRingSlots ? round_ : dock_; }

  catalogue::IItemWindows& round_;
  catalogue::IItemWindows& dock_;
};

}  // namespace qv::app
