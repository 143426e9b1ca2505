// The settings dialog wired to the real main form on the headless desktop:
// the ring, the items, the file, the registry and the layers as OK, Cancel
// and the defaults leave them.

#include <gtest/gtest.h>

#include "app/SetupWiring.h"
#include "platform/headless/HeadlessForms.h"
#include "settings/Setup.h"
#include "settings/SystemTools.h"
#include "tests/support/Scenario.h"

namespace qv {
namespace {

constexpr const char* kRunEntry = "HKCU\\software\\microsoft\\windows\\currentversion\\run\\\\quorvel";
constexpr const char* kBin = "::{645FF040-5081-101B-9F08-00AA002F954E}";
constexpr const char* kMyComputer = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

class SetupScenarioTest : public testing::ScenarioTest {
 protected:
  void TearDown() override {
    dialog_.reset();
    ScenarioTest::TearDown();
  }

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

  app::RoundHot* StartWithDialog() {
    CopyArt();
    form_ = Start();
    if (!form_) return nullptr;
    // The dock's own loader and its windows are not part of the main form
    // yet: its items are put into their slots here as it will put them.
    const pugi::xml_node rect = config_.document_element().child("RectBackground");
    int slot = catalogue::kRingSlots;
    for (pugi::xml_node item : rect.children()) {
      if (++slot > catalogue::kSlotCount) break;
      form_->Slots()[slot].File = item.child_value("File");
    }
    dialog_ = std::make_unique<settings::SetupDialog>(forms_, app::MakeSetupHooks(Process().AsPlatform(), *form_));
    dialog_->OpenSettings();
    EXPECT_TRUE(dialog_->IsOpen());
    return form_;
  }
  FormId F() const { return dialog_->Form(); }
  void Ok() { ASSERT_TRUE(forms_.Click(F(), "BitBtnOK")); }

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

