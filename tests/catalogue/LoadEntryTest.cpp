// Loading the ring's item elements at start: each kind of entry through a
// whole start on the headless desktop, and the dock's slots directly.

#include "catalogue/LoadEntry.h"

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

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
const std::string kHelp = kDir + "Icon\\SysTool\\Help.png";

using testing::Rgb;
using testing::SolidPng;
constexpr Rgb kGreen{40, 180, 90};
constexpr Rgb kMagenta{200, 40, 160};

// ---- pictures made here ------------------------------------------------------


void Le16(std::string& out, unsigned v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void Le32(std::string& out, std::uint32_t v) {
  Le16(out, v & 0xFFFF);
  Le16(out, v >> 16);
}

// One opaque 32-bit image in the classic layout: BITMAPINFOHEADER with the
// doubled height, bottom-up BGRA rows, then an all-clear AND mask.
std::string SolidIco(int side, Rgb c) {
  std::string dib;
  Le32(dib, 40);
  Le32(dib, static_cast<std::uint32_t>(side));
  Le32(dib, static_cast<std::uint32_t>(2 * side));
  Le16(dib, 1);
  Le16(dib, 32);
  for (int i = 0; i < 6; ++i) Le32(dib, 0);
  for (int i = 0; i < side * side; ++i) dib += {static_cast<char>(c.b), static_cast<char>(c.g), static_cast<char>(c.r),
                                               static_cast<char>(255)};
  dib += std::string(static_cast<std::size_t>((side + 31) / 32 * 4 * side), '\0');
  std::string ico;
  Le16(ico, 0);
  Le16(ico, 1);
  Le16(ico, 1);
  ico += static_cast<char>(side);
  ico += static_cast<char>(side);
  ico += '\0';
  ico += '\0';
  Le16(ico, 1);
  Le16(ico, 32);
  Le32(ico, static_cast<std::uint32_t>(dib.size()));
  Le32(ico, 22);
  return ico + dib;
}

// ---- looking at an item's picture -----------------------------------------------

int OpaquePixels(const LayeredSurface& s) {
  int n = 0;
  for (std::uint32_t p : s.pixels) n += AlphaOf(p) == 255;
  return n;
}

bool Near(std::uint32_t p, Rgb c, int tolerance = 2) {
  return AlphaOf(p) == 255 && std::abs(RedOf(p) - c.r) <= tolerance && std::abs(GreenOf(p) - c.g) <= tolerance &&
         std::abs(BlueOf(p) - c.b) <= tolerance;
}

// The solid picture fills exactly the square (1, 1)-(48, 48) of the 50 x 50
// plate; the one-pixel frame around it stays clear.
::testing::AssertionResult ShowsSolid(const LayeredSurface& s, Rgb c) {
  if (s.width != 50 || s.height != 50) return ::testing::AssertionFailure() << "size " << s.width << "x" << s.height;
  for (int y = 0; y < 50; ++y) {
    for (int x = 0; x < 50; ++x) {
      const bool inside = x >= 1 && x <= 48 && y >= 1 && y <= 48;
      const std::uint32_t p = s.At(x, y);
      if (inside && !Near(p, c)) return ::testing::AssertionFailure() << "(" << x << "," << y << ") = " << std::hex << p;
      if (!inside && p != 0) return ::testing::AssertionFailure() << "frame (" << x << "," << y << ") = " << std::hex << p;
    }
  }
  return ::testing::AssertionSuccess();
}

// ---- the fixture ------------------------------------------------------------------

class LoadEntryTest : public ScenarioTest {
 protected:
  void SetUp() override {
    ScenarioTest::SetUp();
    std::filesystem::copy(std::filesystem::path(QV_ART_DIR) / "Icon", desktop_->RealPath(kDir + "Icon"),
                          std::filesystem::copy_options::recursive);
  }

  pugi::xml_node Circle(pugi::xml_node root, int slot) {
    return root.child("RoundBackground").child(("Circle" + std::to_string(slot)).c_str());
  }

  // Replaces the children of Circle<slot> in the file to be installed.
  void SetCircle(int slot, const std::string& children) {
    pugi::xml_node circle = Circle(config_.document_element(), slot);
    ASSERT_TRUE(circle) << slot;
    while (circle.first_child()) circle.remove_child(circle.first_child());
    pugi::xml_document fragment;
    ASSERT_TRUE(fragment.load_string(("<x>" + children + "</x>").c_str())) << children;
    for (pugi::xml_node child : fragment.first_child().children()) circle.append_copy(child);
  }



  const headless::WindowRecord* CircleWindow(int slot) const {
    return desktop_->FindWindowByName("Circle" + std::to_string(slot));
  }

  // The item's window stands at the main form's corner plus the slot's offsets.
  void ExpectPlaced(app::RoundHot& form, int slot) {
    const headless::WindowRecord* w = CircleWindow(slot);
    ASSERT_NE(w, nullptr) << "Circle" << slot;
    const Rect main = desktop_->FindWindow(form.MainWindow())->bounds;
    const catalogue::TImageIconRec& rec = form.Slots()[slot];
    EXPECT_EQ(w->bounds, (Rect{main.left + rec.OffsetX, main.top + rec.OffsetY, 50, 50})) << slot;
    EXPECT_EQ(w->id, rec.Window) << slot;
    EXPECT_TRUE(w->visible) << slot;
    EXPECT_EQ(w->alpha, 255) << slot;
  }

};

std::string Entry(const std::string& file, const std::string& name, const std::string& iconDefault,
                  const std::string& iconDefine, const std::string& tail = "<Http/><InitialPosition/>") {
  return "<File>" + file + "</File><Argument>-a b</Argument><Name>" + name + "</Name><IconPath><Default>" +
         iconDefault + "</Default><Define>" + iconDefine + "</Define></IconPath>" + tail;
}

// ---- ordinary entries -----------------------------------------------------------

TEST_F(LoadEntryTest, OrdinaryEntriesShowTheirPictureOrThePlaceholder) {
  const std::string green = kDir + "Icon\\green.png";
  const std::string greenMixedCase = kDir + "Icon\\green2.Png";
  const std::string ico = kDir + "Icon\\app.exe.ico";
  const std::string icoUpper = kDir + "Icon\\APP.ICO";
  const std::string pngAsBmp = kDir + "Icon\\green.bmp";
  Put(green, SolidPng(64, kGreen));
  Put(greenMixedCase, SolidPng(64, kGreen));
  Put(pngAsBmp, SolidPng(64, kGreen));
  Put(ico, SolidIco(32, kMagenta));
  Put(icoUpper, SolidIco(32, kMagenta));
  Put("C:\\Apps\\app.exe", "MZ");

  enum class Shows { Green, Magenta, Help };
  struct Case {
    int slot;
    const char* what;
    std::string file, iconDefault, iconDefine;
    Shows shows;
  };
  const Case cases[] = {
      {1, "Help.png on purpose: the placeholder's reference", "C:\\Apps\\app.exe", "", kHelp, Shows::Help},
      {2, "present file, .png", "C:\\Apps\\app.exe", "", green, Shows::Green},
      {3, "present folder, .png", "C:\\Apps", "", green, Shows::Green},
      {4, "shell namespace name", "::{645FF040-5081-101B-9F08-00AA002F954E}", "", green, Shows::Green},
      {5, "control.exe exactly", "control.exe", "", green, Shows::Green},
      {6, "Control.exe is no present target", "Control.exe", "", green, Shows::Help},
      {7, "CONTROL.EXE neither", "CONTROL.EXE", "", green, Shows::Help},
      {8, "target deleted", "C:\\Apps\\gone.exe", "", green, Shows::Help},
      {9, ".ico in Default", "C:\\Apps\\app.exe", ico, "", Shows::Magenta},
      {10, ".ICO in capitals is an .ico", "C:\\Apps\\app.exe", icoUpper, "", Shows::Magenta},
      {11, "Default wins over Define", "C:\\Apps\\app.exe", ico, green, Shows::Magenta},
      {12, ".Png in mixed case is a .png", "C:\\Apps\\app.exe", "", greenMixedCase, Shows::Green},
      {13, "picture file missing", "C:\\Apps\\app.exe", "", kDir + "Icon\\none.png", Shows::Help},
      {14, "no picture at all", "C:\\Apps\\app.exe", "", "", Shows::Help},
      {15, ".ico of a deleted target", "C:\\Apps\\gone.exe", ico, "", Shows::Help},
      {16, "a picture of another extension", "C:\\Apps\\app.exe", "", pngAsBmp, Shows::Help},
      {17, "a folder named like a picture", "C:\\Apps\\app.exe", "", kDir + "Icon", Shows::Help},
  };
  for (const Case& c : cases) SetCircle(c.slot, Entry(c.file, std::string("item ") + c.what, c.iconDefault, c.iconDefine));

  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);

  const LayeredSurface& help = CircleWindow(1)->surface;
  ASSERT_EQ(help.width, 50);
  EXPECT_GT(OpaquePixels(help), 500) << "the placeholder picture is drawn, not an empty plate";
  EXPECT_FALSE(ShowsSolid(help, kGreen));

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectPlaced(*form, c.slot);
    const catalogue::TImageIconRec& rec = form->Slots()[c.slot];
    EXPECT_EQ(rec.File, c.file);
    EXPECT_EQ(rec.Argument, "-a b");
    EXPECT_EQ(rec.IconPath, c.iconDefault.empty() ? c.iconDefine : c.iconDefault) << "the path read is kept";
    EXPECT_EQ(rec.Hint, std::string("item ") + c.what);
    const headless::WindowRecord* w = CircleWindow(c.slot);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(rec.Surface.pixels, w->surface.pixels) << "the window shows the slot's surface";
    switch (c.shows) {
      case Shows::Green: EXPECT_TRUE(ShowsSolid(w->surface, kGreen)); break;
      case Shows::Magenta: EXPECT_TRUE(ShowsSolid(w->surface, kMagenta)); break;
      case Shows::Help: EXPECT_EQ(w->surface.pixels, help.pixels); break;
    }
  }
  int circles = 0;
  for (const headless::WindowRecord* w : desktop_->Windows()) circles += w->name.rfind("Circle", 0) == 0;
  EXPECT_EQ(circles, 17) << "the three empty elements make no window";
  for (int slot = 18; slot <= 20; ++slot) {
    EXPECT_EQ(CircleWindow(slot), nullptr);
    EXPECT_TRUE(form->Slots()[slot].File.empty());
    EXPECT_EQ(form->Slots()[slot].Window, kNoWindow);
  }
}

