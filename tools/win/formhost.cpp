// formhost-noversion.exe: the launcher as the program runs it, with its about
// dialog opened at start, in a program file that carries no version, which
// the program cannot be.
//
//   formhost-noversion.exe about
//
// Copied into a program folder, it reads that folder's configuration as the
// program does; the dialogs run the same core code as in the program.

#include <cwchar>
#include <memory>
#include <string>

#include "app/Application.h"
#include "app/MainForm.h"
#include "platform/win32/Win32Platform.h"

namespace {

int Run(HINSTANCE instance, const std::wstring& what) {
  qv::win32::Win32Platform platform(instance);
  qv::Platform& p = platform.Interfaces();
  qv::app::Application application(p);
  if (!application.Start(platform)) return 2;
  qv::app::MainForm& form = application.Form();
  // The items exist once the start-up timer has run.
  for (int i = 0; i < 500 && !form.IconsLoaded(); ++i) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    p.system.ProcessPendingMessages();
  }
  if (what != L"about") return 4;
  form.About().OpenAbout();
  platform.Run();
  application.Stop();
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  try {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    const std::wstring what = argc > 1 ? argv[1] : L"";
    ::LocalFree(argv);
    return Run(instance, what);
  } catch (...) {
    return 1;
  }
}
