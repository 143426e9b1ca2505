#include "platform/win32/HotKeys.h"

#include <map>

#include "platform/win32/Diagnostics.h"
#include "platform/win32/Utf.h"
#include "platform/win32/Win32Windows.h"

namespace qv::win32 {
namespace {

constexpr const wchar_t* kHotKeyClass = L"QuorvelHotKeys";

// How often a held hot key is looked at until it is released: well under
// the time a person takes to press a key again.
constexpr UINT_PTR kReleaseTimer = 1;
constexpr UINT kReleasePollMs = 30;

}  // namespace

Win32HotKeys::Win32HotKeys(HINSTANCE instance, const Win32Windows& windows) : instance_(instance), windows_(windows) {}

Win32HotKeys::~Win32HotKeys() {
  if (HWND hwnd = window_.Get()) {
    for (int id : registered_) ::UnregisterHotKey(hwnd, id);
  }
  window_.Reset();
  if (classRegistered_) ::UnregisterClassW(kHotKeyClass, instance_);
}

bool Win32HotKeys::GlobalAtomExists(const std::string& name) const {
  return ::GlobalFindAtomW(Widen(name).c_str()) != 0;
}

std::uint16_t Win32HotKeys::GlobalAddAtom(const std::string& name) { return ::GlobalAddAtomW(Widen(name).c_str()); }

void Win32HotKeys::GlobalDeleteAtom(std::uint16_t atom) { ::GlobalDeleteAtom(atom); }

// Made at the first registration: a program that never asks for a hot key
// has no window for them.
bool Win32HotKeys::EnsureWindow() {
  if (window_) return true;
  if (!classRegistered_) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &Win32HotKeys::WindowProc;
    wc.hInstance = instance_;
    wc.lpszClassName = kHotKeyClass;
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    classRegistered_ = true;
  }
  // Held by window_ from here on; WindowProc only stores the pointer.
  window_.Reset(::CreateWindowExW(0, kHotKeyClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance_, this));
  if (!window_) ReportFailure(Severity::Error, WithLastError("CreateWindowExW failed for the hot keys' window"));
  return static_cast<bool>(window_);
}

bool Win32HotKeys::RegisterHotKey(int id, unsigned modifiers, unsigned virtualKey) {
  if (!EnsureWindow()) return false;
  HWND hwnd = window_.Get();
  // Without auto-repeat, holding the keys down fires once instead of
  // toggling the windows on and off. Systems that do not know the flag
  // refuse it; they get the hot key with repeats rather than none.
  bool registered = ::RegisterHotKey(hwnd, id, modifiers | MOD_NOREPEAT, virtualKey) != 0;
  if (!registered && ::GetLastError() != ERROR_HOTKEY_ALREADY_REGISTERED) {
    registered = ::RegisterHotKey(hwnd, id, modifiers, virtualKey) != 0;
  }
  if (registered) {
    registered_.insert(id);
  } else {
    ReportFailure(Severity::Warning, WithLastError("RegisterHotKey failed for modifiers " + std::to_string(modifiers) +
                                                   ", key " + std::to_string(virtualKey)));
  }
  return registered;
}

bool Win32HotKeys::UnregisterHotKey(int id) {
  HWND hwnd = window_.Get();
  if (!hwnd || !::UnregisterHotKey(hwnd, id)) return false;
  registered_.erase(id);
  held_.erase(id);
  return true;
}

// MOD_NOREPEAT is not honoured everywhere (Wine repeats the hot key while
// it is held): a hot key that fires again before its key was seen up is
// the same press.
void Win32HotKeys::Deliver(int id, unsigned modifiers, unsigned virtualKey) {
  if (held_.contains(id)) return;
  IPlatformEvents* sink = windows_.EventSink();
  if (!sink) return;
  held_[id] = virtualKey;
  ::SetTimer(window_.Get(), kReleaseTimer, kReleasePollMs, nullptr);
  sink->OnHotKey(id, modifiers, virtualKey);
}

void Win32HotKeys::ForgetReleasedKeys() {
  std::erase_if(held_,
                [](const auto& entry) { return (::GetAsyncKeyState(static_cast<int>(entry.second)) & 0x8000) == 0; });
  if (held_.empty()) ::KillTimer(window_.Get(), kReleaseTimer);
}

LRESULT CALLBACK Win32HotKeys::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  } else if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  } else if (message == WM_HOTKEY || (message == WM_TIMER && wParam == kReleaseTimer)) {
    auto* self = reinterpret_cast<Win32HotKeys*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return 0;
    try {
      if (message == WM_TIMER) {
        self->ForgetReleasedKeys();
      } else {
        // The modifiers as registered, without the flag that only asked
        // for no repeats.
        self->Deliver(static_cast<int>(wParam), LOWORD(lParam) & ~static_cast<unsigned>(MOD_NOREPEAT), HIWORD(lParam));
      }
    } catch (...) {
      // A failing handler ends here, not in the system's dispatch.
      ReportFailure(Severity::Error, "The hot key handler failed");
    }
    return 0;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace qv::win32
