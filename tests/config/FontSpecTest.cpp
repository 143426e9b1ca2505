#include <gtest/gtest.h>

#include "config/FontSpec.h"

namespace qv::config {
namespace {

// styles: letters B, I, U, S for the styles set.
FontSpec Font(std::string face, int size, const std::string& styles, std::uint32_t color) {
  const auto has = [&](char c) { return styles.find(c) != std::string::npos; };
  return FontSpec{std::move(face), size, has('B'), has('I'), has('U'), has('S'), color};
}

TEST(ConfigFontSpec, WrittenAndReadBack) {
  const std::pair<FontSpec, const char*> cases[] = {
      {Font("Tahoma", 9, "BI", 0x000000FF), "\"Tahoma\", 9, [Bold|Italic], [clRed]"},
      {Font("宋体", 12, "B", 0x00E9E9E9), kFactoryFontSpec},
      {Font("Arial", 10, "BIUS", 0x00123456), "\"Arial\", 10, [Bold|Italic|Underline|Strikeout], [$00123456]"},
      {Font("Segoe UI", 9, "IS", 0xFF00000F), "\"Segoe UI\", 9, [Italic|Strikeout], [clBtnFace]"},
      {Font("微软雅黑", -11, "U", 0x20000000), "\"微软雅黑\", -11, [Underline], [clDefault]"},
      {Font("", 0, "", 0x1FFFFFFF), "\"\", 0, [], [clNone]"},
      {Font("\"Quoted\"", 7, "", 0xFF000019), "\"\"Quoted\"\", 7, [], [$FF000019]"},  // index 25 has no name
  };
  for (const auto& [font, text] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(FormatFontSpec(font), text);
    EXPECT_EQ(ParseFontSpec(text), font);
  }
  EXPECT_EQ(ParseFontSpec("\"Tahoma\",9,[Bold]"), Font("Tahoma", 9, "B", 0));  // the colour may be left out
}

// A name is written wherever the value matches one exactly; hexadecimal is the fallback. Names
// read in any case, numbers in decimal too; what reads as neither is refused.
TEST(ConfigFontSpec, Colors) {
  const std::tuple<const char*, std::optional<std::uint32_t>, bool> cases[] = {  // text, value, as written
      {"clBlack", 0x00000000, true},    {"clDefault", 0x20000000, true}, {"clNone", 0x1FFFFFFF, true},
      {"clScrollBar", 0xFF000000, true}, {"clMenuBar", 0xFF00001E, true}, {"$00000001", 0x00000001, true},
      {"$00ABCDEF", 0x00abcdef, true},  {"$FF000019", 0xFF000019, true}, {"$FF00001F", 0xFF00001F, true},
      {"$20000001", 0x20000001, true},  {"$FFFFFFFF", 0xFFFFFFFF, true}, {"CLRED", 0xFF, false},
      {"$00e9e9e9", 0xE9E9E9, false},   {"$0", 0, false},                {"255", 255, false},
      {"-16777201", 0xFF00000F, false}, {"", {}, false},                 {"$", {}, false},
      {"$123456789", {}, false},        {"$12G4", {}, false},            {"$-1", {}, false},
      {"clPink", {}, false},            {"cl", {}, false},               {" clRed", {}, false},
      {"0x10", {}, false},
  };
  for (const auto& [text, value, written] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ColorFromText(text), value);
    if (written) {
      EXPECT_EQ(ColorToText(*value), text);
    }
  }
}

// A style counts where its name begins the list or follows a "|", in its written case, in any order.
TEST(ConfigFontSpec, StyleListReading) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""},      {"Italic|Bold", "BI"}, {"Strikeout|Underline|Italic|Bold", "BIUS"}, {"|Underline", "U"},
      {"bold", ""},  {"XBold", ""},         {"Bold Italic", "B"},  {"Boldly", "B"},  {"Bold|Bold", "B"},  {"[Bold", ""},
  };
  for (const auto& [styles, expected] : cases) {
    SCOPED_TRACE(styles);
    EXPECT_EQ(ParseFontSpec(std::string("\"F\", 9, [") + styles + "], [clRed]"), Font("F", 9, expected, 0xFF));
  }
}

TEST(ConfigFontSpec, ShapesThatAreRefused) {
  const std::string refused[] = {
      "", "\"Tahoma\"", "Tahoma, 9, [], [clRed]",
      "\"A,B\", 9, [], [clRed]",  // a face with a comma cannot be represented
      "\"Tahoma\", 9x, [], [clRed]",
      "\"Tahoma\", 99999999999, [], [clRed]",
      "\"Tahoma\", 9, Bold, [clRed]",
      "\"Tahoma\", 9, ]Bold[, [clRed]",
      "\"Tahoma\", 9, [Bold], [clPink]",
      "\"Tahoma\", 9, [Bold],[clRed]",
      "\"Tahoma\", 9, [Bold], [clRed], [x]",
      std::string("\"T\0\", 9, [], [\0]", 16),
  };
  for (const std::string& text : refused) EXPECT_EQ(ParseFontSpec(text), std::nullopt) << text;
}

}  // namespace
}  // namespace qv::config
