#include "platform/win32/Tray.h"

#include <algorithm>
#include <iterator>

#include "platform/win32/Diagnostics.h"
#include "platform/win32/Resources.h"
#include "platform/win32/Utf.h"
#include "platform/win32/Win32Windows.h"

namespace qv::win32 {
namespace {

constexpr UINT kTrayIconId = 100;

NOTIFYICONDATAW Record(HWND window) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = window;
  data.uID = kTrayIconId;
  return data;
}

void CopyTip(NOTIFYICONDATAW& data, const std::string& tip) {
  const std::wstring wideTip = Widen(tip);
  const std::size_t length = std::min(wideTip.size(), std::size(data.szTip) - 1);
  std::copy_n(wideTip.begin(), length, data.szTip);
}

}  // namespace

Win32Tray::Win32Tray(HINSTANCE instance, const Win32Windows& windows)
    : windows_(windows), icon_(LoadAppIcon(instance, ::GetSystemMetrics(SM_CXSMICON))) {}

// The icon must not outlive the program in the tray.
Win32Tray::~Win32Tray() { RemoveTrayIcon(); }

bool Win32Tray::AddTrayIcon(const std::string& tip) {
  HWND window = windows_.MainWindow();
  if (!window) return false;
  NOTIFYICONDATAW data = Record(window);
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayCallbackMessage;
  data.hIcon = icon_.Get();
  CopyTip(data, tip);
  // After the taskbar is recreated the shell has forgotten the icon; if it
  // still knows it, adding fails and the icon is updated instead.
  const bool shown = ::Shell_NotifyIconW(NIM_ADD, &data) || ::Shell_NotifyIconW(NIM_MODIFY, &data);
  if (shown) {
    addedTo_ = window;
  } else {
    ReportFailure(Severity::Warning, WithLastError("Shell_NotifyIconW could not add the tray icon"));
  }
  return shown;
}

void Win32Tray::SetTrayTip(const std::string& tip) {
  if (!addedTo_) return;
  NOTIFYICONDATAW data = Record(addedTo_);
  data.uFlags = NIF_TIP;
  CopyTip(data, tip);
  if (!::Shell_NotifyIconW(NIM_MODIFY, &data))
    ReportFailure(Severity::Warning, WithLastError("Shell_NotifyIconW could not change the tray tip"));
}

void Win32Tray::RemoveTrayIcon() {
  if (!addedTo_) return;
  NOTIFYICONDATAW data = Record(addedTo_);
  ::Shell_NotifyIconW(NIM_DELETE, &data);
  addedTo_ = nullptr;
}

}  // namespace qv::win32
