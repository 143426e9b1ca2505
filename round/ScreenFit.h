#pragma once

// Keeping the ring on a monitor: a saved position may point at a monitor
// that has since been removed, or a change of resolution may leave the ring
// beyond the new edge. The fit is a pure function of rectangles; the one
// routine below it only reads and moves the main form.

#include <vector>

#include "config/Settings.h"
#include "platform/Geometry.h"
#include "platform/Platform.h"

namespace qv::round {

// What the ring covers on screen around a main form at mainForm: the main
// form itself and the ring skin of skinSize centred on it (SkinReach), with
// the outer ring of item windows too (RingReach), whether or not its slots
// hold items yet.
Rect SkinReach(const Rect& mainForm, int skinSize);
Rect RingReach(const Rect& mainForm, int skinSize, int minR, int separationSize);

// The ring moved as little as possible (straight-line distance) so that it
// lies wholly on one work area, or, where it is larger than the area along
// an axis, so that its centre does. A ring the work areas already cover
// (also across two monitors side by side) and an empty list leave it as it is.
Rect FitOnScreen(const Rect& ring, const std::vector<Rect>& workAreas);

// Moves the main form when its skin is not wholly on screen, so that the
// whole ring, items included, is; a ring the user left with only some items
// beyond an edge stays. The new place goes into the settings' position, as
// a drag's would. Returns whether it moved.
bool KeepRingOnScreen(IWindowSystem& windows, WindowId mainForm, config::Settings& settings);

}  // namespace qv::round
