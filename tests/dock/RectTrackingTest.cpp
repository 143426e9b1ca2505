// The pointer over the bar: the inner zone's edges, when a move re-lays out,
// and what the window code must push afterwards.

#include <gtest/gtest.h>

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

// Eight items on a 1000 × 700 screen; the resting bar is (275, -25, 450, 100).
RectDockParams EightItems(int rectPosition = 0) { return {50, 4, rectPosition, 8, {0, 0, 1000, 700}, 100}; }

TEST(RectTrackingTest, InnerZoneEdges) {
  const Rect bar{275, -25, 450, 100};  // inner zone x 300..700, y -13..63
  EXPECT_EQ(InnerZone(bar), (Rect{300, -13, 400, 76}));
  struct Case {
    Point pointer;
    bool enters, leaves;
  };
  const Case cases[] = {
      {{300, 0}, true, false},  // left edge belongs to the zone
      {{299, 0}, false, true},   {{699, 62}, true, false},
      {{700, 0}, false, false},                              // right edge: not inside, not beyond
      {{701, 0}, false, true},   {{500, -13}, true, false},  // top edge belongs to the zone
      {{500, -14}, false, true}, {{500, 63}, false, false},  // bottom edge: not inside, not beyond
      {{500, 64}, false, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EntersInnerZone(bar, c.pointer), c.enters) << c.pointer.x << ", " << c.pointer.y;
    EXPECT_EQ(LeavesInnerZone(bar, c.pointer), c.leaves) << c.pointer.x << ", " << c.pointer.y;
  }
}

// Coming in runs Magnify and then, the x being new, Remagnify from the
// magnified row; coming back in at the x of the last re-layout runs Magnify alone.
TEST(RectTrackingTest, EnteringMagnifiesThenCorrectsFromRealCentres) {
  struct Case {
    int lastPointerX;
    Point pointer;
    std::vector<int> sizes;
    Rect bar;
  };
  const Case cases[] = {
      {0, {475, 40}, {50, 60, 83, 100, 84, 60, 50, 50}, {207, -25, 587, 100}},
      {0, {300, 40}, {100, 84, 58, 50, 50, 50, 50, 50}, {229, -25, 542, 100}},
      {475, {475, 40}, {50, 60, 80, 98, 88, 60, 50, 50}, {207, -25, 586, 100}},
  };
  for (const Case& c : cases) {
    const RectDockParams params = EightItems();
    const RectTracking rest{LayoutRectAtRest(params), c.lastPointerX};
    ASSERT_TRUE(NeedsRelayout(rest, c.pointer));
    const RectTracking next = TrackRectPointer(params, rest, c.pointer);
    EXPECT_TRUE(next.Layout.Magnified) << c.pointer.x;
    EXPECT_EQ(Sizes(next.Layout), c.sizes) << c.pointer.x << " after " << c.lastPointerX;
    EXPECT_EQ(next.Layout.Bar, c.bar) << c.pointer.x << " after " << c.lastPointerX;
    EXPECT_EQ(next.LastPointerX, c.pointer.x);
  }
}

TEST(RectTrackingTest, OnlyANewXReLaysOut) {
  const RectDockParams params = EightItems();
  RectTracking tracking{LayoutRectAtRest(params), 0};
  // Over the bar window but in its bottom margin: nothing happens.
  EXPECT_FALSE(NeedsRelayout(tracking, {500, 70}));
  tracking = TrackRectPointer(params, tracking, {500, 70});
  EXPECT_FALSE(tracking.Layout.Magnified);

  tracking = TrackRectPointer(params, tracking, {475, 40});
  const RectLayout entered = tracking.Layout;
  EXPECT_FALSE(NeedsRelayout(tracking, {475, 10}));
  EXPECT_FALSE(NeedsRelayout(tracking, {475, 62}));
  EXPECT_TRUE(NeedsRelayout(tracking, {476, 40}));
  bool collapsed = true;
  tracking = TrackRectPointer(params, tracking, {475, 10}, &collapsed);
  EXPECT_FALSE(collapsed);
  EXPECT_EQ(tracking.Layout.Items, entered.Items);
  EXPECT_EQ(tracking.Layout.Bar, entered.Bar);
}