TEST_F(LoadEntryTest, PlaceholderIsTheHelpPictureEvenWithoutAnyOtherSlot) {
  // A lone deleted target: compared with what the Help picture looks like
  // when an item asks for it itself, at another start.
  SetCircle(5, Entry("C:\\Apps\\gone.exe", "gone", "", kDir + "Icon\\gone.png"));
  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);
  ASSERT_NE(CircleWindow(5), nullptr);
  const LayeredSurface placeholder = CircleWindow(5)->surface;
  EXPECT_EQ(form->Slots()[5].IconPath, kDir + "Icon\\gone.png");
  App().Stop();
  Process().Exit();

  SetCircle(5, Entry("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "help", "", kHelp));
  ASSERT_NE(Start(), nullptr);
  ASSERT_NE(CircleWindow(5), nullptr);
  EXPECT_EQ(CircleWindow(5)->surface.pixels, placeholder.pixels);
  EXPECT_GT(OpaquePixels(placeholder), 500);
}

TEST_F(LoadEntryTest, EmptyElementsMakeNoWindow) {
  const std::string empties[] = {
      "<File/><Argument/><Name/><IconPath><Default/><Define/></IconPath><Http/><InitialPosition/>",
      "<File/><Argument>-x</Argument><Name/><IconPath><Default/><Define>" + kHelp +
          "</Define></IconPath><Http>http://example.invalid/</Http><InitialPosition>D:\\</InitialPosition>",
      "",
      "<Http>http://example.invalid/</Http>",
  };
  int slot = 1;
  for (const std::string& e : empties) SetCircle(slot++, e);
  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);
  for (int s = 1; s <= 20; ++s) {
    EXPECT_EQ(CircleWindow(s), nullptr) << s;
    EXPECT_TRUE(form->Slots()[s].File.empty()) << s;
  }
}

