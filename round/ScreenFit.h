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
// form itself, the ring skin of skinSize centred on it, and the outer ring
// of item windows, whether or not its slots hold items yet.
Rect RingReach(const Rect& mainForm, int skinSize, int minR, int separationSize);

// The ring moved as little as possible (straight-line distance) so that it
// lies wholly on one work area, or, where it is larger than the area along
// an axis, so that its centre does. A ring the work areas already cover
// (also across two monitors side by side) and an empty list leave it as it is.
Rect FitOnScreen(const Rect& ring, const std::vector<Rect>& workAreas);

// Moves the main form so that the ring it anchors is on screen, and takes
// the new place into the settings' position as a drag would. Returns
// whether it moved.
bool KeepRingOnScreen(IWindowSystem& windows, WindowId mainForm, config::Settings& settings);

}  // namespace qv::round
