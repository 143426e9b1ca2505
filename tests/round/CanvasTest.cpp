#include "platform/headless/SoftwareCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace qv::headless {
namespace {

std::string Describe(std::uint32_t p) {
  std::ostringstream out;
  out << "B" << int{BlueOf(p)} << " G" << int{GreenOf(p)} << " R" << int{RedOf(p)} << " A" << int{AlphaOf(p)};
  return out.str();
}

LayeredSurface Flat(int width, int height, std::uint32_t pixel) {
  LayeredSurface s(width, height);
  s.pixels.assign(s.pixels.size(), pixel);
  return s;
}

// Every pixel a random colour no brighter than its random alpha: the worst
// case for a filter's overshoot.
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
  DrawParams p;
  p.destination = destination;
  p.blend = blend;
  p.rotationDegrees = degrees;
  p.pivot = pivot;
  return p;
}

RectF Whole(const LayeredSurface& s) { return {0, 0, static_cast<double>(s.width), static_cast<double>(s.height)}; }

// ---- copies and scaling ----------------------------------------------------------

TEST(CanvasTest, FullSizeCopyIsExact) {
  const LayeredSurface picture = Noise(37, 23, 1);
  const struct {
    const char* what;
    int targetWidth, targetHeight;
    double x, y;
    Blend blend;
    std::uint32_t background;
  } cases[] = {
      {"same size, replacing", 37, 23, 0, 0, Blend::SourceCopy, 0xFF123456},
      {"same size, over nothing", 37, 23, 0, 0, Blend::SourceOver, 0},
      {"inside a larger target", 50, 40, 5, 7, Blend::SourceCopy, 0x80402010},
  };
  SoftwareCanvas canvas;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    LayeredSurface target = Flat(c.targetWidth, c.targetHeight, c.background);
    canvas.DrawImage(target, picture, Params({c.x, c.y, 37, 23}, c.blend));
    int wrong = 0;
    for (int y = 0; y < target.height; ++y) {
      for (int x = 0; x < target.width; ++x) {
        const int px = x - static_cast<int>(c.x), py = y - static_cast<int>(c.y);
        const bool inside = px >= 0 && py >= 0 && px < picture.width && py < picture.height;
        const std::uint32_t want = inside ? picture.At(px, py) : c.background;
        if (target.At(x, y) != want && ++wrong < 5)
          ADD_FAILURE() << "(" << x << ", " << y << "): " << Describe(target.At(x, y)) << ", want " << Describe(want);
      }
    }
  }
}

TEST(CanvasTest, ScalingKeepsAFlatColourFlat) {
  // Premultiplied: no colour above the alpha.
  constexpr std::uint32_t kColour = 0xC8B47850;
  const struct {
    const char* what;
    int pictureWidth, pictureHeight;
    RectF destination;
  } cases[] = {
      {"twice as large", 20, 20, {0, 0, 40, 40}},
      {"half as large", 40, 40, {0, 0, 20, 20}},
      {"the clock face", 230, 230, {0, 0, 115, 115}},
      {"a clock hand strip", 23, 230, {51.75, 0, 11.5, 115}},
      {"three pixels to seven", 3, 3, {2, 3, 7, 7}},
      {"thin to wide", 1, 50, {0, 0, 60, 10}},
  };
  SoftwareCanvas canvas;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    LayeredSurface target(120, 120);
    canvas.DrawImage(target, Flat(c.pictureWidth, c.pictureHeight, kColour), Params(c.destination));
    const RectF& d = c.destination;
    int wrong = 0;
    int covered = 0;
    for (int y = 0; y < target.height; ++y) {
      for (int x = 0; x < target.width; ++x) {
        // A pixel belongs to the drawing when its centre lies inside the destination.
        const bool inside = x + 0.5 >= d.x && x + 0.5 < d.x + d.width && y + 0.5 >= d.y && y + 0.5 < d.y + d.height;
        covered += inside;
        const std::uint32_t want = inside ? kColour : 0u;
        if (target.At(x, y) != want && ++wrong < 5)
          ADD_FAILURE() << "(" << x << ", " << y << "): " << Describe(target.At(x, y)) << ", want " << Describe(want);
      }
    }
    EXPECT_GT(covered, 0);
  }
}

