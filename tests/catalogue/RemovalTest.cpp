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
#include "round/PngLoader.h"
#include "tests/catalogue/ItemScenario.h"

namespace qv {
namespace {

using test::ItemSpec;
using test::kDir;
using testing::Rgb;

constexpr Rgb kRed{210, 30, 40};
constexpr Rgb kGreen{40, 180, 90};
constexpr Rgb kBlue{30, 60, 200};
constexpr Rgb kGrey{120, 120, 120};

class RemovalTest : public test::ItemScenario {
 protected:
  void SetUp() override {
    ItemScenario::SetUp();
    Put(kDir + "Icon\\red.png", testing::SolidPng(48, kRed));
    Put(kDir + "Icon\\green.png", testing::SolidPng(48, kGreen));
    Put(kDir + "Icon\\blue.png", testing::SolidPng(48, kBlue));
    std::filesystem::create_directories(desktop_->RealPath("C:\\Apps"));
  }

  static ItemSpec Item(const std::string& name, const std::string& picture, const std::string& argument = "") {
    return {"C:\\Apps", name, "", kDir + "Icon\\" + picture + ".png", argument, "C:\\"};
  }

  LayeredSurface Frame(const std::string& name) {
    return round::LoadPremultipliedPng(Process(processes_.size() - 1), name);
  }
  headless::HeadlessProcess& Current() { return Process(processes_.size() - 1); }

  // A fresh start on the file the test set up, after an earlier start if any.
  app::RoundHot* StartFresh() {
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
  SetCircle(3, Item("three", "blue"));
  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);
  const WindowId two = form->Slots()[2].Window;
  const Rect placeOfTwo = desktop_->FindWindow(two)->bounds;
  const headless::WindowRecord before1 = *CircleWindow(1);
  const headless::WindowRecord before3 = *CircleWindow(3);

  ASSERT_TRUE(form->Removal().RequestDestroy(two));
  EXPECT_EQ(form->Removal().AnimationFrame(), 1);
  EXPECT_TRUE(Current().TimerRunning(app::TimerDestroyIcon));
  EXPECT_EQ(Current().TimerInterval(app::TimerDestroyIcon), 40u);
  EXPECT_TRUE(form->Removal().Animates(two));
  EXPECT_FALSE(form->Removal().Animates(before1.id));

  for (int frame = 1; frame <= 5; ++frame) {
    SCOPED_TRACE(frame);
    const int pushes = desktop_->FindWindow(two)->pushCount;
    desktop_->Advance(39);
    EXPECT_EQ(desktop_->FindWindow(two)->pushCount, pushes) << "nothing before the tick";
    desktop_->Advance(1);
    const headless::WindowRecord* w = desktop_->FindWindow(two);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->surface.pixels, Frame("DestroyPNG" + std::to_string(frame)).pixels);
    EXPECT_EQ(w->alpha, 255);
    EXPECT_EQ(w->bounds.width, 50);
    EXPECT_EQ(form->Removal().AnimationFrame(), frame + 1);
    EXPECT_EQ(form->Slots()[2].File, "C:\\Apps") << "the item stays until the last frame has shown";
    EXPECT_TRUE(test::ShowsSolid(form->Slots()[2].Surface, kGreen)) << "frames pass through the window only";
  }

  desktop_->Advance(39);
  EXPECT_NE(desktop_->FindWindow(two), nullptr);
  desktop_->Advance(1);  // 240 ms after the request
  EXPECT_EQ(desktop_->FindWindow(two), nullptr);
  EXPECT_EQ(CircleWindow(2), nullptr);
  EXPECT_EQ(form->Removal().AnimationFrame(), 0);
  EXPECT_FALSE(Current().TimerRunning(app::TimerDestroyIcon));
  const catalogue::TImageIconRec& rec = form->Slots()[2];
  EXPECT_TRUE(rec.File.empty());
  EXPECT_TRUE(rec.Argument.empty());
  EXPECT_EQ(rec.Window, kNoWindow);
  EXPECT_TRUE(rec.Surface.Empty());

  // The other items do not move, keep their names and their pictures.
  for (const headless::WindowRecord* was : {&before1, &before3}) {
    const headless::WindowRecord* now = desktop_->FindWindow(was->id);
    ASSERT_NE(now, nullptr);
    EXPECT_EQ(now->name, was->name);
    EXPECT_EQ(now->bounds, was->bounds);
    EXPECT_EQ(now->surface.pixels, was->surface.pixels);
  }

