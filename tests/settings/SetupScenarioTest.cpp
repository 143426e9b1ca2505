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

TEST_F(SetupScenarioTest, UntickingTheRecycleBinInTheDockClosesTheGap) {
  DockItems({"C:\\a.exe", kBin, "C:\\b.exe", "C:\\c.exe"});
  ASSERT_TRUE(StartWithDialog());
  ASSERT_EQ(form_->RectItemCount(), 4);
  EXPECT_TRUE(Forms().Checked(F(), "RRecycleBin"));
  ASSERT_TRUE(Forms().Click(F(), "RRecycleBin"));
  Ok();
  EXPECT_EQ(DockFilesInMemory(), (std::vector<std::string>{"C:\\a.exe", "C:\\b.exe", "C:\\c.exe"}));
  EXPECT_EQ(DockFilesInFile(), (std::vector<std::string>{"Rect1=C:\\a.exe", "Rect2=C:\\b.exe", "Rect3=C:\\c.exe"}));
  EXPECT_TRUE(form_->Slots()[24].File.empty());
}

TEST_F(SetupScenarioTest, AToolTickedForTheDockIsAppendedAndARefusedOneWhenTheRowIsFull) {
  DockItems({"C:\\a.exe", "C:\\b.exe", "C:\\c.exe"});
  ASSERT_TRUE(StartWithDialog());
  ASSERT_TRUE(Forms().Click(F(), "RMyComputer"));
  Ok();
  EXPECT_EQ(DockFilesInFile().back(), std::string("Rect4=") + kMyComputer);
  EXPECT_EQ(form_->RectItemCount(), 4);
  const catalogue::TImageIconRec& rec = form_->Slots()[24];
  EXPECT_EQ(rec.Hint, "我的电脑");
  EXPECT_EQ(rec.IconPath, "C:\\Quorvel\\Icon\\SysTool\\MyComputer.png");
  const pugi::xml_document doc = LoadConfigDom();
  const pugi::xml_node added = doc.document_element().child("RectBackground").child("Rect4");
  EXPECT_STREQ(added.child("IconPath").child_value("Define"), "C:\\Quorvel\\Icon\\SysTool\\MyComputer.png");
  EXPECT_TRUE(added.child("InitialPosition"));
}

// The dock's own add and remove: the bar widens and narrows by one item, the
// windows behind a removed one take their new names.
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
  EXPECT_GT(BoundsOf(added).left, BoundsOf(form_->Slots()[23].Window).left);

  OpenSettings();
  ASSERT_TRUE(Forms().Click(F(), "RRecycleBin"));
  Ok();
  EXPECT_EQ(BoundsOf(bar).width, width);
  EXPECT_EQ(form_->Slots()[23].Window, added);
  EXPECT_EQ(desktop_->FindWindow(added)->name, "Rect3");
}

// The dock's page previews on the running bar; Cancel puts it back.
TEST_F(SetupScenarioTest, TheDockPositionMovesTheBarAndCancelBringsItBack) {
  ASSERT_TRUE(StartWithDialog());
  const WindowId bar = form_->Dock().Bar();
  const Rect top = BoundsOf(bar);
  const Rect screen = Process().AsPlatform().windows.ScreenBounds();
  form_->Commands().Run(app::Command::OpenDockSettings, app::MenuKind::RectBG);
  ASSERT_EQ(Forms().Page(F()), settings::kPageRect);
  ASSERT_TRUE(Forms().Choose(F(), "ComboBoxPosition", 1));
  const Rect bottom = BoundsOf(bar);
  EXPECT_EQ(bottom.left, top.left);
  EXPECT_EQ(bottom.width, top.width);
  EXPECT_EQ(bottom.top, dock::ComputeRectTop(1, screen, top.height));
  EXPECT_GT(bottom.top, screen.top + screen.height / 2);
  ASSERT_TRUE(Forms().Click(F(), "BitBtnCancel"));
  EXPECT_EQ(BoundsOf(bar), top);
}

