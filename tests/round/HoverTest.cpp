// The ring answering the pointer without a click: items dim under it and show
// their names in the label window; a launched item bounces.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "round/Hover.h"
#include "tests/round/RingScenario.h"

namespace qv {
namespace {

using testing::RingScenario;

class HoverTest : public RingScenario {
 protected:
  const headless::WindowRecord* Label() const { return Named("FormHint"); }
  std::string LHint(app::RoundHot& form) { return form.Interaction().HoverState().Hint()->LHint(); }
  static bool Blank(const LayeredSurface& s) {
    for (std::uint32_t p : s.pixels)
      if (AlphaOf(p) != 0) return false;
    return true;
  }
};

TEST_F(HoverTest, TheItemUnderThePointerDimsAndShowsItsNameBelowIt) {
  // The headless canvas sets text in blocks: a 12-point font is 16 pixels,
  // each Latin letter half that plus one when bold, each Chinese one 16, the
  // line a quarter taller. Tahoma 9 is 12 pixels.
  struct Case {
    const char* what;
    int slot;
    const char* name;
    const char* font;  // HintFont Define; null keeps the distributed one
    int top;           // Position Top of the main form
    Size label;
    std::uint32_t colour;  // 0x00RRGGBB of the letters
  };
  const Case cases[] = {
      {"the bottom item, the factory font", 2, "Notepad", nullptr, 368, {63, 20}, 0xE9E9E9},
      {"a Chinese name", 6, "记事本", nullptr, 368, {48, 20}, 0xE9E9E9},
      {"a font of the user's", 8, "Notepad", "\"Tahoma\", 9, [Italic], [clRed]", 368, {42, 15}, 0xFF0000},
      {"an odd width, halved toward zero", 14, "Notepad1", nullptr, 368, {72, 20}, 0xE9E9E9},
      {"below the bottom of the screen", 2, "Notepad", nullptr, 700, {63, 20}, 0xE9E9E9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    Basic().child("Position").attribute("Top").set_value(c.top);
    if (c.font) Basic().child("HintFont").attribute("Define").set_value(c.font);
    SetItem(c.slot, {"C:\\Apps\\x.exe", c.name, "", ""});
    SetItems({3});
    app::RoundHot* form = Start();
    ASSERT_NE(form, nullptr);
    ASSERT_NE(Label(), nullptr);
    EXPECT_TRUE(Label()->visible) << "shown from the start, empty";
    EXPECT_TRUE(Blank(Label()->surface));

    const Rect item = Item(c.slot)->bounds;
    Process().BringToTop(Item(3)->id);
    desktop_->MouseMove(ItemMiddle(c.slot));
    EXPECT_EQ(Item(c.slot)->alpha, 200);
    EXPECT_EQ(Item(3)->alpha, 255);
    EXPECT_EQ(LHint(*form), c.name);
    EXPECT_EQ(Label()->bounds,
              (Rect{item.left + 25 - c.label.width / 2, item.top + 50, c.label.width, c.label.height}));
    EXPECT_EQ(desktop_->ZOrder().back(), Label()->id) << "the label comes to the front";
    // Letters in the label's colour on nothing at all.
    const std::uint32_t letter = Label()->surface.At(2, 6);
    EXPECT_EQ(AlphaOf(letter), 255);
    EXPECT_EQ(letter & 0xFFFFFF, c.colour);
    EXPECT_EQ(AlphaOf(Label()->surface.At(0, 0)), 0);

    // Leaving: the item is whole again, the label keeps its place and shows nothing.
    desktop_->MouseMove({5, 5});
    EXPECT_EQ(Item(c.slot)->alpha, 255);
    EXPECT_EQ(LHint(*form), "");
    EXPECT_TRUE(Blank(Label()->surface));
    EXPECT_EQ(Label()->bounds.left, item.left + 25 - c.label.width / 2);
  }
}

TEST_F(HoverTest, WithoutLabelsTheItemStillDims) {
  Basic().child("HintFont").attribute("IsShowHint").set_value("False");
  SetItems({1});
  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);
  const Rect before = Label()->bounds;
  desktop_->MouseMove(ItemMiddle(1));
  EXPECT_EQ(Item(1)->alpha, 200);
  EXPECT_EQ(LHint(*form), "");
  EXPECT_EQ(Label()->bounds, before);
}

TEST_F(HoverTest, APressClearsTheLabel) {
  SetItems({5});
  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);
  desktop_->MouseMove(ItemMiddle(5));
  EXPECT_EQ(LHint(*form), "item 5");
  desktop_->MouseDown(ItemMiddle(5));
  EXPECT_EQ(LHint(*form), "");
  // Carried over the ring, the item shows no label on its way.
  desktop_->MouseMove({ItemMiddle(5).x + 30, ItemMiddle(5).y + 30});
  desktop_->MouseMove({ItemMiddle(5).x + 5, ItemMiddle(5).y + 5});
  EXPECT_EQ(LHint(*form), "");
  desktop_->MouseUp(ItemMiddle(5));
}

TEST_F(HoverTest, TheWheelOverTheLabelTurnsTheRings) {
  SetItems({2});
  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);
  desktop_->MouseMove(ItemMiddle(2));
  desktop_->Wheel(PointOn("FormHint"), -1);
  EXPECT_TRUE(Process().TimerRunning(app::TimerRotation));
  desktop_->Advance(1000);
  EXPECT_NEAR(form->RotationAngle(), 0.8, 1e-9);
}

