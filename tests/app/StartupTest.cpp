// Start-up, shutdown and the system notifications, driven on the headless desktop.

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "tests/support/Scenario.h"

namespace qv {
namespace {

class StartupTest : public testing::ScenarioTest {
 protected:
  // Installs the distributed file (which leaves the dock to the first start) and starts.
  app::MainForm* Started(int settleMs = 100) {
    InstallConfig(testing::DistributedConfig());
    app::MainForm* form = Launch();
    if (form) desktop_->Advance(settleMs);
    return form;
  }
};

// In a folder whose name is Chinese and has blanks.
TEST_F(StartupTest, FirstStartBuildsAfterShowAndWritesTheFiveSystemTools) {
  programDir_ = "C:\\程序 文件\\Quorvel 启动器\\";
  std::filesystem::create_directories(desktop_->RealPath(programDir_));
  CopyArt();  // the dock's theme as shipped: without it the start reports it
  app::MainForm* form = Started(0);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(Process().TrayIconCount(), 1);
  desktop_->Advance(49);
  EXPECT_FALSE(form->IconsLoaded());
  // Another writer during the wait: the step completes the file as it is then.
  std::string bytes = ConfigBytes();
  const std::size_t hide = bytes.find("<HideAfterClick>False<");
  ASSERT_NE(hide, std::string::npos);
  InstallConfig(bytes.replace(hide, 22, "<HideAfterClick>True<"));
  desktop_->Advance(1);
  EXPECT_TRUE(form->IconsLoaded());
  EXPECT_FALSE(Process().TimerRunning(TimerGetIcon)) << "the start-up step runs once";
  EXPECT_EQ(form->RectItemCount(), 5);
  EXPECT_TRUE(desktop_->MessageBoxes().empty());
  for (const headless::ReportRecord& r : Process().Reports())
    ADD_FAILURE() << "a start that goes well: " << r.text;

  // The tools go to the file as the dock shows them, each with its picture beside the program.
  const pugi::xml_document doc = LoadConfigDom();
  EXPECT_STREQ(doc.document_element().child("Setup").child("Basic").child_value("HideAfterClick"), "True");
  int i = 0;
  for (pugi::xml_node item : doc.document_element().child("RectBackground").children()) {
    ++i;
    EXPECT_EQ(std::string(item.name()) + "=" + item.child_value("File"),
              "Rect" + std::to_string(i) + "=" + form->Slots()[20 + i].File);
    EXPECT_TRUE(std::string(item.child("IconPath").child_value("Define")).starts_with("Icon\\SysTool\\")) << i;
  }
  EXPECT_EQ(i, 5) << "exactly five tools";
}

// What the file keeps of the skins and the position is the settings' own
// test; here the close writes it once and gives back the hot key, the label
// and the tray icon; the loop's end after it writes nothing more, and a
// shutdown whose file went away writes nothing at all.
TEST_F(StartupTest, CloseWritesTheSettingsOnceAndGivesEverythingBack) {
  app::MainForm* form = Started();
  ASSERT_NE(form, nullptr);
  config::Settings& s = form->MutableSettings();
  s.PositionLeft = -40;
  form->OnClose();
  EXPECT_TRUE(Process().QuitRequested());
  EXPECT_EQ(Process().TrayIconCount(), 0);
  EXPECT_TRUE(Process().HotKeys().empty()) << "unregistered, and then its atom deleted";
  EXPECT_FALSE(Process().GlobalAtomExists("THotKeyRegistrar:THotKeyRec_0"));
  EXPECT_EQ(desktop_->FindWindowByName("FormHint"), nullptr);
  EXPECT_NE(ConfigBytes().find("Left=\"-40\""), std::string::npos);
  const std::string once = ConfigBytes();
  s.PositionLeft = 5;
  App().Stop();
  EXPECT_EQ(ConfigBytes(), once);

  Process().Exit();
  ASSERT_NE(Launch(), nullptr);
  desktop_->Advance(100);
  std::filesystem::remove(ConfigFile());
  App(1).Stop();
  EXPECT_TRUE(std::filesystem::is_empty(ConfigFile().parent_path())) << "nothing written, no temporary left";
}

// The shell's restart puts the lost tray icon back; a resume runs twenty
// ticks and stops on the twenty-first, a second one starts over (the logoff
// is the Wine lifecycle scenario's).
TEST_F(StartupTest, TheSystemsNotifications) {
  app::MainForm* form = Started();
  ASSERT_NE(form, nullptr);
  Process().RemoveTrayIcon();
  form->OnTaskbarCreated();
  EXPECT_EQ(Process().TrayIconCount(), 1);
  EXPECT_EQ(Process().TrayTip(), "Quorvel(Quorvel)");

  form->OnPowerBroadcast(4);  // suspend: nothing to do
  EXPECT_FALSE(Process().TimerRunning(TimerPBT));
  form->OnPowerBroadcast(kPowerResumeSuspend);
  EXPECT_EQ(form->ResumeTicks(), 1);
  desktop_->Advance(20 * 1000 + 999);
  EXPECT_EQ(form->ResumeTicks(), 21);
  EXPECT_TRUE(Process().TimerRunning(TimerPBT));
  desktop_->Advance(1);
  EXPECT_FALSE(Process().TimerRunning(TimerPBT));
  EXPECT_EQ(form->ResumeTicks(), 21);
  form->OnPowerBroadcast(kPowerResumeSuspend);
  desktop_->Advance(5000);
  form->OnPowerBroadcast(kPowerResumeSuspend);
  EXPECT_EQ(form->ResumeTicks(), 1);
}

// Hot keys whose registration fails in a way no system answers with.
class FaultyHotKeys final : public IHotKeys {
 public:
  explicit FaultyHotKeys(IHotKeys& keys) : keys_(keys) {}
  bool GlobalAtomExists(const std::string& name) const override { return keys_.GlobalAtomExists(name); }
  std::uint16_t GlobalAddAtom(const std::string& name) override { return keys_.GlobalAddAtom(name); }
  void GlobalDeleteAtom(std::uint16_t atom) override { keys_.GlobalDeleteAtom(atom); }
  bool RegisterHotKey(int, unsigned, unsigned) override { throw std::runtime_error("no key"); }
  bool UnregisterHotKey(int id) override { return keys_.UnregisterHotKey(id); }

