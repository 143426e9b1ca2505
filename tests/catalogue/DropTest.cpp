// Dropping files, folders and shortcuts on the running program: where each
// kind goes, what it is called and launched in, which picture it shows, what
// the file says afterwards, and the drops that must change nothing.

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
constexpr Rgb kOrange{240, 150, 20};
constexpr Rgb kPurple{120, 50, 180};
constexpr Rgb kTeal{20, 160, 150};
constexpr Point kAwayFromTheBar{5, 5};
constexpr Rect kBar{400, 0, 300, 60};

// A program file whose only icon image is a 48-pixel 32-bit one of one colour.
std::string ProgramWithIcon(Rgb c) { return test::BuildPe({test::IconResource(1, test::SolidIcoImage(48, c))}).bytes; }

// ---- names and folders, from the path alone ------------------------------------

TEST(DropNames, NameIsTheFileNameLessItsExtensionAndTheFolderKeepsADriveRoot) {
  struct Case {
    const char* path;
    const char* name;
    const char* folder;
  };
  const Case cases[] = {
      {"C:\\app.exe", "app", "C:\\"},
      {"C:\\Games\\", "", "C:\\Games"},
      {"C:\\a.b\\Makefile", "Makefile", "C:\\a.b"},
      {"C:\\Tools\\archive.tar.gz", "archive.tar", "C:\\Tools"},
      {"C:\\Tools\\.profile", "", "C:\\Tools"},
      {"D:tool.exe", "tool", "D:"},
      {"\\\\server\\share\\tool.exe", "tool", "\\\\server\\share"},
      {"tool.exe", "tool", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(catalogue::DropName(c.path), c.name);
    EXPECT_EQ(catalogue::WorkingDirectoryOf(c.path), c.folder);
  }
}

TEST(DropNames, OfficeShortcutLaunchesItselfButShowsTheContainersPicture) {
  struct Case {
    const char* target;
    bool launchesTheShortcut;
    const char* folder;
  };
  const Case cases[] = {
      {"C:\\Windows\\Installer\\{90110804}\\wordicon.exe", true, ""},
      {"C:\\Windows\\Installer\\{90110804}\\misc.exe", true, ""},
      {"C:\\Windows\\Installer\\{90110804}\\WORDICON.EXE", false, "C:\\Windows\\Installer\\{90110804}"},
      {"C:\\Apps\\wordicon.exe.bak", false, "C:\\Apps"},
  };
  const std::string link = "C:\\Users\\me\\Desktop\\Word 2003.lnk";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target);
    catalogue::CacheOutcome outcome;
    outcome.target = c.target;
    outcome.iconPath = catalogue::IconCachePath(kDir, c.target);
    const catalogue::DroppedItem item = catalogue::DeriveDroppedItem(link, outcome);
    EXPECT_EQ(item.name, "Word 2003");
    EXPECT_EQ(item.iconPath, outcome.iconPath);
    EXPECT_EQ(item.target, c.launchesTheShortcut ? link : std::string(c.target));
    EXPECT_EQ(item.workingDirectory, c.folder);
  }
}

// ---- drops on the running program ----------------------------------------------

class DropTest : public test::ItemScenario {
 protected:
  void DropFiles(const std::vector<std::string>& paths, Point at = kAwayFromTheBar) {
    Current().Sink()->OnDropFiles(paths, at);
  }
  void DropOne(const std::string& path, Point at = kAwayFromTheBar) { DropFiles({path}, at); }
  void MakeFolder(const std::string& path) { std::filesystem::create_directories(desktop_->RealPath(path)); }
  std::vector<std::string> RingFiles(app::MainForm& form) const {
    std::vector<std::string> files;
    for (int slot = 1; slot <= 20; ++slot) files.push_back(form.Slots()[slot].File);
    return files;
  }
};

