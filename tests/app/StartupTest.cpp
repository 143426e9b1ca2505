// Start-up, shutdown and the system notifications, driven on the headless desktop.

#include <gtest/gtest.h>

#include "tests/support/Scenario.h"

namespace qv {
namespace {

using testing::ScenarioTest;

class StartupTest : public ScenarioTest {};

std::string WithoutRectBackground() {
  std::string xml = testing::DistributedConfig();
  EXPECT_EQ(xml.find("RectBackground"), std::string::npos) << "the distributed file leaves the dock to the first start";
  return xml;
}

TEST_F(StartupTest, FirstStartBuildsAfterShowAndWritesTheFiveSystemTools) {
  InstallConfig(WithoutRectBackground());
  app::RoundHot* form = Launch();
  ASSERT_NE(form, nullptr);

  const headless::WindowRecord* main = desktop_->FindWindowByClass("TFormRoundHot", "Quorvel");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->name, "FormRoundHot");
  EXPECT_EQ(main->bounds, (Rect{600, 368, 194, 168}));
  EXPECT_TRUE(main->visible);
  EXPECT_EQ(main->alpha, 0) << "the main form is an invisible anchor";
  EXPECT_TRUE(main->acceptsDrops);
  EXPECT_EQ(Process().TrayIconCount(), 1);
  EXPECT_EQ(Process().TrayTip(), "Quorvel(Quorvel)");
  EXPECT_TRUE(desktop_->RealPath("C:\\Quorvel\\Icon").string().size() > 0);
  EXPECT_TRUE(std::filesystem::is_directory(desktop_->RealPath("C:\\Quorvel\\Icon")));

  // The empty dock list is in the file before any window is built.
  {
    pugi::xml_document doc = LoadConfigDom();
    pugi::xml_node rect = doc.document_element().last_child();
    EXPECT_STREQ(rect.name(), "RectBackground");
    EXPECT_FALSE(rect.first_child());
  }
  EXPECT_FALSE(form->IconsLoaded());
  EXPECT_TRUE(Process().TimerRunning(app::TimerGetIcon));

  desktop_->Advance(49);
  EXPECT_FALSE(form->IconsLoaded());
  desktop_->Advance(1);
  EXPECT_TRUE(form->IconsLoaded());
  EXPECT_TRUE(Process().Ready());
  EXPECT_FALSE(Process().TimerRunning(app::TimerGetIcon)) << "the start-up step runs once";
  EXPECT_GE(Process().TrimCount(), 1);
  EXPECT_EQ(form->RectItemCount(), 5);
  EXPECT_EQ(form->HotKeyText(), "C");

