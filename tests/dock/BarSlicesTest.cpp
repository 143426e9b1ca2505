#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "dock/BarSlices.h"
#include "tests/dock/Printers.h"

namespace qv::dock {
namespace {

TEST(BarSlicesTest, CapsAtTheirOwnSizeMiddleStretched) {
  const Rect left{0, 0, 25, 100};
  const struct {
    const char* what;
    Size bar, theme;
    std::vector<BarSlice> expected;  // in drawing order
  } cases[] = {
      {"the shipped theme", {450, 100}, {128, 100},
       {{left, left}, {{25, 0, 78, 100}, {25, 0, 400, 100}}, {{103, 0, 25, 100}, {425, 0, 25, 100}}}},
      {"a middle of one column", {150, 100}, {51, 100},
       {{left, left}, {{25, 0, 1, 100}, {25, 0, 100, 100}}, {{26, 0, 25, 100}, {125, 0, 25, 100}}}},
      {"a bar narrower than the picture", {60, 94}, {300, 94},
       {{{0, 0, 25, 94}, {0, 0, 25, 94}}, {{25, 0, 250, 94}, {25, 0, 10, 94}}, {{275, 0, 25, 94}, {35, 0, 25, 94}}}},
      {"no items: two caps", {50, 100}, {128, 100}, {{left, left}, {{103, 0, 25, 100}, {25, 0, 25, 100}}}},
      {"a bar taller than the picture keeps the picture's height", {450, 120}, {128, 100},
       {{left, left}, {{25, 0, 78, 100}, {25, 0, 400, 100}}, {{103, 0, 25, 100}, {425, 0, 25, 100}}}},
      {"no picture", {450, 100}, kNoTheme, {}},
      {"a picture no wider than its caps", {450, 100}, {50, 100}, {}},
      {"a bar narrower than its caps", {49, 100}, {128, 100}, {}},
      {"a bar of negative width", {-20, 100}, {128, 100}, {}},
      {"a bar of no height", {450, 0}, {128, 100}, {}},
  };
  for (const auto& c : cases) {
    const BarDrawing drawing = ComputeBarDrawing(c.bar, c.theme);
    EXPECT_EQ(std::vector<BarSlice>(drawing.Slices.begin(), drawing.Slices.begin() + drawing.SliceCount), c.expected)
        << c.what;
    EXPECT_EQ(drawing.Surface.width, std::max(0, c.bar.width)) << c.what;
  }
}

// The picture's height when it carries its caps and fits the items, else the shipped themes'.
TEST(BarSlicesTest, BarHeightFallsBackWithoutAUsablePicture) {
  const std::pair<Size, int> cases[] = {{{51, 94}, 94},   {{200, 400}, 400}, {kNoTheme, 100},
                                        {{50, 120}, 100}, {{128, 93}, 100},  {{128, 401}, 100}};
  for (auto [theme, expected] : cases) EXPECT_EQ(RectBarHeight(theme), expected) << theme.width << " x " << theme.height;
}

}  // namespace
}  // namespace qv::dock
