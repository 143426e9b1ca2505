#pragma once

// Takes each window's pointer and key events to the presentation that owns
// the window, by the window table: the dock's bar and items to the dock,
// every other window of the program to the ring. Keys and the wheel turn
// the ring wherever they come from: the main form holds the focus.

#include "catalogue/WindowTable.h"
#include "dock/DockPointer.h"
#include "platform/Keys.h"
#include "platform/Platform.h"
#include "round/Interaction.h"

namespace qv::app {

class PointerRouter {
 public:
  PointerRouter(const catalogue::WindowTable& windows, round::Interaction& ring, dock::DockPointer& dock)
      : windows_(windows), ring_(ring), dock_(dock) {}

  // A press starts afresh: an item still carried, whose release never came
  // (the system took the pointer away), goes back first, in either presentation.
  void MouseDown(const PointerEvent& e) {
    if (e.button == MouseButton::Left) {
      ring_.CancelCarry();
      dock_.CancelCarry();
    }
    OnDock(e.window) ? dock_.MouseDown(e) : ring_.MouseDown(e);
  }
  void MouseMove(const PointerEvent& e) { OnDock(e.window) ? dock_.MouseMove(e) : ring_.MouseMove(e); }
  void MouseUp(const PointerEvent& e) { OnDock(e.window) ? dock_.MouseUp(e) : ring_.MouseUp(e); }
  void MouseEnter(WindowId window) {
    if (!OnDock(window)) ring_.MouseEnter(window);
  }
  void MouseLeave(WindowId window) { OnDock(window) ? dock_.MouseLeave(window) : ring_.MouseLeave(window); }
  void MouseWheel(WindowId window, int notches) { ring_.MouseWheel(window, notches); }
  void KeyDown(WindowId window, unsigned virtualKey) { ring_.KeyDown(window, KeyOfVirtualKey(virtualKey)); }

  // An item follows the pointer, in either presentation.
  bool Carrying() const { return ring_.CarriedWindow() != kNoWindow || dock_.CarriedWindow() != kNoWindow; }

 private:
  bool OnDock(WindowId window) const {
    const std::optional<catalogue::WindowPlace> place = windows_.Lookup(window);
    return place && place->presentation == catalogue::Presentation::Rect;
  }

  const catalogue::WindowTable& windows_;
  round::Interaction& ring_;
  dock::DockPointer& dock_;
};

}  // namespace qv::app
