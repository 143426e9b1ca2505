#include "config/Texts.h"

#include <array>

namespace qv::config {

namespace {

struct Row {
  TextKey key;
  const char* chinese;
  const char* english;
};

using K = TextKey;

// In the order of TextKey.
constexpr std::array<Row, kTextCount> kTable{{
    {K::MenuSettings, "设置(&S)", "&Settings"},
    {K::MenuMinimize, "最小化窗口(&M)", "&Minimize"},
    {K::MenuClearAll, "清除所有图标(&C)", "&Clear all items"},
    {K::MenuNextBackground, "切换背景(&G)", "Next back&ground"},
    {K::MenuNextCenter, "切换中央图标(&I)", "Next center &icon"},
    {K::MenuToggleRound, "开/关圆形窗口(&Y)", "Show/hide the ri&ng"},
    {K::MenuToggleRect, "开/关矩形窗口(&Z)", "Show/hide the &dock"},
    {K::MenuHelp, "帮助(&H)", "&Help"},
    {K::MenuAbout, "关于(&A)", "&About"},
    {K::MenuExit, "退出(&X)", "E&xit"},
    {K::MenuRestore, "还原(&R)", "&Restore"},
    {K::MenuDelete, "删除(&D)", "&Delete"},
    {K::MenuProperties, "属性(&R)", "P&roperties"},
    {K::MenuDock, "菜单(&T)", "&Menu"},
    {K::TrayTip, "Quorvel(Quorvel)", "Quorvel"},
    {K::BoxCaption, "提示", "Notice"},
    {K::ConfigMissing, "配置文件丢失，请重新下载。",
     "The configuration file is missing. Please download the program again."},
    {K::ConfigUnreadable, "配置文件无法读取，请检查或重新下载。\n{1}",
     "The configuration file cannot be read. Please check it or download the program again.\n{1}"},
    {K::ConfigRestore, "配置文件丢失或无法读取。是否从备份 UserInfo.xml.bak 恢复？\n{1}",
     "The configuration file is missing or cannot be read. Restore it from the backup UserInfo.xml.bak?\n{1}"},
    {K::ConfigRestoreProtected, "配置文件丢失或无法读取。是否从清除前的备份 UserInfo.xml.before-clear 恢复？\n{1}",
     "The configuration file is missing or cannot be read. Restore it from the copy taken before the last clear, "
     "UserInfo.xml.before-clear?\n{1}"},
    {K::ConfigRestoreFailed, "无法从备份恢复配置文件。\n{1}",
     "The configuration file could not be restored from the backup.\n{1}"},
    {K::NotSaved, "配置文件无法保存，本次运行中的更改只保留在内存中，退出后将丢失。\n{1}\n{2}",
     "The configuration file could not be saved. The changes of this session are kept in memory only and will be "
     "lost at exit.\n{1}\n{2}"},
    {K::ClearQuestion, "确定要清除所有图标吗？", "Remove all items?"},
    {K::SetupCaption, "设置", "Settings"},
    {K::HotKeyRule, "只能在 A-Z 之间设置。", "Only a letter from A to Z can be set."},
    {K::RestoreQuestion, "确定要恢复到默认状态吗？", "Restore the default settings?"},
    {K::PngFilter, "Portable Network Graphics (*.png)|*.png", "Portable Network Graphics (*.png)|*.png"},
    {K::PageBasic, "基本设置", "General"},
    {K::PageRoundPictures, "圆形设置Ⅰ", "Ring I"},
    {K::PageRoundGeometry, "圆形设置Ⅱ", "Ring II"},
    {K::PageRect, "矩形设置Ⅰ", "Dock"},
    {K::PageLabel, "标签设置", "Label"},
    {K::AutoStart, "开机自动启动", "Start with Windows"},
    {K::HideAfterOpen, "打开文件/文件夹后隐藏Quorvel", "Hide Quorvel after opening a file or folder"},
    {K::LockPosition, "将Quorvel锁定在当前位置", "Lock Quorvel where it is"},
    {K::LockIcon, "锁定图标", "Lock the items"},
    {K::HotKeyLabel, "显示窗口快捷键：  Alt + ", "Hot key to show:  Alt + "},
    {K::DisplayStateLabel, "窗口显示状态：", "Window layer:"},
    {K::CenterActionLabel, "中央按钮单击功能设置：", "Center button click:"},
    {K::LanguageLabel, "界面语言：", "Language:"},
    {K::LanguageWindows, "跟随 Windows", "As Windows"},
    {K::LanguageChinese, "中文", "中文 (Chinese)"},
    {K::LanguageEnglish, "English", "English"},
    {K::DisplayNormal, "正常显示", "Normal"},
    {K::DisplayTopmost, "总显示在最前面", "Always on top"},
    {K::DisplayDesktop, "总显示在桌面", "On the desktop"},
    {K::ActionMinimize, "最小化窗口", "Minimize"},
    {K::ActionClearAll, "清除所有图标", "Clear all items"},
    {K::ActionNextBackground, "切换背景", "Next background"},
    {K::ActionNextCenter, "切换中央图标", "Next center icon"},
    {K::ActionSettings, "设置", "Settings"},
    {K::ActionHelp, "帮助", "Help"},
    {K::ActionAbout, "关于Quorvel", "About Quorvel"},
    {K::ActionExit, "退出", "Exit"},
    {K::BackgroundLabel, "背景图片：(建议选择标准大小范围内的PNG图片)",
     "Background: (a PNG of the standard size is best)"},
    {K::CenterLabel, "中央图标：(建议选择标准大小范围内的PNG图片)",
     "Center icon: (a PNG of the standard size is best)"},
    {K::StandardSize, "标准大小：", "Size:"},
    {K::Browse, "浏  览", "Browse..."},
    {K::MoreStyles, "下载更多样式", "Download more styles"},
    {K::MinRLabel, "最小半径：", "Smallest radius:"},
    {K::SeparationLabel, "每圈分隔距离：", "Space between rings:"},
    {K::RotationLabel, "按键/鼠标滚轮滚动一次的旋转度数：", "Degrees turned per key or wheel step:"},
    {K::RoundToolsGroup, "圆形添加系统工具", "System tools on the ring"},
    {K::RectToolsGroup, "矩形添加系统工具", "System tools on the dock"},
    {K::ToolComputer, "我的电脑", "Computer"},
    {K::ToolNetwork, "网上邻居", "Network"},
    {K::ToolDocuments, "我的文档", "Documents"},
    {K::ToolRecycleBin, "回收站", "Recycle Bin"},
    {K::ToolControlPanel, "控制面板", "Control Panel"},
    {K::ThemeLabel, "主题：", "Theme:"},
    {K::PositionLabel, "屏幕中的位置：", "Screen edge:"},
    {K::PositionTop, "顶部", "Top"},
    {K::PositionBottom, "底部", "Bottom"},
    {K::TransparencyLabel, "透明度：", "Opacity:"},
    {K::ZoomSizeLabel, "放大尺寸：", "Zoom size:"},
    {K::ZoomCountLabel, "放大个数：", "Zoomed:"},
    {K::ShowLabel, "显示标签", "Show the label"},
    {K::ChangeFont, "更改字体", "Font..."},
    {K::ChangeColor, "更改颜色", "Colour..."},
    {K::Preview, "预览", "Preview"},
    {K::RestoreDefaults, "恢复默认状态", "Restore defaults"},
    {K::Ok, "确  定", "OK"},
    {K::Cancel, "取  消", "Cancel"},
    {K::PropertyCaption, "属性：Quorvel", "Properties: Quorvel"},
    {K::PropertyName, "文本名称", "Name"},
    {K::PropertyArgument, "命令参数", "Arguments"},
    {K::PropertyIcon, "Icon 图像", "Icon picture"},
    {K::PropertyTarget, "目标文件", "Target file"},
    {K::PictureFilter, "All (*.png;*.ico)|*.png;*.ico|Portable Network Graphics (*.png)|*.png|Icons (*.ico)|*.ico",
     "All (*.png;*.ico)|*.png;*.ico|Portable Network Graphics (*.png)|*.png|Icons (*.ico)|*.ico"},
    {K::AboutCaption, "关于 Quorvel", "About Quorvel"},
    {K::AboutVersion, "版本：V {1}", "Version {1}"},
    {K::AboutOwner, "Brimwold 出品", "Made by Brimwold"},
    {K::AboutSite, "官网：", "Website:"},
    {K::AboutMaker, "Brimwold：", "Brimwold:"},
    {K::AboutForum, "论坛：", "Forum:"},
}};

Language current = Language::Chinese;

}  // namespace

const char* TableText(TextKey key, Language language) {
  const Row& row = kTable[static_cast<std::size_t>(key)];
  return language == Language::Chinese ? row.chinese : row.english;
}

TextKey TableKey(std::size_t index) { return kTable[index].key; }

// The table's text with {1}, {2}... replaced by the values, read from the
// table's text alone: a value that itself holds "{2}" (a path, a parser's
// message) stays as it is.
std::string Tr(TextKey key, std::initializer_list<std::string> values) {
  const std::string text = TableText(key, current);
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::size_t n = i + 2 < text.size() && text[i] == '{' && text[i + 2] == '}' ? text[i + 1] - '1' : 99;
    if (n < values.size()) {
      out += *(values.begin() + n);
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

Language CurrentLanguage() { return current; }

void SetLanguage(Language language) { current = language; }

Language ResolveLanguage(LanguageChoice choice, std::uint16_t displayLanguage) {
  switch (choice) {
    case LanguageChoice::Chinese:
      return Language::Chinese;
    case LanguageChoice::English:
      return Language::English;
    case LanguageChoice::Windows:
      break;
  }
  constexpr std::uint16_t kPrimaryChinese = 0x04;
  return (displayLanguage & 0x3FF) == kPrimaryChinese ? Language::Chinese : Language::English;
}

const char* LanguageChoiceText(LanguageChoice choice) {
  switch (choice) {
    case LanguageChoice::Chinese:
      return "Chinese";
    case LanguageChoice::English:
      return "English";
    case LanguageChoice::Windows:
      break;
  }
  return "Windows";
}

LanguageChoice ParseLanguageChoice(const std::optional<std::string>& text) {
  for (const LanguageChoice choice : {LanguageChoice::Chinese, LanguageChoice::English})
    if (text && *text == LanguageChoiceText(choice)) return choice;
  return LanguageChoice::Windows;
}

}  // namespace qv::config
