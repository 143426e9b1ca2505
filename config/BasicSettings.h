#pragma once

// What the settings dialog reads from and writes into the file, named for
// what the user did: open the dialog, press OK, restore the defaults. The
// file's places are SettingsFile's and ItemFile's; one press of a button is
// one replacement of the file.

#include <optional>
#include <string>
#include <vector>

#include "config/ItemFile.h"
#include "config/SettingsFile.h"

namespace qv::config {

// The stored values the dialog opens with. A value that is absent or not an
// integer is nullopt: the dialog keeps its own default for it.
struct SetupFileValues {
  bool HideAfterClick = false;
  bool LockPosition = false;
  bool LockIcon = false;
  std::string HotKey;
  std::optional<int> FrontIndex;
  std::optional<int> CenterAction;
  std::string BackgroundPath;
  std::string CenterPath;
  std::optional<int> BackgroundSize;
  std::optional<int> CenterSize;
  std::optional<int> MinR;
  std::optional<int> SeparationSize;
  std::optional<int> RotationValue;
  bool IsShowHint = false;
  std::string HintFontDefine;
  // The File texts of the ring's and the dock's item elements, in document order.
  std::vector<std::string> RoundFiles;
  std::vector<std::string> RectFiles;
  LanguageChoice Language = LanguageChoice::Windows;
};

// nullopt when the file cannot be read.
std::optional<SetupFileValues> ReadSetupFileValues(const SettingsFile& settings, const ItemFile& items);

// What OK stores, in the order it is written.
struct BasicSettingsValues {
  bool HideAfterClick = false;
  bool LockPosition = false;
  bool LockIcon = false;
  int FrontIndex = 0;
  int CenterAction = 4;
  std::string HotKey;
  int BackgroundSize = 300;
  int CenterSize = 115;
  // A custom picture taken over; with its index set to 0 when it is new.
  std::optional<std::string> BackgroundPath;
  bool BackgroundIndexToZero = false;
  std::optional<std::string> CenterPath;
  bool CenterIndexToZero = false;
  int MinR = 105;
  int SeparationSize = 35;
  int RotationValue = 45;
  std::string RectTopic;
  int RectTransparence = 100;
  int RectPosition = 0;
  int RectIconPx = 50;
  int RectIconWd = 4;
  bool IsShowHint = true;
  std::string HintFontDefine;
  LanguageChoice Language = LanguageChoice::Windows;
};

// The writes of OK, in the order they are made.
SettingWrites BasicSettingsWrites(const BasicSettingsValues& values);

// Writes the defaults into Setup/Basic and returns the label font they
// restore (HintFont Default); nullopt when the file could not be read or
// written. LockIcon, the window position, the presentations' switches and
// the items stay as they are.
std::optional<std::string> WriteDefaultSettings(SettingsFile& settings);

}  // namespace qv::config
