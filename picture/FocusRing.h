#pragma once

// The keyboard's focus ring: a rounded frame drawn over the edge of an
// item's picture, the same in the ring and the dock.

#include "platform/Surface.h"

namespace qv::picture {

// Draws the frame over the whole picture's edge, scaled for dpi: a blue band
// between two thin light lines, so that it stands out on dark and light
// pictures alike. Antialiased, premultiplied, over what the picture holds.
void DrawFocusRing(LayeredSurface& picture, int dpi);

}  // namespace qv::picture