  struct Tool {
    const char* name;
    const char* file;
    const char* caption;
    const char* picture;
  };
  const Tool tools[] = {
      {"Rect1", "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "我的电脑", "MyComputer"},
      {"Rect2", "::{208D2C60-3AEA-1069-A2D7-08002B30309D}", "网上邻居", "MyNetwork"},
      {"Rect3", "::{450D8FBA-AD25-11D0-98A8-0800361B1103}", "我的文档", "MyDocuments"},
      {"Rect4", "::{645FF040-5081-101B-9F08-00AA002F954E}", "回收站", "RecycleBin"},
      {"Rect5", "control.exe", "控制面板", "ControlPanel"},
  };
  pugi::xml_document doc = LoadConfigDom();
  pugi::xml_node item = doc.document_element().child("RectBackground").first_child();
  for (const Tool& tool : tools) {
    ASSERT_TRUE(item) << tool.name;
    EXPECT_STREQ(item.name(), tool.name);
    const char* order[] = {"File", "Name", "IconPath", "Argument", "Http", "InitialPosition"};
    pugi::xml_node child = item.first_child();
    for (const char* expected : order) {
      ASSERT_TRUE(child) << tool.name << " lacks " << expected;
      EXPECT_STREQ(child.name(), expected);
      child = child.next_sibling();
    }
    EXPECT_STREQ(item.child_value("File"), tool.file);
    EXPECT_STREQ(item.child_value("Name"), tool.caption);
    EXPECT_STREQ(item.child("IconPath").child_value("Default"), "");
    EXPECT_EQ(std::string(item.child("IconPath").child_value("Define")),
              std::string("C:\\Quorvel\\Icon\\SysTool\\") + tool.picture + ".png");
    const int slot = 20 + (&tool - tools) + 1;
    EXPECT_EQ(form->Slots()[slot].File, tool.file);
    EXPECT_EQ(form->Slots()[slot].Hint, tool.caption);
    item = item.next_sibling();
  }
  EXPECT_FALSE(item) << "exactly five tools";
}

TEST_F(StartupTest, SecondStartLeavesTheDockListAlone) {
  InstallConfig(WithoutRectBackground());
  ASSERT_NE(Launch(), nullptr);
  desktop_->Advance(100);
  App().Stop();
  Process().Exit();
  const std::string afterFirst = ConfigBytes();

  app::RoundHot* again = Launch();
  ASSERT_NE(again, nullptr);
  desktop_->Advance(100);
  EXPECT_EQ(again->RectItemCount(), 5);
  App(1).Stop();
  EXPECT_EQ(ConfigBytes(), afterFirst) << "a complete file is read and written back unchanged";
}

TEST_F(StartupTest, MissingFileIsReportedAndNothingIsWritten) {
  app::RoundHot* form = Launch();
  ASSERT_NE(form, nullptr);
  ASSERT_EQ(desktop_->MessageBoxes().size(), 1u);
  const headless::MessageBoxRecord& box = desktop_->MessageBoxes()[0];
  EXPECT_EQ(box.text, "配置文件丢失，请重新下载。");
  EXPECT_EQ(box.caption, "提示");
  EXPECT_EQ(box.buttons, MessageBoxButtons::Ok);
  EXPECT_EQ(box.icon, MessageBoxIcon::Warning);
  EXPECT_TRUE(Process().QuitRequested());
  desktop_->Advance(1000);
  EXPECT_FALSE(form->IconsLoaded());
  App().Stop();
  EXPECT_FALSE(std::filesystem::exists(ConfigFile()));
}

TEST_F(StartupTest, UnreadableFilesAreReportedAndKeptByteForByte) {
  const std::string good = testing::DistributedConfig();
  const std::string cases[] = {
      good.substr(0, good.size() / 2),                 // truncated
      "",                                              // empty
      "<?xml version=\"1.0\"?><Quorvel><Setup></Quorvel>",  // mismatched tags
      "<?xml version=\"1.0\" encoding=\"x-no-such-charset\"?><Quorvel/>",  // an encoding nobody knows
  };
  for (const std::string& bytes : cases) {
    SCOPED_TRACE(bytes.substr(0, 60));
    TearDown();
    SetUp();
    InstallConfig(bytes);
    app::RoundHot* form = Launch();
    ASSERT_NE(form, nullptr);
    ASSERT_EQ(desktop_->MessageBoxes().size(), 1u);
    const std::string& text = desktop_->MessageBoxes()[0].text;
    EXPECT_EQ(text.rfind("配置文件无法读取，请检查或重新下载。\n", 0), 0u) << text;
    EXPECT_GT(text.size(), std::string("配置文件无法读取，请检查或重新下载。\n").size()) << "the parser's reason follows";
    EXPECT_EQ(desktop_->MessageBoxes()[0].caption, "提示");
    EXPECT_TRUE(Process().QuitRequested());
    desktop_->Advance(1000);
    App().Stop();
    EXPECT_EQ(ConfigBytes(), bytes) << "an unreadable file is never rewritten";
  }
}

TEST_F(StartupTest, SecondInstanceRestoresTheFirstAndEnds) {
  InstallConfig(WithoutRectBackground());
  app::RoundHot* first = Launch();
  ASSERT_NE(first, nullptr);
  desktop_->Advance(100);

  EXPECT_EQ(Launch(), nullptr) << "the second copy ends at once";
  EXPECT_EQ(Process(1).TrayIconCount(), 0);
  EXPECT_EQ(Process(0).TrayIconCount(), 1);
  EXPECT_FALSE(Process(1).MutexHeld());
  EXPECT_TRUE(first->WindowsShown());
  int mains = 0;
  for (const headless::WindowRecord* w : desktop_->Windows()) mains += w->className == "TFormRoundHot";
  EXPECT_EQ(mains, 1);
  // The running copy came to the front: its main form, then the round window over it.
  const std::vector<WindowId>& z = desktop_->ZOrder();
  ASSERT_GE(z.size(), 3u);
  EXPECT_EQ(z[z.size() - 3], first->MainWindow());
  EXPECT_EQ(desktop_->FindWindow(z[z.size() - 2])->name, "BackGroundForm");
  EXPECT_EQ(desktop_->FindWindow(z[z.size() - 1])->name, "CenterForm");
}

TEST_F(StartupTest, CloseWritesSkinsSizesActionAndPosition) {
  InstallConfig(WithoutRectBackground());
  app::RoundHot* form = Launch();
  ASSERT_NE(form, nullptr);
  desktop_->Advance(100);
  config::Settings& s = form->MutableSettings();
  s.BackgroundIndex = 2;
  s.BackgroundSize = 280;
  s.CenterIndex = 5;
  s.CenterSize = 90;
  s.CenterAction = 7;
  s.PositionLeft = -40;
  s.PositionTop = 1200;
  form->OnClose();
  EXPECT_TRUE(Process().QuitRequested());
  EXPECT_EQ(Process().TrayIconCount(), 0);

  pugi::xml_document doc = LoadConfigDom();
  pugi::xml_node basic = doc.document_element().child("Setup").child("Basic");
  EXPECT_STREQ(basic.child("Background").attribute("Index").value(), "2");
  EXPECT_STREQ(basic.child("Background").attribute("Size").value(), "280");
  EXPECT_STREQ(basic.child("Center").attribute("Index").value(), "5");
  EXPECT_STREQ(basic.child("Center").attribute("Size").value(), "90");
  EXPECT_STREQ(basic.child("Center").attribute("Action").value(), "7");
  EXPECT_STREQ(basic.child("Position").attribute("Left").value(), "-40");
  EXPECT_STREQ(basic.child("Position").attribute("Top").value(), "1200");

  // Closing twice (the loop's end after a close) writes nothing more.
  const std::string once = ConfigBytes();
  s.PositionLeft = 5;
  App().Stop();
  EXPECT_EQ(ConfigBytes(), once);
}

TEST_F(StartupTest, ShutdownSkipsTheSaveWhenTheFileIsGone) {
  InstallConfig(WithoutRectBackground());
  ASSERT_NE(Launch(), nullptr);
  desktop_->Advance(100);
  std::filesystem::remove(ConfigFile());
  App().Stop();
  EXPECT_FALSE(std::filesystem::exists(ConfigFile()));
  EXPECT_TRUE(std::filesystem::is_empty(ConfigFile().parent_path())) << "no temporary file is left behind";
}

TEST_F(StartupTest, LogoffClosesThenPermits) {
  InstallConfig(WithoutRectBackground());
  app::RoundHot* form = Launch();
  ASSERT_NE(form, nullptr);
  desktop_->Advance(100);
  form->MutableSettings().PositionLeft = 321;
  EXPECT_TRUE(form->OnQueryEndSession());
  EXPECT_TRUE(form->Closed());
  EXPECT_TRUE(Process().QuitRequested());
  EXPECT_STREQ(LoadConfigDom().document_element().child("Setup").child("Basic").child("Position").attribute("Left").value(),
               "321");
}

TEST_F(StartupTest, ResumeRunsTwentyTicksAndStopsOnTheTwentyFirst) {
  InstallConfig(WithoutRectBackground());
  app::RoundHot* form = Launch();
  ASSERT_NE(form, nullptr);
  desktop_->Advance(100);

  form->OnPowerBroadcast(4);  // suspend: nothing to do
  EXPECT_FALSE(Process().TimerRunning(app::TimerPBT));
  form->OnPowerBroadcast(kPowerResumeSuspend);
  EXPECT_EQ(form->ResumeTicks(), 1);
  EXPECT_EQ(Process().TimerInterval(app::TimerPBT), 1000u);
  desktop_->Advance(20 * 1000);
  EXPECT_EQ(form->ResumeTicks(), 21);
  EXPECT_TRUE(Process().TimerRunning(app::TimerPBT));
  desktop_->Advance(999);
  EXPECT_TRUE(Process().TimerRunning(app::TimerPBT));
  desktop_->Advance(1);
  EXPECT_FALSE(Process().TimerRunning(app::TimerPBT)) << "stops on the 21st tick";
  EXPECT_EQ(form->ResumeTicks(), 21);

  // A second resume while the first is still counting starts over at one.
  form->OnPowerBroadcast(kPowerResumeSuspend);
  desktop_->Advance(5000);
  form->OnPowerBroadcast(kPowerResumeSuspend);
  EXPECT_EQ(form->ResumeTicks(), 1);
}

TEST_F(StartupTest, DisplayChangeReplacesOnceAfterHalfASecond) {
  InstallConfig(WithoutRectBackground());
  app::RoundHot* form = Launch();
  ASSERT_NE(form, nullptr);
  desktop_->Advance(100);
  form->OnDisplayChange();
  EXPECT_TRUE(Process().TimerRunning(app::TimerRedraw));
  desktop_->Advance(499);
  EXPECT_TRUE(Process().TimerRunning(app::TimerRedraw));
  desktop_->Advance(1);
  EXPECT_FALSE(Process().TimerRunning(app::TimerRedraw));
}

TEST_F(StartupTest, FrontIndexSetsTheMainLayer) {
  struct Case {
    const char* index;
    WindowLayer layer;
  };
  // The headless shell has no desktop window, so the desktop layer falls back to the normal one.
  const Case cases[] = {{"0", WindowLayer::Normal}, {"1", WindowLayer::Topmost}, {"2", WindowLayer::Normal},
                        {"7", WindowLayer::Normal}, {"x", WindowLayer::Normal}};
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    std::string xml = testing::DistributedConfig();
    const std::string from = "<Front Index=\"0\"";
    ASSERT_NE(xml.find(from), std::string::npos);
    xml.replace(xml.find(from), from.size(), std::string("<Front Index=\"") + c.index + "\"");
    InstallConfig(xml);
    app::RoundHot* form = Launch();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->MainLayer(), c.layer) << c.index;
    EXPECT_EQ(desktop_->FindWindow(form->MainWindow())->layer, c.layer) << c.index;
  }
}

TEST_F(StartupTest, TrayLeftClickAndTaskbarRestart) {
  InstallConfig(WithoutRectBackground());
  app::RoundHot* form = Launch();
  ASSERT_NE(form, nullptr);
  desktop_->Advance(100);
  form->OnTaskbarCreated();
  EXPECT_EQ(Process().TrayIconCount(), 1) << "the icon is put back once, never doubled";
  form->OnTrayCallback(0, kMouseLeftDown);
  EXPECT_TRUE(form->WindowsShown());
}

TEST_F(StartupTest, ProgramFolderWithChineseName) {
  programDir_ = "C:\\程序 文件\\Quorvel 启动器\\";
  InstallConfig(WithoutRectBackground());
  app::RoundHot* form = Launch();
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(desktop_->MessageBoxes().empty());
  desktop_->Advance(100);
  EXPECT_EQ(form->RectItemCount(), 5);
  EXPECT_EQ(std::string(LoadConfigDom().document_element().child("RectBackground").first_child().child("IconPath").child_value("Define")),
            "C:\\程序 文件\\Quorvel 启动器\\Icon\\SysTool\\MyComputer.png");
}

}  // namespace
}  // namespace qv