  const pugi::xml_document doc = LoadConfigDom();
  EXPECT_EQ(test::TextsOf(FileCircle(doc, 2)), test::kEmptyTexts) << "the place keeps its element, emptied";
  EXPECT_EQ(test::TextsOf(FileCircle(doc, 1))[1], "one");
  EXPECT_EQ(test::TextsOf(FileCircle(doc, 3))[1], "three");

  // The gap is the next drop's place, and the new item has no arguments.
  std::filesystem::create_directories(desktop_->RealPath("C:\\Games"));
  Current().Sink()->OnDropFiles({"C:\\Games"}, {5, 5});
  EXPECT_EQ(form->Slots()[2].File, "C:\\Games");
  EXPECT_TRUE(form->Slots()[2].Argument.empty());
  EXPECT_EQ(test::TextsOf(FileCircle(LoadConfigDom(), 2))[4], "");
  ASSERT_NE(CircleWindow(2), nullptr);
  EXPECT_EQ(CircleWindow(2)->bounds, placeOfTwo) << "the new item stands where the old one stood";
}

TEST_F(RemovalTest, ReleasesOnASecondItemDuringTheAnimationLeaveTheRemovalWhereItStarted) {
  SetCircle(1, Item("thrown", "red"));
  SetCircle(2, Item("clicked", "green"));
  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);
  const WindowId thrown = form->Slots()[1].Window;
  const WindowId clicked = form->Slots()[2].Window;
  const auto centreOf = [&](WindowId w) {
    const Rect b = desktop_->FindWindow(w)->bounds;
    return Point{b.left + 25, b.top + 25};
  };

  // Carried by hand far outside the ring and let go there.
  desktop_->MouseDown(centreOf(thrown));
  desktop_->MouseMove({40, 40});
  desktop_->MouseUp({40, 40});
  ASSERT_EQ(form->Removal().AnimationFrame(), 1) << "the release outside the ring asks for the item's removal";
  ASSERT_EQ(form->Removal().PendingDestroy()->window, thrown);
  desktop_->Advance(40);
  EXPECT_EQ(desktop_->FindWindow(thrown)->surface.pixels, Frame("DestroyPNG1").pixels);

  // A click on the second item launches it; a right click and the menu's
  // delete on it wait for nothing: the running animation keeps its item.
  const std::size_t launches = desktop_->Launches().size();
  desktop_->MouseDown(centreOf(clicked));
  desktop_->MouseUp(centreOf(clicked));
  EXPECT_EQ(desktop_->Launches().size(), launches + 1);
  desktop_->MouseDown(centreOf(clicked), MouseButton::Right);
  desktop_->MouseUp(centreOf(clicked), MouseButton::Right);
  form->Removal().DeleteItem(clicked);
  EXPECT_FALSE(form->Removal().RequestDestroy(clicked));
  EXPECT_EQ(form->Removal().PendingDestroy()->window, thrown);

  desktop_->Advance(200);
  EXPECT_EQ(desktop_->FindWindow(thrown), nullptr);
  EXPECT_TRUE(form->Slots()[1].File.empty());
  EXPECT_EQ(test::TextsOf(FileCircle(LoadConfigDom(), 1)), test::kEmptyTexts);
  const headless::WindowRecord* second = desktop_->FindWindow(clicked);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->name, "Circle2");
  EXPECT_TRUE(test::ShowsSolid(second->surface, kGreen)) << "no frame ever reached the second item";
  EXPECT_EQ(form->Slots()[2].Window, clicked);
  EXPECT_EQ(test::TextsOf(FileCircle(LoadConfigDom(), 2))[1], "clicked");
  EXPECT_EQ(form->Removal().AnimationFrame(), 0);

  // Once idle, the same delete is taken.
  form->Removal().DeleteItem(clicked);
  EXPECT_EQ(form->Removal().AnimationFrame(), 1);
  desktop_->Advance(240);
  EXPECT_EQ(desktop_->FindWindow(clicked), nullptr);
}

