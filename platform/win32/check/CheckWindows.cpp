// Windows, events, timers and the message loop, through the same
// Win32Platform the program uses. Needs a display (Xvfb under Wine).

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win32/AccessibleObjects.h"
#include "platform/win32/AutomationIds.h"
#include "platform/win32/Utf.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/check/Check.h"

// After <windows.h>.
#include <commctrl.h>

namespace qv::win32::check {
namespace {

constexpr const wchar_t* kClass = L"QuorvelCheckMain";
constexpr const wchar_t* kTitle = L"Quorvel check";
constexpr int kQuitTimer = 1;
constexpr int kStoppedTimer = 2;
constexpr int kAnswerTimer = 3;

// Records what arrives; some events act, as the launcher's handlers would.
class Recorder final : public IPlatformEvents {
 public:
  explicit Recorder(Win32Platform& platform) : platform_(platform) {}

  void OnTimer(int id) override {
    timers.push_back(id);
    ITimerHost& timers = platform_.Interfaces().timers;
    if (id == kStoppedTimer && ++stoppedTicks == 3) timers.StopTimer(kStoppedTimer);
    if (id == kQuitTimer) {
      timers.StopTimer(kQuitTimer);
      platform_.Interfaces().system.RequestQuit();
    }
    if (id == kAnswerTimer) AnswerMessageBox();
  }
  void OnClose() override {
    ++closes;
    if (throwOnClose) throw std::runtime_error("handler failed");
  }
  bool OnQueryEndSession() override { return true; }
  void OnPowerBroadcast(unsigned event) override { power.push_back(event); }
  void OnDisplayChange() override { ++displayChanges; }
  void OnTrayCallback(std::uintptr_t wParam, std::intptr_t lParam) override {
    tray.push_back({static_cast<long long>(wParam), static_cast<long long>(lParam)});
  }
  void OnTaskbarCreated() override { ++taskbarCreated; }
  void OnDropFiles(const std::vector<std::string>&, Point) override {}
  std::optional<AccessibleItem> OnAccessibleQuery(WindowId id) const override {
    if (id != accessibleItem) return std::nullopt;
    return AccessibleItem{"回收站", true};
  }
  void OnAccessibleInvoke(WindowId id) override { invoked.push_back(id); }

  // Closes the open message box with the given command, as a user would,
  // after seeing that it holds every window of the program.
  void AnswerMessageBox() {
    HWND box = ::FindWindowW(L"#32770", L"Quorvel check box");
    if (!box) return;
    platform_.Interfaces().timers.StopTimer(kAnswerTimer);
    held = platform_.Interfaces().dialogs.BoxOpen() && !::IsWindowEnabled(held_[0]) && !::IsWindowEnabled(held_[1]);
    ::PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(IDCANCEL), 0);
  }

  std::vector<int> timers;
  int stoppedTicks = 0;
  int closes = 0;
  bool throwOnClose = false;
  std::vector<unsigned> power;
  int displayChanges = 0;
  std::vector<std::pair<long long, long long>> tray;
  int taskbarCreated = 0;
  bool held = false;
  HWND held_[2] = {};  // the main window and an item
  WindowId accessibleItem = kNoWindow;
  std::vector<WindowId> invoked;

 private:
  Win32Platform& platform_;
};

LONG_PTR ExStyle(HWND hwnd) { return ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE); }

BOOL CALLBACK CollectTipControl(HWND hwnd, LPARAM list) {
  wchar_t name[64] = {};
  ::GetClassNameW(hwnd, name, 64);
  if (std::wstring(name) == TOOLTIPS_CLASSW) reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
  return TRUE;
}

// The tooltip controls of this thread.
std::vector<HWND> TipControls() {
  std::vector<HWND> found;
  ::EnumThreadWindows(::GetCurrentThreadId(), CollectTipControl, reinterpret_cast<LPARAM>(&found));
  return found;
}