  headless::HeadlessForms forms_;
  app::RoundHot* form_ = nullptr;
  std::unique_ptr<settings::SetupDialog> dialog_;
};

TEST_F(SetupScenarioTest, UntickingTheRecycleBinInTheDockClosesTheGap) {
  DockItems({"C:\\a.exe", kBin, "C:\\b.exe", "C:\\c.exe"});
  ASSERT_TRUE(StartWithDialog());
  ASSERT_EQ(form_->RectItemCount(), 4);
  EXPECT_TRUE(forms_.Checked(F(), "RRecycleBin"));
  ASSERT_TRUE(forms_.Click(F(), "RRecycleBin"));
  Ok();
  EXPECT_EQ(DockFilesInMemory(), (std::vector<std::string>{"C:\\a.exe", "C:\\b.exe", "C:\\c.exe"}));
  EXPECT_EQ(DockFilesInFile(), (std::vector<std::string>{"Rect1=C:\\a.exe", "Rect2=C:\\b.exe", "Rect3=C:\\c.exe"}));
  EXPECT_TRUE(form_->Slots()[24].File.empty());
}

TEST_F(SetupScenarioTest, AToolTickedForTheDockIsAppendedAndARefusedOneWhenTheRowIsFull) {
  DockItems({"C:\\a.exe", "C:\\b.exe", "C:\\c.exe"});
  ASSERT_TRUE(StartWithDialog());
  ASSERT_TRUE(forms_.Click(F(), "RMyComputer"));
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

TEST_F(SetupScenarioTest, ARowOfAllDockSlotsTakesNoFurtherTool) {
  DockItems(std::vector<std::string>(catalogue::kDockSlots, "C:\\x.exe"));
  ASSERT_TRUE(StartWithDialog());
  ASSERT_EQ(form_->RectItemCount(), catalogue::kDockSlots);
  ASSERT_TRUE(forms_.Click(F(), "RControlPanel"));
  Ok();
  EXPECT_EQ(form_->RectItemCount(), catalogue::kDockSlots);
  EXPECT_EQ(DockFilesInFile().size(), static_cast<std::size_t>(catalogue::kDockSlots));
}

TEST_F(SetupScenarioTest, TickingMyComputerForTheRingFillsTheLowestFreeSlotAndKeepsItsOtherTexts) {
  Circle(1).child("File").text().set("C:\\Quorvel\\Config\\UserInfo.xml");
  Circle(2).child("Argument").text().set("kept");
  ASSERT_TRUE(StartWithDialog());
  ASSERT_TRUE(forms_.Click(F(), "CMyComputer"));
  Ok();
  const catalogue::TImageIconRec& rec = form_->Slots()[2];
  EXPECT_EQ(rec.File, kMyComputer);
  ASSERT_NE(rec.Window, kNoWindow);
  const pugi::xml_document doc = LoadConfigDom();
  const pugi::xml_node circle2 = doc.document_element().child("RoundBackground").child("Circle2");
  EXPECT_STREQ(circle2.child_value("File"), kMyComputer);
  EXPECT_STREQ(circle2.child_value("Name"), "我的电脑");
  EXPECT_STREQ(circle2.child("IconPath").child_value("Define"), "C:\\Quorvel\\Icon\\SysTool\\MyComputer.png");
  EXPECT_STREQ(circle2.child_value("Argument"), "kept");

  // Unticked at the next opening, it leaves its slot free and its element empty.
  dialog_->OpenSettings();
  EXPECT_TRUE(forms_.Checked(F(), "CMyComputer"));
  ASSERT_TRUE(forms_.Click(F(), "CMyComputer"));
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
  ASSERT_TRUE(forms_.MoveTrackBar(F(), "TrackBarMinR", 100));
  EXPECT_NE(BoundsOf(form_->Slots()[1].Window), at300);
  ASSERT_TRUE(forms_.Click(F(), "BitBtnCancel"));
  EXPECT_EQ(form_->Settings().MinR, 300);
  EXPECT_EQ(BoundsOf(form_->Slots()[1].Window), at300);
  EXPECT_NE(ConfigBytes().find("MinR=\"400\""), std::string::npos);
}

TEST_F(SetupScenarioTest, GrowingTheBackgroundKeepsItsCentreAndTheDefaultsShrinkItBack) {
  ASSERT_TRUE(StartWithDialog());
  const WindowId background = form_->Round().BackgroundWindow();
  const Rect before = BoundsOf(background);
  ASSERT_TRUE(forms_.MoveTrackBar(F(), "TrackBarBG", 55));
  Ok();
  const Rect grown = BoundsOf(background);
  EXPECT_EQ(grown, (Rect{before.left - 27, before.top - 27, 355, 355}));

  // From 400 the defaults move it 50 pixels right and down.
  dialog_->OpenSettings();
  ASSERT_TRUE(forms_.MoveTrackBar(F(), "TrackBarBG", 100));
  Ok();
  const Rect at400 = BoundsOf(background);
  dialog_->OpenSettings();
  desktop_->ScriptMessageBoxAnswer(MessageBoxResult::Yes);
  ASSERT_TRUE(forms_.Click(F(), "BitBtnDefault"));
  EXPECT_EQ(BoundsOf(background), (Rect{at400.left + 50, at400.top + 50, 300, 300}));
  EXPECT_NE(ConfigBytes().find("Size=\"300\""), std::string::npos);
  EXPECT_EQ(desktop_->MessageBoxes().back().text, "确定要恢复到默认状态吗？");
}

TEST_F(SetupScenarioTest, StartWithWindowsStoresTheProgramPathOnlyWhenNoValueStartsIt) {
  const std::string exe = "C:\\Quorvel\\Quorvel.exe";
  const std::pair<std::optional<std::string>, std::string> cases[] = {
      {exe, exe}, {"\"" + exe + "\"", "\"" + exe + "\""}, {"D:\\Other.exe", exe}, {std::nullopt, exe}};
  ASSERT_TRUE(StartWithDialog());
  dialog_.reset();
  for (const auto& [stored, after] : cases) {
    desktop_->Registry().erase(kRunEntry);
    if (stored) desktop_->Registry()[kRunEntry] = *stored;
    dialog_ = std::make_unique<settings::SetupDialog>(forms_, app::MakeSetupHooks(Process().AsPlatform(), *form_));
    dialog_->OpenSettings();
    if (!forms_.Checked(F(), "ChkBoxAuto")) {
      ASSERT_TRUE(forms_.Click(F(), "ChkBoxAuto"));
    }
    Ok();
    EXPECT_EQ(desktop_->Registry()[kRunEntry], after) << stored.value_or("absent");
  }
  // Unticked, the value goes.
  dialog_->OpenSettings();
  ASSERT_TRUE(forms_.Click(F(), "ChkBoxAuto"));
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
    dialog_->OpenSettings();
    ASSERT_TRUE(forms_.Choose(F(), "ComboBoxDisplayState", c.index));
    Ok();
    EXPECT_EQ(desktop_->FindWindow(form_->MainWindow())->layer, c.main) << c.index;
    for (WindowId w : others) EXPECT_EQ(desktop_->FindWindow(w)->layer, c.rest) << c.index << " " << w;
  }
  // Without a shell desktop window the desktop state is the normal one.
  desktop_->SetShellDesktopWindow(false);
  dialog_->OpenSettings();
  ASSERT_TRUE(forms_.Choose(F(), "ComboBoxDisplayState", 2));
  Ok();
  EXPECT_EQ(desktop_->FindWindow(form_->MainWindow())->layer, WindowLayer::Normal);
}

TEST_F(SetupScenarioTest, OkReRegistersTheHotKeyAndWithoutTheFileNothingChanges) {
  ASSERT_TRUE(StartWithDialog());
  ASSERT_TRUE(forms_.FocusControl(F(), "EditHot"));
  ASSERT_TRUE(forms_.PressKey(F(), 'K'));
  Ok();
  EXPECT_EQ(form_->HotKeyChar(), 'K');
  EXPECT_NE(ConfigBytes().find("<HotKey Key=\"K\""), std::string::npos);

  std::filesystem::remove(ConfigFile());
  const config::Settings before = form_->Settings();
  const Rect background = BoundsOf(form_->Round().BackgroundWindow());
  for (const char* button : {"BitBtnOK", "BitBtnDefault"}) {
    dialog_->OpenSettings();
    ASSERT_TRUE(forms_.MoveTrackBar(F(), "TrackBarBG", 200));
    ASSERT_TRUE(forms_.Click(F(), "ChkBoxAuto"));
    desktop_->ScriptMessageBoxAnswer(MessageBoxResult::Yes);
    ASSERT_TRUE(forms_.Click(F(), button));
    EXPECT_FALSE(std::filesystem::exists(ConfigFile())) << button;
    EXPECT_EQ(form_->Settings().MinR, before.MinR) << button;
    EXPECT_EQ(form_->HotKeyChar(), 'K') << button;
    EXPECT_EQ(BoundsOf(form_->Round().BackgroundWindow()), background) << button;
    EXPECT_EQ(desktop_->Registry().count(kRunEntry), 0u) << button;
  }
}

}  // namespace
}  // namespace qv