TEST_F(RemovalTest, AnItemThatChangedPlacesDuringTheAnimationIsRemovedFromItsNewPlace) {
  SetCircle(1, Item("thrown", "red"));
  SetCircle(2, Item("other", "green"));
  app::RoundHot* form = Start();
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
    app::RoundHot* form = StartFresh();
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
    EXPECT_FALSE(Current().TimerRunning(app::TimerClearIcon));
    desktop_->Advance(80);
    EXPECT_EQ(desktop_->FindWindow(first)->surface.pixels, Frame("DestroyPNG5").pixels);
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

TEST_F(RemovalTest, ClearAnsweredYesShowsSixFramesInEveryRingWindowThenEmptiesTheRing) {
  SetCircle(1, Item("a", "red"));
  SetCircle(4, Item("b", "green", "-x"));
  SetCircle(9, Item("c", "blue"));
  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);
  const std::vector<WindowId> ring = {form->Slots()[1].Window, form->Slots()[4].Window, form->Slots()[9].Window};
  const std::string dockBefore = [&] {
    std::ostringstream s;
    LoadConfigDom().document_element().child("RectBackground").print(s);
    return s.str();
  }();

  desktop_->ScriptMessageBoxAnswer(MessageBoxResult::Yes);
  form->NClearClick();
  ASSERT_EQ(desktop_->MessageBoxes().size(), 1u);
  const headless::MessageBoxRecord& box = desktop_->MessageBoxes().back();
  EXPECT_EQ(box.text, "确定要清除所有图标吗？");
  EXPECT_EQ(box.caption, "提示");
  EXPECT_EQ(box.buttons, MessageBoxButtons::YesNo);
  EXPECT_EQ(box.icon, MessageBoxIcon::Information);
  EXPECT_EQ(form->Removal().AnimationFrame(), 1);
  EXPECT_EQ(Current().TimerInterval(app::TimerClearIcon), 30u);
  EXPECT_TRUE(Current().TimerRunning(app::TimerClearMemory));

  std::filesystem::create_directories(desktop_->RealPath("C:\\Late"));
  for (int frame = 1; frame <= 6; ++frame) {
    SCOPED_TRACE(frame);
    desktop_->Advance(30);
    const LayeredSurface expected = Frame("ClearPNG" + std::to_string(frame));
    for (const WindowId w : ring) EXPECT_EQ(desktop_->FindWindow(w)->surface.pixels, expected.pixels);
    EXPECT_EQ(form->Slots()[4].File, "C:\\Apps");
    // An item dropped while the ring is being cleared was not part of what the user agreed to clear.
    if (frame == 3) Current().Sink()->OnDropFiles({"C:\\Late"}, {5, 5});
  }
  EXPECT_EQ(form->Slots()[2].File, "C:\\Late");
  desktop_->Advance(29);
  EXPECT_NE(desktop_->FindWindow(ring[0]), nullptr);
  desktop_->Advance(1);  // 210 ms
  for (const WindowId w : ring) EXPECT_EQ(desktop_->FindWindow(w), nullptr);
  for (const int slot : {1, 4, 9}) {
    EXPECT_TRUE(form->Slots()[slot].File.empty()) << slot;
    EXPECT_EQ(form->Slots()[slot].Window, kNoWindow) << slot;
  }
  EXPECT_EQ(form->Removal().AnimationFrame(), 0);
  EXPECT_FALSE(Current().TimerRunning(app::TimerClearIcon));
  ASSERT_NE(CircleWindow(2), nullptr);
  EXPECT_TRUE(test::ShowsSolid(CircleWindow(2)->surface, test::kMyFilesColour));

  const pugi::xml_document doc = LoadConfigDom();
  for (int slot = 1; slot <= 20; ++slot) {
    if (slot == 2) continue;
    EXPECT_EQ(test::TextsOf(FileCircle(doc, slot)), test::kEmptyTexts) << slot;
  }
  EXPECT_EQ(test::TextsOf(FileCircle(doc, 2))[0], "C:\\Late");
  std::ostringstream dockAfter;
  doc.document_element().child("RectBackground").print(dockAfter);
  EXPECT_EQ(dockAfter.str(), dockBefore) << "the dock is not cleared";
  EXPECT_EQ(form->RectItemCount(), 5);
}

