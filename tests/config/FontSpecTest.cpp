#include <gtest/gtest.h>

#include <random>

#include "config/FontSpec.h"

namespace qv::config {
namespace {

FontSpec Font(std::string face, int size, const char* styles, std::uint32_t color) {
  FontSpec font;
  font.face = std::move(face);
  font.size = size;
  const std::string s = styles;
  font.bold = s.find('B') != std::string::npos;
  font.italic = s.find('I') != std::string::npos;
  font.underline = s.find('U') != std::string::npos;
  font.strikeout = s.find('S') != std::string::npos;
  font.color = color;
  return font;
}

TEST(ConfigFontSpec, WrittenAndReadBack) {
  struct Case {
    FontSpec font;
    const char* text;
  };
  const Case cases[] = {
      {Font("Tahoma", 9, "BI", 0x000000FF), "\"Tahoma\", 9, [Bold|Italic], [clRed]"},
      {Font("宋体", 12, "B", 0x00E9E9E9), kFactoryFontSpec},
      {Font("Arial", 10, "BIUS", 0x00123456), "\"Arial\", 10, [Bold|Italic|Underline|Strikeout], [$00123456]"},
      {Font("Courier New", 8, "", 0x00000000), "\"Courier New\", 8, [], [clBlack]"},
      {Font("Verdana", 11, "US", 0x00ABCDEF), "\"Verdana\", 11, [Underline|Strikeout], [$00ABCDEF]"},
      {Font("Segoe UI", 9, "IS", 0xFF00000F), "\"Segoe UI\", 9, [Italic|Strikeout], [clBtnFace]"},
      {Font("微软雅黑", -11, "U", 0x20000000), "\"微软雅黑\", -11, [Underline], [clDefault]"},
      {Font("", 0, "", 0x1FFFFFFF), "\"\", 0, [], [clNone]"},
      {Font("\"Quoted\"", 7, "", 0xFF000019), "\"\"Quoted\"\", 7, [], [$FF000019]"},  // index 25 has no name
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FormatFontSpec(c.font), c.text);
    EXPECT_EQ(ParseFontSpec(c.text), c.font);
  }
}

// The names are written wherever the value matches one exactly, and read in
// any letter case; hexadecimal is the fallback both ways.
TEST(ConfigFontSpec, ColorNames) {
  struct Named {
    const char* name;
    std::uint32_t value;
  };
  const Named names[] = {
      {"clBlack", 0x00000000},
      {"clMaroon", 0x00000080},
      {"clGreen", 0x00008000},
      {"clOlive", 0x00008080},
      {"clNavy", 0x00800000},
      {"clPurple", 0x00800080},
      {"clTeal", 0x00808000},
      {"clGray", 0x00808080},
      {"clSilver", 0x00C0C0C0},
      {"clRed", 0x000000FF},
      {"clLime", 0x0000FF00},
      {"clYellow", 0x0000FFFF},
      {"clBlue", 0x00FF0000},
      {"clFuchsia", 0x00FF00FF},
      {"clAqua", 0x00FFFF00},
      {"clWhite", 0x00FFFFFF},
      {"clMoneyGreen", 0x00C0DCC0},
      {"clSkyBlue", 0x00F0CAA6},
      {"clCream", 0x00F0FBFF},
      {"clMedGray", 0x00A4A0A0},
      {"clDefault", 0x20000000},
      {"clNone", 0x1FFFFFFF},
      {"clScrollBar", 0xFF000000},
      {"clBackground", 0xFF000001},
      {"clActiveCaption", 0xFF000002},
      {"clInactiveCaption", 0xFF000003},
      {"clMenu", 0xFF000004},
      {"clWindow", 0xFF000005},
      {"clWindowFrame", 0xFF000006},
      {"clMenuText", 0xFF000007},
      {"clWindowText", 0xFF000008},
      {"clCaptionText", 0xFF000009},
      {"clActiveBorder", 0xFF00000A},
      {"clInactiveBorder", 0xFF00000B},
      {"clAppWorkSpace", 0xFF00000C},
      {"clHighlight", 0xFF00000D},
      {"clHighlightText", 0xFF00000E},
      {"clBtnFace", 0xFF00000F},
      {"clBtnShadow", 0xFF000010},
      {"clGrayText", 0xFF000011},
      {"clBtnText", 0xFF000012},
      {"clInactiveCaptionText", 0xFF000013},
      {"clBtnHighlight", 0xFF000014},
      {"cl3DDkShadow", 0xFF000015},
      {"cl3DLight", 0xFF000016},
      {"clInfoText", 0xFF000017},
      {"clInfoBk", 0xFF000018},
      {"clHotLight", 0xFF00001A},
      {"clGradientActiveCaption", 0xFF00001B},
      {"clGradientInactiveCaption", 0xFF00001C},
      {"clMenuHighlight", 0xFF00001D},
      {"clMenuBar", 0xFF00001E},
  };
  for (const Named& n : names) {
    SCOPED_TRACE(n.name);
    EXPECT_EQ(ColorToText(n.value), n.name);
    EXPECT_EQ(ColorFromText(n.name), n.value);
  }

  struct Hex {
    std::uint32_t value;
    const char* text;
  };
  for (const Hex& h : {Hex{0x00000001, "$00000001"}, Hex{0x00E9E9E9, "$00E9E9E9"}, Hex{0x00abcdef, "$00ABCDEF"},
                       Hex{0xFF000019, "$FF000019"}, Hex{0xFF00001F, "$FF00001F"}, Hex{0xFFFFFFFF, "$FFFFFFFF"},
                       Hex{0x20000001, "$20000001"}}) {
    SCOPED_TRACE(h.text);
    EXPECT_EQ(ColorToText(h.value), h.text);
    EXPECT_EQ(ColorFromText(h.text), h.value);
  }

  struct Read {
    const char* text;
    std::optional<std::uint32_t> value;
  };
  for (const Read& r : {Read{"CLRED", 0xFF}, Read{"clbtnface", 0xFF00000F}, Read{"$00e9e9e9", 0xE9E9E9},
                        Read{"$FF", 0xFF}, Read{"$0", 0}, Read{"255", 255}, Read{"-16777201", 0xFF00000F}, Read{"", {}},
                        Read{"$", {}}, Read{"$123456789", {}}, Read{"$12G4", {}}, Read{"$-1", {}}, Read{"clPink", {}},
                        Read{"cl", {}}, Read{" clRed", {}}, Read{"0x10", {}}}) {
    SCOPED_TRACE(r.text);
    EXPECT_EQ(ColorFromText(r.text), r.value);
  }
}

// A style counts where its name begins the list or follows a "|"; names are
// matched in their written case and in any order.
TEST(ConfigFontSpec, StyleListReading) {
  struct Case {
    const char* styles;
    const char* expected;  // letters of the styles set
  };
  const Case cases[] = {
      {"", ""},
      {"Italic|Bold", "BI"},
      {"Strikeout|Underline|Italic|Bold", "BIUS"},
      {"|Underline", "U"},
      {"bold", ""},
      {"XBold", ""},
      {"Bold Italic", "B"},
      {"Boldly", "B"},
      {"Bold|Bold", "B"},
      {"[Bold", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.styles);
    const std::string text = std::string("\"F\", 9, [") + c.styles + "], [clRed]";
    const std::optional<FontSpec> font = ParseFontSpec(text);
    ASSERT_TRUE(font.has_value());
    EXPECT_EQ(*font, Font("F", 9, c.expected, 0xFF));
  }
}

TEST(ConfigFontSpec, ShapesThatAreRefused) {
  const std::string refused[] = {
      "",
      "Tahoma",
      "\"Tahoma\"",
      "Tahoma, 9, [], [clRed]",
      "\"Tahoma, 9, [], [clRed]",
      "\", 9, [], [clRed]",
      "\"A,B\", 9, [], [clRed]",  // a face with a comma cannot be represented
      "\"Tahoma\", 9",
      "\"Tahoma\", , [], [clRed]",
      "\"Tahoma\", nine, [], [clRed]",
      "\"Tahoma\", 9x, [], [clRed]",
      "\"Tahoma\", 99999999999, [], [clRed]",
      "\"Tahoma\", 9, Bold, [clRed]",
      "\"Tahoma\", 9, [Bold, [clRed]",
      "\"Tahoma\", 9, ]Bold[, [clRed]",
      "\"Tahoma\", 9, [Bold], clRed",
      "\"Tahoma\", 9, [Bold], [clRed",
      "\"Tahoma\", 9, [Bold], []",
      "\"Tahoma\", 9, [Bold], [clPink]",
      "\"Tahoma\", 9, [Bold],[clRed]",
      "\"Tahoma\", 9, [Bold], [clRed], [x]",
      "\"Tahoma\", 9, [Bold],",
      ",,,",
      std::string("\"T\0\", 9, [], [\0]", 16),
  };
  for (const std::string& text : refused) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ParseFontSpec(text), std::nullopt);
  }
}