TEST_F(DropTest, EachKindTakesTheLowestFreeRingPlaceOrTheDockEndAndComesBackAtTheNextStart) {
  SetCircle(2, {"C:\\Windows\\notepad.exe", "Notepad", "", test::kHelp, "", ""});
  // A place emptied by hand that still holds leftovers: they must not come back with the new item.
  SetCircle(3, {"", "", "C:\\old.ico", "", "-stale", "D:\\Old"});
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  test::TestDockBar bar(kBar);
  form->AttachDockBar(&bar);

  Put("C:\\Tools\\app.exe", ProgramWithIcon(kRed));
  desktop_->Shortcuts()["C:\\Users\\me\\Desktop\\My App.lnk"] = "C:\\Apps\\tool.exe";
  Put("C:\\Apps\\tool.exe", "MZ");  // no usable images: the shell's icon for programs
  desktop_->ShellIcons()[".exe"] = test::SolidIco(48, kOrange);
  Put("D:\\Docs\\plan 2024.doc", "text");
  desktop_->ShellIcons()[".doc"] = test::SolidIco(48, kPurple);
  MakeFolder("C:\\Games");
  MakeFolder("C:\\my.folder");

  struct Case {
    const char* what;
    std::string dropped, target, name, iconPath;
    Rgb colour;
    std::string folder;
    int ringSlot;
  };
  const Case cases[] = {
      {"program with its own 48-pixel image", "C:\\Tools\\app.exe", "C:\\Tools\\app.exe", "app",
       kDir + "Icon\\app.exe.ico", kRed, "C:\\Tools", 1},
      {"shortcut: its own name, its target's picture", "C:\\Users\\me\\Desktop\\My App.lnk", "C:\\Apps\\tool.exe",
       "My App", kDir + "Icon\\tool.exe.ico", kOrange, "C:\\Apps", 3},
      {"document", "D:\\Docs\\plan 2024.doc", "D:\\Docs\\plan 2024.doc", "plan 2024", kDir + "Icon\\plan 2024.doc.ico",
       kPurple, "D:\\Docs", 4},
      {"folder", "C:\\Games", "C:\\Games", "Games", test::kMyFiles, test::kMyFilesColour, "C:\\", 5},
      {"folder with a dot has an extension; no shell icon for it: the placeholder", "C:\\my.folder", "C:\\my.folder",
       "my", kDir + "Icon\\my.folder.ico", test::kHelpColour, "C:\\", 6},
  };
  // The same drops on the bar go to the dock after its five system tools.
  const auto dockSlot = [&](const Case& c) { return 26 + static_cast<int>(&c - cases); };
  for (const Case& c : cases) DropOne(c.dropped);
  for (const Case& c : cases) DropOne(c.dropped, {kBar.left + 1, kBar.top + 1});

  const auto expectRecords = [&](app::MainForm& f, const Case& c, std::vector<int> slots) {
    for (const int slot : slots) {
      const catalogue::TImageIconRec& rec = f.Slots()[slot];
      EXPECT_EQ(std::vector<std::string>({rec.File, rec.Argument, rec.IconPath, rec.InitialPosition, rec.Hint}),
                std::vector<std::string>({c.target, "", c.iconPath, c.folder, c.name}))
          << slot;
    }
    ASSERT_NE(CircleWindow(c.ringSlot), nullptr);
    EXPECT_TRUE(test::ShowsSolid(CircleWindow(c.ringSlot)->surface, c.colour));
  };
  const Rect main = desktop_->FindWindow(form->MainWindow())->bounds;
  const pugi::xml_document doc = LoadConfigDom();
  ASSERT_EQ(bar.appended.size(), std::size(cases));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    expectRecords(*form, c, {c.ringSlot, dockSlot(c)});
    const catalogue::TImageIconRec& rec = form->Slots()[c.ringSlot];
    EXPECT_EQ(CircleWindow(c.ringSlot)->bounds, (Rect{main.left + rec.OffsetX, main.top + rec.OffsetY, 50, 50}));
    const bool png = c.iconPath == test::kMyFiles;
    const std::vector<std::string> texts = {c.target, c.name, png ? "" : c.iconPath, png ? c.iconPath : "", "", "",
                                            c.folder};
    EXPECT_EQ(test::TextsOf(FileCircle(doc, c.ringSlot)), texts);
    const std::string rect = "Rect" + std::to_string(dockSlot(c) - 20);
    EXPECT_EQ(test::TextsOf(doc.document_element().child("RectBackground").child(rect.c_str())), texts);
    EXPECT_EQ(bar.appended[static_cast<std::size_t>(&c - cases)].first, dockSlot(c));
  }
  EXPECT_EQ(form->Slots()[2].File, "C:\\Windows\\notepad.exe") << "an occupied place is passed over";
  EXPECT_EQ(CountWindowsNamed("Circle"), 6);
  EXPECT_EQ(form->RectItemCount(), 10);
  // The program's own 48-pixel 32-bit image went into the cache as a one-image icon file.
  EXPECT_EQ(testing::ReadBytes(desktop_->RealPath(kDir + "Icon\\app.exe.ico")).size(), 22u + 9640u);
  EXPECT_FALSE(Exists(kDir + "Icon\\Games.ico")) << "folders cache nothing";
  EXPECT_TRUE(Current().TimerRunning(TimerClearMemory));

  app::MainForm* again = Restart();
  ASSERT_NE(again, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    expectRecords(*again, c, {c.ringSlot});  // the dock is loaded by its bar
  }
}

