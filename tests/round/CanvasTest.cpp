#include "platform/headless/SoftwareCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace qv::headless {
namespace {

LayeredSurface Flat(int width, int height, std::uint32_t pixel) {
  LayeredSurface s(width, height);
  s.pixels.assign(s.pixels.size(), pixel);
  return s;
}

// Random premultiplied pixels: the worst case for a filter's overshoot.
LayeredSurface Noise(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  LayeredSurface s(width, height);
  for (std::uint32_t& p : s.pixels) {
    const int a = static_cast<int>(random() % 4 == 0 ? 255 : random() % 256);
    auto channel = [&] { return static_cast<std::uint8_t>(a == 0 ? 0 : static_cast<int>(random() % (a + 1))); };
    p = PackBgra(channel(), channel(), channel(), static_cast<std::uint8_t>(a));
  }
  return s;
}

DrawParams Params(RectF destination, Blend blend = Blend::SourceCopy, double degrees = 0, PointF pivot = {}) {
  return {destination, nullptr, degrees, pivot, blend};
}

TEST(CanvasTest, FullSizeCopyIsExactAndClipped) {
  const LayeredSurface picture = Noise(20, 20, 1);
  const struct { int targetSide; double x, y; Blend blend; std::uint32_t background; } cases[] = {
      {20, 0, 0, Blend::SourceOver, 0},            {30, 5, 7, Blend::SourceCopy, 0x80402010},
      {10, -15, 3, Blend::SourceCopy, 0xFF010203}, {10, 5, -19, Blend::SourceCopy, 0xFF010203},
  };
  SoftwareCanvas canvas;
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.targetSide << " at " << c.x << ", " << c.y);
    LayeredSurface target = Flat(c.targetSide, c.targetSide, c.background);
    canvas.DrawImage(target, picture, Params({c.x, c.y, 20, 20}, c.blend));
    for (int y = 0; y < target.height; ++y)
      for (int x = 0; x < target.width; ++x) {
        const int px = x - static_cast<int>(c.x), py = y - static_cast<int>(c.y);
        const bool inside = px >= 0 && py >= 0 && px < 20 && py < 20;
        ASSERT_EQ(target.At(x, y), inside ? picture.At(px, py) : c.background) << x << ", " << y;
      }
  }
}

TEST(CanvasTest, ScaledPartKeepsItsFlatColour) {
  // Four flat quarters, one drawn at a time: only its colour shows, no
  // bleeding from the neighbours, over exactly the pixels whose centres lie
  // inside the destination.
  constexpr std::uint32_t kQuarters[] = {0xFF0000FF, 0xC8B47850, 0xFFFF0000, 0x80404040};
  const struct { const char* what; int width, height; RectF destination; } cases[] = {  // sizes of each quarter
      {"half as large", 40, 40, {0, 0, 20, 20}},
      {"a clock hand strip", 23, 230, {51.75, 0, 11.5, 115}},
      {"three pixels to seven", 3, 3, {2, 3, 7, 7}},
      {"thin to wide", 1, 50, {0, 0, 60, 10}},
  };
  SoftwareCanvas canvas;
  for (int q = 0; q < 4; ++q) {
    const auto& c = cases[q];
    SCOPED_TRACE(c.what);
    LayeredSurface quarters(2 * c.width, 2 * c.height);
    for (int y = 0; y < quarters.height; ++y)
      for (int x = 0; x < quarters.width; ++x) quarters.At(x, y) = kQuarters[(y / c.height) * 2 + x / c.width];
    const RectF source{1.0 * c.width * (q % 2), 1.0 * c.height * (q / 2), 1.0 * c.width, 1.0 * c.height};
    DrawParams params = Params(c.destination);
    params.source = &source;
    LayeredSurface target(120, 120);
    canvas.DrawImage(target, quarters, params);
    const RectF& d = c.destination;
    for (int y = 0; y < target.height; ++y)
      for (int x = 0; x < target.width; ++x) {
        const bool inside = x + 0.5 >= d.x && x + 0.5 < d.x + d.width && y + 0.5 >= d.y && y + 0.5 < d.y + d.height;
        ASSERT_EQ(target.At(x, y), inside ? kQuarters[q] : 0u) << x << ", " << y;
      }
  }
}

