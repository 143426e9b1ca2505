#pragma once

// What the pointer handlers of the ring and the dock ask of the items,
// whichever presentation shows them.

#include "platform/Platform.h"

namespace qv::catalogue {

// A click on an item: its target starts, then the program hides or the item bounces.
class ILaunch {
 public:
  virtual ~ILaunch() = default;
  virtual void LaunchItem(WindowId item) = 0;
  // A pressed item is held at its resting place: a bounce cannot pass for a
  // drag nor leave it displaced.
  virtual void HoldStill(WindowId item) = 0;
};

// An item thrown out of its presentation.
class IThrowOut {
 public:
  virtual ~IThrowOut() = default;
  // The destroy animation plays in the item's window, then its slot is
  // emptied. False when it is refused (another animation runs): the item then goes back.
  virtual bool RequestDestroy(WindowId item) = 0;
  // The window plays a removal animation and no longer answers the pointer's hovering.
  virtual bool Animates(WindowId item) const = 0;
};

// An item window the left button carries: it follows the pointer, the point
// where the pointer took hold of it staying under the pointer.
struct Carry {
  WindowId window = kNoWindow;
  Point grip;  // inside the window

  void Take(WindowId item, Point at) {
    window = item;
    grip = at;
  }
  // Moves the carried window when the event is on it.
  void Follow(IWindowSystem& windows, const PointerEvent& e) const {
    if (window == kNoWindow || e.window != window) return;
    Rect bounds = windows.Bounds(window);
    bounds.left = e.screen.x - grip.x;
    bounds.top = e.screen.y - grip.y;
    windows.SetBounds(window, bounds);
  }
};

}  // namespace qv::catalogue
