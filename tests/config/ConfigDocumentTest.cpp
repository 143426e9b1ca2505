#include <gtest/gtest.h>

#include "config/Backups.h"
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

pugi::xml_node Loaded(Fixture& fixture) {
  EXPECT_EQ(fixture.document.Load().status, LoadStatus::Ok);
  return fixture.document.Root();
}

TEST(ConfigDocument, MissingLockedOrReplacedFilesAreNeverWritten) {
  Fixture missing, locked("<a/>"), replaced("<a/>"), refused("<a/>");
  locked.files.unreadable.insert(kConfigPath);
  Loaded(replaced);  // a failed second load forgets the document read before
  replaced.files.files[kConfigPath] = "<a>";
  SetAttribute(Loaded(refused), "v", "1");
  refused.files.refuseWrites = true;
  EXPECT_EQ(missing.document.Load().status, LoadStatus::Missing);
  EXPECT_EQ(locked.document.Load().status, LoadStatus::Unreadable);
  EXPECT_EQ(replaced.document.Load().status, LoadStatus::Unreadable);
  for (Fixture* fixture : {&missing, &locked, &replaced, &refused}) {
    EXPECT_FALSE(fixture->document.Save());
    EXPECT_EQ(fixture->files.writes, 0);
  }
  EXPECT_TRUE(missing.files.files.empty());
  EXPECT_EQ(replaced.File(), "<a>");
}