TEST_F(DropTest, OccupiedPlacesFirstOfSeveralAndDropsBeforeLoading) {
  // Installed, but its registry key names no folder: the item has a window and no target.
  SetCircle(1, {"", "Foo", "", "", "", ""});
  desktop_->RegistryKeys().insert("HKLM\\software\\foo");
  std::ostringstream xml;
  config_.save(xml, "\t", pugi::format_default, pugi::encoding_utf8);
  InstallConfig(xml.str());
  app::MainForm* form = Launch();
  ASSERT_NE(form, nullptr);
  MakeFolder("C:\\Games");
  MakeFolder("C:\\Two");
  DropOne("C:\\Games");  // before the lists are loaded: ignored
  desktop_->Advance(50);
  ASSERT_TRUE(form->IconsLoaded());
  EXPECT_EQ(CountWindowsNamed("Circle"), 1);
  ASSERT_TRUE(form->Slots()[1].File.empty());
  const WindowId foo = form->Slots()[1].Window;

  DropFiles({"C:\\Games", "C:\\Two", "C:\\Three"});
  DropFiles({});
  EXPECT_EQ(form->Slots()[1].Window, foo);
  EXPECT_EQ(form->Slots()[2].File, "C:\\Games");
  EXPECT_TRUE(form->Slots()[3].File.empty()) << "only the first of several files is added";
  EXPECT_EQ(CountWindowsNamed("Circle"), 2);
  EXPECT_EQ(test::TextsOf(FileCircle(LoadConfigDom(), 1))[1], "Foo");
}

TEST_F(DropTest, SameProgramTwiceMakesTwoItemsSharingOneCacheFile) {
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  Put("C:\\A\\setup.exe", ProgramWithIcon(kRed));
  Put("D:\\B\\setup.exe", ProgramWithIcon(kTeal));
  for (const char* path : {"C:\\A\\setup.exe", "C:\\A\\setup.exe", "D:\\B\\setup.exe"}) DropOne(path);
  for (int slot = 1; slot <= 3; ++slot) {
    SCOPED_TRACE(slot);
    EXPECT_EQ(form->Slots()[slot].IconPath, kDir + "Icon\\setup.exe.ico");
    ASSERT_NE(CircleWindow(slot), nullptr);
    EXPECT_TRUE(test::ShowsSolid(CircleWindow(slot)->surface, kRed)) << "the first program's picture is kept";
  }
  EXPECT_EQ(form->Slots()[3].File, "D:\\B\\setup.exe");
}

TEST_F(DropTest, FullRingAndDockOf240ItemsChangeNothing) {
  for (int slot = 1; slot <= 20; ++slot)
    SetCircle(slot, {"C:\\Apps\\a" + std::to_string(slot) + ".exe", "a", "", test::kHelp, "", ""});
  std::vector<ItemSpec> items(240, {"C:\\Apps\\d.exe", "d", "", test::kHelp, "", ""});
  SetRectList(items);
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  ASSERT_EQ(form->RectItemCount(), 240);
  test::TestDockBar bar(kBar);
  form->AttachDockBar(&bar);
  const std::string before = ConfigBytes();
  const std::vector<std::string> files = RingFiles(*form);
  const std::size_t windows = desktop_->Windows().size();

  Put("C:\\Tools\\new.exe", ProgramWithIcon(kRed));
  for (const Point at : {kAwayFromTheBar, Point{450, 30}}) {
    SCOPED_TRACE(at.x);
    DropOne("C:\\Tools\\new.exe", at);
    EXPECT_EQ(ConfigBytes(), before);
    EXPECT_EQ(RingFiles(*form), files);
    EXPECT_EQ(form->RectItemCount(), 240);
    EXPECT_TRUE(bar.appended.empty());
    EXPECT_EQ(desktop_->Windows().size(), windows);
    EXPECT_FALSE(Exists(kDir + "Icon\\new.exe.ico")) << "not even the icon cache is touched";
  }
}

