// formhost.exe: the launcher as the program runs it, plus one of its dialogs
// opened at start, for the end-to-end tests until the menus reach them.
//
//   formhost.exe about          the about dialog
//   formhost.exe properties N   the property dialog of ring slot N (1..20) or dock slot N (21..260)
//   formhost.exe settings       the settings dialog
//   formhost.exe dock-settings  the settings dialog on the dock's page
//
// Copied into a program folder, it reads that folder's configuration as the
// program does; the dialogs run the same core code as in the program.

#include <cwchar>
#include <memory>
#include <string>

#include "app/Application.h"
#include "app/RoundHot.h"
#include "app/SetupWiring.h"
#include "catalogue/IconProperty.h"
#include "catalogue/IconPropertyApply.h"
#include "platform/win32/Forms.h"
#include "platform/win32/Win32Platform.h"
#include "settings/About.h"
#include "settings/Setup.h"

namespace {

int Run(HINSTANCE instance, const std::wstring& what, int slot) {
  qv::win32::Win32Platform platform(instance);
  qv::Platform& p = platform.Interfaces();
  qv::app::Application application(p);
  if (!application.Start(platform)) return 2;
  qv::app::RoundHot& form = application.Form();
  // The items exist once the start-up timer has run.
  for (int i = 0; i < 500 && !form.IconsLoaded(); ++i) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    p.system.ProcessPendingMessages();
  }
  std::unique_ptr<qv::settings::AboutDialog> about;
  std::unique_ptr<qv::catalogue::IconPropertyDialog> properties;
  std::unique_ptr<qv::settings::SetupDialog> setup;
  if (what == L"about") {
    about = std::make_unique<qv::settings::AboutDialog>(p.forms, p.shell, p.system, p.diagnostics);
    about->OpenAbout();
  } else if (what == L"properties") {
    properties = std::make_unique<qv::catalogue::IconPropertyDialog>(
        p.forms, qv::catalogue::MakeItemPropertyHooks(p, form.Slots(), form.Round()));
    properties->OpenProperties(slot);
    if (!properties->IsOpen()) return 3;
  } else if (what == L"settings" || what == L"dock-settings") {
    setup = std::make_unique<qv::settings::SetupDialog>(forms, qv::app::MakeSetupHooks(p, form));
    if (what == L"settings") {
      setup->OpenSettings();
    } else {
      setup->OpenDockSettings();
    }
    if (!setup->IsOpen()) return 3;
  } else {
    return 4;
  }
  platform.Run();
  about.reset();
  properties.reset();
  setup.reset();
  application.Stop();
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  try {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    const std::wstring what = argc > 1 ? argv[1] : L"";
    const int slot = argc > 2 ? std::wcstol(argv[2], nullptr, 10) : 0;
    ::LocalFree(argv);
    return Run(instance, what, slot);
  } catch (...) {
    return 1;
  }
}
