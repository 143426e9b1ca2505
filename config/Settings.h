#pragma once

// The settings of the main form, named like their keys in the file, and the
// routine that reads them from Setup/Basic and completes a file that lacks
// the later parts of the tree.

#include <string>
#include <utility>

#include "config/LoadResult.h"
#include "config/Texts.h"
#include "platform/Platform.h"

namespace qv::config {

class ConfigDocument;

struct Settings {
  bool HideAfterClick = false;
  bool LockPosition = false;
  bool LockIcon = false;
  int BackgroundIndex = 1;
  int BackgroundSize = 300;
  int CenterIndex = 1;
  int CenterSize = 115;
  int CenterAction = 0;
  int PositionLeft = 600;
  int PositionTop = 368;
  int MinR = 105;
  int SeparationSize = 35;
  int RotationValue = 45;
  bool IsShowRound = true;
  bool IsShowRect = true;
  std::string RectTopic = "Default";
  int RectTransparence = 100;
  int RectPosition = 0;
  int RectIconPx = 50;
  int RectIconWd = 4;
  bool IsShowHint = true;
  std::string HintFontDefine;
  bool RectListCreated = false;
  LanguageChoice Language = LanguageChoice::Windows;
};

// The ranges the settings dialog offers; a value read from the file is held to them.
inline constexpr std::pair<int, int> kMinRRange{0, 300};
inline constexpr std::pair<int, int> kSeparationRange{0, 100};
inline constexpr std::pair<int, int> kRotationRange{1, 360};

enum class SettingsStatus { Loaded, Missing, Unreadable };

struct SettingsOutcome {
  SettingsStatus status = SettingsStatus::Missing;
  int frontIndex = 0;        // Front Index as read; applied by the caller
  LoadResult load;           // the document's load result (description, offset)
  bool saved = false;        // the completed file was written
};

// Reads Setup/Basic into settings (which the caller has set to the values
// before loading, with the window's current position), completes the missing
// optional parts with their defaults and saves the file. A missing or
// unreadable file leaves settings as they were and writes nothing.
SettingsOutcome LoadSettings(ConfigDocument& document, Settings& settings);

// The values the file's absent or unreadable entries stand for. They differ
// from the values before loading in CenterAction (4) and HintFontDefine (the
// factory font); the position is the main window's design position.
Settings FileDefaults();

// The layer a Front Index asks for: 1 always on top, 2 the desktop, anything
// else the normal layer.
WindowLayer FrontLayer(int frontIndex);

// Writes the skin indexes and sizes, the center action and the window
// position into Setup/Basic, when the file exists and can be read.
bool SaveSkinsAndPosition(ConfigDocument& document, const Settings& settings);

}  // namespace qv::config
