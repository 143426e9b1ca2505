// The window procedure shared by all of the program's windows, and the
// translation of the main form's messages into core events.

#include <string>
#include <vector>

#include "platform/win32/GeometryWin32.h"
#include "platform/win32/Utf.h"
#include "platform/win32/Win32Windows.h"

namespace qv::win32 {
namespace {

constexpr const wchar_t* kReadyProperty = L"QuorvelReady";

}  // namespace

// A property rather than a message: a test tool polls it with GetPropW
// without disturbing the program.
void Win32Windows::MarkReady() {
  if (HWND hwnd = MainWindow()) ::SetPropW(hwnd, kReadyProperty, reinterpret_cast<HANDLE>(1));
}

// Only a thunk: finds the record stored at WM_NCCREATE and forwards to it.
LRESULT CALLBACK Win32Windows::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  WindowRecord* record = nullptr;
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    record = static_cast<WindowRecord*>(create->lpCreateParams);
    if (record) {
      record->window.Reset(hwnd);
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record));
    }
  } else {
    record = reinterpret_cast<WindowRecord*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!record) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    record->owner->HandleDestroyed(*record);
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
  }
  return record->owner->HandleMessage(*record, message, wParam, lParam);
}

void Win32Windows::HandleDestroyed(WindowRecord& record) noexcept {
  HWND hwnd = record.window.Release();
  if (record.isMain) {
    ::RemovePropW(hwnd, kReadyProperty);
    if (main_ == &record) main_ = nullptr;
  }
}

LRESULT Win32Windows::HandleMessage(WindowRecord& record, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  HWND hwnd = record.window.Get();
  try {
    if (message == WM_DROPFILES) {
      DeliverDrop(hwnd, reinterpret_cast<HDROP>(wParam));
      return 0;
    }
    if (record.isMain) {
      if (std::optional<LRESULT> result = HandleMainMessage(hwnd, message, wParam, lParam)) return *result;
    }
  } catch (...) {
    // A failure in the launcher's handling ends here, not in the window
    // system's stack. A session end is never refused because of it.
    return message == WM_QUERYENDSESSION ? TRUE : 0;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

std::optional<LRESULT> Win32Windows::HandleMainMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  IPlatformEvents* sink = sink_;
  switch (message) {
    case WM_TIMER: {
      // A tick already queued when its timer was stopped is dropped.
      const int id = static_cast<int>(wParam);
      if (sink && timers_.contains(id)) sink->OnTimer(id);
      return 0;
    }
    case WM_CLOSE:
      // Never destroyed here: the core runs its shutdown and then asks the
      // loop to end; the windows go when the platform does.
      if (sink) sink->OnClose();
      return 0;
    case WM_QUERYENDSESSION:
      return sink ? (sink->OnQueryEndSession() ? TRUE : FALSE) : TRUE;
    case WM_POWERBROADCAST:
      if (sink) sink->OnPowerBroadcast(static_cast<unsigned>(wParam));
      return std::nullopt;
    case WM_DISPLAYCHANGE: {
      const LRESULT result = ::DefWindowProcW(hwnd, message, wParam, lParam);
      if (sink) sink->OnDisplayChange();
      return result;
    }
    default:
      break;
  }
  if (message == kTrayCallbackMessage) {
    if (sink) sink->OnTrayCallback(static_cast<std::uintptr_t>(wParam), static_cast<std::intptr_t>(lParam));
    return 0;
  }
  if (taskbarCreatedMessage_ != 0 && message == taskbarCreatedMessage_) {
    if (sink) sink->OnTaskbarCreated();
    return 0;
  }
  return std::nullopt;
}

void Win32Windows::DeliverDrop(HWND hwnd, HDROP drop) {
  std::vector<std::string> paths;
  POINT where{};
  {
    // Finished before the core sees the paths: the core may run a long
    // handler (icon extraction) and the dragging program waits for this.
    UniqueDrop finish(drop);
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    paths.reserve(count);
    for (UINT i = 0; i < count; ++i) {
      const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
      std::wstring path(static_cast<std::size_t>(length) + 1, L'\0');
      const UINT copied = ::DragQueryFileW(drop, i, path.data(), length + 1);
      path.resize(copied);
      if (!path.empty()) paths.push_back(Narrow(path));
    }
    ::DragQueryPoint(drop, &where);
    ::ClientToScreen(hwnd, &where);
  }
  if (sink_ && !paths.empty()) sink_->OnDropFiles(paths, FromPOINT(where));
}

}  // namespace qv::win32
