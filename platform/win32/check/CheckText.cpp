// Encoding names and conversions through the system's code pages, and the
// UTF-8 / UTF-16 boundary.

#include <optional>
#include <string>

#include "platform/win32/CodePages.h"
#include "platform/win32/Utf.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/check/Check.h"

namespace qv::win32::check {

void CheckText() {
  struct NameCase {
    const char* name;
    std::optional<unsigned> codePage;
  };
  // Aliases, spacing and case; the families the system has, and the names
  // that only look like one of them.
  const NameCase names[] = {
      {"gbk", 936},          {"GB18030", 54936},     {"Big5", 950},          {"shift-jis", 932},
      {"EUC-KR", 949},       {" Windows-1250 ", 1250}, {"iso8859-2", 28592}, {"ISO_8859-15", 28605},
      {"latin1", 28591},     {"UTF-8", 65001},       {"cp437", 437},         {"IBM866", 866},
      {"ISO-8859-12", std::nullopt}, {"windows-", std::nullopt}, {"cp0", std::nullopt},
      {"cp123456", std::nullopt},    {"", std::nullopt},
  };
  for (const NameCase& c : names) {
    const bool ok = CodePageOfEncoding(c.name) == c.codePage;
    if (!ok) Note(std::string("encoding name ") + c.name);
    QV_EXPECT(ok);
  }

  struct RoundTrip {
    const char* encoding;
    std::string bytes;
    std::string utf8;
  };
  const RoundTrip trips[] = {
      {"GB2312", Bytes({0xCC, 0xE1, 0xCA, 0xBE}), "提示"},
      {"GB18030", Bytes({0xA2, 0xE3, 0x81, 0x30, 0x81, 0x30}), "€\u0080"},
      {"Shift_JIS", Bytes({0x83, 0x65, 0x83, 0x58, 0x83, 0x67}), "テスト"},
      {"KOI8-R", Bytes({0xF0, 0xD2, 0xC9, 0xD7, 0xC5, 0xD4}), "Привет"},
      {"windows-1252", Bytes({0x41, 0xE9, 0x80}), "Aé€"},
      {"ISO-8859-1", Bytes({0xE9, 0x80}), "é\u0080"},
      {"GB2312", "", ""},
  };
  for (const RoundTrip& t : trips) {
    const unsigned codePage = *CodePageOfEncoding(t.encoding);
    if (!::IsValidCodePage(codePage)) {
      // Not every system has every code page (Wine 8 lacks GB18030): then
      // the encoding is unknown, not wrongly converted.
      Note(std::string(t.encoding) + " is not installed here");
      QV_EXPECT(!DecodeCodePage(t.bytes, codePage) && !EncodeCodePage(t.utf8, codePage));
      continue;
    }
    const bool decoded = DecodeCodePage(t.bytes, codePage) == t.utf8;
    const bool encoded = EncodeCodePage(t.utf8, codePage) == t.bytes;
    if (!decoded || !encoded) Note(std::string("round trip through ") + t.encoding);
    QV_EXPECT(decoded);
    QV_EXPECT(encoded);
  }

  struct Misfit {
    const char* encoding;
    std::string text;
  };
  // Bytes that are no text in the encoding.
  const Misfit undecodable[] = {
      {"GB2312", Bytes({0xCC})},       // a lead byte cut off at the end
      {"GBK", Bytes({0xFF, 0xFF})},    // no such lead byte
      {"Shift_JIS", Bytes({0x83})},    // cut off
      {"UTF-8", Bytes({0xE6, 0x8F})},  // cut off
      {"UTF-8", Bytes({0xC0, 0xAF})},  // over-long form of "/"
  };
  for (const Misfit& m : undecodable) {
    const bool refused = !DecodeCodePage(m.text, *CodePageOfEncoding(m.encoding));
    if (!refused) Note(std::string("decoded garbage as ") + m.encoding);
    QV_EXPECT(refused);
  }
  // Converters that report no errors (ISO-2022, HZ, ISCII, UTF-7): garbage
  // is refused, text in the encoding as the system writes it still reads.
  // Not every system has them (Wine has UTF-7 alone).
  struct Unchecked {
    unsigned codePage;
    std::string bytes;
    std::optional<std::string> utf8;
  };
  const Unchecked unchecked[] = {
      {50220, Bytes({0x1B, '$', 'B', 0x44, 0x73, 0x3C, 0x28, 0x1B, '(', 'B'}), "提示"},
      {50220, Bytes({0x1B, '$', 'B', 0x7F, 0x7F, 0x1B, '(', 'B'}), std::nullopt},  // no such pair
      {50220, Bytes({'a', 0xFF, 0xFE}), std::nullopt},                             // 8-bit bytes in a 7-bit code
      {52936, Bytes({'~', '{', 0x4C, 0x61, 0x4A, 0x3E, '~', '}'}), "提示"},
      {52936, Bytes({'~', '{', 0x7F, 0x7F, '~', '}'}), std::nullopt},
      {65000, "A+ImIDkQ-.", "A\u2262\u0391."},
      {65000, Bytes({'+', 0xFF, '-'}), std::nullopt},
      {65000, "+AGEA-", std::nullopt},
      {57002, Bytes({0xFF, 0xFF, 0xD9}), std::nullopt},
  };
  for (const Unchecked& u : unchecked) {
    if (!::IsValidCodePage(u.codePage)) {
      Note("code page " + std::to_string(u.codePage) + " is not installed here");
      QV_EXPECT(!DecodeCodePage(u.bytes, u.codePage));
      continue;
    }
    const std::optional<std::string> decoded = DecodeCodePage(u.bytes, u.codePage);
    if (decoded != u.utf8) {
      Note("code page " + std::to_string(u.codePage) + " read " + std::to_string(u.bytes.size()) + " bytes as " +
           decoded.value_or("(nothing)"));
    }
    QV_EXPECT(decoded == u.utf8);
  }

  // Characters the encoding lacks; no look-alike may stand in for them.
  const Misfit unencodable[] = {
      {"windows-1252", "提示"}, {"windows-1252", "ā"},                                // best fit would give "a"
      {"ISO-8859-1", "€"},      {"GB2312", "한"},      {"Shift_JIS", Bytes({0xC3})},  // not UTF-8 to begin with
  };
  for (const Misfit& m : unencodable) {
    const bool refused = !EncodeCodePage(m.text, *CodePageOfEncoding(m.encoding));
    if (!refused) Note(std::string("encoded a misfit as ") + m.encoding);
    QV_EXPECT(refused);
  }

  // The UTF-16 boundary: a character outside the basic plane survives, and
  // broken UTF-8 still yields a name rather than nothing.
  QV_EXPECT(Widen("a😀") == std::wstring(L"a\xD83D\xDE00"));
  QV_EXPECT(Narrow(L"a\xD83D\xDE00") == "a😀");
  QV_EXPECT(Widen(Bytes({'x', 0xC3})) == std::wstring(L"x\xFFFD"));
  QV_EXPECT(Widen("").empty() && Narrow(L"").empty());
}

}  // namespace qv::win32::check