// ---- named software -------------------------------------------------------------

TEST_F(LoadEntryTest, NamedSoftwareIsResolvedThroughTheRegistry) {
  const std::string tools = kDir + "Icon\\SysTool\\";
  const std::string myFiles = testing::ReadBytes(desktop_->RealPath(tools + "MyFiles.png"));
  for (const char* name : {"Alpha", "Beta", "Gamma"}) Put(tools + name + ".png", myFiles);
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
    int slot;
    const char* name;
    const char* http;
    std::string memoryFile;  // the target in memory
    std::string fileFile;    // File in the file afterwards
    bool picture;            // SysTool\<Name>.png exists
  };
  const Case cases[] = {
      {1, "Alpha", "http://alpha.example/", "D:\\Programs\\Alpha\\Alpha.exe", "D:\\Programs\\Alpha\\Alpha.exe", true},
      {2, "Beta", "http://beta.example/", "http://beta.example/", "", true},
      {3, "Gamma", "http://gamma.example/", "", "", true},  // a key without Install_Dir
      {4, "Delta", "", "E:\\Delta\\Delta.exe", "E:\\Delta\\Delta.exe", false},
      {5, "Epsilon", "http://epsilon.example/", "http://epsilon.example/", "", false},
  };
  for (const Case& c : cases)
    SetCircle(c.slot, Entry("", c.name, "", "C:\\elsewhere\\old.png",
                            std::string("<Http>") + c.http + "</Http><InitialPosition>D:\\Run</InitialPosition>"));

  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);
  pugi::xml_document saved = LoadConfigDom();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const catalogue::TImageIconRec& rec = form->Slots()[c.slot];
    const std::string picture = tools + c.name + ".png";
    EXPECT_EQ(rec.File, c.memoryFile);
    EXPECT_EQ(rec.IconPath, picture);
    EXPECT_EQ(rec.Argument, "") << "the element's arguments are not taken";
    EXPECT_EQ(rec.InitialPosition, "D:\\Run");
    EXPECT_EQ(rec.Hint, c.name);
    ExpectPlaced(*form, c.slot);
    const headless::WindowRecord* w = CircleWindow(c.slot);
    ASSERT_NE(w, nullptr);
    if (c.picture) {
      EXPECT_GT(OpaquePixels(w->surface), 500);
    } else {
      EXPECT_EQ(OpaquePixels(w->surface), 0) << "drawn without the placeholder: nothing to show";
    }
    const pugi::xml_node element = Circle(saved.document_element(), c.slot);
    EXPECT_EQ(std::string(element.child_value("File")), c.fileFile);
    EXPECT_EQ(std::string(element.child("IconPath").child_value("Define")), picture);
    EXPECT_STREQ(element.child_value("Http"), c.http);
    EXPECT_STREQ(element.last_child().name(), "InitialPosition");
  }

  // The next start takes the found program as an ordinary entry, registry or
  // not; an address is looked up again.
  App().Stop();
  Process().Exit();
  desktop_->RegistryKeys().clear();
  desktop_->Registry().clear();
  Put("D:\\Programs\\Alpha\\Alpha.exe", "MZ");
  app::RoundHot* again = Launch();
  ASSERT_NE(again, nullptr);
  desktop_->Advance(50);
  EXPECT_EQ(again->Slots()[1].File, "D:\\Programs\\Alpha\\Alpha.exe");
  EXPECT_EQ(again->Slots()[1].Argument, "-a b") << "now an ordinary entry with its element's arguments";
  ASSERT_NE(CircleWindow(1), nullptr);
  EXPECT_GT(OpaquePixels(CircleWindow(1)->surface), 500);
  EXPECT_EQ(CircleWindow(1)->surface.pixels, CircleWindow(3)->surface.pixels) << "Alpha.png, a copy of Gamma.png";
  EXPECT_EQ(again->Slots()[2].File, "http://beta.example/");
  EXPECT_EQ(again->Slots()[3].File, "http://gamma.example/") << "without its key Gamma takes its address";
  EXPECT_EQ(again->Slots()[4].File, "E:\\Delta\\Delta.exe");
  EXPECT_EQ(std::string(Circle(LoadConfigDom().document_element(), 2).child_value("File")), "");
}