TEST_F(RemovalTest, ClearAnsweredNoChangesNothing) {
  SetCircle(1, Item("a", "red"));
  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);
  const std::string before = ConfigBytes();
  desktop_->ScriptMessageBoxAnswer(MessageBoxResult::No);
  form->NClearClick();
  EXPECT_EQ(desktop_->MessageBoxes().size(), 1u);
  EXPECT_EQ(form->Removal().AnimationFrame(), 0);
  EXPECT_FALSE(Current().TimerRunning(app::TimerClearIcon));
  desktop_->Advance(500);
  EXPECT_EQ(ConfigBytes(), before);
  ASSERT_NE(CircleWindow(1), nullptr);
  EXPECT_TRUE(test::ShowsSolid(CircleWindow(1)->surface, kRed));
}

TEST_F(RemovalTest, ClearOfAnEmptyRingShowsNoFrameButStillEmptiesEveryElement) {
  // A place without target or name that still holds leftovers.
  SetCircle(6, {"", "", "", "C:\\x.png", "-stale", "D:\\Old"});
  app::RoundHot* form = Start();
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

TEST_F(RemovalTest, RequestsDuringTheClearAreRefused) {
  SetCircle(1, Item("a", "red"));
  SetCircle(2, Item("b", "green"));
  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);
  const WindowId a = form->Slots()[1].Window;
  desktop_->ScriptMessageBoxAnswer(MessageBoxResult::Yes);
  form->NClearClick();
  desktop_->Advance(60);
  EXPECT_FALSE(form->Removal().RequestDestroy(a));
  form->Removal().DeleteItem(a);
  form->NClearClick();
  EXPECT_EQ(desktop_->MessageBoxes().size(), 1u);
  EXPECT_EQ(form->Removal().AnimationFrame(), 3);
  EXPECT_FALSE(Current().TimerRunning(app::TimerDestroyIcon));
  desktop_->Advance(150);  // 210 ms after the answer
  EXPECT_EQ(CountWindowsNamed("Circle"), 0);
  EXPECT_EQ(form->Removal().AnimationFrame(), 0);
}

TEST_F(RemovalTest, WithoutTheFileARemovalChangesMemoryAndWindowsOnly) {
  SetCircle(1, Item("a", "red"));
  SetCircle(2, Item("b", "green"));
  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);
  std::filesystem::remove(ConfigFile());
  ASSERT_TRUE(form->Removal().RequestDestroy(form->Slots()[1].Window));
  desktop_->Advance(240);
  EXPECT_TRUE(form->Slots()[1].File.empty());
  EXPECT_EQ(CircleWindow(1), nullptr);
  desktop_->ScriptMessageBoxAnswer(MessageBoxResult::Yes);
  form->NClearClick();
  desktop_->Advance(210);
  EXPECT_EQ(CountWindowsNamed("Circle"), 0);
  EXPECT_FALSE(std::filesystem::exists(ConfigFile()));
  EXPECT_TRUE(std::filesystem::is_empty(ConfigFile().parent_path()));
}

// ---- the dock ------------------------------------------------------------------

// The dock's item windows as the bar will make them: "Rect" + j in a row.
class RowWindows final : public catalogue::IItemWindows {
 public:
  RowWindows(Platform& platform, catalogue::ItemSlots& slots) : platform_(platform), slots_(slots) {}
  void CreateRoundIconWindow(int) override {}
  void CreateRectIconWindow(int slot) override {
    WindowSpec spec;
    spec.name = "Rect" + std::to_string(slot - 20);
    spec.bounds = {(slot - 21) * 50, 700, 50, 50};
    catalogue::TImageIconRec& rec = slots_[slot];
    rec.Window = platform_.windows.CreateWindow(spec);
    rec.Surface = LayeredSurface(50, 50);
    platform_.windows.PushLayered(rec.Window, rec.Surface, 255);
    platform_.windows.Show(rec.Window, true);
  }
  void DrawIconIntoSlot(int, const std::string&) override {}
  void RequestIcoPaint(int) override {}

 private:
  Platform& platform_;
  catalogue::ItemSlots& slots_;
};

// The main form's timers, for a catalogue without a main form.
class RemovalTimers final : public IPlatformEvents {
 public:
  explicit RemovalTimers(catalogue::ItemRemoval& removal) : removal_(removal) {}
  void OnTimer(int id) override {
    if (id == app::TimerDestroyIcon) removal_.TimerDestroyIconTimer();
    if (id == app::TimerClearIcon) removal_.TimerClearIconTimer();
  }
  void OnClose() override {}
  bool OnQueryEndSession() override { return true; }
  void OnPowerBroadcast(unsigned) override {}
  void OnDisplayChange() override {}
  void OnTrayCallback(std::uintptr_t, std::intptr_t) override {}
  void OnTaskbarCreated() override {}
  void OnDropFiles(const std::vector<std::string>&, Point) override {}

