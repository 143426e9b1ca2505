// The keyboard alone: the hot key, Tab and Shift+Tab over the ring and the
// dock, Enter and Escape, on the headless desktop.

#include <gtest/gtest.h>

#include "tests/support/Scenario.h"

namespace qv {
namespace {

constexpr unsigned kTab = 0x09, kEnter = 0x0D;

class KeyboardTest : public test::ItemScenario {};

// The focus ring's drawing, Enter's launch and Escape are the Wine keyboard scenario's.
TEST_F(KeyboardTest, TabWalksTheShownItemsInOrderForgetsARemovedOneAndEnterActsAsAClick) {
  SetItems({2, 5, 9});
  SetRectList({{"C:\\Apps\\d1.exe", "dock 1", "", "", "", ""}, {"C:\\Apps\\d2.exe", "dock 2", "", "", "", ""}});
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  // Hidden and shown again by the hot key, which hands the keyboard to the ring.
  ASSERT_TRUE(desktop_->PressHotKey(kModAlt, 'C') && desktop_->PressHotKey(kModAlt, 'C'));
  desktop_->KeyDown(kEnter);  // nothing focused: the ring's own Enter, no launch
  EXPECT_TRUE(desktop_->Launches().empty());
  // Empty ring slots are skipped; from no focus Shift+Tab takes the last; both ways wrap.
  const struct {
    bool shift;
    int slot;
  } steps[] = {{true, 22}, {false, 2}, {false, 5}, {false, 9}, {false, 21}, {false, 22}, {false, 2}, {true, 22},
               {true, 21}, {true, 9}, {true, 5}};
  for (const auto& step : steps) {
    desktop_->KeyDown(kTab, step.shift);
    EXPECT_EQ(form->Focus().Slot(), step.slot) << (step.shift ? "Shift+Tab" : "Tab");
  }
  desktop_->KeyDown(kEnter);
  ASSERT_EQ(desktop_->Launches().size(), 1u);
  EXPECT_EQ(desktop_->Launches()[0].file, "C:\\Apps\\app5.exe");
  EXPECT_TRUE(form->Interaction().HoverState().Bouncing());
  desktop_->KeyDown(kTab, true);
  ASSERT_EQ(form->Focus().Slot(), 2);
  form->Removal().DeleteItem(form->Slots()[2].Window);  // played out, then gone
  desktop_->Advance(2000);
  EXPECT_EQ(form->Focus().Slot(), 0);
  desktop_->KeyDown(kTab);
  EXPECT_EQ(form->Focus().Slot(), 5);
  // The ring switched off under the focus: Enter no longer reaches its hidden item.
  form->ToggleRound();
  desktop_->KeyDown(kEnter);
  EXPECT_EQ(desktop_->Launches().size(), 1u);
  EXPECT_EQ(form->Focus().Slot(), 0);
}

// What a screen reader hears and does: each item's name (its file's when it
// has none) and the focus ring's place; invoke acts as a click, refused
// while a box holds the program.
TEST_F(KeyboardTest, AssistiveClientsHearTheItemsAndInvokeThemAsAClick) {
  SetItems({2});
  SetRectList({{"C:\\Apps\\d1.exe", "dock 1", "", "", "", ""}, {"C:\\Apps\\d2.exe", "", "", "", "", ""}});
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  ASSERT_TRUE(desktop_->PressHotKey(kModAlt, 'C') && desktop_->PressHotKey(kModAlt, 'C'));
  desktop_->KeyDown(kTab);
  const WindowId ring = form->Slots()[2].Window, dock1 = form->Slots()[21].Window;
  EXPECT_EQ(desktop_->AnnouncedFocus(), ring);
  const struct {
    WindowId window;
    const char* name;  // nullptr: not an item
    bool focused;
  } cases[] = {{ring, "item 2", true},
               {dock1, "dock 1", false},
               {form->Slots()[22].Window, "d2.exe", false},
               {form->Round().CenterWindow(), "Quorvel", false},
               {form->MainWindow(), nullptr, false},
               {kNoWindow, nullptr, false}};
  for (const auto& c : cases) {
    const std::optional<AccessibleItem> heard = form->OnAccessibleQuery(c.window);
    ASSERT_EQ(heard.has_value(), c.name != nullptr) << c.window;
    if (heard) {
      EXPECT_EQ(std::make_pair(heard->name, heard->focused), std::make_pair(std::string(c.name), c.focused));
    }
  }
  desktop_->ScriptMessageBoxAnswer(MessageBoxResult::No, [&] { form->OnAccessibleInvoke(dock1); });
  form->NClearClick();
  EXPECT_TRUE(desktop_->Launches().empty());
  form->OnAccessibleInvoke(dock1);
  ASSERT_EQ(desktop_->Launches().size(), 1u);
  EXPECT_EQ(desktop_->Launches()[0].file, "C:\\Apps\\d1.exe");
}

}  // namespace
}  // namespace qv
