#include "config/FontSpec.h"

#include <array>
#include <cstdio>
#include <string_view>

#include "config/ConfigDocument.h"

namespace qv::config {
namespace {

struct NamedColor {
  const char* name;
  std::uint32_t value;
};

constexpr std::uint32_t kSystemColor = 0xFF000000u;

// Where two names share a value the first one is written.
constexpr std::array<NamedColor, 52> kNamedColors = {{
    {"clBlack", 0x00000000u},
    {"clMaroon", 0x00000080u},
    {"clGreen", 0x00008000u},
    {"clOlive", 0x00008080u},
    {"clNavy", 0x00800000u},
    {"clPurple", 0x00800080u},
    {"clTeal", 0x00808000u},
    {"clGray", 0x00808080u},
    {"clSilver", 0x00C0C0C0u},
    {"clRed", 0x000000FFu},
    {"clLime", 0x0000FF00u},
    {"clYellow", 0x0000FFFFu},
    {"clBlue", 0x00FF0000u},
    {"clFuchsia", 0x00FF00FFu},
    {"clAqua", 0x00FFFF00u},
    {"clWhite", 0x00FFFFFFu},
    {"clMoneyGreen", 0x00C0DCC0u},
    {"clSkyBlue", 0x00F0CAA6u},
    {"clCream", 0x00F0FBFFu},
    {"clMedGray", 0x00A4A0A0u},
    {"clDefault", 0x20000000u},
    {"clNone", 0x1FFFFFFFu},
    {"clScrollBar", kSystemColor + 0},
    {"clBackground", kSystemColor + 1},
    {"clActiveCaption", kSystemColor + 2},
    {"clInactiveCaption", kSystemColor + 3},
    {"clMenu", kSystemColor + 4},
    {"clWindow", kSystemColor + 5},
    {"clWindowFrame", kSystemColor + 6},
    {"clMenuText", kSystemColor + 7},
    {"clWindowText", kSystemColor + 8},
    {"clCaptionText", kSystemColor + 9},
    {"clActiveBorder", kSystemColor + 10},
    {"clInactiveBorder", kSystemColor + 11},
    {"clAppWorkSpace", kSystemColor + 12},
    {"clHighlight", kSystemColor + 13},
    {"clHighlightText", kSystemColor + 14},
    {"clBtnFace", kSystemColor + 15},
    {"clBtnShadow", kSystemColor + 16},
    {"clGrayText", kSystemColor + 17},
    {"clBtnText", kSystemColor + 18},
    {"clInactiveCaptionText", kSystemColor + 19},
    {"clBtnHighlight", kSystemColor + 20},
    {"cl3DDkShadow", kSystemColor + 21},
    {"cl3DLight", kSystemColor + 22},
    {"clInfoText", kSystemColor + 23},
    {"clInfoBk", kSystemColor + 24},
    {"clHotLight", kSystemColor + 26},
    {"clGradientActiveCaption", kSystemColor + 27},
    {"clGradientInactiveCaption", kSystemColor + 28},
    {"clMenuHighlight", kSystemColor + 29},
    {"clMenuBar", kSystemColor + 30},
}};

struct StyleName {
  const char* name;
  bool FontSpec::*flag;
};

constexpr std::array<StyleName, 4> kStyles = {{
    {"Bold", &FontSpec::bold},
    {"Italic", &FontSpec::italic},
    {"Underline", &FontSpec::underline},
    {"Strikeout", &FontSpec::strikeout},
}};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = Lower(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string ColorToText(std::uint32_t color) {
  for (const NamedColor& named : kNamedColors) {
    if (named.value == color) return named.name;
  }
  char hex[16];
  std::snprintf(hex, sizeof hex, "$%08X", static_cast<unsigned>(color));
  return hex;
}

std::optional<std::uint32_t> ColorFromText(const std::string& text) {
  for (const NamedColor& named : kNamedColors) {
    if (SameIgnoringCase(text, named.name)) return named.value;
  }
  if (!text.empty() && text[0] == '$') {
    if (text.size() < 2 || text.size() > 9) return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t i = 1; i < text.size(); ++i) {
      const int digit = HexDigit(text[i]);
      if (digit < 0) return std::nullopt;
      value = (value << 4) | static_cast<std::uint32_t>(digit);
    }
    return value;
  }
  // A plain decimal number is a colour value too; negative ones are the
  // system colours' two's complement.
  if (const std::optional<int> number = ParseInt(text)) return static_cast<std::uint32_t>(*number);
  return std::nullopt;
}

std::string FormatFontSpec(const FontSpec& font) {
  std::string styles;
  for (const StyleName& style : kStyles) {
    if (!(font.*style.flag)) continue;
    if (!styles.empty()) styles += '|';
    styles += style.name;
  }
  return "\"" + font.face + "\", " + std::to_string(font.size) + ", [" + styles + "], [" + ColorToText(font.color) +
         "]";
}

// Read field by field at the commas, as the text is written. A text without
// the colour part is accepted and leaves the colour at its default.
std::optional<FontSpec> ParseFontSpec(const std::string& text) {
  const std::string_view all(text);
  const std::size_t faceEnd = all.find(',');
  if (faceEnd == std::string_view::npos) return std::nullopt;
  const std::string_view quotedFace = all.substr(0, faceEnd);
  if (quotedFace.size() < 2 || quotedFace.front() != '"' || quotedFace.back() != '"') return std::nullopt;

  FontSpec font;
  font.face = std::string(quotedFace.substr(1, quotedFace.size() - 2));

  const std::size_t sizeEnd = all.find(',', faceEnd + 1);
  if (sizeEnd == std::string_view::npos) return std::nullopt;
  const std::optional<int> size = ParseInt(std::string(all.substr(faceEnd + 1, sizeEnd - faceEnd - 1)));
  if (!size) return std::nullopt;
  font.size = *size;

  const std::size_t stylesEnd = all.find(',', sizeEnd + 1);
  const std::string_view stylePart =
      all.substr(sizeEnd + 1, stylesEnd == std::string_view::npos ? std::string_view::npos : stylesEnd - sizeEnd - 1);
  const std::size_t open = stylePart.find('[');
  const std::size_t close = open == std::string_view::npos ? open : stylePart.find(']', open + 1);
  if (close == std::string_view::npos) return std::nullopt;
  // Each name counts only where it begins the list or follows a "|".
  std::string styles(1, '|');
  styles.append(stylePart.substr(open + 1, close - open - 1));
  for (const StyleName& style : kStyles) {
    std::string needle(1, '|');
    needle.append(style.name);
    font.*style.flag = styles.find(needle) != std::string::npos;
  }

  if (stylesEnd == std::string_view::npos) return font;
  const std::string_view colorPart = all.substr(stylesEnd);
  if (!colorPart.starts_with(", [") || !colorPart.ends_with("]") || colorPart.size() < 4) return std::nullopt;
  const std::optional<std::uint32_t> color = ColorFromText(std::string(colorPart.substr(3, colorPart.size() - 4)));
  if (!color) return std::nullopt;
  font.color = *color;
  return font;
}

}  // namespace qv::config
