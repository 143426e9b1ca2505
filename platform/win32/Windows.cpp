#include <algorithm>
#include <utility>

#include "platform/win32/Diagnostics.h"
#include "platform/win32/GeometryWin32.h"
#include "platform/win32/Resources.h"
#include "platform/win32/StartupTrace.h"
#include "platform/win32/Utf.h"
#include "platform/win32/Win32Windows.h"

namespace qv::win32 {
namespace {

// Windows the core creates without naming a class: the skins, the items,
// the dock and the label.
constexpr const char* kLayeredClass = "QuorvelLayered";
constexpr const char* kMainClass = "TFormRoundHot";

// The main form is a captionless popup; the system menu and minimize box
// give its taskbar button the usual menu, whose Close arrives as WM_CLOSE.
constexpr DWORD kMainStyle = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS;
constexpr DWORD kMainExStyle = WS_EX_LAYERED | WS_EX_APPWINDOW;
constexpr DWORD kLayeredStyle = WS_POPUP | WS_CLIPSIBLINGS;

constexpr UINT kZOrderOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;

// A window attached to the desktop window has that window's client area as
// its coordinate space; the core always speaks screen coordinates.
POINT ScreenToParent(HWND hwnd, POINT screen) {
  HWND parent = ::GetAncestor(hwnd, GA_PARENT);
  if (parent && parent != ::GetDesktopWindow()) ::MapWindowPoints(HWND_DESKTOP, parent, &screen, 1);
  return screen;
}

}  // namespace

Win32Windows::Win32Windows(HINSTANCE instance)
    : instance_(instance),
      taskbarCreatedMessage_(::RegisterWindowMessageW(L"TaskbarCreated")),
      largeIcon_(LoadAppIcon(instance, ::GetSystemMetrics(SM_CXICON))),
      smallIcon_(LoadAppIcon(instance, ::GetSystemMetrics(SM_CXSMICON))) {}

Win32Windows::~Win32Windows() {
  sink_ = nullptr;  // whatever the windows say while they go, nobody listens
  ending_ = true;
  // Owned windows first, so none of them outlives the window it belongs to
  // even for a moment; records of windows already gone hold no handle.
  for (auto& [id, record] : windows_) {
    if (!record->isMain && record->window) ::DestroyWindow(record->window.Get());
  }
  for (auto& [id, record] : windows_) {
    if (record->window) ::DestroyWindow(record->window.Get());
  }
  windows_.clear();
  hiddenOwner_.Reset();
  for (const std::wstring& name : registeredClasses_) ::UnregisterClassW(name.c_str(), instance_);
}

HWND Win32Windows::MainWindow() const noexcept { return main_ ? main_->window.Get() : nullptr; }

bool Win32Windows::EnsureClass(const std::wstring& className) {
  if (registeredClasses_.contains(className)) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &Win32Windows::WindowProc;
  wc.hInstance = instance_;
  // Only the main form has a taskbar button and a place in Alt+Tab. An icon
  // on the other classes would be handed to the window system for each of
  // their windows, a cost every item window paid at start.
  if (className == Widen(kMainClass)) {
    wc.hIcon = largeIcon_.Get();
    wc.hIconSm = smallIcon_.Get();
  }
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = className.c_str();
  if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  registeredClasses_.insert(className);
  return true;
}

Win32Windows::WindowRecord* Win32Windows::Find(WindowId id) const {
  auto it = windows_.find(id);
  return it == windows_.end() ? nullptr : it->second.get();
}

HWND Win32Windows::HandleOf(WindowId id) const {
  const WindowRecord* record = Find(id);
  return record ? record->window.Get() : nullptr;
}

WindowId Win32Windows::CreateWindow(const WindowSpec& wanted) {
  TracePhase(wanted.name.c_str());
  const std::string className = !wanted.className.empty() ? wanted.className
                                : wanted.mainForm         ? kMainClass
                                                          : kLayeredClass;
  const std::wstring wideClass = Widen(className);
  if (!EnsureClass(wideClass)) return kNoWindow;

  auto record = std::make_unique<WindowRecord>();
  record->owner = this;
  record->id = nextId_;
  record->name = wanted.name;
  record->isMain = wanted.mainForm;
  record->textIsName = wanted.title.empty() && !wanted.mainForm;
  record->layered = wanted.layered;

  DWORD style = kLayeredStyle;
  DWORD exStyle = WS_EX_TOOLWINDOW | (wanted.layered ? WS_EX_LAYERED : 0) | (wanted.acceptsDrops ? WS_EX_ACCEPTFILES : 0);
  HWND owner = MainWindow();
  if (wanted.mainForm) {
    style = kMainStyle;
    exStyle = kMainExStyle;
    // Of our own class: a system control class would load the common
    // controls at start for a window that only owns.
    if (!hiddenOwner_) MakeHiddenOwner();
    owner = hiddenOwner_.Get();
  }
  // The window text of a presentation window is its name unless the core
  // gives it a title: tools that list windows then show something useful.
  const std::wstring title = Widen(record->textIsName ? wanted.name : wanted.title);
  if (wanted.mainForm) dpi_ = SystemDpi();
  const Rect b = ScaleForDpi(wanted.bounds, dpi_);
  HWND hwnd = ::CreateWindowExW(exStyle, wideClass.c_str(), title.c_str(), style, b.left, b.top, b.width, b.height,
                                owner, nullptr, instance_, record.get());
  if (!hwnd) {
    ReportFailure(Severity::Error, WithLastError("CreateWindowExW failed for the window \"" + wanted.name + "\""));
    return kNoWindow;
  }

  WindowRecord* created = record.get();
  windows_.emplace(nextId_, std::move(record));
  const WindowId id = nextId_++;
  if (created->isMain) {
    main_ = created;
    // The monitor the main form came up on decides the scale of everything.
    if (const int dpi = WindowDpi(hwnd); dpi != dpi_) {
      dpi_ = dpi;
      SetBounds(id, wanted.bounds);
    }
    // The anchor is never seen: constant alpha 0 over the whole window.
    ::SetLayeredWindowAttributes(hwnd, 0, 0, LWA_ALPHA);
    for (const auto& [timerId, interval] : timers_) ArmTimer(timerId, interval);
  }
  if (wanted.visible) Show(id, true);
  return id;
}

void Win32Windows::MakeHiddenOwner() {
  // Of our own class: a system control class would load the common
  // controls at start for a window that only owns.
  const std::wstring ownerClass = Widen(kLayeredClass);
  if (EnsureClass(ownerClass))
    hiddenOwner_.Reset(::CreateWindowExW(WS_EX_TOOLWINDOW, ownerClass.c_str(), L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                         nullptr, instance_, nullptr));
}

// The shell's desktop window goes when the shell restarts, and the hidden
// owner, its child, with it. The new shell announces itself: the hidden owner
// is made again if it went, takes the main window back and goes down to the
// new desktop window when the program sits there.
void Win32Windows::ReattachToDesktop() {
  HWND main = MainWindow();
  if (!main) return;
  if (!::IsWindow(hiddenOwner_.Get())) {
    hiddenOwner_.Release();
    MakeHiddenOwner();
    ::SetWindowLongPtrW(main, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(hiddenOwner_.Get()));
  }
  if (!main_->onDesktop) return;
  HWND desktop = ::FindWindowW(L"Progman", nullptr);
  if (desktop && ::GetAncestor(hiddenOwner_.Get(), GA_PARENT) != desktop) ::SetParent(hiddenOwner_.Get(), desktop);
}

void Win32Windows::DestroyWindow(WindowId id) {
  auto it = windows_.find(id);
  if (it == windows_.end()) return;
  if (it->second->isMain) ending_ = true;
  // Destroying first lets WM_NCDESTROY give up the handle while the record
  // is still whole; then the record goes.
  if (HWND hwnd = it->second->window.Get(); hwnd && toolTipped_.count(hwnd)) SetToolTip(id, {});
  if (it->second->window) ::DestroyWindow(it->second->window.Get());
  if (main_ == it->second.get()) main_ = nullptr;
  windows_.erase(it);
}

// A window that was given a title keeps it: the main window's title is how
// a second instance finds it.
void Win32Windows::SetName(WindowId id, const std::string& name) {
  WindowRecord* record = Find(id);
  if (!record) return;
  record->name = name;
  if (record->textIsName && record->window) ::SetWindowTextW(record->window.Get(), Widen(name).c_str());
}

std::string Win32Windows::Name(WindowId id) const {
  const WindowRecord* record = Find(id);
  return record ? record->name : std::string();
}

void Win32Windows::SetBounds(WindowId id, const Rect& bounds) {
  HWND hwnd = HandleOf(id);
  if (!hwnd) return;
  const Rect physical = ScaleForDpi(bounds, dpi_);
  const POINT origin = ScreenToParent(hwnd, POINT{physical.left, physical.top});
  ::SetWindowPos(hwnd, nullptr, origin.x, origin.y, physical.width, physical.height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

Rect Win32Windows::Bounds(WindowId id) const {
  HWND hwnd = HandleOf(id);
  if (!hwnd) return Rect{};
  // A minimised window stands far off screen; the windows placed around it
  // (items put back, the ring re-laid out) belong where it will come back.
  if (::IsIconic(hwnd)) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (::GetWindowPlacement(hwnd, &placement)) return UnscaleForDpi(FromRECT(placement.rcNormalPosition), dpi_);
  }
  RECT r{};
  if (!::GetWindowRect(hwnd, &r)) return Rect{};
  return UnscaleForDpi(FromRECT(r), dpi_);
}

// A window already first in its band (nothing above it, or only topmost
// windows above one that is not) stays where it is: new and just shown
// windows are, and the move would cost a trip to the window system each.
static bool FirstInItsBand(HWND hwnd) {
  const HWND above = ::GetWindow(hwnd, GW_HWNDPREV);
  if (!above) return true;
  const auto topmost = [](HWND w) { return (::GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
  return topmost(above) && !topmost(hwnd);
}

void Win32Windows::Show(WindowId id, bool visible) {
  WindowRecord* record = Find(id);
  HWND hwnd = record ? record->window.Get() : nullptr;
  if (!hwnd) return;
  if (record->isMain) {
    // Shown without taking the activation: a launcher that starts with the
    // session leaves the keyboard where the user is typing. The hot key, the
    // tray and a press on the ring bring it forward (and with the first
    // activation the system's input method and its COM libraries come).
    ::ShowWindow(hwnd, visible ? SW_SHOWNA : SW_HIDE);
    // The presentation windows belong to the main form: they go when it is
    // hidden (to the tray: hiding also removes the taskbar button) and come
    // back with it, each in the state the core last asked for.
    for (auto& [otherId, other] : windows_) {
      if (other->isMain || !other->shown || !other->window) continue;
      other->showOnPicture = visible && WaitsForPicture(*other);
      if (other->showOnPicture) continue;
      ::SetWindowPos(other->window.Get(), nullptr, 0, 0, 0, 0,
                     kZOrderOnly | SWP_NOZORDER | (visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    }
    return;
  }
  record->shown = visible;
  record->showOnPicture = false;
  if (!visible) {
    ::ShowWindow(hwnd, SW_HIDE);
    return;
  }
  HWND mainWindow = MainWindow();
  if (mainWindow && !::IsWindowVisible(mainWindow)) return;  // appears when the main form does
  // A layered window comes on screen with its first picture: mapped with it,
  // the window system composes it once instead of twice, which made each
  // item's window at start about 2 ms dearer.
  if (WaitsForPicture(*record)) {
    record->showOnPicture = true;
    return;
  }
  ShowOnTop(hwnd);
}

bool Win32Windows::WaitsForPicture(const WindowRecord& record) { return record.layered && !record.pictured; }

void Win32Windows::ShowOnTop(HWND hwnd) {
  // Shown windows come to the front, without taking the activation; one
  // already there (a new window is) keeps its place, which spares a restack.
  ::SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0,
                 kZOrderOnly | SWP_SHOWWINDOW | (FirstInItsBand(hwnd) ? SWP_NOZORDER : 0));
}

bool Win32Windows::IsVisible(WindowId id) const {
  const WindowRecord* record = Find(id);
  HWND hwnd = record ? record->window.Get() : nullptr;
  return hwnd && (record->showOnPicture || (::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0);
}

WindowLayer Win32Windows::SetLayer(WindowId id, WindowLayer layer) {
  WindowRecord* record = Find(id);
  HWND hwnd = record ? record->window.Get() : nullptr;
  if (!hwnd) return WindowLayer::Normal;
  // The main window goes down with its hidden owner; any other window on its own.
  HWND mover = record->isMain && hiddenOwner_ ? hiddenOwner_.Get() : hwnd;
  if (layer == WindowLayer::Desktop) {
    if (HWND desktop = ::FindWindowW(L"Progman", nullptr)) {
      ::SetWindowPos(hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, kZOrderOnly);
      ::SetParent(mover, desktop);
      record->onDesktop = true;
      return WindowLayer::Desktop;
    }
    // No shell desktop window (other shells, Wine): the normal layer is the
    // closest there is.
    layer = WindowLayer::Normal;
  }
  if (record->onDesktop) {
    ::SetParent(mover, nullptr);
    record->onDesktop = false;
  }
  // HWND_NOTOPMOST does nothing to a window that is not topmost, yet it
  // costs a trip to the window system: every new item window asks for it.
  const bool topmost = (::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  if (layer == WindowLayer::Normal && !topmost) return layer;
  ::SetWindowPos(hwnd, layer == WindowLayer::Topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, kZOrderOnly);
  return layer;
}

void Win32Windows::BringToTop(WindowId id) {
  HWND hwnd = HandleOf(id);
  if (hwnd && !FirstInItsBand(hwnd)) ::SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, kZOrderOnly);
}

void Win32Windows::BringToForeground(WindowId id) {
  if (HWND hwnd = HandleOf(id)) ::SetForegroundWindow(hwnd);
}

void Win32Windows::AcceptDroppedFiles(WindowId id, bool accept) {
  HWND hwnd = HandleOf(id);
  if (!hwnd) return;
  // A style change is a trip to the window system: none when nothing changes.
  const bool accepts = (::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0;
  if (accepts != accept) ::DragAcceptFiles(hwnd, accept ? TRUE : FALSE);
}

Rect Win32Windows::ScreenBounds() const {
  return UnscaleForDpi(Rect{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}, dpi_);
}

namespace {

BOOL CALLBACK CollectWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!::GetMonitorInfoW(monitor, &info)) return TRUE;
  auto& areas = *reinterpret_cast<std::vector<RECT>*>(data);
  // The primary monitor first: the fit prefers it when two are as near.
  if (info.dwFlags & MONITORINFOF_PRIMARY)
    areas.insert(areas.begin(), info.rcWork);
  else
    areas.push_back(info.rcWork);
  return TRUE;
}

}  // namespace

std::vector<Rect> Win32Windows::WorkAreas() const {
  std::vector<RECT> physical;
  ::EnumDisplayMonitors(nullptr, nullptr, CollectWorkArea, reinterpret_cast<LPARAM>(&physical));
  std::vector<Rect> areas;
  for (const RECT& r : physical) areas.push_back(UnscaleForDpi(FromRECT(r), dpi_));
  // A system that names no monitor still has its screen.
  if (areas.empty()) areas.push_back(ScreenBounds());
  return areas;
}

std::optional<std::uint32_t> Win32Windows::SystemColour(int index) const {
  // The system has no brush for an index it does not know; GetSysColor alone
  // would answer 0 (black) for it.
  if (index < 0 || index > COLOR_MENUBAR || ::GetSysColorBrush(index) == nullptr) return std::nullopt;
  return static_cast<std::uint32_t>(::GetSysColor(index)) & 0x00FFFFFFu;
}

Point Win32Windows::CursorPosition() const {
  POINT p{};
  ::GetCursorPos(&p);
  return UnscaleForDpi(FromPOINT(p), dpi_);
}

// The pointer's primary button, whichever physical button the user has made
// it: the asynchronous state reports physical buttons.
bool Win32Windows::IsLeftButtonDown() const {
  const int primary = ::GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
  return (::GetAsyncKeyState(primary) & 0x8000) != 0;
}

void Win32Windows::SetCapture(WindowId id) {
  if (HWND hwnd = HandleOf(id)) ::SetCapture(hwnd);
}

void Win32Windows::ReleaseCapture() { ::ReleaseCapture(); }

// The shape stays until changed again: WM_SETCURSOR, which would put the
// class cursor back at the next move, keeps it (see WindowMessages.cpp).
void Win32Windows::SetCursor(CursorShape shape) {
  cursor_ = shape;
  ::SetCursor(CursorHandle(shape));
}

// The system's shared cursors: loaded by name, never destroyed.
HCURSOR Win32Windows::CursorHandle(CursorShape shape) {
  return ::LoadCursorW(nullptr, shape == CursorShape::Drag ? IDC_SIZEALL : IDC_ARROW);
}

namespace {

bool OwnedByUs(HWND hwnd) {
  DWORD process = 0;
  if (hwnd) ::GetWindowThreadProcessId(hwnd, &process);
  return hwnd && process == ::GetCurrentProcessId();
}

}  // namespace

// Focusing a top-level window of ours also makes it the active window of
// the program, so its keys (and the wheel, where the system sends it to the
// focus) arrive there. Presses never activate our windows (see
// WM_MOUSEACTIVATE), and SetActiveWindow leaves another program in the
// foreground with the keyboard; the core focuses in answer to a click, which
// entitles us to take the foreground. The window that was clicked takes it:
// the main form shows no pixel, and a window the display cannot see cannot
// take the display's focus either.
void Win32Windows::SetFocus(WindowId id) {
  HWND hwnd = HandleOf(id);
  if (!hwnd || !::IsWindowVisible(hwnd)) return;
  if (!OwnedByUs(::GetForegroundWindow())) {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    HWND clicked = ::GetAncestor(::WindowFromPoint(cursor), GA_ROOT);
    ::SetForegroundWindow(OwnedByUs(clicked) ? clicked : hwnd);
  }
  ::SetActiveWindow(hwnd);
  ::SetFocus(hwnd);
}

// Hiding the main window hides every window it owns and its taskbar button;
// showing it brings back those the core wants shown.
void Win32Windows::MinimizeApplication() {
  if (main_) Show(main_->id, false);
}

void Win32Windows::RestoreApplication() {
  if (!main_) return;
  Show(main_->id, true);
  if (HWND hwnd = MainWindow()) ::SetForegroundWindow(hwnd);
}

// Timers belong to the main form. One asked for before the main form exists
// is remembered and armed when it is created.
void Win32Windows::ArmTimer(int id, unsigned intervalMs) const {
  if (HWND hwnd = MainWindow()) ::SetTimer(hwnd, static_cast<UINT_PTR>(id), intervalMs, nullptr);
}

void Win32Windows::StartTimer(int id, unsigned intervalMs) {
  timers_[id] = intervalMs;
  ArmTimer(id, intervalMs);
  if (intervalMs < kFastTimerMs) finePeriod_.Hold(true);
}

void Win32Windows::StopTimer(int id) {
  timers_.erase(id);
  if (HWND hwnd = MainWindow()) ::KillTimer(hwnd, static_cast<UINT_PTR>(id));
  finePeriod_.Hold(std::any_of(timers_.begin(), timers_.end(),
                               [](const auto& timer) { return timer.second < kFastTimerMs; }));
}

int Win32Windows::SystemDpi() {
  WindowDc screen;
  const int dpi = screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSX) : 0;
  return dpi > 0 ? dpi : kBaseDpi;
}

// GetDpiForWindow came with Windows 10 1607; older systems have one scale
// for every monitor, the screen's.
int Win32Windows::WindowDpi(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = [] {
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<GetDpiForWindowFn>(
                        reinterpret_cast<void (*)()>(::GetProcAddress(user32, "GetDpiForWindow")))
                  : nullptr;
  }();
  if (getDpiForWindow && hwnd) {
    if (const UINT dpi = getDpiForWindow(hwnd); dpi > 0) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

}  // namespace qv::win32
