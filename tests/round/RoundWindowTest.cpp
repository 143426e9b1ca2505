#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "picture/PngLoader.h"
#include "tests/support/Scenario.h"

namespace qv {
namespace {

using testing::ScenarioTest;

const std::string kDir = "C:\\Quorvel\\";
const std::string kTools = kDir + "Icon\\SysTool\\";
constexpr const char* kRecycleBin = "::{645FF040-5081-101B-9F08-00AA002F954E}";

class RoundWindowTest : public ScenarioTest {
 protected:
  // An item named "item" with its pictures, the other texts as the distributed file has them.
  void SetItem(int slot, const std::string& file, const std::string& iconDefault = "",
               const std::string& iconDefine = "") {
    pugi::xml_node circle = Circle(slot);
    circle.child("File").text().set(file.c_str());
    circle.child("Name").text().set("item");
    circle.child("IconPath").child("Default").text().set(iconDefault.c_str());
    circle.child("IconPath").child("Define").text().set(iconDefine.c_str());
  }
};

// The window system moved the main form and raised the ring over the items:
// the display change puts both back. Every ring window takes dropped files.
TEST_F(RoundWindowTest, DisplayChangePutsEverythingBack) {
  for (int slot : {1, 8, 12, 20}) SetItem(slot, kRecycleBin);
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  for (const char* name : {"BackGroundForm", "CenterForm", "Circle1", "Circle12"}) EXPECT_TRUE(Named(name)->acceptsDrops);
  Process().SetBounds(form->MainWindow(), {100, 80, 194, 168});
  Process().BringToTop(Named("BackGroundForm")->id);
  form->OnDisplayChange();
  desktop_->Advance(500);
  // The centre lies 97 right of and 84 below the form's corner; slot 8 due right on the inner ring.
  EXPECT_EQ(Named("BackGroundForm")->bounds, (Rect{100 + 97 - 150, 80 + 84 - 150, 300, 300}));
  EXPECT_EQ(CircleWindow(8)->bounds, (Rect{100 + 177, 80 + 59, 50, 50}));
  const std::vector<WindowId>& z = desktop_->ZOrder();
  ASSERT_GE(z.size(), 6u);
  EXPECT_EQ(std::vector<WindowId>(z.end() - 6, z.end()),
            (std::vector<WindowId>{Named("BackGroundForm")->id, Named("CenterForm")->id, CircleWindow(1)->id,
                                   CircleWindow(8)->id, CircleWindow(12)->id, CircleWindow(20)->id}));
}

TEST_F(RoundWindowTest, WholeRoundWindowMatchesTheReviewedPicture) {
  CopyArt();
  Put(kDir + "Icon\\Quorvel.exe.ico", testing::ReadBytes(std::filesystem::path(QV_ART_DIR) / "Quorvel.ico"));
  Put("C:\\Apps\\Quorvel.exe", "MZ");
  const struct { int slot; const char* file; std::string iconDefault, iconDefine; } items[] = {  // a deleted target (slot 8) shows the placeholder
      {1, "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "", kTools + "MyComputer.png"},
      {2, "::{208D2C60-3AEA-1069-A2D7-08002B30309D}", "", kTools + "MyNetwork.png"},
      {3, "::{450D8FBA-AD25-11D0-98A8-0800361B1103}", "", kTools + "MyDocuments.png"},
      {4, kRecycleBin, "", kTools + "RecycleBin.png"},
      {5, "control.exe", "", kTools + "ControlPanel.png"},
      {6, "C:\\Apps", "", kTools + "MyFiles.png"},
      {7, "C:\\Apps\\Quorvel.exe", kDir + "Icon\\Quorvel.exe.ico", ""},
      {8, "C:\\Apps\\gone.exe", "", kTools + "MyComputer.png"},
      {9, "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "", kTools + "MyComputer.png"},
      {12, kRecycleBin, "", kTools + "RecycleBin.png"},
      {15, "C:\\Apps", "", kTools + "MyFiles.png"},
      {18, "control.exe", "", kTools + "ControlPanel.png"},
  };
  for (const auto& item : items) SetItem(item.slot, item.file, item.iconDefault, item.iconDefine);
  ASSERT_NE(Start(), nullptr);

  // The ring's centre is (697, 452); the outer items reach 215 pixels from it.
  desktop_->SetScreen({697 - 230, 452 - 230, 460, 460});
  const LayeredSurface actual = desktop_->Compose();  // opaque: straight and premultiplied agree
  const std::filesystem::path referenceFile =
      std::filesystem::path(QV_SOURCE_DIR) / "tests" / "round" / "reference" / "round_window.png";
  const picture::StraightPicture reference = picture::DecodePng(testing::ReadBytes(referenceFile));
  ASSERT_EQ(actual.width, reference.width) << referenceFile;
  ASSERT_EQ(actual.pixels.size(), reference.pixels.size()) << referenceFile;
  std::size_t close = 0;  // pixels within 3 levels on every channel
  for (std::size_t i = 0; i < actual.pixels.size(); ++i) {
    bool ok = true;
    for (int shift = 0; shift < 32; shift += 8)
      ok = ok && std::abs(static_cast<int>((actual.pixels[i] >> shift) & 0xFF) -
                          static_cast<int>((reference.pixels[i] >> shift) & 0xFF)) <= 3;
    close += ok;
  }
  const bool same = close >= 0.995 * static_cast<double>(reference.pixels.size());
  const std::filesystem::path actualFile = std::filesystem::current_path() / "round_window_actual.png";
  if (!same) desktop_->WritePng(actualFile);
  EXPECT_TRUE(same) << close << " of " << reference.pixels.size() << " pixels match " << referenceFile
                    << "; this run's picture is " << actualFile;
}

}  // namespace
}  // namespace qv
