#include "config/BasicSettings.h"

#include "config/Settings.h"

namespace qv::config {

namespace {

// The child of that name, made when the file lacks it: a hand-edited file
// must not make a setting silently unsaveable.
pugi::xml_node Child(pugi::xml_node parent, const char* name) {
  pugi::xml_node child = FirstChild(parent, name);
  return child ? child : parent.append_child(name);
}

std::optional<int> IntAttribute(pugi::xml_node node, const char* name) {
  const std::optional<std::string> text = Attribute(node, name);
  return text ? ParseInt(*text) : std::nullopt;
}

std::vector<std::string> FilesOf(pugi::xml_node list) {
  std::vector<std::string> files;
  for (pugi::xml_node item = list.first_child(); item; item = item.next_sibling())
    if (item.type() == pugi::node_element) files.push_back(Text(FirstChild(item, "File")));
  return files;
}

void SetInt(pugi::xml_node node, const char* name, int value) { SetAttribute(node, name, std::to_string(value)); }

pugi::xml_node BasicOrMade(ConfigDocument& document) { return Child(Child(document.Root(), "Setup"), "Basic"); }

}  // namespace

std::optional<SetupFileValues> ReadSetupFileValues(const ConfigDocument& document) {
  if (!document.Loaded()) return std::nullopt;
  const pugi::xml_node basic = BasicNode(document.Root());
  SetupFileValues v;
  v.HideAfterClick = IsExactTrue(Text(FirstChild(basic, "HideAfterClick")));
  v.LockPosition = IsExactTrue(Text(FirstChild(basic, "LockPosition")));
  v.LockIcon = IsExactTrue(Text(FirstChild(basic, "LockIcon")));
  v.HotKey = Attribute(FirstChild(basic, "HotKey"), "Key").value_or("");
  v.FrontIndex = IntAttribute(FirstChild(basic, "Front"), "Index");
  const pugi::xml_node background = FirstChild(basic, "Background");
  const pugi::xml_node center = FirstChild(basic, "Center");
  v.CenterAction = IntAttribute(center, "Action");
  v.BackgroundPath = Text(FirstChild(background, "Path"));
  v.CenterPath = Text(FirstChild(center, "Path"));
  v.BackgroundSize = IntAttribute(background, "Size");
  v.CenterSize = IntAttribute(center, "Size");
  const pugi::xml_node ring = FirstChild(basic, "IconElement");
  v.MinR = IntAttribute(ring, "MinR");
  v.SeparationSize = IntAttribute(ring, "SeparationSize");
  v.RotationValue = IntAttribute(ring, "RotationValue");
  const pugi::xml_node font = FirstChild(basic, "HintFont");
  v.IsShowHint = IsExactTrue(Attribute(font, "IsShowHint").value_or(""));
  v.HintFontDefine = Attribute(font, "Define").value_or("");
  v.RoundFiles = FilesOf(FirstChild(document.Root(), "RoundBackground"));
  v.RectFiles = FilesOf(FirstChild(document.Root(), "RectBackground"));
  return v;
}

bool WriteBasicSettings(ConfigDocument& document, const BasicSettingsValues& v) {
  if (!document.Loaded()) return false;
  const pugi::xml_node basic = BasicOrMade(document);
  SetText(Child(basic, "HideAfterClick"), BoolText(v.HideAfterClick));
  SetText(Child(basic, "LockPosition"), BoolText(v.LockPosition));
  SetText(Child(basic, "LockIcon"), BoolText(v.LockIcon));
  SetInt(Child(basic, "Front"), "Index", v.FrontIndex);
  const pugi::xml_node background = Child(basic, "Background");
  const pugi::xml_node center = Child(basic, "Center");
  SetInt(center, "Action", v.CenterAction);
  SetAttribute(Child(basic, "HotKey"), "Key", v.HotKey);
  SetInt(background, "Size", v.BackgroundSize);
  SetInt(center, "Size", v.CenterSize);
  if (v.BackgroundPath) {
    SetText(Child(background, "Path"), *v.BackgroundPath);
    if (v.BackgroundIndexToZero) SetInt(background, "Index", 0);
  }
  if (v.CenterPath) {
    SetText(Child(center, "Path"), *v.CenterPath);
    if (v.CenterIndexToZero) SetInt(center, "Index", 0);
  }
  const pugi::xml_node ring = Child(basic, "IconElement");
  SetInt(ring, "MinR", v.MinR);
  SetInt(ring, "SeparationSize", v.SeparationSize);
  SetInt(ring, "RotationValue", v.RotationValue);
  const pugi::xml_node rect = Child(basic, "ShowRect");
  SetAttribute(rect, "RectTopic", v.RectTopic);
  SetInt(rect, "RectTransparence", v.RectTransparence);
  SetInt(rect, "RectPosition", v.RectPosition);
  SetInt(rect, "RectIconPx", v.RectIconPx);
  SetInt(rect, "RectIconWd", v.RectIconWd);
  const pugi::xml_node font = Child(basic, "HintFont");
  SetAttribute(font, "IsShowHint", BoolText(v.IsShowHint));
  SetAttribute(font, "Define", v.HintFontDefine);
  return true;
}

std::optional<std::string> WriteDefaultSettings(ConfigDocument& document) {
  if (!document.Loaded()) return std::nullopt;
  const pugi::xml_node basic = BasicOrMade(document);
  SetText(Child(basic, "HideAfterClick"), "False");
  SetText(Child(basic, "LockPosition"), "False");
  SetInt(Child(basic, "Front"), "Index", 0);
  const pugi::xml_node background = Child(basic, "Background");
  const pugi::xml_node center = Child(basic, "Center");
  SetInt(center, "Action", 4);
  SetAttribute(Child(basic, "HotKey"), "Key", "C");
  SetInt(background, "Size", 300);
  SetInt(center, "Size", 115);
  SetInt(background, "Index", 1);
  SetText(Child(background, "Path"), "");
  SetInt(center, "Index", 1);
  SetText(Child(center, "Path"), "");
  const pugi::xml_node ring = Child(basic, "IconElement");
  SetInt(ring, "MinR", 105);
  SetInt(ring, "SeparationSize", 35);
  SetInt(ring, "RotationValue", 45);
  const pugi::xml_node rect = Child(basic, "ShowRect");
  SetAttribute(rect, "RectTopic", "Default");
  SetInt(rect, "RectTransparence", 100);
  SetInt(rect, "RectPosition", 0);
  SetInt(rect, "RectIconPx", 50);
  SetInt(rect, "RectIconWd", 4);
  const pugi::xml_node font = Child(basic, "HintFont");
  SetAttribute(font, "IsShowHint", "True");
  // A file whose Default was lost still gets a font the label can draw.
  const std::string restored = Attribute(font, "Default").value_or(FileDefaults().HintFontDefine);
  SetAttribute(font, "Define", restored);
  return restored;
}

bool WriteRingTool(ConfigDocument& document, int ringSlot, const std::string& target, const std::string& name,
                   const std::string& iconPath) {
  const pugi::xml_node item = ChildAt(FirstChild(document.Root(), "RoundBackground"), ringSlot);
  if (!item) return false;
  SetText(Child(item, "File"), target);
  SetText(Child(item, "Name"), name);
  SetText(Child(Child(item, "IconPath"), "Define"), iconPath);
  return true;
}

bool ClearRingItem(ConfigDocument& document, int ringSlot) {
  const pugi::xml_node item = ChildAt(FirstChild(document.Root(), "RoundBackground"), ringSlot);
  if (!item) return false;
  for (const char* name : {"File", "Name", "Argument", "Http", "InitialPosition"})
    if (pugi::xml_node child = FirstChild(item, name)) SetText(child, "");
  if (const pugi::xml_node icon = FirstChild(item, "IconPath")) {
    if (pugi::xml_node d = FirstChild(icon, "Default")) SetText(d, "");
    if (pugi::xml_node d = FirstChild(icon, "Define")) SetText(d, "");
  }
  return true;
}

bool AppendRectTool(ConfigDocument& document, int position, const std::string& target, const std::string& name,
                    const std::string& iconPath) {
  if (!document.Loaded()) return false;
  pugi::xml_node list = Child(document.Root(), "RectBackground");
  pugi::xml_node item = list.append_child(("Rect" + std::to_string(position)).c_str());
  SetText(item.append_child("File"), target);
  SetText(item.append_child("Name"), name);
  pugi::xml_node icon = item.append_child("IconPath");
  icon.append_child("Default");
  SetText(icon.append_child("Define"), iconPath);
  item.append_child("Argument");
  item.append_child("Http");
  item.append_child("InitialPosition");
  return true;
}

bool RemoveRectItem(ConfigDocument& document, int position) {
  pugi::xml_node list = FirstChild(document.Root(), "RectBackground");
  const pugi::xml_node item = ChildAt(list, position);
  if (!item) return false;
  list.remove_child(item);
  int n = 0;
  for (pugi::xml_node child = list.first_child(); child; child = child.next_sibling())
    if (child.type() == pugi::node_element) child.set_name(("Rect" + std::to_string(++n)).c_str());
  return true;
}

}  // namespace qv::config
