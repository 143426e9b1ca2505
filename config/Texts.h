#pragma once

// Every text the user reads, in each language the interface speaks, keyed
// by TextKey. A text that carries values holds "{1}", "{2}"... where they go.
// The language in use is the process's one choice: the settings' owner sets
// it at start and at OK; menus, boxes and dialogs read it when they are made.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

namespace qv::config {

enum class Language { Chinese, English };

// What the file asks for; Windows follows the system's display language.
enum class LanguageChoice { Windows, Chinese, English };

enum class TextKey {
  // The context menus
  MenuSettings,
  MenuMinimize,
  MenuClearAll,
  MenuNextBackground,
  MenuNextCenter,
  MenuToggleRound,
  MenuToggleRect,
  MenuHelp,
  MenuAbout,
  MenuExit,
  MenuRestore,
  MenuDelete,
  MenuProperties,
  MenuDock,
  // The tray and the message boxes
  TrayTip,
  BoxCaption,
  ConfigMissing,
  ConfigUnreadable,
  ConfigRestore,
  ConfigRestoreProtected,
  ConfigRestoreFailed,
  NotSaved,
  ClearQuestion,
  // The settings dialog
  SetupCaption,
  HotKeyRule,
  RestoreQuestion,
  PngFilter,
  PageBasic,
  PageRoundPictures,
  PageRoundGeometry,
  PageRect,
  PageLabel,
  AutoStart,
  HideAfterOpen,
  LockPosition,
  LockIcon,
  HotKeyLabel,
  DisplayStateLabel,
  CenterActionLabel,
  LanguageLabel,
  LanguageWindows,
  LanguageChinese,
  LanguageEnglish,
  DisplayNormal,
  DisplayTopmost,
  DisplayDesktop,
  ActionMinimize,
  ActionClearAll,
  ActionNextBackground,
  ActionNextCenter,
  ActionSettings,
  ActionHelp,
  ActionAbout,
  ActionExit,
  BackgroundLabel,
  CenterLabel,
  StandardSize,
  Browse,
  MoreStyles,
  MinRLabel,
  SeparationLabel,
  RotationLabel,
  RoundToolsGroup,
  RectToolsGroup,
  ToolComputer,
  ToolNetwork,
  ToolDocuments,
  ToolRecycleBin,
  ToolControlPanel,
  ThemeLabel,
  PositionLabel,
  PositionTop,
  PositionBottom,
  TransparencyLabel,
  ZoomSizeLabel,
  ZoomCountLabel,
  ShowLabel,
  ChangeFont,
  ChangeColor,
  Preview,
  RestoreDefaults,
  Ok,
  Cancel,
  // The item property dialog
  PropertyCaption,
  PropertyName,
  PropertyArgument,
  PropertyIcon,
  PropertyTarget,
  PictureFilter,
  // The about dialog
  AboutCaption,
  AboutVersion,
  AboutOwner,
  AboutSite,
  AboutMaker,
  AboutForum,
  Count
};

inline constexpr std::size_t kTextCount = static_cast<std::size_t>(TextKey::Count);

// The text as the table holds it, placeholders included.
const char* TableText(TextKey key, Language language);
// The key of the table's row at the index: the rows stand in the order of TextKey.
TextKey TableKey(std::size_t index);

// The text in the language in use, the values in place of "{1}", "{2}"...
std::string Tr(TextKey key, std::initializer_list<std::string> values = {});

Language CurrentLanguage();
void SetLanguage(Language language);

// Chinese for a Chinese display language (any LANGID whose primary language
// is Chinese), English for any other; a fixed choice is kept.
Language ResolveLanguage(LanguageChoice choice, std::uint16_t displayLanguage);

// The file's spelling of a choice and back; an unknown or absent value is Windows.
const char* LanguageChoiceText(LanguageChoice choice);
LanguageChoice ParseLanguageChoice(const std::optional<std::string>& text);

}  // namespace qv::config
