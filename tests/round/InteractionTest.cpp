#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "round/Interaction.h"
#include "round/RingGeometry.h"
#include "round/Rotation.h"
#include "tests/support/Scenario.h"

namespace qv {
namespace {

using test::ItemScenario;

// The main form stands at (600, 368), 194 x 168: the ring's centre.
constexpr Point kCentre{697, 452};
constexpr double kTurn = 2 * 3.14159265358979323846;

TEST(RotationSteps, EveryWholeDegreeTurnsByTheStepsThatFirstPassIt) {
  // A notch ends on the first 0.1 rad step past the asked angle; every setting
  // the dialog offers catches a progress that drifts off the tenths.
  for (int degrees = 1; degrees <= 360; ++degrees) {
    const double target = round::RotationTarget(degrees);
    round::RotationTick tick{};
    int steps = 0;
    while (!(tick = round::TickRotation(tick.angle, tick.progress, true, target)).finished) ASSERT_LT(++steps, 100);
    EXPECT_EQ(steps, static_cast<int>(std::floor(degrees * kTurn / 36)) + 1) << degrees;
  }
}

class InteractionTest : public ItemScenario {};

// 45° is 0.785 rad: the eighth step of 0.1 passes it and the turn ends there. A second notch
// restarts the turn from where the rings are; the keys turn the rings and cycle the skins.
TEST_F(InteractionTest, NotchesAndKeysTurnByWholeStepsPastTheSetting) {
  Basic().child("IconElement").attribute("RotationValue").set_value(45);
  SetItems({1, 8, 9, 20});
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  desktop_->Wheel(PointOn("Circle8"), -1);
  desktop_->Advance(20 * 8);  // one step per 20 ms tick; the tick after the last step ends the turn
  EXPECT_TRUE(Process().TimerRunning(TimerRotation));
  desktop_->Advance(20);
  EXPECT_FALSE(Process().TimerRunning(TimerRotation));
  EXPECT_NEAR(form->RotationAngle(), 0.8, 1e-9) << "the last step overshoots";
  // The windows stand where the layout puts them for the angle of the last step.
  const round::RingOffsets offsets = round::ComputeRingOffsets(105, 35, 0.8, {194, 168});
  for (int slot : {1, 8, 9, 20})
    EXPECT_EQ(CircleWindow(slot)->bounds, (Rect{600 + offsets[slot - 1].x, 368 + offsets[slot - 1].y, 50, 50})) << slot;

  const Point over = PointOn("BackGroundForm");
  // A second notch 60 ms (three steps) after a forward one: a whole notch more from there.
  const std::pair<int, double> notches[] = {{-1, 0.3 + 0.8}, {+1, 0.3 - 0.8}};  // second notch, turn
  for (const auto& [second, turn] : notches) {
    SCOPED_TRACE(second);
    const double start = form->RotationAngle();
    desktop_->Wheel(over, -1);
    desktop_->Advance(60);
    EXPECT_NEAR(form->RotationAngle(), start + 0.3, 1e-9);
    desktop_->Wheel(over, second);
    desktop_->Advance(2000);
    EXPECT_FALSE(Process().TimerRunning(TimerRotation));
    EXPECT_NEAR(form->RotationAngle(), start + turn, 1e-9);
  }

  Click(PointOn("BackGroundForm"));  // a press on the ring skin gives the keyboard to the main form
  const double start = form->RotationAngle();
  const struct { unsigned key; double turn; int backgroundIndex, centerIndex; } presses[] = {
      {65, 0, 1, 1},     // any other key: nothing
      {37, -0.8, 1, 1},  // left arrow: back
      {40, 0, 1, 1},     // down arrow: forward
      {32, 0, 2, 1},     // Space: the next ring skin
      {13, 0, 2, 2},     // Enter: the next center skin
  };
  for (const auto& p : presses) {
    SCOPED_TRACE(p.key);
    desktop_->KeyDown(p.key);
    desktop_->Advance(1000);
    EXPECT_NEAR(form->RotationAngle(), start + p.turn, 1e-9);
    EXPECT_EQ(form->Settings().BackgroundIndex, p.backgroundIndex);
    EXPECT_EQ(form->Settings().CenterIndex, p.centerIndex);
  }
}

TEST_F(InteractionTest, LocksDecideWhatTheHandCanMove) {
  // The two mixed rows tell the locks apart and try each one on and off.
  const struct { const char *lockPosition, *lockIcon; bool ringMoves, itemFollows; } cases[] = {
      {"True", "False", false, true}, {"False", "True", true, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "LockPosition " << c.lockPosition << ", LockIcon " << c.lockIcon);
    TearDown();
    SetUp();
    Basic().child("LockPosition").text().set(c.lockPosition);
    Basic().child("LockIcon").text().set(c.lockIcon);
    SetItems({3, 12});
    app::MainForm* form = Start();
    ASSERT_NE(form, nullptr);
    const Rect item12 = CircleWindow(12)->bounds;

    // The ring skin, dragged by (40, 30), takes the whole ring with it.
    const Point ring = PointOn("BackGroundForm");
    Drag(ring, {ring.x + 40, ring.y + 30});
    const Point d = c.ringMoves ? Point{40, 30} : Point{0, 0};
    EXPECT_EQ(CircleWindow(12)->bounds, (Rect{item12.left + d.x, item12.top + d.y, 50, 50}));
    EXPECT_EQ(form->Settings().PositionLeft, 600 + d.x);

    // An item, held and moved by (-13, 17): it follows the pointer while held.
    const Rect start = CircleWindow(3)->bounds;
    const Point grip = ItemMiddle(3);
    desktop_->MouseMove(grip);
    desktop_->MouseDown(grip);
    desktop_->MouseMove({grip.x - 6, grip.y + 8});
    desktop_->MouseMove({grip.x - 13, grip.y + 17});
    EXPECT_EQ(CircleWindow(3)->bounds, (c.itemFollows ? Rect{start.left - 13, start.top + 17, 50, 50} : start));
    desktop_->MouseUp({grip.x - 13, grip.y + 17});
    EXPECT_EQ(CircleWindow(3)->bounds, start) << "dropped near no other item, or never moved: it stands at its place";
    // A locked item cannot be carried, so letting go of it is a click.
    EXPECT_EQ(desktop_->Launches().size(), c.itemFollows ? 0u : 1u);
  }
}

TEST(ExchangeTarget, TheFirstItemLessThanTwentyPixelsAwayInBothDirections) {
  const std::vector<round::ExchangeCandidate> ring = {
      {2, "Circle2", {100, 100}}, {5, "Circle5", {300, 100}}, {9, "Circle9", {100, 110}}, {11, "Circle11", {0, 0}}};
  const struct { const char* dragged; Point at; int target; } cases[] = {
      {"Circle11", {119, 119}, 2},  // 19 and 19: close enough; slot 2 comes before slot 9
      {"Circle11", {120, 100}, 0},  // 20 across is too far
      {"Circle11", {81, 81}, 2},    // -19 on both
      {"Circle11", {80, 100}, 0},   // -20
      {"Circle2", {100, 100}, 9},   // the dragged window itself never counts
      {"Circle11", {0, 0}, 0},      // its own old place is no target either
  };
  for (const auto& c : cases)
    EXPECT_EQ(round::FindExchangeTarget(ring, c.dragged, c.at), c.target)
        << c.dragged << " " << c.at.x << "," << c.at.y;
}

// A wide skin takes the area to 250 from the centre, past the rings' reach
// (MinR + SeparationSize + 80 = 220): an item let go there is put back; a pixel
// beyond, it goes where it was let go, plays its removal and empties its slot.
TEST_F(InteractionTest, AnItemThrownBeyondTheRingAreaIsAskedToGo) {
  Basic().child("Background").attribute("Size").set_value(500);
  SetItems({8, 3});
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  const WindowId eight = CircleWindow(8)->id;
  const Rect start = CircleWindow(8)->bounds;
  Drag(ItemMiddle(8), {kCentre.x + 250, kCentre.y}, 10);
  EXPECT_EQ(CircleWindow(8)->bounds, start);
  Drag(ItemMiddle(8), {kCentre.x + 251, kCentre.y}, 10);
  EXPECT_TRUE(desktop_->Launches().empty());
  ASSERT_TRUE(form->Removal().PendingDestroy().has_value());
  EXPECT_EQ(form->Removal().PendingDestroy()->window, eight);
  EXPECT_EQ(desktop_->FindWindow(eight)->bounds.left, kCentre.x + 251 - 25);
  desktop_->Advance(240);
  EXPECT_EQ(desktop_->FindWindow(eight), nullptr);
  EXPECT_STREQ(FileCircle(LoadConfigDom(), 8).child_value("File"), "");
  EXPECT_NE(CircleWindow(3), nullptr);
}

// The larger of half the ring skin and MinR + SeparationSize + 80, the limit itself inside.
TEST(RingArea, TheLargerReachCountsAndSquaresDoNotOverflow) {
  EXPECT_TRUE(round::InsideRingArea({1250, 0}, {1000, 0}, 500, 105, 35)) << "a wide skin widens the area";
  EXPECT_FALSE(round::InsideRingArea({1000, 251}, {1000, 0}, 500, 105, 35));
  EXPECT_TRUE(round::InsideRingArea({0, 220}, {0, 0}, 300, 105, 35)) << "the reach of the rings";
  EXPECT_FALSE(round::InsideRingArea({-221, 0}, {0, 0}, 300, 105, 35));
  // A far drop on a huge ring: 64-bit squares.
  EXPECT_TRUE(round::InsideRingArea({40080, 0}, {0, 0}, 0, 30000, 10000));
  EXPECT_FALSE(round::InsideRingArea({40081, 0}, {0, 0}, 0, 30000, 10000));
  EXPECT_TRUE(round::InsideRingArea({0, -151}, {0, 0}, 303, 0, 0)) << "303 div 2 is 151";
  EXPECT_FALSE(round::InsideRingArea({0, -152}, {0, 0}, 303, 0, 0));
}

// The right button never launches; the left one does, and the ring goes to the tray.
TEST_F(InteractionTest, HideAfterClickLaunchesThenHidesToTheTray) {
  Basic().child("HideAfterClick").text().set("True");
  SetItems({7});
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  const Rect start = CircleWindow(7)->bounds;
  Click(ItemMiddle(7), MouseButton::Right);
  EXPECT_TRUE(desktop_->Launches().empty());
  Click(ItemMiddle(7));
  EXPECT_EQ(desktop_->Launches().size(), 1u);
  EXPECT_FALSE(form->WindowsShown());
  EXPECT_TRUE(Process().Minimized());
  EXPECT_FALSE(Process().IsVisible(CircleWindow(7)->id));
  EXPECT_FALSE(Process().TimerRunning(TimerIconWobbleUp)) << "a hidden item does not bounce";
  desktop_->Advance(500);
  EXPECT_EQ(CircleWindow(7)->bounds, start) << "and stands where it stood";
}

}  // namespace
}  // namespace qv
