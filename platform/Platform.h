#pragma once

// The seam between the launcher and the machine. Commands go from the core to
// these interfaces; events come back through IPlatformEvents as plain values.
// No window-system handle ever crosses this line: windows are WindowId values.
//
// Strings are UTF-8 everywhere. Paths are Windows paths ("C:\Quorvel\Icon\a.ico");
// the headless backend maps them into a temporary directory.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Canvas.h"
#include "platform/Forms.h"
#include "platform/Geometry.h"
#include "platform/Menus.h"
#include "platform/Surface.h"

namespace qv {

using WindowId = std::uint32_t;
constexpr WindowId kNoWindow = 0;

enum class CursorShape { Default, Drag };

// The three layers a window can live in.
enum class WindowLayer { Normal, Topmost, Desktop };

struct WindowSpec {
  std::string name;       // the program's own name of the window: "FormRoundHot", "Circle3", "RectForm"
  std::string className;  // window class; empty picks the backend's class for item and skin windows
  std::string title;      // window text
  Rect bounds;
  bool layered = true;    // per-pixel alpha window, shown with PushLayered
  bool mainForm = false;  // the anchor window: taskbar button, tray and system notifications
  bool visible = false;
  bool acceptsDrops = false;  // takes dropped files from the start, as AcceptDroppedFiles(true) would
};

class IWindowSystem {
 public:
  virtual ~IWindowSystem() = default;
  virtual WindowId CreateWindow(const WindowSpec& params) = 0;
  virtual void DestroyWindow(WindowId id) = 0;
  virtual void SetName(WindowId id, const std::string& name) = 0;
  virtual std::string Name(WindowId id) const = 0;
  virtual void SetBounds(WindowId id, const Rect& bounds) = 0;
  virtual Rect Bounds(WindowId id) const = 0;
  // Moves and sizes several windows as one change on screen, so that a row
  // of windows never shows half of them moved.
  virtual void SetBoundsMany(const std::vector<std::pair<WindowId, Rect>>& moves) = 0;
  // The window system's own tooltip over the window, with this text; an empty
  // text takes it away.
  virtual void SetToolTip(WindowId id, const std::string& text) = 0;
  virtual void Show(WindowId id, bool visible) = 0;
  virtual bool IsVisible(WindowId id) const = 0;
  // Returns the layer actually applied: the desktop layer falls back to the
  // normal one where the shell has no desktop window to sit on.
  virtual WindowLayer SetLayer(WindowId id, WindowLayer layer) = 0;
  virtual void BringToTop(WindowId id) = 0;
  virtual void BringToForeground(WindowId id) = 0;
  // Shows the surface as the whole picture of the window, its per-pixel alpha
  // scaled by the constant alpha (0..255). The window takes the surface's size.
  virtual void PushLayered(WindowId id, const LayeredSurface& surface, std::uint8_t alpha) = 0;
  virtual void AcceptDroppedFiles(WindowId id, bool accept) = 0;
  virtual Rect ScreenBounds() const = 0;
  // The work area of every monitor (its bounds less the task bar and other
  // docked bars), the primary first.
  virtual std::vector<Rect> WorkAreas() const = 0;
  // The DPI of the display the program draws for. Bounds, screen sizes, the
  // cursor and pointer events are logical (96 DPI) on both sides of this
  // interface; only pushed surfaces are physical: a window placed at r shows a
  // surface ScaleForDpi(r.width, Dpi()) x ScaleForDpi(r.height, Dpi()).
  virtual int Dpi() const { return kBaseDpi; }
  // The system's colour of that index (0 scroll bar .. 30 menu bar) as
  // 0x00BBGGRR; nullopt for an index the system does not know.
  virtual std::optional<std::uint32_t> SystemColour(int index) const = 0;
  virtual Point CursorPosition() const = 0;
  // The pointer's buttons as they are now, not as the last event said.
  virtual bool IsLeftButtonDown() const = 0;
  // Pointer events go to this window until released, wherever the pointer is.
  virtual void SetCapture(WindowId id) = 0;
  virtual void ReleaseCapture() = 0;
  virtual void SetCursor(CursorShape shape) = 0;
  // Keyboard input goes to this window.
  virtual void SetFocus(WindowId id) = 0;
  // The keyboard's focus (the focus ring) came to this item window: the
  // assistive clients listening are told. kNoWindow when it left the items.
  virtual void AnnounceFocus(WindowId /*id*/) {}
  // Minimising the application hides the main form and every window it owns;
  // restoring shows them again, as the user left them.
  virtual void MinimizeApplication() = 0;
  virtual void RestoreApplication() = 0;
};

// Timers of the main form, identified by small integers. Starting a running
// timer restarts its countdown (as the window system does); callers that must
// not restart check their own state first.
class ITimerHost {
 public:
  virtual ~ITimerHost() = default;
  virtual void StartTimer(int id, unsigned intervalMs) = 0;
  virtual void StopTimer(int id) = 0;
};

enum class MessageBoxButtons { Ok, OkCancel, YesNo };
enum class MessageBoxIcon { None, Information, Warning, Error, Question };
enum class MessageBoxResult { Ok, Cancel, Yes, No };

// A message box holds the whole program until it is answered: no window of
// it takes pointer or key input meanwhile. Timers, the tray icon and the hot
// key still reach the program from the box's own loop; BoxOpen tells their
// handlers that a box is up.
class IDialogs {
 public:
  virtual ~IDialogs() = default;
  virtual MessageBoxResult MessageBox(const std::string& text, const std::string& caption, MessageBoxButtons buttons,
                                      MessageBoxIcon icon) = 0;
  virtual bool BoxOpen() const = 0;
};

// An open file read piece by piece at chosen offsets. A failing read (a
// drive that went away, a network that dropped) is a false result, never a
// fault of the process, as touching a mapped page would be.
class IReadableFile {
 public:
  virtual ~IReadableFile() = default;
  // The size when the file was opened.
  virtual std::uint64_t Size() const = 0;
  // Reads exactly count bytes at offset; false when they cannot all be read.
  virtual bool ReadAt(std::uint64_t offset, void* out, std::size_t count) const = 0;
};

// Nothing the program reads whole (its file, pictures, icons) comes near this;
// a larger file would only cost its size in memory twice over while decoded.
inline constexpr std::uint64_t kMaxWholeRead = 8u << 20;

class IFileSystem {
 public:
  virtual ~IFileSystem() = default;
  // The directory of the running program, with its trailing backslash.
  virtual std::string ProgramDir() const = 0;
  virtual bool FileExists(const std::string& path) const = 0;
  virtual bool DirectoryExists(const std::string& path) const = 0;
  virtual bool CreateDirectory(const std::string& path) = 0;  // one level
  // The whole content of a disk file of at most kMaxWholeRead bytes; nothing
  // for a device, a pipe or a larger file.
  virtual std::optional<std::string> ReadFile(const std::string& path) const = 0;
  // Writes a temporary file beside the target, flushes it and replaces the
  // target in one step: readers see the old content or the new, never a part.
  virtual bool WriteFileAtomic(const std::string& path, const std::string& bytes) = 0;
  // Why the last WriteFileAtomic failed, in the system's words with the path;
  // "" after one that succeeded.
  virtual std::string LastWriteFailure() const { return {}; }
  // Deletes the temporaries that saves of target cut short by a crash left
  // beside it; none while the target is missing, since one of them may then
  // hold the only copy. The number deleted.
  virtual int RemoveStaleTemporaries(const std::string& /*target*/) { return 0; }
  virtual bool DeleteFile(const std::string& path) = 0;
  // A file opened for positional reads, without reading it: for large program
  // files of which only a few ranges are looked at. Null when it cannot be
  // opened or is not a file.
  virtual std::unique_ptr<IReadableFile> OpenForRead(const std::string& path) const = 0;
  // The names of the files (not folders) directly in a folder, in the order
  // the disk gives them; empty when the folder cannot be read.
  virtual std::vector<std::string> ListFiles(const std::string& /*folder*/) const { return {}; }
  // The full path of the running program file.
  virtual std::string ExecutablePath() const { return ProgramDir() + "Quorvel.exe"; }
};

enum class RegistryHive { CurrentUser, LocalMachine };

class IRegistry {
 public:
  virtual ~IRegistry() = default;
  virtual bool KeyExists(RegistryHive hive, const std::string& key) const = 0;
  // nullopt when the key or the value is absent.
  virtual std::optional<std::string> ReadString(RegistryHive hive, const std::string& key,
                                                const std::string& value) const = 0;
  virtual bool WriteString(RegistryHive hive, const std::string& key, const std::string& value,
                           const std::string& data) = 0;
  virtual bool DeleteValue(RegistryHive hive, const std::string& key, const std::string& value) = 0;
};

class IShell {
 public:
  virtual ~IShell() = default;
  // Hands a target to the shell. Returns false when the shell refused it.
  virtual bool Execute(const std::string& file, const std::string& arguments, const std::string& directory) = 0;
  // The target of a shell link: "" for a link to an object without a file
  // path; nullopt when the link cannot be loaded at all.
  virtual std::optional<std::string> ResolveShortcut(const std::string& linkPath) = 0;
  // The shell's large icon for the file type of the path (the file itself is
  // not opened), as the bytes of a single-image .ico file; nullopt when none.
  virtual std::optional<std::string> ExtractShellIcon(const std::string& path) = 0;
};

class IHotKeys {
 public:
  virtual ~IHotKeys() = default;
  // Global atoms name the hot keys system-wide.
  virtual bool GlobalAtomExists(const std::string& name) const = 0;
  virtual std::uint16_t GlobalAddAtom(const std::string& name) = 0;
  virtual void GlobalDeleteAtom(std::uint16_t atom) = 0;
  // The hot key arrives as IPlatformEvents::OnHotKey(id, modifiers, virtualKey).
  // Registered without auto-repeat: holding the keys fires once.
  virtual bool RegisterHotKey(int id, unsigned modifiers, unsigned virtualKey) = 0;
  virtual bool UnregisterHotKey(int id) = 0;
};

inline constexpr unsigned kModAlt = 1;  // MOD_ALT

class ITray {
 public:
  virtual ~ITray() = default;
  // The tray icon of the main window: uID 100, the application icon, the
  // callback message 1124 delivered as IPlatformEvents::OnTrayCallback.
  virtual bool AddTrayIcon(const std::string& tip) = 0;
  // The tip of the icon added; nothing when there is none.
  virtual void SetTrayTip(const std::string& tip) = 0;
  virtual void RemoveTrayIcon() = 0;
};

struct LocalTime {
  int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0, millisecond = 0;
};

class ISystem {
 public:
  virtual ~ISystem() = default;
  // Creates the named mutex owned by this process. Returns false when it
  // already existed (another instance runs).
  virtual bool CreateSingleInstanceMutex(const std::string& name) = 0;
  // Sends a message to the top-level window of the class and title; false when none.
  virtual bool SendToWindow(const std::string& className, const std::string& title, unsigned message,
                            std::uintptr_t wParam, std::intptr_t lParam) = 0;
  virtual void TrimWorkingSet() = 0;
  // Runs the events that are already waiting, as a nested message loop does.
  virtual void ProcessPendingMessages() = 0;
  // Ends the message loop at its next turn.
  virtual void RequestQuit() = 0;
  virtual LocalTime Now() const = 0;
  // Text in a named legacy encoding ("GB2312", "windows-1252") to UTF-8 and back.
  // nullopt when the platform does not know the encoding or the bytes do not fit it.
  virtual std::optional<std::string> DecodeToUtf8(const std::string& bytes, const std::string& encoding) const = 0;
  virtual std::optional<std::string> EncodeFromUtf8(const std::string& utf8, const std::string& encoding) const = 0;
  // A resource of the program file ("PNG" pictures); nullopt when absent.
  virtual std::optional<std::string> LoadResource(const std::string& type, const std::string& name) const = 0;
  // The user's display language, a Windows LANGID (0x0804 Chinese, 0x0409 English...).
  virtual std::uint16_t UserInterfaceLanguage() const = 0;
  // Marks the presentations as built; tests and tools outside the process can observe it.
  virtual void SignalReady() = 0;
};

enum class Severity { Info, Warning, Error };

// Failures the user cannot see (a window that could not be made, a save that
// did not reach the disk, a handler that threw) are told here, so that they
// leave a trace for whoever looks into a fault.
class IDiagnostics {
 public:
  virtual ~IDiagnostics() = default;
  virtual void Report(Severity severity, const std::string& text) = 0;
};

enum class MouseButton { Left, Right, Middle };

struct PointerEvent {
  WindowId window = kNoWindow;
  MouseButton button = MouseButton::Left;  // for down and up
  Point client;                            // inside the window
  Point screen;
  bool leftHeld = false;
};

// An item as an assistive client (a screen reader) hears of it.
struct AccessibleItem {
  std::string name;
  bool focused = false;  // the keyboard's focus ring is on it
};

// Events from the machine to the main form. Everything runs on one thread.
class IPlatformEvents {
 public:
  virtual ~IPlatformEvents() = default;
  virtual void OnTimer(int id) = 0;
  virtual void OnClose() = 0;
  virtual bool OnQueryEndSession() = 0;
  virtual void OnPowerBroadcast(unsigned event) = 0;
  virtual void OnDisplayChange() = 0;
  virtual void OnTrayCallback(std::uintptr_t wParam, std::intptr_t lParam) = 0;
  virtual void OnTaskbarCreated() = 0;
  virtual void OnDropFiles(const std::vector<std::string>& paths, Point screenPos) = 0;
  // Pointer, wheel and keys on the program's windows; positions inside the
  // window (client) and on the screen.
  virtual void OnMouseDown(const PointerEvent&) {}
  virtual void OnMouseMove(const PointerEvent&) {}
  virtual void OnMouseUp(const PointerEvent&) {}
  virtual void OnMouseEnter(WindowId) {}
  virtual void OnMouseLeave(WindowId) {}
  // notches: +1 per notch away from the user (wheel up), -1 toward (wheel down).
  virtual void OnMouseWheel(WindowId, int /*notches*/) {}
  // shift: the Shift key was held (Shift+Tab, Shift+F10).
  virtual void OnKeyDown(WindowId, unsigned /*virtualKey*/, bool /*shift*/ = false) {}
  virtual void OnHotKey(int /*id*/, unsigned /*modifiers*/, unsigned /*virtualKey*/) {}
  // The application lost the activation to another program.
  virtual void OnDeactivate() {}
  // The display's scale changed (a window moved to another monitor, or the
  // setting changed): every surface is drawn again at the new Dpi().
  virtual void OnDpiChanged(int /*dpi*/) {}
  // An assistive client asks what a window is: nullopt for the windows that
  // are not items (the ring's center counts as one).
  virtual std::optional<AccessibleItem> OnAccessibleQuery(WindowId) const { return std::nullopt; }
  // An assistive client invokes an item: done as a click on it.
  virtual void OnAccessibleInvoke(WindowId) {}
};

// Everything the core may ask of the machine, handed to it by the entry point.
struct Platform {
  IWindowSystem& windows;
  ITimerHost& timers;
  IDialogs& dialogs;
  IFileSystem& files;
  IRegistry& registry;
  IShell& shell;
  ITray& tray;
  IHotKeys& hotKeys;
  ISystem& system;
  ICanvas& canvas;
  IDiagnostics& diagnostics;
  IMenus& menus;
  IForms& forms;
};

// Window messages the core names by number, as other programs see them.
inline constexpr unsigned kTrayCallbackMessage = 0x0400 + 100;  // WM_USER + 100 = 1124
inline constexpr std::intptr_t kMouseLeftDown = 513;            // WM_LBUTTONDOWN
inline constexpr std::intptr_t kMouseRightUp = 517;             // WM_RBUTTONUP: the tray menu opens on release
inline constexpr unsigned kPowerResumeSuspend = 7;              // PBT_APMRESUMESUSPEND

}  // namespace qv
