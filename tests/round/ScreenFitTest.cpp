// Bringing the ring onto a work area: the fit of one rectangle among monitors.

#include <gtest/gtest.h>

#include <vector>

#include "round/ScreenFit.h"

namespace qv::round {
namespace {

TEST(ScreenFitTest, RingMovesTheLeastOntoTheNearestWorkArea) {
  const Rect primary{0, 0, 1280, 800};
  const Rect right{1280, 0, 1920, 1080};
  // The ring's top-left after the fit.
  const struct { const char* what; Rect ring; std::vector<Rect> areas; Point expected; } cases[] = {
      {"exactly at the right and bottom edges", {880, 400, 400, 400}, {primary}, {880, 400}},
      {"one pixel past the right edge", {881, 400, 400, 400}, {primary}, {880, 400}},
      {"past the top-left corner", {-30, -5, 400, 400}, {primary}, {0, 0}},
      {"across two monitors side by side", {1100, 100, 400, 400}, {primary, right}, {1100, 100}},
      {"on the right monitor, now removed", {1900, 200, 400, 400}, {{0, 0, 1280, 760}}, {880, 200}},
      {"below the shorter monitor: the taller one is nearer", {1100, 700, 400, 400}, {primary, right}, {1280, 680}},
      {"left of the primary, negative coordinates", {-2100, -50, 400, 400}, {primary, {-1920, 0, 1920, 1080}},
       {-1920, 0}},
      {"above a monitor placed below the primary", {100, 300, 400, 400}, {{0, 800, 1280, 800}}, {100, 800}},
      {"larger than the area: its centre on the area's last pixel", {500, 500, 400, 400}, {{0, 0, 300, 200}},
       {99, -1}},
      {"larger than the area and already centred on it", {-50, -100, 400, 400}, {{0, 0, 300, 200}}, {-50, -100}},
      {"no work area known", {5000, 5000, 400, 400}, {}, {5000, 5000}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(FitOnScreen(c.ring, c.areas), (Rect{c.expected.x, c.expected.y, c.ring.width, c.ring.height}));
  }
}

TEST(ScreenFitTest, RingReachIsTheOuterRingTheSkinOrTheMainFormWhicheverIsLarger) {
  const Rect main{600, 368, 194, 168};  // centre (697, 452)
  const struct { int skin, minR, separation; Rect expected; } cases[] = {
      {300, 105, 35, {482, 237, 430, 430}},  // outer items: 105 + 35 + 50 + 25 from the centre
      {600, 105, 35, {397, 152, 600, 600}},  // a skin beyond the items
      {0, 0, 0, main},                       // rings and skin within the main form
  };
  for (const auto& c : cases) EXPECT_EQ(RingReach(main, c.skin, c.minR, c.separation), c.expected) << c.skin;
}

}  // namespace
}  // namespace qv::round
