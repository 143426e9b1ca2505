#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dock/RectLayout.h"
#include "tests/dock/Printers.h"

namespace qv::dock {
namespace {

std::vector<int> Sizes(const RectLayout& layout) {
  std::vector<int> sizes;
  for (const Rect& item : layout.Items) sizes.push_back(item.width);
  return sizes;
}

TEST(RectLayoutTest, MagnifyExtents) {
  struct Case {
    int rectIconPx, rectIconWd;
    MagnifyExtents expected;
  };
  const Case cases[] = {
      {50, 4, {128, 189}},
      {1, 1, {0, 50}},
      {100, 10, {640, 595}},
      {1, 10, {6, 278}},  // 6.4 truncated
      {100, 1, {64, 82}},
      {33, 7, {147, 273}},  // 147.84 and 273.5 truncated
      // Outside the dialog's ranges: brought to its nearest end.
      {0, 0, {0, 50}},
      {-5, -3, {0, 50}},
      {7005, 7005, {640, 595}},
  };
  for (const Case& c : cases) {
    const MagnifyExtents e = ComputeMagnifyExtents(c.rectIconPx, c.rectIconWd);
    EXPECT_EQ(e.MagnifyExtraMax, c.expected.MagnifyExtraMax) << c.rectIconPx << " px, " << c.rectIconWd << " wide";
    EXPECT_EQ(e.MagnifyRadius, c.expected.MagnifyRadius) << c.rectIconPx << " px, " << c.rectIconWd << " wide";
  }
}

TEST(RectLayoutTest, RoundsHalvesToEven) {
  const std::pair<double, int> cases[] = {{0.5, 0},  {1.5, 2},         {2.5, 2},   {8.5, 8},    {12.5, 12},
                                          {-0.5, 0}, {-1.5, -2},       {-2.5, -2}, {2.4999, 2}, {2.5000001, 3},
                                          {0.0, 0},  {17.5375563, 18}, {49.6, 50}};
  for (auto [value, expected] : cases) EXPECT_EQ(RoundHalfToEven(value), expected) << value;
}

// k = round(RectIconPx × (d / radius) ^ (RectIconWd / 10 + 1.1)), size = RectIconPx + 50 − k,
// each worked out by hand.
TEST(RectLayoutTest, SizeOfOneItemByDistance) {
  struct Case {
    const char* what;
    int rectIconPx, rectIconWd, distance, expected;
  };
  const Case cases[] = {
      {"defaults, under the pointer", 50, 4, 0, 100},
      {"defaults, 94 away: k = round(17.54)", 50, 4, 94, 82},
      {"defaults, 94 away on the left", 50, 4, -94, 82},
      {"defaults, a quarter radius: k = round(6.2)", 50, 4, 47, 94},
      {"defaults, 141 away: k = round(32.2)", 50, 4, 141, 68},
      {"defaults, just inside the radius: k = round(49.6)", 50, 4, 188, 50},
      {"defaults, at the radius", 50, 4, 189, 50},
      {"defaults, far away", 50, 4, 1000, 50},
      {"tie: 68 × 0.25^1.5 = 8.5 goes to 8", 68, 4, 53, 110},
      {"tie: 50 × 0.5^2 = 12.5 goes to 12", 50, 9, 197, 88},
      {"1 px, 1 wide, under the pointer", 1, 1, 0, 51},
      {"1 px, 1 wide, half the radius: k = round(0.435)", 1, 1, 25, 51},
      {"1 px, 1 wide, 30 of 50: k = round(0.541)", 1, 1, 30, 50},
      {"1 px, 10 wide: k = round(0.07)", 1, 10, 100, 51},
      {"100 px, 10 wide, under the pointer", 100, 10, 0, 150},
      {"100 px, 10 wide, half way: k = round(23.2)", 100, 10, 297, 127},
      {"100 px, 10 wide, a pixel inside the radius", 100, 10, 594, 50},
      {"100 px, 1 wide, half way: k = round(43.5)", 100, 1, 41, 106},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MagnifiedItemSize(c.rectIconPx, c.rectIconWd, c.distance), c.expected) << c.what;
}

TEST(RectLayoutTest, RestingPlacementAtTheTopAndTheBottom) {
  struct Case {
    const char* what;
    int rectPosition, itemCount;
    Rect screen;
    int barHeight;
    Rect bar, firstItem, lastItem;
  };
  const Case cases[] = {
      {"1920 × 1080, top", 0, 5, {0, 0, 1920, 1080}, 100, {810, -25, 300, 100}, {835, 6, 50, 50}, {1035, 6, 50, 50}},
      {"1920 × 1080, bottom",
       1,
       5,
       {0, 0, 1920, 1080},
       100,
       {810, 1005, 300, 100},
       {835, 1024, 50, 50},
       {1035, 1024, 50, 50}},
      {"1366 × 768, bottom",
       1,
       7,
       {0, 0, 1366, 768},
       100,
       {483, 693, 400, 100},
       {508, 712, 50, 50},
       {808, 712, 50, 50}},
      {"odd screen, taller theme, bottom",
       1,
       3,
       {0, 0, 1023, 767},
       120,
       {411, 672, 200, 120},
       {436, 691, 50, 50},
       {536, 691, 50, 50}},
      {"odd screen, top", 0, 3, {0, 0, 1023, 767}, 120, {411, -25, 200, 120}, {436, 6, 50, 50}, {536, 6, 50, 50}},
      {"a position other than 1 is the top",
       2,
       1,
       {0, 0, 800, 600},
       100,
       {350, -25, 100, 100},
       {375, 6, 50, 50},
       {375, 6, 50, 50}},
      {"a screen not at the origin",
       1,
       2,
       {100, 50, 800, 600},
       100,
       {425, 575, 150, 100},
       {450, 594, 50, 50},
       {500, 594, 50, 50}},
      {"240 items overhang a 1920 screen on both sides",
       0,
       240,
       {0, 0, 1920, 1080},
       100,
       {-5065, -25, 12050, 100},
       {-5040, 6, 50, 50},
       {6910, 6, 50, 50}},
      {"more than 240 items lay out 240",
       0,
       300,
       {0, 0, 1920, 1080},
       100,
       {-5065, -25, 12050, 100},
       {-5040, 6, 50, 50},
       {6910, 6, 50, 50}},
  };
  for (const Case& c : cases) {
    RectDockParams params;
    params.RectPosition = c.rectPosition;
    params.ItemCount = c.itemCount;
    params.Screen = c.screen;
    params.BarHeight = c.barHeight;
    const RectLayout layout = LayoutRectAtRest(params);
    EXPECT_EQ(layout.Bar, c.bar) << c.what;
    ASSERT_FALSE(layout.Items.empty()) << c.what;
    EXPECT_EQ(layout.Items.front(), c.firstItem) << c.what;
    EXPECT_EQ(layout.Items.back(), c.lastItem) << c.what;
    EXPECT_EQ(layout.Items.size(), static_cast<std::size_t>(std::min(c.itemCount, kMaxRectItems))) << c.what;
    EXPECT_FALSE(layout.Magnified) << c.what;
  }
}

TEST(RectLayoutTest, EmptyDockIsABarOfTwoCaps) {
  RectDockParams params;
  params.Screen = {0, 0, 1920, 1080};
  const RectLayout layout = LayoutRectAtRest(params);
  EXPECT_EQ(layout.Bar, (Rect{935, -25, 50, 100}));
  EXPECT_TRUE(layout.Items.empty());
  // Nothing to magnify: the inner zone has no width, so the pointer never enters.
  EXPECT_EQ(InnerZone(layout.Bar).width, 0);
  EXPECT_FALSE(EntersInnerZone(layout.Bar, {960, 20}));
}

// Eight items on a 1000-pixel screen: at rest the bar is (275, -25, 450, 100)
// and the item centres are 325, 375, ..., 675. Each row re-magnifies the
// resting row for one pointer x; sizes worked out by hand from those centres.
TEST(RectLayoutTest, RemagnifySizesAcrossTheBar) {
  struct Case {
    int rectIconPx, rectIconWd, pointerX;
    std::vector<int> sizes;
    Rect bar;
  };
  // clang-format off
  const Case cases[] = {
      // Defaults: the left end of the inner zone, on item 1's centre, between
      // items 1 and 2, on item 4's centre, the middle of the bar, the right end.
      {50, 4, 300, {98, 88, 73, 55, 50, 50, 50, 50}, {218, -25, 564, 100}},
      {50, 4, 325, {100, 93, 81, 65, 50, 50, 50, 50}, {206, -25, 589, 100}},
      {50, 4, 350, {98, 98, 88, 73, 55, 50, 50, 50}, {194, -25, 612, 100}},
      {50, 4, 475, {65, 81, 93, 100, 93, 81, 65, 50}, {161, -25, 678, 100}},
      {50, 4, 500, {55, 73, 88, 98, 98, 88, 73, 55}, {161, -25, 678, 100}},
      {50, 4, 699, {50, 50, 50, 50, 56, 73, 88, 98}, {218, -25, 565, 100}},
      // The narrowest zone: radius 82, exponent 1.2.
      {50, 1, 300, {84, 50, 50, 50, 50, 50, 50, 50}, {258, -25, 484, 100}},
      {50, 1, 325, {100, 64, 50, 50, 50, 50, 50, 50}, {243, -25, 514, 100}},
      {50, 1, 475, {50, 50, 64, 100, 64, 50, 50, 50}, {236, -25, 528, 100}},
      {50, 1, 500, {50, 50, 50, 84, 84, 50, 50, 50}, {241, -25, 518, 100}},
      {50, 1, 699, {50, 50, 50, 50, 50, 50, 50, 85}, {258, -25, 485, 100}},
      // The widest: radius 595, exponent 2.1; every item grows.
      {50, 10, 300, {100, 99, 96, 93, 87, 81, 73, 63}, {129, -25, 742, 100}},
      {50, 10, 475, {95, 98, 99, 100, 99, 98, 95, 90}, {88, -25, 824, 100}},
      {50, 10, 500, {93, 96, 99, 100, 100, 99, 96, 93}, {87, -25, 826, 100}},
      {50, 10, 699, {64, 73, 81, 88, 93, 96, 99, 100}, {128, -25, 744, 100}},
      // The least growth: one pixel at most.
      {1, 4, 325, {51, 51, 50, 50, 50, 50, 50, 50}, {274, -25, 452, 100}},
      {1, 4, 350, {51, 51, 51, 50, 50, 50, 50, 50}, {274, -25, 453, 100}},
      {1, 4, 500, {50, 50, 51, 51, 51, 51, 50, 50}, {273, -25, 454, 100}},
      // The most: 150 under the pointer, the bar wider than the screen.
      {100, 4, 325, {150, 141, 125, 104, 80, 52, 50, 50}, {99, -25, 802, 100}},
      {100, 4, 475, {104, 125, 141, 150, 141, 125, 104, 80}, {-10, -25, 1020, 100}},
      {100, 4, 500, {92, 115, 134, 147, 147, 134, 115, 92}, {-13, -25, 1026, 100}},
  };
  // clang-format on
  for (const Case& c : cases) {
    RectDockParams params{c.rectIconPx, c.rectIconWd, 0, 8, {0, 0, 1000, 700}, 100};
    const RectLayout layout = Remagnify(params, LayoutRectAtRest(params), c.pointerX);
    const std::string what = std::to_string(c.rectIconPx) + " px, " + std::to_string(c.rectIconWd) +
                             " wide, pointer at " + std::to_string(c.pointerX);
    EXPECT_EQ(Sizes(layout), c.sizes) << what;
    EXPECT_EQ(layout.Bar, c.bar) << what;
    EXPECT_TRUE(layout.Magnified) << what;
  }
}

// After the first move the distances are taken from the magnified row, whose
// odd widths put centres at left + width div 2.
TEST(RectLayoutTest, RemagnifyMeasuresFromTheCurrentCentres) {
  RectDockParams params{50, 4, 0, 8, {0, 0, 1000, 700}, 100};
  const RectLayout first = Remagnify(params, LayoutRectAtRest(params), 475);
  // Centres now 218, 291, 378, 475, 571, 658, 731, 789.
  const RectLayout second = Remagnify(params, first, 480);
  EXPECT_EQ(Sizes(second), (std::vector<int>{50, 50, 80, 100, 83, 54, 50, 50}));
  EXPECT_EQ(second.Bar, (Rect{217, -25, 567, 100}));
  EXPECT_EQ(Sizes(Remagnify(params, second, 300)), (std::vector<int>{96, 99, 86, 57, 50, 50, 50, 50}));
}

// Magnify has no item centres to go by yet: it expects the first centre at
// (1000 − 450 − 128 + 50) div 2 + 25 = 261 and moves on by each size given.
TEST(RectLayoutTest, MagnifyEstimatesCentresOfTheWidenedRow) {
  struct Case {
    int pointerX;
    std::vector<int> sizes;
    Rect bar;
  };
  const Case cases[] = {
      {300, {95, 92, 65, 50, 50, 50, 50, 50}, {224, -25, 552, 100}},
      {475, {50, 60, 80, 98, 88, 60, 50, 50}, {207, -25, 586, 100}},
      {699, {50, 50, 50, 50, 50, 50, 69, 89}, {246, -25, 508, 100}},
  };
  for (const Case& c : cases) {
    RectDockParams params{50, 4, 0, 8, {0, 0, 1000, 700}, 100};
    const RectLayout layout = Magnify(params, c.pointerX);
    EXPECT_EQ(Sizes(layout), c.sizes) << c.pointerX;
    EXPECT_EQ(layout.Bar, c.bar) << c.pointerX;
    EXPECT_TRUE(layout.Magnified);
  }
}

// Items touch, left to right from bar left + 25; at the top they hang down
// from the resting top, at the bottom their bottom edges stay on the resting
// items' bottom edge (712 + 50 on a 768-pixel screen).
TEST(RectLayoutTest, MagnifiedRowAtTheTopAndTheBottom) {
  struct Case {
    const char* what;
    int rectPosition;
    std::vector<Rect> items;
  };
  const Case cases[] = {
      {"top",
       0,
       {{369, 6, 55, 55},
        {424, 6, 73, 73},
        {497, 6, 88, 88},
        {585, 6, 98, 98},
        {683, 6, 98, 98},
        {781, 6, 88, 88},
        {869, 6, 73, 73},
        {942, 6, 55, 55}}},
      {"bottom",
       1,
       {{369, 707, 55, 55},
        {424, 689, 73, 73},
        {497, 674, 88, 88},
        {585, 664, 98, 98},
        {683, 664, 98, 98},
        {781, 674, 88, 88},
        {869, 689, 73, 73},
        {942, 707, 55, 55}}},
  };
  for (const Case& c : cases) {
    RectDockParams params{50, 4, c.rectPosition, 8, {0, 0, 1366, 768}, 100};
    const RectLayout layout = Remagnify(params, LayoutRectAtRest(params), 683);
    EXPECT_EQ(layout.Items, c.items) << c.what;
    EXPECT_EQ(layout.Bar, (Rect{344, c.rectPosition == 1 ? 693 : -25, 678, 100})) << c.what;
  }
}

TEST(RectLayoutTest, TwoHundredFortyItemsMagnifyAroundThePointer) {
  RectDockParams params{50, 4, 0, 240, {0, 0, 1920, 1080}, 100};
  const RectLayout layout = Remagnify(params, LayoutRectAtRest(params), 960);
  ASSERT_EQ(layout.Items.size(), 240u);
  // Items 117..124 (indices 116..123) have their centres within 189 of x 960.
  const std::vector<int> sizes = Sizes(layout);
  EXPECT_EQ(std::vector<int>(sizes.begin() + 116, sizes.begin() + 124),
            (std::vector<int>{55, 73, 88, 98, 98, 88, 73, 55}));
  EXPECT_EQ(std::count(sizes.begin(), sizes.end(), 50), 232);
  EXPECT_EQ(layout.Bar, (Rect{-5179, -25, 12278, 100}));
  EXPECT_EQ(layout.Items.back().Right(), layout.Bar.Right() - 25);
}

TEST(RectLayoutTest, CollapseReturnsToRestOnlyWhenMagnified) {
  RectDockParams params{50, 4, 1, 8, {0, 0, 1366, 768}, 100};
  const RectLayout rest = LayoutRectAtRest(params);
  const RectLayout magnified = Remagnify(params, rest, 683);
  const RectLayout collapsed = CollapseRectBar(params, magnified);
  EXPECT_EQ(collapsed.Bar, rest.Bar);
  EXPECT_EQ(collapsed.Items, rest.Items);
  EXPECT_FALSE(collapsed.Magnified);
  // A stale unmagnified layout is not touched: collapsing only undoes magnification.
  RectLayout stale = rest;
  stale.Bar.left += 7;
  EXPECT_EQ(CollapseRectBar(params, stale).Bar, stale.Bar);
}

TEST(RectLayoutTest, RemagnifyAfterTheItemCountChangedStartsFromRest) {
  RectDockParams params{50, 4, 0, 8, {0, 0, 1000, 700}, 100};
  const RectLayout magnified = Remagnify(params, LayoutRectAtRest(params), 475);
  params.ItemCount = 9;  // an item appended while magnified
  const RectLayout next = Remagnify(params, magnified, 500);
  ASSERT_EQ(next.Items.size(), 9u);
  // Resting centres of nine items on 1000: 300, 350, ..., 700; 500 is item 5's.
  EXPECT_EQ(next.Items[4].width, 100);
}

TEST(RectLayoutTest, ItemPictureSize) {
  const std::pair<int, int> cases[] = {{50, 48}, {51, 50}, {100, 99}, {150, 149}, {1, 0}, {0, 0}};
  for (auto [side, expected] : cases) EXPECT_EQ(RectItemIconSize(side), expected) << side;
}

}  // namespace
}  // namespace qv::dock
