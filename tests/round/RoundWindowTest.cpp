// The round window on the headless desktop: where the item windows stand
// after a start, how a display change puts everything back, and what the
// whole window looks like against a reviewed picture.

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/Pictures.h"
#include "tests/support/Scenario.h"

namespace qv {
namespace {

using testing::ScenarioTest;

const std::string kDir = "C:\\Quorvel\\";
const std::string kTools = kDir + "Icon\\SysTool\\";
constexpr const char* kRecycleBin = "::{645FF040-5081-101B-9F08-00AA002F954E}";

class RoundWindowTest : public ScenarioTest {
 protected:

  pugi::xml_node Basic() { return config_.document_element().child("Setup").child("Basic"); }

  void SetRing(int left, int top, int minR, int separation, int rotation) {
    Basic().child("Position").attribute("Left").set_value(left);
    Basic().child("Position").attribute("Top").set_value(top);
    pugi::xml_node ring = Basic().child("IconElement");
    ring.attribute("MinR").set_value(minR);
    ring.attribute("SeparationSize").set_value(separation);
    ring.attribute("RotationValue").set_value(rotation);
  }

  void SetItem(int slot, const std::string& file, const std::string& name, const std::string& iconDefault,
               const std::string& iconDefine) {
    pugi::xml_node circle =
        config_.document_element().child("RoundBackground").child(("Circle" + std::to_string(slot)).c_str());
    ASSERT_TRUE(circle);
    circle.child("File").text().set(file.c_str());
    circle.child("Name").text().set(name.c_str());
    circle.child("IconPath").child("Default").text().set(iconDefault.c_str());
    circle.child("IconPath").child("Define").text().set(iconDefine.c_str());
  }


