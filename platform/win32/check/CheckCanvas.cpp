// Drawing with GDI+ onto premultiplied surfaces: edges, blending, source
// parts and rotation, compared with what the picture must look like.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/win32/Canvas.h"
#include "platform/win32/check/Check.h"

namespace qv::win32::check {
namespace {

constexpr std::uint32_t kRed = PackBgra(0, 0, 255, 255);
constexpr std::uint32_t kBlue = PackBgra(255, 0, 0, 255);
constexpr std::uint32_t kHalfRed = PackBgra(0, 0, 128, 128);

LayeredSurface Filled(int width, int height, std::uint32_t colour) {
  LayeredSurface s(width, height);
  for (std::uint32_t& p : s.pixels) p = colour;
  return s;
}

// Left half red, right half blue.
LayeredSurface Halves(int size) {
  LayeredSurface s(size, size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) s.At(x, y) = x < size / 2 ? kRed : kBlue;
  }
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

}  // namespace

void CheckCanvas() {
  GdiPlusCanvas canvas;

  // Scaled up and down, an opaque picture stays opaque to its very edge,
  // and nothing is drawn outside the destination.
  for (double size : {8.0, 16.0, 48.0}) {
    LayeredSurface target(64, 64);
    DrawParams params;
    params.destination = {4, 4, size, size};
    canvas.DrawImage(target, Filled(16, 16, kRed), params);
    const int n = static_cast<int>(size);
    QV_EXPECT(Area(target, 4, 4, n, n, kRed));
    QV_EXPECT(Area(target, 0, 0, 64, 4, 0) && Area(target, 0, 4 + n, 64, 60 - n, 0));
    QV_EXPECT(Area(target, 0, 4, 4, n, 0) && Area(target, 4 + n, 4, 60 - n, n, 0));
  }

  // Over: half-transparent red on opaque blue mixes; copy replaces.
  {
    LayeredSurface target = Filled(8, 8, kBlue);
    DrawParams params;
    params.destination = {0, 0, 8, 8};
    canvas.DrawImage(target, Filled(8, 8, kHalfRed), params);
    QV_EXPECT(Area(target, 0, 0, 8, 8, PackBgra(127, 0, 128, 255)));
    params.blend = Blend::SourceCopy;
    canvas.DrawImage(target, Filled(8, 8, kHalfRed), params);
    QV_EXPECT(Area(target, 0, 0, 8, 8, kHalfRed));
  }

  // Copying a transparent picture clears what it covers and nothing else,
  // turned or not.
  {
    LayeredSurface target = Filled(32, 32, kBlue);
    DrawParams params;
    params.destination = {8, 0, 16, 32};
    params.blend = Blend::SourceCopy;
    canvas.DrawImage(target, LayeredSurface(4, 4), params);
    QV_EXPECT(Area(target, 8, 0, 16, 32, 0));
    QV_EXPECT(Area(target, 0, 0, 8, 32, kBlue) && Area(target, 24, 0, 8, 32, kBlue));
    params.rotationDegrees = 90;
    params.pivot = {16, 16};
    target = Filled(32, 32, kBlue);
    canvas.DrawImage(target, LayeredSurface(4, 4), params);
    QV_EXPECT(Area(target, 0, 8, 32, 16, 0));
    QV_EXPECT(Area(target, 0, 0, 32, 8, kBlue) && Area(target, 0, 24, 32, 8, kBlue));
  }

  // A part of the picture: its right half only.
  {
    LayeredSurface target(16, 16);
    const RectF right{8, 0, 8, 16};
    DrawParams params;
    params.destination = {0, 0, 16, 16};
    params.source = &right;
    canvas.DrawImage(target, Halves(16), params);
    QV_EXPECT(Area(target, 0, 0, 16, 16, kBlue));
  }

  // A quarter turn clockwise about the centre puts the left half on top.
  {
    LayeredSurface target(32, 32);
    DrawParams params;
    params.destination = {0, 0, 32, 32};
    params.rotationDegrees = 90;
    params.pivot = {16, 16};
    canvas.DrawImage(target, Halves(32), params);
    QV_EXPECT(Area(target, 2, 2, 28, 12, kRed));
    QV_EXPECT(Area(target, 2, 18, 28, 12, kBlue));
  }

  // Nothing to draw, nothing drawn.
  {
    LayeredSurface target = Filled(4, 4, kBlue);
    DrawParams params;
    params.destination = {0, 0, 0, 4};
    canvas.DrawImage(target, Filled(4, 4, kRed), params);
    params.destination = {0, 0, 4, 4};
    canvas.DrawImage(target, LayeredSurface(), params);
    QV_EXPECT(Area(target, 0, 0, 4, 4, kBlue));
  }
}

}  // namespace qv::win32::check
