// Items leaving: the destroy animation frame by frame and what it removes,
// the requests that arrive while an animation runs, clearing the ring with
// its question, and the dock closing up behind a deleted item. The binding of
// an animation to its item's window is seen where it can happen: a dock item
// that moves down while it plays.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/ItemRemoval.h"
#include "picture/PngLoader.h"
#include "tests/support/Scenario.h"

namespace qv {
namespace {

using test::ItemSpec;
using test::kDir;
using testing::Rgb;

constexpr Rgb kRed{210, 30, 40};
constexpr Rgb kGreen{40, 180, 90};

class RemovalTest : public test::ItemScenario {
 protected:
  void SetUp() override {
    ItemScenario::SetUp();
    Put(kDir + "Icon\\red.png", testing::SolidPng(48, kRed));
    Put(kDir + "Icon\\green.png", testing::SolidPng(48, kGreen));
    std::filesystem::create_directories(desktop_->RealPath("C:\\Apps"));
  }

  static ItemSpec Item(const std::string& name, const std::string& picture, const std::string& argument = "") {
    return {"C:\\Apps", name, "", kDir + "Icon\\" + picture + ".png", argument, "C:\\"};
  }
  std::vector<std::uint32_t> Frame(const std::string& name) {
    return picture::LoadPremultipliedPng(Current(), name).pixels;
  }
  const std::vector<std::uint32_t>& Shown(WindowId w) { return desktop_->FindWindow(w)->surface.pixels; }
};

// ---- the destroy animation -----------------------------------------------------

TEST_F(RemovalTest, ThrowOutShowsFiveFramesThenEmptiesThePlaceInMemoryWindowsAndFile) {
  SetCircle(1, Item("one", "red"));
  SetCircle(2, Item("two", "green", "-x --y"));
  SetCircle(3, Item("three", "red"));
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  const WindowId two = form->Slots()[2].Window;

  ASSERT_TRUE(form->Removal().RequestDestroy(two));
  EXPECT_TRUE(form->Removal().Animates(two));
  EXPECT_FALSE(form->Removal().Animates(form->Slots()[1].Window));
  for (int frame = 1; frame <= 5; ++frame) {
    SCOPED_TRACE(frame);
    const std::vector<std::uint32_t> was = Shown(two);
    desktop_->Advance(39);
    EXPECT_EQ(Shown(two), was) << "nothing before the tick";
    desktop_->Advance(1);
    EXPECT_EQ(Shown(two), Frame("DestroyPNG" + std::to_string(frame)));
    EXPECT_EQ(form->Slots()[2].File, "C:\\Apps") << "the item stays until the last frame has shown";
    EXPECT_TRUE(test::ShowsSolid(form->Slots()[2].Surface, kGreen)) << "frames pass through the window only";
    if (frame == 3) {  // no request meanwhile restarts the animation, doubles it, queues or asks anything
      EXPECT_FALSE(form->Removal().RequestDestroy(form->Slots()[1].Window));
      form->Removal().DeleteItem(two);
      form->Removal().DeleteItem(form->Slots()[3].Window);
      form->NClearClick();
      EXPECT_TRUE(desktop_->MessageBoxes().empty());
    }
  }
  desktop_->Advance(39);
  EXPECT_NE(desktop_->FindWindow(two), nullptr);
  desktop_->Advance(1);  // 240 ms after the request
  EXPECT_EQ(desktop_->FindWindow(two), nullptr);
  EXPECT_FALSE(Current().TimerRunning(TimerDestroyIcon));
  const catalogue::TImageIconRec& rec = form->Slots()[2];
  EXPECT_TRUE(rec.File.empty() && rec.Argument.empty() && rec.Surface.Empty() && rec.Window == kNoWindow);
  desktop_->Advance(400);
  EXPECT_EQ(CountWindowsNamed("Circle"), 2) << "nothing was queued";

  const pugi::xml_document doc = LoadConfigDom();
  EXPECT_EQ(test::TextsOf(FileCircle(doc, 2)), test::kEmptyTexts) << "the place keeps its element, emptied";
  EXPECT_EQ(test::TextsOf(FileCircle(doc, 1))[1], "one");
  EXPECT_EQ(test::TextsOf(FileCircle(doc, 3))[1], "three");
  EXPECT_TRUE(test::ShowsSolid(CircleWindow(3)->surface, kRed)) << "the others keep their places and pictures";
}

// ---- clearing the ring ---------------------------------------------------------

// Clearing asks first; on yes every ring window shows six frames, then the
// ring is emptied, the dock is not.
TEST_F(RemovalTest, ClearAnsweredNoChangesNothingAndYesShowsSixFramesInEveryRingWindowThenEmptiesTheRing) {
  SetCircle(1, Item("a", "red"));
  SetCircle(4, Item("b", "green", "-x"));
  SetCircle(6, {"", "", "", "C:\\x.png", "-stale", "D:\\Old"});  // no target nor name, but leftovers
  SetCircle(9, Item("c", "red"));
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  const std::vector<WindowId> ring = {form->Slots()[1].Window, form->Slots()[4].Window, form->Slots()[9].Window};
  const auto dockText = [&] {
    std::ostringstream s;
    LoadConfigDom().document_element().child("RectBackground").print(s);
    return s.str();
  };
  const std::string dockBefore = dockText();
  const std::string before = ConfigBytes();
  desktop_->ScriptMessageBoxAnswer(MessageBoxResult::No);
  form->NClearClick();
  desktop_->Advance(500);
  EXPECT_EQ(ConfigBytes(), before) << "answered no";
  EXPECT_TRUE(test::ShowsSolid(desktop_->FindWindow(ring[0])->surface, kRed));

  desktop_->ScriptMessageBoxAnswer(MessageBoxResult::Yes);
  form->NClearClick();
  ASSERT_EQ(desktop_->MessageBoxes().size(), 2u);
  EXPECT_EQ(desktop_->MessageBoxes().back().text, "确定要清除所有图标吗？");
  EXPECT_EQ(desktop_->MessageBoxes().back().buttons, MessageBoxButtons::YesNo);

  std::filesystem::create_directories(desktop_->RealPath("C:\\Late"));
  for (int frame = 1; frame <= 6; ++frame) {
    SCOPED_TRACE(frame);
    desktop_->Advance(30);
    for (const WindowId w : ring) EXPECT_EQ(Shown(w), Frame("ClearPNG" + std::to_string(frame)));
    EXPECT_EQ(form->Slots()[4].File, "C:\\Apps");
    if (frame == 2) {  // no request during the clear restarts it, doubles it or asks again
      EXPECT_FALSE(form->Removal().RequestDestroy(ring[0]));
      form->Removal().DeleteItem(ring[1]);
      form->NClearClick();
    }
    // An item dropped while the ring is being cleared was not part of what the user agreed to clear.
    if (frame == 3) Current().Sink()->OnDropFiles({"C:\\Late"}, {5, 5});
  }
  EXPECT_EQ(desktop_->MessageBoxes().size(), 2u);
  desktop_->Advance(29);
  EXPECT_NE(desktop_->FindWindow(ring[0]), nullptr);
  desktop_->Advance(1);  // 210 ms
  for (const WindowId w : ring) EXPECT_EQ(desktop_->FindWindow(w), nullptr);
  for (const int slot : {1, 4, 9}) EXPECT_TRUE(form->Slots()[slot].File.empty()) << slot;
  EXPECT_FALSE(Current().TimerRunning(TimerClearIcon));
  ASSERT_NE(CircleWindow(2), nullptr);
  EXPECT_TRUE(test::ShowsSolid(CircleWindow(2)->surface, test::kMyFilesColour));

  const pugi::xml_document doc = LoadConfigDom();
  // A free place loses its leftovers too.
  for (const int slot : {1, 4, 6, 9, 20}) EXPECT_EQ(test::TextsOf(FileCircle(doc, slot)), test::kEmptyTexts) << slot;
  EXPECT_EQ(test::TextsOf(FileCircle(doc, 2))[0], "C:\\Late");
  EXPECT_EQ(dockText(), dockBefore) << "the dock is not cleared";
}

// ---- the dock ------------------------------------------------------------------

// A dock of five folders dropped on the bar, each with a window as the bar makes it.
class DockRemovalTest : public RemovalTest {
 protected:
  void SetUp() override {
    RemovalTest::SetUp();
    SetRectList({});
    form_ = Start();
    ASSERT_NE(form_, nullptr);
    form_->AttachDockBar(&bar_);
    for (int j = 1; j <= 5; ++j) ASSERT_NO_FATAL_FAILURE(Append(j));
  }
  void Append(int j) {
    const std::string folder = "C:\\Dock\\Item" + std::to_string(j);
    std::filesystem::create_directories(desktop_->RealPath(folder));
    Current().Sink()->OnDropFiles({folder}, {10, 700});
    const int slot = 20 + form_->RectItemCount();
    catalogue::TImageIconRec& rec = form_->Slots()[slot];
    ASSERT_EQ(rec.File, folder);
    ASSERT_NE(rec.Window, kNoWindow) << "the dock makes the item's window";
    ids_.push_back(rec.Window);
  }

