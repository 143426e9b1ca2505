// The pointer and the keys on the ring, driven through the headless desktop's
// input: turning the rings, moving the ring and its items, exchanging and
// throwing out items, launching.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "round/Interaction.h"
#include "round/RingGeometry.h"
#include "round/Rotation.h"
#include "tests/round/RingScenario.h"

namespace qv {
namespace {

using testing::RingItem;
using testing::RingScenario;

// The main form stands at (600, 368), 194 x 168: the ring's centre.
constexpr Point kCentre{697, 452};
constexpr double kTurn = 2 * 3.14159265358979323846;

Rect SlotPlace(int slot, const round::RingOffsets& offsets) {
  const Point o = offsets[static_cast<std::size_t>(slot - 1)];
  return {600 + o.x, 368 + o.y, 50, 50};
}

// ---- turning ----------------------------------------------------------------

TEST(RotationSteps, EveryWholeDegreeTurnsByTheStepsThatFirstPassIt) {
  // A notch ends on the first 0.1 rad step past the asked angle: RotationValue
  // 45 (0.785 rad) takes 8 steps. Counting every setting the dialog offers
  // catches a progress that drifts off the tenths as it adds them up.
  for (int degrees = 1; degrees <= 360; ++degrees) {
    const double target = round::RotationTarget(degrees);
    double angle = 0, progress = 0;
    int steps = 0;
    for (;;) {
      const round::RotationTick tick = round::TickRotation(angle, progress, true, target);
      angle = tick.angle;
      progress = tick.progress;
      if (tick.finished) break;
      ++steps;
      ASSERT_LT(steps, 100) << degrees;
    }
    EXPECT_EQ(steps, static_cast<int>(std::floor(degrees * 3.14159265358979323846 / 18)) + 1) << degrees;
  }
}

class InteractionTest : public RingScenario {};

TEST_F(InteractionTest, OneNotchTurnsByWholeStepsPastTheSetting) {
  struct Case {
    int degrees;
    int notches;  // +1 away from the user (backward), -1 toward (forward)
    int steps;
    double angle;  // RotationAngle when the turn has ended, brought back within a turn
  };
  const Case cases[] = {
      {1, -1, 1, 0.1},             // 5.7° asks for less than a step: one step
      {45, -1, 8, 0.8},            // 0.785 rad: the eighth step passes it
      {45, +1, 8, -0.8},           // wheel up turns back
      {360, -1, 63, 6.3 - kTurn},  // 6.3 rad, a turn taken off at the end
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.degrees << "° " << c.notches);
    TearDown();
    SetUp();
    SetRotationValue(c.degrees);
    SetItems({1, 8, 9, 20});
    app::RoundHot* form = Start();
    ASSERT_NE(form, nullptr);
    desktop_->Wheel(PointOn("Circle8"), c.notches);
    EXPECT_EQ(Process().TimerInterval(app::TimerRotation), 20u);

    desktop_->Advance(20 * (c.steps - 1));
    EXPECT_NEAR(form->RotationAngle(), c.notches * -0.1 * (c.steps - 1), 1e-9) << "one step per 20 ms tick";
    desktop_->Advance(20);
    EXPECT_NEAR(std::fabs(form->RotationAngle()), 0.1 * c.steps, 1e-9) << "the last step overshoots";
    EXPECT_TRUE(Process().TimerRunning(app::TimerRotation));
    desktop_->Advance(20);
    EXPECT_FALSE(Process().TimerRunning(app::TimerRotation)) << "the tick after the last step ends the turn";
    EXPECT_NEAR(form->RotationAngle(), c.angle, 1e-9);

    // The windows stand where the layout puts them for the angle of the last step.
    const double lastStep = c.notches * -0.1 * c.steps;
    const round::RingOffsets offsets = round::ComputeRingOffsets(105, 35, lastStep, {194, 168});
    for (int slot : {1, 8, 9, 20}) EXPECT_EQ(Item(slot)->bounds, SlotPlace(slot, offsets)) << slot;
  }
}

TEST_F(InteractionTest, ASecondNotchRestartsTheTurnFromWhereTheRingsAre) {
  struct Case {
    const char* what;
    int second;       // the second notch, 60 ms after the first (forward)
    double expected;  // the first notch's three steps, then a whole notch more
  };
  const Case cases[] = {{"the same way", -1, 0.3 + 0.8}, {"turned back", +1, 0.3 - 0.8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    SetItems({2});
    app::RoundHot* form = Start();
    ASSERT_NE(form, nullptr);
    const Point over = PointOn("BackGroundForm");
    desktop_->Wheel(over, -1);
    desktop_->Advance(60);
    EXPECT_NEAR(form->RotationAngle(), 0.3, 1e-9);
    desktop_->Wheel(over, c.second);
    desktop_->Advance(2000);
    EXPECT_FALSE(Process().TimerRunning(app::TimerRotation));
    EXPECT_NEAR(form->RotationAngle(), c.expected, 1e-9);
  }
}

TEST_F(InteractionTest, KeysTurnTheRingsAndCycleTheSkins) {
  struct Case {
    unsigned key;
    int turn;  // +1 forward, -1 backward, 0 none
    int backgroundIndex, centerIndex;
  };
  const Case cases[] = {
      {37, -1, 1, 1}, {38, -1, 1, 1}, {39, +1, 1, 1}, {40, +1, 1, 1},  // arrows
      {32, 0, 2, 1},                                                   // Space: the next ring skin
      {13, 0, 1, 2},                                                   // Enter: the next center skin
      {65, 0, 1, 1},                                                   // any other key: nothing
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    TearDown();
    SetUp();
    SetItems({5});
    app::RoundHot* form = Start();
    ASSERT_NE(form, nullptr);
    // A press on the ring skin gives the keyboard to the main form.
    Click(PointOn("BackGroundForm"));
    desktop_->KeyDown(c.key);
    desktop_->Advance(1000);
    EXPECT_NEAR(form->RotationAngle(), c.turn * 0.8, 1e-9);
    EXPECT_EQ(form->Settings().BackgroundIndex, c.backgroundIndex);
    EXPECT_EQ(form->Settings().CenterIndex, c.centerIndex);
  }
}

// ---- moving the ring and its items --------------------------------------------

TEST_F(InteractionTest, LocksDecideWhatTheHandCanMove) {
  struct Case {
    const char* lockPosition;
    const char* lockIcon;
    bool ringMoves, itemFollows;
  };
  const Case cases[] = {
      {"False", "False", true, true},
      {"True", "False", false, true},
      {"False", "True", true, false},
      {"True", "True", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "LockPosition " << c.lockPosition << ", LockIcon " << c.lockIcon);
    TearDown();
    SetUp();
    SetBasicText("LockPosition", c.lockPosition);
    SetBasicText("LockIcon", c.lockIcon);
    SetItems({3, 12});
    app::RoundHot* form = Start();
    ASSERT_NE(form, nullptr);
    const Rect background = BoundsOf("BackGroundForm"), center = BoundsOf("CenterForm");
    const Rect item3 = Item(3)->bounds, item12 = Item(12)->bounds;
    const Rect main = desktop_->FindWindow(form->MainWindow())->bounds;

    // The ring skin, dragged by (40, 30).
    Drag(PointOn("BackGroundForm"), {PointOn("BackGroundForm").x + 40, PointOn("BackGroundForm").y + 30});
    const Point d = c.ringMoves ? Point{40, 30} : Point{0, 0};
    auto moved = [&](Rect r) { return Rect{r.left + d.x, r.top + d.y, r.width, r.height}; };
    EXPECT_EQ(BoundsOf("BackGroundForm"), moved(background));
    EXPECT_EQ(BoundsOf("CenterForm"), moved(center));
    EXPECT_EQ(desktop_->FindWindow(form->MainWindow())->bounds, moved(main));
    EXPECT_EQ(Item(3)->bounds, moved(item3));
    EXPECT_EQ(Item(12)->bounds, moved(item12));
    EXPECT_EQ(form->Settings().PositionLeft, 600 + d.x);
    EXPECT_EQ(form->Settings().PositionTop, 368 + d.y);

    // An item, held and moved by (-13, 17): it follows the pointer while held.
    const Rect start = Item(3)->bounds;
    const Point grip = ItemMiddle(3);
    desktop_->MouseMove(grip);
    desktop_->MouseDown(grip);
    desktop_->MouseMove({grip.x - 6, grip.y + 8});
    desktop_->MouseMove({grip.x - 13, grip.y + 17});
    const Rect held = c.itemFollows ? Rect{start.left - 13, start.top + 17, 50, 50} : start;
    EXPECT_EQ(Item(3)->bounds, held);
    EXPECT_EQ(desktop_->CurrentCursor(), c.itemFollows ? CursorShape::Drag : CursorShape::Default);
    desktop_->MouseUp({grip.x - 13, grip.y + 17});
    EXPECT_EQ(desktop_->CurrentCursor(), CursorShape::Default);
    EXPECT_EQ(Item(3)->bounds, start) << "dropped near no other item, or never moved: it stands at its place";
    // A locked item cannot be carried, so letting go of it is a click.
    EXPECT_EQ(desktop_->Launches().size(), c.itemFollows ? 0u : 1u);
  }
}

TEST_F(InteractionTest, AnItemDroppedInTheRingAwayFromOthersGoesBack) {
  SetItems({1, 8, 14});
  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);
  const std::string before = ConfigBytes();
  const Rect start = Item(1)->bounds;
  // Between the rings, near no item.
  Drag(ItemMiddle(1), {kCentre.x + 20, kCentre.y + 140}, 8);
  EXPECT_EQ(Item(1)->bounds, start);
  EXPECT_TRUE(desktop_->Launches().empty());
  EXPECT_FALSE(form->Removal().PendingDestroy().has_value());
  EXPECT_EQ(ConfigBytes(), before);
  EXPECT_EQ(form->Interaction().ActiveIconWindow(), Item(1)->id);

  // Turned while it is carried: it stays under the pointer as the others
  // move, and goes back to where its slot is now.
  const Point grip = ItemMiddle(1);
  const Rect eight = Item(8)->bounds;
  desktop_->MouseMove(grip);
  desktop_->MouseDown(grip);
  desktop_->MouseMove({grip.x + 9, grip.y + 9});
  desktop_->Wheel({grip.x + 9, grip.y + 9}, -1);
  desktop_->Advance(200);
  EXPECT_EQ(Item(1)->bounds, (Rect{start.left + 9, start.top + 9, 50, 50}));
  EXPECT_NE(Item(8)->bounds, eight) << "the others turned";
  desktop_->MouseUp({kCentre.x + 20, kCentre.y + 140});
  const round::RingOffsets turned = round::ComputeRingOffsets(105, 35, form->RotationAngle(), {194, 168});
  EXPECT_EQ(Item(1)->bounds, SlotPlace(1, turned));
}

TEST(ExchangeTarget, TheFirstItemLessThanTwentyPixelsAwayInBothDirections) {
  const std::vector<round::ExchangeCandidate> ring = {
      {2, "Circle2", {100, 100}}, {5, "Circle5", {300, 100}}, {9, "Circle9", {100, 110}}, {11, "Circle11", {0, 0}}};
  struct Case {
    const char* dragged;
    Point at;
    int target;
  };
  const Case cases[] = {
      {"Circle11", {119, 119}, 2},  // 19 and 19: close enough; slot 2 comes before slot 9
      {"Circle11", {120, 100}, 0},  // 20 across is too far
      {"Circle11", {81, 81}, 2},    // -19 on both
      {"Circle11", {80, 100}, 0},   // -20
      {"Circle11", {100, 125}, 9},  // 25 below slot 2, 15 below slot 9
      {"Circle2", {100, 100}, 9},   // the dragged window itself never counts
      {"Circle11", {0, 0}, 0},      // its own old place is no target either
      {"Circle11", {200, 100}, 0},  // halfway between two items
  };
  for (const Case& c : cases)
    EXPECT_EQ(round::FindExchangeTarget(ring, c.dragged, c.at), c.target)
        << c.dragged << " " << c.at.x << "," << c.at.y;
}

struct ItemTexts {
  std::string file, name, iconDefault, iconDefine, argument, http, workingDirectory;
  friend bool operator==(const ItemTexts&, const ItemTexts&) = default;
};

ItemTexts TextsOf(pugi::xml_node item) {
  return {item.child("File").text().get(),
          item.child("Name").text().get(),
          item.child("IconPath").child("Default").text().get(),
          item.child("IconPath").child("Define").text().get(),
          item.child("Argument").text().get(),
          item.child("Http").text().get(),
          item.last_child().text().get()};
}

void WriteTexts(pugi::xml_node item, const ItemTexts& t) {
  item.child("File").text().set(t.file.c_str());
  item.child("Name").text().set(t.name.c_str());
  item.child("IconPath").child("Default").text().set(t.iconDefault.c_str());
  item.child("IconPath").child("Define").text().set(t.iconDefine.c_str());
  item.child("Argument").text().set(t.argument.c_str());
  item.child("Http").text().set(t.http.c_str());
  item.child("InitialPosition").text().set(t.workingDirectory.c_str());
}

TEST_F(InteractionTest, DroppingAnItemOnAnotherExchangesTheirSlots) {
  const ItemTexts alpha{"C:\\Apps\\alpha.exe", "Alpha", "C:\\Icons\\alpha.ico", "", "-a 1", "http://alpha", "C:\\A"};
  const ItemTexts beta{"C:\\Apps\\beta.exe", "贝塔", "", "C:\\Icons\\beta.png", "", "", "D:\\B"};
  WriteTexts(Circle(1), alpha);
  WriteTexts(Circle(8), beta);
  SetItems({20});
  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);
  const WindowId alphaWindow = Item(1)->id, betaWindow = Item(8)->id;
  const Rect place1 = Item(1)->bounds, place8 = Item(8)->bounds;
  const Point offset1{form->Slots()[1].OffsetX, form->Slots()[1].OffsetY};
  const Point offset8{form->Slots()[8].OffsetX, form->Slots()[8].OffsetY};

