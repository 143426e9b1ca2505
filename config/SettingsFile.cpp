#include "config/SettingsFile.h"

#include <utility>

#include "config/ConfigDocument.h"
#include "config/Layout.h"

namespace qv::config {

namespace {

// Where a key's value lives below Basic: an attribute of the element, or the
// element's text when attribute is null.
struct Place {
  const char* element;
  const char* attribute;
};

Place PlaceOf(SettingKey key) {
  switch (key) {
    case SettingKey::HideAfterClick:
      return {"HideAfterClick", nullptr};
    case SettingKey::LockPosition:
      return {"LockPosition", nullptr};
    case SettingKey::LockIcon:
      return {"LockIcon", nullptr};
    case SettingKey::FrontIndex:
      return {"Front", "Index"};
    case SettingKey::BackgroundIndex:
      return {"Background", "Index"};
    case SettingKey::BackgroundSize:
      return {"Background", "Size"};
    case SettingKey::CenterIndex:
      return {"Center", "Index"};
    case SettingKey::CenterSize:
      return {"Center", "Size"};
    case SettingKey::CenterAction:
      return {"Center", "Action"};
    case SettingKey::PositionLeft:
      return {"Position", "Left"};
    case SettingKey::PositionTop:
      return {"Position", "Top"};
    case SettingKey::MinR:
      return {"IconElement", "MinR"};
    case SettingKey::SeparationSize:
      return {"IconElement", "SeparationSize"};
    case SettingKey::RotationValue:
      return {"IconElement", "RotationValue"};
    case SettingKey::IsShowRound:
      return {"ShowRound", "IsShowRound"};
    case SettingKey::IsShowRect:
      return {"ShowRect", "IsShowRect"};
    case SettingKey::RectTopic:
      return {"ShowRect", "RectTopic"};
    case SettingKey::RectTransparence:
      return {"ShowRect", "RectTransparence"};
    case SettingKey::RectPosition:
      return {"ShowRect", "RectPosition"};
    case SettingKey::RectIconPx:
      return {"ShowRect", "RectIconPx"};
    case SettingKey::RectIconWd:
      return {"ShowRect", "RectIconWd"};
    case SettingKey::IsShowHint:
      return {"HintFont", "IsShowHint"};
    case SettingKey::HintFontDefine:
      return {"HintFont", "Define"};
    case SettingKey::HotKey:
      return {"HotKey", "Key"};
  }
  return {"", nullptr};
}

}  // namespace

SettingsFile::SettingsFile(IFileSystem& files, ISystem& system, std::string path)
    : files_(files), system_(system), path_(std::move(path)) {}

SettingsOutcome SettingsFile::Load(Settings& settings) {
  ConfigDocument document(files_, system_, path_);
  return LoadSettings(document, settings);
}

LoadResult SettingsFile::Probe() {
  ConfigDocument document(files_, system_, path_);
  return document.Load();
}

EditResult SettingsFile::SaveSkinsAndPosition(const Settings& settings) {
  if (!files_.FileExists(path_)) return EditResult::NothingToChange;
  ConfigDocument document(files_, system_, path_);
  if (document.Load().status != LoadStatus::Ok) return EditResult::NotLoaded;
  return config::SaveSkinsAndPosition(document, settings) ? EditResult::Saved : EditResult::WriteFailed;
}

EditResult SettingsFile::WriteSetting(SettingKey key, const std::string& value) {
  ConfigDocument document(files_, system_, path_);
  if (document.Load().status != LoadStatus::Ok) return EditResult::NotLoaded;
  pugi::xml_node basic = BasicNode(document.Root());
  if (!basic) return EditResult::NothingToChange;
  const Place place = PlaceOf(key);
  pugi::xml_node element = FirstChild(basic, place.element);
  if (!element) element = basic.append_child(place.element);
  if (place.attribute) {
    SetAttribute(element, place.attribute, value);
  } else {
    SetText(element, value);
  }
  return document.Save() ? EditResult::Saved : EditResult::WriteFailed;
}

EditResult SettingsFile::WriteSwitch(SettingKey key, bool value) { return WriteSetting(key, BoolText(value)); }

std::string SettingsFile::SkinPath(SkinPart part) const {
  ConfigDocument document(files_, system_, path_);
  if (document.Load().status != LoadStatus::Ok) return {};
  const char* element = part == SkinPart::Background ? "Background" : "Center";
  return Text(FirstChild(FirstChild(BasicNode(document.Root()), element), "Path"));
}

const char* Describe(EditResult result) {
  switch (result) {
    case EditResult::Saved:
      return "saved";
    case EditResult::NothingToChange:
      return "nothing to change";
    case EditResult::NotLoaded:
      return "the file is missing or cannot be read";
    case EditResult::WriteFailed:
      return "the file could not be written";
  }
  return "";
}

}  // namespace qv::config
