#pragma once

// A deterministic simulated desktop for tests. One HeadlessDesktop holds what
// the machine shares between processes (virtual clock, windows, mutexes,
// registry, file system root, recorded message boxes and shell launches);
// each HeadlessProcess is one running copy of the program and implements the
// platform interfaces for it.
//
// Time only moves when a test calls Advance: the due timers of every process
// then fire in order of their due time (ties in the order they were started).

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/MessageLoop.h"
#include "platform/Platform.h"
#include "platform/headless/HeadlessForms.h"
#include "platform/headless/SoftwareCanvas.h"

namespace qv::headless {

class HeadlessProcess;

struct WindowRecord {
  WindowId id = kNoWindow;
  HeadlessProcess* owner = nullptr;
  std::string name;
  std::string className;
  std::string title;
  Rect bounds;
  bool visible = false;
  bool layered = true;
  bool mainForm = false;
  bool acceptsDrops = false;
  WindowLayer layer = WindowLayer::Normal;
  LayeredSurface surface;  // the last pushed picture
  std::uint8_t alpha = 0;  // its constant alpha
  int pushCount = 0;
  int boundsCount = 0;     // SetBounds and SetBoundsMany changes of this window
  int sizeMismatches = 0;  // pushes whose surface was not the scaled size of the bounds
  std::string toolTip;     // the window system's tooltip text
};

struct MessageBoxRecord {
  std::string text;
  std::string caption;
  MessageBoxButtons buttons = MessageBoxButtons::Ok;
  MessageBoxIcon icon = MessageBoxIcon::None;
  MessageBoxResult answer = MessageBoxResult::Ok;
};

struct ReportRecord {
  Severity severity = Severity::Info;
  std::string text;
};

// A popup menu as it was shown, and what the script answered.
struct MenuRecord {
  Menu menu;
  Point screen;
  std::optional<int> answer;
};

// What the next menu answers: an item's command, the command of the item
// with this caption (submenus included), or nothing (closed unchosen).
struct MenuChoice {
  std::optional<int> command;
  std::string caption;
};

struct LaunchRecord {
  std::string file;
  std::string arguments;
  std::string directory;
};

class HeadlessDesktop {
 public:
  // root: the real directory that stands for the machine's drives
  // ("C:\x" lives at root/C/x). artDir: the generated art, for resources.
  HeadlessDesktop(std::filesystem::path root, std::filesystem::path artDir);
  ~HeadlessDesktop();
  HeadlessDesktop(const HeadlessDesktop&) = delete;
  HeadlessDesktop& operator=(const HeadlessDesktop&) = delete;

  // Virtual time in milliseconds since the desktop was made.
  std::int64_t NowMs() const { return nowMs_; }
  void SetLocalTime(const LocalTime& t) {
    baseTime_ = t;
    nowMsAtBase_ = nowMs_;
  }
  LocalTime CurrentLocalTime() const;
  // Fires every timer due within the next ms milliseconds, in order.
  void Advance(std::int64_t ms);

  // Windows, bottom of the z-order first.
  const std::vector<WindowId>& ZOrder() const { return zOrder_; }
  const WindowRecord* FindWindow(WindowId id) const;
  WindowRecord* FindWindow(WindowId id);
  const WindowRecord* FindWindowByName(const std::string& name) const;
  const WindowRecord* FindWindowByClass(const std::string& className, const std::string& title) const;
  std::vector<const WindowRecord*> Windows() const;

