#pragma once

// Our own resampler, shared by the backends: each target pixel whose centre
// lies inside the drawn (possibly turned) rectangle is mapped back into the
// picture and filtered with a bicubic kernel that widens when the picture
// shrinks, so a 300-pixel skin drawn at 150 does not shimmer. Beyond the
// source rectangle's edges the filter reads it mirrored. Unturned draws, the
// common case, work out each column's and row's filter taps once.

#include "platform/Canvas.h"

namespace qv::software {

void DrawPicture(LayeredSurface& target, const LayeredSurface& picture, const DrawParams& params);

}  // namespace qv::software