TEST(CanvasTest, ScaledEdgeLandsWhereExpected) {
  // The left half opaque white, the right half clear: drawn at any scale the
  // edge sits at the destination's middle, and the two pixels beside it are
  // mirror images (the filter is symmetric), far pixels untouched by the blur.
  const struct {
    int pictureWidth;
    int drawnWidth;
    int blur;  // pixels beside the edge that may be partial
  } cases[] = {{20, 20, 0}, {20, 40, 3}, {40, 20, 2}, {60, 20, 2}, {16, 48, 4}};
  SoftwareCanvas canvas;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.pictureWidth) + " to " + std::to_string(c.drawnWidth));
    LayeredSurface picture(c.pictureWidth, 4);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < c.pictureWidth / 2; ++x) picture.At(x, y) = 0xFFFFFFFF;
    LayeredSurface target(c.drawnWidth, 4);
    canvas.DrawImage(target, picture, Params({0, 0, static_cast<double>(c.drawnWidth), 4}));
    const int edge = c.drawnWidth / 2;
    std::vector<int> alpha;
    for (int x = 0; x < c.drawnWidth; ++x) {
      alpha.push_back(AlphaOf(target.At(x, 2)));
      EXPECT_EQ(target.At(x, 2), target.At(x, 0)) << "rows differ at " << x;
    }
    EXPECT_GE(alpha[edge - 1], 128);
    EXPECT_LT(alpha[edge], 128);
    EXPECT_NEAR(alpha[edge - 1] + alpha[edge], 255, 1);
    for (int x = 1; x < c.drawnWidth; ++x) EXPECT_LE(alpha[x], alpha[x - 1]) << "not falling at " << x;
    for (int x = 0; x < c.drawnWidth; ++x) {
      if (x < edge - c.blur) {
        EXPECT_EQ(target.At(x, 2), 0xFFFFFFFFu) << x;
      }
      if (x >= edge + c.blur) {
        EXPECT_EQ(target.At(x, 2), 0u) << x;
      }
    }
  }
}

TEST(CanvasTest, SourceRectanglePicksThatPart) {
  // Four flat quarters: a part scaled up shows only its own colour, with no
  // bleeding from the neighbours beyond its edges.
  constexpr std::uint32_t kQuarters[] = {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0x80404040};
  LayeredSurface quarters(20, 20);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) quarters.At(x, y) = kQuarters[(y / 10) * 2 + x / 10];
  SoftwareCanvas canvas;
  for (int q = 0; q < 4; ++q) {
    const RectF source{10.0 * (q % 2), 10.0 * (q / 2), 10, 10};
    LayeredSurface target(30, 30);
    DrawParams params = Params({0, 0, 30, 30});
    params.source = &source;
    canvas.DrawImage(target, quarters, params);
    for (const std::uint32_t p : target.pixels) ASSERT_EQ(p, kQuarters[q]) << "quarter " << q << ": " << Describe(p);
  }

  // At full size a part is copied exactly.
  const LayeredSurface noise = Noise(16, 16, 2);
  const RectF part{3, 4, 7, 5};
  LayeredSurface target(7, 5);
  DrawParams params = Params({0, 0, 7, 5});
  params.source = &part;
  canvas.DrawImage(target, noise, params);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) EXPECT_EQ(target.At(x, y), noise.At(x + 3, y + 4)) << x << ", " << y;
}

// ---- rotation -------------------------------------------------------------------

TEST(CanvasTest, RotationTurnsClockwiseOnScreen) {
  // One opaque marker pixel right of the middle of a 21 × 21 picture.
  LayeredSurface picture(21, 21);
  constexpr std::uint32_t kMarker = 0xFFC08040;
  picture.At(15, 10) = kMarker;
  const struct {
    double degrees;
    PointF pivot;
    RectF destination;
    int targetSide;
    int x, y;  // where the marker lands
  } cases[] = {
      {0, {10.5, 10.5}, {0, 0, 21, 21}, 21, 15, 10},
      {90, {10.5, 10.5}, {0, 0, 21, 21}, 21, 10, 15},  // right of the centre turns to below it
      {180, {10.5, 10.5}, {0, 0, 21, 21}, 21, 5, 10},
      {270, {10.5, 10.5}, {0, 0, 21, 21}, 21, 10, 5},
      {-90, {10.5, 10.5}, {0, 0, 21, 21}, 21, 10, 5},
      {450, {10.5, 10.5}, {0, 0, 21, 21}, 21, 10, 15},
      // About the picture's top left corner placed at (30, 30): (45.5, 40.5)
      // is (15.5, 10.5) from the pivot and turns to (-10.5, 15.5).
      {90, {30, 30}, {30, 30, 21, 21}, 60, 19, 45},
  };
  SoftwareCanvas canvas;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.degrees) + " degrees about " + std::to_string(c.pivot.x));
    LayeredSurface target(c.targetSide, c.targetSide);
    canvas.DrawImage(target, picture, Params(c.destination, Blend::SourceOver, c.degrees, c.pivot));
    for (int y = 0; y < target.height; ++y)
      for (int x = 0; x < target.width; ++x)
        ASSERT_EQ(target.At(x, y), x == c.x && y == c.y ? kMarker : 0u)
            << "(" << x << ", " << y << "): " << Describe(target.At(x, y));
  }
}