  const headless::WindowRecord* Named(const std::string& name) const { return desktop_->FindWindowByName(name); }
  const headless::WindowRecord* Circle(int slot) const { return Named("Circle" + std::to_string(slot)); }

};

// ---- where the items stand ------------------------------------------------------

using Offsets = std::array<Point, 20>;  // slot 1 first, from the main form's top-left corner

TEST_F(RoundWindowTest, EveryItemStandsAtItsRingPosition) {
  // Worked out by hand. The main form is 194 x 168, so the centre lies 97
  // right of and 84 below its corner, and a window's corner 25 up and left
  // of its point on the ring: x = trunc(r cos a - 25) + 97, y likewise with
  // sin and 84, truncated toward zero. Inner slot i at i x 45°, outer slot i
  // at (i - 8) x 30°, outer radius MinR + SeparationSize + 50. For example,
  // with MinR 105: slot 3 at 135° gives trunc(-74.25 - 25) = -99, so x = -2
  // (not -3), and slot 20 at 360° on the radius 190 gives 165 + 97 = 262.
  // RotationValue only matters once the ring turns: every start is unturned.
  struct Case {
    const char* what;
    int left, top, minR, separation, rotation;
    Offsets offsets;
  };
  // clang-format off
  const Case cases[] = {
      {"the distributed settings", 600, 368, 105, 35, 45,
       {{{146, 133}, {72, 164}, {-2, 133}, {-33, 59}, {-2, -15}, {72, -46}, {146, -15}, {177, 59},
         {236, 154}, {167, 223}, {72, 249}, {-23, 223}, {-92, 154}, {-118, 59},
         {-92, -36}, {-23, -105}, {72, -131}, {167, -105}, {236, -36}, {262, 59}}}},
      {"the widest rings, the form partly off the screen", -50, -20, 300, 100, 360,
       {{{284, 271}, {72, 359}, {-140, 271}, {-228, 59}, {-140, -153}, {72, -241}, {284, -153}, {372, 59},
         {461, 284}, {297, 448}, {72, 509}, {-153, 448}, {-317, 284}, {-378, 59},
         {-317, -166}, {-153, -330}, {72, -391}, {297, -330}, {461, -166}, {522, 59}}}},
      {"no radius: the inner ring on the centre", 0, 0, 0, 0, 1,
       {{{72, 59}, {72, 59}, {72, 59}, {72, 59}, {72, 59}, {72, 59}, {72, 59}, {72, 59},
         {115, 84}, {97, 102}, {72, 109}, {47, 102}, {29, 84}, {22, 59},
         {29, 34}, {47, 16}, {72, 9}, {97, 16}, {115, 34}, {122, 59}}}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    SetRing(c.left, c.top, c.minR, c.separation, c.rotation);
    for (int slot = 1; slot <= 20; ++slot) SetItem(slot, kRecycleBin, "item " + std::to_string(slot), "", "");
    app::RoundHot* form = Start();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->Settings().RotationValue, c.rotation);
    EXPECT_EQ(form->RotationAngle(), 0.0);
    EXPECT_EQ(desktop_->FindWindow(form->MainWindow())->bounds, (Rect{c.left, c.top, 194, 168}));
    for (int slot = 1; slot <= 20; ++slot) {
      const headless::WindowRecord* w = Circle(slot);
      ASSERT_NE(w, nullptr) << slot;
      const Point o = c.offsets[static_cast<std::size_t>(slot - 1)];
      EXPECT_EQ(w->bounds, (Rect{c.left + o.x, c.top + o.y, 50, 50})) << "Circle" << slot;
      EXPECT_EQ(form->Slots()[slot].OffsetX, o.x) << slot;
      EXPECT_EQ(form->Slots()[slot].OffsetY, o.y) << slot;
    }
    // The skins are centred on the same point.
    EXPECT_EQ(Named("BackGroundForm")->bounds, (Rect{c.left + 97 - 150, c.top + 84 - 150, 300, 300}));
    EXPECT_EQ(Named("CenterForm")->bounds, (Rect{c.left + 97 - 57, c.top + 84 - 57, 115, 115}));
  }
}

TEST_F(RoundWindowTest, ItemsLieAboveTheCenterAboveTheRing) {
  for (int slot : {3, 9, 20}) SetItem(slot, kRecycleBin, "x", "", "");
  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);
  std::vector<std::string> order;
  for (const headless::WindowRecord* w : desktop_->Windows())
    if (w->name == "BackGroundForm" || w->name == "CenterForm" || w->name.rfind("Circle", 0) == 0) order.push_back(w->name);
  EXPECT_EQ(order, (std::vector<std::string>{"BackGroundForm", "CenterForm", "Circle3", "Circle9", "Circle20"}));
  for (const char* name : {"BackGroundForm", "CenterForm", "Circle3", "Circle9", "Circle20"}) {
    EXPECT_TRUE(Named(name)->visible) << name;
    EXPECT_EQ(Named(name)->alpha, 255) << name;
    EXPECT_EQ(Named(name)->layer, WindowLayer::Normal) << name;
  }
}

TEST_F(RoundWindowTest, HiddenRoundPresentationMakesItsWindowsHidden) {
  Basic().child("ShowRound").attribute("IsShowRound").set_value("False");
  SetItem(1, kRecycleBin, "x", "", "");
  ASSERT_NE(Start(), nullptr);
  for (const char* name : {"BackGroundForm", "CenterForm", "Circle1"}) {
    ASSERT_NE(Named(name), nullptr) << name;
    EXPECT_FALSE(Named(name)->visible) << name;
  }
}

TEST_F(RoundWindowTest, DisplayChangePutsEverythingBackHalfASecondLater) {
  for (int slot : {1, 8, 12, 20}) SetItem(slot, kRecycleBin, "x", "", "");
  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);
  const WindowId main = form->MainWindow();
  // The window system moved the main form and raised the ring over the items.
  Process().SetBounds(main, {100, 50, 194, 168});
  Process().BringToTop(Named("BackGroundForm")->id);
  const Rect before = Circle(8)->bounds;

  form->OnDisplayChange();
  desktop_->Advance(499);
  EXPECT_EQ(Circle(8)->bounds, before);
  desktop_->Advance(1);

  EXPECT_EQ(Named("BackGroundForm")->bounds, (Rect{100 + 97 - 150, 50 + 84 - 150, 300, 300}));
  EXPECT_EQ(Named("CenterForm")->bounds, (Rect{100 + 97 - 57, 50 + 84 - 57, 115, 115}));
  const struct {
    int slot;
    Point offset;
  } items[] = {{1, {146, 133}}, {8, {177, 59}}, {12, {-23, 223}}, {20, {262, 59}}};
  for (const auto& [slot, offset] : items)
    EXPECT_EQ(Circle(slot)->bounds, (Rect{100 + offset.x, 50 + offset.y, 50, 50})) << slot;
  const std::vector<WindowId>& z = desktop_->ZOrder();
  ASSERT_GE(z.size(), 6u);
  const std::vector<WindowId> top(z.end() - 6, z.end());
  EXPECT_EQ(top, (std::vector<WindowId>{Named("BackGroundForm")->id, Named("CenterForm")->id, Circle(1)->id,
                                         Circle(8)->id, Circle(12)->id, Circle(20)->id}));
  EXPECT_FALSE(Process().TimerRunning(app::TimerRedraw));
}