TEST_F(HoverTest, AnItemOnItsWayOutNoLongerAnswers) {
  SetItems({8});
  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);
  Drag(ItemMiddle(8), {1200, 452});
  ASSERT_TRUE(form->Removal().Animating());
  const WindowId leaving = Item(8)->id;
  desktop_->MouseMove({5, 5});
  desktop_->MouseMove({1200, 452});
  EXPECT_NE(desktop_->FindWindow(leaving)->alpha, 200);
  EXPECT_EQ(LHint(*form), "");
}

// Hover without a desktop scenario: before the start-up step has finished
// loading, the pointer over an item changes nothing.
TEST(HoverBeforeLoading, NothingHappensUntilTheItemsAreLoaded) {
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("quorvel-hover-" + std::to_string(::getpid()));
  {
    headless::HeadlessDesktop desktop(root, QV_ART_DIR);
    headless::HeadlessProcess process(desktop);
    Platform& platform = process.AsPlatform();
    config::Settings settings;
    catalogue::ItemSlots slots;
    WindowSpec spec;
    spec.name = "FormRoundHot";
    const WindowId main = process.CreateWindow(spec);
    spec.name = "Circle4";
    spec.bounds = {100, 100, 50, 50};
    slots[4].Window = process.CreateWindow(spec);
    slots[4].Surface = LayeredSurface(50, 50);
    slots[4].Hint = "four";
    process.PushLayered(slots[4].Window, slots[4].Surface, 255);
    bool loaded = false;
    round::Hover hover(platform, settings, slots, main, loaded);
    hover.CreateHintWindow(WindowLayer::Normal, settings.HintFontDefine);

    hover.MouseEnter(slots[4].Window);
    EXPECT_EQ(desktop.FindWindow(slots[4].Window)->alpha, 255);
    EXPECT_EQ(hover.Hint()->LHint(), "");
    EXPECT_FALSE(hover.HoverActive());
    loaded = true;
    hover.MouseEnter(slots[4].Window);
    EXPECT_EQ(desktop.FindWindow(slots[4].Window)->alpha, 200);
    EXPECT_EQ(hover.Hint()->LHint(), "four");
    EXPECT_TRUE(hover.HoverActive());
  }
  std::filesystem::remove_all(root);
}

// ---- the bounce ----------------------------------------------------------------------

struct Move {
  std::int64_t at;  // ms after the click
  int dy;
};

