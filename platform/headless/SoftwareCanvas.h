#pragma once

// Pictures drawn by our own resampler, as the Windows program draws them;
// text as blocks, the same on every machine.

#include "platform/Canvas.h"
#include "platform/software/Resampler.h"

namespace qv::headless {

class SoftwareCanvas final : public ICanvas {
 public:
  void DrawImage(LayeredSurface& target, const LayeredSurface& picture, const DrawParams& params) override {
    software::DrawPicture(target, picture, params);
  }
  // Text as blocks, one per character: no font files, the same pixels on every
  // machine. A character is half the pixel size wide below U+0080 and the
  // whole size above (as CJK text is), and as high as the size plus a line gap.
  Size MeasureText(const std::string& utf8, const FontDesc& font) override;
  void DrawText(LayeredSurface& target, const std::string& utf8, const FontDesc& font, std::uint32_t colour,
                Point origin) override;
};

}  // namespace qv::headless
