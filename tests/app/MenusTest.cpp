// The context menus on the running program: which menu a right release opens
// on which window and what choosing each item does.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/Menus.h"
#include "settings/SetupForm.h"
#include "tests/round/RingScenario.h"

namespace qv {
namespace {

using testing::RingScenario;

class MenusTest : public RingScenario {
 protected:
  void SetUp() override {
    RingScenario::SetUp();
    CopyArt();  // the dock's theme, so that the bar has a picture to click
  }
  // The dock's bar and its first item, as the dock made them at start.
  void MakeDockWindows(app::MainForm& form) {
    bar_ = form.Dock().Bar();
    dockItem_ = form.Slots()[21].Window;
    ASSERT_NE(bar_, kNoWindow);
    ASSERT_NE(dockItem_, kNoWindow) << "the start makes the dock's first item";
  }
  Point Middle(WindowId w) const {
    const Rect b = desktop_->FindWindow(w)->bounds;
    return {b.left + b.width / 2, b.top + b.height / 2};
  }
  // Right click on the window, or the tray icon's right release.
  void OpenOn(app::MainForm& form, const std::string& where) {
    if (where == "tray") {
      form.OnTrayCallback(100, kMouseRightUp);
    } else if (where == "RectForm") {
      // On the bar's left cap, where no item covers it.
      const Rect b = desktop_->FindWindow(bar_)->bounds;
      Click({b.left + 8, b.top + b.height / 2}, MouseButton::Right);
    } else if (where == "Rect1") {
      Click(Middle(dockItem_), MouseButton::Right);
    } else {
      Click(PointOn(where), MouseButton::Right);
    }
  }
  std::string ShowRoundInFile() {
    return LoadConfigDom()
        .document_element()
        .child("Setup")
        .child("Basic")
        .child("ShowRound")
        .attribute("IsShowRound")
        .value();
  }
  std::string ShowRectInFile() {
    return LoadConfigDom()
        .document_element()
        .child("Setup")
        .child("Basic")
        .child("ShowRect")
        .attribute("IsShowRect")
        .value();
  }

