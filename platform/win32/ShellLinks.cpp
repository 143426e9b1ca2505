// What the shell knows about files: the target of a shortcut, the icon of a
// file type.

#include <cwchar>

#include "platform/win32/Handles.h"
#include "platform/win32/IconFile.h"
#include "platform/win32/OleApartment.h"
#include "platform/win32/ShellDialogs.h"
#include "platform/win32/Utf.h"
#include "platform/win32/Win32Api.h"

// After the backend's view of <windows.h>.
// clang-format off
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>
// clang-format on

namespace qv::win32 {
namespace {

// No Windows path is longer than this (the "\\?\" limit).
constexpr std::size_t kLongestPath = 32768;

// The path of the link's item ID list, which keeps names in UTF-16 where
// some link writers put the path itself in the ANSI code page only.
std::optional<std::wstring> PathOfIdList(IShellLinkW& link) {
  PIDLIST_ABSOLUTE rawList = nullptr;
  if (link.GetIDList(&rawList) != S_OK || !rawList) return std::nullopt;
  UniqueCoTaskMemory<ITEMIDLIST> list(rawList);
  std::wstring path(kLongestPath, L'\0');
  if (!::SHGetPathFromIDListEx(list.Get(), path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT)) {
    return std::nullopt;
  }
  path.resize(::wcsnlen(path.data(), path.size()));
  return path;
}

}  // namespace

std::optional<std::string> Win32Shell::ResolveShortcut(const std::string& linkPath) {
  const std::wstring widePath = Widen(linkPath);
  if (widePath.empty()) return std::nullopt;
  EnsureOleApartment();
  IShellLinkW* rawLink = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&rawLink))) ||
      !rawLink) {
    return std::nullopt;
  }
  ComPtr<IShellLinkW> link(rawLink);
  IPersistFile* rawFile = nullptr;
  if (FAILED(link.Get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile))) || !rawFile) {
    return std::nullopt;
  }
  ComPtr<IPersistFile> file(rawFile);
  if (FAILED(file.Get()->Load(widePath.c_str(), STGM_READ))) return std::nullopt;

  // GetPath cuts a long target to the buffer without saying so: a buffer
  // filled to the last character is tried again, larger.
  std::wstring target;
  for (std::size_t capacity = MAX_PATH; capacity <= kLongestPath; capacity *= 2) {
    target.assign(capacity, L'\0');
    WIN32_FIND_DATAW found{};
    const HRESULT result = link.Get()->GetPath(target.data(), static_cast<int>(capacity), &found, SLGP_UNCPRIORITY);
    // S_FALSE and failures: a link to something that is no file (a
    // control panel item, a printer) has no path.
    if (result != S_OK) return std::string();
    target.resize(::wcsnlen(target.data(), capacity));
    if (target.size() + 1 < capacity) break;
  }
  // No file name holds a "?": one here stands for a character the link's
  // ANSI copy of the path could not hold (a Chinese name on a Western
  // system). The ID list has the name as it is.
  if (target.find(L'?') != std::wstring::npos) {
    if (std::optional<std::wstring> exact = PathOfIdList(*link.Get());
        exact && !exact->empty() && exact->find(L'?') == std::wstring::npos) {
      target = std::move(*exact);
    }
  }
  return Narrow(target);
}

std::optional<std::string> Win32Shell::ExtractShellIcon(const std::string& path) {
  const std::wstring widePath = Widen(path);
  SHFILEINFOW info{};
  // With USEFILEATTRIBUTES the shell goes by the name alone: the icon of the
  // file type, whether or not the file exists.
  if (!::SHGetFileInfoW(widePath.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                        SHGFI_ICON | SHGFI_LARGEICON | SHGFI_USEFILEATTRIBUTES)) {
    return std::nullopt;
  }
  UniqueIcon icon(info.hIcon);
  if (!icon) return std::nullopt;
  return IconFileBytes(icon.Get());
}

}  // namespace qv::win32
