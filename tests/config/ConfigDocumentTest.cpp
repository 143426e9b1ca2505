#include <gtest/gtest.h>

#include "config/ConfigDocument.h"
#include "platform/headless/Iconv.h"
#include "tests/config/FakePlatform.h"

namespace qv::config {
namespace {

using testing::IconvSystem;
using testing::kConfigPath;
using testing::MemoryFiles;

struct Fixture {
  explicit Fixture(const std::string& bytes) { files.files[kConfigPath] = bytes; }
  Fixture() = default;
  const std::string& File() { return files.files[kConfigPath]; }
  MemoryFiles files;
  IconvSystem system;
  ConfigDocument document{files, system, kConfigPath};
};

std::string Gb2312(const std::string& utf8) { return headless::IconvConvert(utf8, "UTF-8", "GB2312").value(); }

TEST(ConfigDocument, MissingAndUnreadableFiles) {
  Fixture missing;
  EXPECT_EQ(missing.document.Load().status, LoadStatus::Missing);
  EXPECT_FALSE(missing.document.Loaded());
  EXPECT_FALSE(missing.document.Save());
  EXPECT_EQ(missing.files.writes, 0);

  Fixture locked("<a/>");
  locked.files.unreadable.insert(kConfigPath);
  EXPECT_EQ(locked.document.Load().status, LoadStatus::Unreadable);
  EXPECT_FALSE(locked.document.Save());
  EXPECT_EQ(locked.files.writes, 0);
}

// Every fault is reported with a description and, where the file's own bytes
// can be pointed at, the offset of the fault in them.
TEST(ConfigDocument, FaultsAreReportedWithDescriptionAndOffset) {
  struct Case {
    const char* name;
    std::string bytes;
    std::ptrdiff_t offset;  // -1: not known for this encoding
    const char* description;
  };
  const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  const Case cases[] = {
      {"empty", "", 0, "No document element found"},
      {"declaration only", declaration, static_cast<std::ptrdiff_t>(declaration.size()), "No document element found"},
      {"blank", "  \n", 3, "No document element found"},
      {"truncated", declaration + "<Quorvel><Setup><Basic>", static_cast<std::ptrdiff_t>(declaration.size()) + 22,
       "Start-end tags mismatch"},
      {"mismatched end", "<a><b></a>", 8, "Start-end tags mismatch"},
      {"bad attribute", "<a x=1/>", 5, "Error parsing element attribute"},
      {"invalid UTF-8", "<a>\xC3\x28</a>", 3, "Invalid UTF-8 byte sequence"},
      {"overlong UTF-8", "<a>\xC0\xAF</a>", 3, "Invalid UTF-8 byte sequence"},
      {"invalid UTF-8 after a mark", "\xEF\xBB\xBF<a>\xFF</a>", 6, "Invalid UTF-8 byte sequence"},
      {"mismatch after a mark", "\xEF\xBB\xBF<a></b>", 8, "Start-end tags mismatch"},
      {"GB2312 lead byte alone", "<?xml version=\"1.0\" encoding=\"GB2312\"?><a>\xC4</a>", -1, "GB2312"},
      {"GB2312 malformed", "<?xml version=\"1.0\" encoding=\"GB2312\"?><a></b>", -1, "Start-end tags mismatch"},
      {"unknown encoding", "<?xml version=\"1.0\" encoding=\"x-no-such\"?><a/>", -1, "x-no-such"},
      {"ASCII with a high byte", "<?xml version=\"1.0\" encoding=\"US-ASCII\"?><a>\xE9</a>", 44, "US-ASCII"},
      // The "b" of "</b>" is byte 50 of the file, though the parser read each of the two bytes before as two.
      {"Latin-1 mismatch", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE9\xE9</b>", 50,
       "Start-end tags mismatch"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture fixture(c.bytes);
    const LoadResult result = fixture.document.Load();
    EXPECT_EQ(result.status, LoadStatus::Unreadable);
    EXPECT_NE(result.description.find(c.description), std::string::npos) << result.description;
    EXPECT_EQ(result.offset, c.offset);
    EXPECT_FALSE(fixture.document.Loaded());
    EXPECT_FALSE(fixture.document.Root());
    EXPECT_FALSE(fixture.document.Save());
    EXPECT_EQ(fixture.files.writes, 0);
    EXPECT_EQ(fixture.File(), c.bytes);
  }
}

TEST(ConfigDocument, FailedLoadForgetsThePreviousDocument) {
  Fixture fixture("<a/>");
  ASSERT_EQ(fixture.document.Load().status, LoadStatus::Ok);
  fixture.files.files[kConfigPath] = "<a>";
  EXPECT_EQ(fixture.document.Load().status, LoadStatus::Unreadable);
  EXPECT_FALSE(fixture.document.Save());
  EXPECT_EQ(fixture.File(), "<a>");
}

// The save keeps what the file said about itself: its declaration (or the
// lack of one), its mark, comments and instructions; values stay as written.
TEST(ConfigDocument, SaveKeepsTheFilesOwnForm) {
  struct Case {
    const char* name;
    std::string loaded;
    std::string saved;
  };
  const Case cases[] = {
      {"no declaration", "<a><b>x</b></a>", "<a>\n\t<b>x</b>\n</a>\n"},
      {"declaration as written", "<?xml version='1.0' encoding='utf-8' standalone='yes'?><a/>",
       "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>\n<a />\n"},
      {"byte order mark", "\xEF\xBB\xBF<a/>", "\xEF\xBB\xBF<a />\n"},
      {"comments and instructions", "<!-- mine --><a><?keep me?><!--x--><b/></a>",
       "<!-- mine -->\n<a>\n\t<?keep me?>\n\t<!--x-->\n\t<b />\n</a>\n"},
      {"blank-only text", "<a><Name> </Name><b>  x  </b></a>", "<a>\n\t<Name> </Name>\n\t<b>  x  </b>\n</a>\n"},
      {"escapes", "<a t=\"&quot;&lt;&amp;\">&lt;&amp;&gt;</a>", "<a t=\"&quot;&lt;&amp;\">&lt;&amp;&gt;</a>\n"},
      {"CRLF", "<a>\r\n<b>1\r\n2</b>\r\n</a>\r\n", "<a>\n\t<b>1\n2</b>\n</a>\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture fixture(c.loaded);
    ASSERT_EQ(fixture.document.Load().status, LoadStatus::Ok);
    ASSERT_TRUE(fixture.document.Save());
    EXPECT_EQ(fixture.File(), c.saved);
    // A saved file is a fixed point.
    ASSERT_EQ(fixture.document.Load().status, LoadStatus::Ok);
    ASSERT_TRUE(fixture.document.Save());
    EXPECT_EQ(fixture.File(), c.saved);
  }
}

TEST(ConfigDocument, SaveReportsTheWriteResult) {
  Fixture fixture("<a/>");
  ASSERT_EQ(fixture.document.Load().status, LoadStatus::Ok);
  fixture.files.refuseWrites = true;
  EXPECT_FALSE(fixture.document.Save());
  EXPECT_EQ(fixture.File(), "<a/>");
}

TEST(ConfigDocument, Gb2312FileIsReadAndWrittenInGb2312) {
  const std::string declaration = "<?xml version=\"1.0\" encoding=\"GB2312\"?>\n";
  Fixture fixture(Gb2312(declaration + "<根>\n\t<Name>我的电脑</Name>\n</根>\n"));
  ASSERT_EQ(fixture.document.Load().status, LoadStatus::Ok);
  EXPECT_EQ(fixture.document.Encoding(), "GB2312");
  EXPECT_EQ(std::string(fixture.document.Root().name()), "根");
  const pugi::xml_node name = FirstChild(fixture.document.Root(), "Name");
  EXPECT_EQ(Text(name), "我的电脑");

  SetText(name, "回收站");
  ASSERT_TRUE(fixture.document.Save());
  EXPECT_EQ(fixture.File(), Gb2312(declaration + "<根>\n\t<Name>回收站</Name>\n</根>\n"));
}

// A character the code page lacks is written as a reference rather than
// failing the save or losing the character; reading it back gives it again.
TEST(ConfigDocument, CharactersOutsideTheCodePageBecomeReferences) {
  struct Case {
    const char* encoding;
    std::string text;      // UTF-8
    std::string fileText;  // UTF-8 view of the saved content of <a>
  };
  const Case cases[] = {
      {"GB2312", "宋体€😀", "宋体&#8364;&#128512;"},
      {"ISO-8859-1", "café中", "café&#20013;"},
      {"US-ASCII", "ké", "k&#233;"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.encoding);
    const std::string declaration = std::string("<?xml version=\"1.0\" encoding=\"") + c.encoding + "\"?>\n";
    Fixture fixture(declaration + "<a />\n");
    ASSERT_EQ(fixture.document.Load().status, LoadStatus::Ok);
    SetText(fixture.document.Root(), c.text);
    ASSERT_TRUE(fixture.document.Save());
    const auto utf8 = headless::IconvConvert(fixture.File(), c.encoding, "UTF-8");
    ASSERT_TRUE(utf8.has_value());
    EXPECT_EQ(*utf8, declaration + "<a>" + c.fileText + "</a>\n");
    ASSERT_EQ(fixture.document.Load().status, LoadStatus::Ok);
    EXPECT_EQ(Text(fixture.document.Root()), c.text);
  }
}

TEST(ConfigDocument, Latin1BytesAreCodePoints) {
  const std::string declaration = "<?xml version=\"1.0\" encoding=\"latin1\"?>\n";
  Fixture fixture(declaration + "<a>caf\xE9 \xFF</a>\n");
  ASSERT_EQ(fixture.document.Load().status, LoadStatus::Ok);
  EXPECT_EQ(Text(fixture.document.Root()), "café ÿ");
  ASSERT_TRUE(fixture.document.Save());
  EXPECT_EQ(fixture.File(), declaration + "<a>caf\xE9 \xFF</a>\n");
  EXPECT_EQ(fixture.system.conversions, 0);
}

TEST(ConfigDocument, Utf16FileKeepsItsByteOrderAndMark) {
  for (const char* encoding : {"UTF-16LE", "UTF-16BE"}) {
    SCOPED_TRACE(encoding);
    const std::string mark = std::string(encoding) == "UTF-16LE" ? "\xFF\xFE" : "\xFE\xFF";
    const auto wide = [&](const std::string& utf8) {
      return mark + headless::IconvConvert(utf8, "UTF-8", encoding).value();
    };
    Fixture fixture(wide("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<a>宋体</a>\n"));
    ASSERT_EQ(fixture.document.Load().status, LoadStatus::Ok);
    EXPECT_EQ(Text(fixture.document.Root()), "宋体");
    SetText(fixture.document.Root(), "回收站");
    ASSERT_TRUE(fixture.document.Save());
    EXPECT_EQ(fixture.File(), wide("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<a>回收站</a>\n"));
  }
}

TEST(ConfigDocument, NavigationSeesElementsOnly) {
  Fixture fixture("<r><?Setup pi?><!--c-->text<Setup n='1'/><x/><Setup n='2' e=''/><![CDATA[z]]></r>");
  ASSERT_EQ(fixture.document.Load().status, LoadStatus::Ok);
  const pugi::xml_node root = fixture.document.Root();

  EXPECT_EQ(Attribute(FirstChild(root, "Setup"), "n"), "1");
  EXPECT_FALSE(FirstChild(root, "Nope"));
  EXPECT_FALSE(FirstChild(pugi::xml_node(), "Setup"));
  EXPECT_EQ(CountChildElements(root), 3);
  EXPECT_EQ(CountChildElements(pugi::xml_node()), 0);

  struct Position {
    int position;
    const char* name;  // "" for none
  };
  for (const Position& p : {Position{-1, ""}, Position{0, ""}, Position{1, "Setup"}, Position{2, "x"},
                            Position{3, "Setup"}, Position{4, ""}}) {
    SCOPED_TRACE(p.position);
    EXPECT_EQ(std::string(ChildAt(root, p.position).name()), p.name);
  }

  const pugi::xml_node second = ChildAt(root, 3);
  EXPECT_EQ(Attribute(second, "e"), "");  // present and empty
  EXPECT_EQ(Attribute(second, "absent"), std::nullopt);
  EXPECT_EQ(Attribute(pugi::xml_node(), "n"), std::nullopt);
  EXPECT_EQ(Text(root), "textz");
  EXPECT_EQ(Text(pugi::xml_node()), "");
}

TEST(ConfigDocument, SettersWriteWhatReadersRead) {
  Fixture fixture("<r><a x='1'>old<b>deep</b></a></r>");
  ASSERT_EQ(fixture.document.Load().status, LoadStatus::Ok);
  pugi::xml_node a = FirstChild(fixture.document.Root(), "a");
  EXPECT_EQ(Text(a), "olddeep");

  SetAttribute(a, "x", "2");
  SetAttribute(a, "y", "");
  SetText(a, "new");
  SetAttribute(pugi::xml_node(), "x", "ignored");
  SetText(pugi::xml_node(), "ignored");
  ASSERT_TRUE(fixture.document.Save());
  EXPECT_EQ(fixture.File(), "<r>\n\t<a x=\"2\" y=\"\">new</a>\n</r>\n");

  SetText(a, "");
  ASSERT_TRUE(fixture.document.Save());
  EXPECT_EQ(fixture.File(), "<r>\n\t<a x=\"2\" y=\"\" />\n</r>\n");
}

TEST(ConfigDocument, DeepNestingDoesNotExhaustTheStack) {
  std::string deep;
  for (int i = 0; i < 200000; ++i) deep += "<d>";
  deep += "x";
  for (int i = 0; i < 200000; ++i) deep += "</d>";
  Fixture fixture(deep);
  ASSERT_EQ(fixture.document.Load().status, LoadStatus::Ok);
  EXPECT_EQ(Text(fixture.document.Root()), "x");
}

TEST(ConfigDocument, IconPathDefaultWinsOverDefine) {
  struct Case {
    const char* item;
    const char* expected;
  };
  const Case cases[] = {
      {"<i><IconPath><Default>a.ico</Default><Define>b.png</Define></IconPath></i>", "a.ico"},
      {"<i><IconPath><Default/><Define>b.png</Define></IconPath></i>", "b.png"},
      {"<i><IconPath><Define>b.png</Define></IconPath></i>", "b.png"},
      {"<i><IconPath><Default>a.ico</Default></IconPath></i>", "a.ico"},
      {"<i><IconPath/></i>", ""},
      {"<i/>", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    Fixture fixture(c.item);
    ASSERT_EQ(fixture.document.Load().status, LoadStatus::Ok);
    EXPECT_EQ(IconPathInEffect(fixture.document.Root()), c.expected);
  }
}

TEST(ConfigDocument, ParseInt) {
  struct Case {
    const char* text;
    std::optional<int> value;
  };
  const Case cases[] = {
      {"0", 0},
      {"300", 300},
      {"-12", -12},
      {" 42\t", 42},
      {"007", 7},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"2147483648", {}},
      {"-2147483649", {}},
      {"99999999999999999999", {}},
      {"", {}},
      {"  ", {}},
      {"12a", {}},
      {"a12", {}},
      {"1 2", {}},
      {"-", {}},
      {"+5", {}},
      {"0x10", {}},
      {"1.0", {}},
      {"--1", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseInt(c.text), c.value);
  }
}

TEST(ConfigDocument, BooleanReadings) {
  struct Case {
    const char* text;
    bool exact;               // IsExactTrue
    std::optional<bool> any;  // ParseBool
  };
  const Case cases[] = {
      {"True", true, true},    {"true", false, true},   {"TRUE", false, true},  {"tRuE", false, true},
      {"False", false, false}, {"FALSE", false, false}, {" True", false, true}, {"True ", false, true},
      {"0", false, false},     {"1", false, true},      {"-1", false, true},    {"00", false, false},
      {"0.0", false, false},   {"0.5", false, true},    {"42", false, true},    {"99999999999999999999", false, true},
      {"", false, {}},         {"yes", false, {}},      {"Truex", false, {}},   {"1e3", false, {}},
      {".", false, {}},        {"1.2.3", false, {}},    {"--1", false, {}},     {"T", false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(IsExactTrue(c.text), c.exact);
    EXPECT_EQ(ParseBool(c.text), c.any);
  }
}

}  // namespace
}  // namespace qv::config
