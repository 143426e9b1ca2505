// The settings dialog wired to the real main form on the headless desktop:
// the ring, the items, the file, the registry and the layers as OK, Cancel
// and the defaults leave them.

#include <gtest/gtest.h>

#include "app/MainForm.h"
#include "platform/headless/HeadlessForms.h"
#include "settings/Setup.h"
#include "settings/SetupForm.h"
#include "tests/support/Scenario.h"

namespace qv {
namespace {

constexpr const char* kBin = "::{645FF040-5081-101B-9F08-00AA002F954E}";
constexpr const char* kMyComputer = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

class SetupScenarioTest : public test::ItemScenario {
 protected:
  // The tray menu's "设置", as the user opens it; ticks or unticks the tools and presses OK.
  void Tick(std::initializer_list<const char*> boxes) {
    form_->Commands().Run(app::Command::OpenSettings, app::MenuKind::TaskBar);
    for (const char* box : boxes) ASSERT_TRUE(Process().Forms().Click(form_->Setup().Form(), box)) << box;
    ASSERT_TRUE(Process().Forms().Click(form_->Setup().Form(), "BitBtnOK"));
  }
  app::MainForm* form_ = nullptr;
};

// The tools ticked from what the file holds; a dock tool leaves the row before another comes, so a
// full row takes one for the other and then no more (that the windows behind close up is the dock
// removal's and the soak's). The whole ring element is written: leftovers of an item emptied by
// hand do not come back with the tool; unticked, it leaves its slot free and its element empty.
TEST_F(SetupScenarioTest, TicksAddAndRemoveTheToolsInTheRingAndTheRow) {
  std::vector<test::ItemSpec> dock(catalogue::kDockSlots, {"C:\\x.exe", "x", "", "", "", ""});
  dock[1].file = kBin;
  SetRectList(dock);
  SetItems({1});
  Circle(2).child("Argument").text().set("kept");
  form_ = Start();
  ASSERT_NE(form_, nullptr);
  Tick({"RRecycleBin", "RControlPanel", "CMyComputer"});
  std::vector<std::string> row = DockInFile();
  EXPECT_EQ(form_->RectItemCount(), catalogue::kDockSlots);
  ASSERT_EQ(row.size(), static_cast<std::size_t>(catalogue::kDockSlots));
  EXPECT_EQ(row[1], "Rect2=C:\\x.exe");
  EXPECT_EQ(row.back(), "Rect" + std::to_string(catalogue::kDockSlots) + "=control.exe");
  ASSERT_NE(form_->Slots()[2].Window, kNoWindow);
  EXPECT_EQ(test::TextsOf(FileCircle(LoadConfigDom(), 2)),
            (std::vector<std::string>{kMyComputer, "我的电脑", "",
                                      test::kDir + "Icon\\SysTool\\MyComputer.png", "", "", ""}));
  Tick({"RMyNetwork", "CMyComputer"});
  EXPECT_EQ(DockInFile(), row);
  EXPECT_EQ(form_->Slots()[2].Window, kNoWindow);
  EXPECT_STREQ(FileCircle(LoadConfigDom(), 2).child_value("File"), "");
}

}  // namespace
}  // namespace qv