TEST_F(SetupScenarioTest, ARowOfAllDockSlotsTakesNoFurtherTool) {
  DockItems(std::vector<std::string>(catalogue::kDockSlots, "C:\\x.exe"));
  ASSERT_TRUE(StartWithDialog());
  ASSERT_EQ(form_->RectItemCount(), catalogue::kDockSlots);
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
  const catalogue::TImageIconRec& rec = form_->Slots()[2];
  EXPECT_EQ(rec.File, kMyComputer);
  ASSERT_NE(rec.Window, kNoWindow);
  const pugi::xml_document doc = LoadConfigDom();
  const pugi::xml_node circle2 = doc.document_element().child("RoundBackground").child("Circle2");
  EXPECT_STREQ(circle2.child_value("File"), kMyComputer);
  EXPECT_STREQ(circle2.child_value("Name"), "我的电脑");
  EXPECT_STREQ(circle2.child("IconPath").child_value("Define"), "C:\\Quorvel\\Icon\\SysTool\\MyComputer.png");
  EXPECT_STREQ(circle2.child_value("Argument"), "");

  // Unticked at the next opening, it leaves its slot free and its element empty.
  OpenSettings();
  EXPECT_TRUE(Forms().Checked(F(), "CMyComputer"));
  ASSERT_TRUE(Forms().Click(F(), "CMyComputer"));
  Ok();
  EXPECT_TRUE(form_->Slots()[2].File.empty());
  EXPECT_EQ(form_->Slots()[2].Window, kNoWindow);
  EXPECT_STREQ(LoadConfigDom().document_element().child("RoundBackground").child("Circle2").child_value("File"), "");
}

TEST_F(SetupScenarioTest, ARadiusBeyondTheSliderReLaysTheRingOutAtOpeningAndCancelKeepsTheClampedOne) {
  Basic().child("IconElement").attribute("MinR").set_value("400");
  Circle(1).child("File").text().set("C:\\Quorvel\\Config\\UserInfo.xml");
  ASSERT_TRUE(StartWithDialog());
  EXPECT_EQ(form_->Settings().MinR, 300);
  const Rect at300 = BoundsOf(form_->Slots()[1].Window);
  ASSERT_TRUE(Forms().MoveTrackBar(F(), "TrackBarMinR", 100));
  EXPECT_NE(BoundsOf(form_->Slots()[1].Window), at300);
  ASSERT_TRUE(Forms().Click(F(), "BitBtnCancel"));
  EXPECT_EQ(form_->Settings().MinR, 300);
  EXPECT_EQ(BoundsOf(form_->Slots()[1].Window), at300);
  EXPECT_NE(ConfigBytes().find("MinR=\"400\""), std::string::npos);
}

TEST_F(SetupScenarioTest, GrowingTheBackgroundKeepsItsCentreAndTheDefaultsShrinkItBack) {
  ASSERT_TRUE(StartWithDialog());
  const WindowId background = form_->Round().BackgroundWindow();
  const Rect before = BoundsOf(background);
  ASSERT_TRUE(Forms().MoveTrackBar(F(), "TrackBarBG", 55));
  Ok();
  const Rect grown = BoundsOf(background);
  EXPECT_EQ(grown, (Rect{before.left - 27, before.top - 27, 355, 355}));

  // From 400 the defaults move it 50 pixels right and down.
  OpenSettings();
  ASSERT_TRUE(Forms().MoveTrackBar(F(), "TrackBarBG", 100));
  Ok();
  const Rect at400 = BoundsOf(background);
  OpenSettings();
  desktop_->ScriptMessageBoxAnswer(MessageBoxResult::Yes);
  ASSERT_TRUE(Forms().Click(F(), "BitBtnDefault"));
  EXPECT_EQ(BoundsOf(background), (Rect{at400.left + 50, at400.top + 50, 300, 300}));
  EXPECT_NE(ConfigBytes().find("Size=\"300\""), std::string::npos);
  EXPECT_EQ(desktop_->MessageBoxes().back().text, "确定要恢复到默认状态吗？");
}

