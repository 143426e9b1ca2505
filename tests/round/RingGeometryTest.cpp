#include "round/RingGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <string>

namespace qv::round {
namespace {

struct LayoutCase {
  const char* what;
  int minR;
  int separationSize;
  double rotationAngle;
  Size mainForm;
  RingOffsets expected;  // slot 1 first
};

// Worked out by hand from the placement rule: x = trunc(cos(angle) × r − 25) + W div 2,
// y likewise with sin and H, the inner ring at i × π/4 + angle, the outer at
// −angle + (i − 8) × π/6.
// clang-format off
const LayoutCase kLayouts[] = {
    {"defaults, unrotated, odd form size",
     105, 35, 0.0, {201, 175},
     {{{149, 136}, {75, 167}, {1, 136}, {-30, 62},
       {1, -12}, {75, -43}, {149, -12}, {180, 62},
       {239, 157}, {170, 226}, {75, 252}, {-20, 226},
       {-89, 157}, {-115, 62}, {-89, -33}, {-20, -102},
       {75, -128}, {170, -102}, {239, -33}, {265, 62}}}},
    {"zero radii put the inner ring on the centre",
     0, 0, 0.0, {194, 168},
     {{{72, 59}, {72, 59}, {72, 59}, {72, 59},
       {72, 59}, {72, 59}, {72, 59}, {72, 59},
       {115, 84}, {97, 102}, {72, 109}, {47, 102},
       {29, 84}, {22, 59}, {29, 34}, {47, 16},
       {72, 9}, {97, 16}, {115, 34}, {122, 59}}}},
    {"largest radii, one default notch forward",
     300, 100, 0.8, {201, 175},
     {{{71, 361}, {-140, 271}, {-224, 58}, {-134, -153},
       {80, -237}, {290, -147}, {374, 67}, {284, 277},
       {507, -60}, {511, 172}, {397, 375}, {197, 494},
       {-35, 498}, {-238, 384}, {-357, 184}, {-361, -48},
       {-247, -251}, {-47, -370}, {185, -374}, {388, -260}}}},
    {"one default notch back",
     105, 35, -0.8, {201, 175},
     {{{179, 61}, {150, 135}, {77, 166}, {2, 137},
       {-29, 64}, {0, -11}, {74, -42}, {148, -13},
       {121, 246}, {24, 244}, {-61, 194}, {-109, 108},
       {-107, 11}, {-57, -74}, {29, -122}, {126, -120},
       {211, -70}, {259, 16}, {257, 113}, {207, 198}}}},
    {"almost a whole turn back",
     105, 35, -6.2, {201, 175},
     {{{142, 142}, {67, 166}, {-5, 129}, {-29, 54},
       {8, -18}, {84, -42}, {155, -5}, {179, 71},
       {246, 142}, {183, 218}, {91, 251}, {-5, 233},
       {-81, 170}, {-114, 78}, {-96, -18}, {-33, -94},
       {60, -127}, {155, -109}, {231, -46}, {264, 47}}}},
    {"no form size: the offsets are the ring's own",
     60, 0, 3.0, {0, 0},
     {{{-72, -61}, {-33, -84}, {11, -72}, {34, -33},
       {22, 11}, {-16, 34}, {-61, 22}, {-84, -16},
       {-111, -92}, {-66, -127}, {-9, -133}, {42, -111},
       {77, -66}, {83, -9}, {61, 42}, {16, 77},
       {-40, 83}, {-92, 61}, {-127, 16}, {-133, -40}}}},
    {"negative odd form size halves toward zero (-3, -4)",
     60, 0, 3.0, {-7, -9},
     {{{-75, -65}, {-36, -88}, {8, -76}, {31, -37},
       {19, 7}, {-19, 30}, {-64, 18}, {-87, -20},
       {-114, -96}, {-69, -131}, {-12, -137}, {39, -115},
       {74, -70}, {80, -13}, {58, 38}, {13, 73},
       {-43, 79}, {-95, 57}, {-130, 12}, {-136, -44}}}},
};
// clang-format on

TEST(RingGeometryTest, OffsetsOfAllTwentySlots) {
  for (const LayoutCase& c : kLayouts) {
    const RingOffsets actual = ComputeRingOffsets(c.minR, c.separationSize, c.rotationAngle, c.mainForm);
    for (int slot = 1; slot <= kRingSlotCount; ++slot) {
      const Point want = c.expected[slot - 1];
      const Point got = actual[slot - 1];
      EXPECT_EQ(got, want) << c.what << ", slot " << slot << ": got (" << got.x << ", " << got.y << "), want ("
                           << want.x << ", " << want.y << ")";
    }
  }
}

// Values just off a whole pixel on the negative side are where a floor, a
// round or a naive cast of an ulp-off -25 would each give a different pixel.
TEST(RingGeometryTest, TruncatesTowardZeroAndSnapsOnlyUlpErrors) {
  struct Case {
    const char* what;
    int minR;
    double angle;
    int slot;
    Point expected;  // form size 0: the raw offset
  };
  const Case cases[] = {
      // cos(3π/4) × 105 − 25 = −99.246…: toward zero is −99 (floor −100, round −99).
      {"negative x truncates up", 105, 0.0, 3, {-99, 49}},
      // sin(5π/4) × 105 − 25 = −99.246… on both axes.
      {"negative x and y", 105, 0.0, 5, {-99, -99}},
      // cos(π/2) is 6e-17, not 0: −24.999999999999993 is meant as −25.
      {"ulp above -25 stays -25", 105, 0.0, 2, {-25, 80}},
      // sin(2π) is −2.4e-16: −25.000000000000025 is meant as −25, not −26.
      {"ulp below -25 stays -25", 105, 0.0, 8, {80, -25}},
      // cos(π/2 + 0.004) × 105 − 25 = −25.41999…: a real fraction still truncates.
      {"small real fraction below -25", 105, 0.004, 2, {-25, 79}},
      // cos(π/2 − 0.004) × 105 − 25 = −24.58000…
      {"small real fraction above -25", 105, -0.004, 2, {-24, 79}},
      // Outer slot 11 (r = 190) at π/2: the same snap on the outer ring.
      {"outer ring axis", 105, 0.0, 11, {-25, 165}},
  };
  for (const Case& c : cases) {
    const RingOffsets offsets = ComputeRingOffsets(c.minR, 35, c.angle, Size{0, 0});
    EXPECT_EQ(offsets[c.slot - 1], c.expected) << c.what;
  }
}

TEST(RingGeometryTest, DefaultLayoutAroundTheCentre) {
  // The main form at (600, 368), 200 × 174: centre (700, 455).
  const Rect form{600, 368, 200, 174};
  const Point centre = RingCentre(form);
  ASSERT_EQ(centre, (Point{700, 455}));
  const RingOffsets offsets = ComputeRingOffsets(105, 35, 0.0, Size{form.width, form.height});
  const Point topLeft{form.left, form.top};
  // Slot 8 due right on the inner ring, slot 20 due right on the outer (radius 190).
  EXPECT_EQ(RingWindowPosition(topLeft, offsets[7]), (Point{centre.x + 80, centre.y - 25}));
  EXPECT_EQ(RingWindowPosition(topLeft, offsets[19]), (Point{centre.x + 165, centre.y - 25}));
  EXPECT_EQ(OuterRingRadius(105, 35), 190);
}

TEST(RingGeometryTest, RingsTurnInOppositeDirections) {
  // With the angle of the outer ring equal to minus the inner one's, a
  // forward step moves inner slot 8 (at 0 rad, due right) down the screen and
  // outer slot 20 (also due right) up by the same amount.
  const RingOffsets start = ComputeRingOffsets(105, 0, 0.0, Size{0, 0});
  const RingOffsets turned = ComputeRingOffsets(105, 0, StepRotationAngle(0.0, true), Size{0, 0});
  // r = 105: sin(0.1) × 105 = 10.48; r = 155: sin(−0.1) × 155 = −15.47.
  EXPECT_EQ(start[7], (Point{80, -25}));
  EXPECT_EQ(turned[7], (Point{79, -14}));
  EXPECT_EQ(start[19], (Point{130, -25}));
  EXPECT_EQ(turned[19], (Point{129, -40}));
  const RingOffsets back = ComputeRingOffsets(105, 0, StepRotationAngle(0.0, false), Size{0, 0});
  EXPECT_EQ(back[7], (Point{79, -35}));
  EXPECT_EQ(back[19], (Point{129, -9}));
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

TEST(RingGeometryTest, RingOfSlot) {
  const struct {
    int slot;
    Ring ring;
  } cases[] = {{-1, Ring::None}, {0, Ring::None},   {1, Ring::Inner}, {8, Ring::Inner},
               {9, Ring::Outer}, {20, Ring::Outer}, {21, Ring::None}, {260, Ring::None}};
  for (const auto& c : cases) EXPECT_EQ(RingOfSlot(c.slot), c.ring) << "slot " << c.slot;
}

TEST(RingGeometryTest, RingCentreHalvesTowardZero) {
  const struct {
    Rect form;
    Point centre;
  } cases[] = {
      {{0, 0, 194, 168}, {97, 84}},
      {{10, 20, 195, 169}, {107, 104}},
      {{-300, -200, 7, 9}, {-297, -196}},
      {{-300, -200, -7, -9}, {-303, -204}},  // −3 and −4, not −4 and −5
  };
  for (const auto& c : cases) EXPECT_EQ(RingCentre(c.form), c.centre);
}

TEST(RingGeometryTest, RotationStepAndNormalisation) {
  constexpr double kTurn = 2 * std::numbers::pi;
  const struct {
    double angle;
    double normalized;
  } cases[] = {
      {0.0, 0.0},
      {6.2, 6.2},
      {kTurn, 0.0},  // exactly one turn is taken off
      {6.3, 6.3 - kTurn},
      {-kTurn, 0.0},  // exactly minus one turn is added
      {-6.2, -6.2},
      {-6.3, -6.3 + kTurn},
      {13.0, 13.0 - kTurn},  // one correction only: still past a turn
      {-13.0, -13.0 + kTurn},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(NormalizeRotationAngle(c.angle), c.normalized) << c.angle;

  // Eight forward ticks from 0 are the default 45° notch (0.8 rad), and
  // eight back return to 0 within rounding.
  double angle = 0;
  for (int i = 0; i < 8; ++i) angle = StepRotationAngle(angle, true);
  EXPECT_NEAR(angle, 0.8, 1e-12);
  for (int i = 0; i < 8; ++i) angle = StepRotationAngle(angle, false);
  EXPECT_NEAR(angle, 0.0, 1e-12);
}

}  // namespace
}  // namespace qv::round
