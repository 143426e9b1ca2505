// Text drawn with GDI+ onto premultiplied surfaces: where it lands, its
// colour, and nothing drawn for nothing. Pictures are drawn by the shared
// resampler, which the core's tests cover.

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/win32/Canvas.h"
#include "platform/win32/check/Check.h"

namespace qv::win32::check {
namespace {

bool Near(std::uint32_t actual, std::uint32_t expected) {
  for (int shift = 0; shift < 32; shift += 8) {
    if (std::abs(static_cast<int>((actual >> shift) & 0xFF) - static_cast<int>((expected >> shift) & 0xFF)) > 2)
      return false;
  }
  return true;
}

// Where the drawn text has changed the surface (inclusive; empty when
// right < left), and the most covered pixel: the colour it is drawn in.
struct Ink {
  int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
  int pixels = 0;
  std::uint32_t strongest = 0;
};

Ink InkOf(const LayeredSurface& s, const LayeredSurface& before) {
  Ink ink;
  for (int y = 0; y < s.height; ++y) {
    for (int x = 0; x < s.width; ++x) {
      if (AlphaOf(s.At(x, y)) > AlphaOf(ink.strongest)) ink.strongest = s.At(x, y);
      if (s.At(x, y) == before.At(x, y)) continue;
      ++ink.pixels;
      ink.left = std::min(ink.left, x), ink.top = std::min(ink.top, y);
      ink.right = std::max(ink.right, x), ink.bottom = std::max(ink.bottom, y);
    }
  }
  return ink;
}

}  // namespace

void CheckCanvas() {
  Win32Canvas canvas;
  const FontDesc label{"宋体", 12, true, false, false, false};  // the label's own font
  constexpr Point kOrigin{8, 6};
  // The colour is 0x00BBGGRR.
  const struct {
    FontDesc font;
    std::uint32_t colour, pixel;
  } fonts[] = {{label, 0x000000FF, PackBgra(0, 0, 255, 255)},
               {{"No Such Face", 10, false, true, true, false}, 0x0000C000, PackBgra(0, 192, 0, 255)},
               {{"Microsoft Sans Serif", 24, false, false, false, true}, 0x00FFFFFF, PackBgra(255, 255, 255, 255)}};
  for (const auto& [font, colour, pixel] : fonts) {
    for (const std::string text : {"Quorvel", "提示"}) {
      const std::string about = font.face + " " + text;
      // Twice the text is twice as wide, give or take the rounding up.
      const Size single = canvas.MeasureText(text, font);
      const Size twice = canvas.MeasureText(text + text, font);
      QV_EXPECT_ABOUT(
          single.width > 0 && twice.height == single.height && std::abs(twice.width - 2 * single.width) <= 2, about);

      // Drawn, it stays in its measured box (an italic slant may lean a
      // pixel or two past its end); letters, not specks, with antialiased
      // edges, a solid core of the asked colour, every pixel validly
      // premultiplied or the window shows light fringes.
      LayeredSurface target(single.width + 2 * kOrigin.x, single.height + 2 * kOrigin.y);
      canvas.DrawText(target, text, font, colour, kOrigin);
      const Ink ink = InkOf(target, LayeredSurface(target.width, target.height));
      const int slant = font.italic ? 3 : 1;
      QV_EXPECT_ABOUT(ink.pixels > single.width && ink.left >= kOrigin.x - 1 && ink.top >= kOrigin.y - 1, about);
      QV_EXPECT_ABOUT(ink.right <= kOrigin.x + single.width - 1 + slant && ink.bottom <= kOrigin.y + single.height,
                      about);
      QV_EXPECT_ABOUT(Near(ink.strongest, pixel), about + " " + std::to_string(ink.strongest));
      bool premultiplied = true, partial = false;
      for (std::uint32_t p : target.pixels) {
        premultiplied &= RedOf(p) <= AlphaOf(p) && GreenOf(p) <= AlphaOf(p) && BlueOf(p) <= AlphaOf(p);
        partial |= AlphaOf(p) > 0 && AlphaOf(p) < 255;
      }
      QV_EXPECT_ABOUT(premultiplied && partial, about);

      // Underline and strikeout: a line across the whole text, under the
      // letters or through their middle.
      int fullest = 0, row = -1;  // the row with most mostly covered pixels
      for (int y = 0; y < target.height; ++y) {
        int covered = 0;
        for (int x = 0; x < target.width; ++x) covered += AlphaOf(target.At(x, y)) > 128;
        if (covered > fullest) fullest = covered, row = y - kOrigin.y;
      }
      const int h = single.height;
      const bool lined = font.underline || font.strikeout;
      const bool placed =
          font.underline ? row > h * 2 / 3 && row < h : !font.strikeout || (row > h / 4 && row < h * 2 / 3);
      if (text == "Quorvel")
        QV_EXPECT_ABOUT(placed && (fullest >= single.width * 9 / 10) == lined, about + ": row " + std::to_string(row));
    }
  }

  // Two different characters look different: a face without Chinese glyphs
  // would give two identical empty boxes.
  LayeredSurface first(40, 40), second(40, 40);
  canvas.DrawText(first, "提", label, 0x00E9E9E9, Point{2, 2});
  canvas.DrawText(second, "示", label, 0x00E9E9E9, Point{2, 2});
  QV_EXPECT(first.pixels != second.pixels);

  // Drawn over opaque blue, the surface stays opaque and only the text's box changes.
  LayeredSurface blue(80, 30);
  std::fill(blue.pixels.begin(), blue.pixels.end(), PackBgra(255, 0, 0, 255));
  const LayeredSurface before = blue;
  canvas.DrawText(blue, "提示 Wm", label, 0x00FFFFFF, Point{3, 2});
  const Size box = canvas.MeasureText("提示 Wm", label);
  const Ink ink = InkOf(blue, before);
  QV_EXPECT(ink.pixels > 0 && ink.left >= 2 && ink.top >= 1 && ink.right <= 3 + box.width &&
            ink.bottom <= 2 + box.height);
  QV_EXPECT(std::all_of(blue.pixels.begin(), blue.pixels.end(), [](auto p) { return AlphaOf(p) == 255; }));

  // Nothing to say: no size, no ink.
  QV_EXPECT(canvas.MeasureText("", label) == (Size{0, 0}));
  LayeredSurface target(10, 10);
  canvas.DrawText(target, "", label, 0x00FFFFFF, Point{0, 0});
  canvas.DrawText(target, "Quorvel", label, 0x00FFFFFF, Point{-200, -200});  // all outside
  QV_EXPECT(target.pixels == LayeredSurface(10, 10).pixels);
  LayeredSurface empty;
  canvas.DrawText(empty, "Quorvel", label, 0x00FFFFFF, Point{0, 0});
}

}  // namespace qv::win32::check
