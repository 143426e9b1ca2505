#pragma once

// The pointer on the dock's windows: the bar and its items. Moving over them
// magnifies the row; an item pressed and moved follows the pointer, and let
// go back on the bar it returns to its place, elsewhere it is thrown out; a
// click launches it.

#include "catalogue/ItemInput.h"
#include "catalogue/ItemSlots.h"
#include "config/Settings.h"
#include "platform/FormTimer.h"
#include "platform/Platform.h"

namespace qv::dock {

class RectPresentation;

class DockPointer {
 public:
  // mainWindow takes the keyboard focus when the bar is pressed.
  DockPointer(Platform& platform, const config::Settings& settings, catalogue::ItemSlots& slots, RectPresentation& dock,
              WindowId mainWindow, FormTimer& clearMemory, catalogue::ILaunch& launch, catalogue::IThrowOut& throwOut);
  DockPointer(const DockPointer&) = delete;
  DockPointer& operator=(const DockPointer&) = delete;

  void MouseDown(const PointerEvent& e);
  void MouseMove(const PointerEvent& e);
  void MouseUp(const PointerEvent& e);
  void MouseLeave(WindowId window);

  // The item following the pointer; none between drags.
  WindowId CarriedWindow() const { return carry_.window; }

 private:
  bool IsItem(WindowId window) const { return slots_.Windows().ItemSlot(window) > catalogue::kRingSlots; }
  bool Moved(WindowId window) const;
  void Drop(WindowId window, Point client);

  Platform& platform_;
  const config::Settings& settings_;
  catalogue::ItemSlots& slots_;
  RectPresentation& dock_;
  WindowId main_;
  FormTimer& clearMemory_;
  catalogue::ILaunch& launch_;
  catalogue::IThrowOut& throwOut_;

  Point dragOrigin_;              // the item's top left when it was pressed
  WindowId pressed_ = kNoWindow;  // the window of the left press, holding the capture
  catalogue::Carry carry_;  // an item following the pointer
};

}  // namespace qv::dock