TEST_F(DropTest, ShortcutsWithoutATargetAddNothing) {
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  desktop_->Shortcuts()["C:\\Links\\Printer.lnk"] = std::string();  // a link to an object without a file
  desktop_->Shortcuts()["C:\\Links\\Broken.lnk"] = std::nullopt;    // a link that cannot be loaded
  desktop_->ShellIcons()["*"] = test::SolidIco(48, kPurple);        // the shell would give an icon for anything
  const std::string before = ConfigBytes();
  for (const char* link : {"C:\\Links\\Printer.lnk", "C:\\Links\\Broken.lnk"}) {
    SCOPED_TRACE(link);
    DropOne(link);
    EXPECT_EQ(ConfigBytes(), before);
    EXPECT_TRUE(form->Slots()[1].File.empty());
    EXPECT_EQ(CountWindowsNamed("Circle"), 0);
    EXPECT_FALSE(Exists(kDir + "Icon\\.ico")) << "no nameless cache file";
  }
}

TEST_F(DropTest, MissingOrUnreadableFileKeepsTheItemInMemoryOnly) {
  const std::string broken = "<?xml version=\"1.0\"?><Quorvel><Setup>";
  for (const bool remove : {true, false}) {
    SCOPED_TRACE(remove ? "file deleted since start" : "file broken since start");
    app::MainForm* form = processes_.empty() ? Start() : Restart();
    ASSERT_NE(form, nullptr);
    if (remove) std::filesystem::remove(ConfigFile());
    else InstallConfig(broken);
    MakeFolder("C:\\Games");
    DropOne("C:\\Games");
    EXPECT_EQ(form->Slots()[1].File, "C:\\Games");
    ASSERT_NE(CircleWindow(1), nullptr);
    EXPECT_TRUE(test::ShowsSolid(CircleWindow(1)->surface, test::kMyFilesColour));
    EXPECT_EQ(std::filesystem::exists(ConfigFile()), !remove) << "no file is made from nothing";
    if (!remove) {
      EXPECT_EQ(ConfigBytes(), broken) << "a file that cannot be read is never overwritten";
    }
    int entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(ConfigFile().parent_path())) entries += !e.is_directory();
    EXPECT_EQ(entries, remove ? 0 : 1) << "no temporary file is left behind";
    std::ostringstream xml;  // the next case starts from the intact file again
    config_.save(xml, "\t", pugi::format_default, pugi::encoding_utf8);
    InstallConfig(xml.str());
  }
}

// ---- the dock ------------------------------------------------------------------

TEST_F(DropTest, PointerOnTheBarAppendsToTheDockElsewhereToTheRing) {
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  ASSERT_EQ(form->RectItemCount(), 5) << "the first start's five system tools";
  Put("C:\\Tools\\app.exe", ProgramWithIcon(kRed));
  DropOne("C:\\Tools\\app.exe", {kBar.left + 10, kBar.top + 10});
  EXPECT_EQ(form->RectItemCount(), 5) << "without a dock bar every drop goes to the ring";
  EXPECT_EQ(CountWindowsNamed("Circle"), 1);

  test::TestDockBar bar(kBar);
  form->AttachDockBar(&bar);
  desktop_->SetCursor({555, 44});
  struct Case {
    Point at;
    bool dock;
  };
  // The bar's left and top edges are inside it, its right and bottom ones are not.
  const Case cases[] = {{{400, 0}, true},   {{699, 59}, true},  {{700, 30}, false},
                        {{550, 60}, false}, {{399, 30}, false}, {{550, 30}, true}};
  int dockItems = 5;
  int ringItems = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.at.x << "," << c.at.y);
    DropOne("C:\\Tools\\app.exe", c.at);
    (c.dock ? dockItems : ringItems) += 1;
    EXPECT_EQ(form->RectItemCount(), dockItems);
    EXPECT_EQ(CountWindowsNamed("Circle"), ringItems);
    if (c.dock) {
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
  ASSERT_EQ(form->RectItemCount(), 5);
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
