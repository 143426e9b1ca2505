#include <gtest/gtest.h>

#include "platform/Geometry.h"

namespace qv {
namespace {

struct ScaleCase {
  int logical;
  int dpi;
  int physical;
};

// Halves round away from zero both ways; 120 DPI is the awkward 125 %.
TEST(DpiScaleTest, LengthsScaleAndRoundLikeMulDiv) {
  const ScaleCase cases[] = {
      {0, 144, 0},   {1, 144, 2},     {3, 144, 5},     {-1, 144, -2},   {-3, 144, -5},   {300, 144, 450},
      {50, 120, 63}, {-50, 120, -63}, {7, 192, 14},    {48, 96, 48},    {-48, 96, -48},  {1, 120, 1},
      {2, 120, 3},   {1000000, 192, 2000000},
  };
  for (const ScaleCase& c : cases) {
    EXPECT_EQ(ScaleForDpi(c.logical, c.dpi), c.physical) << c.logical << " at " << c.dpi;
  }
}

TEST(DpiScaleTest, PhysicalBackToLogicalIsTheNearestLength) {
  for (const int dpi : {96, 120, 144, 168, 192, 288}) {
    for (int logical = -400; logical <= 400; ++logical) {
      ASSERT_EQ(UnscaleForDpi(ScaleForDpi(logical, dpi), dpi), logical) << logical << " at " << dpi;
    }
  }
  EXPECT_EQ(UnscaleForDpi(5, 0), 5);
}

TEST(DpiScaleTest, RectsScaleEachNumberSoSurfaceAndWindowAgree) {
  const Rect r{-7, 13, 25, 51};
  const Rect s = ScaleForDpi(r, 144);
  EXPECT_EQ(s, (Rect{-11, 20, 38, 77}));
  EXPECT_EQ(s.width, ScaleForDpi(r.width, 144));
  EXPECT_EQ(UnscaleForDpi(s, 144), r);
}

}  // namespace
}  // namespace qv
