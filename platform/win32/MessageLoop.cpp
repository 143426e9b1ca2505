#include "platform/win32/MessageLoop.h"

#include "platform/win32/Forms.h"
#include "platform/win32/Win32Api.h"

// After <windows.h>.
#include <mmsystem.h>

namespace qv::win32 {

FinestTimerPeriod::FinestTimerPeriod() {
  TIMECAPS caps{};
  const UINT finest =
      ::timeGetDevCaps(&caps, sizeof(caps)) == MMSYSERR_NOERROR && caps.wPeriodMin > 0 ? caps.wPeriodMin : 1;
  if (::timeBeginPeriod(finest) == TIMERR_NOERROR) period_ = finest;
}

FinestTimerPeriod::~FinestTimerPeriod() {
  if (period_ != 0) ::timeEndPeriod(period_);
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
