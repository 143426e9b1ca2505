#include "config/Settings.h"

#include <algorithm>

#include "config/ConfigDocument.h"
#include "config/FontSpec.h"
#include "config/Layout.h"

namespace qv::config {
namespace {

constexpr int kDefaultFrontIndex = 0;

// An integer attribute; the fallback stands in for an absent attribute and
// for text that is not a number, which stays in the file as the user wrote it.
int IntOr(pugi::xml_node node, const char* name, int fallback) {
  const std::optional<std::string> text = Attribute(node, name);
  if (!text) return fallback;
  return ParseInt(*text).value_or(fallback);
}

bool BoolOr(pugi::xml_node node, const char* name, bool fallback) {
  const std::optional<std::string> text = Attribute(node, name);
  if (!text) return fallback;
  return ParseBool(*text).value_or(fallback);
}

// Reads the attribute when present; an absent one is written from the field,
// so the file afterwards says what the program assumed.
void ReadOrComplete(pugi::xml_node node, const char* name, int& field, int fallback) {
  if (!node) {
    field = fallback;
    return;
  }
  if (const std::optional<std::string> text = Attribute(node, name)) {
    field = ParseInt(*text).value_or(fallback);
  } else {
    SetAttribute(node, name, std::to_string(field));
  }
}

struct BasicChildren {
  bool iconElement = false;
  bool showRound = false;
  bool showRect = false;
  bool hintFont = false;
  bool lockIcon = false;
};

BasicChildren ScanBasic(pugi::xml_node basic) {
  BasicChildren found;
  for (pugi::xml_node child = basic.first_child(); child; child = child.next_sibling()) {
    if (child.type() != pugi::node_element) continue;
    const std::string_view name = child.name();
    found.iconElement = found.iconElement || name == "IconElement";
    found.showRound = found.showRound || name == "ShowRound";
    found.showRect = found.showRect || name == "ShowRect";
    found.hintFont = found.hintFont || name == "HintFont";
    found.lockIcon = found.lockIcon || name == "LockIcon";
  }
  return found;
}

void LoadIconElement(pugi::xml_node basic, bool present, Settings& settings, const Settings& defaults) {
  if (present) {
    const pugi::xml_node node = FirstChild(basic, "IconElement");
    // Held to the settings dialog's ranges: a radius of millions overflows
    // the ring's geometry, and a turn of millions of degrees runs the
    // rotation's timer for days. The file keeps what the user wrote.
    settings.MinR = std::clamp(IntOr(node, "MinR", defaults.MinR), kMinRRange.first, kMinRRange.second);
    settings.SeparationSize = std::clamp(IntOr(node, "SeparationSize", defaults.SeparationSize), kSeparationRange.first,
                                         kSeparationRange.second);
    settings.RotationValue =
        std::clamp(IntOr(node, "RotationValue", defaults.RotationValue), kRotationRange.first, kRotationRange.second);
  } else if (basic) {
    pugi::xml_node node = basic.append_child("IconElement");
    SetAttribute(node, "MinR", std::to_string(settings.MinR));
    SetAttribute(node, "SeparationSize", std::to_string(settings.SeparationSize));
    SetAttribute(node, "RotationValue", std::to_string(settings.RotationValue));
  } else {
    settings.MinR = defaults.MinR;
    settings.SeparationSize = defaults.SeparationSize;
    settings.RotationValue = defaults.RotationValue;
  }
}

void LoadShowRound(pugi::xml_node basic, bool present, Settings& settings, const Settings& defaults) {
  if (present) {
    settings.IsShowRound = BoolOr(FirstChild(basic, "ShowRound"), "IsShowRound", defaults.IsShowRound);
  } else if (basic) {
    SetAttribute(basic.append_child("ShowRound"), "IsShowRound", BoolText(true));
  } else {
    settings.IsShowRound = defaults.IsShowRound;
  }
}

void LoadShowRect(pugi::xml_node basic, bool present, Settings& settings, const Settings& defaults) {
  if (present) {
    const pugi::xml_node node = FirstChild(basic, "ShowRect");
    settings.IsShowRect = BoolOr(node, "IsShowRect", defaults.IsShowRect);
    settings.RectTopic = Attribute(node, "RectTopic").value_or(defaults.RectTopic);
    settings.RectTransparence = IntOr(node, "RectTransparence", defaults.RectTransparence);
    settings.RectPosition = IntOr(node, "RectPosition", defaults.RectPosition);
    ReadOrComplete(node, "RectIconPx", settings.RectIconPx, defaults.RectIconPx);
    ReadOrComplete(node, "RectIconWd", settings.RectIconWd, defaults.RectIconWd);
  } else if (basic) {
    pugi::xml_node node = basic.append_child("ShowRect");
    SetAttribute(node, "IsShowRect", BoolText(true));
    SetAttribute(node, "RectTopic", settings.RectTopic);
    SetAttribute(node, "RectTransparence", std::to_string(settings.RectTransparence));
    SetAttribute(node, "RectPosition", std::to_string(settings.RectPosition));
    SetAttribute(node, "RectIconPx", std::to_string(settings.RectIconPx));
    SetAttribute(node, "RectIconWd", std::to_string(settings.RectIconWd));
  } else {
    settings.IsShowRect = defaults.IsShowRect;
    settings.RectTopic = defaults.RectTopic;
    settings.RectTransparence = defaults.RectTransparence;
    settings.RectPosition = defaults.RectPosition;
    settings.RectIconPx = defaults.RectIconPx;
    settings.RectIconWd = defaults.RectIconWd;
  }
}

void LoadHintFont(pugi::xml_node basic, bool present, Settings& settings, const Settings& defaults) {
  if (present) {
    const pugi::xml_node node = FirstChild(basic, "HintFont");
    settings.IsShowHint = BoolOr(node, "IsShowHint", defaults.IsShowHint);
    settings.HintFontDefine = Attribute(node, "Define").value_or(defaults.HintFontDefine);
    return;
  }
  settings.HintFontDefine = kFactoryFontSpec;
  if (basic) {
    pugi::xml_node node = basic.append_child("HintFont");
    SetAttribute(node, "IsShowHint", BoolText(true));
    SetAttribute(node, "Default", settings.HintFontDefine);
    SetAttribute(node, "Define", settings.HintFontDefine);
  } else {
    settings.IsShowHint = defaults.IsShowHint;
  }
}

void LoadLockIcon(pugi::xml_node basic, bool present, Settings& settings, const Settings& defaults) {
  if (present) {
    settings.LockIcon = ParseBool(Text(FirstChild(basic, "LockIcon"))).value_or(defaults.LockIcon);
  } else if (basic) {
    SetText(basic.append_child("LockIcon"), BoolText(false));
  } else {
    settings.LockIcon = defaults.LockIcon;
  }
}

}  // namespace

Settings FileDefaults() {
  Settings defaults;
  defaults.CenterAction = 4;
  defaults.HintFontDefine = kFactoryFontSpec;
  return defaults;
}

pugi::xml_node BasicNode(pugi::xml_node root) { return FirstChild(FirstChild(root, "Setup"), "Basic"); }

WindowLayer FrontLayer(int frontIndex) {
  switch (frontIndex) {
    case 1:
      return WindowLayer::Topmost;
    case 2:
      return WindowLayer::Desktop;
    default:
      return WindowLayer::Normal;
  }
}

std::string HotKeyText(pugi::xml_node root) {
  const std::optional<std::string> key = Attribute(FirstChild(BasicNode(root), "HotKey"), "Key");
  if (!key || key->empty()) return "C";
  return *key;
}

// Completions are appended to Basic in the order of the reads, each with its
// attributes in a fixed order, so two programs completing the same file write
// the same bytes. Nothing is ever created above Basic: a file without it is
// read with the defaults and saved as it was (plus RectBackground).
SettingsOutcome LoadSettings(ConfigDocument& document, Settings& settings) {
  SettingsOutcome outcome;
  outcome.load = document.Load();
  switch (outcome.load.status) {
    case LoadStatus::Missing:
      outcome.status = SettingsStatus::Missing;
      return outcome;
    case LoadStatus::Unreadable:
      outcome.status = SettingsStatus::Unreadable;
      return outcome;
    case LoadStatus::Ok:
      outcome.status = SettingsStatus::Loaded;
      break;
  }

  const Settings defaults = FileDefaults();
  pugi::xml_node root = document.Root();
  const pugi::xml_node basic = BasicNode(root);

  outcome.frontIndex = IntOr(FirstChild(basic, "Front"), "Index", kDefaultFrontIndex);

  // Read only: a file without the choice follows Windows and stays as it is.
  settings.Language = ParseLanguageChoice(Attribute(basic, "Language"));
  settings.HideAfterClick = IsExactTrue(Text(FirstChild(basic, "HideAfterClick")));
  settings.LockPosition = IsExactTrue(Text(FirstChild(basic, "LockPosition")));

  const pugi::xml_node background = FirstChild(basic, "Background");
  const pugi::xml_node center = FirstChild(basic, "Center");
  const pugi::xml_node position = FirstChild(basic, "Position");
  settings.BackgroundIndex = IntOr(background, "Index", defaults.BackgroundIndex);
  settings.CenterIndex = IntOr(center, "Index", defaults.CenterIndex);
  settings.CenterAction = IntOr(center, "Action", defaults.CenterAction);
  // Without a stored position the window stays where it was created.
  settings.PositionLeft = IntOr(position, "Left", settings.PositionLeft);
  settings.PositionTop = IntOr(position, "Top", settings.PositionTop);

  ReadOrComplete(background, "Size", settings.BackgroundSize, defaults.BackgroundSize);
  ReadOrComplete(center, "Size", settings.CenterSize, defaults.CenterSize);

  const BasicChildren found = ScanBasic(basic);
  LoadIconElement(basic, found.iconElement, settings, defaults);
  LoadShowRound(basic, found.showRound, settings, defaults);
  LoadShowRect(basic, found.showRect, settings, defaults);
  LoadHintFont(basic, found.hintFont, settings, defaults);
  LoadLockIcon(basic, found.lockIcon, settings, defaults);

  settings.RectListCreated = !FirstChild(root, "RectBackground");
  if (settings.RectListCreated) root.append_child("RectBackground");

  outcome.saved = document.Save();
  return outcome;
}

bool SaveSkinsAndPosition(ConfigDocument& document, const Settings& settings) {
  if (document.Load().status != LoadStatus::Ok) return false;
  const pugi::xml_node basic = BasicNode(document.Root());
  if (pugi::xml_node background = FirstChild(basic, "Background")) {
    SetAttribute(background, "Index", std::to_string(settings.BackgroundIndex));
    SetAttribute(background, "Size", std::to_string(settings.BackgroundSize));
  }
  if (pugi::xml_node center = FirstChild(basic, "Center")) {
    SetAttribute(center, "Index", std::to_string(settings.CenterIndex));
    SetAttribute(center, "Size", std::to_string(settings.CenterSize));
    SetAttribute(center, "Action", std::to_string(settings.CenterAction));
  }
  if (pugi::xml_node position = FirstChild(basic, "Position")) {
    SetAttribute(position, "Left", std::to_string(settings.PositionLeft));
    SetAttribute(position, "Top", std::to_string(settings.PositionTop));
  }
  return document.Save();
}

}  // namespace qv::config