TEST(CanvasTest, ClockHandStripPointsWhereItIsTurned) {
  // A hand as the clock pictures hold it: a 23 × 230 strip, the hand in the
  // upper half pointing to twelve, drawn one tenth of the clock wide and the
  // whole clock high about its centre.
  constexpr int kSide = 115;
  constexpr double kCentre = kSide / 2.0;
  LayeredSurface strip(23, 230);
  for (int y = 10; y < 115; ++y)
    for (int x = 8; x < 15; ++x) strip.At(x, y) = 0xFF202020;
  const RectF hand{kCentre - kSide / 20.0, 0, kSide / 10.0, kSide};
  const struct {
    double degrees;
    int dx, dy;  // the way the hand points, y down
  } cases[] = {{0, 0, -1}, {90, 1, 0}, {180, 0, 1}, {270, -1, 0}};
  SoftwareCanvas canvas;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.degrees) + " degrees");
    LayeredSurface target(kSide, kSide);
    canvas.DrawImage(target, strip, Params(hand, Blend::SourceOver, c.degrees, {kCentre, kCentre}));
    auto alphaAt = [&](int along, int across) {
      // along the hand from the centre, and across it (clockwise of it)
      const int x = static_cast<int>(kCentre) + c.dx * along - c.dy * across;
      const int y = static_cast<int>(kCentre) + c.dy * along + c.dx * across;
      return int{AlphaOf(target.At(x, y))};
    };
    for (const int along : {10, 30, 45}) {
      EXPECT_EQ(alphaAt(along, 0), 255) << along << " along the hand";
      EXPECT_EQ(alphaAt(-along, 0), 0) << along << " behind the hand";
      EXPECT_EQ(alphaAt(0, along), 0) << along << " beside the hand";
      EXPECT_EQ(alphaAt(0, -along), 0) << along << " on the other side";
    }
  }
}

// ---- blending ----------------------------------------------------------------------

TEST(CanvasTest, SourceCopyReplacesWhatIsUnderThePicture) {
  SoftwareCanvas canvas;
  LayeredSurface target = Flat(8, 8, 0xFF0000FF);
  canvas.DrawImage(target, Flat(4, 4, 0x80402010), Params({2, 2, 4, 4}));
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool inside = x >= 2 && x < 6 && y >= 2 && y < 6;
      EXPECT_EQ(target.At(x, y), inside ? 0x80402010u : 0xFF0000FFu) << x << ", " << y;
    }
  // A clear plate stretched over the whole surface wipes it, as every clock frame starts.
  canvas.DrawImage(target, LayeredSurface(115, 115), Params(Whole(target)));
  for (const std::uint32_t p : target.pixels) ASSERT_EQ(p, 0u);
}

TEST(CanvasTest, SourceOverBlendsPremultipliedColours) {
  // Each channel: source + target × (255 − source alpha) / 255, rounded.
  const struct {
    std::uint32_t source, target, result;
  } cases[] = {
      {0x80643219, 0xFF3264C8, 0xFF7D647D},  // 100 + 50 × 127 / 255 = 124.9
      {0x80643219, 0x40102030, 0xA06C4231},  // over a half-clear target
      {0x40000040, 0x80800000, 0xA0600040},
      {0x01010101, 0xFFFFFFFF, 0xFFFFFFFF},  // alpha 1
      {0xFE000000, 0xFFFFFFFF, 0xFF010101},  // alpha 254: 255 / 255 of white shows
      {0x00000000, 0xFF3264C8, 0xFF3264C8},  // clear leaves the target
      {0xFF102030, 0xFF3264C8, 0xFF102030},  // opaque replaces it
      {0x80808080, 0x00000000, 0x80808080},  // over nothing
  };
  SoftwareCanvas canvas;
  for (const auto& c : cases) {
    LayeredSurface target = Flat(6, 6, c.target);
    canvas.DrawImage(target, Flat(3, 3, c.source), Params({0, 0, 6, 6}, Blend::SourceOver));
    for (const std::uint32_t p : target.pixels)
      ASSERT_EQ(p, c.result) << Describe(c.source) << " over " << Describe(c.target) << " gave " << Describe(p)
                             << ", want " << Describe(c.result);
  }
}

