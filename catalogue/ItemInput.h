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

}  // namespace qv::catalogue
