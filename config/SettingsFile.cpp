#include "config/SettingsFile.h"

#include <utility>

#include "config/ConfigDocument.h"
#include "config/Layout.h"

namespace qv::config {

namespace {

// Where a key's value lives below Basic: an attribute of the element (of
// Basic itself when element is null), or the text of the element (or of its
// child, when one is named) when attribute is null.
struct Place {
  const char* element;
  const char* attribute;
  const char* child = nullptr;
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
    case SettingKey::BackgroundPath:
      return {"Background", nullptr, "Path"};
    case SettingKey::CenterPath:
      return {"Center", nullptr, "Path"};
    case SettingKey::HintFontDefault:
      return {"HintFont", "Default"};
    case SettingKey::Language:
      return {nullptr, "Language"};
  }
  return {"", nullptr};
}

pugi::xml_node MadeChild(pugi::xml_node parent, const char* name) {
  pugi::xml_node child = FirstChild(parent, name);
  return child ? child : parent.append_child(name);
}

void Write(pugi::xml_node basic, SettingKey key, const std::string& value) {
  const Place place = PlaceOf(key);
  pugi::xml_node element = place.element ? MadeChild(basic, place.element) : basic;
  if (place.attribute) {
    SetAttribute(element, place.attribute, value);
  } else {
    SetText(place.child ? MadeChild(element, place.child) : element, value);
  }
}

std::optional<std::string> Read(pugi::xml_node basic, SettingKey key) {
  const Place place = PlaceOf(key);
  pugi::xml_node element = place.element ? FirstChild(basic, place.element) : basic;
  if (place.attribute) return Attribute(element, place.attribute);
  if (place.child) element = FirstChild(element, place.child);
  if (!element) return std::nullopt;
  return Text(element);
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
  return WriteSettings({{key, value}});
}

EditResult SettingsFile::WriteSettings(const SettingWrites& writes) {
  ConfigDocument document(files_, system_, path_);
  if (document.Load().status != LoadStatus::Ok) return EditResult::NotLoaded;
  const pugi::xml_node basic = BasicNode(document.Root());
  if (!basic) return EditResult::NothingToChange;
  for (const auto& [key, value] : writes) Write(basic, key, value);
  return document.Save() ? EditResult::Saved : EditResult::WriteFailed;
}

EditResult SettingsFile::WriteSwitch(SettingKey key, bool value) { return WriteSetting(key, BoolText(value)); }

std::optional<std::vector<std::optional<std::string>>> SettingsFile::ReadSettings(
    const std::vector<SettingKey>& keys) const {
  ConfigDocument document(files_, system_, path_);
  if (document.Load().status != LoadStatus::Ok) return std::nullopt;
  const pugi::xml_node basic = BasicNode(document.Root());
  std::vector<std::optional<std::string>> values;
  values.reserve(keys.size());
  for (const SettingKey key : keys) values.push_back(Read(basic, key));
  return values;
}

std::string SettingsFile::SkinPath(SkinPart part) const {
  const auto values =
      ReadSettings({part == SkinPart::Background ? SettingKey::BackgroundPath : SettingKey::CenterPath});
  return values ? values->front().value_or("") : std::string();
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
    case EditResult::Mismatch:
      return "the place in the file holds another item";
  }
  return "";
}

}  // namespace qv::config
