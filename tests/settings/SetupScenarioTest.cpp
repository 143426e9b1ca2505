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

class SetupScenarioTest : public testing::ScenarioTest {
 protected:
  void DockItems(const std::vector<std::string>& files) {
    pugi::xml_node root = config_.document_element();
    root.remove_child("RectBackground");
    pugi::xml_node rect = root.append_child("RectBackground");
    int n = 0;
    for (const std::string& file : files) {
      pugi::xml_node item = rect.append_child(("Rect" + std::to_string(++n)).c_str());
      item.append_child("File").text().set(file.c_str());
      item.append_child("Name").text().set(("item " + file).c_str());
      pugi::xml_node icon = item.append_child("IconPath");
      icon.append_child("Default");
      icon.append_child("Define");
      item.append_child("Argument");
      item.append_child("Http");
      item.append_child("InitialPosition");
    }
  }

  app::MainForm* StartWithDialog() {
    CopyArt();
    form_ = Start();
    if (!form_) return nullptr;
    OpenSettings();
    EXPECT_TRUE(form_->Setup().IsOpen());
    return form_;
  }
  // The tray menu's "设置", as the user opens it.
  void OpenSettings() { form_->Commands().Run(app::Command::OpenSettings, app::MenuKind::TaskBar); }
  FormId F() const { return form_->Setup().Form(); }
  void Ok() { ASSERT_TRUE(Forms().Click(F(), "BitBtnOK")); }