  // Alpha's corner ends 12 pixels right of and 7 above Beta's.
  const Point grip = ItemMiddle(1);
  Drag(grip, {grip.x + place8.left - place1.left + 12, grip.y + place8.top - place1.top - 7});

  EXPECT_EQ(desktop_->FindWindow(alphaWindow)->name, "Circle8");
  EXPECT_EQ(desktop_->FindWindow(alphaWindow)->bounds, place8);
  EXPECT_EQ(desktop_->FindWindow(betaWindow)->name, "Circle1");
  EXPECT_EQ(desktop_->FindWindow(betaWindow)->bounds, place1);
  EXPECT_EQ(Named("NO"), nullptr);
  // The slots keep their places and now hold each other's item.
  EXPECT_EQ(form->Slots()[1].Window, betaWindow);
  EXPECT_EQ(form->Slots()[8].Window, alphaWindow);
  EXPECT_EQ((Point{form->Slots()[1].OffsetX, form->Slots()[1].OffsetY}), offset1);
  EXPECT_EQ((Point{form->Slots()[8].OffsetX, form->Slots()[8].OffsetY}), offset8);
  EXPECT_EQ(form->Slots()[1].File, beta.file);
  EXPECT_EQ(form->Slots()[1].Hint, beta.name);
  EXPECT_EQ(form->Slots()[8].Argument, alpha.argument);
  EXPECT_EQ(form->Slots()[8].InitialPosition, alpha.workingDirectory);
  EXPECT_TRUE(desktop_->Launches().empty());
  EXPECT_EQ(desktop_->CurrentCursor(), CursorShape::Default);