  WindowId bar_ = kNoWindow;
  WindowId dockItem_ = kNoWindow;
};

// Which menu each window opens; what the menus hold is the menus' own table.
TEST_F(MenusTest, EachWindowOpensItsMenu) {
  struct Case {
    std::string where;
    std::string menu;
  };
  const Case cases[] = {
      {"BackGroundForm", "PopupMenuCenter"}, {"CenterForm", "PopupMenuCenter"}, {"tray", "PopupMenuTaskBar"},
      {"Circle3", "PopupMenuSoft"},          {"RectForm", "PopupMenuRectBG"},   {"Rect1", "PopupMenuRectIcon"},
  };
  SetItems({3});
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  MakeDockWindows(*form);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    const std::size_t before = desktop_->MenusShown().size();
    OpenOn(*form, c.where);
    ASSERT_EQ(desktop_->MenusShown().size(), before + 1);
    const headless::MenuRecord& shown = desktop_->MenusShown().back();
    EXPECT_EQ(shown.menu.name, c.menu);
    EXPECT_FALSE(shown.answer) << "closed unchosen";
  }
  // A left click opens nothing; neither does a right click on the label or the main form.
  const std::size_t before = desktop_->MenusShown().size();
  Click(PointOn("CenterForm"));
  Click(ItemMiddle(3));
  EXPECT_EQ(desktop_->MenusShown().size(), before);
}

TEST_F(MenusTest, TheCenterMenuRaisesTheRingBeforeItShows) {
  SetItems({3});
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  MakeDockWindows(*form);  // the dock's windows now cover the ring in the z-order
  ASSERT_NE(desktop_->ZOrder().back(), Named("Circle3")->id);
  Click(PointOn("CenterForm"), MouseButton::Right);
  EXPECT_EQ(desktop_->ZOrder().back(), Named("Circle3")->id);
}

// Every command that changes what a user sees, from every menu that offers it.
TEST_F(MenusTest, EachCommandWorksFromEachMenuThatOffersIt) {
  enum class Effect { Hidden, RoundOff, RectOff, NextSkin, NextCenter, Help, Exit };
  struct Case {
    std::string where;
    std::string caption;
    Effect effect;
  };
  const Case cases[] = {
      {"CenterForm", "最小化窗口(&M)", Effect::Hidden},
      {"RectForm", "最小化窗口(&M)", Effect::Hidden},
      {"Rect1", "最小化窗口(&M)", Effect::Hidden},
      {"BackGroundForm", "开/关圆形窗口(&Y)", Effect::RoundOff},
      {"tray", "开/关圆形窗口(&Y)", Effect::RoundOff},
      {"RectForm", "开/关圆形窗口(&Y)", Effect::RoundOff},
      {"Rect1", "开/关圆形窗口(&Y)", Effect::RoundOff},
      {"CenterForm", "开/关矩形窗口(&Z)", Effect::RectOff},
      {"tray", "开/关矩形窗口(&Z)", Effect::RectOff},
      {"RectForm", "开/关矩形窗口(&Z)", Effect::RectOff},
      {"Rect1", "开/关矩形窗口(&Z)", Effect::RectOff},
      {"CenterForm", "切换背景(&G)", Effect::NextSkin},
      {"CenterForm", "切换中央图标(&I)", Effect::NextCenter},
      {"CenterForm", "帮助(&H)", Effect::Help},
      {"tray", "帮助(&H)", Effect::Help},
      {"RectForm", "帮助(&H)", Effect::Help},
      {"Rect1", "帮助(&H)", Effect::Help},
      {"BackGroundForm", "退出(&X)", Effect::Exit},
      {"tray", "退出(&X)", Effect::Exit},
      {"RectForm", "退出(&X)", Effect::Exit},
      {"Rect1", "退出(&X)", Effect::Exit},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where + " " + c.caption);
    TearDown();
    SetUp();
    Put(programDir_ + "Help\\index.html", "<html></html>");
    SetItems({3, 15});
    app::MainForm* form = Start();
    ASSERT_NE(form, nullptr);
    MakeDockWindows(*form);
    const int background = form->Settings().BackgroundIndex;
    const int center = form->Settings().CenterIndex;
    desktop_->ScriptMenuCaption(c.caption);
    OpenOn(*form, c.where);
    ASSERT_EQ(desktop_->MenusShown().back().answer.has_value(), true);
    switch (c.effect) {
      case Effect::Hidden:
        EXPECT_FALSE(form->WindowsShown());
        EXPECT_TRUE(Process().Minimized());
        break;
      case Effect::RoundOff:
        EXPECT_FALSE(form->Settings().IsShowRound);
        for (const char* name : {"BackGroundForm", "CenterForm", "Circle3", "Circle15"})
          EXPECT_FALSE(Process().IsVisible(Named(name)->id)) << name;
        EXPECT_TRUE(Process().IsVisible(bar_) && Process().IsVisible(dockItem_)) << "the dock stays";
        EXPECT_EQ(ShowRoundInFile(), "False");
        EXPECT_EQ(ShowRectInFile(), "True");
        break;
      case Effect::RectOff:
        EXPECT_FALSE(form->Settings().IsShowRect);
        EXPECT_FALSE(Process().IsVisible(bar_));
        EXPECT_FALSE(Process().IsVisible(dockItem_));
        EXPECT_TRUE(Process().IsVisible(Named("Circle3")->id)) << "the ring stays";
        EXPECT_EQ(ShowRectInFile(), "False");
        EXPECT_EQ(ShowRoundInFile(), "True");
        break;
      case Effect::NextSkin:
        EXPECT_NE(form->Settings().BackgroundIndex, background);
        EXPECT_EQ(form->Settings().CenterIndex, center);
        break;
      case Effect::NextCenter:
        EXPECT_NE(form->Settings().CenterIndex, center);
        EXPECT_EQ(form->Settings().BackgroundIndex, background);
        break;
      case Effect::Help:
        ASSERT_EQ(desktop_->Launches().size(), 1u);
        EXPECT_EQ(desktop_->Launches()[0].file, "C:\\Quorvel\\Help\\index.html");
        break;
      case Effect::Exit:
        EXPECT_TRUE(form->Closed());
        EXPECT_TRUE(Process().QuitRequested());
        EXPECT_EQ(Process().TrayIconCount(), 0);
        EXPECT_TRUE(desktop_->MessageBoxes().empty()) << "no question before leaving";
        break;
    }
  }
}