// An item as assistive clients reach it: the system's question answered for
// items alone; the provider's name and invoke, and the accessible object's
// name, state and default action, come from the core on this thread, the
// invoke through the loop; gone with the item.
void CheckAccessibleItem(Recorder& events, HWND itemWindow, WindowId item) {
  QV_EXPECT(::SendMessageW(itemWindow, WM_GETOBJECT, 0, automation::kRootObjectId) == 0);  // not an item yet
  events.accessibleItem = item;
  QV_EXPECT(::SendMessageW(itemWindow, WM_GETOBJECT, 0, automation::kRootObjectId) != 0);
  // A query nobody waits for, as another program may send it: its number is not written through.
  QV_EXPECT(::SendMessageW(itemWindow, kAccessibleQueryMessage, 0, 1) == 0);
  const AccessibleItems::Api* api = LoadAccessibleApi();
  QV_EXPECT(api != nullptr);
  if (!api) return;
  IRawElementProviderSimple* provider = MakeItemProvider(itemWindow, *api);
  VARIANT name{};
  QV_EXPECT(SUCCEEDED(provider->GetPropertyValue(automation::kNameProperty, &name)) && name.vt == VT_BSTR &&
            std::wstring(name.bstrVal) == L"回收站");
  ::VariantClear(&name);
  IUnknown* pattern = nullptr;
  IInvokeProvider* invoke = nullptr;
  QV_EXPECT(SUCCEEDED(provider->GetPatternProvider(automation::kInvokePattern, &pattern)) && pattern &&
            SUCCEEDED(pattern->QueryInterface(kInvokeProviderId, reinterpret_cast<void**>(&invoke))));
  IAccessible* accessible = nullptr;
  QV_EXPECT(SUCCEEDED(::AccessibleObjectFromWindow(itemWindow, OBJID_CLIENT, __uuidof(IAccessible),
                                                   reinterpret_cast<void**>(&accessible))));
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR accName = nullptr;
  VARIANT state{};
  if (accessible) {
    QV_EXPECT(SUCCEEDED(accessible->get_accName(self, &accName)) && accName && std::wstring(accName) == L"回收站");
    QV_EXPECT(SUCCEEDED(accessible->get_accState(self, &state)) && (state.lVal & STATE_SYSTEM_FOCUSED) != 0);
    QV_EXPECT(SUCCEEDED(accessible->accDoDefaultAction(self)));
  }
  if (invoke) QV_EXPECT(SUCCEEDED(invoke->Invoke()));
  QV_EXPECT(events.invoked.empty());  // posted, not run inside the client's call
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
  QV_EXPECT(events.invoked == (std::vector<WindowId>{item, item}));
  events.accessibleItem = kNoWindow;
  QV_EXPECT(invoke && FAILED(invoke->Invoke()) && FAILED(provider->GetPropertyValue(automation::kNameProperty, &name)));
  ::SysFreeString(accName);
  for (IUnknown* object : std::initializer_list<IUnknown*>{invoke, pattern, provider, accessible})
    if (object) object->Release();
}

}  // namespace