TEST(CanvasTest, RotationTurnsClockwiseOnScreen) {
  // One opaque marker pixel right of the middle of a 21 × 21 picture.
  LayeredSurface picture(21, 21);
  constexpr std::uint32_t kMarker = 0xFFC08040;
  picture.At(15, 10) = kMarker;
  // The picture's top left corner goes to `corner`, turned about its centre unless the corner is 30;
  // the marker lands on (x, y).
  const struct { double degrees, corner; int targetSide, x, y; } cases[] = {
      {90, 0, 21, 10, 15},  // right of the centre turns to below it
      {-90, 0, 21, 10, 5},   {450, 0, 21, 10, 15},
      {90, 30, 60, 19, 45},  // about the corner: (15.5, 10.5) from it turns to (-10.5, 15.5)
  };
  SoftwareCanvas canvas;
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.degrees << " degrees, corner at " << c.corner);
    LayeredSurface target(c.targetSide, c.targetSide);
    const PointF pivot = c.corner ? PointF{c.corner, c.corner} : PointF{10.5, 10.5};
    canvas.DrawImage(target, picture, Params({c.corner, c.corner, 21, 21}, Blend::SourceOver, c.degrees, pivot));
    for (int y = 0; y < target.height; ++y)
      for (int x = 0; x < target.width; ++x) ASSERT_EQ(target.At(x, y), x == c.x && y == c.y ? kMarker : 0u) << x << ", " << y;
  }
}

TEST(CanvasTest, SourceOverBlendsPremultipliedColours) {
  // Each channel: source + target × (255 − source alpha) / 255, rounded.
  const struct { std::uint32_t source, target, result; } cases[] = {
      {0x80643219, 0xFF3264C8, 0xFF7D647D},  // 100 + 50 × 127 / 255 = 124.9
      {0x80643219, 0x40102030, 0xA06C4231},  // over a half-clear target
      {0x01010101, 0xFFFFFFFF, 0xFFFFFFFF},  // alpha 1
      {0xFE000000, 0xFFFFFFFF, 0xFF010101},  // alpha 254: 255 / 255 of white shows
      {0x00000000, 0xFF3264C8, 0xFF3264C8},  // clear leaves the target
      {0xFF102030, 0x80404040, 0xFF102030},  // opaque replaces it
  };
  SoftwareCanvas canvas;
  // Scaled (filtered) and at its own size (copied pixel for pixel): the same blend.
  for (const double side : {6.0, 3.0})
    for (const auto& c : cases) {
      LayeredSurface target = Flat(6, 6, c.target);
      canvas.DrawImage(target, Flat(3, 3, c.source), Params({0, 0, side, side}, Blend::SourceOver));
      for (int i = 0; i < 36; ++i)
        ASSERT_EQ(target.pixels[i], i % 6 < side && i / 6 < side ? c.result : c.target)
            << std::hex << c.source << " over " << c.target << " at side " << side;
    }
}

TEST(CanvasTest, ColourNeverExceedsAlphaAndAbsurdDrawsStayInside) {
  SoftwareCanvas canvas;
  // A destination far larger than the target still covers all of it.
  LayeredSurface covered(10, 10);
  canvas.DrawImage(covered, Flat(4, 4, 0x80402010), Params({-1e12, -1e12, 2e12, 2e12}));
  for (const std::uint32_t px : covered.pixels) ASSERT_EQ(px, 0x80402010u) << std::hex << px;

  // Noise at odd scales and angles rings hardest; absurd requests may draw anything but stay sane.
  const LayeredSurface picture = Noise(31, 29, 4);
  const RectF part{5.5, 3.25, 17, 19};
  constexpr double kHuge = 1e12;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (const Blend blend : {Blend::SourceCopy, Blend::SourceOver}) {
    DrawParams draws[] = {
        Params({3.3, 1.7, 11.2, 9.9}, blend),           Params({-4, 2, 83, 47}, blend, 33, {32, 32}),
        Params({0, 0, 64, 64}, blend, 217.5, {32, 32}),
        Params({0, 0, kHuge, 1}, blend),                Params({0, 0, 1e-12, 1e-12}, blend),
        Params({nan, 0, 10, 10}, blend),                Params({0, 0, 10, 10}, blend, nan),
        Params({0, 0, 10, 10}, blend, 45, {kHuge, -kHuge}), Params({0, 0, -10, 10}, blend),
    };
    draws[2].source = &part;
    for (const DrawParams& d : draws) {
      LayeredSurface target = Noise(64, 64, 5);
      canvas.DrawImage(target, picture, d);
      for (const std::uint32_t p : target.pixels)
        ASSERT_LE(std::max({BlueOf(p), GreenOf(p), RedOf(p)}), AlphaOf(p)) << std::hex << p;
    }
  }
}

}  // namespace
}  // namespace qv::headless
