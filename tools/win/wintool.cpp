// wintool: looks at and pokes the windows of a running Quorvel for the
// end-to-end tests. One sub-command per call; results go to stdout as UTF-8,
// one per line (window texts escaped: \\ \n \r \t); the exit code is 0 when
// the command did what it was asked, 1 when not, 2 for a usage error.

#include <map>
#include <string>
#include <vector>

#include "FormCommands.h"
#include "ToolText.h"
#include "WindowQueries.h"

using namespace qvtool;

namespace {

using Args = std::vector<std::wstring>;

// "-" stands for "any" in class and title arguments.
const wchar_t* AnyOr(const std::wstring& text) { return text == L"-" ? nullptr : text.c_str(); }

HWND MainWindowOrComplain() {
  HWND main = FindMainWindow();
  if (!main) PrintLine("no main window");
  return main;
}

// Polls FindWindow until it finds a window (wait-window) or none (wait-gone).
int WaitForWindow(const Args& a, bool present) {
  long long timeout = 0;
  if (a.size() != 3 || !ParseNumber(a[2], timeout)) return kUsage;
  Stopwatch watch;
  while (true) {
    HWND hwnd = FindWindowW(AnyOr(a[0]), AnyOr(a[1]));
    if ((hwnd != nullptr) == present) {
      PrintLine(present ? HandleText(hwnd) : FormatMs(watch.Ms()));
      return kOk;
    }
    if (watch.Ms() > timeout) return kFailed;
    Sleep(5);
  }
}

int CmdWaitWindow(const Args& a) { return WaitForWindow(a, true); }
int CmdWaitGone(const Args& a) { return WaitForWindow(a, false); }

int CmdWaitReady(const Args& a) {
  long long timeout = 0;
  if (a.size() != 1 || !ParseNumber(a[0], timeout)) return kUsage;
  Stopwatch watch;
  while (true) {
    HWND main = FindMainWindow();
    if (main && IsReady(main)) {
      PrintLine(HandleText(main));
      PrintLine(FormatMs(watch.Ms()));
      return kOk;
    }
    if (watch.Ms() > timeout) {
      PrintLine(main ? "main window present, not ready" : "no main window");
      return kFailed;
    }
    Sleep(2);
  }
}

int CmdWindows(const Args& a) {
  if (!a.empty()) return kUsage;
  for (HWND hwnd : TopLevelWindows()) PrintLine(DescribeWindow(hwnd));
  return kOk;
}

int CmdClose(const Args& a) {
  if (!a.empty()) return kUsage;
  HWND main = MainWindowOrComplain();
  if (!main) return kFailed;
  return PostMessageW(main, WM_CLOSE, 0, 0) ? kOk : kFailed;
}

int CmdDialogText(const Args& a) {
  long long timeout = 0;
  if (a.size() != 2 || !ParseNumber(a[1], timeout)) return kUsage;
  Stopwatch watch;
  while (true) {
    HWND dialog = FindVisibleTopLevel(a[0]);
    if (dialog) {
      std::vector<std::string> texts = StaticTexts(dialog);
      if (!texts.empty()) {
        for (const std::string& text : texts) PrintLine(EscapeLine(text));
        return kOk;
      }
    }
    if (watch.Ms() > timeout) {
      PrintLine(dialog ? "dialog has no text" : "no such dialog");
      return kFailed;
    }
    Sleep(5);
  }
}

int CmdDialogPress(const Args& a) {
  long long id = 0;
  if (a.size() != 2 || !ParseNumber(a[1], id)) return kUsage;
  HWND dialog = FindVisibleTopLevel(a[0]);
  if (!dialog) {
    PrintLine("no such dialog");
    return kFailed;
  }
  HWND button = GetDlgItem(dialog, static_cast<int>(id));
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  Stopwatch watch;
  bool clicked = false;
  while (IsWindow(dialog)) {
    if (!clicked && button && watch.Ms() > 2000) {
      // A dialog that ignores the command from outside may still take a click.
      PostMessageW(button, BM_CLICK, 0, 0);
      clicked = true;
    }
    if (watch.Ms() > 10000) {
      PrintLine("dialog still open");
      return kFailed;
    }
    Sleep(5);
  }
  PrintLine("closed");
  return kOk;
}

int CmdLaunchAndWaitExit(const Args& a) {
  long long timeout = 60000;
  if (a.empty() || a.size() > 2 || (a.size() == 2 && !ParseNumber(a[1], timeout))) return kUsage;
  Stopwatch watch;
  PROCESS_INFORMATION process{};
  if (!Launch(a[0], process)) {
    PrintLine("CreateProcess failed " + std::to_string(GetLastError()));
    return kFailed;
  }
  CloseHandle(process.hThread);
  DWORD waited = WaitForSingleObject(process.hProcess, static_cast<DWORD>(timeout));
  double ms = watch.Ms();
  if (waited != WAIT_OBJECT_0) {
    PrintLine("still running");
    CloseHandle(process.hProcess);
    return kFailed;
  }
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  PrintLine(FormatMs(ms));
  PrintLine(std::to_string(code));
  return kOk;
}

int CmdTrayIcons(const Args& a) {
  if (!a.empty()) return kUsage;
  int count = CountTrayIcons();
  PrintLine(count < 0 ? std::string("no tray window") : std::to_string(count));
  return count < 0 ? kFailed : kOk;
}

struct Command {
  int (*run)(const Args&);
  const char* usage;
};

const std::map<std::wstring, Command>& Commands() {
  static const std::map<std::wstring, Command> commands = {
      {L"wait-window", {CmdWaitWindow, "wait-window CLASS TITLE MS  polls FindWindow (- for any)"}},
      {L"wait-gone", {CmdWaitGone, "wait-gone CLASS TITLE MS    polls until FindWindow finds nothing"}},
      {L"wait-ready", {CmdWaitReady, "wait-ready MS               main window with the ready property"}},
      {L"windows", {CmdWindows, "windows                     top-level windows"}},
      {L"close", {CmdClose, "close                       WM_CLOSE to the main window"}},
      {L"dialog-text", {CmdDialogText, "dialog-text TITLE MS         texts of the dialog's Static controls"}},
      {L"dialog-press", {CmdDialogPress, "dialog-press TITLE ID        presses a dialog button (IDOK=1)"}},
      {L"launch-and-wait-exit", {CmdLaunchAndWaitExit, "launch-and-wait-exit EXE [MS] ms until it exits, exit code"}},
      {L"tray-icons", {CmdTrayIcons, "tray-icons                  number of icons in the tray"}},
      {L"form-wait", {CmdFormWait, "form-wait TITLE MS           hwnd of the program's dialog once visible"}},
      {L"form-controls",
       {CmdFormControls, "form-controls TITLE          name class id text value rect shown enabled textwidth"}},
      {L"form-tab-point", {CmdFormTabPoint, "form-tab-point TITLE NAME INDEX  x,y on the screen of a page's tab"}},
      {L"form-send-dpi", {CmdFormSendDpi, "form-send-dpi TITLE DPI      WM_DPICHANGED to the dialog"}},
  };
  return commands;
}

int Usage() {
  std::fputs("usage: wintool COMMAND ARGS...\n", stderr);
  for (const auto& [name, command] : Commands()) std::fprintf(stderr, "  %s\n", command.usage);
  return kUsage;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Rects, points and sizes in the screen's own pixels, whatever the display's
  // scale: the X tools the scenarios pair them with know no other.
  SetProcessDPIAware();
  if (argc < 2) return Usage();
  auto found = Commands().find(argv[1]);
  if (found == Commands().end()) return Usage();
  Args args(argv + 2, argv + argc);
  int code = found->second.run(args);
  if (code == kUsage) std::fprintf(stderr, "usage: wintool %s\n", found->second.usage);
  return code;
}
