#pragma once

// Our own resampler: each target pixel inside the drawn area is mapped back
// into the picture and filtered with a bicubic kernel that widens when the
// picture shrinks, so a 300-pixel skin drawn at 150 does not shimmer.

#include "platform/Canvas.h"

namespace qv::headless {

class SoftwareCanvas final : public ICanvas {
 public:
  void DrawImage(LayeredSurface& target, const LayeredSurface& picture, const DrawParams& params) override;
};

}  // namespace qv::headless
