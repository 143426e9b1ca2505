// The context menus on the running program: which menu a right release opens
// on which window and what choosing each item does.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/Menus.h"
#include "settings/SetupForm.h"
#include "tests/support/Scenario.h"

namespace qv {
namespace {

using test::ItemScenario;

class MenusTest : public ItemScenario {
 protected:
  // Right click on the window where no other covers it, or the tray icon's right release.
  void OpenOn(app::MainForm& form, const std::string& where) {
    if (where == "tray") return form.OnTrayCallback(100, kMouseRightUp);
    const Rect b = Named(where)->bounds;  // a dock item in its middle, as the row grows under the pointer
    Click(where == "Rect1" ? Point{b.left + b.width / 2, b.top + b.height / 2} : PointOn(where),
          MouseButton::Right);
  }
};

// Which menu each window opens (what the menus hold is the menus' own
// table); the center's raises the ring first. A left click opens none: on the
// center it runs the action the file names.
TEST_F(MenusTest, EachWindowOpensItsMenuAndTheCenterClickItsAction) {
  const std::pair<std::string, std::string> cases[] = {
      {"BackGroundForm", "PopupMenuCenter"}, {"CenterForm", "PopupMenuCenter"},
      {"tray", "PopupMenuTaskBar"},          {"Circle3", "PopupMenuSoft"},
      {"RectForm", "PopupMenuRectBG"},       {"Rect1", "PopupMenuRectIcon"},
  };
  Basic().child("Center").attribute("Action").set_value("7");
  SetItems({3});
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  // The dock's windows, made after the ring's, cover it in the z-order.
  ASSERT_NE(desktop_->ZOrder().back(), Named("Circle3")->id);
  for (const auto& [where, menu] : cases) {
    SCOPED_TRACE(where);
    const std::size_t before = desktop_->MenusShown().size();
    OpenOn(*form, where);
    ASSERT_EQ(desktop_->MenusShown().size(), before + 1);
    EXPECT_EQ(desktop_->MenusShown().back().menu.name, menu);
    EXPECT_FALSE(desktop_->MenusShown().back().answer) << "closed unchosen";
    if (where == "BackGroundForm") {
      EXPECT_EQ(desktop_->ZOrder().back(), Named("Circle3")->id) << "the ring raised before the menu";
    }
  }
  const std::size_t before = desktop_->MenusShown().size();
  Click(ItemMiddle(3));
  EXPECT_FALSE(form->Closed());
  Click(PointOn("CenterForm"));
  EXPECT_TRUE(form->Closed());
  EXPECT_EQ(desktop_->MenusShown().size(), before);
}

// Help and about reach the program (which menu offers which command is the menus' own table,
// tested with the dispatch; minimizing is the start-up failure's; the next skin and the exit
// from a real menu are the Wine menus scenario's).
TEST_F(MenusTest, HelpAndAboutReachTheProgram) {
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  Put(programDir_ + "Help\\index.html", "<html></html>");
  // The page in the interface's language; the English one stands in for a missing Chinese one.
  const config::Language was = config::CurrentLanguage();
  const struct {
    config::Language language;
    bool putChinese;
    const char* opened;
  } cases[] = {{config::Language::Chinese, false, "Help\\index.html"},
               {config::Language::Chinese, true, "Help\\index.zh.html"},
               {config::Language::English, false, "Help\\index.html"}};
  for (const auto& c : cases) {
    if (c.putChinese) Put(programDir_ + "Help\\index.zh.html", "<html></html>");
    config::SetLanguage(c.language);
    form->Commands().Run(app::Command::OpenHelp, app::MenuKind::TaskBar);
    ASSERT_FALSE(desktop_->Launches().empty());
    EXPECT_EQ(desktop_->Launches().back().file, programDir_ + c.opened);
  }
  config::SetLanguage(was);
  form->Commands().Run(app::Command::OpenAbout, app::MenuKind::TaskBar);
  EXPECT_TRUE(form->About().IsOpen());
  EXPECT_TRUE(form->WindowsShown());
  EXPECT_TRUE(desktop_->MessageBoxes().empty());
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
         desktop_->ScriptMenuCommand(static_cast<int>(app::Command::ClearAll));
         Click(PointOn("CenterForm"), MouseButton::Right);
       }},
      {"the hot key", [this](app::MainForm&) { desktop_->PressHotKey(kModAlt, 'C'); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    app::MainForm* form = StartAfresh({3, 15});
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
    EXPECT_EQ(CircleWindow(3), nullptr) << "the answer still counts";
  }
}

// The item menus' properties open the dialog of the item they were opened
// on, ring or dock; every way the item can leave closes that dialog.
TEST_F(MenusTest, PropertiesOpenForTheItemAndCloseWhenItGoes) {
  const std::pair<std::string, bool> cases[] = {{"Circle3", false}, {"Circle15", true}, {"Rect1", false}};
  for (const auto& [where, clearAll] : cases) {
    SCOPED_TRACE(where);
    app::MainForm* form = StartAfresh({3, 15});
    ASSERT_NE(form, nullptr);
    const int slot = where == "Rect1" ? 21 : std::stoi(where.substr(6));
    desktop_->ScriptMenuCommand(static_cast<int>(app::Command::Properties));
    OpenOn(*form, where);
    headless::HeadlessForms& forms = Process().Forms();
    ASSERT_TRUE(form->Properties().IsOpen());
    EXPECT_EQ(forms.Text(form->Properties().Form(), "EditName"), form->Slots()[slot].Hint);
    const FormId dialog = form->Properties().Form();
    if (clearAll) {
      desktop_->ScriptMessageBoxAnswer(MessageBoxResult::Yes);
      form->NClearClick();
    } else {
      form->Removal().DeleteItem(form->Slots()[slot].Window);
    }
    desktop_->Advance(30 * 8);
    EXPECT_FALSE(forms.FormExists(dialog)) << "the dialog of a removed item closes";
    EXPECT_FALSE(form->Properties().IsOpen());
  }
}

// The ring's and the tray's "设置" open a new dialog on its first page and
// leave an open one on its page; the dock's go to the dock's page.
TEST_F(MenusTest, SettingsOpenFromEachMenuOnTheirPage) {
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  headless::HeadlessForms& forms = Process().Forms();
  const std::pair<const char*, int> steps[] = {
      {"tray", 0}, {"Rect1", settings::kPageRect}, {"tray", settings::kPageRect}};
  for (const auto& [where, page] : steps) {
    SCOPED_TRACE(where);
    const app::Command command = where[0] == 't' ? app::Command::OpenSettings : app::Command::OpenDockSettings;
    desktop_->ScriptMenuCommand(static_cast<int>(command));
    OpenOn(*form, where);
    ASSERT_TRUE(form->Setup().IsOpen());
    EXPECT_EQ(forms.Page(form->Setup().Form()), page);
    if (page == 0) forms.SelectPage(form->Setup().Form(), 2);
  }
  EXPECT_EQ(forms.Forms().size(), 1u) << "one dialog";
}

TEST_F(MenusTest, DeleteRemovesTheItemTheMenuWasOpenedOn) {
  SetItems({3, 15});
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  const WindowId fifteen = Named("Circle15")->id;
  desktop_->ScriptMenuCommand(static_cast<int>(app::Command::DeleteItem));
  Click(ItemMiddle(15), MouseButton::Right);
  EXPECT_TRUE(Process().TimerRunning(TimerDestroyIcon)) << "through the delete animation";
  EXPECT_NE(desktop_->FindWindow(fifteen), nullptr);
  Click(ItemMiddle(3));  // the last release moves to another item meanwhile
  desktop_->Advance(40 * 7);
  EXPECT_EQ(desktop_->FindWindow(fifteen), nullptr);
  EXPECT_NE(CircleWindow(3), nullptr);
  EXPECT_STREQ(FileCircle(LoadConfigDom(), 15).child_value("File"), "");
}

}  // namespace
}  // namespace qv