// ---- the whole picture --------------------------------------------------------------

struct Decoded {
  int width = 0, height = 0;
  std::vector<std::uint32_t> bgra;
};

Decoded ReadPng(const std::filesystem::path& file) {
  Decoded out;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, file.string().c_str()) == 0) return out;
  image.format = PNG_FORMAT_BGRA;
  out.bgra.resize(static_cast<std::size_t>(image.width) * image.height);
  if (png_image_finish_read(&image, nullptr, out.bgra.data(), 0, nullptr) == 0) return {};
  out.width = static_cast<int>(image.width);
  out.height = static_cast<int>(image.height);
  return out;
}

// Per channel within `levels` on at least `share` of the pixels.
::testing::AssertionResult LooksLike(const Decoded& actual, const Decoded& reference, int levels, double share) {
  if (reference.width == 0) return ::testing::AssertionFailure() << "no reference picture";
  if (actual.width != reference.width || actual.height != reference.height)
    return ::testing::AssertionFailure() << "size " << actual.width << "x" << actual.height << ", reference "
                                         << reference.width << "x" << reference.height;
  std::size_t close = 0;
  for (std::size_t i = 0; i < actual.bgra.size(); ++i) {
    const std::uint32_t a = actual.bgra[i], r = reference.bgra[i];
    bool ok = true;
    for (int shift = 0; shift < 32; shift += 8)
      ok = ok && std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((r >> shift) & 0xFF)) <= levels;
    close += ok;
  }
  const double got = static_cast<double>(close) / static_cast<double>(actual.bgra.size());
  if (got < share) return ::testing::AssertionFailure() << got * 100 << " % of the pixels match";
  return ::testing::AssertionSuccess();
}

TEST_F(RoundWindowTest, WholeRoundWindowMatchesTheReviewedPicture) {
  CopyArt();
  testing::WriteBytes(desktop_->RealPath(kDir + "Icon\\Quorvel.exe.ico"),
                      testing::ReadBytes(std::filesystem::path(QV_ART_DIR) / "Quorvel.ico"));
  testing::WriteBytes(desktop_->RealPath("C:\\Apps\\Quorvel.exe"), "MZ");
  struct Item {
    int slot;
    const char* file;
    std::string iconDefault, iconDefine;
  };
  const Item items[] = {
      {1, "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "", kTools + "MyComputer.png"},
      {2, "::{208D2C60-3AEA-1069-A2D7-08002B30309D}", "", kTools + "MyNetwork.png"},
      {3, "::{450D8FBA-AD25-11D0-98A8-0800361B1103}", "", kTools + "MyDocuments.png"},
      {4, kRecycleBin, "", kTools + "RecycleBin.png"},
      {5, "control.exe", "", kTools + "ControlPanel.png"},
      {6, "C:\\Apps", "", kTools + "MyFiles.png"},
      {7, "C:\\Apps\\Quorvel.exe", kDir + "Icon\\Quorvel.exe.ico", ""},
      {8, "C:\\Apps\\gone.exe", "", kTools + "MyComputer.png"},  // a deleted target: the placeholder
      {9, "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "", kTools + "MyComputer.png"},
      {12, kRecycleBin, "", kTools + "RecycleBin.png"},
      {15, "C:\\Apps", "", kTools + "MyFiles.png"},
      {18, "control.exe", "", kTools + "ControlPanel.png"},
  };
  for (const Item& item : items) SetItem(item.slot, item.file, "item", item.iconDefault, item.iconDefine);
  ASSERT_NE(Start(), nullptr);

  // The ring's centre is (697, 452); the outer items reach 215 pixels from it.
  desktop_->SetScreen({697 - 230, 452 - 230, 460, 460});
  const std::filesystem::path actualFile = std::filesystem::current_path() / "round_window_actual.png";
  std::filesystem::remove(actualFile);
  const std::filesystem::path scratch = root_ / "round_window.png";
  ASSERT_TRUE(desktop_->WritePng(scratch));
  const Decoded actual = ReadPng(scratch);
  ASSERT_EQ(actual.width, 460);

  const std::filesystem::path referenceFile =
      std::filesystem::path(QV_SOURCE_DIR) / "tests" / "round" / "reference" / "round_window.png";
  const ::testing::AssertionResult same = LooksLike(actual, ReadPng(referenceFile), 3, 0.995);
  if (!same) std::filesystem::copy_file(scratch, actualFile, std::filesystem::copy_options::overwrite_existing);
  EXPECT_TRUE(same) << "compared with " << referenceFile << "; this run's picture is " << actualFile;
}

}  // namespace
}  // namespace qv