 private:
  catalogue::ItemRemoval& removal_;
};

// A dock of five folders dropped on the bar, with their windows.
class DockRemovalTest : public test::ItemScenario {
 protected:
  static constexpr Rect kBar{0, 690, 400, 70};

  void Build() {
    bar_ = test::TestDockBar(kBar);
    rectItemCount_ = 0;
    ids_.clear();
    SetRectList({});
    std::ostringstream xml;
    config_.save(xml, "\t", pugi::format_default, pugi::encoding_utf8);
    InstallConfig(xml.str());
    processes_.push_back(std::make_unique<headless::HeadlessProcess>(*desktop_, kDir));
    Platform& platform = processes_.back()->AsPlatform();
    slots_ = std::make_unique<catalogue::ItemSlots>();
    windows_ = std::make_unique<RowWindows>(platform, *slots_);
    site_ = std::make_unique<catalogue::CatalogueSite>(
        catalogue::CatalogueSite{platform, *slots_, *windows_, rectItemCount_, &bar_});
    clearMemory_ = std::make_unique<app::FormTimer>(platform.timers, app::TimerClearMemory, 10000);
    removal_ = std::make_unique<catalogue::ItemRemoval>(*site_, *clearMemory_);
    drop_ = std::make_unique<catalogue::ItemDrop>(*site_, *clearMemory_);
    timers_ = std::make_unique<RemovalTimers>(*removal_);
    processes_.back()->SetEventSink(timers_.get());
    for (int j = 1; j <= 5; ++j) {
      const std::string folder = "C:\\Dock\\Item" + std::to_string(j);
      std::filesystem::create_directories(desktop_->RealPath(folder));
      ASSERT_EQ(drop_->OnDropFiles({folder}, {10, 700}), catalogue::DropResult::AddedToDock);
      ids_.push_back((*slots_)[20 + j].Window);
    }
    ASSERT_EQ(rectItemCount_, 5);
  }

  void TearDown() override {
    if (!processes_.empty()) processes_.back()->SetEventSink(nullptr);
    timers_.reset();
    drop_.reset();
    removal_.reset();
    clearMemory_.reset();
    site_.reset();
    windows_.reset();
    ItemScenario::TearDown();
  }

  // What the dock holds now, as item numbers, from the records, the windows and the file.
  void ExpectDock(const std::vector<int>& items) {
    ASSERT_EQ(rectItemCount_, static_cast<int>(items.size()));
    const pugi::xml_node rect = LoadConfigDom().document_element().child("RectBackground");
    std::vector<std::string> elementNames;
    for (pugi::xml_node e : rect.children()) elementNames.push_back(e.name());
    std::vector<std::string> expectedNames;
    for (std::size_t j = 1; j <= items.size(); ++j) {
      SCOPED_TRACE(j);
      const int slot = 20 + static_cast<int>(j);
      const std::string item = "Item" + std::to_string(items[j - 1]);
      const std::string name = "Rect" + std::to_string(j);
      expectedNames.push_back(name);
      const catalogue::TImageIconRec& rec = (*slots_)[slot];
      EXPECT_EQ(rec.File, "C:\\Dock\\" + item);
      EXPECT_EQ(rec.Hint, item);
      EXPECT_EQ(rec.Window, ids_[static_cast<std::size_t>(items[j - 1] - 1)]) << "the item keeps its own window";
      ASSERT_NE(desktop_->FindWindow(rec.Window), nullptr);
      EXPECT_EQ(desktop_->FindWindow(rec.Window)->name, name);
      EXPECT_EQ(test::TextsOf(rect.child(name.c_str())),
                (std::vector<std::string>{"C:\\Dock\\" + item, item, "", test::kMyFiles, "", "", "C:\\Dock"}));
    }
    EXPECT_EQ(elementNames, expectedNames);
    EXPECT_TRUE((*slots_)[21 + static_cast<int>(items.size())].File.empty());
    EXPECT_EQ((*slots_)[21 + static_cast<int>(items.size())].Window, kNoWindow);
    EXPECT_EQ(CountWindowsNamed("Rect"), static_cast<int>(items.size()));
  }

