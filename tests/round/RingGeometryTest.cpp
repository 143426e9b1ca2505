#include "round/RingGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

namespace qv::round {
namespace {

struct LayoutCase {
  const char* what;
  int minR, separationSize;
  double rotationAngle;
  Size mainForm;
  RingOffsets expected;  // slot 1 first
};

// Worked out by hand from the placement rule: x = trunc(cos(angle) × r − 25) + W div 2,
// y likewise with sin and H, the inner ring at i × π/4 + angle, the outer at
// −angle + (i − 8) × π/6.
// clang-format off
const LayoutCase kLayouts[] = {
    {"defaults, unrotated, odd form size", 105, 35, 0.0, {201, 175},
     {{{149, 136}, {75, 167}, {1, 136}, {-30, 62}, {1, -12}, {75, -43}, {149, -12}, {180, 62}, {239, 157}, {170, 226},
       {75, 252}, {-20, 226}, {-89, 157}, {-115, 62}, {-89, -33}, {-20, -102}, {75, -128}, {170, -102}, {239, -33}, {265, 62}}}},
    {"negative odd form size halves toward zero (-3, -4)", 60, 0, 3.0, {-7, -9},
     {{{-75, -65}, {-36, -88}, {8, -76}, {31, -37}, {19, 7}, {-19, 30}, {-64, 18}, {-87, -20}, {-114, -96}, {-69, -131},
       {-12, -137}, {39, -115}, {74, -70}, {80, -13}, {58, 38}, {13, 73}, {-43, 79}, {-95, 57}, {-130, 12}, {-136, -44}}}},
};
// clang-format on

TEST(RingGeometryTest, OffsetsOfAllTwentySlots) {
  for (const LayoutCase& c : kLayouts) {
    const RingOffsets actual = ComputeRingOffsets(c.minR, c.separationSize, c.rotationAngle, c.mainForm);
    for (int slot = 1; slot <= kRingSlotCount; ++slot)
      EXPECT_EQ(actual[slot - 1], c.expected[slot - 1]) << c.what << ", slot " << slot;
  }
}

// MinR 105, form size 0: the raw offsets.
TEST(RingGeometryTest, TruncatesTowardZeroAndSnapsOnlyUlpErrors) {
  const struct { const char* what; double angle; int slot; Point expected; } cases[] = {
      {"-99.246 truncates to -99, not -100", 0.0, 3, {-99, 49}},
      {"cos(pi/2) = 6e-17: -24.99999999 is -25", 0.0, 2, {-25, 80}},
      {"sin(2pi) = -2e-16: -25.00000001 is -25, not -26", 0.0, 8, {80, -25}},
      {"a real fraction below -25 truncates", 0.004, 2, {-25, 79}},
      {"a real fraction above -25 truncates", -0.004, 2, {-24, 79}},
      {"outer ring axis", 0.0, 11, {-25, 165}},
  };
  for (const auto& c : cases) EXPECT_EQ(ComputeRingOffsets(105, 35, c.angle, Size{0, 0})[c.slot - 1], c.expected) << c.what;
}

TEST(RingGeometryTest, NonsenseSettingsStayDefined) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const RingOffsets fromNan = ComputeRingOffsets(105, 35, nan, Size{200, 174});
  for (const Point& p : fromNan) EXPECT_EQ(p, (Point{100, 87}));
  const int big = std::numeric_limits<int>::max();
  const RingOffsets huge = ComputeRingOffsets(big, big, 0.0, Size{big, big});
  EXPECT_GT(huge[7].x, 0);  // pinned, not wrapped around
  EXPECT_EQ(OuterRingRadius(big, big), big);
}

TEST(RingGeometryTest, SlotsRingsAndCentre) {
  const std::pair<int, Ring> rings[] = {{0, Ring::None}, {1, Ring::Inner}, {8, Ring::Inner},
                                        {9, Ring::Outer}, {20, Ring::Outer}, {21, Ring::None}};
  for (const auto& [slot, ring] : rings) EXPECT_EQ(RingOfSlot(slot), ring) << "slot " << slot;
  const std::pair<Rect, Point> centres[] = {{{-300, -200, 7, 9}, {-297, -196}}, {{-300, -200, -7, -9}, {-303, -204}}};
  for (const auto& [form, centre] : centres) EXPECT_EQ(RingCentre(form), centre);
}

// One correction only, at exactly a turn either way.
TEST(RingGeometryTest, NormalisationTakesOffOneTurn) {
  constexpr double kTurn = 2 * std::numbers::pi;
  const std::pair<double, double> cases[] = {{6.2, 6.2},   {kTurn, 0.0}, {-kTurn, 0.0},
                                             {-6.2, -6.2}, {13.0, 13.0 - kTurn}, {-13.0, -13.0 + kTurn}};
  for (const auto& [angle, normalized] : cases) EXPECT_DOUBLE_EQ(NormalizeRotationAngle(angle), normalized) << angle;
}

}  // namespace
}  // namespace qv::round