// ---- clipping and invariants -----------------------------------------------------

TEST(CanvasTest, DrawingPartlyOutsideIsClipped) {
  const LayeredSurface picture = Noise(20, 20, 3);
  SoftwareCanvas canvas;
  const struct {
    double x, y;
  } offsets[] = {{-5, -5}, {8, 8}, {-15, 3}, {5, -19}, {10, 10}, {-20, 0}, {100, 100}};
  for (const auto& o : offsets) {
    SCOPED_TRACE(std::to_string(o.x) + ", " + std::to_string(o.y));
    LayeredSurface target = Flat(10, 10, 0xFF010203);
    canvas.DrawImage(target, picture, Params({o.x, o.y, 20, 20}));
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 10; ++x) {
        const int px = x - static_cast<int>(o.x), py = y - static_cast<int>(o.y);
        const bool inside = px >= 0 && py >= 0 && px < 20 && py < 20;
        ASSERT_EQ(target.At(x, y), inside ? picture.At(px, py) : 0xFF010203u) << x << ", " << y;
      }
  }

  // A destination far larger than the target still covers all of it.
  LayeredSurface covered(10, 10);
  canvas.DrawImage(covered, Flat(4, 4, 0x80402010), Params({-1e12, -1e12, 2e12, 2e12}));
  for (const std::uint32_t px : covered.pixels) ASSERT_EQ(px, 0x80402010u) << Describe(px);

  // Absurd requests draw nothing, or something, but stay inside the target.
  constexpr double kHuge = 1e12;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const DrawParams absurd[] = {
      Params({-kHuge, -kHuge, 2 * kHuge, 2 * kHuge}),
      Params({0, 0, kHuge, 1}),
      Params({0, 0, 1e-12, 1e-12}),
      Params({nan, 0, 10, 10}),
      Params({0, 0, 10, 10}, Blend::SourceOver, nan),
      Params({0, 0, 10, 10}, Blend::SourceOver, 45, {kHuge, -kHuge}),
      Params({0, 0, 0, 10}),
      Params({0, 0, -10, 10}),
  };
  for (const DrawParams& p : absurd) {
    LayeredSurface target(10, 10);
    canvas.DrawImage(target, picture, p);
    for (const std::uint32_t px : target.pixels) ASSERT_LE(RedOf(px), AlphaOf(px));
  }
  const RectF hugeSource{0, 0, kHuge, kHuge};
  DrawParams p = Params({0, 0, 10, 10});
  p.source = &hugeSource;
  LayeredSurface target(10, 10);
  canvas.DrawImage(target, picture, p);
}

TEST(CanvasTest, ColourNeverExceedsAlpha) {
  // Noise filtered at odd scales and angles rings hardest; both blends, over
  // a noisy target.
  const LayeredSurface picture = Noise(31, 29, 4);
  const RectF part{5.5, 3.25, 17, 19};
  const struct {
    RectF destination;
    double degrees;
    const RectF* source;
  } draws[] = {
      {{0, 0, 64, 64}, 0, nullptr},   {{3.3, 1.7, 11.2, 9.9}, 0, nullptr}, {{-4, 2, 83, 47}, 33, nullptr},
      {{10, 10, 40, 40}, 90, &part},  {{0, 0, 64, 64}, 217.5, &part},      {{20, 20, 7, 70}, 351, nullptr},
  };
  SoftwareCanvas canvas;
  for (const Blend blend : {Blend::SourceCopy, Blend::SourceOver}) {
    for (const auto& d : draws) {
      LayeredSurface target = Noise(64, 64, 5);
      DrawParams params = Params(d.destination, blend, d.degrees, {32, 32});
      params.source = d.source;
      canvas.DrawImage(target, picture, params);
      for (const std::uint32_t p : target.pixels) {
        ASSERT_LE(BlueOf(p), AlphaOf(p)) << Describe(p);
        ASSERT_LE(GreenOf(p), AlphaOf(p)) << Describe(p);
        ASSERT_LE(RedOf(p), AlphaOf(p)) << Describe(p);
      }
    }
  }
}

}  // namespace
}  // namespace qv::headless