TEST_F(SetupScenarioTest, StartWithWindowsStoresTheProgramPathOnlyWhenNoValueStartsIt) {
  const std::string exe = "C:\\Quorvel\\Quorvel.exe";
  const std::pair<std::optional<std::string>, std::string> cases[] = {
      {exe, exe}, {"\"" + exe + "\"", "\"" + exe + "\""}, {"D:\\Other.exe", exe}, {std::nullopt, exe}};
  ASSERT_TRUE(StartWithDialog());
  ASSERT_TRUE(Forms().Click(F(), "BitBtnCancel"));
  for (const auto& [stored, after] : cases) {
    desktop_->Registry().erase(kRunEntry);
    if (stored) desktop_->Registry()[kRunEntry] = *stored;
    OpenSettings();
    if (!Forms().Checked(F(), "ChkBoxAuto")) {
      ASSERT_TRUE(Forms().Click(F(), "ChkBoxAuto"));
    }
    Ok();
    EXPECT_EQ(desktop_->Registry()[kRunEntry], after) << stored.value_or("absent");
  }
  // Unticked, the value goes.
  OpenSettings();
  ASSERT_TRUE(Forms().Click(F(), "ChkBoxAuto"));
  Ok();
  EXPECT_EQ(desktop_->Registry().count(kRunEntry), 0u);
}

TEST_F(SetupScenarioTest, TheThreeDisplayStatesPutEveryWindowInItsLayer) {
  Circle(1).child("File").text().set("C:\\Quorvel\\Config\\UserInfo.xml");
  desktop_->SetShellDesktopWindow(true);
  ASSERT_TRUE(StartWithDialog());
  const std::vector<WindowId> others = {form_->Round().BackgroundWindow(), form_->Round().CenterWindow(),
                                        form_->Slots()[1].Window, form_->Interaction().HintWindowId()};
  struct Case {
    int index;
    WindowLayer main;
    WindowLayer rest;
  };
  for (const Case& c :
       {Case{2, WindowLayer::Desktop, WindowLayer::Normal}, Case{0, WindowLayer::Normal, WindowLayer::Normal},
        Case{1, WindowLayer::Topmost, WindowLayer::Topmost}}) {
    OpenSettings();
    ASSERT_TRUE(Forms().Choose(F(), "ComboBoxDisplayState", c.index));
    Ok();
    EXPECT_EQ(desktop_->FindWindow(form_->MainWindow())->layer, c.main) << c.index;
    for (WindowId w : others) EXPECT_EQ(desktop_->FindWindow(w)->layer, c.rest) << c.index << " " << w;
  }
  // Without a shell desktop window the desktop state is the normal one.
  desktop_->SetShellDesktopWindow(false);
  OpenSettings();
  ASSERT_TRUE(Forms().Choose(F(), "ComboBoxDisplayState", 2));
  Ok();
  EXPECT_EQ(desktop_->FindWindow(form_->MainWindow())->layer, WindowLayer::Normal);
}

TEST_F(SetupScenarioTest, OkReRegistersTheHotKeyAndWithoutTheFileNothingChanges) {
  ASSERT_TRUE(StartWithDialog());
  ASSERT_TRUE(Forms().FocusControl(F(), "EditHot"));
  ASSERT_TRUE(Forms().PressKey(F(), 'K'));
  Ok();
  EXPECT_EQ(form_->HotKeyChar(), 'K');
  EXPECT_NE(ConfigBytes().find("<HotKey Key=\"K\""), std::string::npos);

  std::filesystem::remove(ConfigFile());
  const config::Settings before = form_->Settings();
  const Rect background = BoundsOf(form_->Round().BackgroundWindow());
  for (const char* button : {"BitBtnOK", "BitBtnDefault"}) {
    OpenSettings();
    ASSERT_TRUE(Forms().MoveTrackBar(F(), "TrackBarBG", 200));
    ASSERT_TRUE(Forms().Click(F(), "ChkBoxAuto"));
    desktop_->ScriptMessageBoxAnswer(MessageBoxResult::Yes);
    ASSERT_TRUE(Forms().Click(F(), button));
    EXPECT_FALSE(std::filesystem::exists(ConfigFile())) << button;
    EXPECT_EQ(form_->Settings().MinR, before.MinR) << button;
    EXPECT_EQ(form_->HotKeyChar(), 'K') << button;
    EXPECT_EQ(BoundsOf(form_->Round().BackgroundWindow()), background) << button;
    EXPECT_EQ(desktop_->Registry().count(kRunEntry), 0u) << button;
  }
}

}  // namespace
}  // namespace qv