TEST_F(MenusTest, TheSwitchesComeBackOnTheSecondChoiceAndLastWithoutAFile) {
  SetItems({3});
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  for (const char* expected : {"False", "True"}) {
    desktop_->ScriptMenuCaption("开/关圆形窗口(&Y)");
    form->OnTrayCallback(100, kMouseRightUp);
    EXPECT_EQ(ShowRoundInFile(), expected);
    EXPECT_EQ(Process().IsVisible(Named("Circle3")->id), std::string(expected) == "True");
  }
  std::filesystem::remove(ConfigFile());
  desktop_->ScriptMenuCaption("开/关圆形窗口(&Y)");
  form->OnTrayCallback(100, kMouseRightUp);
  EXPECT_FALSE(form->Settings().IsShowRound);
  EXPECT_FALSE(Process().IsVisible(Named("CenterForm")->id));
  EXPECT_FALSE(std::filesystem::exists(ConfigFile())) << "no file is made for it";
}

TEST_F(MenusTest, TheTrayMenuRestoresFromTheTray) {
  SetItems({3});
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  form->MinimizeToTray();
  desktop_->ScriptMenuCaption("还原(&R)");
  form->OnTrayCallback(100, kMouseRightUp);
  EXPECT_TRUE(form->WindowsShown());
  EXPECT_TRUE(Process().IsVisible(Named("Circle3")->id));
}

TEST_F(MenusTest, ClearAllAsksAndClearsOnlyOnYes) {
  for (const MessageBoxResult answer : {MessageBoxResult::No, MessageBoxResult::Yes}) {
    SCOPED_TRACE(answer == MessageBoxResult::Yes ? "Yes" : "No");
    TearDown();
    SetUp();
    SetItems({3, 15});
    app::MainForm* form = Start();
    ASSERT_NE(form, nullptr);
    desktop_->ScriptMessageBoxAnswer(answer);
    desktop_->ScriptMenuCaption("清除所有图标(&C)");
    Click(PointOn("CenterForm"), MouseButton::Right);
    ASSERT_EQ(desktop_->MessageBoxes().size(), 1u);
    EXPECT_EQ(desktop_->MessageBoxes()[0].text, "确定要清除所有图标吗？");
    EXPECT_EQ(desktop_->MessageBoxes()[0].caption, "提示");
    EXPECT_EQ(desktop_->MessageBoxes()[0].buttons, MessageBoxButtons::YesNo);
    EXPECT_EQ(desktop_->MessageBoxes()[0].icon, MessageBoxIcon::Information);
    const bool yes = answer == MessageBoxResult::Yes;
    EXPECT_EQ(Process().TimerRunning(TimerClearIcon), yes);
    desktop_->Advance(30 * 8);
    EXPECT_EQ(Item(3) == nullptr, yes);
    EXPECT_EQ(Item(15) == nullptr, yes);
    EXPECT_EQ(
        std::string(LoadConfigDom().document_element().child("RoundBackground").child("Circle15").child_value("File")),
        yes ? "" : "C:\\Apps\\app15.exe");
  }
}