  // Message boxes: answers are taken from the script in order; without one
  // the box answers with its first button. whileOpen runs while the box is
  // up, as the box's own message loop would: timers it lets pass fire, hot
  // keys and tray clicks arrive, while pointer and key input to the
  // program's windows and forms is refused (they are disabled).
  void ScriptMessageBoxAnswer(MessageBoxResult answer, std::function<void()> whileOpen = {}) {
    scriptedAnswers_.push_back({answer, std::move(whileOpen)});
  }
  // Whether the shell has a desktop window ("Progman") the desktop layer sits on; off by default, as under Wine.
  void SetShellDesktopWindow(bool present) { shellDesktop_ = present; }
  const std::vector<MessageBoxRecord>& MessageBoxes() const { return messageBoxes_; }
  const std::vector<LaunchRecord>& Launches() const { return launches_; }
  // Popup menus: each one shown is recorded; it answers with the next scripted
  // choice, and is closed unchosen without one. A caption that the menu does
  // not hold (or holds disabled) closes it too, as a click beside it would.
  void ScriptMenuCommand(int command) { scriptedMenus_.push_back({command, {}}); }
  void ScriptMenuCaption(std::string caption) { scriptedMenus_.push_back({std::nullopt, std::move(caption)}); }
  void ScriptMenuDismiss() { scriptedMenus_.push_back({}); }
  const std::vector<MenuRecord>& MenusShown() const { return menusShown_; }
  std::map<std::string, std::string>& Registry() { return registry_; }  // "HIVE\key\\value" -> data
  std::set<std::string>& RegistryKeys() { return registryKeys_; }

  // Input as a user gives it. The pointer goes to the window under it (a
  // pixel with alpha 0 lets it through) or to the window holding the capture.
  void MouseDown(Point screen, MouseButton button = MouseButton::Left);
  void MouseMove(Point screen);
  void MouseUp(Point screen, MouseButton button = MouseButton::Left);
  void Wheel(Point screen, int notches);
  void KeyDown(unsigned virtualKey, bool shift = false);  // to the window with the keyboard focus
  // Fires the hot key if a process registered it; false when none did.
  bool PressHotKey(unsigned modifiers, unsigned virtualKey);
  bool LeftButtonDown() const { return leftDown_; }
  // The item the program last told assistive clients has the keyboard's focus.
  WindowId AnnouncedFocus() const { return announcedFocus_; }
  // The order in which a move between two windows is told. Windows posts the
  // leave of the old window before the new one's first move; under Wine the
  // leave is found by a poll and comes after the new window's enter.
  void SetLeaveAfterEnter(bool late) { leaveAfterEnter_ = late; }
  // Input that arrives while a program lets its loop run (ProcessPendingMessages):
  // at each such turn the input is offered; it returns true once it has been
  // given, false to wait for a later turn.
  void InputDuringPump(std::function<bool()> input) { pumpInput_.push_back(std::move(input)); }
  CursorShape CurrentCursor() const { return cursorShape_; }

  // The shell's answers: link targets (nullopt: the link cannot be loaded)
  // and type icons by lower-cased extension ("" for none).
  std::map<std::string, std::optional<std::string>>& Shortcuts() { return shortcuts_; }
  std::map<std::string, std::string>& ShellIcons() { return shellIcons_; }
  std::vector<std::string>& ShellIconRequests() { return shellIconRequests_; }
  // Windows paths whose atomic writes fail, as on a full or read-only disk.
  std::set<std::string>& RefusedWrites() { return refusedWrites_; }

  // The window the pointer is over, by the same rule the input uses.
  const WindowRecord* WindowAt(Point screen) const;

  // The display's scale, as a monitor of that DPI shows it: surfaces are
  // physical, everything else logical. A change is told to every process,
  // as a move to another monitor is.
  int Dpi() const { return dpi_; }
  void SetDpi(int dpi);

  Rect Screen() const { return screen_; }
  void SetScreen(const Rect& r) { screen_ = r; }
  // The monitors' work areas; the whole screen until a test sets them.
  std::vector<Rect> WorkAreas() const { return workAreas_.empty() ? std::vector<Rect>{screen_} : workAreas_; }
  void SetWorkAreas(std::vector<Rect> areas) { workAreas_ = std::move(areas); }
  Point Cursor() const { return cursor_; }
  void SetCursor(Point p) { cursor_ = p; }

  // "C:\a\b.txt" -> root/C/a/b.txt
  std::filesystem::path RealPath(const std::string& windowsPath) const;
  const std::filesystem::path& Root() const { return root_; }
  const std::filesystem::path& ArtDir() const { return artDir_; }