// ---- the working directory and the completion of the file ---------------------

TEST_F(LoadEntryTest, MissingTrailingInitialPositionIsAppendedAndSaved) {
  const std::string head = "<File>::{20D04FE0-3AEA-1069-A2D8-08002B30309D}</File><Argument/><Name>PC</Name>"
                           "<IconPath><Default/><Define/></IconPath>";
  struct Case {
    int slot;
    const char* what;
    std::string children;
    std::string workingDir;                  // in memory
    std::vector<std::string> namesAfter;     // children of the element in the saved file
  };
  const std::vector<std::string> usual = {"File", "Argument", "Name", "IconPath", "Http", "InitialPosition"};
  const Case cases[] = {
      {1, "last child InitialPosition: kept", head + "<Http/><InitialPosition>D:\\Work</InitialPosition>", "D:\\Work",
       usual},
      {2, "none at all", head + "<Http/>", "", usual},
      {3, "an earlier one does not count",
       head + "<InitialPosition>D:\\Old</InitialPosition><Http/>", "",
       {"File", "Argument", "Name", "IconPath", "InitialPosition", "Http", "InitialPosition"}},
      {4, "the name is compared case-sensitively", head + "<Http/><initialposition>D:\\x</initialposition>", "",
       {"File", "Argument", "Name", "IconPath", "Http", "initialposition", "InitialPosition"}},
      {5, "an empty element is completed too", "<File/><Name/><Http/>", "", {"File", "Name", "Http", "InitialPosition"}},
      {6, "a childless element is completed", "", "", {"InitialPosition"}},
  };
  for (const Case& c : cases) SetCircle(c.slot, c.children);

  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);
  const std::string afterStart = ConfigBytes();
  pugi::xml_document saved = LoadConfigDom();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(form->Slots()[c.slot].InitialPosition, c.workingDir);
    std::vector<std::string> names;
    for (pugi::xml_node child : Circle(saved.document_element(), c.slot).children()) names.emplace_back(child.name());
    EXPECT_EQ(names, c.namesAfter);
  }
  EXPECT_STREQ(Circle(saved.document_element(), 3).child_value("InitialPosition"), "D:\\Old")
      << "the earlier element keeps its text";
  EXPECT_STREQ(Circle(saved.document_element(), 3).last_child().child_value(), "");

  // A completed file is complete: the next start changes nothing.
  App().Stop();
  const std::string afterClose = ConfigBytes();
  Process().Exit();
  ASSERT_NE(Launch(), nullptr);
  desktop_->Advance(50);
  EXPECT_EQ(ConfigBytes(), afterClose);
  EXPECT_FALSE(afterStart.empty());
}