  test::TestDockBar bar_{kBar};
  int rectItemCount_ = 0;
  std::unique_ptr<catalogue::ItemSlots> slots_;
  std::unique_ptr<RowWindows> windows_;
  std::unique_ptr<catalogue::CatalogueSite> site_;
  std::unique_ptr<app::FormTimer> clearMemory_;
  std::unique_ptr<catalogue::ItemRemoval> removal_;
  std::unique_ptr<catalogue::ItemDrop> drop_;
  std::unique_ptr<RemovalTimers> timers_;
  std::vector<WindowId> ids_;
};

TEST_F(DockRemovalTest, MenuDeleteClosesTheGapAtOnce) {
  struct Case {
    int removed;
    std::vector<int> left;
  };
  const Case cases[] = {{3, {1, 2, 4, 5}}, {5, {1, 2, 3, 4}}, {1, {2, 3, 4, 5}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.removed);
    TearDown();
    SetUp();
    Build();
    // An element that moves keeps all it holds, not just what the record knows.
    {
      pugi::xml_document doc = LoadConfigDom();
      pugi::xml_node four = doc.document_element().child("RectBackground").child("Rect4");
      four.insert_child_before("Note", four.child("InitialPosition")).text().set("kept");
      doc.save_file(ConfigFile().c_str());
    }
    removal_->DeleteItem(ids_[static_cast<std::size_t>(c.removed - 1)]);
    EXPECT_EQ(desktop_->FindWindow(ids_[static_cast<std::size_t>(c.removed - 1)]), nullptr);
    ExpectDock(c.left);
    EXPECT_EQ(bar_.removed, std::vector<catalogue::RemovalVariant>{catalogue::RemovalVariant::Menu});
    EXPECT_EQ(removal_->AnimationFrame(), 0) << "no animation for the menu's delete";
    const pugi::xml_node rect = LoadConfigDom().document_element().child("RectBackground");
    const int fourAt = c.removed < 4 ? 3 : 4;
    EXPECT_STREQ(rect.child(("Rect" + std::to_string(fourAt)).c_str()).child("Note").text().get(), "kept");
  }
}

TEST_F(DockRemovalTest, DragOffTheBarAnimatesThenClosesTheGapEvenWhenTheItemMovedMeanwhile) {
  Build();
  const WindowId dragged = ids_[3];  // the fourth item
  ASSERT_TRUE(removal_->RequestDestroy(dragged));
  desktop_->Advance(80);
  EXPECT_EQ(desktop_->FindWindow(dragged)->surface.pixels,
            round::LoadPremultipliedPng(Process(), "DestroyPNG2").pixels);

  removal_->DeleteItem(dragged);  // the menu on the item being removed: already going
  EXPECT_EQ(rectItemCount_, 5);
  removal_->DeleteItem(ids_[0]);  // the menu on another dock item acts at once
  ExpectDock({2, 3, 4, 5});
  EXPECT_EQ(desktop_->FindWindow(dragged)->name, "Rect3");

  desktop_->Advance(159);
  EXPECT_EQ(rectItemCount_, 4);
  desktop_->Advance(1);
  EXPECT_EQ(desktop_->FindWindow(dragged), nullptr);
  ExpectDock({2, 3, 5});
  EXPECT_EQ(bar_.removed,
            (std::vector<catalogue::RemovalVariant>{catalogue::RemovalVariant::Menu, catalogue::RemovalVariant::Drag}));
}

TEST_F(DockRemovalTest, FullDockTakesNoMoreAndAnAppendedItemFollowsTheLast) {
  Build();
  removal_->DeleteItem(ids_[1]);
  std::filesystem::create_directories(desktop_->RealPath("C:\\Dock\\Item6"));
  ASSERT_EQ(drop_->OnDropFiles({"C:\\Dock\\Item6"}, {10, 700}), catalogue::DropResult::AddedToDock);
  ids_.push_back((*slots_)[25].Window);
  ExpectDock({1, 3, 4, 5, 6});
  EXPECT_EQ(bar_.appended.back().first, 25);

  rectItemCount_ = 240;  // as a start with 240 elements leaves it
  const std::string before = ConfigBytes();
  EXPECT_EQ(drop_->OnDropFiles({"C:\\Dock\\Item6"}, {10, 700}), catalogue::DropResult::DockFull);
  EXPECT_EQ(ConfigBytes(), before);
  EXPECT_EQ(rectItemCount_, 240);
}

}  // namespace
}  // namespace qv
