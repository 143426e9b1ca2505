#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "config/FontSpec.h"
#include "config/Settings.h"
#include "platform/headless/Iconv.h"
#include "tests/config/FakePlatform.h"

namespace qv::config {
namespace {

using testing::IconvSystem;
using testing::kConfigPath;
using testing::MemoryFiles;

std::string DistributedFile() {
  std::ifstream in(QV_SOURCE_DIR "/config/UserInfo.xml", std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

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
  s.HideAfterClick = s.LockPosition = s.LockIcon = true;
  s.BackgroundIndex = s.BackgroundSize = s.CenterIndex = s.CenterSize = s.CenterAction = 7001;
  s.PositionLeft = -7002;
  s.PositionTop = 7003;
  s.MinR = s.SeparationSize = s.RotationValue = 7004;
  s.IsShowRound = s.IsShowRect = s.IsShowHint = false;
  s.RectTopic = s.HintFontDefine = "sentinel";
  s.RectTransparence = s.RectPosition = s.RectIconPx = s.RectIconWd = 7005;
  s.RectListCreated = true;
  return s;
}

void ExpectSettings(const Settings& actual, const Settings& expected) {
#define QV_EXPECT_FIELD(field) EXPECT_EQ(actual.field, expected.field) << #field
  QV_EXPECT_FIELD(HideAfterClick);
  QV_EXPECT_FIELD(LockPosition);
  QV_EXPECT_FIELD(LockIcon);
  QV_EXPECT_FIELD(BackgroundIndex);
  QV_EXPECT_FIELD(BackgroundSize);
  QV_EXPECT_FIELD(CenterIndex);
  QV_EXPECT_FIELD(CenterSize);
  QV_EXPECT_FIELD(CenterAction);
  QV_EXPECT_FIELD(PositionLeft);
  QV_EXPECT_FIELD(PositionTop);
  QV_EXPECT_FIELD(MinR);
  QV_EXPECT_FIELD(SeparationSize);
  QV_EXPECT_FIELD(RotationValue);
  QV_EXPECT_FIELD(IsShowRound);
  QV_EXPECT_FIELD(IsShowRect);
  QV_EXPECT_FIELD(RectTopic);
  QV_EXPECT_FIELD(RectTransparence);
  QV_EXPECT_FIELD(RectPosition);
  QV_EXPECT_FIELD(RectIconPx);
  QV_EXPECT_FIELD(RectIconWd);
  QV_EXPECT_FIELD(IsShowHint);
  QV_EXPECT_FIELD(HintFontDefine);
  QV_EXPECT_FIELD(RectListCreated);
#undef QV_EXPECT_FIELD
}

struct LoadedFile {
  explicit LoadedFile(const std::string& bytes, Settings incoming = {}) : settings(std::move(incoming)) {
    files.files[kConfigPath] = bytes;
    outcome = LoadSettings(document, settings);
  }
  const std::string& File() { return files.files[kConfigPath]; }
  MemoryFiles files;
  IconvSystem system;
  ConfigDocument document{files, system, kConfigPath};
  Settings settings;
  SettingsOutcome outcome;
};

TEST(ConfigSettings, DistributedFileHoldsTheDefaults) {
  const std::string distributed = DistributedFile();
  ASSERT_EQ(distributed.find("RectBackground"), std::string::npos);
  LoadedFile run(distributed);
  EXPECT_EQ(run.outcome.status, SettingsStatus::Loaded);
  EXPECT_TRUE(run.outcome.saved);
  EXPECT_EQ(run.outcome.frontIndex, 0);
  Settings expected = FileDefaults();
  expected.RectListCreated = true;
  ExpectSettings(run.settings, expected);
  // The first start adds only the empty dock list: every other node is there.
  EXPECT_EQ(run.File(), CompleteFile());

  const pugi::xml_node root = run.document.Root();
  EXPECT_EQ(HotKeyText(root), "C");
  const pugi::xml_node ring = FirstChild(root, "RoundBackground");
  ASSERT_EQ(CountChildElements(ring), 20);
  for (int n = 1; n <= 20; ++n) {
    SCOPED_TRACE(n);
    const pugi::xml_node item = ChildAt(ring, n);
    EXPECT_EQ(std::string(item.name()), "Circle" + std::to_string(n));
    std::string children;
    for (int c = 1; c <= CountChildElements(item); ++c) children += std::string(ChildAt(item, c).name()) + " ";
    EXPECT_EQ(children, "File Argument Name IconPath Http InitialPosition ");
    EXPECT_EQ(CountChildElements(FirstChild(item, "IconPath")), 2);
    EXPECT_EQ(Text(item), "");
  }
  EXPECT_EQ(ParseFontSpec(run.settings.HintFontDefine), (FontSpec{"宋体", 12, true, false, false, false, 0x00E9E9E9}));
}

TEST(ConfigSettings, LoadingACompleteFileTwiceChangesNothing) {
  LoadedFile run(CompleteFile());
  const std::string first = run.File();
  EXPECT_EQ(first, CompleteFile());
  EXPECT_FALSE(run.settings.RectListCreated);
  Settings again;
  const SettingsOutcome second = LoadSettings(run.document, again);
  EXPECT_TRUE(second.saved);
  EXPECT_EQ(run.files.writes, 2);  // saved each time, whether or not anything changed
  EXPECT_EQ(run.File(), first);
  ExpectSettings(again, run.settings);
}

// Each part the loader completes, removed alone: it comes back with the
// default values, at the end of its parent, attributes in their fixed order.
TEST(ConfigSettings, EachMissingPartIsCompleted) {
  const std::string complete = CompleteFile();
  const auto elementCase = [&](const char* name) {
    const std::string line = LineOf(complete, std::string("<") + name);
    return std::pair(Replace(complete, line, ""),
                     Replace(Replace(complete, line, ""), kEndOfBasic, line + kEndOfBasic));
  };
  struct Case {
    const char* name;
    std::pair<std::string, std::string> loadedAndExpected;
  };
  const Case cases[] = {
      {"IconElement", elementCase("IconElement")},
      {"ShowRound", elementCase("ShowRound")},
      {"ShowRect", elementCase("ShowRect")},
      {"HintFont", elementCase("HintFont")},
      {"LockIcon", elementCase("LockIcon")},
      {"Background Size",
       {Replace(complete, "<Background Index=\"1\" Size=\"300\">", "<Background Index=\"1\">"), complete}},
      {"Center Size", {Replace(complete, " Action=\"4\" Size=\"115\"", " Action=\"4\""), complete}},
      {"Center Size before Action",
       {Replace(complete, "Index=\"1\" Action=\"4\" Size=\"115\"", "Size=\"115\" Index=\"1\" Action=\"4\""),
        Replace(complete, "Index=\"1\" Action=\"4\" Size=\"115\"", "Size=\"115\" Index=\"1\" Action=\"4\"")}},
      {"RectIconWd", {Replace(complete, " RectIconWd=\"4\"", ""), complete}},
      {"RectIconPx",
       {Replace(complete, " RectIconPx=\"50\"", ""),
        Replace(complete, "RectIconPx=\"50\" RectIconWd=\"4\"", "RectIconWd=\"4\" RectIconPx=\"50\"")}},
      {"RectIconPx and RectIconWd", {Replace(complete, " RectIconPx=\"50\" RectIconWd=\"4\"", ""), complete}},
      {"RectBackground", {DistributedFile(), complete}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto& [loaded, expected] = c.loadedAndExpected;
    LoadedFile run(loaded);
    ASSERT_EQ(run.outcome.status, SettingsStatus::Loaded);
    EXPECT_TRUE(run.outcome.saved);
    EXPECT_EQ(run.File(), expected);
    Settings defaults = FileDefaults();
    defaults.RectListCreated = std::string(c.name) == "RectBackground";
    ExpectSettings(run.settings, defaults);
  }
}

TEST(ConfigSettings, CompletionsFollowTheReadOrder) {
  const std::string complete = CompleteFile();
  std::string loaded = complete;
  std::string appended;
  for (const char* name : {"<IconElement", "<ShowRound", "<ShowRect", "<HintFont", "<LockIcon"}) {
    const std::string line = LineOf(complete, name);
    loaded = Replace(loaded, line, "");
    appended += line;
  }
  // LockIcon stands before Background in the distributed file; completed, it comes last.
  LoadedFile run(loaded);
  EXPECT_EQ(run.File(), Replace(loaded, kEndOfBasic, appended + kEndOfBasic));
}

// A completion writes what the program holds for the value, so memory and
// file agree afterwards.
TEST(ConfigSettings, CompletionsWriteTheFields) {
  Settings incoming;
  incoming.BackgroundSize = 250;
  incoming.RectIconPx = 64;
  incoming.MinR = 90;
  const std::string complete = CompleteFile();
  std::string loaded = Replace(complete, " Size=\"300\"", "");
  loaded = Replace(loaded, " RectIconPx=\"50\"", "");
  loaded = Replace(loaded, LineOf(complete, "<IconElement"), "");
  LoadedFile run(loaded, incoming);
  EXPECT_EQ(run.settings.BackgroundSize, 250);
  EXPECT_EQ(run.settings.RectIconPx, 64);
  EXPECT_EQ(run.settings.MinR, 90);
  EXPECT_NE(run.File().find("<Background Index=\"1\" Size=\"250\">"), std::string::npos);
  EXPECT_NE(run.File().find("RectIconWd=\"4\" RectIconPx=\"64\""), std::string::npos);
  EXPECT_NE(run.File().find("<IconElement MinR=\"90\" SeparationSize=\"35\" RotationValue=\"45\" />\n" +
                            std::string(kEndOfBasic)),
            std::string::npos);
}

TEST(ConfigSettings, RectBackgroundIsTheLastChildOfTheDocumentElement) {
  struct Case {
    const char* loaded;
    const char* saved;
    bool created;
  };
  const Case cases[] = {
      {"<r><Setup/><RoundBackground/><!--end--></r>",
       "<r>\n\t<Setup />\n\t<RoundBackground />\n\t<!--end-->\n\t<RectBackground />\n</r>\n", true},
      {"<r><Setup><RectBackground/></Setup></r>",
       "<r>\n\t<Setup>\n\t\t<RectBackground />\n\t</Setup>\n\t<RectBackground />\n</r>\n", true},
      {"<r><RectBackground><Rect1/></RectBackground><Setup/></r>",
       "<r>\n\t<RectBackground>\n\t\t<Rect1 />\n\t</RectBackground>\n\t<Setup />\n</r>\n", false},
      {"<r><?RectBackground?></r>", "<r>\n\t<?RectBackground?>\n\t<RectBackground />\n</r>\n", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.loaded);
    LoadedFile run(c.loaded);
    EXPECT_EQ(run.File(), c.saved);
    EXPECT_EQ(run.settings.RectListCreated, c.created);
  }
}

struct ValueCase {
  const char* name;
  const char* from;  // text of the complete file
  const char* to;
  std::function<void(Settings&)> expect;  // changes FileDefaults() to the expected settings
};

// The file is complete, so it must come back exactly as loaded: the user's
// text stays even where the program could not read it.
void ExpectValueCases(const std::vector<ValueCase>& cases) {
  for (const ValueCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string loaded = Replace(CompleteFile(), c.from, c.to);
    LoadedFile run(loaded, Sentinel());
    ASSERT_EQ(run.outcome.status, SettingsStatus::Loaded);
    EXPECT_EQ(run.File(), loaded);
    Settings expected = FileDefaults();
    expected.PositionLeft = 600;
    expected.PositionTop = 368;
    c.expect(expected);
    ExpectSettings(run.settings, expected);
  }
}

TEST(ConfigSettings, ExactAndAnyCaseBooleans) {
  const auto set = [](bool Settings::*field, bool value) { return [=](Settings& s) { s.*field = value; }; };
  ExpectValueCases({
      {"HideAfterClick True", "<HideAfterClick>False", "<HideAfterClick>True", set(&Settings::HideAfterClick, true)},
      {"HideAfterClick true", "<HideAfterClick>False", "<HideAfterClick>true", set(&Settings::HideAfterClick, false)},
      {"HideAfterClick TRUE", "<HideAfterClick>False", "<HideAfterClick>TRUE", set(&Settings::HideAfterClick, false)},
      {"HideAfterClick 1", "<HideAfterClick>False", "<HideAfterClick>1", set(&Settings::HideAfterClick, false)},
      {"LockPosition True", "<LockPosition>False", "<LockPosition>True", set(&Settings::LockPosition, true)},
      {"LockPosition true", "<LockPosition>False", "<LockPosition>true", set(&Settings::LockPosition, false)},
      {"LockIcon true", "<LockIcon>False", "<LockIcon>true", set(&Settings::LockIcon, true)},
      {"LockIcon 1", "<LockIcon>False", "<LockIcon>1", set(&Settings::LockIcon, true)},
      {"LockIcon yes", "<LockIcon>False", "<LockIcon>yes", set(&Settings::LockIcon, false)},
      {"IsShowRound true", "IsShowRound=\"True\"", "IsShowRound=\"true\"", set(&Settings::IsShowRound, true)},
      {"IsShowRound FALSE", "IsShowRound=\"True\"", "IsShowRound=\"FALSE\"", set(&Settings::IsShowRound, false)},
      {"IsShowRound 0", "IsShowRound=\"True\"", "IsShowRound=\"0\"", set(&Settings::IsShowRound, false)},
      {"IsShowRound maybe", "IsShowRound=\"True\"", "IsShowRound=\"maybe\"", set(&Settings::IsShowRound, true)},
      {"IsShowRect false", "IsShowRect=\"True\"", "IsShowRect=\"false\"", set(&Settings::IsShowRect, false)},
      {"IsShowRect -3", "IsShowRect=\"True\"", "IsShowRect=\"-3\"", set(&Settings::IsShowRect, true)},
      {"IsShowHint fAlSe", "IsShowHint=\"True\"", "IsShowHint=\"fAlSe\"", set(&Settings::IsShowHint, false)},
      {"IsShowHint empty", "IsShowHint=\"True\"", "IsShowHint=\"\"", set(&Settings::IsShowHint, true)},
  });
}

TEST(ConfigSettings, NumbersThatDoNotParseTakeTheDefault) {
  const auto set = [](int Settings::*field, int value) { return [=](Settings& s) { s.*field = value; }; };
  const auto none = [](Settings&) {};
  ExpectValueCases({
      {"Background Index", "Index=\"1\" Size=\"300\"", "Index=\"one\" Size=\"300\"", none},
      {"Background Size", "Size=\"300\"", "Size=\"12a\"", none},
      {"Background Size empty", "Size=\"300\"", "Size=\"\"", none},
      {"Center Action", "Action=\"4\"", "Action=\"x\"", none},
      {"Center Size overflow", "Size=\"115\"", "Size=\"99999999999\"", none},
      {"Position Left", "Left=\"600\"", "Left=\"left\"", set(&Settings::PositionLeft, Sentinel().PositionLeft)},
      {"MinR", "MinR=\"105\"", "MinR=\"1.5\"", none},
      {"RectTransparence", "RectTransparence=\"100\"", "RectTransparence=\"-\"", none},
      {"RectIconWd", "RectIconWd=\"4\"", "RectIconWd=\"four\"", none},
      // Readable values are taken as they are: no range is enforced here.
      {"Center Action 9", "Action=\"4\"", "Action=\" 9 \"", set(&Settings::CenterAction, 9)},
      {"Position negative", "Left=\"600\"", "Left=\"-1200\"", set(&Settings::PositionLeft, -1200)},
      {"RectPosition 1", "RectPosition=\"0\"", "RectPosition=\"1\"", set(&Settings::RectPosition, 1)},
  });
}

// Nodes no step completes fall back to the defaults without being created;
// only the position falls back to where the window already is.
TEST(ConfigSettings, MissingNodesThatAreNotCompleted) {
  const std::string complete = CompleteFile();
  const std::string background = LineOf(complete, "<Background") + "\t\t\t\t<Path />\n\t\t\t</Background>\n";
  const std::string center = LineOf(complete, "<Center") + "\t\t\t\t<Path />\n\t\t\t</Center>\n";
  struct Case {
    const char* name;
    std::string from;
    std::string to;
    bool keepsPosition;
    std::string hintFontDefine;
  };
  const Case cases[] = {
      {"Front", LineOf(complete, "<Front"), "", false, kFactoryFontSpec},
      {"HideAfterClick", LineOf(complete, "<HideAfterClick"), "", false, kFactoryFontSpec},
      {"Background", background, "", false, kFactoryFontSpec},
      {"Center", center, "", false, kFactoryFontSpec},
      {"Center Action", " Action=\"4\"", "", false, kFactoryFontSpec},
      {"Position", LineOf(complete, "<Position"), "", true, kFactoryFontSpec},
      {"Position Top", " Top=\"368\"", "", true, kFactoryFontSpec},
      {"HotKey", LineOf(complete, "<HotKey"), "", false, kFactoryFontSpec},
      {"RectTopic", " RectTopic=\"Default\"", "", false, kFactoryFontSpec},
      {"HintFont Define", "\" Define=\"&quot;宋体&quot;, 12, [Bold], [$00E9E9E9]\"", "\"", false, kFactoryFontSpec},
      {"HintFont Define differs from Default", "Define=\"&quot;宋体&quot;, 12, [Bold]",
       "Define=\"&quot;Tahoma&quot;, 9, [Italic]", false, "\"Tahoma\", 9, [Italic], [$00E9E9E9]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string loaded = Replace(complete, c.from, c.to);
    LoadedFile run(loaded, Sentinel());
    ASSERT_EQ(run.outcome.status, SettingsStatus::Loaded);
    EXPECT_EQ(run.File(), loaded);
    EXPECT_EQ(run.outcome.frontIndex, 0);
    EXPECT_EQ(HotKeyText(run.document.Root()), "C");
    Settings expected = FileDefaults();
    expected.HintFontDefine = c.hintFontDefine;
    if (c.keepsPosition) {
      expected.PositionLeft = std::string(c.name) == "Position" ? Sentinel().PositionLeft : 600;
      expected.PositionTop = Sentinel().PositionTop;
    }
    ExpectSettings(run.settings, expected);
  }
}

TEST(ConfigSettings, WithoutSetupOrBasicNothingIsInvented) {
  struct Case {
    const char* loaded;
    const char* saved;
  };
  const Case cases[] = {
      {"<Quorvel><RoundBackground/></Quorvel>", "<Quorvel>\n\t<RoundBackground />\n\t<RectBackground />\n</Quorvel>\n"},
      {"<Quorvel><Setup/><RectBackground/></Quorvel>", "<Quorvel>\n\t<Setup />\n\t<RectBackground />\n</Quorvel>\n"},
      {"<Quorvel><Setup><basic/><Front Index='1'/></Setup><RectBackground/></Quorvel>",
       "<Quorvel>\n\t<Setup>\n\t\t<basic />\n\t\t<Front Index=\"1\" />\n\t</Setup>\n\t<RectBackground "
       "/>\n</Quorvel>\n"},
      {"<Basic><Front Index='1'/><HideAfterClick>True</HideAfterClick><RectBackground/></Basic>",
       "<Basic>\n\t<Front Index=\"1\" />\n\t<HideAfterClick>True</HideAfterClick>\n\t<RectBackground />\n</Basic>\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.loaded);
    LoadedFile run(c.loaded, Sentinel());
    ASSERT_EQ(run.outcome.status, SettingsStatus::Loaded);
    EXPECT_TRUE(run.outcome.saved);
    EXPECT_EQ(run.File(), c.saved);
    EXPECT_EQ(run.outcome.frontIndex, 0);
    Settings expected = FileDefaults();
    expected.PositionLeft = Sentinel().PositionLeft;
    expected.PositionTop = Sentinel().PositionTop;
    expected.RectListCreated = std::string(c.loaded).find("RectBackground") == std::string::npos;
    ExpectSettings(run.settings, expected);
  }
}

TEST(ConfigSettings, FrontIndexAndLayer) {
  struct Case {
    const char* text;
    int index;
    WindowLayer layer;
  };
  const Case cases[] = {
      {"0", 0, WindowLayer::Normal}, {"1", 1, WindowLayer::Topmost},   {"2", 2, WindowLayer::Desktop},
      {"7", 7, WindowLayer::Normal}, {"-1", -1, WindowLayer::Normal},  {"x", 0, WindowLayer::Normal},
      {"", 0, WindowLayer::Normal},  {" 1 ", 1, WindowLayer::Topmost},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    LoadedFile run(Replace(CompleteFile(), "<Front Index=\"0\" />", std::string("<Front Index=\"") + c.text + "\" />"));
    EXPECT_EQ(run.outcome.frontIndex, c.index);
    EXPECT_EQ(FrontLayer(run.outcome.frontIndex), c.layer);
  }
}

TEST(ConfigSettings, HotKeyText) {
  struct Case {
    const char* element;
    const char* key;
  };
  for (const Case& c : {Case{"<HotKey Key=\"Q\" />", "Q"}, Case{"<HotKey Key=\"\" />", "C"}, Case{"<HotKey />", "C"},
                        Case{"<Hotkey Key=\"Q\" />", "C"}}) {
    SCOPED_TRACE(c.element);
    LoadedFile run(Replace(CompleteFile(), "<HotKey Key=\"C\" />", c.element));
    EXPECT_EQ(HotKeyText(run.document.Root()), c.key);
  }
}

// A file that cannot be read is the user's work: it is reported and left
// byte for byte, and the settings keep the values they had.
TEST(ConfigSettings, MissingOrUnreadableFileWritesNothing) {
  {
    MemoryFiles files;
    IconvSystem system;
    ConfigDocument document(files, system, kConfigPath);
    Settings settings = Sentinel();
    EXPECT_EQ(LoadSettings(document, settings).status, SettingsStatus::Missing);
    EXPECT_TRUE(files.files.empty());
    ExpectSettings(settings, Sentinel());
  }
  const std::string complete = CompleteFile();
  const std::string unreadable[] = {
      "",
      complete.substr(0, complete.size() / 2),
      Replace(complete, "</Setup>", "</Setpu>"),
      Replace(complete, "<Name />", "<Name>\xCE\xD2\xB5\xC4</Name>"),  // GB2312 bytes in a UTF-8 file
      Replace(Replace(complete, "UTF-8", "GB2312"), "<Name />", "<Name>\xFF\xFF</Name>"),
      Replace(complete, "UTF-8", "no-such-encoding"),
  };
  for (const std::string& bytes : unreadable) {
    SCOPED_TRACE(bytes.substr(0, 60));
    LoadedFile run(bytes, Sentinel());
    EXPECT_EQ(run.outcome.status, SettingsStatus::Unreadable);
    EXPECT_FALSE(run.outcome.load.description.empty());
    EXPECT_FALSE(run.outcome.saved);
    EXPECT_EQ(run.files.writes, 0);
    EXPECT_EQ(run.File(), bytes);
    ExpectSettings(run.settings, Sentinel());
  }
}

TEST(ConfigSettings, RefusedSaveIsReported) {
  MemoryFiles files;
  files.files[kConfigPath] = DistributedFile();
  files.refuseWrites = true;
  IconvSystem system;
  ConfigDocument document(files, system, kConfigPath);
  Settings settings;
  const SettingsOutcome outcome = LoadSettings(document, settings);
  EXPECT_EQ(outcome.status, SettingsStatus::Loaded);
  EXPECT_FALSE(outcome.saved);
  EXPECT_EQ(files.files[kConfigPath], DistributedFile());
}

TEST(ConfigSettings, Gb2312FileIsCompletedInGb2312) {
  const auto gb2312 = [](const std::string& utf8) { return headless::IconvConvert(utf8, "UTF-8", "GB2312").value(); };
  std::string utf8 = Replace(CompleteFile(), "encoding=\"UTF-8\"", "encoding=\"GB2312\"");
  utf8 = Replace(utf8, "<Name />", "<Name>我的电脑</Name>");
  const std::string hintFont = LineOf(utf8, "<HintFont");
  LoadedFile run(gb2312(Replace(utf8, hintFont, "")));
  ASSERT_EQ(run.outcome.status, SettingsStatus::Loaded);
  EXPECT_EQ(run.settings.HintFontDefine, kFactoryFontSpec);
  EXPECT_EQ(run.File(), gb2312(Replace(Replace(utf8, hintFont, ""), kEndOfBasic, hintFont + kEndOfBasic)));
}

TEST(ConfigSettings, SaveSkinsAndPosition) {
  Settings settings;
  settings.BackgroundIndex = 3;
  settings.BackgroundSize = 280;
  settings.CenterIndex = 5;
  settings.CenterSize = 120;
  settings.CenterAction = 7;
  settings.PositionLeft = -20;
  settings.PositionTop = 1040;
  settings.MinR = 1;  // not a skin or position value: never written here
  const std::string complete = CompleteFile();
  const auto written = [&](std::string text) {
    text = Replace(text, "<Background Index=\"1\" Size=\"300\">", "<Background Index=\"3\" Size=\"280\">");
    text = Replace(text, "<Position Left=\"600\" Top=\"368\" />", "<Position Left=\"-20\" Top=\"1040\" />");
    return text;
  };
  struct Case {
    const char* name;
    std::string loaded;
    std::string saved;
  };
  const std::string position = LineOf(complete, "<Position");
  const Case cases[] = {
      {"complete", complete,
       written(Replace(complete, "<Center Index=\"1\" Action=\"4\" Size=\"115\">",
                       "<Center Index=\"5\" Action=\"7\" Size=\"120\">"))},
      {"Center without Action and Size", Replace(complete, " Action=\"4\" Size=\"115\"", ""),
       written(Replace(complete, "<Center Index=\"1\" Action=\"4\" Size=\"115\">",
                       "<Center Index=\"5\" Size=\"120\" Action=\"7\">"))},
      {"no Position", Replace(complete, position, ""),
       Replace(written(Replace(complete, "<Center Index=\"1\" Action=\"4\" Size=\"115\">",
                               "<Center Index=\"5\" Action=\"7\" Size=\"120\">")),
               "\t\t\t<Position Left=\"-20\" Top=\"1040\" />\n", "")},
      {"no Basic", "<Quorvel><Setup/></Quorvel>", "<Quorvel>\n\t<Setup />\n</Quorvel>\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFiles files;
    files.files[kConfigPath] = c.loaded;
    IconvSystem system;
    ConfigDocument document(files, system, kConfigPath);
    EXPECT_TRUE(SaveSkinsAndPosition(document, settings));
    EXPECT_EQ(files.files[kConfigPath], c.saved);
  }

  for (const char* bytes : {"", "<Quorvel><Setup></Quorvel>"}) {
    SCOPED_TRACE(bytes);
    MemoryFiles files;
    files.files[kConfigPath] = bytes;
    IconvSystem system;
    ConfigDocument document(files, system, kConfigPath);
    EXPECT_FALSE(SaveSkinsAndPosition(document, settings));
    EXPECT_EQ(files.files[kConfigPath], bytes);
    EXPECT_EQ(files.writes, 0);
  }
  MemoryFiles none;
  IconvSystem system;
  ConfigDocument document(none, system, kConfigPath);
  EXPECT_FALSE(SaveSkinsAndPosition(document, settings));
  EXPECT_TRUE(none.files.empty());
}

}  // namespace
}  // namespace qv::config
