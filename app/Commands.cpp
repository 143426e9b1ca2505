#include "app/Commands.h"

#include <string>

#include "config/Texts.h"

namespace qv::app {

namespace {

bool IsDockMenu(MenuKind kind) { return kind == MenuKind::RectBG || kind == MenuKind::RectIcon; }

}  // namespace

std::optional<MenuKind> MenuForPlace(const std::optional<catalogue::WindowPlace>& place) {
  using catalogue::WindowRole;
  if (!place) return std::nullopt;
  const bool round = place->presentation == catalogue::Presentation::Round;
  switch (place->role) {
    case WindowRole::Skin:
      return round ? MenuKind::Center : MenuKind::RectBG;
    case WindowRole::Center:
      return MenuKind::Center;
    case WindowRole::Item:
      return round ? MenuKind::Soft : MenuKind::RectIcon;
    case WindowRole::Main:
    case WindowRole::Label:
      break;
  }
  return std::nullopt;
}

CommandDispatch::CommandDispatch(Platform& platform, const catalogue::WindowTable& windows, const BoxTracker& boxes,
                                 IWindowCommands& shown, IItemCommands& items)
    : platform_(platform), windows_(windows), boxes_(boxes), shown_(shown), items_(items) {}

void CommandDispatch::OnRightRelease(WindowId window, Point screen) {
  if (const std::optional<MenuKind> kind = MenuForPlace(windows_.Lookup(window))) OpenMenu(*kind, screen, window);
}

void CommandDispatch::OpenMenu(MenuKind kind, Point screen, WindowId target) {
  if (boxes_.BoxOpen()) return;
  // The ring comes up first so that the menu does not open over a ring half
  // hidden by other windows.
  if (kind == MenuKind::Center) shown_.RaiseRoundWindows();
  const std::optional<int> chosen = platform_.menus.ShowPopupMenu(MenuOf(kind), screen);
  if (chosen) Run(static_cast<Command>(*chosen), kind, target);
}

void CommandDispatch::Run(Command command, MenuKind from, WindowId target) {
  if (boxes_.BoxOpen()) return;
  switch (command) {
    case Command::None:
      break;
    case Command::OpenSettings:
      items_.OpenSettings();
      break;
    case Command::OpenDockSettings:
      shown_.CollapseRectBar();
      items_.OpenDockSettings();
      break;
    case Command::MinimizeToTray:
      shown_.MinimizeToTray();
      break;
    case Command::RestoreFromTray:
      shown_.RestoreFromTray();
      break;
    case Command::ClearAll:
      items_.ClearAll();
      break;
    case Command::NextBackground:
      shown_.NextBackground();
      break;
    case Command::NextCenter:
      shown_.NextCenter();
      break;
    case Command::ToggleRound:
    case Command::ToggleRect:
      // From the dock's own menus the bar is at rest before it goes or stays,
      // so that it comes back at rest.
      if (IsDockMenu(from)) shown_.CollapseRectBar();
      command == Command::ToggleRound ? shown_.ToggleRound() : shown_.ToggleRect();
      break;
    case Command::OpenHelp:
      OpenHelp();
      break;
    case Command::OpenAbout:
      shown_.CollapseRectBar();
      items_.OpenAbout();
      break;
    case Command::Exit:
      shown_.Exit();
      break;
    case Command::DeleteItem:
      if (target != kNoWindow) items_.DeleteItem(target);
      break;
    case Command::Properties:
      if (target != kNoWindow) items_.Properties(target);
      break;
  }
}

bool CommandDispatch::CenterClick(int centerAction) {
  shown_.RaiseRoundWindows();
  const Command command = CenterCommandOf(centerAction);
  if (command == Command::None) {
    // A value the settings never offer, from a hand-edited file: a click that
    // runs a guess (or the first command) would surprise more than one that
    // does nothing; the log says why nothing happened.
    platform_.diagnostics.Report(Severity::Warning, "The center action " + std::to_string(centerAction) +
                                                        " names no command of the center menu: the click runs nothing");
    return false;
  }
  Run(command, MenuKind::Center);
  return true;
}

void CommandDispatch::OpenHelp() {
  shown_.CollapseRectBar();
  // The page in the interface's language; the English one when it is missing.
  std::string page = platform_.files.ProgramDir() + kChineseHelpPage;
  if (config::CurrentLanguage() != config::Language::Chinese || !platform_.files.FileExists(page))
    page = platform_.files.ProgramDir() + kHelpPage;
  if (!platform_.files.FileExists(page)) {
    platform_.diagnostics.Report(Severity::Warning, "The help page is missing: " + page);
    return;
  }
  if (!platform_.shell.Execute(page, "", "")) {
    // No program to show web pages; nothing the user can do about it here.
    platform_.diagnostics.Report(Severity::Warning, "The shell refused to open the help page " + page);
  }
}

}  // namespace qv::app
