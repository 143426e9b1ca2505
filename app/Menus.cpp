#include "app/Menus.h"

#include "config/Texts.h"

namespace qv::app {

namespace {

using T = config::TextKey;

// Captions in the language in use when the menu is made.
MenuItem Item(const char* name, T caption, Command command, int tag = 0) {
  MenuItem item;
  item.name = name;
  item.caption = config::Tr(caption);
  item.command = static_cast<int>(command);
  item.tag = tag;
  return item;
}

// The part the dock bar's menu and the dock item's submenu share; the names
// differ so that each item can be found by its own.
struct DockCommonNames {
  const char *setup, *min, *sep1, *round, *rect, *sep2, *help, *about, *close;
};

std::vector<MenuItem> DockCommon(const DockCommonNames& n) {
  return {Item(n.setup, T::MenuSettings, Command::OpenDockSettings),
          Item(n.min, T::MenuMinimize, Command::MinimizeToTray),
          MenuItem::Separator(n.sep1),
          Item(n.round, T::MenuToggleRound, Command::ToggleRound),
          Item(n.rect, T::MenuToggleRect, Command::ToggleRect),
          MenuItem::Separator(n.sep2),
          Item(n.help, T::MenuHelp, Command::OpenHelp),
          Item(n.about, T::MenuAbout, Command::OpenAbout),
          Item(n.close, T::MenuExit, Command::Exit)};
}

}  // namespace

Menu PopupMenuCenter() {
  return {
      "PopupMenuCenter",
      {Item("NSetup", T::MenuSettings, Command::OpenSettings, 4),
       Item("NMin", T::MenuMinimize, Command::MinimizeToTray, 0), Item("NClear", T::MenuClearAll, Command::ClearAll, 1),
       MenuItem::Separator("N1"), Item("NChangeBG", T::MenuNextBackground, Command::NextBackground, 2),
       Item("NChangCenter", T::MenuNextCenter, Command::NextCenter, 3), MenuItem::Separator("N4"),
       Item("NRound1", T::MenuToggleRound, Command::ToggleRound, 0),
       Item("NRect1", T::MenuToggleRect, Command::ToggleRect, 0), MenuItem::Separator("N8"),
       Item("NHelp", T::MenuHelp, Command::OpenHelp, 5), Item("NAbout", T::MenuAbout, Command::OpenAbout, 6),
       Item("NClose", T::MenuExit, Command::Exit, 7)}};
}

Menu PopupMenuTaskBar() {
  return {
      "PopupMenuTaskBar",
      {Item("NRevert", T::MenuRestore, Command::RestoreFromTray),
       Item("NpopSetup", T::MenuSettings, Command::OpenSettings), MenuItem::Separator("N2"),
       Item("NRound", T::MenuToggleRound, Command::ToggleRound), Item("NRect", T::MenuToggleRect, Command::ToggleRect),
       MenuItem::Separator("N3"), Item("NTHelp", T::MenuHelp, Command::OpenHelp),
       Item("NTAbout", T::MenuAbout, Command::OpenAbout), Item("NExit", T::MenuExit, Command::Exit)}};
}

Menu PopupMenuSoft() {
  return {"PopupMenuSoft",
          {Item("NDeleteIcon", T::MenuDelete, Command::DeleteItem), MenuItem::Separator("N5"),
           Item("NIconProperty", T::MenuProperties, Command::Properties)}};
}

Menu PopupMenuRectBG() {
  return {"PopupMenuRectBG",
          DockCommon({"NRectSetup", "NMinRB", "N6", "NRound2", "NRect2", "N7", "NHelpRB", "NAboutRB", "NCloseRB"})};
}

Menu PopupMenuRectIcon() {
  MenuItem submenu = Item("NMenu", T::MenuDock, Command::None);
  submenu.submenu = DockCommon(
      {"NRectSetupIcon", "NMinRIcon", "N10", "NRound3", "NRect3", "N11", "NHelpRIcon", "NAboutRIcon", "NCloseRIcon"});
  return {
      "PopupMenuRectIcon",
      {Item("NDeleteRIcon", T::MenuDelete, Command::DeleteItem),
       Item("NRIconProperty", T::MenuProperties, Command::Properties), MenuItem::Separator("N9"), std::move(submenu)}};
}

Menu MenuOf(MenuKind kind) {
  switch (kind) {
    case MenuKind::Center:
      return PopupMenuCenter();
    case MenuKind::TaskBar:
      return PopupMenuTaskBar();
    case MenuKind::Soft:
      return PopupMenuSoft();
    case MenuKind::RectBG:
      return PopupMenuRectBG();
    case MenuKind::RectIcon:
      return PopupMenuRectIcon();
  }
  return {};
}

Command CenterCommandOf(int centerAction) {
  for (const MenuItem& item : PopupMenuCenter().items)
    if (item.tag == centerAction) return static_cast<Command>(item.command);
  return Command::None;
}

}  // namespace qv::app