  // All visible windows composed bottom to top over a dark desktop colour, in
  // physical pixels: the screen and each window's place scaled by Dpi().
  LayeredSurface Compose() const;
  bool WritePng(const std::filesystem::path& file) const;

 private:
  friend class HeadlessProcess;
  WindowId AddWindow(WindowRecord record);
  void RemoveWindow(WindowId id);
  void RaiseToTop(WindowId id);
  void Attach(HeadlessProcess* p) { processes_.push_back(p); }
  void Detach(HeadlessProcess* p);

  std::filesystem::path root_;
  std::filesystem::path artDir_;
  std::int64_t nowMs_ = 0;
  std::int64_t nowMsAtBase_ = 0;
  LocalTime baseTime_{2026, 12, 6, 10, 0, 0, 0};
  std::map<WindowId, WindowRecord> windows_;
  std::vector<WindowId> zOrder_;
  WindowId nextWindow_ = 1;
  std::set<std::string> mutexes_;
  bool shellDesktop_ = false;
  std::map<std::string, std::string> registry_;
  std::set<std::string> registryKeys_;
  struct ScriptedBox {
    MessageBoxResult answer;
    std::function<void()> whileOpen;
  };
  std::deque<ScriptedBox> scriptedAnswers_;
  std::vector<MessageBoxRecord> messageBoxes_;
  std::vector<LaunchRecord> launches_;
  std::deque<MenuChoice> scriptedMenus_;
  std::vector<MenuRecord> menusShown_;
  std::vector<HeadlessProcess*> processes_;
  Rect screen_{0, 0, 1280, 800};
  std::vector<Rect> workAreas_;
  int dpi_ = kBaseDpi;
  bool leftDown_ = false;
  bool leaveAfterEnter_ = false;
  std::deque<std::function<bool()>> pumpInput_;
  CursorShape cursorShape_ = CursorShape::Default;
  WindowId capture_ = kNoWindow;
  WindowId hover_ = kNoWindow;
  WindowId focus_ = kNoWindow;
  WindowId announcedFocus_ = kNoWindow;
  std::map<std::uint16_t, std::string> atoms_;
  std::uint16_t nextAtom_ = 0xC000;
  std::map<std::string, std::optional<std::string>> shortcuts_;
  std::map<std::string, std::string> shellIcons_;
  std::vector<std::string> shellIconRequests_;
  std::set<std::string> refusedWrites_;
  void Deliver(const WindowRecord& w, const std::function<void(IPlatformEvents&)>& call);
  PointerEvent MakePointer(const WindowRecord& w, Point screen, MouseButton button) const;
  bool EffectivelyVisible(const WindowRecord& w) const;
  Point cursor_{0, 0};
  std::uint64_t timerSequence_ = 0;
};

// One running copy of the program on the headless desktop.
class HeadlessProcess final : public IWindowSystem,
                              public ITimerHost,
                              public IDialogs,
                              public IFileSystem,
                              public IRegistry,
                              public IShell,
                              public ITray,
                              public IHotKeys,
                              public ISystem,
                              public IDiagnostics,
                              public IMenus,
                              public IMessageLoop {
 public:
  explicit HeadlessProcess(HeadlessDesktop& desktop, std::string programDir = "C:\\Quorvel\\");
  ~HeadlessProcess() override;

  Platform& AsPlatform() { return platform_; }
  // The dialogs of this process, for the tests to read and drive.
  HeadlessForms& Forms() { return forms_; }
  HeadlessDesktop& Desktop() { return desktop_; }

  // What a test may look at.
  bool QuitRequested() const { return quitRequested_; }
  bool Ready() const { return ready_; }
  int TrimCount() const { return trimCount_; }
  int TrayIconCount() const { return trayIcons_; }
  const std::string& TrayTip() const { return trayTip_; }
  // The display language the system reports; Chinese until a test sets another.
  void SetUserInterfaceLanguage(std::uint16_t id) { displayLanguage_ = id; }
  bool MutexHeld() const { return !mutexName_.empty(); }
  bool TimerRunning(int id) const { return timers_.count(id) != 0; }
  unsigned TimerInterval(int id) const;
  // How often each timer has fired since the process started.
  const std::map<int, long>& TimerCallbacks() const { return timerCallbacks_; }
  IPlatformEvents* Sink() const { return sink_; }
  // Ends the process: windows, tray icon and mutex go, as the system cleans up.
  void Exit();

  // Events from the "machine" to the program.
  void PostTimer(int id);

  // IWindowSystem
  WindowId CreateWindow(const WindowSpec& params) override;
  void DestroyWindow(WindowId id) override;
  void SetName(WindowId id, const std::string& name) override;
  std::string Name(WindowId id) const override;
  void SetBounds(WindowId id, const Rect& bounds) override;
  Rect Bounds(WindowId id) const override;
  void SetBoundsMany(const std::vector<std::pair<WindowId, Rect>>& moves) override;
  void SetToolTip(WindowId id, const std::string& text) override;
  int BatchCount() const { return batchCount_; }
  void Show(WindowId id, bool visible) override;
  bool IsVisible(WindowId id) const override;
  WindowLayer SetLayer(WindowId id, WindowLayer layer) override;
  void BringToTop(WindowId id) override;
  void BringToForeground(WindowId id) override;
  void PushLayered(WindowId id, const LayeredSurface& surface, std::uint8_t alpha) override;
  void AcceptDroppedFiles(WindowId id, bool accept) override;
  Rect ScreenBounds() const override;
  std::vector<Rect> WorkAreas() const override { return desktop_.WorkAreas(); }
  std::optional<std::uint32_t> SystemColour(int index) const override;
  Point CursorPosition() const override;
  int Dpi() const override { return desktop_.Dpi(); }
  bool IsLeftButtonDown() const override { return desktop_.leftDown_; }
  void SetCapture(WindowId id) override { desktop_.capture_ = id; }
  void ReleaseCapture() override { desktop_.capture_ = kNoWindow; }
  void SetCursor(CursorShape shape) override { desktop_.cursorShape_ = shape; }
  void SetFocus(WindowId id) override { desktop_.focus_ = id; }
  void AnnounceFocus(WindowId id) override { desktop_.announcedFocus_ = id; }
  void MinimizeApplication() override { minimized_ = true; }
  void RestoreApplication() override { minimized_ = false; }
  bool Minimized() const { return minimized_; }
  // IHotKeys
  bool GlobalAtomExists(const std::string& name) const override;
  std::uint16_t GlobalAddAtom(const std::string& name) override;
  void GlobalDeleteAtom(std::uint16_t atom) override;
  bool RegisterHotKey(int id, unsigned modifiers, unsigned virtualKey) override;
  bool UnregisterHotKey(int id) override;
  const std::map<int, std::pair<unsigned, unsigned>>& HotKeys() const { return hotKeys_; }
  // ITimerHost
  void StartTimer(int id, unsigned intervalMs) override;
  void StopTimer(int id) override;
  // IDialogs
  MessageBoxResult MessageBox(const std::string& text, const std::string& caption, MessageBoxButtons buttons,
                              MessageBoxIcon icon) override;
  bool BoxOpen() const override { return boxesOpen_ > 0; }
  // IFileSystem
  std::string ProgramDir() const override { return programDir_; }
  bool FileExists(const std::string& path) const override;
  std::vector<std::string> ListFiles(const std::string& folder) const override;
  bool DirectoryExists(const std::string& path) const override;
  bool CreateDirectory(const std::string& path) override;
  std::optional<std::string> ReadFile(const std::string& path) const override;
  // How often ReadFile was asked for the path: a picture decoded again reads it again.
  int ReadCount(const std::string& path) const {
    const auto it = readCounts_.find(path);
    return it == readCounts_.end() ? 0 : it->second;
  }
  bool WriteFileAtomic(const std::string& path, const std::string& bytes) override;
  std::string LastWriteFailure() const override { return lastWriteFailure_; }
  int RemoveStaleTemporaries(const std::string& target) override;
  bool DeleteFile(const std::string& path) override;
  std::unique_ptr<IReadableFile> OpenForRead(const std::string& path) const override;
  // IRegistry
  bool KeyExists(RegistryHive hive, const std::string& key) const override;
  std::optional<std::string> ReadString(RegistryHive hive, const std::string& key,
                                        const std::string& value) const override;
  bool WriteString(RegistryHive hive, const std::string& key, const std::string& value,
                   const std::string& data) override;
  bool DeleteValue(RegistryHive hive, const std::string& key, const std::string& value) override;
  // IShell
  bool Execute(const std::string& file, const std::string& arguments, const std::string& directory) override;
  std::optional<std::string> ResolveShortcut(const std::string& linkPath) override;
  std::optional<std::string> ExtractShellIcon(const std::string& path) override;
  // ITray
  bool AddTrayIcon(const std::string& tip) override;
  void SetTrayTip(const std::string& tip) override {
    if (trayIcons_ > 0) trayTip_ = tip;
  }
  void RemoveTrayIcon() override;
  // ISystem
  bool CreateSingleInstanceMutex(const std::string& name) override;
  bool SendToWindow(const std::string& className, const std::string& title, unsigned message, std::uintptr_t wParam,
                    std::intptr_t lParam) override;
  void TrimWorkingSet() override;
  void ProcessPendingMessages() override;
  void RequestQuit() override { quitRequested_ = true; }
  LocalTime Now() const override { return desktop_.CurrentLocalTime(); }
  std::optional<std::string> DecodeToUtf8(const std::string& bytes, const std::string& encoding) const override;
  std::optional<std::string> EncodeFromUtf8(const std::string& utf8, const std::string& encoding) const override;
  std::optional<std::string> LoadResource(const std::string& type, const std::string& name) const override;
  std::uint16_t UserInterfaceLanguage() const override { return displayLanguage_; }
  void SignalReady() override { ready_ = true; }
  // IDiagnostics: recorded for the tests to read.
  void Report(Severity severity, const std::string& text) override { reports_.push_back({severity, text}); }
  const std::vector<ReportRecord>& Reports() const { return reports_; }
  // IMenus
  std::optional<int> ShowPopupMenu(const Menu& menu, Point screen) override;
  // IMessageLoop
  void SetEventSink(IPlatformEvents* sink) override { sink_ = sink; }
  // Advances the desktop's clock until the program asks to quit (bounded).
  void Run() override;

 private:
  friend class HeadlessDesktop;
  struct TimerState {
    unsigned interval = 0;
    std::int64_t due = 0;
    std::uint64_t sequence = 0;
  };
  WindowRecord& Window(WindowId id);
  const WindowRecord& Window(WindowId id) const;
  static std::string RegistryPath(RegistryHive hive, const std::string& key);

  HeadlessDesktop& desktop_;
  std::string programDir_;
  std::string lastWriteFailure_;
  mutable std::map<std::string, int> readCounts_;
  SoftwareCanvas canvas_;
  HeadlessForms forms_;
  Platform platform_;
  IPlatformEvents* sink_ = nullptr;
  std::map<int, TimerState> timers_;
  std::map<int, long> timerCallbacks_;
  bool quitRequested_ = false;
  bool ready_ = false;
  bool exited_ = false;
  int trimCount_ = 0;
  int trayIcons_ = 0;
  std::string trayTip_;
  std::uint16_t displayLanguage_ = 0x0804;
  std::string mutexName_;
  std::vector<int> pendingTimers_;
  bool minimized_ = false;
  int boxesOpen_ = 0;
  int batchCount_ = 0;
  std::map<int, std::pair<unsigned, unsigned>> hotKeys_;  // id -> modifiers, key
  std::vector<ReportRecord> reports_;
};

}  // namespace qv::headless