// A box's loop lets menus, the tray and the hot key in; while the clear
// question is up they do nothing, so nothing is asked or cleared twice.
TEST_F(MenusTest, CommandsWaitWhileTheClearQuestionIsUp) {
  struct Case {
    const char* name;
    std::function<void(app::MainForm&)> input;
  };
  const Case cases[] = {
      {"clear all again from the center menu",
       [this](app::MainForm&) {
         desktop_->ScriptMenuCaption("清除所有图标(&C)");
         Click(PointOn("CenterForm"), MouseButton::Right);
       }},
      {"the tray menu's minimize",
       [](app::MainForm& form) { form.Commands().Run(app::Command::MinimizeToTray, app::MenuKind::TaskBar); }},
      {"the hot key", [this](app::MainForm&) { desktop_->PressHotKey(kModAlt, 'C'); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    SetItems({3, 15});
    app::MainForm* form = Start();
    ASSERT_NE(form, nullptr);
    Boxes().During([&] {
      c.input(*form);
      // The clear's animation would end inside the box, as its timers run there.
      desktop_->Advance(30 * 8);
    });
    form->Commands().Run(app::Command::ClearAll, app::MenuKind::Center);
    EXPECT_EQ(desktop_->MessageBoxes().size(), 1u) << "asked once";
    EXPECT_TRUE(form->WindowsShown());
    desktop_->Advance(30 * 8);
    EXPECT_EQ(Item(3), nullptr) << "the answer still counts";
  }
}

// The item menus' properties open the dialog of the item they were opened
// on, ring or dock; every way the item can leave closes that dialog.
TEST_F(MenusTest, PropertiesOpenForTheItemAndCloseWhenItGoes) {
  enum class Removal { Delete, ClearAll, DockDelete };
  struct Case {
    std::string where;
    Removal removal;
  };
  const Case cases[] = {
      {"Circle3", Removal::Delete},
      {"Circle15", Removal::ClearAll},
      {"Rect1", Removal::DockDelete},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    TearDown();
    SetUp();
    SetItems({3, 15});
    app::MainForm* form = Start();
    ASSERT_NE(form, nullptr);
    MakeDockWindows(*form);
    const int slot = c.where == "Rect1" ? 21 : std::stoi(c.where.substr(6));
    desktop_->ScriptMenuCaption("属性(&R)");
    OpenOn(*form, c.where);
    headless::HeadlessForms& forms = Process().Forms();
    ASSERT_TRUE(form->Properties().IsOpen());
    EXPECT_EQ(forms.Text(form->Properties().Form(), "EditName"), form->Slots()[slot].Hint);
    const FormId dialog = form->Properties().Form();
    switch (c.removal) {
      case Removal::Delete:
        form->Removal().DeleteItem(form->Slots()[slot].Window);
        desktop_->Advance(30 * 8);
        break;
      case Removal::ClearAll:
        desktop_->ScriptMessageBoxAnswer(MessageBoxResult::Yes);
        form->NClearClick();
        desktop_->Advance(30 * 8);
        break;
      case Removal::DockDelete:
        form->Removal().DeleteItem(form->Slots()[slot].Window);
        break;
    }
    EXPECT_FALSE(forms.FormExists(dialog)) << "the dialog of a removed item closes";
    EXPECT_FALSE(form->Properties().IsOpen());
  }
}

// The ring's and the tray's "设置" open a new dialog on its first page and
// leave an open one on its page; the dock's go to the dock's page.
TEST_F(MenusTest, SettingsOpenFromEachMenuOnTheirPage) {
  struct Case {
    const char* where;
    int page;
  };
  for (const Case& c : {Case{"CenterForm", 0}, Case{"tray", 0}, Case{"RectForm", settings::kPageRect},
                        Case{"Rect1", settings::kPageRect}}) {
    SCOPED_TRACE(c.where);
    TearDown();
    SetUp();
    app::MainForm* form = Start();
    ASSERT_NE(form, nullptr);
    MakeDockWindows(*form);
    headless::HeadlessForms& forms = Process().Forms();
    desktop_->ScriptMenuCaption("设置(&S)");
    OpenOn(*form, c.where);
    ASSERT_TRUE(form->Setup().IsOpen());
    const FormId dialog = form->Setup().Form();
    EXPECT_EQ(forms.Page(dialog), c.page);
    forms.SelectPage(dialog, 2);
    desktop_->ScriptMenuCaption("设置(&S)");
    OpenOn(*form, c.where);
    EXPECT_EQ(form->Setup().Form(), dialog) << "one dialog";
    EXPECT_EQ(forms.Page(dialog), c.page == 0 ? 2 : settings::kPageRect);
  }
}

TEST_F(MenusTest, AboutOpensFromEachMenuThatOffersIt) {
  for (const std::string where : {"CenterForm", "tray", "RectForm", "Rect1"}) {
    SCOPED_TRACE(where);
    TearDown();
    SetUp();
    app::MainForm* form = Start();
    ASSERT_NE(form, nullptr);
    MakeDockWindows(*form);
    desktop_->ScriptMenuCaption("关于(&A)");
    OpenOn(*form, where);
    ASSERT_TRUE(form->About().IsOpen());
    const headless::FormRecord* about = Process().Forms().Find(form->About().Form());
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->visible);
    EXPECT_EQ(about->design.name, "FormAbout");
  }
}

TEST_F(MenusTest, DeleteRemovesTheItemTheMenuWasOpenedOn) {
  SetItems({3, 15});
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  const WindowId fifteen = Named("Circle15")->id;
  desktop_->ScriptMenuCaption("删除(&D)");
  Click(ItemMiddle(15), MouseButton::Right);
  EXPECT_TRUE(Process().TimerRunning(TimerDestroyIcon)) << "through the delete animation";
  EXPECT_NE(desktop_->FindWindow(fifteen), nullptr);
  Click(ItemMiddle(3));  // the last release moves to another item meanwhile
  desktop_->Advance(40 * 7);
  EXPECT_EQ(desktop_->FindWindow(fifteen), nullptr);
  EXPECT_NE(Item(3), nullptr);
  EXPECT_STREQ(LoadConfigDom().document_element().child("RoundBackground").child("Circle15").child_value("File"), "");
}

TEST_F(MenusTest, ExitWritesTheShutdownSave) {
  SetItems({3});
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  Drag(PointOn("BackGroundForm"), {PointOn("BackGroundForm").x + 40, PointOn("BackGroundForm").y + 30});
  const int left = form->Settings().PositionLeft, top = form->Settings().PositionTop;
  ASSERT_NE(left, 600);
  desktop_->ScriptMenuCaption("切换中央图标(&I)");
  Click(PointOn("CenterForm"), MouseButton::Right);
  const int centerIndex = form->Settings().CenterIndex;
  desktop_->ScriptMenuCaption("退出(&X)");
  form->OnTrayCallback(100, kMouseRightUp);
  ASSERT_TRUE(form->Closed());
  const pugi::xml_document doc = LoadConfigDom();
  const pugi::xml_node basic = doc.document_element().child("Setup").child("Basic");
  EXPECT_EQ(basic.child("Position").attribute("Left").as_int(), left);
  EXPECT_EQ(basic.child("Position").attribute("Top").as_int(), top);
  EXPECT_EQ(basic.child("Center").attribute("Index").as_int(), centerIndex);
}

TEST_F(MenusTest, ACenterClickRunsTheChosenCenterAction) {
  struct Case {
    const char* action;
    bool asks, closes;
  };
  const Case cases[] = {{"1", true, false}, {"7", false, true}, {"8", false, false}, {"4", false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.action);
    TearDown();
    SetUp();
    Basic().child("Center").attribute("Action").set_value(c.action);
    SetItems({3});
    app::MainForm* form = Start();
    ASSERT_NE(form, nullptr);
    desktop_->ScriptMessageBoxAnswer(MessageBoxResult::No);
    Click(PointOn("CenterForm"));
    EXPECT_EQ(desktop_->MessageBoxes().size(), c.asks ? 1u : 0u);
    EXPECT_EQ(form->Closed(), c.closes);
    EXPECT_EQ(Process().QuitRequested(), c.closes);
    EXPECT_TRUE(desktop_->Launches().empty()) << "the center button launches nothing";
    EXPECT_TRUE(desktop_->MenusShown().empty());
  }
}

}  // namespace
}  // namespace qv
