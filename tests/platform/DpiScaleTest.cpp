#include <gtest/gtest.h>

#include "picture/DpiPictures.h"
#include "platform/Geometry.h"
#include "platform/win32/FormLayout.h"

namespace qv {
namespace {

// Halves round away from zero both ways; 120 DPI is the awkward 125 %.
TEST(DpiScaleTest, LengthsScaleAndRoundLikeMulDiv) {
  const struct { int logical, dpi, physical; } cases[] = {
      {0, 144, 0},  {1, 144, 2},  {-1, 144, -2},  {-3, 144, -5}, {50, 120, 63},
      {-50, 120, -63}, {1, 120, 1}, {48, 96, 48}, {1000000, 192, 2000000},
  };
  for (const auto& c : cases) EXPECT_EQ(ScaleForDpi(c.logical, c.dpi), c.physical) << c.logical << " at " << c.dpi;
  const Rect r{-7, 13, 25, 51};
  EXPECT_EQ(ScaleForDpi(r, 144), (Rect{-11, 20, 38, 77}));  // each number, so surface and window agree
  EXPECT_EQ(UnscaleForDpi(ScaleForDpi(r, 144), 144), r);
}

TEST(DpiScaleTest, PhysicalBackToLogicalIsTheNearestLength) {
  for (const int dpi : {96, 120, 144, 168, 192, 288}) {
    for (int logical = -400; logical <= 400; ++logical) {
      ASSERT_EQ(UnscaleForDpi(ScaleForDpi(logical, dpi), dpi), logical) << logical << " at " << dpi;
    }
  }
  EXPECT_EQ(UnscaleForDpi(5, 0), 5);
}

// Rects cut at logical edges still meet when scaled, without a gap or an
// overlap, and end exactly at the scaled whole: for the pictures' slices and
// the dialogs' controls alike.
TEST(DpiScaleTest, EdgesOfAdjoiningRectsStillMeet) {
  for (Rect (*scale)(const Rect&, int) : {&picture::ScaleEdges, &win32::ScaleEdges}) {
    for (int dpi = 96; dpi <= 288; dpi += 6) {
      for (int start = -3; start < 40; ++start) {
        int left = start, x = ScaleForDpi(start, dpi);
        for (const int width : {7, 5, 1, 0, 25}) {
          const Rect part = scale({left, 0, width, 10}, dpi);
          ASSERT_EQ(part.left, x) << left << " at " << dpi;
          x = part.Right();
          left += width;
        }
        ASSERT_EQ(x, ScaleForDpi(left, dpi)) << dpi;
      }
    }
  }
}

}  // namespace
}  // namespace qv
