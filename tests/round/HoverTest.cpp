#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "round/Hover.h"
#include "tests/support/Scenario.h"

namespace qv {
namespace {

using test::ItemScenario;

class HoverTest : public ItemScenario {
 protected:
  const headless::WindowRecord* Label() const { return Named("FormHint"); }
  std::string LHint(app::MainForm& form) { return form.Interaction().HoverState().Hint()->LHint(); }
};

TEST_F(HoverTest, TheItemUnderThePointerDimsAndShowsItsNameBelowIt) {
  // Headless text is blocks: a 12-point font is 16 pixels, a Latin letter half
  // that plus one when bold, a Chinese one 16, the line a quarter taller.
  // The font is HintFont Define (null keeps the distributed one), top the main
  // form's Position Top, colour the letters' 0x00RRGGBB.
  const struct { const char* what; int slot; const char *name, *font; int top; Size label; std::uint32_t colour; }
      cases[] = {
      {"the bottom item, the factory font", 2, "Notepad", nullptr, 368, {63, 20}, 0xE9E9E9},
      {"a font of the user's", 8, "Notepad", "\"Tahoma\", 9, [Italic], [clRed]", 368, {42, 15}, 0xFF0000},
      {"an odd width halved toward zero, below the screen", 14, "Notepad1", nullptr, 700, {72, 20}, 0xE9E9E9},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    Basic().child("Position").attribute("Top").set_value(c.top);
    if (c.font) Basic().child("HintFont").attribute("Define").set_value(c.font);
    SetCircle(c.slot, {"C:\\Apps\\x.exe", c.name, "", "", "", ""});
    SetItems({3});
    app::MainForm* form = Start();
    ASSERT_NE(form, nullptr);
    ASSERT_NE(Label(), nullptr);

    const Rect item = CircleWindow(c.slot)->bounds;
    Process().BringToTop(CircleWindow(3)->id);
    desktop_->MouseMove(ItemMiddle(c.slot));
    EXPECT_EQ(CircleWindow(c.slot)->alpha, 200);
    EXPECT_EQ(CircleWindow(3)->alpha, 255);
    EXPECT_EQ(LHint(*form), c.name);
    EXPECT_EQ(Label()->bounds,
              (Rect{item.left + 25 - c.label.width / 2, item.top + 50, c.label.width, c.label.height}));
    EXPECT_EQ(desktop_->ZOrder().back(), Label()->id) << "the label comes to the front";
    EXPECT_EQ(Label()->surface.At(2, 6), 0xFF000000 | c.colour) << "letters in the label's colour";
    EXPECT_EQ(AlphaOf(Label()->surface.At(0, 0)), 0);

    // Leaving: the item is whole again, the label keeps its place and shows nothing.
    desktop_->MouseMove({5, 5});
    EXPECT_EQ(CircleWindow(c.slot)->alpha, 255);
    EXPECT_EQ(LHint(*form), "");
    for (std::uint32_t p : Label()->surface.pixels) ASSERT_EQ(AlphaOf(p), 0);
  }
}

TEST_F(HoverTest, ALaunchedItemJumpsTwiceAndLandsWhereItStarted) {
  SetItems({2});
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  const Rect rest = CircleWindow(2)->bounds;
  desktop_->MouseMove(ItemMiddle(2));
  ASSERT_EQ(LHint(*form), "item 2");
  desktop_->MouseDown(ItemMiddle(2));
  EXPECT_EQ(LHint(*form), "") << "a press clears the label";
  desktop_->MouseUp(ItemMiddle(2));
  ASSERT_EQ(desktop_->Launches().size(), 1u);
  EXPECT_EQ(CircleWindow(2)->alpha, 255) << "a launch shows the item whole";

  // Each run of moves one way, and when the item is back: up 16 at 5 ms a pixel, down at 2 ms, then 11.
  std::vector<int> runs;
  int top = rest.top;
  std::int64_t landed = 0;
  for (std::int64_t t = 1; t <= 300; ++t) {
    desktop_->Advance(1);
    const int dy = CircleWindow(2)->bounds.top - top;
    if (dy != 0 && (runs.empty() || (runs.back() < 0) != (dy < 0))) runs.push_back(0);
    if (dy != 0) landed = t;
    if (!runs.empty()) runs.back() += dy;
    top += dy;
    ASSERT_EQ(CircleWindow(2)->bounds.left, rest.left);
  }
  EXPECT_EQ(runs, (std::vector<int>{-16, 16, -11, 11}));
  EXPECT_EQ(landed, 201) << "16 × 5 + 5, 16 × 2 + 2, 11 × 5 + 5, 11 × 2 ms: a tick hands over each time";
  EXPECT_EQ(CircleWindow(2)->bounds, rest);
  EXPECT_FALSE(Process().TimerRunning(TimerIconWobbleUp));
  EXPECT_FALSE(Process().TimerRunning(TimerIconWobbleDown));
}

// The steps a long run of real input found, in both orders the systems tell
// a move between two windows: the label shows the name of the item under the
// pointer whatever leave comes late, and a drag after a launch moves the item.
TEST_F(HoverTest, ALateLeaveOfAnotherWindowNeverEmptiesTheLabel) {
  for (const bool leaveAfterEnter : {false, true}) {
    SCOPED_TRACE(leaveAfterEnter ? "the leave after the enter" : "the leave first");
    TearDown();
    SetUp();
    SetItems({3, 4, 5, 9});
    app::MainForm* form = Start();
    ASSERT_NE(form, nullptr);
    desktop_->SetLeaveAfterEnter(leaveAfterEnter);
    const Point rest = ItemMiddle(3);
    desktop_->MouseMove(rest);
    ASSERT_EQ(LHint(*form), "item 3");
    desktop_->Wheel(rest, -1);
    desktop_->Advance(500);
    desktop_->MouseMove(rest);  // the system's move for windows that moved under a still pointer
    desktop_->MouseMove(ItemMiddle(3));
    form->OnKeyDown(form->MainWindow(), 37);  // Left
    desktop_->Advance(500);
    desktop_->MouseMove(desktop_->Cursor());
    desktop_->MouseMove(ItemMiddle(5));

    EXPECT_EQ(LHint(*form), "item 5");
    EXPECT_EQ(form->Interaction().HoverState().LabelOwner(), CircleWindow(5)->id);
    bool letters = false;
    for (std::uint32_t p : Label()->surface.pixels) letters = letters || AlphaOf(p) != 0;
    EXPECT_TRUE(letters) << "the label shows the name, not an empty box";
    for (int slot : {3, 4, 9}) EXPECT_EQ(CircleWindow(slot)->alpha, 255) << slot;
    EXPECT_EQ(CircleWindow(5)->alpha, 200);

    Click(ItemMiddle(4));
    ASSERT_EQ(desktop_->Launches().size(), 1u);
    const Rect main = desktop_->FindWindow(form->MainWindow())->bounds;
    const WindowId three = CircleWindow(3)->id;
    Drag(ItemMiddle(3), ItemMiddle(5));
    EXPECT_EQ(desktop_->FindWindow(form->MainWindow())->bounds, main) << "the ring stays where it is";
    EXPECT_EQ(CircleWindow(5)->id, three) << "the item dragged took the place dropped on";
    EXPECT_EQ(form->Slots()[5].File, "C:\\Apps\\app3.exe");
  }
}

}  // namespace
}  // namespace qv
