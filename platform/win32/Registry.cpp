#include "platform/win32/Registry.h"

#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/Utf.h"
#include "platform/win32/Win32Api.h"

namespace qv::win32 {
namespace {

HKEY Root(RegistryHive hive) { return hive == RegistryHive::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

UniqueRegKey Open(HKEY root, const std::wstring& key, REGSAM access) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExW(root, key.c_str(), 0, access, &opened) != ERROR_SUCCESS) return UniqueRegKey();
  return UniqueRegKey(opened);
}

// Programs record their install folders under the machine's Software key,
// and 32-bit installers write to the 32-bit view of it. A 64-bit build
// looks there too when the native view has nothing.
UniqueRegKey OpenForReading(RegistryHive hive, const std::string& key) {
  const std::wstring wideKey = Widen(key);
  UniqueRegKey opened = Open(Root(hive), wideKey, KEY_READ);
#ifdef _WIN64
  if (!opened && hive == RegistryHive::LocalMachine) opened = Open(Root(hive), wideKey, KEY_READ | KEY_WOW64_32KEY);
#endif
  return opened;
}

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
  return static_cast<bool>(OpenForReading(hive, key));
}

// Expandable strings are returned as stored, without expanding variables.
std::optional<std::string> Win32Registry::ReadString(RegistryHive hive, const std::string& key,
                                                     const std::string& value) const {
  UniqueRegKey opened = OpenForReading(hive, key);
  if (!opened) return std::nullopt;
  std::optional<std::wstring> text = QueryString(opened.Get(), Widen(value));
  if (!text) return std::nullopt;
  return Narrow(*text);
}

bool Win32Registry::WriteString(RegistryHive hive, const std::string& key, const std::string& value,
                                const std::string& data) {
  HKEY created = nullptr;
  if (::RegCreateKeyExW(Root(hive), Widen(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                        &created, nullptr) != ERROR_SUCCESS) {
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
  UniqueRegKey opened = Open(Root(hive), Widen(key), KEY_SET_VALUE);
  if (!opened) return false;
  return ::RegDeleteValueW(opened.Get(), Widen(value).c_str()) == ERROR_SUCCESS;
}

}  // namespace qv::win32
