#include <gtest/gtest.h>

#include <functional>

#include "config/FontSpec.h"
#include "config/Layout.h"
#include "config/Settings.h"
#include "tests/config/FakePlatform.h"

namespace qv::config {
namespace {

using testing::DistributedFile;
using testing::IconvSystem;
using testing::kConfigPath;
using testing::MemoryFiles;

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// The whole line of the file that holds the text, with its tabs and newline.
std::string LineOf(const std::string& text, const std::string& part) {
  const std::size_t at = text.find(part);
  EXPECT_NE(at, std::string::npos) << part;
  if (at == std::string::npos) return "";
  const std::size_t begin = text.rfind('\n', at) + 1;
  return text.substr(begin, text.find('\n', at) + 1 - begin);
}

constexpr const char* kEndOfBasic = "\t\t</Basic>\n";

// The distributed file as the first start leaves it.
std::string CompleteFile() { return Replace(DistributedFile(), "</Quorvel>", "\t<RectBackground />\n</Quorvel>"); }

// Values that no file and no default holds, to tell "kept" from "defaulted".
Settings Sentinel() {
  Settings s;
  s.HideAfterClick = s.LockPosition = s.LockIcon = s.RectListCreated = true;
  s.BackgroundIndex = s.BackgroundSize = s.CenterIndex = s.CenterSize = s.CenterAction = 7001;
  s.PositionLeft = -7002;
  s.PositionTop = 7003;
  s.MinR = s.SeparationSize = s.RotationValue = 7004;
  s.IsShowRound = s.IsShowRect = s.IsShowHint = false;
  s.RectTopic = s.HintFontDefine = "sentinel";
  s.RectTransparence = s.RectPosition = s.RectIconPx = s.RectIconWd = 7005;
  return s;
}

void ExpectSettings(const Settings& actual, const Settings& expected) {
#define F(field) EXPECT_EQ(actual.field, expected.field) << #field;
  F(HideAfterClick) F(LockPosition) F(LockIcon) F(BackgroundIndex) F(BackgroundSize) F(CenterIndex) F(CenterSize)
  F(CenterAction) F(PositionLeft) F(PositionTop) F(MinR) F(SeparationSize) F(RotationValue) F(IsShowRound)
  F(IsShowRect) F(RectTopic) F(RectTransparence) F(RectPosition) F(RectIconPx) F(RectIconWd) F(IsShowHint)
  F(HintFontDefine) F(RectListCreated)
#undef F
}

struct LoadedFile {
  explicit LoadedFile(std::optional<std::string> bytes, Settings incoming = {}, bool refuseWrites = false)
      : settings(std::move(incoming)) {
    if (bytes) files.files[kConfigPath] = *bytes;
    files.refuseWrites = refuseWrites;
    outcome = LoadSettings(document, settings);
  }
  const std::string& File() { return files.files[kConfigPath]; }
  MemoryFiles files;
  IconvSystem system;
  ConfigDocument document{files, system, kConfigPath};
  Settings settings;
  SettingsOutcome outcome;
};

// Each part the loader completes, removed alone, comes back with the default values at the
// end of its parent, attributes in their fixed order; the dock list is saved before any window.
TEST(ConfigSettings, EachMissingPartIsCompleted) {
  const std::string complete = CompleteFile();
  const auto element = [&](const char* name) {
    const std::string line = LineOf(complete, std::string("<") + name);
    return std::pair(Replace(complete, line, ""), Replace(Replace(complete, line, ""), kEndOfBasic, line + kEndOfBasic));
  };
  // Completed together, the elements come in the order they are read: LockIcon, first in the file, comes last.
  std::string allLoaded = complete, appended;
  for (const char* name : {"IconElement", "ShowRound", "ShowRect", "HintFont", "LockIcon"}) {
    allLoaded = Replace(allLoaded, LineOf(complete, std::string("<") + name), "");
    appended += LineOf(complete, std::string("<") + name);
  }
  const std::string sizeFirst = Replace(complete, "Index=\"1\" Action=\"4\" Size=\"115\"", "Size=\"115\" Index=\"1\" Action=\"4\"");
  const std::pair<const char*, std::pair<std::string, std::string>> cases[] = {
      {"LockIcon", element("LockIcon")},
      {"Background Size", {Replace(complete, "<Background Index=\"1\" Size=\"300\">", "<Background Index=\"1\">"), complete}},
      {"Center Size", {Replace(complete, " Action=\"4\" Size=\"115\"", " Action=\"4\""), complete}},
      {"Center Size before Action", {sizeFirst, sizeFirst}},
      {"RectIconPx", {Replace(complete, " RectIconPx=\"50\"", ""),
                      Replace(complete, "RectIconPx=\"50\" RectIconWd=\"4\"", "RectIconWd=\"4\" RectIconPx=\"50\"")}},
      {"RectIconPx and RectIconWd", {Replace(complete, " RectIconPx=\"50\" RectIconWd=\"4\"", ""), complete}},
      {"RectBackground", {DistributedFile(), complete}},
      {"all five", {allLoaded, Replace(allLoaded, kEndOfBasic, appended + kEndOfBasic)}},
  };
  for (const auto& [name, files] : cases) {
    SCOPED_TRACE(name);
    LoadedFile run(files.first);
    ASSERT_EQ(run.outcome.status, SettingsStatus::Loaded);
    EXPECT_TRUE(run.outcome.saved);
    EXPECT_EQ(run.File(), files.second);
    Settings defaults = FileDefaults();
    defaults.RectListCreated = std::string(name) == "RectBackground";
    ExpectSettings(run.settings, defaults);
  }
}

struct ValueCase {
  std::string from;  // text of the complete file
  std::string to;
  std::function<void(Settings&)> expect;  // changes FileDefaults() to the expected settings
};

template <typename T>
std::function<void(Settings&)> Set(T Settings::*field, T value) {
  return [=](Settings& s) { s.*field = value; };
}

// HideAfterClick and LockPosition count only when exactly "True"; the others read any case or a number.
// One case per field says which reader it goes through; the readers' own edges are ConfigDocument's.
// Nodes no step completes fall back to the defaults without being created; the position falls back to the
// window's. The file is complete, so it comes back exactly as loaded: the user's text stays even where it
// could not be read.
TEST(ConfigSettings, ValuesReadOrFallenBackTo) {
  const std::string complete = CompleteFile();
  const auto none = [](Settings&) {};
  const ValueCase cases[] = {
      {"<HideAfterClick>False", "<HideAfterClick>True", Set(&Settings::HideAfterClick, true)},
      {"<HideAfterClick>False", "<HideAfterClick>true", Set(&Settings::HideAfterClick, false)},
      {"<LockPosition>False", "<LockPosition>TRUE", Set(&Settings::LockPosition, false)},
      {"<LockIcon>False", "<LockIcon>true", Set(&Settings::LockIcon, true)},
      {"IsShowRound=\"True\"", "IsShowRound=\"FALSE\"", Set(&Settings::IsShowRound, false)},
      {"IsShowRound=\"True\"", "IsShowRound=\"maybe\"", Set(&Settings::IsShowRound, true)},
      {"IsShowRect=\"True\"", "IsShowRect=\"0\"", Set(&Settings::IsShowRect, false)},
      {"IsShowHint=\"True\"", "IsShowHint=\"fAlSe\"", Set(&Settings::IsShowHint, false)},
      // Numbers that do not parse take the default.
      {"Index=\"1\" Size=\"300\"", "Index=\"one\" Size=\"300\"", none},
      {"Left=\"600\"", "Left=\"left\"", Set(&Settings::PositionLeft, Sentinel().PositionLeft)},  // the window stays
      {"<Front Index=\"0\" />", "<Front Index=\"x\" />", none},
      // The ring's numbers are held to the settings dialog's ranges, at both ends.
      {"MinR=\"105\"", "MinR=\"301\"", Set(&Settings::MinR, 300)},
      {"MinR=\"105\"", "MinR=\"-1\"", Set(&Settings::MinR, 0)},
      {"SeparationSize=\"35\"", "SeparationSize=\"101\"", Set(&Settings::SeparationSize, 100)},
      {"SeparationSize=\"35\"", "SeparationSize=\"-2147483648\"", Set(&Settings::SeparationSize, 0)},
      {"RotationValue=\"45\"", "RotationValue=\"0\"", Set(&Settings::RotationValue, 1)},
      {"RotationValue=\"45\"", "RotationValue=\"361\"", Set(&Settings::RotationValue, 360)},
      {"Action=\"4\"", "Action=\" 9 \"", Set(&Settings::CenterAction, 9)},
      // Missing nodes.
      {LineOf(complete, "<Front"), "", none},
      {LineOf(complete, "<Center") + "\t\t\t\t<Path />\n\t\t\t</Center>\n", "", none},
      {" Action=\"4\"", "", none},
      {LineOf(complete, "<Position"), "", [](Settings& s) { s.PositionLeft = -7002, s.PositionTop = 7003; }},
      {" Top=\"368\"", "", Set(&Settings::PositionTop, 7003)},
      {LineOf(complete, "<HotKey"), "", none},
      {"<HotKey Key=\"C\" />", "<HotKey Key=\"\" />", none},
      {"<HotKey Key=\"C\" />", "<Hotkey Key=\"Q\" />", none},  // names are compared case-sensitively
      {"\" Define=\"&quot;宋体&quot;, 12, [Bold], [$00E9E9E9]\"", "\"", none},
      {"Define=\"&quot;宋体&quot;, 12, [Bold]", "Define=\"&quot;Tahoma&quot;, 9, [Italic]",
       Set<std::string>(&Settings::HintFontDefine, "\"Tahoma\", 9, [Italic], [$00E9E9E9]")},
  };
  for (const ValueCase& c : cases) {
    SCOPED_TRACE(c.from + " -> " + c.to);
    const std::string loaded = Replace(complete, c.from, c.to);
    LoadedFile run(loaded, Sentinel());
    ASSERT_EQ(run.outcome.status, SettingsStatus::Loaded);
    EXPECT_EQ(run.File(), loaded);
    EXPECT_EQ(run.outcome.frontIndex, 0);
    EXPECT_EQ(HotKeyText(run.document.Root()), "C");
    Settings expected = FileDefaults();
    c.expect(expected);
    ExpectSettings(run.settings, expected);
  }
}

// Without Setup or Basic nothing else is invented; the dock list is always the document element's last child.
TEST(ConfigSettings, SkeletonFilesGainOnlyTheDockList) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"<r><Setup/><!--end--></r>", "<r>\n\t<Setup />\n\t<!--end-->\n\t<RectBackground />\n</r>\n", true},
      {"<r><Setup><RectBackground/></Setup></r>",
       "<r>\n\t<Setup>\n\t\t<RectBackground />\n\t</Setup>\n\t<RectBackground />\n</r>\n", true},
      {"<r><RectBackground><Rect1/></RectBackground><Setup/></r>", "<r><RectBackground><Rect1/></RectBackground><Setup/></r>",
       false},
      {"<r><Setup><basic/><Front Index='1'/></Setup><RectBackground/></r>",
       "<r><Setup><basic/><Front Index='1'/></Setup><RectBackground/></r>", false},
  };
  for (const auto& [loaded, saved, created] : cases) {
    SCOPED_TRACE(loaded);
    LoadedFile run(loaded, Sentinel());
    ASSERT_EQ(run.outcome.status, SettingsStatus::Loaded);
    EXPECT_EQ(run.File(), saved);
    EXPECT_EQ(run.outcome.frontIndex, 0);
    Settings expected = FileDefaults();
    expected.PositionLeft = Sentinel().PositionLeft;
    expected.PositionTop = Sentinel().PositionTop;
    expected.RectListCreated = created;
    ExpectSettings(run.settings, expected);
  }
}

