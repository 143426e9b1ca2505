// Items leaving: the destroy animation frame by frame and what it removes,
// its binding to the item it started on, clearing the ring with its question,
// the dock closing up behind a deleted item, and the requests that arrive
// while an animation runs.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "catalogue/Drop.h"
#include "catalogue/ItemRemoval.h"
#include "config/ItemFile.h"
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

  // A fresh start on the file the test set up, after an earlier start if any.
  app::MainForm* StartFresh() {
    if (processes_.empty()) return Start();
    std::ostringstream xml;
    config_.save(xml, "\t", pugi::format_default, pugi::encoding_utf8);
    InstallConfig(xml.str());
    return Restart();
  }
};

// ---- the destroy animation -----------------------------------------------------

TEST_F(RemovalTest, ThrowOutShowsFiveFramesThenEmptiesThePlaceInMemoryWindowsAndFile) {
  SetCircle(1, Item("one", "red"));
  SetCircle(2, Item("two", "green", "-x --y"));
  SetCircle(3, Item("three", "red"));
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  const WindowId two = form->Slots()[2].Window;
  const headless::WindowRecord before1 = *CircleWindow(1);
  const headless::WindowRecord before3 = *CircleWindow(3);

  ASSERT_TRUE(form->Removal().RequestDestroy(two));
  EXPECT_TRUE(form->Removal().Animates(two));
  EXPECT_FALSE(form->Removal().Animates(before1.id));
  for (int frame = 1; frame <= 5; ++frame) {
    SCOPED_TRACE(frame);
    EXPECT_EQ(form->Removal().AnimationFrame(), frame);
    const int pushes = desktop_->FindWindow(two)->pushCount;
    desktop_->Advance(39);
    EXPECT_EQ(desktop_->FindWindow(two)->pushCount, pushes) << "nothing before the tick";
    desktop_->Advance(1);
    EXPECT_EQ(Shown(two), Frame("DestroyPNG" + std::to_string(frame)));
    EXPECT_EQ(form->Slots()[2].File, "C:\\Apps") << "the item stays until the last frame has shown";
    EXPECT_TRUE(test::ShowsSolid(form->Slots()[2].Surface, kGreen)) << "frames pass through the window only";
  }
  desktop_->Advance(39);
  EXPECT_NE(desktop_->FindWindow(two), nullptr);
  desktop_->Advance(1);  // 240 ms after the request
  EXPECT_EQ(desktop_->FindWindow(two), nullptr);
  EXPECT_EQ(form->Removal().AnimationFrame(), 0);
  EXPECT_FALSE(Current().TimerRunning(TimerDestroyIcon));
  const catalogue::TImageIconRec& rec = form->Slots()[2];
  EXPECT_TRUE(rec.File.empty() && rec.Argument.empty() && rec.Surface.Empty());
  EXPECT_EQ(rec.Window, kNoWindow);

  // The other items do not move, keep their names and their pictures.
  for (const headless::WindowRecord* was : {&before1, &before3}) {
    const headless::WindowRecord* now = desktop_->FindWindow(was->id);
    ASSERT_NE(now, nullptr);
    EXPECT_EQ(std::tie(now->name, now->bounds, now->surface.pixels),
              std::tie(was->name, was->bounds, was->surface.pixels));
  }
  const pugi::xml_document doc = LoadConfigDom();
  EXPECT_EQ(test::TextsOf(FileCircle(doc, 2)), test::kEmptyTexts) << "the place keeps its element, emptied";
  EXPECT_EQ(test::TextsOf(FileCircle(doc, 1))[1], "one");
  EXPECT_EQ(test::TextsOf(FileCircle(doc, 3))[1], "three");
}

