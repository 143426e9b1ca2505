// Loading the item elements at start: each kind of entry into its slot, the
// windows it asks for and the picture, named software through the registry,
// and what the start writes back into the file.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/LoadEntry.h"
#include "tests/support/Scenario.h"

namespace qv {
namespace {

using test::kDir;
using test::kHelp;

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

class LoadEntryTest : public test::ItemScenario {
 protected:
  void SetUp() override {
    ItemScenario::SetUp();
    // Registry keys and value names are found whatever their case.
    desktop_->RegistryKeys().insert("HKLM\\software\\alpha");
    desktop_->Registry()["HKLM\\software\\alpha\\\\install_dir"] = "D:\\Programs\\Alpha";
    desktop_->RegistryKeys().insert("HKLM\\software\\gamma");
    desktop_->Registry()["HKLM\\software\\gamma\\\\other"] = "E:\\Gamma";
    // Epsilon's folder is under HKCU only: not where named software is looked for.
    desktop_->RegistryKeys().insert("HKCU\\software\\epsilon");
    desktop_->Registry()["HKCU\\software\\epsilon\\\\install_dir"] = "E:\\Epsilon";
  }
};

TEST_F(LoadEntryTest, EachKindOfEntryFillsItsSlotAndAsksForItsWindowAndPicture) {
  headless::HeadlessProcess process(*desktop_);
  const std::string app = "C:\\Apps\\app.exe", green = kDir + "Icon\\green.png", ico = kDir + "Icon\\app.exe.ico";
  const std::string icoUpper = kDir + "Icon\\APP.ICO", pngAsBmp = kDir + "Icon\\green.bmp";
  const std::string tools = kDir + "Icon\\SysTool\\", folderAsPng = kDir + "Icon\\folder.png";
  for (const std::string& file : {app, green, ico, icoUpper, pngAsBmp}) Put(file, "bytes");
  std::filesystem::create_directories(desktop_->RealPath(folderAsPng));
  using WriteBack = catalogue::EntryWriteBack;
  struct Case {
    const char* what;
    int slot;
    config::ItemTexts texts;                     // File, Name, Default, Define, Argument, Http, InitialPosition
    std::vector<std::string> calls;              // what the windows were asked, in order
    std::vector<std::string> record;             // File, IconPath, Argument, Hint, InitialPosition
    WriteBack writeBack;
  };
  const config::ItemTexts named = {"", "", "", "C:\\elsewhere\\old.png", "-a", "", "D:\\Run"};
  const auto software = [&](const char* name, const char* http) {
    config::ItemTexts texts = named;
    texts.Name = name;
    texts.Http = http;
    return texts;
  };
  // clang-format off
  const Case cases[] = {
      {"present file, .png in Define", 1, {app, "n", "", green, "-a", "", "D:\\W"}, {"round 1", "draw 1 " + green},
       {app, green, "-a", "n", "D:\\W"}, {}},
      {"target deleted", 2, {"C:\\Apps\\gone.exe", "n", "", green}, {"round 2", "draw 2 " + kHelp},
       {"C:\\Apps\\gone.exe", green, "", "n", ""}, {}},
      {".ico in Default wins over Define", 3, {app, "n", ico, green}, {"round 3", "ico 3"}, {app, ico, "", "n", ""},
       {}},
      {".ICO in capitals is an .ico", 4, {app, "n", icoUpper}, {"round 4", "ico 4"}, {app, icoUpper, "", "n", ""}, {}},
      {"picture missing", 5, {app, "n", "", kDir + "Icon\\none.png"}, {"round 5", "draw 5 " + kHelp},
       {app, kDir + "Icon\\none.png", "", "n", ""}, {}},
      {"a picture of another extension", 6, {app, "n", "", pngAsBmp}, {"round 6", "draw 6 " + kHelp},
       {app, pngAsBmp, "", "n", ""}, {}},
      {"a folder named like a picture", 7, {app, "n", "", folderAsPng}, {"round 7", "draw 7 " + kHelp},
       {app, folderAsPng, "", "n", ""}, {}},
      {"named software installed: its program, its arguments dropped", 8, software("Alpha", "http://a/"),
       {"round 8", "draw 8 " + tools + "Alpha.png"},
       {"D:\\Programs\\Alpha\\Alpha.exe", tools + "Alpha.png", "", "Alpha", "D:\\Run"},
       {"D:\\Programs\\Alpha\\Alpha.exe", tools + "Alpha.png"}},
      {"a key without Install_Dir", 10, software("Gamma", "http://g/"), {"round 10", "draw 10 " + tools + "Gamma.png"},
       {"", tools + "Gamma.png", "", "Gamma", "D:\\Run"}, {std::nullopt, tools + "Gamma.png"}},
      {"a key under HKCU only: not installed, its web address", 11, software("Epsilon", "http://e/"),
       {"round 11", "draw 11 " + tools + "Epsilon.png"}, {"http://e/", tools + "Epsilon.png", "", "Epsilon", "D:\\Run"},
       {std::nullopt, tools + "Epsilon.png"}},
      {"an element without target nor name is a free place", 12, {"", "", "", green, "-x", "http://x/", "D:\\"}, {},
       {"", "", "", "", ""}, {}},
      {"dock item", 21, {"control.exe", "", ico, "", "", "", "D:\\Dock"}, {"rect 21", "ico 21"},
       {"control.exe", ico, "", "", "D:\\Dock"}, {}},
      {"last dock slot", 260, {"::{x}", "n"}, {"rect 260", "draw 260 " + kHelp}, {"::{x}", "", "", "n", ""}, {}},
      {"dock element without a file keeps its place in the row, with the placeholder", 22,
       {"", "Alpha", "", "", "", "http://a/"}, {"rect 22", "draw 22 " + kHelp}, {"", kHelp, "", "Alpha", ""}, {}},
      {"slot 0 does not exist", 0, {"control.exe"}, {}, {}, {}},
      {"slot 261 does not exist", 261, {"control.exe"}, {}, {}, {}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    catalogue::ItemSlots slots;
    RecordingWindows windows;
    EXPECT_EQ(catalogue::LoadEntry(c.slot, c.texts, slots, windows, process.AsPlatform()), c.writeBack);
    EXPECT_EQ(windows.calls, c.calls);
    if (c.record.empty()) continue;
    const catalogue::TImageIconRec& rec = slots[c.slot];
    EXPECT_EQ((std::vector<std::string>{rec.File, rec.IconPath, rec.Argument, rec.Hint, rec.InitialPosition}),
              c.record);
  }
}

// The start writes a named program's target and picture into its element.
TEST_F(LoadEntryTest, TheStartWritesNamedSoftwaresTargetAndPictureBack) {
  SetCircle(1, {"", "Alpha", "", "C:\\elsewhere\\old.png", "-a b", "D:\\Run"});
  SetCircle(2, {"", "Beta", "", "", "", ""});
  ASSERT_NE(Start(), nullptr);
  const pugi::xml_document saved = LoadConfigDom();
  const std::string tools = kDir + "Icon\\SysTool\\";
  EXPECT_EQ(test::TextsOf(FileCircle(saved, 1)), (std::vector<std::string>{"D:\\Programs\\Alpha\\Alpha.exe", "Alpha",
                                                                            "", tools + "Alpha.png", "-a b", "",
                                                                            "D:\\Run"}));
  EXPECT_EQ(test::TextsOf(FileCircle(saved, 2)),
            (std::vector<std::string>{"", "Beta", "", tools + "Beta.png", "", "", ""}));
}

}  // namespace
}  // namespace qv
