// Start-up, shutdown and the system notifications, driven on the headless desktop.

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "tests/support/Scenario.h"

namespace qv {
namespace {

constexpr const char* kUnreadable = "配置文件无法读取，请检查或重新下载。\n";

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

TEST_F(StartupTest, FirstStartBuildsAfterShowAndWritesTheFiveSystemTools) {
  CopyArt();  // the dock's theme as shipped: without it the start reports it
  app::MainForm* form = Started(0);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(Process().TrayIconCount(), 1);
  // The empty dock list is in the file, last, before any window is built.
  EXPECT_STREQ(LoadConfigDom().document_element().last_child().name(), "RectBackground");
  EXPECT_FALSE(LoadConfigDom().document_element().last_child().first_child());
  desktop_->Advance(49);
  EXPECT_FALSE(form->IconsLoaded());
  desktop_->Advance(1);
  EXPECT_TRUE(form->IconsLoaded());
  EXPECT_FALSE(Process().TimerRunning(TimerGetIcon)) << "the start-up step runs once";
  EXPECT_EQ(form->RectItemCount(), 5);
  EXPECT_TRUE(Process().Reports().empty())
      << "a start that goes well reports nothing: " << (Process().Reports().empty() ? "" : Process().Reports()[0].text);

  const std::tuple<const char*, const char*, const char*> tools[] = {
      {"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "我的电脑", "MyComputer"},
      {"::{208D2C60-3AEA-1069-A2D7-08002B30309D}", "网上邻居", "MyNetwork"},
      {"::{450D8FBA-AD25-11D0-98A8-0800361B1103}", "我的文档", "MyDocuments"},
      {"::{645FF040-5081-101B-9F08-00AA002F954E}", "回收站", "RecycleBin"},
      {"control.exe", "控制面板", "ControlPanel"},
  };
  pugi::xml_document doc = LoadConfigDom();
  pugi::xml_node item = doc.document_element().child("RectBackground").first_child();
  for (int i = 0; i < 5; ++i, item = item.next_sibling()) {
    const auto& [file, caption, picture] = tools[i];
    SCOPED_TRACE(caption);
    ASSERT_TRUE(item);
    EXPECT_EQ(std::string(item.name()), "Rect" + std::to_string(i + 1));
    std::string children;
    for (pugi::xml_node child : item.children()) children += std::string(child.name()) + " ";
    EXPECT_EQ(children, "File Name IconPath Argument Http InitialPosition ");
    EXPECT_STREQ(item.child_value("File"), file);
    EXPECT_STREQ(item.child_value("Name"), caption);
    EXPECT_EQ(std::string(item.child("IconPath").child_value("Define")),
              std::string("Icon\\SysTool\\") + picture + ".png");
    EXPECT_EQ(form->Slots()[21 + i].File, file);
  }
  EXPECT_FALSE(item) << "exactly five tools";
}

TEST_F(StartupTest, MissingFileIsReportedAndNothingIsWritten) {
  app::MainForm* form = Launch();
  ASSERT_NE(form, nullptr);
  ASSERT_EQ(desktop_->MessageBoxes().size(), 1u);
  EXPECT_EQ(desktop_->MessageBoxes()[0].text, "配置文件丢失，请重新下载。");
  EXPECT_EQ(desktop_->MessageBoxes()[0].caption, "提示");
  EXPECT_TRUE(Process().QuitRequested());
  desktop_->Advance(1000);
  EXPECT_FALSE(form->IconsLoaded());
  App().Stop();
  EXPECT_FALSE(std::filesystem::exists(ConfigFile()));
}

TEST_F(StartupTest, UnreadableFileIsReportedAndKeptByteForByte) {
  const std::string bytes = testing::DistributedConfig().substr(0, 500);
  InstallConfig(bytes);
  ASSERT_NE(Launch(), nullptr);
  ASSERT_EQ(desktop_->MessageBoxes().size(), 1u);
  const std::string& text = desktop_->MessageBoxes()[0].text;
  EXPECT_EQ(text.rfind(kUnreadable, 0), 0u) << text;
  EXPECT_GT(text.size(), std::string(kUnreadable).size()) << "the parser's reason follows";
  EXPECT_TRUE(Process().QuitRequested());
  desktop_->Advance(1000);
  App().Stop();
  EXPECT_EQ(ConfigBytes(), bytes);
}

TEST_F(StartupTest, SecondInstanceRestoresTheFirstAndEnds) {
  app::MainForm* first = Started();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(Launch(), nullptr);
  EXPECT_EQ(Process(1).TrayIconCount(), 0);
  EXPECT_FALSE(Process(1).MutexHeld());
  EXPECT_TRUE(first->WindowsShown());
  // The running copy came to the front: its main form, then the round window over it.
  const std::vector<WindowId>& z = desktop_->ZOrder();
  ASSERT_GE(z.size(), 3u);
  EXPECT_EQ(z[z.size() - 3], first->MainWindow());
  EXPECT_EQ(desktop_->FindWindow(z[z.size() - 2])->name, "BackGroundForm");
  EXPECT_EQ(desktop_->FindWindow(z[z.size() - 1])->name, "CenterForm");
}

TEST_F(StartupTest, CloseWritesSkinsSizesActionAndPosition) {
  app::MainForm* form = Started();
  ASSERT_NE(form, nullptr);
  config::Settings& s = form->MutableSettings();
  s.BackgroundIndex = 2, s.BackgroundSize = 280, s.CenterIndex = 5, s.CenterSize = 90, s.CenterAction = 7;
  s.PositionLeft = -40, s.PositionTop = 1200;
  form->OnClose();
  EXPECT_TRUE(Process().QuitRequested());
  EXPECT_EQ(Process().TrayIconCount(), 0);
  pugi::xml_document doc = LoadConfigDom();
  const pugi::xml_node basic = doc.document_element().child("Setup").child("Basic");
  for (const auto& [element, attribute, value] : {std::tuple{"Background", "Index", "2"},
                                                  {"Background", "Size", "280"},
                                                  {"Center", "Index", "5"},
                                                  {"Center", "Size", "90"},
                                                  {"Center", "Action", "7"},
                                                  {"Position", "Left", "-40"},
                                                  {"Position", "Top", "1200"}})
    EXPECT_STREQ(basic.child(element).attribute(attribute).value(), value) << element << " " << attribute;

  // The loop's end after a close writes nothing more.
  const std::string once = ConfigBytes();
  s.PositionLeft = 5;
  App().Stop();
  EXPECT_EQ(ConfigBytes(), once);
}

TEST_F(StartupTest, ShutdownSkipsTheSaveWhenTheFileIsGone) {
  ASSERT_NE(Started(), nullptr);
  std::filesystem::remove(ConfigFile());
  App().Stop();
  EXPECT_TRUE(std::filesystem::is_empty(ConfigFile().parent_path())) << "nothing written, no temporary left";
}

TEST_F(StartupTest, LogoffClosesThenPermits) {
  app::MainForm* form = Started();
  ASSERT_NE(form, nullptr);
  form->MutableSettings().PositionLeft = 321;
  EXPECT_TRUE(form->OnQueryEndSession());
  EXPECT_TRUE(form->Closed());
  EXPECT_STREQ(
      LoadConfigDom().document_element().child("Setup").child("Basic").child("Position").attribute("Left").value(),
      "321");
}

TEST_F(StartupTest, ResumeRunsTwentyTicksAndStopsOnTheTwentyFirst) {
  app::MainForm* form = Started();
  ASSERT_NE(form, nullptr);
  form->OnPowerBroadcast(4);  // suspend: nothing to do
  EXPECT_FALSE(Process().TimerRunning(TimerPBT));
  form->OnPowerBroadcast(kPowerResumeSuspend);
  EXPECT_EQ(form->ResumeTicks(), 1);
  desktop_->Advance(20 * 1000 + 999);
  EXPECT_EQ(form->ResumeTicks(), 21);
  EXPECT_TRUE(Process().TimerRunning(TimerPBT));
  desktop_->Advance(1);
  EXPECT_FALSE(Process().TimerRunning(TimerPBT)) << "stops on the 21st tick";
  EXPECT_EQ(form->ResumeTicks(), 21);

  // A second resume while the first is still counting starts over at one.
  form->OnPowerBroadcast(kPowerResumeSuspend);
  desktop_->Advance(5000);
  form->OnPowerBroadcast(kPowerResumeSuspend);
  EXPECT_EQ(form->ResumeTicks(), 1);
}

TEST_F(StartupTest, DisplayChangeReplacesOnceAfterHalfASecond) {
  app::MainForm* form = Started();
  ASSERT_NE(form, nullptr);
  form->OnDisplayChange();
  desktop_->Advance(499);
  EXPECT_TRUE(Process().TimerRunning(TimerRedraw));
  desktop_->Advance(1);
  EXPECT_FALSE(Process().TimerRunning(TimerRedraw));
}

TEST_F(StartupTest, TaskbarRestartPutsTheLostIconBack) {
  app::MainForm* form = Started();
  ASSERT_NE(form, nullptr);
  Process().RemoveTrayIcon();  // the shell restarted without the icons it held
  form->OnTaskbarCreated();
  EXPECT_EQ(Process().TrayIconCount(), 1);
  EXPECT_EQ(Process().TrayTip(), app::kTrayTip);
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

TEST_F(StartupTest, ProgramFolderWithChineseName) {
  programDir_ = "C:\\程序 文件\\Quorvel 启动器\\";
  app::MainForm* form = Started();
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(desktop_->MessageBoxes().empty());
  EXPECT_EQ(form->RectItemCount(), 5);
  EXPECT_EQ(std::string(LoadConfigDom()
                            .document_element()
                            .child("RectBackground")
                            .first_child()
                            .child("IconPath")
                            .child_value("Define")),
            "Icon\\SysTool\\MyComputer.png");
}

}  // namespace
}  // namespace qv
