#include "platform/win32/Utf.h"

#include <limits>

#include "platform/win32/Win32Api.h"

namespace qv::win32 {

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty() || utf8.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return {};
  const int inLength = static_cast<int>(utf8.size());
  const int outLength = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLength, nullptr, 0);
  if (outLength <= 0) return {};
  std::wstring result(static_cast<std::size_t>(outLength), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLength, result.data(), outLength);
  return result;
}

std::string Narrow(std::wstring_view utf16) {
  if (utf16.empty() || utf16.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return {};
  const int inLength = static_cast<int>(utf16.size());
  const int outLength = ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), inLength, nullptr, 0, nullptr, nullptr);
  if (outLength <= 0) return {};
  std::string result(static_cast<std::size_t>(outLength), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), inLength, result.data(), outLength, nullptr, nullptr);
  return result;
}

}  // namespace qv::win32
