#include "platform/win32/MessageLoop.h"

#include <algorithm>

#include "platform/win32/Forms.h"
#include "platform/win32/Win32Api.h"

namespace qv::win32 {
namespace {

// The kernel's own call, which the multimedia library's timeBeginPeriod makes
// for it: asked directly, that library (and the audio codecs it brings) is
// never loaded. Units of 100 ns.
using SetTimerResolutionFn = LONG(NTAPI*)(ULONG wanted, BOOLEAN set, ULONG* actual);
constexpr ULONG kOneMillisecond = 10000;

SetTimerResolutionFn SetTimerResolution() {
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll ? reinterpret_cast<SetTimerResolutionFn>(
                     reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtSetTimerResolution")))
               : nullptr;
}

}  // namespace

void FinestTimerPeriod::Hold(bool wanted) {
  if (wanted == (period_ != 0)) return;
  const SetTimerResolutionFn set = SetTimerResolution();
  ULONG actual = 0;
  if (!set) return;
  if (!wanted) {
    set(kOneMillisecond, FALSE, &actual);
    period_ = 0;
  } else if (set(kOneMillisecond, TRUE, &actual) >= 0) {
    period_ = std::max<unsigned>(1, (actual + kOneMillisecond / 2) / kOneMillisecond);
  }
}

int Win32MessageLoop::Run() {
  MSG message{};
  // GetMessageW returns -1 on failure: ending is better than spinning.
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (TranslateFormMessage(message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 0;
}

void Win32MessageLoop::ProcessPendingMessages() {
  MSG message{};
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (TranslateFormMessage(message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

void Win32MessageLoop::RequestQuit() { ::PostQuitMessage(0); }

}  // namespace qv::win32