TEST(ConfigSettings, FrontLayer) {
  const std::pair<int, WindowLayer> cases[] = {{0, WindowLayer::Normal}, {1, WindowLayer::Topmost},
                                               {2, WindowLayer::Desktop}, {3, WindowLayer::Normal},
                                               {-1, WindowLayer::Normal}};
  for (const auto& [index, layer] : cases) EXPECT_EQ(FrontLayer(index), layer) << index;
}

// A file that cannot be read is the user's work: reported, left byte for byte, settings untouched.
TEST(ConfigSettings, MissingOrUnreadableFileWritesNothing) {
  LoadedFile missing(std::nullopt, Sentinel());
  EXPECT_EQ(missing.outcome.status, SettingsStatus::Missing);
  EXPECT_TRUE(missing.files.files.empty());
  ExpectSettings(missing.settings, Sentinel());

  const std::string complete = CompleteFile(), cut = complete.substr(0, complete.size() / 2);
  LoadedFile unreadable(cut, Sentinel());
  EXPECT_EQ(unreadable.outcome.status, SettingsStatus::Unreadable);
  EXPECT_FALSE(unreadable.outcome.load.description.empty());
  EXPECT_FALSE(unreadable.outcome.saved);
  EXPECT_EQ(unreadable.files.writes, 0);
  EXPECT_EQ(unreadable.File(), cut);
  ExpectSettings(unreadable.settings, Sentinel());
  LoadedFile refused(DistributedFile(), {}, true);
  EXPECT_EQ(refused.outcome.status, SettingsStatus::Loaded);
  EXPECT_FALSE(refused.outcome.saved);
}