TEST_F(RemovalTest, AnItemThatChangedPlacesDuringTheAnimationIsRemovedFromItsNewPlace) {
  SetCircle(1, Item("thrown", "red"));
  SetCircle(2, Item("other", "green"));
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  const WindowId thrown = form->Slots()[1].Window;
  const WindowId other = form->Slots()[2].Window;
  ASSERT_TRUE(form->Removal().RequestDestroy(thrown));
  desktop_->Advance(80);
  // An exchange of places as the ring makes it: records swapped whole, windows renamed.
  catalogue::ItemSlots& slots = form->Slots();
  std::swap(slots[1], slots[2]);
  std::swap(slots[1].OffsetX, slots[2].OffsetX);
  std::swap(slots[1].OffsetY, slots[2].OffsetY);
  Current().SetName(thrown, "NO");
  Current().SetName(other, "Circle1");
  Current().SetName(thrown, "Circle2");
  Platform& platform = Current().AsPlatform();
  ASSERT_EQ(config::ItemFile(platform.files, platform.system, config::UserInfoPath(platform.files)).SwapRingItems(1, 2),
            config::EditResult::Saved);

  desktop_->Advance(160);
  EXPECT_EQ(desktop_->FindWindow(thrown), nullptr);
  ASSERT_NE(desktop_->FindWindow(other), nullptr);
  EXPECT_EQ(slots[1].Window, other);
  EXPECT_EQ(slots[1].Hint, "other");
  EXPECT_TRUE(slots[2].File.empty());
  EXPECT_EQ(test::TextsOf(FileCircle(LoadConfigDom(), 2)), test::kEmptyTexts);
}

TEST_F(RemovalTest, SecondRequestDuringTheDestroyAnimationNeitherRestartsNorDoublesIt) {
  SetCircle(1, Item("first", "red"));
  SetCircle(2, Item("second", "green"));
  enum class Second { DestroySame, DestroyOther, DeleteSame, DeleteOther, Clear };
  for (const Second second :
       {Second::DestroySame, Second::DestroyOther, Second::DeleteSame, Second::DeleteOther, Second::Clear}) {
    SCOPED_TRACE(static_cast<int>(second));
    app::MainForm* form = StartFresh();
    ASSERT_NE(form, nullptr);
    const WindowId first = form->Slots()[1].Window;
    const WindowId other = form->Slots()[2].Window;
    ASSERT_TRUE(form->Removal().RequestDestroy(first));
    desktop_->Advance(120);  // three frames shown
    const std::size_t boxes = desktop_->MessageBoxes().size();
    switch (second) {
      case Second::DestroySame:
        EXPECT_FALSE(form->Removal().RequestDestroy(first));
        break;
      case Second::DestroyOther:
        EXPECT_FALSE(form->Removal().RequestDestroy(other));
        break;
      case Second::DeleteSame:
        form->Removal().DeleteItem(first);
        break;
      case Second::DeleteOther:
        form->Removal().DeleteItem(other);
        break;
      case Second::Clear:
        form->NClearClick();
        break;
    }
    EXPECT_EQ(form->Removal().AnimationFrame(), 4);
    EXPECT_EQ(desktop_->MessageBoxes().size(), boxes) << "no question while an animation runs";
    EXPECT_FALSE(Current().TimerRunning(TimerClearIcon));
    desktop_->Advance(80);
    EXPECT_EQ(Shown(first), Frame("DestroyPNG5"));
    desktop_->Advance(40);  // 240 ms after the first request, not after the second
    EXPECT_EQ(desktop_->FindWindow(first), nullptr);
    ASSERT_NE(desktop_->FindWindow(other), nullptr);
    EXPECT_TRUE(test::ShowsSolid(desktop_->FindWindow(other)->surface, kGreen));
    EXPECT_EQ(form->Slots()[2].File, "C:\\Apps");
    desktop_->Advance(400);
    EXPECT_NE(desktop_->FindWindow(other), nullptr) << "nothing was queued";
  }
}

// ---- clearing the ring ---------------------------------------------------------