  pugi::xml_document doc = LoadConfigDom();
  pugi::xml_node ring = doc.document_element().child("RoundBackground");
  EXPECT_EQ(TextsOf(ring.child("Circle1")), beta);
  EXPECT_EQ(TextsOf(ring.child("Circle8")), alpha);
  EXPECT_EQ(TextsOf(ring.child("Circle20")).file, "C:\\Apps\\app20.exe");

  // A click at slot 1's place now starts Beta.
  Click(ItemMiddle(1));
  ASSERT_EQ(desktop_->Launches().size(), 1u);
  EXPECT_EQ(desktop_->Launches()[0].file, beta.file);
  EXPECT_EQ(desktop_->Launches()[0].directory, beta.workingDirectory);
}

TEST_F(InteractionTest, ExchangeMakesAMissingChildBeforeTheWorkingDirectory) {
  // An element written by an older version without Http: the exchanged
  // address gets a child of its own, and the working directory stays last.
  SetItems({1, 8});
  Circle(1).remove_child("Http");
  Circle(8).child("Http").text().set("http://eight");
  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);
  const Point grip = ItemMiddle(8);
  Drag(grip,
       {grip.x + Item(1)->bounds.left - Item(8)->bounds.left, grip.y + Item(1)->bounds.top - Item(8)->bounds.top});
  pugi::xml_document doc = LoadConfigDom();
  pugi::xml_node one = doc.document_element().child("RoundBackground").child("Circle1");
  pugi::xml_node eight = doc.document_element().child("RoundBackground").child("Circle8");
  EXPECT_STREQ(one.child_value("Http"), "http://eight");
  EXPECT_STREQ(one.last_child().name(), "InitialPosition");
  EXPECT_STREQ(eight.child_value("Http"), "");
  EXPECT_STREQ(eight.child_value("File"), "C:\\Apps\\app1.exe");
}