// ---- the icon path rule ------------------------------------------------------------

TEST(LoadEntryRulesTest, IconPathIsDefaultWhenNotEmptyElseDefine) {
  struct Case {
    const char* element;
    const char* expected;
  };
  const Case cases[] = {
      {"<e><IconPath><Default>a.ico</Default><Define>b.png</Define></IconPath></e>", "a.ico"},
      {"<e><IconPath><Default/><Define>b.png</Define></IconPath></e>", "b.png"},
      {"<e><IconPath><Define>b.png</Define></IconPath></e>", "b.png"},
      {"<e><IconPath><Default>a.ico</Default></IconPath></e>", "a.ico"},
      {"<e><IconPath><Default/><Define/></IconPath></e>", ""},
      {"<e><IconPath/></e>", ""},
      {"<e/>", ""},
      // Default and Define belong to IconPath, not to the item itself.
      {"<e><Default>a.ico</Default><Define>b.png</Define></e>", ""},
  };
  for (const Case& c : cases) {
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(c.element));
    EXPECT_EQ(catalogue::IconPathOf(doc.document_element()), c.expected) << c.element;
  }
}

// ---- present targets -----------------------------------------------------------------

TEST(LoadEntryRulesTest, PresentTargetsAreFilesFoldersShellNamesAndControlExe) {
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("quorvel-present-" + std::to_string(::getpid()));
  std::filesystem::remove_all(root);
  {
    headless::HeadlessDesktop desktop(root, QV_ART_DIR);
    headless::HeadlessProcess process(desktop);
    testing::WriteBytes(desktop.RealPath("C:\\Apps\\app.exe"), "MZ");
    struct Case {
      const char* target;
      bool present;
    };
    const Case cases[] = {
        {"C:\\Apps\\app.exe", true},
        {"C:\\Apps", true},
        {"C:\\Apps\\", true},
        {"C:\\Apps\\gone.exe", false},
        {"::{645FF040-5081-101B-9F08-00AA002F954E}", true},
        {"::", true},
        {":x", false},
        {" ::{645FF040-5081-101B-9F08-00AA002F954E}", false},
        {"control.exe", true},
        {"Control.exe", false},
        {"control.EXE", false},
        {"control.exe ", false},
        {"", false},
    };
    for (const Case& c : cases)
      EXPECT_EQ(catalogue::IsPresentTarget(process.AsPlatform().files, c.target), c.present) << '"' << c.target << '"';
  }
  std::filesystem::remove_all(root);
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

TEST(LoadEntryDirectTest, DockAndRingSlotsAndSlotsOutOfRange) {
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("quorvel-loadentry-" + std::to_string(::getpid()));
  std::filesystem::remove_all(root);
  {
    headless::HeadlessDesktop desktop(root, QV_ART_DIR);
    headless::HeadlessProcess process(desktop);
    testing::WriteBytes(desktop.RealPath("C:\\Quorvel\\Icon\\a.ico"), SolidIco(16, kMagenta));
    struct Case {
      const char* what;
      int slot;
      const char* element;
      bool changed;                    // the element was completed
      std::vector<std::string> calls;  // what the windows were asked, in order
      std::string file;
      std::string workingDir;
      std::string afterLast;           // name of the element's last child afterwards
    };
    const Case cases[] = {
        {"dock item: its InitialPosition wherever it stands, nothing appended", 21,
         "<Rect1><File>control.exe</File><InitialPosition>D:\\Dock</InitialPosition><IconPath><Default>"
         "C:\\Quorvel\\Icon\\a.ico</Default></IconPath><Http/></Rect1>",
         false, {"rect 21", "ico 21"}, "control.exe", "D:\\Dock", "Http"},
        {"last dock slot", 260, "<Rect240><File>::{x}</File><Name>n</Name></Rect240>", false,
         {"rect 260", "draw 260 " + kHelp}, "::{x}", "", "Name"},
        {"dock element with a name but no file stays free", 22,
         "<Rect2><File/><Name>Alpha</Name><Http>http://a/</Http></Rect2>", false, {}, "", "", "Http"},
        {"ring item: window first, then its picture", 20,
         "<Circle20><File>control.exe</File><IconPath><Default/><Define>C:\\Quorvel\\Icon\\a.ico</Define></IconPath>"
         "<InitialPosition>D:\\R</InitialPosition></Circle20>",
         false, {"round 20", "ico 20"}, "control.exe", "D:\\R", "InitialPosition"},
        {"ring named software with no key: Http, window and picture", 1,
         "<Circle1><File/><Name>Zeta</Name><Http>http://z/</Http></Circle1>", true,
         {"round 1", "draw 1 C:\\Quorvel\\Icon\\SysTool\\Zeta.png"}, "http://z/", "", "InitialPosition"},
        {"slot 0 does not exist", 0, "<Circle1><File>control.exe</File></Circle1>", false, {}, "", "", "File"},
        {"slot 261 does not exist", 261, "<Rect241><File>control.exe</File></Rect241>", false, {}, "", "", "File"},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      pugi::xml_document doc;
      ASSERT_TRUE(doc.load_string(c.element));
      catalogue::ItemSlots slots;
      RecordingWindows windows;
      EXPECT_EQ(catalogue::LoadEntry(c.slot, doc.document_element(), slots, windows, process.AsPlatform()), c.changed);
      EXPECT_EQ(windows.calls, c.calls);
      if (c.slot >= 1 && c.slot <= 260) {
        EXPECT_EQ(slots[c.slot].File, c.file);
        EXPECT_EQ(slots[c.slot].InitialPosition, c.workingDir);
      }
      EXPECT_STREQ(doc.document_element().last_child().name(), c.afterLast.c_str());
    }
  }
  std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace qv
