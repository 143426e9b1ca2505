// Loading the ring's item elements at start: each kind of entry through a
// whole start on the headless desktop, and the dock's slots directly.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "catalogue/LoadEntry.h"
#include "tests/support/Scenario.h"

namespace qv {
namespace {

using test::kDir;
using test::kHelp;
using testing::Rgb;
constexpr Rgb kGreen{40, 180, 90};
constexpr Rgb kMagenta{200, 40, 160};

class LoadEntryTest : public test::ItemScenario {
 protected:
  // Replaces the children of Circle<slot> in the file to be installed.
  void SetChildren(int slot, const std::string& children) {
    pugi::xml_node circle = Circle(slot);
    ASSERT_TRUE(circle) << slot;
    while (circle.first_child()) circle.remove_child(circle.first_child());
    pugi::xml_document fragment;
    ASSERT_TRUE(fragment.load_string(("<x>" + children + "</x>").c_str())) << children;
    for (pugi::xml_node child : fragment.first_child().children()) circle.append_copy(child);
  }

  // The item's window stands at the main form's corner plus the slot's offsets, showing the slot's surface.
  void ExpectPlaced(app::MainForm& form, int slot) {
    const headless::WindowRecord* w = CircleWindow(slot);
    ASSERT_NE(w, nullptr) << "Circle" << slot;
    const Rect main = desktop_->FindWindow(form.MainWindow())->bounds;
    const catalogue::TImageIconRec& rec = form.Slots()[slot];
    EXPECT_EQ(w->bounds, (Rect{main.left + rec.OffsetX, main.top + rec.OffsetY, 50, 50})) << slot;
    EXPECT_EQ(w->id, rec.Window) << slot;
    EXPECT_TRUE(w->visible && w->alpha == 255) << slot;
    EXPECT_EQ(rec.Surface.pixels, w->surface.pixels) << slot;
  }
};

std::string Entry(const std::string& file, const std::string& name, const std::string& iconDefault,
                  const std::string& iconDefine, const std::string& tail = "<Http/><InitialPosition/>") {
  return "<File>" + file + "</File><Argument>-a b</Argument><Name>" + name + "</Name><IconPath><Default>" +
         iconDefault + "</Default><Define>" + iconDefine + "</Define></IconPath>" + tail;
}

TEST_F(LoadEntryTest, OrdinaryEntriesShowTheirPictureOrThePlaceholder) {
  const std::string green = kDir + "Icon\\green.png";
  const std::string greenMixedCase = kDir + "Icon\\green2.Png";
  const std::string ico = kDir + "Icon\\app.exe.ico";
  const std::string icoUpper = kDir + "Icon\\APP.ICO";
  const std::string pngAsBmp = kDir + "Icon\\green.bmp";
  for (const std::string& png : {green, greenMixedCase, pngAsBmp}) Put(png, testing::SolidPng(64, kGreen));
  Put(ico, test::SolidIco(32, kMagenta));
  Put(icoUpper, test::SolidIco(32, kMagenta));
  Put("C:\\Apps\\app.exe", "MZ");

  const Rgb help = test::kHelpColour;
  struct Case {
    const char* what;
    std::string file, iconDefault, iconDefine;
    Rgb shows;
  };
  const Case cases[] = {
      {"present file, .png", "C:\\Apps\\app.exe", "", green, kGreen},
      {"target deleted", "C:\\Apps\\gone.exe", "", green, help},
      {".ico in Default", "C:\\Apps\\app.exe", ico, "", kMagenta},
      {".ICO in capitals is an .ico", "C:\\Apps\\app.exe", icoUpper, "", kMagenta},
      {"Default wins over Define", "C:\\Apps\\app.exe", ico, green, kMagenta},
      {".Png in mixed case is a .png", "C:\\Apps\\app.exe", "", greenMixedCase, kGreen},
      {"picture file missing", "C:\\Apps\\app.exe", "", kDir + "Icon\\none.png", help},
      {"no picture at all", "C:\\Apps\\app.exe", "", "", help},
      {"a picture of another extension", "C:\\Apps\\app.exe", "", pngAsBmp, help},
      {"a folder named like a picture", "C:\\Apps\\app.exe", "", kDir + "Icon", help},
  };
  const int n = static_cast<int>(std::size(cases));
  for (int slot = 1; slot <= n; ++slot) {
    const Case& c = cases[slot - 1];
    SetChildren(slot, Entry(c.file, std::string("item ") + c.what, c.iconDefault, c.iconDefine));
  }
  SetChildren(n + 1, "");
  SetChildren(n + 2,
              "<File/><Argument>-x</Argument><Name/><IconPath><Default/><Define>" + kHelp +
                  "</Define></IconPath><Http>http://example.invalid/</Http><InitialPosition>D:\\</InitialPosition>");
  SetChildren(n + 3, "<Http>http://example.invalid/</Http>");

  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  for (int slot = 1; slot <= n; ++slot) {
    const Case& c = cases[slot - 1];
    SCOPED_TRACE(c.what);
    ExpectPlaced(*form, slot);
    const catalogue::TImageIconRec& rec = form->Slots()[slot];
    EXPECT_EQ(rec.File, c.file);
    EXPECT_EQ(rec.Argument, "-a b");
    EXPECT_EQ(rec.IconPath, c.iconDefault.empty() ? c.iconDefine : c.iconDefault) << "the path read is kept";
    EXPECT_EQ(rec.Hint, std::string("item ") + c.what);
    EXPECT_TRUE(test::ShowsSolid(CircleWindow(slot)->surface, c.shows));
  }
  EXPECT_EQ(CountWindowsNamed("Circle"), n) << "empty elements make no window";
  for (int slot = n + 1; slot <= 20; ++slot) {
    EXPECT_TRUE(form->Slots()[slot].File.empty()) << slot;
    EXPECT_EQ(form->Slots()[slot].Window, kNoWindow) << slot;
  }
}

TEST_F(LoadEntryTest, NamedSoftwareIsResolvedThroughTheRegistry) {
  const std::string tools = kDir + "Icon\\SysTool\\";
  for (const char* name : {"Alpha", "Beta", "Gamma"}) Put(tools + name + ".png", testing::SolidPng(48, kGreen));
  // Registry keys and value names are found whatever their case.
  desktop_->RegistryKeys().insert("HKLM\\software\\alpha");
  desktop_->Registry()["HKLM\\software\\alpha\\\\install_dir"] = "D:\\Programs\\Alpha";
  desktop_->RegistryKeys().insert("HKLM\\software\\delta");
  desktop_->Registry()["HKLM\\software\\delta\\\\install_dir"] = "E:\\Delta";
  desktop_->RegistryKeys().insert("HKLM\\software\\gamma");
  desktop_->Registry()["HKLM\\software\\gamma\\\\other"] = "E:\\Gamma";
  // Epsilon's folder is under HKCU only: not where named software is looked for.
  desktop_->RegistryKeys().insert("HKCU\\software\\epsilon");
  desktop_->Registry()["HKCU\\software\\epsilon\\\\install_dir"] = "E:\\Epsilon";

  struct Case {
    const char* name;
    const char* http;
    std::string memoryFile;  // the target in memory
    std::string fileFile;    // File in the file afterwards
    bool picture;            // SysTool\<Name>.png exists
  };
  const Case cases[] = {
      {"Alpha", "http://alpha.example/", "D:\\Programs\\Alpha\\Alpha.exe", "D:\\Programs\\Alpha\\Alpha.exe", true},
      {"Beta", "http://beta.example/", "http://beta.example/", "", true},  // not installed
      {"Gamma", "http://gamma.example/", "", "", true},                    // a key without Install_Dir
      {"Delta", "", "E:\\Delta\\Delta.exe", "E:\\Delta\\Delta.exe", false},
      {"Epsilon", "http://epsilon.example/", "http://epsilon.example/", "", false},
  };
  for (int slot = 1; slot <= 5; ++slot)
    SetChildren(slot, Entry("", cases[slot - 1].name, "", "C:\\elsewhere\\old.png",
                            std::string("<Http>") + cases[slot - 1].http +
                                "</Http><InitialPosition>D:\\Run</InitialPosition>"));

  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  const pugi::xml_document saved = LoadConfigDom();
  for (int slot = 1; slot <= 5; ++slot) {
    const Case& c = cases[slot - 1];
    SCOPED_TRACE(c.name);
    const catalogue::TImageIconRec& rec = form->Slots()[slot];
    const std::string picture = tools + c.name + ".png";
    EXPECT_EQ(rec.File, c.memoryFile);
    EXPECT_EQ(rec.IconPath, picture);
    EXPECT_EQ(rec.Argument, "") << "the element's arguments are not taken";
    EXPECT_EQ(rec.InitialPosition, "D:\\Run");
    EXPECT_EQ(rec.Hint, c.name);
    ExpectPlaced(*form, slot);
    const std::vector<std::uint32_t>& shown = CircleWindow(slot)->surface.pixels;
    if (c.picture) {
      EXPECT_TRUE(test::ShowsSolid(CircleWindow(slot)->surface, kGreen));
    } else {
      EXPECT_TRUE(std::all_of(shown.begin(), shown.end(), [](std::uint32_t p) { return AlphaOf(p) == 0; }))
          << "drawn without the placeholder: nothing to show";
    }
    EXPECT_EQ(test::TextsOf(FileCircle(saved, slot)),
              (std::vector<std::string>{c.fileFile, c.name, "", picture, "-a b", c.http, "D:\\Run"}));
  }
}

TEST_F(LoadEntryTest, PresentTargetEdges) {
  headless::HeadlessProcess process(*desktop_);
  std::filesystem::create_directories(desktop_->RealPath("C:\\Apps"));
  const std::pair<const char*, bool> cases[] = {
      {"C:\\Apps", true},      {"C:\\Apps\\", true},   {"::{645FF040-5081-101B-9F08-00AA002F954E}", true},
      {"::", true},            {"control.exe", true},  {"Control.exe", false},
      {":x", false},           {" ::{645FF040-5081-101B-9F08-00AA002F954E}", false},
      {"CONTROL.EXE", false},  {"control.EXE", false},
      {"control.exe ", false}, {"", false},
  };
  for (const auto& [target, present] : cases)
    EXPECT_EQ(catalogue::IsPresentTarget(process.AsPlatform().files, target), present) << '"' << target << '"';
}

// ---- the dock's slots, loaded directly ----------------------------------------------

class RecordingWindows final : public catalogue::IItemWindows {
 public:
  void CreateRoundIconWindow(int slot) override { calls.push_back("round " + std::to_string(slot)); }
  void CreateRectIconWindow(int slot) override { calls.push_back("rect " + std::to_string(slot)); }
  void DrawIconIntoSlot(int slot, const std::string& path) override {
    calls.push_back("draw " + std::to_string(slot) + " " + path);
  }
  void RequestIcoPaint(int slot) override { calls.push_back("ico " + std::to_string(slot)); }
  std::vector<std::string> calls;
};

TEST_F(LoadEntryTest, DockAndRingSlotsAndSlotsOutOfRange) {
  headless::HeadlessProcess process(*desktop_);
  Put(kDir + "Icon\\a.ico", test::SolidIco(16, kMagenta));
  struct Case {
    const char* what;
    int slot;
    config::ItemTexts texts;
    std::vector<std::string> calls;  // what the windows were asked, in order
    std::string file;
    std::string workingDir;
  };
  // clang-format off
  const Case cases[] = {
      {"dock item", 21, {"control.exe", "", kDir + "Icon\\a.ico", "", "", "", "D:\\Dock"}, {"rect 21", "ico 21"},
       "control.exe", "D:\\Dock"},
      {"last dock slot", 260, {"::{x}", "n"}, {"rect 260", "draw 260 " + kHelp}, "::{x}", ""},
      {"dock element without a file keeps its place in the row, with the placeholder", 22,
       {"", "Alpha", "", "", "", "http://a/"}, {"rect 22", "draw 22 " + kHelp}, "", ""},
      {"slot 0 does not exist", 0, {"control.exe"}, {}, "", ""},
      {"slot 261 does not exist", 261, {"control.exe"}, {}, "", ""},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    catalogue::ItemSlots slots;
    RecordingWindows windows;
    EXPECT_EQ(catalogue::LoadEntry(c.slot, c.texts, slots, windows, process.AsPlatform()), catalogue::EntryWriteBack{})
        << "only named ring programs write back";
    EXPECT_EQ(windows.calls, c.calls);
    if (c.slot >= 1 && c.slot <= 260) {
      EXPECT_EQ(slots[c.slot].File, c.file);
      EXPECT_EQ(slots[c.slot].InitialPosition, c.workingDir);
    }
  }
}

}  // namespace
}  // namespace qv
