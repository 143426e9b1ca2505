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
  Rect BoundsOf(WindowId w) { return desktop_->FindWindow(w)->bounds; }
  headless::HeadlessForms& Forms() { return Process().Forms(); }
  app::MainForm* form_ = nullptr;
};

// Unticking a dock tool removes it from the row (that the windows behind close up is the dock
// removal's and the soak's; the dock's add is the Wine scenario's); a full row takes no further tool.
TEST_F(SetupScenarioTest, UntickingADockToolRemovesItFromTheRow) {
  DockItems({"C:\\a.exe", kBin, "C:\\b.exe"});
  ASSERT_TRUE(StartWithDialog());
  Tick({"RRecycleBin"});
  EXPECT_EQ(form_->RectItemCount(), 2);
  EXPECT_EQ(DockInFile(), (std::vector<std::string>{"Rect1=C:\\a.exe", "Rect2=C:\\b.exe"}));
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

// A larger skin keeps its centre; the moved windows take the layer chosen (the ring's
// previews, the hot key and the Run value are the Wine scenario's).
TEST_F(SetupScenarioTest, OkCentresTheLargerSkinAndMovesTheWindowsToTheLayer) {
  SetItems({1});
  ASSERT_TRUE(StartWithDialog());
  const WindowId background = form_->Round().BackgroundWindow();
  const Rect skin = BoundsOf(background);
  ASSERT_TRUE(Forms().MoveTrackBar(F(), "TrackBarBG", 55));
  ASSERT_TRUE(Forms().Choose(F(), "ComboBoxDisplayState", 1));
  Click("BitBtnOK");
  EXPECT_EQ(BoundsOf(background), (Rect{skin.left - 27, skin.top - 27, 355, 355}));
  EXPECT_EQ(desktop_->FindWindow(form_->MainWindow())->layer, WindowLayer::Topmost);
  EXPECT_EQ(desktop_->FindWindow(form_->Round().CenterWindow())->layer, WindowLayer::Topmost);
}

}  // namespace
}  // namespace qv
