// Text drawn with GDI+ onto premultiplied surfaces: where it lands, its
// colour, and nothing drawn for nothing.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/win32/Canvas.h"
#include "platform/win32/check/Check.h"

namespace qv::win32::check {
namespace {

constexpr std::uint32_t kBlue = PackBgra(255, 0, 0, 255);

LayeredSurface Filled(int width, int height, std::uint32_t colour) {
  LayeredSurface s(width, height);
  for (std::uint32_t& p : s.pixels) p = colour;
  return s;
}

bool Near(std::uint32_t actual, std::uint32_t expected, int tolerance = 2) {
  for (int shift = 0; shift < 32; shift += 8) {
    const int a = static_cast<int>((actual >> shift) & 0xFF);
    const int e = static_cast<int>((expected >> shift) & 0xFF);
    if (std::abs(a - e) > tolerance) return false;
  }
  return true;
}

// Every pixel of the rectangle is near the colour.
bool Area(const LayeredSurface& s, int left, int top, int width, int height, std::uint32_t colour) {
  for (int y = top; y < top + height; ++y) {
    for (int x = left; x < left + width; ++x) {
      if (!Near(s.At(x, y), colour)) {
        char text[96];
        std::snprintf(text, sizeof text, "pixel (%d,%d) is %08X, not %08X", x, y, s.At(x, y), colour);
        Note(text);
        return false;
      }
    }
  }
  return true;
}

// Where the drawn text has left colour.
struct Ink {
  int left = 0, top = 0, right = -1, bottom = -1;  // inclusive; empty when right < left
  int pixels = 0;
};

Ink InkOf(const LayeredSurface& s, const LayeredSurface& before) {
  Ink ink{s.width, s.height, -1, -1, 0};
  for (int y = 0; y < s.height; ++y) {
    for (int x = 0; x < s.width; ++x) {
      if (s.At(x, y) == before.At(x, y)) continue;
      ++ink.pixels;
      ink.left = std::min(ink.left, x);
      ink.top = std::min(ink.top, y);
      ink.right = std::max(ink.right, x);
      ink.bottom = std::max(ink.bottom, y);
    }
  }
  return ink;
}

// The most covered pixel: the colour the text is drawn in.
std::uint32_t Strongest(const LayeredSurface& s) {
  std::uint32_t best = 0;
  for (std::uint32_t p : s.pixels) {
    if (AlphaOf(p) > AlphaOf(best)) best = p;
  }
  return best;
}

void CheckTextDrawing(Win32Canvas& canvas) {
  const FontDesc label{"宋体", 12, true, false, false, false};  // the label's own font
  const FontDesc fonts[] = {
      label,
      {"No Such Face", 10, false, true, true, false},
      {"Microsoft Sans Serif", 24, false, false, false, true},
  };
  constexpr Point kOrigin{8, 6};
  for (const FontDesc& font : fonts) {
    for (const char* text : {"Quorvel", "提示"}) {
      const std::string once = text;
      const Size single = canvas.MeasureText(once, font);
      const Size twice = canvas.MeasureText(once + once, font);
      // Twice the text is twice as wide, give or take the rounding up.
      QV_EXPECT(single.width > 0 && single.height > 0);
      QV_EXPECT(twice.height == single.height);
      QV_EXPECT(std::abs(twice.width - 2 * single.width) <= 2);

      // Drawn, the text stays in its measured box; an italic slant may lean
      // a pixel or two past its end.
      LayeredSurface target(single.width + 2 * kOrigin.x, single.height + 2 * kOrigin.y);
      const LayeredSurface blank = target;
      canvas.DrawText(target, once, font, 0x00FFFFFF, kOrigin);
      const Ink ink = InkOf(target, blank);
      const int slant = font.italic ? 3 : 1;
      QV_EXPECT(ink.pixels > single.width);  // more than a line's worth: letters, not specks
      QV_EXPECT(ink.left >= kOrigin.x - 1 && ink.top >= kOrigin.y - 1);
      QV_EXPECT(ink.right <= kOrigin.x + single.width - 1 + slant && ink.bottom <= kOrigin.y + single.height);
      // Antialiased edges, a solid core of the asked colour; every edge
      // pixel a valid premultiplied one, or the window shows light fringes.
      QV_EXPECT(Near(Strongest(target), PackBgra(255, 255, 255, 255)));
      bool premultiplied = true;
      int partial = 0;
      for (std::uint32_t p : target.pixels) {
        premultiplied &= RedOf(p) <= AlphaOf(p) && GreenOf(p) <= AlphaOf(p) && BlueOf(p) <= AlphaOf(p);
        partial += AlphaOf(p) > 0 && AlphaOf(p) < 255;
      }
      QV_EXPECT(premultiplied);
      QV_EXPECT(partial > 0);
    }
  }

  // Underline and strikeout: a line across the whole text, under the
  // letters and through their middle; the size stays.
  {
    const FontDesc plain{"Tahoma", 14};
    FontDesc underlined = plain;
    underlined.underline = true;
    FontDesc struck = plain;
    struck.strikeout = true;
    const Size size = canvas.MeasureText("Quorvel", plain);
    QV_EXPECT(canvas.MeasureText("Quorvel", underlined) == size && canvas.MeasureText("Quorvel", struck) == size);
    // The fullest row of the drawn text: how many of its pixels are mostly covered, and where.
    auto fullestRow = [&](const FontDesc& font) {
      LayeredSurface target(size.width + 8, size.height + 8);
      canvas.DrawText(target, "Quorvel", font, 0x00FFFFFF, Point{4, 4});
      std::pair<int, int> best{0, -1};
      for (int y = 0; y < target.height; ++y) {
        int covered = 0;
        for (int x = 0; x < target.width; ++x) covered += AlphaOf(target.At(x, y)) > 128;
        if (covered > best.first) best = {covered, y - 4};
      }
      return best;
    };
    const auto [plainCovered, plainRow] = fullestRow(plain);
    const auto [underCovered, underRow] = fullestRow(underlined);
    const auto [struckCovered, struckRow] = fullestRow(struck);
    QV_EXPECT(plainCovered < size.width * 8 / 10);
    QV_EXPECT(underCovered >= size.width * 9 / 10 && underRow > size.height * 2 / 3 && underRow < size.height);
    QV_EXPECT(struckCovered >= size.width * 9 / 10 && struckRow > size.height / 4 && struckRow < size.height * 2 / 3);
  }

  // Two different characters look different: a face without Chinese glyphs
  // would give two identical empty boxes.
  {
    LayeredSurface first(40, 40);
    LayeredSurface second(40, 40);
    canvas.DrawText(first, "提", label, 0x00E9E9E9, Point{2, 2});
    canvas.DrawText(second, "示", label, 0x00E9E9E9, Point{2, 2});
    QV_EXPECT(first.pixels != second.pixels);
  }

  // The colour is 0x00BBGGRR; drawn over what is there, the rest untouched.
  struct ColourCase {
    std::uint32_t colour;
    std::uint32_t pixel;
  };
  for (const ColourCase& c :
       {ColourCase{0x000000FF, PackBgra(0, 0, 255, 255)}, ColourCase{0x0000C000, PackBgra(0, 192, 0, 255)}}) {
    LayeredSurface target(60, 30);
    canvas.DrawText(target, "Wm", FontDesc{"Tahoma", 14, true}, c.colour, Point{4, 4});
    const std::uint32_t strongest = Strongest(target);
    if (!Near(strongest, c.pixel)) {
      char text[80];
      std::snprintf(text, sizeof text, "text colour %06X drawn as %08X", c.colour, strongest);
      Note(text);
    }
    QV_EXPECT(Near(strongest, c.pixel));
  }
  {
    LayeredSurface target = Filled(80, 30, kBlue);
    const LayeredSurface before = target;
    const Size size = canvas.MeasureText("提示 Wm", label);
    canvas.DrawText(target, "提示 Wm", label, 0x00FFFFFF, Point{3, 2});
    const Ink ink = InkOf(target, before);
    QV_EXPECT(ink.pixels > 0);
    bool opaque = true;
    for (std::uint32_t p : target.pixels) opaque &= AlphaOf(p) == 255;
    QV_EXPECT(opaque);
    QV_EXPECT(ink.left >= 2 && ink.top >= 1 && ink.right <= 3 + size.width && ink.bottom <= 2 + size.height);
  }

  // Nothing to say: no size, no ink.
  QV_EXPECT(canvas.MeasureText("", label) == (Size{0, 0}));
  LayeredSurface target(10, 10);
  canvas.DrawText(target, "", label, 0x00FFFFFF, Point{0, 0});
  canvas.DrawText(target, "Quorvel", label, 0x00FFFFFF, Point{-200, -200});  // all outside
  QV_EXPECT(Area(target, 0, 0, 10, 10, 0));
  LayeredSurface empty;
  canvas.DrawText(empty, "Quorvel", label, 0x00FFFFFF, Point{0, 0});
}

}  // namespace

void CheckCanvas() {
  Win32Canvas canvas;

  // Pictures are drawn by the shared resampler, checked with the core's
  // tests; here only what is the system's: text.
  CheckTextDrawing(canvas);
}

}  // namespace qv::win32::check
