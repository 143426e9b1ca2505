#include "app/Menus.h"

namespace qv::app {

namespace {

MenuItem Item(const char* name, const char* caption, Command command, int tag = 0) {
  MenuItem item;
  item.name = name;
  item.caption = caption;
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
  return {Item(n.setup, "设置(&S)", Command::OpenDockSettings),
          Item(n.min, "最小化窗口(&M)", Command::MinimizeToTray),
          MenuItem::Separator(n.sep1),
          Item(n.round, "开/关圆形窗口(&Y)", Command::ToggleRound),
          Item(n.rect, "开/关矩形窗口(&Z)", Command::ToggleRect),
          MenuItem::Separator(n.sep2),
          Item(n.help, "帮助(&H)", Command::OpenHelp),
          Item(n.about, "关于(&A)", Command::OpenAbout),
          Item(n.close, "退出(&X)", Command::Exit)};
}

}  // namespace

Menu PopupMenuCenter() {
  return {
      "PopupMenuCenter",
      {Item("NSetup", "设置(&S)", Command::OpenSettings, 4), Item("NMin", "最小化窗口(&M)", Command::MinimizeToTray, 0),
       Item("NClear", "清除所有图标(&C)", Command::ClearAll, 1), MenuItem::Separator("N1"),
       Item("NChangeBG", "切换背景(&G)", Command::NextBackground, 2),
       Item("NChangCenter", "切换中央图标(&I)", Command::NextCenter, 3), MenuItem::Separator("N4"),
       Item("NRound1", "开/关圆形窗口(&Y)", Command::ToggleRound, 0),
       Item("NRect1", "开/关矩形窗口(&Z)", Command::ToggleRect, 0), MenuItem::Separator("N8"),
       Item("NHelp", "帮助(&H)", Command::OpenHelp, 5), Item("NAbout", "关于(&A)", Command::OpenAbout, 6),
       Item("NClose", "退出(&X)", Command::Exit, 7)}};
}

Menu PopupMenuTaskBar() {
  return {"PopupMenuTaskBar",
          {Item("NRevert", "还原(&R)", Command::RestoreFromTray), Item("NpopSetup", "设置(&S)", Command::OpenSettings),
           MenuItem::Separator("N2"), Item("NRound", "开/关圆形窗口(&Y)", Command::ToggleRound),
           Item("NRect", "开/关矩形窗口(&Z)", Command::ToggleRect), MenuItem::Separator("N3"),
           Item("NTHelp", "帮助(&H)", Command::OpenHelp), Item("NTAbout", "关于(&A)", Command::OpenAbout),
           Item("NExit", "退出(&X)", Command::Exit)}};
}

Menu PopupMenuSoft() {
  return {"PopupMenuSoft",
          {Item("NDeleteIcon", "删除(&D)", Command::DeleteItem), MenuItem::Separator("N5"),
           Item("NIconProperty", "属性(&R)", Command::Properties)}};
}

Menu PopupMenuRectBG() {
  return {"PopupMenuRectBG",
          DockCommon({"NRectSetup", "NMinRB", "N6", "NRound2", "NRect2", "N7", "NHelpRB", "NAboutRB", "NCloseRB"})};
}

Menu PopupMenuRectIcon() {
  MenuItem submenu = Item("NMenu", "菜单(&T)", Command::None);
  submenu.submenu = DockCommon(
      {"NRectSetupIcon", "NMinRIcon", "N10", "NRound3", "NRect3", "N11", "NHelpRIcon", "NAboutRIcon", "NCloseRIcon"});
  return {"PopupMenuRectIcon",
          {Item("NDeleteRIcon", "删除(&D)", Command::DeleteItem),
           Item("NRIconProperty", "属性(&R)", Command::Properties), MenuItem::Separator("N9"), std::move(submenu)}};
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
