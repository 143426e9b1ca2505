// The program's entry point: picks the Windows backend and hands it to the
// launcher.

#include "app/Application.h"
#include "platform/win32/Diagnostics.h"
#include "platform/win32/StartupTrace.h"
#include "platform/win32/Win32Platform.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Nothing may unwind out of the entry point into the C runtime.
  qv::win32::TracePhase("entry");
  try {
    qv::win32::Win32Platform platform(instance);
    return qv::app::RunQuorvel(platform.Interfaces(), platform);
  } catch (...) {
    qv::win32::ReportFailure(qv::Severity::Error, "The program ended on a failure nothing else caught");
    return 1;
  }
}
