#include <gtest/gtest.h>

#include "config/TextEncoding.h"

namespace qv::config {
namespace {

TEST(ConfigTextEncoding, DeclaredEncodingAndForm) {
  const struct { std::string bytes; const char* declared; SourceForm form; } cases[] = {
      {"<?xml version=\"1.0\" encoding=\"GB2312\"?><a/>", "GB2312", SourceForm::CodePage},
      {"<?xml version=\"1.0\" encoding=\"utf-8\"?><a/>", "utf-8", SourceForm::Utf8},
      {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a/>", "ISO-8859-1", SourceForm::Latin1},
      {"<?xml version=\"1.0\" encoding=\"us-ascii\"?><a/>", "us-ascii", SourceForm::Ascii},
      {"<?xml version=\"1.0\"?><a/>", "", SourceForm::Utf8},
      {"<a encoding=\"GB2312\"/>", "", SourceForm::Utf8},                       // not a prolog
      {"<?xml-stylesheet encoding=\"GB2312\"?><a/>", "", SourceForm::Utf8},     // another instruction
      {"<?xml version=\"1.0\" encoding=\"GB2312\"", "", SourceForm::Utf8},      // unterminated prolog
      {"<?xml version=\"1.0\"?><a/><?xml encoding=\"GB2312\"?>", "", SourceForm::Utf8},
      {"\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"GB2312\"?><a/>", "GB2312", SourceForm::Utf8Bom},
      {std::string("\xFF\xFE<\0a\0/\0>\0", 10), "", SourceForm::Wide},
      {"<", "", SourceForm::Utf8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    const std::string declared = DeclaredEncoding(c.bytes);
    EXPECT_EQ(declared, c.declared);
    EXPECT_EQ(ClassifySource(c.bytes, declared), c.form);
  }
}

TEST(ConfigTextEncoding, FindInvalidUtf8) {
  constexpr std::size_t kNone = std::string_view::npos;
  const struct { std::string text; std::size_t bad; } cases[] = {
      {"", kNone},
      {"宋体 é 😀", kNone},
      {"\xF4\x8F\xBF\xBF", kNone},  // U+10FFFF
      {"\xF4\x90\x80\x80", 0},      // past U+10FFFF
      {"ab\x80", 2},                // stray continuation
      {"\xC3", 0},                  // cut short at the end
      {"\xC0\x80", 0},              // overlong NUL
      {"a\xE0\x80\xAF", 1},          // overlong "/" in three bytes
      {"\xED\xA0\x80", 0},          // surrogate
      {"ok\xC3\xA9\xFF", 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FindInvalidUtf8(c.text), c.bad);
  }
}

}  // namespace
}  // namespace qv::config
