#pragma once

// What a 32-bit build must do differently on a 64-bit Windows: there the
// system folder it names is redirected to the 32-bit one, and the machine's
// Software key has a second, 32-bit view. Pure decisions, made by the Windows
// backend and tested anywhere.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace qv::wow64 {

enum class ProcessKind {
  OnWindows32,  // a 32-bit program on a 32-bit Windows: one view of everything
  Wow64,        // a 32-bit program on a 64-bit Windows
  Native64,     // a 64-bit program
};

enum class RegistryView { Default, Key64, Key32 };

// The views a read looks in, in this order. Installers of either kind record
// their folders under the machine's key, a 32-bit one in the 32-bit view;
// both builds see the same programs in the same order. The user's Software
// key has one view (the flag is harmless there).
inline std::vector<RegistryView> ReadViews(ProcessKind kind, RegistryHive hive) {
  if (kind == ProcessKind::OnWindows32) return {RegistryView::Default};
  if (hive == RegistryHive::LocalMachine) return {RegistryView::Key64, RegistryView::Key32};
  return {RegistryView::Key64};
}

// Writes (the Run value) go where the 64-bit Windows reads them.
inline RegistryView WriteView(ProcessKind kind) {
  return kind == ProcessKind::OnWindows32 ? RegistryView::Default : RegistryView::Key64;
}

namespace detail {

inline bool IsSeparator(char c) { return c == '\\' || c == '/'; }

inline char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether `path` starts with the folder `prefix` (ASCII letters in either
// case, either slash), ending there or at a separator. Returns the length of
// `path` consumed, 0 when it does not.
inline std::size_t FolderPrefix(std::string_view path, std::string_view prefix) {
  while (!prefix.empty() && IsSeparator(prefix.back())) prefix.remove_suffix(1);
  if (prefix.empty() || path.size() < prefix.size()) return 0;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const char a = path[i];
    const char b = prefix[i];
    if (IsSeparator(a) ? !IsSeparator(b) : Lower(a) != Lower(b)) return 0;
  }
  if (path.size() > prefix.size() && !IsSeparator(path[prefix.size()])) return 0;
  return prefix.size();
}

}  // namespace detail

// The path through which a program of this kind reaches what `path` names
// for a 64-bit program. A 32-bit program on a 64-bit Windows reaches the real
// system folder (and its 64-bit-only programs) only as "Sysnative" beside it;
// every other path is left as it is. `windowsDir` is the Windows folder, e.g.
// "C:\Windows".
inline std::string NativePath(std::string_view path, std::string_view windowsDir, ProcessKind kind) {
  if (kind != ProcessKind::Wow64) return std::string(path);
  const std::size_t windows = detail::FolderPrefix(path, windowsDir);
  if (windows == 0 || windows == path.size()) return std::string(path);
  const std::string_view rest = path.substr(windows + 1);
  const std::size_t system = detail::FolderPrefix(rest, "system32");
  if (system == 0) return std::string(path);
  return std::string(path.substr(0, windows + 1)) + "Sysnative" + std::string(rest.substr(system));
}

}  // namespace qv::wow64
