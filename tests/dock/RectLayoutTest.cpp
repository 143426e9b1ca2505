#include "dock/RectLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "tests/dock/Printers.h"

namespace qv::dock {
namespace {

std::vector<int> Sizes(const RectLayout& layout) {
  std::vector<int> sizes;
  for (const Rect& item : layout.Items) sizes.push_back(item.width);
  return sizes;
}

// Eight items on a 1000 × 700 screen; the resting bar is (275, -25, 450, 100).
RectDockParams EightItems(int rectPosition = 0) { return {50, 4, rectPosition, 8, {0, 0, 1000, 700}, 100}; }

TEST(RectLayoutTest, ExtentsTruncateAndClampTheSettings) {
  const struct { int px, wd, extra, radius; } cases[] = {
      {50, 4, 128, 189}, {1, 1, 0, 50}, {100, 10, 640, 595}, {1, 10, 6, 278}, {33, 7, 147, 273},  // 147.84, 273.5
      {0, 0, 0, 50}, {-5, -3, 0, 50}, {7005, 7005, 640, 595},
  };
  for (const auto& c : cases) {
    const MagnifyExtents e = ComputeMagnifyExtents(c.px, c.wd);
    EXPECT_EQ(std::pair(e.MagnifyExtraMax, e.MagnifyRadius), std::pair(c.extra, c.radius)) << c.px << " px, " << c.wd;
  }
}

// size = px + 50 - round(px × (|d| / radius) ^ (wd / 10 + 1.1)), worked out by hand.
TEST(RectLayoutTest, SizeOfOneItemByDistance) {
  const struct { int px, wd, distance, size; } cases[] = {
      {50, 4, 0, 100},   {50, 4, 94, 82},  {50, 4, -94, 82}, {50, 4, 188, 50},  // k = round(49.6)
      {50, 4, 189, 50},  {50, 4, 1000, 50},
      {68, 4, 53, 110},                                     // 68 × 0.25^1.5 = 8.5 goes to 8
      {50, 9, 197, 88},                                     // 50 × 0.5^2 = 12.5 goes to 12
      {1, 1, 25, 51},    {1, 1, 30, 50},   {100, 10, 297, 127}, {100, 1, 41, 106},
      {500, 40, 0, 150},  // out-of-range settings are those of the dialog's ends
  };
  for (const auto& c : cases)
    EXPECT_EQ(MagnifiedItemSize(c.px, c.wd, c.distance), c.size) << c.px << " px, " << c.wd << " wide, " << c.distance;
}

TEST(RectLayoutTest, RestingBarIsCentredWithItsEdgeOverTheScreen) {
  const struct { int position, count; Rect screen; int barHeight; Rect bar, first, last; } cases[] = {
      {0, 5, {0, 0, 1920, 1080}, 100, {810, -25, 300, 100}, {835, 6, 50, 50}, {1035, 6, 50, 50}},
      {1, 3, {0, 0, 1023, 767}, 120, {411, 672, 200, 120}, {436, 691, 50, 50}, {536, 691, 50, 50}},
      {2, 1, {0, 0, 800, 600}, 100, {350, -25, 100, 100}, {375, 6, 50, 50}, {375, 6, 50, 50}},  // 2 is the top
      {1, 2, {100, 50, 800, 600}, 100, {425, 575, 150, 100}, {450, 594, 50, 50}, {500, 594, 50, 50}},
      {0, 300, {0, 0, 1920, 1080}, 100, {-5065, -25, 12050, 100}, {-5040, 6, 50, 50}, {6910, 6, 50, 50}},
      {0, 0, {0, 0, 1920, 1080}, 100, {935, -25, 50, 100}, {}, {}},
  };
  for (const auto& c : cases) {
    const RectLayout layout = LayoutRectAtRest({50, 4, c.position, c.count, c.screen, c.barHeight});
    SCOPED_TRACE(::testing::Message() << c.count << " items at " << c.position);
    EXPECT_EQ(layout.Bar, c.bar);
    EXPECT_EQ(layout.Items.size(), static_cast<std::size_t>(std::min(c.count, kMaxRectItems)));
    EXPECT_FALSE(layout.Magnified);
    if (layout.Items.empty()) continue;
    EXPECT_EQ(layout.Items.front(), c.first);
    EXPECT_EQ(layout.Items.back(), c.last);
  }
}

// Eight items on a 1000-pixel screen: at rest the bar is (275, -25, 450, 100)
// and the item centres are 325, 375, ..., 675. Each row re-magnifies the
// resting row for one pointer x.
TEST(RectLayoutTest, RemagnifySizesAcrossTheBar) {
  const struct { int px, wd, pointerX; std::vector<int> sizes; Rect bar; } cases[] = {
      {50, 4, 300, {98, 88, 73, 55, 50, 50, 50, 50}, {218, -25, 564, 100}},
      {50, 4, 475, {65, 81, 93, 100, 93, 81, 65, 50}, {161, -25, 678, 100}},
      {50, 4, 500, {55, 73, 88, 98, 98, 88, 73, 55}, {161, -25, 678, 100}},
      {50, 4, 699, {50, 50, 50, 50, 56, 73, 88, 98}, {218, -25, 565, 100}},
      {50, 10, 300, {100, 99, 96, 93, 87, 81, 73, 63}, {129, -25, 742, 100}},
      {100, 4, 500, {92, 115, 134, 147, 147, 134, 115, 92}, {-13, -25, 1026, 100}},  // wider than the screen
  };
  for (const auto& c : cases) {
    RectDockParams params = EightItems();
    params.RectIconPx = c.px;
    params.RectIconWd = c.wd;
    const RectLayout layout = Remagnify(params, LayoutRectAtRest(params), c.pointerX);
    EXPECT_EQ(std::tuple(Sizes(layout), layout.Bar, layout.Magnified), std::tuple(c.sizes, c.bar, true))
        << c.px << " px, " << c.wd << " wide, pointer at " << c.pointerX;
  }
}

TEST(RectLayoutTest, LaterMovesMeasureFromTheMagnifiedCentres) {
  RectDockParams params = EightItems();
  // Centres now 218, 291, 378, 475, 571, 658, 731, 789: odd widths put them at left + width div 2.
  const RectLayout first = Remagnify(params, LayoutRectAtRest(params), 475);
  const RectLayout second = Remagnify(params, first, 480);
  EXPECT_EQ(Sizes(second), (std::vector<int>{50, 50, 80, 100, 83, 54, 50, 50}));
  EXPECT_EQ(second.Bar, (Rect{217, -25, 567, 100}));
  EXPECT_EQ(Sizes(Remagnify(params, first, 281)), (std::vector<int>{90, 99, 82, 50, 50, 50, 50, 50}));  // 63 from 218
  // An item appended while magnified: the nine are measured from rest, 500 is item 5's centre.
  params.ItemCount = 9;
  EXPECT_EQ(Sizes(Remagnify(params, second, 500))[4], 100);
}

// Items touch from bar left + 25; at the top they hang from the resting top,
// at the bottom they stand on the resting bottom edge (712 + 50).
TEST(RectLayoutTest, MagnifiedItemsKeepTheEdgeNearTheScreensEdge) {
  for (const int position : {0, 1}) {
    const RectDockParams params{50, 4, position, 8, {0, 0, 1366, 768}, 100};
    const RectLayout layout = Remagnify(params, LayoutRectAtRest(params), 683);
    EXPECT_EQ(layout.Items[1], position == 1 ? (Rect{424, 689, 73, 73}) : (Rect{424, 6, 73, 73}));
    int x = layout.Bar.left + 25;
    for (const Rect& item : layout.Items) {
      EXPECT_EQ(item.left, x);
      EXPECT_EQ(position == 1 ? item.Bottom() : item.top, position == 1 ? 762 : 6);
      x = item.Right();
    }
    EXPECT_EQ(x, layout.Bar.Right() - 25);
  }
}

TEST(RectLayoutTest, ItemPictureSize) {
  const std::pair<int, int> cases[] = {{50, 48}, {51, 50}, {150, 149}, {1, 0}, {0, 0}};
  for (auto [side, expected] : cases) EXPECT_EQ(RectItemIconSize(side), expected) << side;
}

// The pointer over the bar: the inner zone's edges, when a move re-lays out,
// and what the window code must push afterwards.

TEST(RectTrackingTest, InnerZoneEdges) {
  const Rect bar{275, -25, 450, 100};  // inner zone x 300..700, y -13..63
  EXPECT_EQ(InnerZone(bar), (Rect{300, -13, 400, 76}));
  // The left and top edges belong to the zone; the right and bottom ones are
  // neither inside nor beyond it.
  const struct { Point pointer; bool enters, leaves; } cases[] = {
      {{300, 0}, true, false},   {{299, 0}, false, true},   {{699, 62}, true, false},
      {{700, 0}, false, false},  {{701, 0}, false, true},   {{500, -13}, true, false},
      {{500, -14}, false, true}, {{500, 63}, false, false}, {{500, 64}, false, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EntersInnerZone(bar, c.pointer), c.enters) << c.pointer.x << ", " << c.pointer.y;
    EXPECT_EQ(LeavesInnerZone(bar, c.pointer), c.leaves) << c.pointer.x << ", " << c.pointer.y;
  }
}

// Coming in runs Magnify and then, the x being new, Remagnify from the
// magnified row; coming back in at the x of the last re-layout runs Magnify
// alone. Magnify has no centres yet: it expects the first at
// (1000 − 450 − 128 + 50) div 2 + 25 = 261 and moves on by each size given.
TEST(RectTrackingTest, EnteringMagnifiesThenCorrectsFromRealCentres) {
  const struct { int lastPointerX; Point pointer; std::vector<int> sizes; Rect bar; } cases[] = {
      {0, {475, 40}, {50, 60, 83, 100, 84, 60, 50, 50}, {207, -25, 587, 100}},
      {475, {475, 40}, {50, 60, 80, 98, 88, 60, 50, 50}, {207, -25, 586, 100}},
  };
  for (const auto& c : cases) {
    const RectDockParams params = EightItems();
    const RectTracking rest{LayoutRectAtRest(params), c.lastPointerX};
    ASSERT_TRUE(NeedsRelayout(rest, c.pointer));
    const RectTracking next = TrackRectPointer(params, rest, c.pointer);
    EXPECT_EQ(std::tuple(next.Layout.Magnified, Sizes(next.Layout), next.Layout.Bar, next.LastPointerX),
              std::tuple(true, c.sizes, c.bar, c.pointer.x))
        << c.pointer.x << " after " << c.lastPointerX;
  }
}

// Leaving through a margin collapses although the pointer is still over the
// bar window; so does leaving sideways past the widened bar's inner zone.
TEST(RectTrackingTest, LeavingTheInnerZoneCollapses) {
  // At the top the bar is y -25..74, its zone -13..63; at the bottom 625..724 and 637..712.
  const struct { const char* what; int rectPosition; Point inside, outside; } cases[] = {
      {"bottom margin at the top of the screen, same x", 0, {475, 40}, {475, 64}},
      {"bottom margin at the top of the screen, new x", 0, {475, 40}, {480, 70}},
      {"top margin at the bottom of the screen", 1, {475, 660}, {475, 636}},
      {"bottom margin at the bottom of the screen", 1, {475, 660}, {475, 714}},
      {"past the left end", 0, {320, 40}, {200, 40}},
  };
  for (const auto& c : cases) {
    const RectDockParams params = EightItems(c.rectPosition);
    const RectLayout rest = LayoutRectAtRest(params);
    RectTracking tracking = TrackRectPointer(params, {rest, 0}, c.inside);
    ASSERT_TRUE(tracking.Layout.Magnified) << c.what;
    ASSERT_TRUE(tracking.Layout.Bar.Contains(c.outside) || c.outside.x < tracking.Layout.Bar.left + 25) << c.what;
    bool collapsed = false;
    tracking = TrackRectPointer(params, tracking, c.outside, &collapsed);
    EXPECT_TRUE(collapsed && !tracking.Layout.Magnified) << c.what;
    EXPECT_EQ(std::tie(tracking.Layout.Bar, tracking.Layout.Items), std::tie(rest.Bar, rest.Items)) << c.what;
  }
}

}  // namespace
}  // namespace qv::dock
