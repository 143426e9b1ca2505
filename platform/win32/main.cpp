// The program's entry point: picks the Windows backend and hands it to the
// launcher.

#include "app/Application.h"
#include "platform/win32/Win32Platform.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Nothing may unwind out of the entry point into the C runtime.
  try {
    qv::win32::Win32Platform platform(instance);
    return qv::app::RunQuorvel(platform.Interfaces(), platform);
  } catch (...) {
    return 1;
  }
}
