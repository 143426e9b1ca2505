// uiaclient: an assistive client in miniature for the end-to-end tests. It
// learns what Quorvel shows only from UI Automation, as a screen reader does:
// it walks the desktop's top-level windows of the program's process, asks the
// automation node of each for its control type and name, and invokes one.
//
//   uiaclient list           one line per button: name, automation id, focused (1/0)
//   uiaclient invoke NAME    invokes the button of that name through its invoke pattern
//   uiaclient press NAME     does the button's default action through its accessible
//                            object, the door the older clients use (Wine's automation
//                            client cannot hand out patterns yet)
//
// Exit codes as wintool's: 0 done, 1 not done, 2 usage.

#include <ole2.h>
#include <oleacc.h>

#include <string>
#include <vector>

#include "ToolText.h"
#include "WindowQueries.h"
#include "platform/win32/AutomationIds.h"

using namespace qvtool;

namespace {

DECLARE_HANDLE(Node);
DECLARE_HANDLE(Pattern);

using namespace qv::win32::automation;

struct Automation {
  HRESULT(WINAPI* nodeFromHandle)(HWND, Node*) = nullptr;
  HRESULT(WINAPI* getProperty)(Node, int, VARIANT*) = nullptr;
  HRESULT(WINAPI* getPattern)(Node, int, Pattern*) = nullptr;
  HRESULT(WINAPI* invoke)(Pattern) = nullptr;
  BOOL(WINAPI* releaseNode)(Node) = nullptr;
  BOOL(WINAPI* releasePattern)(Pattern) = nullptr;

  bool Load() {
    HMODULE library = LoadLibraryW(L"uiautomationcore.dll");
    auto get = [&](const char* name, auto& out) {
      out = reinterpret_cast<std::remove_reference_t<decltype(out)>>(
          reinterpret_cast<void*>(GetProcAddress(library, name)));
      return out != nullptr;
    };
    return library && get("UiaNodeFromHandle", nodeFromHandle) && get("UiaGetPropertyValue", getProperty) &&
           get("UiaGetPatternProvider", getPattern) && get("InvokePattern_Invoke", invoke) &&
           get("UiaNodeRelease", releaseNode) && get("UiaPatternRelease", releasePattern);
  }
};

struct Button {
  HWND window;
  Node node;
  std::wstring name;
  std::wstring automationId;
  bool focused;
};

class Client {
 public:
  bool Start() { return SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) && api_.Load(); }
  ~Client() {
    for (const Button& button : buttons_) api_.releaseNode(button.node);
  }

  // The buttons among the visible top-level windows of the main window's process.
  bool Walk() {
    HWND main = FindMainWindow();
    if (!main) {
      PrintLine("no main window");
      return false;
    }
    DWORD program = 0;
    GetWindowThreadProcessId(main, &program);
    for (HWND hwnd : TopLevelWindows()) {
      DWORD owner = 0;
      GetWindowThreadProcessId(hwnd, &owner);
      if (owner != program || !IsWindowVisible(hwnd)) continue;
      Node node = nullptr;
      if (FAILED(api_.nodeFromHandle(hwnd, &node)) || !node) continue;
      if (Number(node, kControlTypeProperty) != kButtonControlType) {
        api_.releaseNode(node);
        continue;
      }
      buttons_.push_back({hwnd, node, Text(node, kNameProperty), Text(node, kAutomationIdProperty),
                          Number(node, kHasKeyboardFocusProperty) != 0});
    }
    return true;
  }

  const std::vector<Button>& Buttons() const { return buttons_; }

  bool Press(const Button& button) {
    IAccessible* accessible = nullptr;
    HRESULT result = AccessibleObjectFromWindow(button.window, OBJID_CLIENT, __uuidof(IAccessible),
                                                reinterpret_cast<void**>(&accessible));
    if (SUCCEEDED(result)) {
      VARIANT self;
      self.vt = VT_I4;
      self.lVal = CHILDID_SELF;
      result = accessible->accDoDefaultAction(self);
      accessible->Release();
    } else {
      PrintLine("no accessible object");
    }
    return Done(result);
  }

  bool Invoke(const Button& button) {
    Pattern pattern = nullptr;
    if (FAILED(api_.getPattern(button.node, kInvokePattern, &pattern)) || !pattern) return false;
    const HRESULT result = api_.invoke(pattern);
    api_.releasePattern(pattern);
    return Done(result);
  }

 private:
  static bool Done(HRESULT result) {
    if (FAILED(result)) PrintLine("failed: 0x" + ToHex(static_cast<unsigned long>(result)));
    return SUCCEEDED(result);
  }
  static std::string ToHex(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08lx", value);
    return text;
  }
  std::wstring Text(Node node, int property) {
    VARIANT value;
    VariantInit(&value);
    std::wstring text;
    if (SUCCEEDED(api_.getProperty(node, property, &value)) && value.vt == VT_BSTR && value.bstrVal)
      text = value.bstrVal;
    VariantClear(&value);
    return text;
  }
  // VT_I4 and VT_BOOL as numbers; -1 when the property has neither.
  long Number(Node node, int property) {
    VARIANT value;
    VariantInit(&value);
    long number = -1;
    if (SUCCEEDED(api_.getProperty(node, property, &value))) {
      if (value.vt == VT_I4) number = value.lVal;
      if (value.vt == VT_BOOL) number = value.boolVal ? 1 : 0;
    }
    VariantClear(&value);
    return number;
  }

  Automation api_;
  std::vector<Button> buttons_;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  const bool act = command == L"invoke" || command == L"press";
  if (!((command == L"list" && argc == 2) || (act && argc == 3))) {
    PrintLine("usage: uiaclient list | uiaclient invoke NAME | uiaclient press NAME");
    return kUsage;
  }
  Client client;
  if (!client.Start()) {
    PrintLine("UI Automation is not available");
    return kFailed;
  }
  if (!client.Walk()) return kFailed;
  for (const Button& button : client.Buttons()) {
    if (command == L"list") {
      PrintLine(EscapeLine(ToUtf8(button.name)) + "\t" + ToUtf8(button.automationId) + "\t" +
                (button.focused ? "1" : "0"));
    } else if (button.name == argv[2]) {
      return (command == L"invoke" ? client.Invoke(button) : client.Press(button)) ? kOk : kFailed;
    }
  }
  if (act) PrintLine("no button named so");
  return act ? kFailed : kOk;
}
