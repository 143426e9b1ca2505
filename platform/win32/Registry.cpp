#include "platform/win32/Registry.h"

#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/Utf.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Wow64.h"

namespace qv::win32 {
namespace {

HKEY Root(RegistryHive hive) { return hive == RegistryHive::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

UniqueRegKey Open(HKEY root, const std::wstring& key, REGSAM access) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExW(root, key.c_str(), 0, access, &opened) != ERROR_SUCCESS) return UniqueRegKey();
  return UniqueRegKey(opened);
}

// The key in one view, for reading.
UniqueRegKey OpenForReading(RegistryHive hive, const std::wstring& key, wow64::RegistryView view) {
  return Open(Root(hive), key, KEY_READ | ViewAccess(view));
}

REGSAM WriteAccess(REGSAM access) { return access | ViewAccess(wow64::WriteView(ThisProcessKind())); }

std::optional<std::wstring> QueryString(HKEY key, const std::wstring& value) {
  DWORD type = 0;
  DWORD size = 0;
  // The value can grow between the two calls; ask again when it did.
  for (int attempt = 0; attempt < 4; ++attempt) {
    LSTATUS status = ::RegQueryValueExW(key, value.c_str(), nullptr, &type, nullptr, &size);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
    std::vector<BYTE> data(static_cast<std::size_t>(size) + sizeof(wchar_t));
    DWORD got = size;
    status = ::RegQueryValueExW(key, value.c_str(), nullptr, &type, data.data(), &got);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
    // Stored strings need not end in a NUL, and may hold several.
    std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), got / sizeof(wchar_t));
    if (const std::size_t end = text.find(L'\0'); end != std::wstring::npos) text.resize(end);
    return text;
  }
  return std::nullopt;
}

}  // namespace

bool Win32Registry::KeyExists(RegistryHive hive, const std::string& key) const {
  const std::wstring wideKey = Widen(key);
  for (const wow64::RegistryView view : wow64::ReadViews(ThisProcessKind(), hive)) {
    if (OpenForReading(hive, wideKey, view)) return true;
  }
  return false;
}

// The value from the first view that has it (a key can be in both views and
// hold the value in one only). Expandable strings are returned as stored,
// without expanding variables.
std::optional<std::string> Win32Registry::ReadString(RegistryHive hive, const std::string& key,
                                                     const std::string& value) const {
  const std::wstring wideKey = Widen(key);
  const std::wstring wideValue = Widen(value);
  for (const wow64::RegistryView view : wow64::ReadViews(ThisProcessKind(), hive)) {
    UniqueRegKey opened = OpenForReading(hive, wideKey, view);
    if (!opened) continue;
    if (std::optional<std::wstring> text = QueryString(opened.Get(), wideValue)) return Narrow(*text);
  }
  return std::nullopt;
}

bool Win32Registry::WriteString(RegistryHive hive, const std::string& key, const std::string& value,
                                const std::string& data) {
  HKEY created = nullptr;
  if (::RegCreateKeyExW(Root(hive), Widen(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, WriteAccess(KEY_SET_VALUE),
                        nullptr, &created, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  UniqueRegKey opened(created);
  const std::wstring wideData = Widen(data);
  const DWORD bytes = static_cast<DWORD>((wideData.size() + 1) * sizeof(wchar_t));
  return ::RegSetValueExW(opened.Get(), Widen(value).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(wideData.c_str()), bytes) == ERROR_SUCCESS;
}

// True only when a value was there and is gone now.
bool Win32Registry::DeleteValue(RegistryHive hive, const std::string& key, const std::string& value) {
  UniqueRegKey opened = Open(Root(hive), Widen(key), WriteAccess(KEY_SET_VALUE));
  if (!opened) return false;
  return ::RegDeleteValueW(opened.Get(), Widen(value).c_str()) == ERROR_SUCCESS;
}

}  // namespace qv::win32