void CheckWindows() {
  Stage stage;
  Win32Platform& platform = stage.platform;
  Platform& p = stage.p;
  Recorder events(platform);
  platform.SetEventSink(&events);
  // A timer asked for before the main window exists starts with it.
  p.timers.StartTimer(kStoppedTimer, 10);
  QV_EXPECT(stage.Open(kClass, kTitle, {40, 30, 194, 168}));
  const WindowId mainId = stage.main;
  HWND main = stage.mainWindow;
  if (!main) return;
  QV_EXPECT((ExStyle(main) & (WS_EX_LAYERED | WS_EX_APPWINDOW)) == (WS_EX_LAYERED | WS_EX_APPWINDOW));
  RECT client{};
  ::GetClientRect(main, &client);
  QV_EXPECT(client.right == 194 && client.bottom == 168 && (::GetWindowLongPtrW(main, GWL_STYLE) & WS_CAPTION) == 0);
  QV_EXPECT(p.windows.Bounds(mainId) == (Rect{40, 30, 194, 168}) && !p.windows.IsVisible(mainId));

  const WindowId item = stage.Add("Circle1", {100, 120, 50, 50}, true);  // shown while the main window is not
  HWND itemWindow = stage.Window("Circle1");
  QV_EXPECT(item != kNoWindow && itemWindow != nullptr);
  if (!itemWindow) return;
  events.held_[0] = main, events.held_[1] = itemWindow;
  QV_EXPECT(::GetWindow(itemWindow, GW_OWNER) == main && !p.windows.IsVisible(item));
  QV_EXPECT((ExStyle(itemWindow) & (WS_EX_LAYERED | WS_EX_TOOLWINDOW)) == (WS_EX_LAYERED | WS_EX_TOOLWINDOW));

  // Items come with the main window, each as last asked.
  const WindowId hiddenItem = stage.Add("Circle2", {100, 120, 50, 50}, false);
  HWND hiddenItemWindow = stage.Window("Circle2");
  p.windows.Show(mainId, true);
  QV_EXPECT(p.windows.IsVisible(mainId) && p.windows.IsVisible(item) && !p.windows.IsVisible(hiddenItem));
  // A layered window comes on screen with its first picture, not before; a
  // hidden one stays hidden with it.
  QV_EXPECT(!::IsWindowVisible(itemWindow));

  // The picture sets the size; the position stays.
  LayeredSurface surface(60, 40);
  for (std::uint32_t& pixel : surface.pixels) pixel = PackBgra(0, 0, 128, 128);
  p.windows.PushLayered(item, surface, 255);
  p.windows.PushLayered(hiddenItem, surface, 255);
  QV_EXPECT(::IsWindowVisible(itemWindow) && !::IsWindowVisible(hiddenItemWindow));
  QV_EXPECT(p.windows.Bounds(item) == (Rect{100, 120, 60, 40}));
  p.windows.PushLayered(item, LayeredSurface(20, 10), 200);  // smaller than the canvas by now
  QV_EXPECT(p.windows.Bounds(item) == (Rect{100, 120, 20, 10}));
  p.windows.PushLayered(item, LayeredSurface(), 255);  // an empty picture changes nothing
  QV_EXPECT(p.windows.Bounds(item) == (Rect{100, 120, 20, 10}));

  const bool hasDesktop = ::FindWindowW(L"Progman", nullptr) != nullptr;
  for (const WindowLayer asked :
       {WindowLayer::Topmost, WindowLayer::Normal, WindowLayer::Topmost, WindowLayer::Desktop}) {
    const WindowLayer applied = p.windows.SetLayer(item, asked);
    QV_EXPECT(applied == (asked == WindowLayer::Desktop && !hasDesktop ? WindowLayer::Normal : asked));
    QV_EXPECT(((ExStyle(itemWindow) & WS_EX_TOPMOST) != 0) == (asked == WindowLayer::Topmost));
  }
  p.windows.SetLayer(item, WindowLayer::Normal);

  // The shell's desktop window, played here by a window of ours: the main
  // window goes down onto it with its hidden owner. When the shell restarts,
  // its desktop window goes, the hidden owner with it, and the new shell
  // says "TaskbarCreated": the program sits on the new desktop window.
  if (!hasDesktop) {
    WNDCLASSW shellClass{};
    shellClass.lpfnWndProc = ::DefWindowProcW;
    shellClass.hInstance = ::GetModuleHandleW(nullptr);
    shellClass.lpszClassName = L"Progman";
    ::RegisterClassW(&shellClass);
    const auto makeShell = [] {
      return ::CreateWindowExW(0, L"Progman", nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
    };
    const auto onShell = [main](HWND shell) { return ::GetAncestor(::GetWindow(main, GW_OWNER), GA_PARENT) == shell; };
    HWND shell = makeShell();
    QV_EXPECT(p.windows.SetLayer(mainId, WindowLayer::Desktop) == WindowLayer::Desktop && onShell(shell));
    ::DestroyWindow(shell);
    shell = makeShell();
    ::SendMessageW(main, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    QV_EXPECT(::IsWindow(main) && ::IsWindow(itemWindow) && onShell(shell) && events.taskbarCreated == 1);
    p.windows.SetLayer(mainId, WindowLayer::Normal);
    QV_EXPECT(!onShell(shell));
    ::DestroyWindow(shell);
    ::UnregisterClassW(L"Progman", ::GetModuleHandleW(nullptr));
  }

  // Messages a second instance, the shell and the system send (a logoff's is e2e/lifecycle.py's).
  QV_EXPECT(p.system.SendToWindow(Narrow(kClass), Narrow(kTitle), kTrayCallbackMessage, 0, kMouseLeftDown));
  ::SendMessageW(main, WM_POWERBROADCAST, kPowerResumeSuspend, 0);
  ::SendMessageW(main, WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 800));
  QV_EXPECT(events.tray == (std::vector<std::pair<long long, long long>>{{0, 513}}) && events.displayChanges == 1);
  QV_EXPECT(events.power == std::vector<unsigned>{kPowerResumeSuspend});
  // Closing is the launcher's decision; a failure in its handler stays on
  // this side of the window system.
  for (const bool fails : {false, true}) {
    events.throwOnClose = fails;
    ::SendMessageW(main, WM_CLOSE, 0, 0);
  }
  QV_EXPECT(events.closes == 2 && ::IsWindow(main));
  events.throwOnClose = false;

  CheckAccessibleItem(events, itemWindow, item);

  // Tips wait for the pointer's first move over a window that has one; then
  // one control takes them all, each with the text it was last given.
  p.windows.SetToolTip(item, "first");
  p.windows.SetToolTip(item, "回收站");
  ::SendMessageW(hiddenItemWindow, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));  // no tip: no control
  QV_EXPECT(TipControls().empty());
  ::SendMessageW(itemWindow, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  const std::vector<HWND> tips = TipControls();
  QV_EXPECT(tips.size() == 1);
  if (tips.size() == 1) {
    wchar_t text[80] = {};
    TTTOOLINFOW tool{sizeof(tool), 0, itemWindow, reinterpret_cast<UINT_PTR>(itemWindow), {}, nullptr, text};
    ::SendMessageW(tips[0], TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    QV_EXPECT(::SendMessageW(tips[0], TTM_GETTOOLCOUNT, 0, 0) == 1 && Narrow(text) == "回收站");
    p.windows.SetToolTip(item, "");
    QV_EXPECT(::SendMessageW(tips[0], TTM_GETTOOLCOUNT, 0, 0) == 0);
  }

  // A message box holds every window of the program while it is up and
  // reports the button pressed; timers keep running inside it. Yes and No
  // pressed for real are e2e/settings.py's.
  p.timers.StartTimer(kAnswerTimer, 50);
  QV_EXPECT(p.dialogs.MessageBox("提示 text", "Quorvel check box", MessageBoxButtons::OkCancel,
                                 MessageBoxIcon::Question) == MessageBoxResult::Cancel);
  QV_EXPECT(events.held && !p.dialogs.BoxOpen() && ::IsWindowEnabled(main) && ::IsWindowEnabled(itemWindow));

  // Timers: a stopped timer stays silent, the loop ends when asked. The
  // stopped timer has run since the main window was created.
  p.timers.StartTimer(kQuitTimer, 300);
  platform.Run();
  QV_EXPECT(events.stoppedTicks == 3 && std::count(events.timers.begin(), events.timers.end(), kQuitTimer) == 1);

  // A quit seen by a nested turn of the loop still ends the outer loop,
  // after the messages queued before it.
  events.tray.clear();
  ::PostMessageW(main, kTrayCallbackMessage, 0, 517);
  p.system.RequestQuit();
  p.system.ProcessPendingMessages();
  QV_EXPECT(events.tray == (std::vector<std::pair<long long, long long>>{{0, 517}}));
  events.timers.clear();
  p.timers.StartTimer(kQuitTimer, 5000);  // ends the loop if the quit was lost
  platform.Run();
  QV_EXPECT(events.timers.empty());
  p.timers.StopTimer(kQuitTimer);

  // Destroyed windows are forgotten; the main window takes its items along.
  p.windows.DestroyWindow(hiddenItem);
  QV_EXPECT(p.windows.Name(hiddenItem).empty() && ::FindWindowW(L"QuorvelLayered", L"Circle2") == nullptr);
  // A main window destroyed from outside ends the program: its shutdown
  // runs and the loop is asked to end.
  const int closesBefore = events.closes;
  ::DestroyWindow(main);
  MSG quit{};
  QV_EXPECT(events.closes == closesBefore + 1 && ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  QV_EXPECT(!::IsWindow(itemWindow) && p.windows.Bounds(item) == Rect{});
  p.windows.Show(item, true);  // nothing left to act on, and no harm
  p.windows.PushLayered(item, surface, 255);
  platform.SetEventSink(nullptr);
}

}  // namespace qv::win32::check
