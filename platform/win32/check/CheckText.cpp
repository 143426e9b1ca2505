// Encoding names and conversions through the system's code pages, and the
// UTF-8 / UTF-16 boundary.

#include <optional>
#include <string>

#include "platform/win32/CodePages.h"
#include "platform/win32/Utf.h"
#include "platform/win32/check/Check.h"

namespace qv::win32::check {

void CheckText() {
  // Aliases, spacing and case; names that only look like a family.
  const struct {
    const char* name;
    std::optional<unsigned> codePage;
  } names[] = {
      {"GB18030", 54936},         {" Windows-1250 ", 1250}, {"ISO_8859-15", 28605},
      {"latin1", 28591},          {"IBM866", 866},          {"ISO-8859-12", std::nullopt},
      {"windows-", std::nullopt}, {"cp0", std::nullopt},    {"cp123456", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : names) QV_EXPECT_ABOUT(CodePageOfEncoding(c.name) == c.codePage, c.name);

  // Conversions both ways by code page; nothing for bytes that are no text
  // in it, for characters it lacks (no best-fit look-alike) and for
  // converters that report no errors of their own (ISO-2022, HZ, UTF-7,
  // ISCII). A code page the system lacks (Wine 8: GB18030) converts nothing.
  const struct {
    unsigned codePage;
    std::optional<std::string> bytes;  // nothing: the text cannot be encoded
    std::optional<std::string> utf8;   // nothing: the bytes cannot be decoded
  } trips[] = {
      {936, Bytes({0xCC, 0xE1, 0xCA, 0xBE}), "提示"},
      {54936, Bytes({0xA2, 0xE3, 0x81, 0x30, 0x81, 0x30}), "€\u0080"},
      {1252, Bytes({0x41, 0xE9, 0x80}), "Aé€"},
      {936, "", ""},
      {936, Bytes({0xCC}), std::nullopt},          // a lead byte cut off at the end
      {65001, Bytes({0xC0, 0xAF}), std::nullopt},  // over-long "/"
      {50220, Bytes({0x1B, '$', 'B', 0x44, 0x73, 0x3C, 0x28, 0x1B, '(', 'B'}), "提示"},
      {50220, Bytes({'a', 0xFF, 0xFE}), std::nullopt},  // 8-bit bytes in a 7-bit code
      {52936, Bytes({'~', '{', 0x4C, 0x61, 0x4A, 0x3E, '~', '}'}), "提示"},
      {52936, Bytes({'~', '{', 0x7F, 0x7F, '~', '}'}), std::nullopt},
      {65000, "A+ImIDkQ-.", "A\u2262\u0391."},
      {65000, Bytes({'+', 0xFF, '-'}), std::nullopt},
      {57002, Bytes({0xFF, 0xFF, 0xD9}), std::nullopt},
      {1252, std::nullopt, "提示"},
      {1252, std::nullopt, "ā"},           // best fit would give "a"
      {932, std::nullopt, Bytes({0xC3})},  // not UTF-8 to begin with
  };
  for (const auto& t : trips) {
    const std::string about = "code page " + std::to_string(t.codePage) + " " + t.bytes.value_or(*t.utf8);
    const bool installed = ::IsValidCodePage(t.codePage);
    const bool reportsErrors = t.codePage != 50220 && t.codePage != 52936 && t.codePage != 65000;
    if (t.bytes) QV_EXPECT_ABOUT(DecodeCodePage(*t.bytes, t.codePage) == (installed ? t.utf8 : std::nullopt), about);
    if (t.utf8 && reportsErrors)
      QV_EXPECT_ABOUT(EncodeCodePage(*t.utf8, t.codePage) == (installed ? t.bytes : std::nullopt), about);
  }

  // The UTF-16 boundary: a character outside the basic plane survives, and
  // broken UTF-8 still yields a name rather than nothing.
  QV_EXPECT(Widen("a😀") == std::wstring(L"a\xD83D\xDE00") && Narrow(L"a\xD83D\xDE00") == "a😀");
  QV_EXPECT(Widen(Bytes({'x', 0xC3})) == std::wstring(L"x\xFFFD"));
}

}  // namespace qv::win32::check
