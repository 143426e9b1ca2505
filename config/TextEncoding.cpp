#include "config/TextEncoding.h"

#include <algorithm>
#include <cstdint>
#include <map>

namespace qv::config {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

bool IsXmlBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// Byte patterns of a document in a wide encoding: marks, or "<" (and "<?")
// spread over two or four bytes.
bool LooksWide(std::string_view bytes) {
  static constexpr std::string_view kPatterns[] = {
      std::string_view("\xFF\xFE", 2),      std::string_view("\xFE\xFF", 2),   std::string_view("\x00\x00\xFE\xFF", 4),
      std::string_view("<\x00?\x00", 4),    std::string_view("\x00<\x00?", 4), std::string_view("\x00\x00\x00<", 4),
      std::string_view("<\x00\x00\x00", 4),
  };
  return std::any_of(std::begin(kPatterns), std::end(kPatterns),
                     [&](std::string_view pattern) { return StartsWith(bytes, pattern); });
}

struct CodePoint {
  char32_t value = 0;
  std::size_t length = 0;  // 0: not a well-formed sequence
};

CodePoint DecodeAt(std::string_view text, std::size_t pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    return {};
  }
  if (text.size() - pos < length) return {};
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(pos + i) & 0xC0) != 0x80) return {};
    value = (value << 6) | (byte(pos + i) & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return {};
  return {value, length};
}

std::string CharacterReference(char32_t value) {
  return "&#" + std::to_string(static_cast<std::uint32_t>(value)) + ";";
}

std::optional<std::string> EncodeSingleByte(const std::string& utf8, char32_t limit) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const CodePoint cp = DecodeAt(utf8, pos);
    if (cp.length == 0) return std::nullopt;
    if (cp.value <= limit) {
      out.push_back(static_cast<char>(cp.value));
    } else {
      out += CharacterReference(cp.value);
    }
    pos += cp.length;
  }
  return out;
}

// The platform converts whole texts; when one character spoils the whole,
// each distinct character outside ASCII is tried alone and the ones the code
// page lacks become references.
std::optional<std::string> EncodeCodePage(const std::string& utf8, const std::string& encoding, const ISystem& system) {
  if (auto whole = system.EncodeFromUtf8(utf8, encoding)) return whole;
  std::map<char32_t, bool> fits;
  std::string rewritten;
  rewritten.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const CodePoint cp = DecodeAt(utf8, pos);
    if (cp.length == 0) return std::nullopt;
    const std::string_view character(utf8.data() + pos, cp.length);
    if (cp.value < 0x80) {
      rewritten += character;
    } else {
      auto [it, inserted] = fits.try_emplace(cp.value, false);
      if (inserted) it->second = system.EncodeFromUtf8(std::string(character), encoding).has_value();
      if (it->second) {
        rewritten += character;
      } else {
        rewritten += CharacterReference(cp.value);
      }
    }
    pos += cp.length;
  }
  return system.EncodeFromUtf8(rewritten, encoding);
}

}  // namespace

std::string DeclaredEncoding(std::string_view bytes) {
  if (StartsWith(bytes, kUtf8Bom)) bytes.remove_prefix(kUtf8Bom.size());
  if (!StartsWith(bytes, "<?xml") || bytes.size() < 6 || !IsXmlBlank(bytes[5])) return "";
  const std::size_t end = bytes.find("?>");
  if (end == std::string_view::npos) return "";
  const std::string_view prolog = bytes.substr(0, end);
  std::size_t pos = prolog.find("encoding");
  if (pos == std::string_view::npos) return "";
  pos += 8;
  while (pos < prolog.size() && IsXmlBlank(prolog[pos])) ++pos;
  if (pos >= prolog.size() || prolog[pos] != '=') return "";
  ++pos;
  while (pos < prolog.size() && IsXmlBlank(prolog[pos])) ++pos;
  if (pos >= prolog.size() || (prolog[pos] != '"' && prolog[pos] != '\'')) return "";
  const char quote = prolog[pos++];
  const std::size_t close = prolog.find(quote, pos);
  if (close == std::string_view::npos) return "";
  return std::string(prolog.substr(pos, close - pos));
}

SourceForm ClassifySource(std::string_view bytes, const std::string& declared) {
  if (StartsWith(bytes, kUtf8Bom)) return SourceForm::Utf8Bom;
  if (LooksWide(bytes)) return SourceForm::Wide;
  const std::string name = Upper(declared);
  if (name.empty() || name == "UTF-8" || name == "UTF8") return SourceForm::Utf8;
  if (name == "ISO-8859-1" || name == "ISO8859-1" || name == "ISO_8859-1" || name == "LATIN1" || name == "L1") {
    return SourceForm::Latin1;
  }
  if (name == "US-ASCII" || name == "ASCII") return SourceForm::Ascii;
  return SourceForm::CodePage;
}

std::size_t FindInvalidUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const CodePoint cp = DecodeAt(text, pos);
    if (cp.length == 0) return pos;
    pos += cp.length;
  }
  return std::string_view::npos;
}

std::optional<std::string> DecodeSingleByte(std::string_view bytes, SourceForm form) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out.push_back(c);
    } else if (form == SourceForm::Ascii) {
      return std::nullopt;
    } else {
      out.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return out;
}

bool KeepsAsciiMarkup(const std::string& encoding, const ISystem& system) {
  static const std::string kMarkup =
      "<?xml version=\"1.0\" encoding=\"\"?>\r\n\t<!-- --><a b='c'>&amp; ;/=+-_.:[]</a>"
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  const std::optional<std::string> encoded = system.EncodeFromUtf8(kMarkup, encoding);
  return encoded && *encoded == kMarkup;
}

std::optional<std::string> EncodeForSave(const std::string& utf8, SourceForm form, const std::string& encoding,
                                         const ISystem& system) {
  switch (form) {
    case SourceForm::Utf8:
      return utf8;
    case SourceForm::Utf8Bom:
      return std::string(kUtf8Bom) + utf8;
    case SourceForm::Latin1:
      return EncodeSingleByte(utf8, 0xFF);
    case SourceForm::Ascii:
      return EncodeSingleByte(utf8, 0x7F);
    case SourceForm::CodePage:
      return EncodeCodePage(utf8, encoding, system);
    case SourceForm::Wide:
      break;  // the parser writes wide documents itself
  }
  return std::nullopt;
}

}  // namespace qv::config
