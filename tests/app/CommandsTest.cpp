// The command dispatch on its own: which hook each command reaches, in which
// order, for the center button's values and from each kind of menu.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "app/Commands.h"
#include "platform/headless/HeadlessDesktop.h"

namespace qv {
namespace {

using app::Command;
using app::CommandDispatch;
using app::MenuKind;

// A dispatch whose targets write their names into a trace.
struct Traced final : app::IWindowCommands, app::IItemCommands {
  std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("quorvel-commands-" + std::to_string(::getpid()));
  headless::HeadlessDesktop desktop{root, QV_ART_DIR};
  headless::HeadlessProcess process{desktop};
  std::string trace;
  catalogue::WindowTable windows;
  app::BoxTracker boxes{process.AsPlatform().dialogs};
  CommandDispatch dispatch{process.AsPlatform(), windows, boxes, *this, *this};

  ~Traced() override { std::filesystem::remove_all(root); }
  void Note(const std::string& name) { trace += name + " "; }
  void MinimizeToTray() override { Note("min"); }
  void RestoreFromTray() override { Note("restore"); }
  void ClearAll() override { Note("clear"); }
  void NextBackground() override { Note("bg"); }
  void NextCenter() override { Note("center"); }
  void ToggleRound() override { Note("round"); }
  void ToggleRect() override { Note("rect"); }
  void RaiseRoundWindows() override { Note("raise"); }
  void CollapseRectBar() override { Note("collapse"); }
  void OpenSettings() override { Note("settings"); }
  void OpenDockSettings() override { Note("docksettings"); }
  void OpenAbout() override { Note("about"); }
  void Properties(WindowId w) override { Note("properties" + std::to_string(w)); }
  void DeleteItem(WindowId w) override { Note("delete" + std::to_string(w)); }
  void Exit() override { Note("exit"); }
};

TEST(CenterClick, WalksTheCenterMenuByTag) {
  struct Case {
    int action;
    const char* trace;  // the raise always comes first
    bool ran;
  };
  const Case cases[] = {
      {0, "raise min ", true},  // the first item tagged 0 is NMin, not a separator or a switch
      {1, "raise clear ", true},
      {4, "raise settings ", true},
      {5, "raise collapse ", true},  // help, whose page is missing here
      {6, "raise collapse about ", true},
      {7, "raise exit ", true},
      {8, "raise ", false},
      {-1, "raise ", false},
  };
  for (const Case& c : cases) {
    Traced t;
    EXPECT_EQ(t.dispatch.CenterClick(c.action), c.ran) << c.action;
    EXPECT_EQ(t.trace, c.trace) << c.action;
    // A value that runs nothing leaves a trace in the log; so does help's missing page, handing nothing
    // to the shell (the page that is there opens in the menus' test).
    const auto& reports = t.process.Reports();
    EXPECT_EQ(!reports.empty(), !c.ran || c.action == 5) << c.action;
    if (c.action == 5 && !reports.empty()) {
      EXPECT_NE(reports[0].text.find("Help\\index.html"), std::string::npos);
    }
    EXPECT_TRUE(t.desktop.Launches().empty());
    EXPECT_TRUE(t.desktop.MenusShown().empty()) << "the center click shows no menu";
  }
}

TEST(CommandDispatch, TheDockMenusReturnTheBarToRestBeforeTheSwitches) {
  struct Case {
    Command command;
    MenuKind from;
    const char* trace;
  };
  const Case cases[] = {
      {Command::ToggleRound, MenuKind::Center, "round "},
      {Command::ToggleRound, MenuKind::RectBG, "collapse round "},
      {Command::ToggleRect, MenuKind::RectIcon, "collapse rect "},
      {Command::OpenDockSettings, MenuKind::RectBG, "collapse docksettings "},
      {Command::DeleteItem, MenuKind::Soft, "delete7 "},
  };
  for (const Case& c : cases) {
    Traced t;
    t.dispatch.Run(c.command, c.from, 7);
    EXPECT_EQ(t.trace, c.trace) << static_cast<int>(c.command) << " from " << static_cast<int>(c.from);
  }
  Traced t;
  t.dispatch.Run(Command::DeleteItem, MenuKind::Soft, kNoWindow);
  EXPECT_EQ(t.trace, "") << "an item command without its item does nothing";
}

TEST(CommandDispatch, TheMenuRunsTheChosenCommandOrNothing) {
  struct Case {
    MenuKind kind;
    Command chosen;  // None closes the menu unchosen
    const char* trace;
  };
  const Case cases[] = {
      {MenuKind::Center, Command::Exit, "raise exit "},  // the ring comes up before the menu
      {MenuKind::Center, Command::None, "raise "},
      {MenuKind::TaskBar, Command::RestoreFromTray, "restore "},
      {MenuKind::Soft, Command::DeleteItem, "delete9 "},
      {MenuKind::RectIcon, Command::MinimizeToTray, "min "},  // in the submenu
      {MenuKind::RectIcon, Command::RestoreFromTray, ""},     // not in this menu
  };
  for (const Case& c : cases) {
    Traced t;
    if (c.chosen != Command::None) t.desktop.ScriptMenuCommand(static_cast<int>(c.chosen));
    t.dispatch.OpenMenu(c.kind, {30, 40}, 9);
    EXPECT_EQ(t.trace, c.trace) << static_cast<int>(c.chosen);
    ASSERT_EQ(t.desktop.MenusShown().size(), 1u);
    EXPECT_EQ(t.desktop.MenusShown()[0].screen, (Point{30, 40}));
  }
}

}  // namespace
}  // namespace qv