TEST(ConfigFontSpec, ColourPartIsOptional) {
  EXPECT_EQ(ParseFontSpec("\"Tahoma\", 9, [Bold]"), Font("Tahoma", 9, "B", 0));
  EXPECT_EQ(ParseFontSpec("\"Tahoma\",9,[Bold]"), Font("Tahoma", 9, "B", 0));
}

// Mutations of valid texts never crash the reader, and whatever it accepts
// survives a write and a second read unchanged.
TEST(ConfigFontSpec, MutatedTextsNeverCrash) {
  const std::string seeds[] = {kFactoryFontSpec, "\"Tahoma\", 9, [Bold|Italic], [clRed]",
                               "\"A\", -1, [Underline|Strikeout], [$FF00001E]", "\"\", 0, [], [clNone]"};
  const std::string alphabet = ",[]|\"$ -0123456789ABFclRedBoldItalic\xE5\xAE\x8B";
  std::mt19937 random(20240601);
  int accepted = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string text = seeds[random() % std::size(seeds)];
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits; ++e) {
      const std::size_t at = text.empty() ? 0 : random() % (text.size() + 1);
      const char c = random() % 8 == 0 ? static_cast<char>(random() % 256) : alphabet[random() % alphabet.size()];
      switch (random() % 3) {
        case 0:
          text.insert(text.begin() + static_cast<std::ptrdiff_t>(at), c);
          break;
        case 1:
          if (at < text.size()) text.erase(at, 1 + random() % 3);
          break;
        default:
          if (at < text.size()) text[at] = c;
          break;
      }
    }
    const std::optional<FontSpec> font = ParseFontSpec(text);
    if (!font) continue;
    ++accepted;
    SCOPED_TRACE(text);
    EXPECT_EQ(ParseFontSpec(FormatFontSpec(*font)), font);
  }
  EXPECT_GT(accepted, 1000);  // the mutations must also reach the accepting paths
}

}  // namespace
}  // namespace qv::config
