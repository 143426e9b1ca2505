#include <gtest/gtest.h>

#include <vector>

#include "dock/BarSlices.h"
#include "tests/dock/Printers.h"

namespace qv::dock {
namespace {

struct SliceCase {
  const char* what;
  Size bar, theme;
  std::vector<BarSlice> expected;  // in drawing order
};

TEST(BarSlicesTest, CapsAtTheirOwnSizeMiddleStretched) {
  // clang-format off
  const SliceCase cases[] = {
      {"eight items on the shipped 128 × 100 theme", {450, 100}, {128, 100},
       {{{0, 0, 25, 100}, {0, 0, 25, 100}},
        {{25, 0, 78, 100}, {25, 0, 400, 100}},
        {{103, 0, 25, 100}, {425, 0, 25, 100}}}},
      {"a middle of one column", {150, 100}, {51, 100},
       {{{0, 0, 25, 100}, {0, 0, 25, 100}},
        {{25, 0, 1, 100}, {25, 0, 100, 100}},
        {{26, 0, 25, 100}, {125, 0, 25, 100}}}},
      {"a bar narrower than the picture squeezes the middle", {60, 94}, {300, 94},
       {{{0, 0, 25, 94}, {0, 0, 25, 94}},
        {{25, 0, 250, 94}, {25, 0, 10, 94}},
        {{275, 0, 25, 94}, {35, 0, 25, 94}}}},
      {"no items: the two caps and nothing between", {50, 100}, {128, 100},
       {{{0, 0, 25, 100}, {0, 0, 25, 100}},
        {{103, 0, 25, 100}, {25, 0, 25, 100}}}},
      {"a bar taller than a newly chosen theme keeps the picture's height", {450, 120}, {128, 100},
       {{{0, 0, 25, 100}, {0, 0, 25, 100}},
        {{25, 0, 78, 100}, {25, 0, 400, 100}},
        {{103, 0, 25, 100}, {425, 0, 25, 100}}}},
      {"no picture", {450, 100}, kNoTheme, {}},
      {"a picture no wider than its caps", {450, 100}, {50, 100}, {}},
      {"a picture too short for the items", {450, 100}, {128, 93}, {}},
      {"a picture absurdly tall", {450, 100}, {128, 401}, {}},
      {"a bar narrower than its caps", {49, 100}, {128, 100}, {}},
      {"a bar of negative width", {-20, 100}, {128, 100}, {}},
      {"a bar of no height", {450, 0}, {128, 100}, {}},
  };
  // clang-format on
  for (const SliceCase& c : cases) {
    const BarDrawing drawing = ComputeBarDrawing(c.bar, c.theme);
    const std::vector<BarSlice> slices(drawing.Slices.begin(), drawing.Slices.begin() + drawing.SliceCount);
    EXPECT_EQ(slices, c.expected) << c.what;
    EXPECT_GE(drawing.Surface.width, 0) << c.what;
    EXPECT_GE(drawing.Surface.height, 0) << c.what;
    for (const BarSlice& s : slices) {
      EXPECT_GT(s.Source.width, 0) << c.what;
      EXPECT_GT(s.Destination.width, 0) << c.what;
      EXPECT_LE(s.Source.Right(), c.theme.width) << c.what;
      EXPECT_LE(s.Destination.Right(), c.bar.width) << c.what;
    }
  }
}

TEST(BarSlicesTest, BarHeightFallsBackWithoutAUsablePicture) {
  const std::pair<Size, int> cases[] = {
      {{128, 100}, 100}, {{51, 94}, 94},   {{200, 400}, 400}, {kNoTheme, 100},
      {{50, 120}, 100},  {{128, 93}, 100}, {{128, 401}, 100}, {{-1, -1}, 100},
  };
  for (auto [theme, expected] : cases)
    EXPECT_EQ(RectBarHeight(theme), expected) << theme.width << " × " << theme.height;
}

}  // namespace
}  // namespace qv::dock
