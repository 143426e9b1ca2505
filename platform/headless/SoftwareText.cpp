#include <algorithm>
#include <vector>

#include "platform/headless/SoftwareCanvas.h"

namespace qv::headless {

namespace {

// Pixels of one em at 96 dots per inch.
int PixelSize(const FontDesc& font) {
  const int dpi = font.dpi > 0 ? font.dpi : kBaseDpi;
  return std::max(1, static_cast<int>((static_cast<long long>(std::max(1, font.pointSize)) * dpi + 36) / 72));
}

// Character widths in pixels, one per code point.
std::vector<int> GlyphWidths(const std::string& utf8, const FontDesc& font) {
  const int px = PixelSize(font);
  std::vector<int> widths;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    widths.push_back(c < 0x80 ? std::max(1, px / 2) + (font.bold ? 1 : 0) : px);
    i += length;
  }
  return widths;
}

}  // namespace

Size SoftwareCanvas::MeasureText(const std::string& utf8, const FontDesc& font) {
  int width = 0;
  for (int w : GlyphWidths(utf8, font)) width += w;
  return {width, utf8.empty() ? 0 : PixelSize(font) + PixelSize(font) / 4};
}

void SoftwareCanvas::DrawText(LayeredSurface& target, const std::string& utf8, const FontDesc& font,
                              std::uint32_t colour, Point origin) {
  const int px = PixelSize(font);
  const std::uint32_t pixel = PackBgra(static_cast<std::uint8_t>(colour >> 16), static_cast<std::uint8_t>(colour >> 8),
                                       static_cast<std::uint8_t>(colour), 255);
  int x = origin.x;
  for (int w : GlyphWidths(utf8, font)) {
    // A glyph leaves a one-pixel gap around its block, so letters stay apart.
    for (int y = origin.y + 1 + px / 8; y < origin.y + px; ++y) {
      if (y < 0 || y >= target.height) continue;
      for (int gx = x + 1; gx < x + w - 1; ++gx)
        if (gx >= 0 && gx < target.width) target.At(gx, y) = pixel;
    }
    x += w;
  }
}

}  // namespace qv::headless