  // What the dock holds now, as item numbers, from the records, the windows and the file.
  void ExpectDock(const std::vector<int>& items) {
    const int n = static_cast<int>(items.size());
    ASSERT_EQ(form_->RectItemCount(), n);
    const pugi::xml_node rect = LoadConfigDom().document_element().child("RectBackground");
    std::vector<std::string> expectedNames;
    for (int j = 1; j <= n; ++j) {
      SCOPED_TRACE(j);
      const std::string item = "Item" + std::to_string(items[j - 1]);
      expectedNames.push_back("Rect" + std::to_string(j));
      const catalogue::TImageIconRec& rec = form_->Slots()[20 + j];
      EXPECT_EQ(rec.Window, ids_[static_cast<std::size_t>(items[j - 1] - 1)]) << "the item keeps its own window";
      ASSERT_NE(desktop_->FindWindow(rec.Window), nullptr);
      EXPECT_EQ(desktop_->FindWindow(rec.Window)->name, expectedNames.back());
      const std::vector<std::string> texts = {"C:\\Dock\\" + item, item, "", test::kMyFiles, "", "", "C:\\Dock"};
      EXPECT_EQ((std::vector<std::string>{rec.File, rec.Hint}), (std::vector<std::string>{texts[0], texts[1]}));
      EXPECT_EQ(test::TextsOf(rect.child(expectedNames.back().c_str())), texts);
    }
    EXPECT_EQ(test::ChildNames(rect), expectedNames);
    EXPECT_TRUE(form_->Slots()[21 + n].File.empty());
    EXPECT_EQ(form_->Slots()[21 + n].Window, kNoWindow);
    EXPECT_EQ(CountWindowsNamed("Rect"), n);
  }