TEST_F(RemovalTest, ClearAnsweredNoChangesNothingAndYesShowsSixFramesInEveryRingWindowThenEmptiesTheRing) {
  SetCircle(1, Item("a", "red"));
  SetCircle(4, Item("b", "green", "-x"));
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
  EXPECT_EQ(form->Removal().AnimationFrame(), 0);
  EXPECT_TRUE(test::ShowsSolid(desktop_->FindWindow(ring[0])->surface, kRed));

  desktop_->ScriptMessageBoxAnswer(MessageBoxResult::Yes);
  form->NClearClick();
  ASSERT_EQ(desktop_->MessageBoxes().size(), 2u);
  const headless::MessageBoxRecord& box = desktop_->MessageBoxes().back();
  EXPECT_EQ(box.text, "确定要清除所有图标吗？");
  EXPECT_EQ(box.buttons, MessageBoxButtons::YesNo);
  EXPECT_EQ(form->Removal().AnimationFrame(), 1);

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
      EXPECT_FALSE(Current().TimerRunning(TimerDestroyIcon));
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
  EXPECT_EQ(form->Removal().AnimationFrame(), 0);
  EXPECT_FALSE(Current().TimerRunning(TimerClearIcon));
  ASSERT_NE(CircleWindow(2), nullptr);
  EXPECT_TRUE(test::ShowsSolid(CircleWindow(2)->surface, test::kMyFilesColour));

  const pugi::xml_document doc = LoadConfigDom();
  for (int slot = 1; slot <= 20; ++slot)
    if (slot != 2) {
      EXPECT_EQ(test::TextsOf(FileCircle(doc, slot)), test::kEmptyTexts) << slot;
    }
  EXPECT_EQ(test::TextsOf(FileCircle(doc, 2))[0], "C:\\Late");
  EXPECT_EQ(dockText(), dockBefore) << "the dock is not cleared";
}

TEST_F(RemovalTest, ClearOfAnEmptyRingShowsNoFrameButStillEmptiesEveryElement) {
  SetCircle(6, {"", "", "", "C:\\x.png", "-stale", "D:\\Old"});  // no target nor name, but leftovers
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  ASSERT_EQ(CountWindowsNamed("Circle"), 0);
  desktop_->ScriptMessageBoxAnswer(MessageBoxResult::Yes);
  form->NClearClick();
  desktop_->Advance(180);
  EXPECT_NE(test::TextsOf(FileCircle(LoadConfigDom(), 6)), test::kEmptyTexts) << "nothing is written before the end";
  desktop_->Advance(30);
  const pugi::xml_document doc = LoadConfigDom();
  for (int slot = 1; slot <= 20; ++slot) EXPECT_EQ(test::TextsOf(FileCircle(doc, slot)), test::kEmptyTexts) << slot;
}

// ---- the dock ------------------------------------------------------------------

// A dock of five folders dropped on the bar, each with a window as the bar makes it.
class DockRemovalTest : public RemovalTest {
 protected:
  void SetUp() override {
    RemovalTest::SetUp();
    ids_.clear();
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

TEST_F(DockRemovalTest, MenuDeleteClosesTheGapAtOnceAndTheNextItemFollowsTheLast) {
  struct Case {
    int removed;
    std::vector<int> left;
  };
  const Case cases[] = {{3, {1, 2, 4, 5}}, {5, {1, 2, 3, 4}}, {1, {2, 3, 4, 5}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.removed);
    TearDown();
    bar_ = test::TestDockBar({0, 690, 400, 70});
    SetUp();
    // An element that moves keeps all it holds, not just what the record knows.
    {
      pugi::xml_document doc = LoadConfigDom();
      pugi::xml_node four = doc.document_element().child("RectBackground").child("Rect4");
      four.insert_child_before("Note", four.child("InitialPosition")).text().set("kept");
      doc.save_file(ConfigFile().c_str());
    }
    form_->Removal().DeleteItem(ids_[static_cast<std::size_t>(c.removed - 1)]);
    EXPECT_EQ(desktop_->FindWindow(ids_[static_cast<std::size_t>(c.removed - 1)]), nullptr);
    ExpectDock(c.left);
    EXPECT_EQ(bar_.removed, std::vector<catalogue::RemovalVariant>{catalogue::RemovalVariant::Menu});
    EXPECT_EQ(form_->Removal().AnimationFrame(), 0) << "no animation for the menu's delete";
    const pugi::xml_node rect = LoadConfigDom().document_element().child("RectBackground");
    EXPECT_STREQ(rect.child(c.removed < 4 ? "Rect3" : "Rect4").child("Note").text().get(), "kept");

    ASSERT_NO_FATAL_FAILURE(Append(6));
    std::vector<int> withSix = c.left;
    withSix.push_back(6);
    ExpectDock(withSix);
    EXPECT_EQ(bar_.appended.back().first, 25);
  }
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
