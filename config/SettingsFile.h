#pragma once

// The settings as the configuration file keeps them, one operation each:
// the file is loaded afresh, changed and saved whole.

#include <string>

#include "config/LoadResult.h"
#include "config/Settings.h"
#include "platform/Platform.h"

namespace qv::config {

// Every value below Setup/Basic that the program writes, named like the
// Settings field it fills (HotKey is the hot key's letter, FrontIndex the layer).
enum class SettingKey {
  HideAfterClick,
  LockPosition,
  LockIcon,
  FrontIndex,
  BackgroundIndex,
  BackgroundSize,
  CenterIndex,
  CenterSize,
  CenterAction,
  PositionLeft,
  PositionTop,
  MinR,
  SeparationSize,
  RotationValue,
  IsShowRound,
  IsShowRect,
  RectTopic,
  RectTransparence,
  RectPosition,
  RectIconPx,
  RectIconWd,
  IsShowHint,
  HintFontDefine,
  HotKey,
};

enum class SkinPart { Background, Center };

class SettingsFile {
 public:
  SettingsFile(IFileSystem& files, ISystem& system, std::string path);

  // Reads Setup/Basic into settings and completes the file (see LoadSettings).
  SettingsOutcome Load(Settings& settings);
  // Whether the file loads, without completing or writing anything.
  LoadResult Probe();
  // The skin indexes and sizes, the center action and the window position,
  // into the elements that are there. A file that does not exist is not made.
  EditResult SaveSkinsAndPosition(const Settings& settings);
  // One value by key; its element below Basic is made when missing. A file
  // without Setup/Basic gains nothing: nothing is made above Basic.
  EditResult WriteSetting(SettingKey key, const std::string& value);
  // A switch, in the file's spelling of true and false.
  EditResult WriteSwitch(SettingKey key, bool value);
  // The user's own skin picture (Setup/Basic/<part>/Path); "" when none or
  // when the file cannot be read.
  std::string SkinPath(SkinPart part) const;

 private:
  IFileSystem& files_;
  ISystem& system_;
  std::string path_;
};

}  // namespace qv::config
