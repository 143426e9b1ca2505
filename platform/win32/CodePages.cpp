#include "platform/win32/CodePages.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <utility>

#include "platform/win32/Win32Api.h"

namespace qv::win32 {
namespace {

std::string Normalize(std::string_view name) {
  std::string key;
  key.reserve(name.size());
  for (char c : name) {
    if (c == '-' || c == '_' || c == '.' || c == ' ' || c == '\t') continue;
    key.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
  }
  return key;
}

// Names whose code page is not simply written in them.
constexpr std::array<std::pair<std::string_view, unsigned>, 40> kNamed{{
    {"utf8", 65001},      {"usascii", 20127}, {"ascii", 20127},     {"gb2312", 936},     {"gbk", 936},
    {"xgbk", 936},        {"csgb2312", 936},  {"euccn", 936},       {"gb18030", 54936},  {"hzgb2312", 52936},
    {"big5", 950},        {"csbig5", 950},    {"xxbig5", 950},      {"shiftjis", 932},   {"sjis", 932},
    {"xsjis", 932},       {"mskanji", 932},   {"windows31j", 932},  {"csshiftjis", 932}, {"eucjp", 20932},
    {"iso2022jp", 50220}, {"euckr", 949},     {"ksc56011987", 949}, {"ksc5601", 949},    {"uhc", 949},
    {"iso2022kr", 50225}, {"koi8r", 20866},   {"koi8u", 21866},     {"latin1", 28591},   {"l1", 28591},
    {"latin2", 28592},    {"l2", 28592},      {"latin9", 28605},    {"cyrillic", 28595}, {"greek", 28597},
    {"hebrew", 28598},    {"tis620", 874},    {"macintosh", 10000}, {"mac", 10000},      {"xmacroman", 10000},
}};

std::optional<unsigned> Number(std::string_view digits) {
  if (digits.empty() || digits.size() > 5) return std::nullopt;
  unsigned value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size() || value == 0 || value > 65535) return std::nullopt;
  return value;
}

// ISO-8859-n is code page 28590 + n; there is no part 12.
std::optional<unsigned> Iso8859(std::string_view part) {
  const std::optional<unsigned> n = Number(part);
  if (!n || *n == 12 || *n > 15) return std::nullopt;
  return 28590 + *n;
}

// Code pages whose converters take no flags: errors cannot be detected while
// converting, only by converting back.
bool TakesNoFlags(unsigned codePage) {
  return (codePage >= 50220 && codePage <= 50229) || codePage == 52936 || (codePage >= 57002 && codePage <= 57011) ||
         codePage == 65000 || codePage == 42;
}

bool Fits(std::size_t size) { return size <= static_cast<std::size_t>(std::numeric_limits<int>::max()); }

std::optional<std::wstring> ToWide(const std::string& bytes, unsigned codePage, DWORD flags) {
  if (bytes.empty()) return std::wstring();
  if (!Fits(bytes.size())) return std::nullopt;
  const int inLength = static_cast<int>(bytes.size());
  const int length = ::MultiByteToWideChar(codePage, flags, bytes.data(), inLength, nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  if (::MultiByteToWideChar(codePage, flags, bytes.data(), inLength, wide.data(), length) != length)
    return std::nullopt;
  return wide;
}

std::optional<std::string> FromWide(const std::wstring& wide, unsigned codePage, DWORD flags, BOOL* usedDefault) {
  if (wide.empty()) return std::string();
  if (!Fits(wide.size())) return std::nullopt;
  const int inLength = static_cast<int>(wide.size());
  const int length = ::WideCharToMultiByte(codePage, flags, wide.data(), inLength, nullptr, 0, nullptr, usedDefault);
  if (length <= 0) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(length), '\0');
  if (::WideCharToMultiByte(codePage, flags, wide.data(), inLength, bytes.data(), length, nullptr, usedDefault) !=
      length) {
    return std::nullopt;
  }
  return bytes;
}

}  // namespace

std::optional<unsigned> CodePageOfEncoding(std::string_view name) {
  const std::string key = Normalize(name);
  if (key.empty()) return std::nullopt;
  for (const auto& [named, codePage] : kNamed) {
    if (key == named) return codePage;
  }
  const std::string_view view(key);
  if (view.starts_with("iso8859")) return Iso8859(view.substr(7));
  for (std::string_view prefix : {"windows", "cp", "ibm", "ms", "xcp"}) {
    if (view.starts_with(prefix)) return Number(view.substr(prefix.size()));
  }
  return std::nullopt;
}

std::optional<std::string> DecodeCodePage(const std::string& bytes, unsigned codePage) {
  if (!::IsValidCodePage(codePage)) return std::nullopt;
  const bool noFlags = TakesNoFlags(codePage);
  std::optional<std::wstring> wide = ToWide(bytes, codePage, noFlags ? 0 : MB_ERR_INVALID_CHARS);
  if (!wide) return std::nullopt;
  // These converters replace what they cannot read without a word: only
  // text that encodes back to the very bytes read was read whole.
  if (noFlags && FromWide(*wide, codePage, 0, nullptr) != bytes) return std::nullopt;
  std::optional<std::string> utf8 = FromWide(*wide, CP_UTF8, 0, nullptr);
  return utf8;
}

std::optional<std::string> EncodeCodePage(const std::string& utf8, unsigned codePage) {
  if (!::IsValidCodePage(codePage)) return std::nullopt;
  std::optional<std::wstring> wide = ToWide(utf8, CP_UTF8, MB_ERR_INVALID_CHARS);
  if (!wide) return std::nullopt;
  if (codePage == CP_UTF8) return utf8;
  if (codePage == 54936) return FromWide(*wide, codePage, WC_ERR_INVALID_CHARS, nullptr);
  if (TakesNoFlags(codePage)) {
    std::optional<std::string> bytes = FromWide(*wide, codePage, 0, nullptr);
    if (!bytes || ToWide(*bytes, codePage, 0) != wide) return std::nullopt;
    return bytes;
  }
  // Without best-fit mapping, a character the code page lacks shows up as
  // the default character instead of a look-alike ("e" for "é").
  BOOL usedDefault = FALSE;
  std::optional<std::string> bytes = FromWide(*wide, codePage, WC_NO_BEST_FIT_CHARS, &usedDefault);
  if (!bytes || usedDefault) return std::nullopt;
  return bytes;
}

}  // namespace qv::win32