// Closing writes the skins, sizes, action and position, creating no missing node; an unreadable file is not touched.
TEST(ConfigSettings, SaveSkinsAndPosition) {
  Settings settings;
  settings.BackgroundIndex = 3, settings.BackgroundSize = 280, settings.CenterIndex = 5, settings.CenterSize = 120;
  settings.CenterAction = 7, settings.PositionLeft = -20, settings.PositionTop = 1040;
  settings.MinR = 1;  // not a skin or position value: never written here
  const std::string complete = CompleteFile();
  const std::string center = "<Center Index=\"1\" Action=\"4\" Size=\"115\">", position = LineOf(complete, "<Position");
  const auto written = [&](std::string text, const std::string& centerFrom, const std::string& centerTo) {
    text = Replace(text, "<Background Index=\"1\" Size=\"300\">", "<Background Index=\"3\" Size=\"280\">");
    if (text.find(position) != std::string::npos)
      text = Replace(text, position, "\t\t\t<Position Left=\"-20\" Top=\"1040\" />\n");
    return Replace(text, centerFrom, centerTo);
  };
  const std::string full = "<Center Index=\"5\" Action=\"7\" Size=\"120\">";
  const std::string noActionOrSize = Replace(complete, " Action=\"4\" Size=\"115\"", "");
  const std::string noPosition = Replace(complete, position, "");
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {complete, written(complete, center, full)},
      {noActionOrSize, written(noActionOrSize, "<Center Index=\"1\">", "<Center Index=\"5\" Size=\"120\" Action=\"7\">")},
      {noPosition, written(noPosition, center, full)},
      {"<a><b></a>", std::nullopt},
  };
  for (const auto& [loaded, saved] : cases) {
    LoadedFile run(std::nullopt);
    run.files.files[kConfigPath] = loaded;
    EXPECT_EQ(SaveSkinsAndPosition(run.document, settings), saved.has_value());
    EXPECT_EQ(run.File(), saved.value_or(loaded));
    EXPECT_EQ(run.files.writes, saved ? 1 : 0);
  }
}

}  // namespace
}  // namespace qv::config
