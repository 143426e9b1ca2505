#pragma once

// The one-line text form of a font with its colour:
//   "Face", 12, [Bold|Italic], [clRed]
// Colours are 0x00BBGGRR values written as a colour name where one matches,
// else as "$" and eight upper-case hex digits.

#include <cstdint>
#include <optional>
#include <string>

namespace qv::config {

struct FontSpec {
  std::string face;
  int size = 0;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
  std::uint32_t color = 0;
  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

inline constexpr const char* kFactoryFontSpec = "\"宋体\", 12, [Bold], [$00E9E9E9]";

std::string FormatFontSpec(const FontSpec& font);
// nullopt when the text does not have the shape above.
std::optional<FontSpec> ParseFontSpec(const std::string& text);

std::string ColorToText(std::uint32_t color);
std::optional<std::uint32_t> ColorFromText(const std::string& text);

}  // namespace qv::config
