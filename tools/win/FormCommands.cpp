#include "FormCommands.h"

#include "ToolText.h"

// After <windows.h>.
#include <commctrl.h>

namespace qvtool {

namespace {

constexpr wchar_t kFormClass[] = L"QuorvelForm";
constexpr wchar_t kNameProperty[] = L"QuorvelName";

std::string ControlName(HWND control) {
  const ATOM atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropW(control, kNameProperty)));
  if (!atom) return {};
  wchar_t name[256] = {};
  const UINT n = GlobalGetAtomNameW(atom, name, 256);
  return ToUtf8(std::wstring(name, n));
}

HWND FindForm(const std::wstring& title) { return FindWindowW(kFormClass, title.c_str()); }

struct Search {
  std::string name;
  HWND found = nullptr;
};

BOOL CALLBACK MatchName(HWND child, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  if (ControlName(child) != search->name) return TRUE;
  search->found = child;
  return FALSE;
}

HWND FindControl(HWND form, const std::wstring& name) {
  Search search{ToUtf8(name)};
  EnumChildWindows(form, MatchName, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_NORMAL, 5000, &result);
  return static_cast<LRESULT>(result);
}

// The state worth reading besides the text: position, tick, selection, page.
std::string ValueOf(HWND control, const std::string& cls) {
  if (cls == "msctls_trackbar32") return "position=" + std::to_string(Send(control, TBM_GETPOS, 0, 0));
  if (cls == "ComboBox") return "selection=" + std::to_string(static_cast<int>(Send(control, CB_GETCURSEL, 0, 0)));
  if (cls == "SysTabControl32") return "page=" + std::to_string(Send(control, TCM_GETCURSEL, 0, 0));
  if (cls == "Button") {
    const LONG style = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    if (style == BS_AUTOCHECKBOX || style == BS_CHECKBOX)
      return "checked=" + std::to_string(Send(control, BM_GETCHECK, 0, 0) == BST_CHECKED);
  }
  return "-";
}

struct Listing {
  HWND form;
};

// The width of the control's text in its own font, as the system measures it.
int TextWidth(HWND control) {
  const std::wstring text = [&] {
    std::wstring t(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    t.resize(static_cast<std::size_t>(GetWindowTextW(control, t.data(), static_cast<int>(t.size()))));
    return t;
  }();
  HDC dc = GetDC(control);
  if (!dc) return -1;
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(Send(control, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return size.cx;
}

BOOL CALLBACK PrintControl(HWND child, LPARAM data) {
  HWND form = reinterpret_cast<Listing*>(data)->form;
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
  const std::string cls = ClassName(child);
  const std::string name = ControlName(child);
  PrintLine((name.empty() ? "-" : name) + "\t" + cls + "\t" + std::to_string(GetDlgCtrlID(child)) + "\t" +
            EscapeLine(WindowText(child)) + "\t" + ValueOf(child, cls) + "\t" + std::to_string(r.left) + "," +
            std::to_string(r.top) + "," + std::to_string(r.right - r.left) + "," + std::to_string(r.bottom - r.top) +
            "\t" + (IsWindowVisible(child) ? "visible" : "hidden") + "\t" +
            (IsWindowEnabled(child) ? "enabled" : "disabled") + "\t" + std::to_string(TextWidth(child)));
  return TRUE;
}

// The form and the named control, or a complaint.
bool Locate(const FormArgs& a, HWND& form, HWND& control) {
  form = FindForm(a[0]);
  if (!form) {
    PrintLine("no form");
    return false;
  }
  control = FindControl(form, a[1]);
  if (!control) PrintLine("no control");
  return control != nullptr;
}

}  // namespace

int CmdFormWait(const FormArgs& a) {
  long long timeout = 0;
  if (a.size() != 2 || !ParseNumber(a[1], timeout)) return kUsage;
  const DWORD start = GetTickCount();
  while (true) {
    if (HWND form = FindForm(a[0]); form && IsWindowVisible(form)) {
      PrintLine(HandleText(form));
      return kOk;
    }
    if (static_cast<long long>(GetTickCount() - start) > timeout) return kFailed;
    Sleep(10);
  }
}

int CmdFormControls(const FormArgs& a) {
  if (a.size() != 1) return kUsage;
  HWND form = FindForm(a[0]);
  if (!form) return kFailed;
  RECT client{};
  GetClientRect(form, &client);
  PrintLine(ControlName(form) + "\tclient=" + std::to_string(client.right) + "," + std::to_string(client.bottom));
  Listing listing{form};
  EnumChildWindows(form, PrintControl, reinterpret_cast<LPARAM>(&listing));
  return kOk;
}

int CmdFormTabPoint(const FormArgs& a) {
  long long index = 0;
  if (a.size() != 3 || !ParseNumber(a[2], index)) return kUsage;
  HWND form = nullptr, control = nullptr;
  if (!Locate(a, form, control)) return kFailed;
  // The tab's rectangle is written into the program's memory: the system
  // carries no pointer of a control's own message across processes.
  DWORD pid = 0;
  GetWindowThreadProcessId(control, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ, FALSE, pid);
  if (!process) return kFailed;
  void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
  RECT tab{};
  const bool found = remote && Send(control, TCM_GETITEMRECT, static_cast<WPARAM>(index),
                                    reinterpret_cast<LPARAM>(remote)) &&
                     ReadProcessMemory(process, remote, &tab, sizeof tab, nullptr);
  if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  if (!found) return kFailed;
  POINT middle{(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2};
  ClientToScreen(control, &middle);
  PrintLine(std::to_string(middle.x) + "," + std::to_string(middle.y));
  return kOk;
}

int CmdFormSendDpi(const FormArgs& a) {
  long long dpi = 0;
  if (a.size() != 2 || !ParseNumber(a[1], dpi) || dpi <= 0) return kUsage;
  HWND form = FindForm(a[0]);
  if (!form) return kFailed;
  // As when the form moves to a monitor of that DPI, but with no suggested
  // rect: a pointer would not cross into the program's process.
  Send(form, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), 0);
  return kOk;
}

}  // namespace qvtool
