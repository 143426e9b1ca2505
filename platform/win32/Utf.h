#pragma once

// The one place where the program's UTF-8 strings meet the window system's
// UTF-16 ones. Invalid UTF-8 becomes U+FFFD rather than failing, so a
// damaged name still reaches the API it was meant for.

#include <string>
#include <string_view>

namespace qv::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// For APIs that take an optional string: null for an empty one.
inline const wchar_t* NullIfEmpty(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

}  // namespace qv::win32