// A fault is described and, where the file's own bytes can be pointed at, located.
TEST(ConfigDocument, FaultsAreReportedWithDescriptionAndOffset) {
  const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  // An offset of -1: not known for this encoding.
  const struct { std::string bytes; std::ptrdiff_t offset; const char* description; } cases[] = {
      {"", 0, "No document element found"},
      {declaration + "<Quorvel><Setup><Basic>", static_cast<std::ptrdiff_t>(declaration.size()) + 22,
       "Start-end tags mismatch"},
      {"<a>\xC0\xAF</a>", 3, "Invalid UTF-8 byte sequence"},
      {"\xEF\xBB\xBF<a>\xFF</a>", 6, "Invalid UTF-8 byte sequence"},
      {"<?xml version=\"1.0\" encoding=\"GB2312\"?><a>\xC4</a>", -1, "GB2312"},
      {"<?xml version=\"1.0\" encoding=\"x-no-such\"?><a/>", -1, "x-no-such"},
      {"<?xml version=\"1.0\" encoding=\"US-ASCII\"?><a>\xE9</a>", 44, "US-ASCII"},
      // The "b" of "</b>" is byte 50 of the file, though the parser read each of the two bytes before as two.
      {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE9\xE9</b>", 50, "Start-end tags mismatch"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    Fixture fixture(c.bytes);
    const LoadResult result = fixture.document.Load();
    EXPECT_EQ(result.status, LoadStatus::Unreadable);
    EXPECT_NE(result.description.find(c.description), std::string::npos) << result.description;
    EXPECT_EQ(result.offset, c.offset);
    EXPECT_FALSE(fixture.document.Save());
    EXPECT_EQ(fixture.File(), c.bytes);
  }
}

// The save keeps the file's declaration (or its lack), mark, comments and
// instructions; the same change made again writes nothing, nor does a change undone.
TEST(ConfigDocument, SaveKeepsTheFilesOwnForm) {
  const struct { std::string loaded, saved; } cases[] = {
      {"<a><b>x</b></a>", "<a v=\"1\">\n\t<b>x</b>\n</a>\n"},
      {"<?xml version='1.0' encoding='utf-8' standalone='yes'?><a/>",
       "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>\n<a v=\"1\" />\n"},
      {"\xEF\xBB\xBF<a/>", "\xEF\xBB\xBF<a v=\"1\" />\n"},
      {"<!-- mine --><a><?keep me?><b/></a>", "<!-- mine -->\n<a v=\"1\">\n\t<?keep me?>\n\t<b />\n</a>\n"},
      {"<a><Name> </Name><b>  x  </b></a>", "<a v=\"1\">\n\t<Name> </Name>\n\t<b>  x  </b>\n</a>\n"},
      {"<a t=\"&quot;&lt;&amp;\">&lt;&amp;&gt;</a>", "<a t=\"&quot;&lt;&amp;\" v=\"1\">&lt;&amp;&gt;</a>\n"},
      {"<a>\r\n<b>1\r\n2</b>\r\n</a>\r\n", "<a v=\"1\">\n\t<b>1\n2</b>\n</a>\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.loaded);
    Fixture fixture(c.loaded);
    // A document that says what the file says is not written, however the file is laid out.
    pugi::xml_node root = Loaded(fixture);
    SetAttribute(root, "v", "2");
    root.remove_attribute("v");
    ASSERT_TRUE(fixture.document.Save());
    EXPECT_EQ(fixture.File(), c.loaded);
    for (int pass = 0; pass < 2; ++pass) {
      SetAttribute(Loaded(fixture), "v", "1");
      ASSERT_TRUE(fixture.document.Save());
      EXPECT_EQ(fixture.File(), c.saved);
    }
    EXPECT_EQ(fixture.files.writes, 1);
  }
}

// The copy taken before a command that throws much away: the user's bytes,
// never replaced by a file that cannot be read.
TEST(ProtectedBackup, CopiesOnlyAReadableFile) {
  const std::string copy = ProtectedBackupPath(kConfigPath);
  const std::string good = "<a>\r\n <b/></a>", older = "<a><old/></a>";
  const struct {  // a file of nullopt is missing
    const char* what; std::optional<std::string> file; bool refuseWrites; EditResult result; std::string copyAfter;
  } cases[] = {
      {"a readable file, byte for byte", good, false, EditResult::Saved, good},
      {"the same bytes again", older, false, EditResult::NothingToChange, older},
      {"an unreadable file keeps the copy", "<a>", false, EditResult::NotLoaded, older},
      {"a missing file keeps the copy", std::nullopt, false, EditResult::NotLoaded, older},
      {"a refused write", good, true, EditResult::WriteFailed, older},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryFiles files;
    IconvSystem system;
    if (c.file) files.files[kConfigPath] = *c.file;
    files.files[copy] = older;
    files.refuseWrites = c.refuseWrites;
    EXPECT_EQ(TakeProtectedBackup(files, system, kConfigPath), c.result);
    EXPECT_EQ(files.files[copy], c.copyAfter);
  }
}

// A file is saved in its own encoding, with its own byte order and mark; a character the code page
// lacks is saved as a reference and read back as itself.
TEST(ConfigDocument, EncodingsAreKept) {
  const struct { std::string declared, bytes, mark, text, fileText; } cases[] = {  // texts in UTF-8
      {"GB2312", "GB2312", "", "宋体€😀", "宋体&#8364;&#128512;"},
      {"ISO-8859-1", "ISO-8859-1", "", "café中", "café&#20013;"},
      {"US-ASCII", "US-ASCII", "", "ké", "k&#233;"},
      {"UTF-16", "UTF-16LE", "\xFF\xFE", "回收站😀", "回收站😀"},
      {"UTF-16", "UTF-16BE", "\xFE\xFF", "回收站😀", "回收站😀"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    const auto file = [&c](const std::string& text) {
      const std::string utf8 = "<?xml version=\"1.0\" encoding=\"" + c.declared + "\"?>\n<a>" + text + "</a>\n";
      return c.mark + headless::IconvConvert(utf8, "UTF-8", c.bytes).value();
    };
    Fixture fixture(file("x"));
    SetText(Loaded(fixture), c.text);
    ASSERT_TRUE(fixture.document.Save());
    EXPECT_EQ(fixture.File(), file(c.fileText));
    EXPECT_EQ(Text(Loaded(fixture)), c.text);
  }
}

TEST(ConfigDocument, NavigationSeesElementsOnly) {
  Fixture fixture("<r><?Setup pi?><!--c-->text<Setup n='1'/><x/><Setup n='2' e=''/><![CDATA[z]]></r>");
  const pugi::xml_node root = Loaded(fixture);
  EXPECT_EQ(Attribute(FirstChild(root, "Setup"), "n"), "1");
  EXPECT_EQ(CountChildElements(root), 3);
  for (const auto& [position, name] : {std::pair{-1, ""}, {0, ""}, {1, "Setup"}, {2, "x"}, {3, "Setup"}, {4, ""}}) {
    SCOPED_TRACE(position);
    EXPECT_EQ(std::string(ChildAt(root, position).name()), name);
  }
  EXPECT_EQ(Attribute(ChildAt(root, 3), "e"), "");  // present and empty
  EXPECT_EQ(Attribute(ChildAt(root, 3), "absent"), std::nullopt);
  EXPECT_EQ(Text(root), "textz");
}

std::string Nested(int depth) {
  std::string text;
  for (int i = 0; i < depth; ++i) text += "<d>";
  text += "x";
  for (int i = 0; i < depth; ++i) text += "</d>";
  return text;
}

// Documents the program could not give back as they were, or only at a cost
// out of all proportion, are unreadable and stay untouched: deep nesting
// (a save indents by depth) and entity declarations (references would come
// back escaped).
TEST(ConfigDocument, DocumentsThatCannotComeBackUnchangedAreUnreadable) {
  const struct { std::string bytes; bool readable; } cases[] = {
      {Nested(64), true},
      {Nested(65), false},
      {Nested(200000), false},  // also must not exhaust the stack
      {"<!DOCTYPE a [<!ENTITY app \"x.exe\">]><a><File>&app;</File></a>", false},
      {"<!DOCTYPE a [\n  <!ENTITY % p SYSTEM \"p.dtd\">\n]><a/>", false},
      {"<!DOCTYPE a SYSTEM \"a.dtd\"><a><File>x</File></a>", true},
      // Found by fuzzing: the declaration after stray text would be saved at
      // the start, naming GB2312 over UTF-8 bytes.
      {"[<?xml version=\"1.0\" encoding=\"GB2312\"?><a>\xE5\xAE\x8B</a>", false},
      {"<?xml version=\"1.0\" encoding=\"GB2312\"?><a>\xCB\xCE</a>", true},
      {"<?xml version=\"1.0\" encoding=\"GB2312\x02\"?><a>\xCB\xCE</a>", false},  // a save would escape it
      {"x<?xml version=\"1.0\" xencoding=\"GB2312\"?><a/>", false},  // saved first, it would declare GB2312
      // Found by fuzzing: UTF-7 writes "<" as "+ADw-", so the saved file
      // could not even show its own declaration.
      {"<?xml version=\"1.0\" encoding=\"UTF-7\"?><a>b</a>", false},
      {"<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>\xE9</a>", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes.substr(0, 60));
    Fixture fixture(c.bytes);
    EXPECT_EQ(fixture.document.Load().status, c.readable ? LoadStatus::Ok : LoadStatus::Unreadable);
    EXPECT_EQ(fixture.document.Save(), c.readable);
    if (!c.readable) {
      EXPECT_EQ(fixture.File(), c.bytes);
    }
  }
}

TEST(ConfigDocument, ParseInt) {
  const std::pair<const char*, std::optional<int>> cases[] = {
      {"0", 0},   {"-12", -12}, {" 42\t", 42}, {"007", 7},   {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},          {"2147483648", {}},         {"-2147483649", {}},
      {"", {}},   {"  ", {}},   {"12a", {}},    {"1 2", {}},  {"-", {}},  {"+5", {}},  {"0x10", {}},  {"1.0", {}},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ParseInt(text), value) << text;
}

// Some values count only when exactly "True"; others read any case of true/false or a number.
TEST(ConfigDocument, BooleanReadings) {
  // text, IsExactTrue, ParseBool
  const std::tuple<const char*, bool, std::optional<bool>> cases[] = {
      {"True", true, true},    {"true", false, true},  {"tRuE", false, true}, {"False", false, false},
      {"FALSE", false, false}, {" True", false, true}, {"0", false, false},   {"-1", false, true},
      {"0.0", false, false},   {"0.5", false, true},   {"99999999999999999999", false, true},
      {"", false, {}},         {"yes", false, {}},     {"Truex", false, {}},  {"1e3", false, {}},
      {"1.2.3", false, {}},    {"--1", false, {}},
  };
  for (const auto& [text, exact, any] : cases) {
    EXPECT_EQ(IsExactTrue(text), exact) << text;
    EXPECT_EQ(ParseBool(text), any) << text;
  }
}

}  // namespace
}  // namespace qv::config
