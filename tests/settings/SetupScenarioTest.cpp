// The settings dialog wired to the real main form on the headless desktop:
// the ring, the items, the file, the registry and the layers as OK, Cancel
// and the defaults leave them.

#include <gtest/gtest.h>

#include "app/MainForm.h"
#include "platform/headless/HeadlessForms.h"
#include "settings/Setup.h"
#include "settings/SetupForm.h"
#include "settings/SystemTools.h"
#include "tests/support/Scenario.h"

namespace qv {
namespace {

constexpr const char* kRunEntry = "HKCU\\software\\microsoft\\windows\\currentversion\\run\\\\quorvel";
constexpr const char* kBin = "::{645FF040-5081-101B-9F08-00AA002F954E}";
constexpr const char* kMyComputer = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

class SetupScenarioTest : public test::ItemScenario {
 protected:
  void DockItems(const std::vector<std::string>& files) {
    std::vector<test::ItemSpec> items;
    for (const std::string& file : files) items.push_back({file, "item " + file, "", "", "", ""});
    SetRectList(items);
  }
  app::MainForm* StartWithDialog() {
    form_ = Start();
    if (form_) OpenSettings();
    return form_;
  }
  // The tray menu's "设置", as the user opens it.
  void OpenSettings() { form_->Commands().Run(app::Command::OpenSettings, app::MenuKind::TaskBar); }
  FormId F() const { return form_->Setup().Form(); }
  void Click(const char* control) { ASSERT_TRUE(Forms().Click(F(), control)) << control; }
  // Ticks or unticks the tools and presses OK.
  void Tick(std::initializer_list<const char*> boxes) {
    for (const char* box : boxes) Click(box);
    Click("BitBtnOK");
  }
  std::vector<std::string> DockInFile() {
    std::vector<std::string> files;
    const pugi::xml_document doc = LoadConfigDom();
    for (pugi::xml_node item : doc.document_element().child("RectBackground").children())
      files.push_back(std::string(item.name()) + "=" + item.child_value("File"));
    return files;
  }
  Rect BoundsOf(WindowId w) { return desktop_->FindWindow(w)->bounds; }
  headless::HeadlessForms& Forms() { return Process().Forms(); }
  app::MainForm* form_ = nullptr;
};

// The dock's own add and remove: the bar widens and narrows by one item, the
// windows behind a removed one take their new names, the file follows; a
// full row takes no further tool.
TEST_F(SetupScenarioTest, DockToolsWidenAndNarrowTheBarAndRenameTheWindowsBehind) {
  DockItems({"C:\\a.exe", kBin, "C:\\b.exe"});
  ASSERT_TRUE(StartWithDialog());
  const WindowId bar = form_->Dock().Bar();
  const int width = BoundsOf(bar).width;
  Tick({"RMyComputer"});
  EXPECT_EQ(BoundsOf(bar).width, width + 50);
  const WindowId added = form_->Slots()[24].Window;
  ASSERT_NE(added, kNoWindow);
  EXPECT_EQ(form_->Slots()[24].Hint, "我的电脑");
  EXPECT_STREQ(LoadConfigDom()
                   .document_element()
                   .child("RectBackground")
                   .child("Rect4")
                   .child("IconPath")
                   .child_value("Define"),
               "Icon\\SysTool\\MyComputer.png");
  OpenSettings();
  Tick({"RRecycleBin"});
  EXPECT_EQ(BoundsOf(bar).width, width);
  EXPECT_EQ(form_->Slots()[23].Window, added);
  EXPECT_EQ(desktop_->FindWindow(added)->name, "Rect3");
  EXPECT_EQ(DockInFile(), (std::vector<std::string>{"Rect1=C:\\a.exe", "Rect2=C:\\b.exe",
                                                    std::string("Rect3=") + kMyComputer}));
}

TEST_F(SetupScenarioTest, ARowOfAllDockSlotsTakesNoFurtherTool) {
  DockItems(std::vector<std::string>(catalogue::kDockSlots, "C:\\x.exe"));
  ASSERT_TRUE(StartWithDialog());
  Tick({"RControlPanel"});
  EXPECT_EQ(form_->RectItemCount(), catalogue::kDockSlots);
  EXPECT_EQ(DockInFile().size(), static_cast<std::size_t>(catalogue::kDockSlots));
}

// The whole element is written: leftovers of an item emptied by hand do not
// come back with the tool; unticked, it leaves its slot free and its element empty.
TEST_F(SetupScenarioTest, TickingMyComputerForTheRingFillsTheLowestFreeSlotWithItsOwnTexts) {
  SetItems({1});
  Circle(2).child("Argument").text().set("kept");
  ASSERT_TRUE(StartWithDialog());
  Tick({"CMyComputer"});
  ASSERT_NE(form_->Slots()[2].Window, kNoWindow);
  EXPECT_EQ(test::TextsOf(FileCircle(LoadConfigDom(), 2)),
            (std::vector<std::string>{kMyComputer, "我的电脑", "",
                                      test::kDir + "Icon\\SysTool\\MyComputer.png", "", "", ""}));
  OpenSettings();
  Tick({"CMyComputer"});
  EXPECT_EQ(form_->Slots()[2].Window, kNoWindow);
  EXPECT_STREQ(FileCircle(LoadConfigDom(), 2).child_value("File"), "");
}

// The ring, its skin and the dock follow the owner's previews; Cancel puts them back.
TEST_F(SetupScenarioTest, PreviewsMoveTheRingTheSkinAndTheBarAndCancelBringsThemBack) {
  SetItems({1});
  ASSERT_TRUE(StartWithDialog());
  const WindowId bar = form_->Dock().Bar(), background = form_->Round().BackgroundWindow();
  const Rect top = BoundsOf(bar), item = BoundsOf(form_->Slots()[1].Window), skin = BoundsOf(background);
  const Rect screen = Process().AsPlatform().windows.ScreenBounds();
  ASSERT_TRUE(Forms().MoveTrackBar(F(), "TrackBarMinR", 200));
  EXPECT_NE(BoundsOf(form_->Slots()[1].Window), item);
  ASSERT_TRUE(Forms().Choose(F(), "ComboBoxPosition", 1));
  EXPECT_EQ(BoundsOf(bar).top, dock::ComputeRectTop(1, screen, top.height));
  EXPECT_GT(BoundsOf(bar).top, screen.top + screen.height / 2);
  Click("BitBtnCancel");
  EXPECT_EQ(BoundsOf(bar), top);
  EXPECT_EQ(BoundsOf(form_->Slots()[1].Window), item);
  // A larger skin keeps its centre.
  OpenSettings();
  ASSERT_TRUE(Forms().MoveTrackBar(F(), "TrackBarBG", 55));
  Click("BitBtnOK");
  EXPECT_EQ(BoundsOf(background), (Rect{skin.left - 27, skin.top - 27, 355, 355}));
}

// The file's hot key is the one in use; OK registers the new one, moves the windows to the layer chosen and
// writes the Run value under the current user's Run key.
TEST_F(SetupScenarioTest, OkReachesTheHotKeyTheLayersAndTheRunKey) {
  Basic().child("HotKey").attribute("Key").set_value("J");
  ASSERT_TRUE(StartWithDialog());
  EXPECT_EQ(form_->HotKeyChar(), 'J');
  ASSERT_TRUE(Forms().FocusControl(F(), "EditHot"));
  ASSERT_TRUE(Forms().PressKey(F(), 'K'));
  ASSERT_TRUE(Forms().Choose(F(), "ComboBoxDisplayState", 1));
  Tick({"ChkBoxAuto"});
  EXPECT_EQ(form_->HotKeyChar(), 'K');
  EXPECT_TRUE(desktop_->PressHotKey(kModAlt, 'K'));
  EXPECT_FALSE(form_->WindowsShown());
  EXPECT_EQ(desktop_->FindWindow(form_->MainWindow())->layer, WindowLayer::Topmost);
  EXPECT_EQ(desktop_->FindWindow(form_->Round().CenterWindow())->layer, WindowLayer::Topmost);
  EXPECT_NE(ConfigBytes().find("<HotKey Key=\"K\""), std::string::npos);
  EXPECT_EQ(desktop_->Registry()[kRunEntry], "C:\\Quorvel\\Quorvel.exe");
}

}  // namespace
}  // namespace qv
