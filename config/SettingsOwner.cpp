#include "config/SettingsOwner.h"

#include <algorithm>

#include "config/Backups.h"
#include "config/ItemFile.h"

namespace qv::config {

SettingsOwner::SettingsOwner(Settings& values, IFileSystem& files, ISystem& system, std::string path)
    : values_(values), files_(files), system_(system), path_(std::move(path)) {
  SetLanguage(ResolveLanguage(values_.Language, system_.UserInterfaceLanguage()));
}

void SettingsOwner::ApplyLanguage() {
  const Language language = ResolveLanguage(values_.Language, system_.UserInterfaceLanguage());
  if (language == CurrentLanguage()) return;
  SetLanguage(language);
  Tell([](ISettingsObserver& o) { o.LanguageChanged(); });
}

void SettingsOwner::Subscribe(ISettingsObserver& observer) {
  if (std::find(observers_.begin(), observers_.end(), &observer) == observers_.end()) observers_.push_back(&observer);
}

void SettingsOwner::Unsubscribe(ISettingsObserver& observer) { std::erase(observers_, &observer); }

namespace {

// What OK and the defaults both set in memory; each sets the rest its own way.
template <typename From>
void TakeShared(Settings& s, const From& v) {
  s.HideAfterClick = v.HideAfterClick;
  s.LockPosition = v.LockPosition;
  s.CenterAction = v.CenterAction;
  s.BackgroundSize = v.BackgroundSize;
  s.CenterSize = v.CenterSize;
  s.MinR = v.MinR;
  s.SeparationSize = v.SeparationSize;
  s.RotationValue = v.RotationValue;
  s.RectTopic = v.RectTopic;
  s.RectTransparence = v.RectTransparence;
  s.RectPosition = v.RectPosition;
  s.RectIconPx = v.RectIconPx;
  s.RectIconWd = v.RectIconWd;
  s.IsShowHint = v.IsShowHint;
}

}  // namespace

template <typename Event>
void SettingsOwner::Tell(Event event) {
  // A copy: a listener may unsubscribe (or another one) while it is told.
  const std::vector<ISettingsObserver*> listeners = observers_;
  for (ISettingsObserver* o : listeners)
    if (std::find(observers_.begin(), observers_.end(), o) != observers_.end()) event(*o);
}

std::optional<SetupFileValues> SettingsOwner::ReadFile() const {
  return ReadSetupFileValues(SettingsFile(files_, system_, path_), ItemFile(files_, system_, path_));
}

void SettingsOwner::PreviewRing(int minR, int separationSize) {
  values_.MinR = minR;
  values_.SeparationSize = separationSize;
  Tell([](ISettingsObserver& o) { o.RingChanged(); });
}

void SettingsOwner::PreviewDockTheme(const std::string& theme) {
  Tell([&](ISettingsObserver& o) { o.DockThemeChanged(theme); });
  // A new theme's pictures come opaque: the transparency is laid over them again.
  Tell([](ISettingsObserver& o) { o.DockTransparencyChanged(); });
}

void SettingsOwner::PreviewDockTransparency(int percent) {
  values_.RectTransparence = percent;
  Tell([](ISettingsObserver& o) { o.DockTransparencyChanged(); });
}

void SettingsOwner::PreviewDockPosition(int position) {
  values_.RectPosition = position;
  Tell([](ISettingsObserver& o) { o.DockPositionChanged(); });
}

void SettingsOwner::PreviewMagnify(int iconPx, int iconWd) {
  values_.RectIconPx = iconPx;
  values_.RectIconWd = iconWd;
  Tell([](ISettingsObserver& o) { o.MagnifyChanged(); });
}

EditResult SettingsOwner::ToggleRing() {
  values_.IsShowRound = !values_.IsShowRound;
  Tell([](ISettingsObserver& o) { o.RingShownChanged(); });
  return SettingsFile(files_, system_, path_).WriteSwitch(SettingKey::IsShowRound, values_.IsShowRound);
}

EditResult SettingsOwner::ToggleDock() {
  values_.IsShowRect = !values_.IsShowRect;
  Tell([](ISettingsObserver& o) { o.DockShownChanged(); });
  return SettingsFile(files_, system_, path_).WriteSwitch(SettingKey::IsShowRect, values_.IsShowRect);
}

EditResult SettingsOwner::Apply(const BasicSettingsValues& v, const SkinShifts& skins) {
  const EditResult result = SettingsFile(files_, system_, path_).WriteSettings(BasicSettingsWrites(v));
  // The settings hold in memory whether or not the file took them.
  Settings& s = values_;
  TakeShared(s, v);
  s.LockIcon = v.LockIcon;
  if (v.BackgroundIndexToZero) s.BackgroundIndex = 0;
  if (v.CenterIndexToZero) s.CenterIndex = 0;
  s.HintFontDefine = v.HintFontDefine;
  s.Language = v.Language;
  hotKey_ = v.HotKey.empty() ? hotKey_ : v.HotKey[0];
  const char letter = hotKey_;
  Tell([&](ISettingsObserver& o) { o.LayerChanged(v.FrontIndex); });
  Tell([&](ISettingsObserver& o) { o.HotKeyChanged(letter); });
  Tell([](ISettingsObserver& o) { o.LabelChanged(); });
  if (skins.background) Tell([&](ISettingsObserver& o) { o.SkinChanged(SkinPart::Background, *skins.background); });
  if (skins.center) Tell([&](ISettingsObserver& o) { o.SkinChanged(SkinPart::Center, *skins.center); });
  ApplyLanguage();
  return result;
}

EditResult SettingsOwner::RestoreDefaults(const SkinShifts& skins) {
  // The state before the defaults stays safe from the saves that follow.
  TakeProtectedBackup(files_, system_, path_);
  SettingsFile file(files_, system_, path_);
  const std::optional<std::string> font = WriteDefaultSettings(file);
  const EditResult result = font ? EditResult::Saved
                            : files_.FileExists(path_) ? EditResult::WriteFailed
                                                       : EditResult::NotLoaded;
  const Settings d = FileDefaults();
  Settings& s = values_;
  TakeShared(s, d);
  s.BackgroundIndex = d.BackgroundIndex;
  s.CenterIndex = d.CenterIndex;
  // The label keeps its font when the file could not give the stored default.
  if (font) s.HintFontDefine = *font;
  hotKey_ = 'C';
  Tell([](ISettingsObserver& o) { o.LayerChanged(0); });
  Tell([](ISettingsObserver& o) { o.HotKeyChanged('C'); });
  Tell([](ISettingsObserver& o) { o.LabelChanged(); });
  Tell([&](ISettingsObserver& o) { o.DockThemeChanged(s.RectTopic); });
  Tell([](ISettingsObserver& o) { o.DockTransparencyChanged(); });
  Tell([](ISettingsObserver& o) { o.DockPositionChanged(); });
  Tell([&](ISettingsObserver& o) { o.SkinChanged(SkinPart::Background, skins.background.value_or(0)); });
  Tell([&](ISettingsObserver& o) { o.SkinChanged(SkinPart::Center, skins.center.value_or(0)); });
  Tell([](ISettingsObserver& o) { o.RingChanged(); });
  Tell([](ISettingsObserver& o) { o.MagnifyChanged(); });
  return result;
}

}  // namespace qv::config
