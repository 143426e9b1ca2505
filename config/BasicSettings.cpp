#include "config/BasicSettings.h"

#include "config/ConfigDocument.h"
#include "config/Settings.h"

namespace qv::config {

namespace {

// A number the user mistyped in the file leaves the dialog's own default in place.
std::optional<int> Integer(const std::optional<std::string>& text) { return text ? ParseInt(*text) : std::nullopt; }

bool True(const std::optional<std::string>& text) { return text && *text == "True"; }

std::string Number(int value) { return std::to_string(value); }

}  // namespace

std::optional<SetupFileValues> ReadSetupFileValues(const SettingsFile& settings, const ItemFile& items) {
  static const std::vector<SettingKey> kKeys = {
      SettingKey::HideAfterClick, SettingKey::LockPosition, SettingKey::LockIcon,       SettingKey::HotKey,
      SettingKey::FrontIndex,     SettingKey::CenterAction, SettingKey::BackgroundPath, SettingKey::CenterPath,
      SettingKey::BackgroundSize, SettingKey::CenterSize,   SettingKey::MinR,           SettingKey::SeparationSize,
      SettingKey::RotationValue,  SettingKey::IsShowHint,   SettingKey::HintFontDefine, SettingKey::Language};
  const auto read = settings.ReadSettings(kKeys);
  if (!read) return std::nullopt;
  const std::vector<std::optional<std::string>>& r = *read;
  SetupFileValues v;
  v.HideAfterClick = True(r[0]);
  v.LockPosition = True(r[1]);
  v.LockIcon = True(r[2]);
  v.HotKey = r[3].value_or("");
  v.FrontIndex = Integer(r[4]);
  v.CenterAction = Integer(r[5]);
  v.BackgroundPath = r[6].value_or("");
  v.CenterPath = r[7].value_or("");
  v.BackgroundSize = Integer(r[8]);
  v.CenterSize = Integer(r[9]);
  v.MinR = Integer(r[10]);
  v.SeparationSize = Integer(r[11]);
  v.RotationValue = Integer(r[12]);
  v.IsShowHint = True(r[13]);
  v.HintFontDefine = r[14].value_or("");
  v.Language = ParseLanguageChoice(r[15]);
  v.RoundFiles = items.Files(ItemList::Ring).value_or(std::vector<std::string>{});
  v.RectFiles = items.Files(ItemList::Dock).value_or(std::vector<std::string>{});
  return v;
}

SettingWrites BasicSettingsWrites(const BasicSettingsValues& v) {
  SettingWrites w = {
      {SettingKey::HideAfterClick, BoolText(v.HideAfterClick)},
      {SettingKey::LockPosition, BoolText(v.LockPosition)},
      {SettingKey::LockIcon, BoolText(v.LockIcon)},
      {SettingKey::FrontIndex, Number(v.FrontIndex)},
      {SettingKey::CenterAction, Number(v.CenterAction)},
      {SettingKey::HotKey, v.HotKey},
      {SettingKey::BackgroundSize, Number(v.BackgroundSize)},
      {SettingKey::CenterSize, Number(v.CenterSize)},
  };
  // A custom picture is written only when the user took one over.
  if (v.BackgroundPath) {
    w.emplace_back(SettingKey::BackgroundPath, *v.BackgroundPath);
    if (v.BackgroundIndexToZero) w.emplace_back(SettingKey::BackgroundIndex, "0");
  }
  if (v.CenterPath) {
    w.emplace_back(SettingKey::CenterPath, *v.CenterPath);
    if (v.CenterIndexToZero) w.emplace_back(SettingKey::CenterIndex, "0");
  }
  const SettingWrites rest = {
      {SettingKey::MinR, Number(v.MinR)},
      {SettingKey::SeparationSize, Number(v.SeparationSize)},
      {SettingKey::RotationValue, Number(v.RotationValue)},
      {SettingKey::RectTopic, v.RectTopic},
      {SettingKey::RectTransparence, Number(v.RectTransparence)},
      {SettingKey::RectPosition, Number(v.RectPosition)},
      {SettingKey::RectIconPx, Number(v.RectIconPx)},
      {SettingKey::RectIconWd, Number(v.RectIconWd)},
      {SettingKey::IsShowHint, BoolText(v.IsShowHint)},
      {SettingKey::HintFontDefine, v.HintFontDefine},
      {SettingKey::Language, LanguageChoiceText(v.Language)},
  };
  w.insert(w.end(), rest.begin(), rest.end());
  return w;
}

std::optional<std::string> WriteDefaultSettings(SettingsFile& settings) {
  const auto stored = settings.ReadSettings({SettingKey::HintFontDefault});
  if (!stored) return std::nullopt;
  // A file whose Default was lost still gets a font the label can draw.
  const std::string restored = stored->front().value_or(FileDefaults().HintFontDefine);
  const Settings d = FileDefaults();
  const SettingWrites writes = {
      {SettingKey::HideAfterClick, BoolText(false)},
      {SettingKey::LockPosition, BoolText(false)},
      {SettingKey::FrontIndex, "0"},
      {SettingKey::CenterAction, Number(d.CenterAction)},
      {SettingKey::HotKey, "C"},
      {SettingKey::BackgroundSize, Number(d.BackgroundSize)},
      {SettingKey::CenterSize, Number(d.CenterSize)},
      {SettingKey::BackgroundIndex, Number(d.BackgroundIndex)},
      {SettingKey::BackgroundPath, ""},
      {SettingKey::CenterIndex, Number(d.CenterIndex)},
      {SettingKey::CenterPath, ""},
      {SettingKey::MinR, Number(d.MinR)},
      {SettingKey::SeparationSize, Number(d.SeparationSize)},
      {SettingKey::RotationValue, Number(d.RotationValue)},
      {SettingKey::RectTopic, d.RectTopic},
      {SettingKey::RectTransparence, Number(d.RectTransparence)},
      {SettingKey::RectPosition, Number(d.RectPosition)},
      {SettingKey::RectIconPx, Number(d.RectIconPx)},
      {SettingKey::RectIconWd, Number(d.RectIconWd)},
      {SettingKey::IsShowHint, BoolText(true)},
      {SettingKey::HintFontDefine, restored},
  };
  if (settings.WriteSettings(writes) != EditResult::Saved) return std::nullopt;
  return restored;
}

}  // namespace qv::config
