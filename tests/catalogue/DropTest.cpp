// Dropping files, folders and shortcuts on the running program: the name and
// folder a path gives, the place each drop takes, the element written and the
// picture shown, and the drops that must change nothing.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/Drop.h"
#include "tests/support/Scenario.h"
#include "tests/catalogue/PeBuilder.h"

namespace qv {
namespace {

using test::ItemSpec;
using test::kDir;
using testing::Rgb;

constexpr Rgb kRed{210, 30, 40};
constexpr Point kAwayFromTheBar{5, 5};
constexpr Rect kBar{400, 0, 300, 60};

// A program file whose only icon image is a 48-pixel 32-bit one of one colour.
std::string ProgramWithIcon(Rgb c) { return test::BuildPe({test::IconResource(1, test::SolidIcoImage(48, c))}).bytes; }

TEST(DropNames, NameIsTheFileNameLessItsExtensionAndTheFolderKeepsADriveRoot) {
  const std::vector<std::vector<std::string>> cases = {
      {"C:\\app.exe", "app", "C:\\"},
      {"C:\\Games\\", "", "C:\\Games"},
      {"C:\\a.b\\Makefile", "Makefile", "C:\\a.b"},
      {"C:\\Tools\\archive.tar.gz", "archive.tar", "C:\\Tools"},
      {"C:\\Tools\\.profile", "", "C:\\Tools"},
      {"D:tool.exe", "tool", "D:"},
      {"\\\\server\\share\\tool.exe", "tool", "\\\\server\\share"},
      {"tool.exe", "tool", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(catalogue::DropName(c[0]), c[1]) << c[0];
    EXPECT_EQ(catalogue::WorkingDirectoryOf(c[0]), c[2]) << c[0];
  }
}

class DropTest : public test::ItemScenario {
 protected:
  void DropOne(const std::string& path, Point at = kAwayFromTheBar) { Current().Sink()->OnDropFiles({path}, at); }
  void MakeFolder(const std::string& path) { std::filesystem::create_directories(desktop_->RealPath(path)); }
};

TEST_F(DropTest, EachDropTakesTheLowestFreeRingPlaceWithItsElementAndPicture) {
  // Installed, but its registry key names no folder: the item has a window and no target.
  SetCircle(1, {"", "Foo", "", "", "", ""});
  desktop_->RegistryKeys().insert("HKLM\\software\\foo");
  SetCircle(2, {"C:\\Windows\\notepad.exe", "Notepad", "", test::kHelp, "", ""});
  // A place emptied by hand that still holds leftovers: they must not come back with the new item.
  SetCircle(3, {"", "", "C:\\old.ico", "", "-stale", "D:\\Old"});
  std::ostringstream xml;
  config_.save(xml, "\t", pugi::format_default, pugi::encoding_utf8);
  InstallConfig(xml.str());
  app::MainForm* form = Launch();
  ASSERT_NE(form, nullptr);
  Put("C:\\Tools\\app.exe", ProgramWithIcon(kRed));
  MakeFolder("C:\\Games");
  MakeFolder("C:\\my.folder");
  DropOne("C:\\Games");  // before the lists are loaded: ignored
  desktop_->Advance(50);
  ASSERT_TRUE(form->IconsLoaded());
  EXPECT_EQ(CountWindowsNamed("Circle"), 2);

  struct Case {
    const char* what;
    std::string dropped, name, iconPath;
    Rgb colour;
    std::string folder;
    int slot;
  };
  const Case cases[] = {
      {"program with its own image: an .ico in Default", "C:\\Tools\\app.exe", "app", kDir + "Icon\\app.exe.ico",
       kRed, "C:\\Tools", 3},
      {"folder: the fixed .png in Define", "C:\\Games", "Games", test::kMyFiles, test::kMyFilesColour, "C:\\", 4},
      {"folder with a dot has an extension; no shell icon for it: the placeholder", "C:\\my.folder", "my",
       kDir + "Icon\\my.folder.ico", test::kHelpColour, "C:\\", 5},
  };
  for (const Case& c : cases) Current().Sink()->OnDropFiles({c.dropped, "C:\\Games"}, kAwayFromTheBar);
  Current().Sink()->OnDropFiles({}, kAwayFromTheBar);
  const pugi::xml_document doc = LoadConfigDom();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const catalogue::TImageIconRec& rec = form->Slots()[c.slot];
    EXPECT_EQ(std::vector<std::string>({rec.File, rec.Argument, rec.IconPath, rec.InitialPosition, rec.Hint}),
              std::vector<std::string>({c.dropped, "", c.iconPath, c.folder, c.name}));
    ASSERT_NE(CircleWindow(c.slot), nullptr);
    EXPECT_TRUE(test::ShowsSolid(CircleWindow(c.slot)->surface, c.colour));
    const bool png = c.iconPath == test::kMyFiles;
    EXPECT_EQ(test::TextsOf(FileCircle(doc, c.slot)),
              (std::vector<std::string>{c.dropped, c.name, png ? "" : c.iconPath, png ? c.iconPath : "", "", "",
                                        c.folder}));
  }
  EXPECT_EQ(test::TextsOf(FileCircle(doc, 1))[1], "Foo") << "a place with a window is passed over";
  EXPECT_EQ(form->Slots()[2].File, "C:\\Windows\\notepad.exe");
  EXPECT_EQ(CountWindowsNamed("Circle"), 5) << "only the first of several files is added";
  EXPECT_EQ(testing::ReadBytes(desktop_->RealPath(kDir + "Icon\\app.exe.ico")).size(), 22u + 9640u);
  EXPECT_FALSE(Exists(kDir + "Icon\\Games.ico")) << "folders cache nothing";
  EXPECT_TRUE(Current().TimerRunning(TimerClearMemory));
}

// A full side, or a shortcut to nothing that can be launched, changes
// nothing: no record, window, element or cache file.
TEST_F(DropTest, DropsWithNoPlaceOrNoTargetChangeNothing) {
  for (int slot = 1; slot <= 20; ++slot)
    SetCircle(slot, {"C:\\Apps\\a" + std::to_string(slot) + ".exe", "a", "", test::kHelp, "", ""});
  SetRectList(std::vector<ItemSpec>(240, {"C:\\Apps\\d.exe", "d", "", test::kHelp, "", ""}));
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  test::TestDockBar bar(kBar);
  form->AttachDockBar(&bar);
  const auto expectUnchanged = [&](const std::string& file, std::size_t windows) {
    EXPECT_EQ(ConfigBytes(), file);
    EXPECT_EQ(desktop_->Windows().size(), windows);
    EXPECT_EQ(form->RectItemCount(), 240);
    EXPECT_TRUE(bar.appended.empty());
  };
  const std::string full = ConfigBytes();
  const std::size_t windows = desktop_->Windows().size();
  Put("C:\\Tools\\new.exe", ProgramWithIcon(kRed));
  for (const Point at : {kAwayFromTheBar, Point{450, 30}}) DropOne("C:\\Tools\\new.exe", at);
  expectUnchanged(full, windows);
  EXPECT_EQ(form->Slots()[20].File, "C:\\Apps\\a20.exe");
  EXPECT_FALSE(Exists(kDir + "Icon\\new.exe.ico")) << "not even the icon cache is touched";

  form->Removal().RemoveRingSlot(20);
  const std::string emptied = ConfigBytes();
  desktop_->Shortcuts()["C:\\Links\\Printer.lnk"] = std::string();  // a link to an object without a file
  desktop_->Shortcuts()["C:\\Links\\Broken.lnk"] = std::nullopt;    // a link that cannot be loaded
  desktop_->ShellIcons()["*"] = test::SolidIco(48, kRed);           // the shell would give an icon for anything
  for (const char* link : {"C:\\Links\\Printer.lnk", "C:\\Links\\Broken.lnk"}) DropOne(link);
  expectUnchanged(emptied, windows - 1);
  EXPECT_TRUE(form->Slots()[20].File.empty());
  EXPECT_FALSE(Exists(kDir + "Icon\\.ico")) << "no nameless cache file";
}

// The bar's left and top edges are inside it, its right and bottom ones are
// not; without a bar every drop goes to the ring.
TEST_F(DropTest, PointerOnTheBarAppendsToTheDockElsewhereToTheRing) {
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  ASSERT_EQ(form->RectItemCount(), 5) << "the first start's five system tools";
  Put("C:\\Tools\\app.exe", ProgramWithIcon(kRed));
  DropOne("C:\\Tools\\app.exe", {kBar.left + 10, kBar.top + 10});
  EXPECT_EQ(CountWindowsNamed("Circle"), 1);

  test::TestDockBar bar(kBar);
  form->AttachDockBar(&bar);
  desktop_->SetCursor({555, 44});
  const std::pair<Point, bool> cases[] = {{{400, 0}, true},   {{699, 59}, true},  {{700, 30}, false},
                                          {{550, 60}, false}, {{399, 30}, false}, {{550, 30}, true}};
  int dockItems = 5, ringItems = 1;
  for (const auto& [at, dock] : cases) {
    SCOPED_TRACE(::testing::Message() << at.x << "," << at.y);
    DropOne("C:\\Tools\\app.exe", at);
    (dock ? dockItems : ringItems) += 1;
    EXPECT_EQ(form->RectItemCount(), dockItems);
    EXPECT_EQ(CountWindowsNamed("Circle"), ringItems);
    if (dock) {
      ASSERT_FALSE(bar.appended.empty());
      EXPECT_EQ(bar.appended.back(), (std::pair<int, Point>{20 + dockItems, {555, 44}}))
          << "the bar hears the slot and where the pointer is now";
    }
  }
  EXPECT_EQ(bar.appended.size(), 3u);
  EXPECT_EQ(test::ChildNames(LoadConfigDom().document_element().child("RectBackground")).back(), "Rect8");
}

// The box telling a failed save runs a loop: a dock delete meanwhile finds
// the row without a gap, and no item window is left outside it.
TEST_F(DropTest, ADockDeleteWhileTheSaveFailureShowsKeepsTheRowWhole) {
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  Put("C:\\Tools\\app.exe", ProgramWithIcon(kRed));
  desktop_->RefusedWrites().insert(kDir + "Config\\UserInfo.xml");
  bool deleted = false;
  Boxes().During([&] {
    desktop_->RefusedWrites().clear();
    form->Removal().DeleteItem(form->Slots()[21].Window);
    deleted = true;
  });
  const Rect bar = form->Dock().BarBounds();
  DropOne("C:\\Tools\\app.exe", {bar.left + 5, bar.top + 5});
  ASSERT_TRUE(deleted);
  ASSERT_EQ(form->RectItemCount(), 5);
  for (int slot = 21; slot <= 25; ++slot) {
    const WindowId window = form->Slots()[slot].Window;
    EXPECT_NE(window, kNoWindow) << slot;
    EXPECT_EQ(form->Slots().Windows().ItemSlot(window), slot);
  }
  EXPECT_EQ(form->Slots()[25].File, "C:\\Tools\\app.exe");
  EXPECT_EQ(CountWindowsNamed("Rect"), 5);
}

}  // namespace
}  // namespace qv