// Without the file, exchanges and launches change what is on screen and
// never make a file, whole or partial.
TEST_F(InteractionTest, WithoutTheFileAnExchangeChangesOnlyWhatIsOnScreen) {
  SetItems({1, 8});
  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);
  std::filesystem::remove(ConfigFile());
  const WindowId first = Item(1)->id;
  const Point grip = ItemMiddle(1);
  Drag(grip,
       {grip.x + Item(8)->bounds.left - Item(1)->bounds.left, grip.y + Item(8)->bounds.top - Item(1)->bounds.top});
  EXPECT_EQ(Item(8)->id, first);
  EXPECT_EQ(form->Slots()[8].File, "C:\\Apps\\app1.exe");
  Click(ItemMiddle(8));
  EXPECT_EQ(desktop_->Launches().size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(ConfigFile()));
  EXPECT_TRUE(std::filesystem::is_empty(ConfigFile().parent_path())) << "no partial or temporary file";
}

TEST_F(InteractionTest, AnItemThrownBeyondTheRingAreaIsAskedToGo) {
  // The area is the larger of half the ring skin and MinR + SeparationSize + 80,
  // measured from the centre to the point where the pointer lets go.
  struct Case {
    const char* what;
    int backgroundSize, minR, separation;
    int release;  // pixels right of the centre
    bool thrown;
  };
  const Case cases[] = {
      {"on the reach of the rings", 300, 105, 35, 220, false},
      {"a pixel beyond it", 300, 105, 35, 221, true},
      {"a wide skin widens the area", 500, 105, 35, 250, false},
      {"a pixel beyond half the wide skin", 500, 105, 35, 251, true},
      {"wide rings", 300, 200, 50, 330, false},
      {"a pixel beyond wide rings", 300, 200, 50, 331, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    Basic().child("Background").attribute("Size").set_value(c.backgroundSize);
    Basic().child("IconElement").attribute("MinR").set_value(c.minR);
    Basic().child("IconElement").attribute("SeparationSize").set_value(c.separation);
    SetItems({8, 3});
    app::RoundHot* form = Start();
    ASSERT_NE(form, nullptr);
    const WindowId eight = Item(8)->id;
    const Rect start = Item(8)->bounds;
    Drag(ItemMiddle(8), {kCentre.x + c.release, kCentre.y}, 10);
    EXPECT_EQ(desktop_->CurrentCursor(), CursorShape::Default);
    EXPECT_TRUE(desktop_->Launches().empty());
    if (!c.thrown) {
      EXPECT_EQ(Item(8)->bounds, start);
      EXPECT_FALSE(form->Removal().Animating());
      continue;
    }
    ASSERT_TRUE(form->Removal().PendingDestroy().has_value());
    EXPECT_EQ(form->Removal().PendingDestroy()->window, eight);
    EXPECT_EQ(form->Removal().AnimationFrame(), 1);
    EXPECT_EQ(Process().TimerInterval(app::TimerDestroyIcon), 40u);
    EXPECT_TRUE(Process().TimerRunning(app::TimerClearMemory));
    EXPECT_EQ(desktop_->FindWindow(eight)->bounds.left, kCentre.x + c.release - 25) << "it goes where it was let go";
    // The removal plays its frames and empties the slot.
    desktop_->Advance(240);
    EXPECT_EQ(desktop_->FindWindow(eight), nullptr);
    EXPECT_TRUE(form->Slots()[8].File.empty());
    EXPECT_STREQ(LoadConfigDom().document_element().child("RoundBackground").child("Circle8").child_value("File"), "");
    EXPECT_NE(Item(3), nullptr);
  }
}

TEST_F(InteractionTest, AnItemThrownOutWhileAnotherLeavesGoesBack) {
  // One removal animation at a time: the second item stays in the ring.
  SetItems({8, 4});
  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);
  const Rect start = Item(4)->bounds;
  Drag(ItemMiddle(8), {kCentre.x + 260, kCentre.y});
  ASSERT_TRUE(form->Removal().Animating());
  desktop_->Advance(40);
  Drag(ItemMiddle(4), {kCentre.x - 260, kCentre.y});
  EXPECT_EQ(Item(4)->bounds, start);
  desktop_->Advance(400);
  EXPECT_EQ(Item(8), nullptr);
  EXPECT_NE(Item(4), nullptr);
  EXPECT_EQ(form->Slots()[4].File, "C:\\Apps\\app4.exe");
}

