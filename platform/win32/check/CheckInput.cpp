// Pointer, wheel, keys and hot keys as the core sees them: messages sent to
// the windows against the events that arrive, with the edges real input
// rarely hits (negative positions, parts of a wheel notch, repeats). Also the
// window calls that go with a drag (capture, cursor, focus). Real pointer and
// key input through X, and hiding the whole program, are e2e/interaction.py's.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/Utf.h"
#include "platform/win32/check/Check.h"

namespace qv::win32::check {
namespace {

constexpr const wchar_t* kClass = L"QuorvelInputCheck";
constexpr const wchar_t* kTitle = L"Quorvel input check";

// Every event as one line, so a sequence compares at a glance.
class Recorder final : public IPlatformEvents {
 public:
  void OnTimer(int) override {}
  void OnClose() override {}
  bool OnQueryEndSession() override { return true; }
  void OnPowerBroadcast(unsigned) override {}
  void OnDisplayChange() override {}
  void OnTrayCallback(std::uintptr_t, std::intptr_t) override {}
  void OnTaskbarCreated() override {}
  void OnDropFiles(const std::vector<std::string>&, Point) override {}

  void OnMouseDown(const PointerEvent& e) override { Pointer("down", e, true); }
  void OnMouseMove(const PointerEvent& e) override { Pointer("move", e, false); }
  void OnMouseUp(const PointerEvent& e) override { Pointer("up", e, true); }
  void OnMouseEnter(WindowId id) override { Add("enter " + std::to_string(id)); }
  void OnMouseLeave(WindowId id) override { Add("leave " + std::to_string(id)); }
  void OnMouseWheel(WindowId id, int notches) override {
    Add("wheel " + std::to_string(id) + " " + std::to_string(notches));
  }
  void OnHotKey(int id, unsigned modifiers, unsigned key) override {
    Add("hotkey " + std::to_string(id) + " " + std::to_string(modifiers) + " " + std::to_string(key));
  }
  void OnDeactivate() override { Add("deactivate"); }

  std::vector<std::string> TakeLog() { return std::exchange(log_, {}); }

 private:
  void Pointer(const char* kind, const PointerEvent& e, bool withButton) {
    char text[128];
    std::snprintf(text, sizeof text, "%s %u %.1s(%d,%d) (%d,%d)%s", kind, static_cast<unsigned>(e.window),
                  withButton ? "LRM" + static_cast<int>(e.button) : "", e.client.x, e.client.y, e.screen.x, e.screen.y,
                  e.leftHeld ? " held" : "");
    Add(text);
  }
  void Add(std::string line) { log_.push_back(std::move(line)); }

  std::vector<std::string> log_;
};

using Log = std::vector<std::string>;

// Expects exactly these events since the last look, and shows what came
// when they differ.
void ExpectLog(Recorder& events, const Log& expected, const char* what) {
  const Log got = events.TakeLog();
  for (const std::string& line : got != expected ? got : Log()) std::printf("  %s got: %s\n", what, line.c_str());
  Expect(got == expected, what, __FILE__, __LINE__);
}

// Dispatches what arrives for a while.
void Pump(Platform& p, DWORD ms) {
  for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < ms; ::Sleep(10))
    p.system.ProcessPendingMessages();
}

LPARAM At(int x, int y) {
  return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

void CheckHotKeys(Win32Platform& platform, Recorder& events) {
  IHotKeys& hotKeys = platform.Interfaces().hotKeys;
  Platform& p = platform.Interfaces();
  // Control+Shift+F9 rather than Alt+letter: injecting Alt would open the
  // system menu of the focused window after the hot key.
  constexpr unsigned kCombo = MOD_CONTROL | MOD_SHIFT;
  constexpr int kFirst = 0xC123;
  constexpr int kSecond = 0xC124;
  QV_EXPECT(hotKeys.RegisterHotKey(kFirst, kCombo, VK_F9) && platform.HotKeyWindow());
  if (!platform.HotKeyWindow()) return;
  // Keys already taken are refused, not registered a second time.
  QV_EXPECT(!hotKeys.RegisterHotKey(kSecond, kCombo, VK_F9) && !hotKeys.UnregisterHotKey(kSecond));

  // Held, the keys repeat: one hot key per press, not one per repeat.
  const BYTE keys[] = {VK_CONTROL, VK_SHIFT, VK_F9, VK_F9, VK_F9, VK_F9, VK_SHIFT, VK_CONTROL};  // the last three up
  for (int i = 0; i < 8; ++i) ::keybd_event(keys[i], 0, i < 5 ? 0 : KEYEVENTF_KEYUP, 0);
  Pump(p, 1000);
  const Log seen = events.TakeLog();
  QV_EXPECT_ABOUT(std::count(seen.begin(), seen.end(), "hotkey 49443 6 120") == 1,
                  std::to_string(seen.size()) + " events");

  QV_EXPECT(hotKeys.UnregisterHotKey(kFirst) && !hotKeys.UnregisterHotKey(kFirst));
}

}  // namespace

void CheckInput() {
  Stage stage;
  Platform& p = stage.p;
  Recorder events;
  stage.platform.SetEventSink(&events);
  QV_EXPECT(stage.Open(kClass, kTitle, {20, 20, 100, 100}));
  const WindowId mainId = stage.main;
  HWND main = stage.mainWindow;
  p.windows.Show(mainId, true);
  const WindowId item = stage.Add("Circle1", {200, 150, 50, 50}, true);
  const WindowId label = stage.Add("Hint", {400, 300, 60, 20}, false);
  HWND itemWindow = stage.Window("Circle1");
  HWND labelWindow = stage.Window("Hint");
  QV_EXPECT(itemWindow != nullptr && labelWindow != nullptr);
  if (!main || !itemWindow || !labelWindow) return;
  Pump(p, 100);
  events.TakeLog();

  const std::string item_ = std::to_string(item);
  const std::string main_ = std::to_string(mainId);
  const std::string label_ = std::to_string(label);

  // Presses, releases and double clicks of each button, with client and
  // screen positions; positions left of and above the window stay negative.
  ::SendMessageW(itemWindow, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 6));
  ::SendMessageW(itemWindow, WM_LBUTTONUP, 0, At(7, 8));
  ::SendMessageW(itemWindow, WM_RBUTTONUP, 0, At(49, 0));
  ::SendMessageW(itemWindow, WM_MBUTTONDOWN, MK_MBUTTON | MK_LBUTTON, At(-3, -4));
  ::SendMessageW(itemWindow, WM_MBUTTONUP, MK_LBUTTON, At(-3, -4));
  ::SendMessageW(main, WM_LBUTTONDBLCLK, MK_LBUTTON, At(1, 2));  // the second press of a quick pair
  ExpectLog(events,
            {"down " + item_ + " L(5,6) (205,156) held", "up " + item_ + " L(7,8) (207,158)",
             "up " + item_ + " R(49,0) (249,150)", "down " + item_ + " M(-3,-4) (197,146) held",
             "up " + item_ + " M(-3,-4) (197,146) held",
             "down " + main_ + " L(1,2) (21,22) held"},
            "button messages");

