#pragma once

// Our own resampler: each target pixel whose centre lies inside the drawn
// (possibly turned) rectangle is mapped back into the picture and filtered
// with a bicubic kernel that widens when the picture shrinks, so a 300-pixel
// skin drawn at 150 does not shimmer. Beyond the source rectangle's edges the
// filter reads it mirrored. Unturned draws, the common case, work out each
// column's and row's filter taps once.

#include "platform/Canvas.h"

namespace qv::headless {

class SoftwareCanvas final : public ICanvas {
 public:
  void DrawImage(LayeredSurface& target, const LayeredSurface& picture, const DrawParams& params) override;
  // Text as blocks, one per character: no font files, the same pixels on every
  // machine. A character is half the pixel size wide below U+0080 and the
  // whole size above (as CJK text is), and as high as the size plus a line gap.
  Size MeasureText(const std::string& utf8, const FontDesc& font) override;
  void DrawText(LayeredSurface& target, const std::string& utf8, const FontDesc& font, std::uint32_t colour,
                Point origin) override;
};

}  // namespace qv::headless