TEST(RingArea, SquaresAreComparedWithoutOverflow) {
  // A far drop on a huge ring: 64-bit squares, and the limit itself is inside.
  EXPECT_TRUE(round::InsideRingArea({40080, 0}, {0, 0}, 0, 30000, 10000));
  EXPECT_FALSE(round::InsideRingArea({40081, 0}, {0, 0}, 0, 30000, 10000));
  EXPECT_TRUE(round::InsideRingArea({0, -151}, {0, 0}, 303, 0, 0)) << "303 div 2 is 151";
  EXPECT_FALSE(round::InsideRingArea({0, -152}, {0, 0}, 303, 0, 0));
}

// ---- launching ------------------------------------------------------------------

TEST_F(InteractionTest, AClickWithoutMovementLaunchesTheItem) {
  SetItem(4, {"C:\\Program Files\\编辑器\\edit.exe", "编辑器", "/new \"a b.txt\"", "C:\\Users\\me"});
  SetItem(6, {"::{645FF040-5081-101B-9F08-00AA002F954E}", "回收站", "", ""});
  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);

  Click(ItemMiddle(4), MouseButton::Right);
  EXPECT_TRUE(desktop_->Launches().empty()) << "the right button never launches";
  Click(ItemMiddle(4));
  Click(ItemMiddle(6));
  ASSERT_EQ(desktop_->Launches().size(), 2u);
  EXPECT_EQ(desktop_->Launches()[0].file, "C:\\Program Files\\编辑器\\edit.exe");
  EXPECT_EQ(desktop_->Launches()[0].arguments, "/new \"a b.txt\"");
  EXPECT_EQ(desktop_->Launches()[0].directory, "C:\\Users\\me");
  EXPECT_EQ(desktop_->Launches()[1].file, "::{645FF040-5081-101B-9F08-00AA002F954E}");
  EXPECT_TRUE(form->WindowsShown());
  EXPECT_TRUE(Process().TimerRunning(app::TimerClearMemory));
  EXPECT_EQ(form->Interaction().ActiveIconWindow(), Item(6)->id);

  // The center button runs its command and never launches anything.
  Process().BringToTop(Named("BackGroundForm")->id);
  Click(PointOn("CenterForm"));
  EXPECT_EQ(desktop_->Launches().size(), 2u);
  const std::vector<WindowId>& z = desktop_->ZOrder();
  EXPECT_EQ(desktop_->FindWindow(z[z.size() - 3])->name, "CenterForm") << "the ring is raised first";
}

TEST_F(InteractionTest, HideAfterClickLaunchesThenHidesToTheTray) {
  SetBasicText("HideAfterClick", "True");
  SetItems({7});
  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);
  const Rect start = Item(7)->bounds;
  Click(ItemMiddle(7));
  EXPECT_EQ(desktop_->Launches().size(), 1u);
  EXPECT_FALSE(form->WindowsShown());
  EXPECT_TRUE(Process().Minimized());
  EXPECT_FALSE(Process().IsVisible(Item(7)->id));
  EXPECT_FALSE(Process().TimerRunning(app::TimerIconWobbleUp)) << "a hidden item does not bounce";
  desktop_->Advance(500);
  EXPECT_EQ(Item(7)->bounds, start) << "and stands where it stood";
}

}  // namespace
}  // namespace qv