  std::vector<std::string> DockFilesInMemory() {
    std::vector<std::string> files;
    for (int j = 1; j <= form_->RectItemCount(); ++j) files.push_back(form_->Slots()[20 + j].File);
    return files;
  }
  std::vector<std::string> DockFilesInFile() {
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
// windows behind a removed one take their new names, the file follows.
TEST_F(SetupScenarioTest, DockToolsWidenAndNarrowTheBarAndRenameTheWindowsBehind) {
  DockItems({"C:\\a.exe", kBin, "C:\\b.exe"});
  ASSERT_TRUE(StartWithDialog());
  const WindowId bar = form_->Dock().Bar();
  ASSERT_NE(bar, kNoWindow);
  const int width = BoundsOf(bar).width;
  ASSERT_TRUE(Forms().Click(F(), "RMyComputer"));
  Ok();
  EXPECT_EQ(BoundsOf(bar).width, width + 50);
  const WindowId added = form_->Slots()[24].Window;
  ASSERT_NE(added, kNoWindow);
  EXPECT_EQ(desktop_->FindWindow(added)->name, "Rect4");
  EXPECT_EQ(form_->Slots()[24].Hint, "我的电脑");
  const pugi::xml_document doc = LoadConfigDom();
  EXPECT_STREQ(doc.document_element().child("RectBackground").child("Rect4").child("IconPath").child_value("Define"),
               "Icon\\SysTool\\MyComputer.png");

  OpenSettings();
  ASSERT_TRUE(Forms().Click(F(), "RRecycleBin"));
  Ok();
  EXPECT_EQ(BoundsOf(bar).width, width);
  EXPECT_EQ(form_->Slots()[23].Window, added);
  EXPECT_EQ(desktop_->FindWindow(added)->name, "Rect3");
  EXPECT_EQ(DockFilesInMemory(), (std::vector<std::string>{"C:\\a.exe", "C:\\b.exe", kMyComputer}));
  EXPECT_EQ(DockFilesInFile(), (std::vector<std::string>{"Rect1=C:\\a.exe", "Rect2=C:\\b.exe",
                                                         std::string("Rect3=") + kMyComputer}));
}

TEST_F(SetupScenarioTest, ARowOfAllDockSlotsTakesNoFurtherTool) {
  DockItems(std::vector<std::string>(catalogue::kDockSlots, "C:\\x.exe"));
  ASSERT_TRUE(StartWithDialog());
  ASSERT_TRUE(Forms().Click(F(), "RControlPanel"));
  Ok();
  EXPECT_EQ(form_->RectItemCount(), catalogue::kDockSlots);
  EXPECT_EQ(DockFilesInFile().size(), static_cast<std::size_t>(catalogue::kDockSlots));
}

// The whole element is written: leftovers of an item emptied by hand do not
// come back with the tool.
TEST_F(SetupScenarioTest, TickingMyComputerForTheRingFillsTheLowestFreeSlotWithItsOwnTexts) {
  Circle(1).child("File").text().set("C:\\Quorvel\\Config\\UserInfo.xml");
  Circle(2).child("Argument").text().set("kept");
  ASSERT_TRUE(StartWithDialog());
  ASSERT_TRUE(Forms().Click(F(), "CMyComputer"));
  Ok();
  ASSERT_NE(form_->Slots()[2].Window, kNoWindow);
  const pugi::xml_document doc = LoadConfigDom();
  const pugi::xml_node circle2 = doc.document_element().child("RoundBackground").child("Circle2");
  EXPECT_STREQ(circle2.child_value("File"), kMyComputer);
  EXPECT_STREQ(circle2.child_value("Name"), "我的电脑");
  EXPECT_STREQ(circle2.child_value("Argument"), "");

  // Unticked at the next opening, it leaves its slot free and its element empty.
  OpenSettings();
  ASSERT_TRUE(Forms().Click(F(), "CMyComputer"));
  Ok();
  EXPECT_EQ(form_->Slots()[2].Window, kNoWindow);
  EXPECT_STREQ(LoadConfigDom().document_element().child("RoundBackground").child("Circle2").child_value("File"), "");
}

// The ring and the dock follow the owner's previews; Cancel puts them back.
TEST_F(SetupScenarioTest, PreviewsMoveTheRingAndTheBarAndCancelBringsThemBack) {
  Circle(1).child("File").text().set("C:\\Quorvel\\Config\\UserInfo.xml");
  ASSERT_TRUE(StartWithDialog());
  const WindowId bar = form_->Dock().Bar();
  const Rect top = BoundsOf(bar);
  const Rect item = BoundsOf(form_->Slots()[1].Window);
  const Rect screen = Process().AsPlatform().windows.ScreenBounds();
  ASSERT_TRUE(Forms().MoveTrackBar(F(), "TrackBarMinR", 200));
  EXPECT_NE(BoundsOf(form_->Slots()[1].Window), item);
  ASSERT_TRUE(Forms().Choose(F(), "ComboBoxPosition", 1));
  EXPECT_EQ(BoundsOf(bar).top, dock::ComputeRectTop(1, screen, top.height));
  EXPECT_GT(BoundsOf(bar).top, screen.top + screen.height / 2);
  ASSERT_TRUE(Forms().Click(F(), "BitBtnCancel"));
  EXPECT_EQ(BoundsOf(bar), top);
  EXPECT_EQ(BoundsOf(form_->Slots()[1].Window), item);
}

TEST_F(SetupScenarioTest, GrowingTheBackgroundKeepsItsCentreAndTheDefaultsShrinkItBack) {
  ASSERT_TRUE(StartWithDialog());
  const WindowId background = form_->Round().BackgroundWindow();
  const Rect before = BoundsOf(background);
  ASSERT_TRUE(Forms().MoveTrackBar(F(), "TrackBarBG", 55));
  Ok();
  EXPECT_EQ(BoundsOf(background), (Rect{before.left - 27, before.top - 27, 355, 355}));
  OpenSettings();
  desktop_->ScriptMessageBoxAnswer(MessageBoxResult::Yes);
  ASSERT_TRUE(Forms().Click(F(), "BitBtnDefault"));
  EXPECT_EQ(BoundsOf(background), before);
}

// The hot key the file names is the one in use, and OK registers the new
// one; the windows take the layer chosen; the Run value lands under the
// current user's Run key.
TEST_F(SetupScenarioTest, OkReachesTheHotKeyTheLayersAndTheRunKey) {
  Basic().child("HotKey").attribute("Key").set_value("J");
  ASSERT_TRUE(StartWithDialog());
  Forms().Type(F(), "EditHot", "");
  Ok();
  EXPECT_EQ(form_->HotKeyChar(), 'J');
  OpenSettings();
  ASSERT_TRUE(Forms().FocusControl(F(), "EditHot"));
  ASSERT_TRUE(Forms().PressKey(F(), 'K'));
  ASSERT_TRUE(Forms().Click(F(), "ChkBoxAuto"));
  ASSERT_TRUE(Forms().Choose(F(), "ComboBoxDisplayState", 1));
  Ok();
  EXPECT_EQ(form_->HotKeyChar(), 'K');
  EXPECT_EQ(desktop_->FindWindow(form_->MainWindow())->layer, WindowLayer::Topmost);
  EXPECT_EQ(desktop_->FindWindow(form_->Round().CenterWindow())->layer, WindowLayer::Topmost);
  EXPECT_NE(ConfigBytes().find("<HotKey Key=\"K\""), std::string::npos);
  EXPECT_EQ(desktop_->Registry()[kRunEntry], "C:\\Quorvel\\Quorvel.exe");
}

}  // namespace
}  // namespace qv
