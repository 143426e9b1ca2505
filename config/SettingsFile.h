#pragma once

// The settings as the configuration file keeps them, one operation each:
// the file is loaded afresh, changed and saved whole.

#include <optional>
#include <string>
#include <utility>
#include <vector>

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
  BackgroundPath,  // the user's own skin pictures, as element texts
  CenterPath,
  HintFontDefault,  // the label font the defaults restore
  Language,         // the interface's language, on Basic itself
};

// Several values written in one save, in this order.
using SettingWrites = std::vector<std::pair<SettingKey, std::string>>;

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
  // Many values in one replacement of the file: one press of a button is
  // one save. Same rules as WriteSetting.
  EditResult WriteSettings(const SettingWrites& writes);
  // The values of the keys, each nullopt when absent; nullopt as a whole
  // when the file cannot be read.
  std::optional<std::vector<std::optional<std::string>>> ReadSettings(const std::vector<SettingKey>& keys) const;
  // The user's own skin picture (Setup/Basic/<part>/Path); "" when none or
  // when the file cannot be read.
  std::string SkinPath(SkinPart part) const;

 private:
  IFileSystem& files_;
  ISystem& system_;
  std::string path_;
};

}  // namespace qv::config
