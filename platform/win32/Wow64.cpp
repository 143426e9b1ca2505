#include "platform/win32/Wow64.h"

#include "platform/win32/Utf.h"

namespace qv::win32 {
namespace {

wow64::ProcessKind AskProcessKind() {
#ifdef _WIN64
  return wow64::ProcessKind::Native64;
#else
  BOOL wow64 = FALSE;
  if (::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64) return wow64::ProcessKind::Wow64;
  return wow64::ProcessKind::OnWindows32;
#endif
}

// The shared Windows folder (not a terminal-server user's own one): the
// system folder is inside it.
std::string WindowsFolder() {
  wchar_t folder[MAX_PATH + 1] = {};
  const UINT length = ::GetSystemWindowsDirectoryW(folder, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return std::string();
  return Narrow(std::wstring(folder, length));
}

}  // namespace

wow64::ProcessKind ThisProcessKind() {
  static const wow64::ProcessKind kind = AskProcessKind();
  return kind;
}

REGSAM ViewAccess(wow64::RegistryView view) {
  switch (view) {
    case wow64::RegistryView::Key64:
      return KEY_WOW64_64KEY;
    case wow64::RegistryView::Key32:
      return KEY_WOW64_32KEY;
    case wow64::RegistryView::Default:
      break;
  }
  return 0;
}

std::string NativePath(const std::string& path) {
  if (ThisProcessKind() != wow64::ProcessKind::Wow64) return path;
  static const std::string windows = WindowsFolder();
  return wow64::NativePath(path, windows, wow64::ProcessKind::Wow64);
}

}  // namespace qv::win32