 private:
  IHotKeys& keys_;
};

TEST_F(StartupTest, AFailedStartupStepIsReportedAndInputAndClosingStillWork) {
  headless::HeadlessProcess keysOwner(*desktop_, programDir_);
  FaultyHotKeys keys(keysOwner);
  hotKeys_ = &keys;
  app::MainForm* form = Started();
  ASSERT_NE(form, nullptr);
  const auto& reports = Process().Reports();
  EXPECT_TRUE(std::any_of(reports.begin(), reports.end(), [](const auto& r) {
    return r.text.find("start-up step failed: no key") != std::string::npos;
  }));
  form->Commands().Run(app::Command::MinimizeToTray, app::MenuKind::TaskBar);
  EXPECT_FALSE(form->WindowsShown()) << "input is taken";
  form->OnClose();
  EXPECT_TRUE(form->Closed());
}

// The wait draws the items' faces before their windows exist. A face drawn
// then is the one the step would draw (pictures with soft edges, scaled, on
// the plate), and an entry another writer changed meanwhile shows its new
// picture, not the face drawn for the old one.
class StartupFacesTest : public test::ItemScenario {};

TEST_F(StartupFacesTest, ItemsShowTheFileAsTheStepReadsItDrawnAsTheStepDrawsIt) {
  for (const auto& [name, colour] : {std::pair{"a", 0x00C03010u}, {"b", 0x002080E0u}}) {
    std::vector<std::uint32_t> pixels(100 * 100);
    for (int i = 0; i < 100 * 100; ++i) pixels[i] = colour | std::uint32_t((i % 100 + i / 100) * 255 / 198) << 24;
    Put(test::kDir + "Icon\\" + name + ".png", test::PngImage(100, 100, pixels));
  }
  std::filesystem::create_directories(desktop_->RealPath("C:\\Apps"));
  const auto item = [](const std::string& picture) {
    return test::ItemSpec{"C:\\Apps", picture, "", test::kDir + "Icon\\" + picture + ".png", "", ""};
  };
  SetCircle(1, item("a"));
  SetCircle(2, item("b"));
  SetRectList({item("a"), item("b")});
  InstallConfig(Xml());
  app::MainForm* form = Launch();
  ASSERT_NE(form, nullptr);
  desktop_->Advance(1);  // shown: the wait has drawn the faces
  ASSERT_FALSE(form->IconsLoaded());
  SetCircle(1, item("b"));
  SetRectList({item("b"), item("b")});
  InstallConfig(Xml());
  desktop_->Advance(49);
  ASSERT_TRUE(form->IconsLoaded());
  // Item 1 was drawn in the step, item 2 in the wait: the same picture gives the same pixels.
  for (const std::string kind : {"Circle", "Rect"}) {
    const headless::WindowRecord* one = Named(kind + "1");
    const headless::WindowRecord* two = Named(kind + "2");
    ASSERT_TRUE(one && two) << kind;
    EXPECT_EQ(one->surface.width, two->surface.width) << kind;
    EXPECT_TRUE(one->surface.pixels == two->surface.pixels) << kind;
  }
}

}  // namespace
}  // namespace qv