  test::TestDockBar bar_{{0, 690, 400, 70}};
  app::MainForm* form_ = nullptr;
  std::vector<WindowId> ids_;
};

// A middle, the last and the first item in turn; then a new item follows the last.
TEST_F(DockRemovalTest, MenuDeleteClosesTheGapAtOnceAndTheNextItemFollowsTheLast) {
  const std::pair<int, std::vector<int>> deletes[] = {{3, {1, 2, 4, 5}}, {5, {1, 2, 4}}, {1, {2, 4}}};
  for (const auto& [removed, left] : deletes) {
    SCOPED_TRACE(removed);
    form_->Removal().DeleteItem(ids_[static_cast<std::size_t>(removed - 1)]);
    EXPECT_EQ(desktop_->FindWindow(ids_[static_cast<std::size_t>(removed - 1)]), nullptr);
    EXPECT_EQ(form_->Removal().AnimationFrame(), 0) << "no animation for the menu's delete";
    ExpectDock(left);
  }
  EXPECT_EQ(bar_.removed, std::vector<catalogue::RemovalVariant>(3, catalogue::RemovalVariant::Menu));
  ASSERT_NO_FATAL_FAILURE(Append(6));
  ExpectDock({2, 4, 6});
  EXPECT_EQ(bar_.appended.back().first, 23);
}

TEST_F(DockRemovalTest, DragOffTheBarAnimatesThenClosesTheGapEvenWhenTheItemMovedMeanwhile) {
  const WindowId dragged = ids_[3];  // the fourth item
  ASSERT_TRUE(form_->Removal().RequestDestroy(dragged));
  desktop_->Advance(80);
  EXPECT_EQ(Shown(dragged), Frame("DestroyPNG2"));

  form_->Removal().DeleteItem(dragged);  // the menu on the item being removed: already going
  EXPECT_EQ(form_->RectItemCount(), 5);
  form_->Removal().DeleteItem(ids_[0]);  // the menu on another dock item acts at once
  ExpectDock({2, 3, 4, 5});
  EXPECT_EQ(desktop_->FindWindow(dragged)->name, "Rect3");

  desktop_->Advance(159);
  EXPECT_EQ(form_->RectItemCount(), 4);
  desktop_->Advance(1);
  EXPECT_EQ(desktop_->FindWindow(dragged), nullptr);
  ExpectDock({2, 3, 5});
  EXPECT_EQ(bar_.removed,
            (std::vector<catalogue::RemovalVariant>{catalogue::RemovalVariant::Menu, catalogue::RemovalVariant::Drag}));
}

}  // namespace
}  // namespace qv