std::vector<Move> ExpectedBounce() {
  std::vector<Move> moves;
  std::int64_t t = 0;
  auto run = [&](int count, int dy, int interval) {
    for (int i = 0; i < count; ++i) moves.push_back({t += interval, dy});
    t += interval;  // the tick that hands over to the other timer moves nothing
  };
  run(16, -1, 5);  // up 16 at one pixel per 5 ms
  run(16, +1, 2);  // down 16 at one pixel per 2 ms
  run(11, -1, 5);
  run(11, +1, 2);
  return moves;
}

TEST_F(HoverTest, ALaunchedItemJumpsTwiceAndLandsWhereItStarted) {
  SetItems({2});
  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);
  const Rect rest = Item(2)->bounds;
  desktop_->MouseMove(ItemMiddle(2));
  EXPECT_EQ(Item(2)->alpha, 200);
  Click(ItemMiddle(2));
  ASSERT_EQ(desktop_->Launches().size(), 1u);
  EXPECT_EQ(Item(2)->alpha, 255) << "a launch shows the item whole";
  EXPECT_FALSE(form->Interaction().HoverState().HoverActive());
  EXPECT_EQ(Process().TimerInterval(app::TimerIconWobbleUp), 5u);

  std::vector<Move> seen;
  int top = rest.top;
  for (std::int64_t t = 1; t <= 300; ++t) {
    desktop_->Advance(1);
    const int now = Item(2)->bounds.top;
    if (now != top) seen.push_back({t, now - top});
    top = now;
    EXPECT_EQ(Item(2)->bounds.left, rest.left);
  }
  const std::vector<Move> expected = ExpectedBounce();
  ASSERT_EQ(seen.size(), expected.size());
  for (std::size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].at, expected[i].at) << i;
    EXPECT_EQ(seen[i].dy, expected[i].dy) << i;
  }
  EXPECT_EQ(Item(2)->bounds, rest);
  EXPECT_FALSE(Process().TimerRunning(app::TimerIconWobbleUp));
  EXPECT_FALSE(Process().TimerRunning(app::TimerIconWobbleDown));
}

TEST_F(HoverTest, ANewLaunchStopsTheBounceFirst) {
  struct Case {
    const char* what;
    int second;  // the slot clicked 40 ms after slot 2
  };
  for (const Case& c : {Case{"another item", 5}, Case{"the same item again", 2}}) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    SetItems({2, 5});
    ASSERT_NE(Start(), nullptr);
    const Rect rest2 = Item(2)->bounds, rest5 = Item(5)->bounds;
    Click(ItemMiddle(2));
    desktop_->Advance(40);
    EXPECT_EQ(Item(2)->bounds.top, rest2.top - 8);
    Click(ItemMiddle(c.second));
    if (c.second != 2) {
      EXPECT_EQ(Item(2)->bounds, rest2) << "back at its place at once";
    }
    EXPECT_EQ(desktop_->Launches().size(), 2u) << "a press on a bouncing item is still a click";
    desktop_->Advance(5);
    EXPECT_EQ(Item(c.second)->bounds.top, (c.second == 2 ? rest2 : rest5).top - 1) << "the new bounce begins";
    desktop_->Advance(300);
    EXPECT_EQ(Item(2)->bounds, rest2);
    EXPECT_EQ(Item(5)->bounds, rest5);
  }
}

TEST_F(HoverTest, ASlowClickOnABouncingItemIsStillAClick) {
  // Pressed while it jumps, the item stops where it rests; the jump alone
  // does not make the press a drag.
  SetItems({2});
  ASSERT_NE(Start(), nullptr);
  const Rect rest = Item(2)->bounds;
  Click(ItemMiddle(2));
  desktop_->Advance(30);
  const Point grip{ItemMiddle(2).x, ItemMiddle(2).y};
  desktop_->MouseDown(grip);
  EXPECT_EQ(Item(2)->bounds, rest);
  desktop_->Advance(30);
  desktop_->MouseUp(grip);
  EXPECT_EQ(desktop_->Launches().size(), 2u);
  desktop_->Advance(300);
  EXPECT_EQ(Item(2)->bounds, rest);
}

}  // namespace
}  // namespace qv