  // Moves: the first one after a leave is an enter too.
  ::SendMessageW(itemWindow, WM_MOUSEMOVE, MK_LBUTTON, At(10, 11));
  ::SendMessageW(itemWindow, WM_MOUSEMOVE, 0, At(12, 13));
  ::SendMessageW(itemWindow, WM_MOUSELEAVE, 0, 0);
  ::SendMessageW(itemWindow, WM_MOUSEMOVE, 0, At(14, 15));
  ::SendMessageW(itemWindow, WM_MOUSELEAVE, 0, 0);
  ExpectLog(events,
            {"enter " + item_, "move " + item_ + " (10,11) (210,161) held", "move " + item_ + " (12,13) (212,163)",
             "leave " + item_, "enter " + item_, "move " + item_ + " (14,15) (214,165)", "leave " + item_},
            "move and leave messages");
  Pump(p, 50);  // the leaves the system posts for moves it did not see
  events.TakeLog();

  // The wheel in whole notches; parts of a notch add up, a turn the other
  // way starts again from nothing.
  const std::pair<HWND, int> turns[] = {{itemWindow, 120},  {itemWindow, -240}, {itemWindow, 60},  {itemWindow, 40},
                                        {itemWindow, 20},   {itemWindow, 90},   {itemWindow, -30}, {itemWindow, -90},
                                        {labelWindow, 120}, {main, -120}};
  for (const auto& [window, delta] : turns)
    ::SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))), At(0, 0));
  ExpectLog(events,
            {"wheel " + item_ + " 1", "wheel " + item_ + " -2", "wheel " + item_ + " 1", "wheel " + item_ + " -1",
             "wheel " + label_ + " 1", "wheel " + main_ + " -1"},
            "wheel messages");

  // Losing the activation is told once, by the main window.
  ::SendMessageW(main, WM_ACTIVATEAPP, FALSE, 0);
  ::SendMessageW(itemWindow, WM_ACTIVATEAPP, FALSE, 0);
  ::SendMessageW(main, WM_ACTIVATEAPP, TRUE, 0);
  ExpectLog(events, {"deactivate"}, "WM_ACTIVATEAPP");

  // Capture, cursor and focus as a drag uses them.
  p.windows.SetCapture(item);
  const bool captured = ::GetCapture() == itemWindow;
  p.windows.ReleaseCapture();
  HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
  p.windows.SetCursor(CursorShape::Drag);
  HCURSOR drag = ::GetCursor();
  QV_EXPECT(captured && ::GetCapture() == nullptr && drag != nullptr && drag != arrow);
  // A move over one of our windows would put the class cursor back; ours stays.
  QV_EXPECT(::SendMessageW(itemWindow, WM_SETCURSOR, reinterpret_cast<WPARAM>(itemWindow),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)) == TRUE);
  QV_EXPECT(::GetCursor() == drag);
  p.windows.SetCursor(CursorShape::Default);
  QV_EXPECT(::GetCursor() == arrow);
  p.windows.SetFocus(mainId);
  p.windows.SetFocus(label);  // hidden: nothing changes
  QV_EXPECT(::GetFocus() == main);

  CheckHotKeys(stage.platform, events);

  stage.platform.SetEventSink(nullptr);
  ::SendMessageW(itemWindow, WM_LBUTTONDOWN, MK_LBUTTON, At(1, 1));  // nobody listens, nothing breaks
  QV_EXPECT(events.TakeLog().empty());
}

}  // namespace qv::win32::check