// Leaving through a margin collapses although the pointer is still over the
// bar window; so does leaving sideways past the widened bar's inner zone.
TEST(RectTrackingTest, LeavingTheInnerZoneCollapses) {
  struct Case {
    const char* what;
    int rectPosition;
    Point inside, outside;
  };
  const Case cases[] = {
      // Bar at the top: y -25..74, zone y -13..63.
      {"bottom margin at the top of the screen, same x", 0, {475, 40}, {475, 64}},
      {"bottom margin at the top of the screen, new x", 0, {475, 40}, {480, 70}},
      {"top margin at the bottom of the screen",
       1,
       {475, 660},
       {475, 636}},  // bar y 625..724, zone 637..712, 713 is the edge
      {"bottom margin at the bottom of the screen", 1, {475, 660}, {475, 714}},
      {"past the left end", 0, {320, 40}, {200, 40}},
  };
  for (const Case& c : cases) {
    const RectDockParams params = EightItems(c.rectPosition);
    const RectLayout rest = LayoutRectAtRest(params);
    RectTracking tracking = TrackRectPointer(params, {rest, 0}, c.inside);
    ASSERT_TRUE(tracking.Layout.Magnified) << c.what;
    ASSERT_TRUE(tracking.Layout.Bar.Contains(c.outside) || c.outside.x < tracking.Layout.Bar.left + 25) << c.what;
    bool collapsed = false;
    tracking = TrackRectPointer(params, tracking, c.outside, &collapsed);
    EXPECT_TRUE(collapsed) << c.what;
    EXPECT_FALSE(tracking.Layout.Magnified) << c.what;
    EXPECT_EQ(tracking.Layout.Bar, rest.Bar) << c.what;
    EXPECT_EQ(tracking.Layout.Items, rest.Items) << c.what;
  }
}

TEST(RectTrackingTest, ChangesToPush) {
  const Rect a{100, 6, 50, 50}, b{150, 6, 50, 50};
  struct Case {
    const char* what;
    RectLayout before, after;
    bool barMoved, barResized;
    std::vector<std::pair<int, bool>> items;  // index, resized
  };
  const Case cases[] = {
      {"nothing changed", {{75, -25, 150, 100}, {a, b}, true}, {{75, -25, 150, 100}, {a, b}, true}, false, false, {}},
      {"second item grew, bar widened to the left",
       {{75, -25, 150, 100}, {a, b}, true},
       {{70, -25, 160, 100}, {{95, 6, 50, 50}, {145, 6, 60, 60}}, true},
       true,
       true,
       {{0, false}, {1, true}}},
      {"bar only moved down",
       {{75, -25, 150, 100}, {a, b}, false},
       {{75, 0, 150, 100}, {a, b}, false},
       true,
       false,
       {}},
      {"an item appended",
       {{75, -25, 150, 100}, {a, b}, false},
       {{75, -25, 200, 100}, {a, b, {200, 6, 50, 50}}, false},
       false,
       true,
       {{2, true}}},
      {"an item removed: nothing to push for it",
       {{75, -25, 150, 100}, {a, b}, false},
       {{75, -25, 100, 100}, {a}, false},
       false,
       true,
       {}},
  };
  for (const Case& c : cases) {
    const RectLayoutChanges changes = DiffRectLayouts(c.before, c.after);
    EXPECT_EQ(changes.BarMoved, c.barMoved) << c.what;
    EXPECT_EQ(changes.BarResized, c.barResized) << c.what;
    std::vector<std::pair<int, bool>> items;
    for (const RectItemChange& change : changes.Items) items.emplace_back(change.Index, change.Resized);
    EXPECT_EQ(items, c.items) << c.what;
    EXPECT_EQ(changes.Any(), c.barMoved || c.barResized || !c.items.empty()) << c.what;
  }
}

}  // namespace
}  // namespace qv::dock
