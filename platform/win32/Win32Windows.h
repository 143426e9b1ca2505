#pragma once

// The program's windows: the main form (the invisible anchor that owns the
// taskbar button, the tray icon, the timers and the system notifications) and
// the per-pixel-alpha windows of both presentations, which it owns. Windows
// are known to the core by WindowId; this table maps them to HWNDs.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"
#include "platform/win32/Accessibility.h"
#include "platform/win32/Handles.h"
#include "platform/win32/MessageLoop.h"
#include "platform/win32/Win32Api.h"

namespace qv::win32 {

// A top-down 32-bit DIB section shared by every push: UpdateLayeredWindow
// copies the pixels into the window, so one buffer, grown to the largest
// surface seen, serves all windows.
class LayeredCanvas {
 public:
  LayeredCanvas() = default;
  ~LayeredCanvas() { Release(); }
  LayeredCanvas(const LayeredCanvas&) = delete;
  LayeredCanvas& operator=(const LayeredCanvas&) = delete;

  // Makes room for a width x height picture in the top-left corner.
  bool Reserve(int width, int height);
  void CopyFrom(const LayeredSurface& surface);
  // A memory DC holding the section, kept between pushes: making and
  // freeing one per push costs more than the push itself on some systems.
  HDC Dc() const { return dc_.Get(); }
  Size Capacity() const { return Size{width_, height_}; }
  // Gives the section back; the next push makes one again.
  void Release();

 private:
  UniqueMemoryDc dc_;
  HGDIOBJ original_ = nullptr;  // the DC's own bitmap, selected back before the section goes
  UniqueBitmap bitmap_;
  std::uint32_t* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

class Win32Windows final : public IWindowSystem, public ITimerHost {
 public:
  explicit Win32Windows(HINSTANCE instance);
  ~Win32Windows() override;
  Win32Windows(const Win32Windows&) = delete;
  Win32Windows& operator=(const Win32Windows&) = delete;

  void SetEventSink(IPlatformEvents* sink) noexcept { sink_ = sink; }
  IPlatformEvents* EventSink() const noexcept { return sink_; }
  HWND MainWindow() const noexcept;
  // Marks the main window as ready for tools outside the process.
  void MarkReady();
  // Frees what only speeds up the next pushes (the push section), when the
  // program trims its memory.
  void ReleaseScratch() { canvas_.Release(); }

  // IWindowSystem
  WindowId CreateWindow(const WindowSpec& wanted) override;
  void DestroyWindow(WindowId id) override;
  void SetName(WindowId id, const std::string& name) override;
  std::string Name(WindowId id) const override;
  void SetBounds(WindowId id, const Rect& bounds) override;
  Rect Bounds(WindowId id) const override;
  void SetBoundsMany(const std::vector<std::pair<WindowId, Rect>>& moves) override;
  void SetToolTip(WindowId id, const std::string& text) override;
  void Show(WindowId id, bool visible) override;
  bool IsVisible(WindowId id) const override;
  WindowLayer SetLayer(WindowId id, WindowLayer layer) override;
  void BringToTop(WindowId id) override;
  void BringToForeground(WindowId id) override;
  void PushLayered(WindowId id, const LayeredSurface& surface, std::uint8_t alpha) override;
  void AcceptDroppedFiles(WindowId id, bool accept) override;
  Rect ScreenBounds() const override;
  std::vector<Rect> WorkAreas() const override;
  std::optional<std::uint32_t> SystemColour(int index) const override;
  Point CursorPosition() const override;
  int Dpi() const override { return dpi_; }
  bool IsLeftButtonDown() const override;
  void SetCapture(WindowId id) override;
  void ReleaseCapture() override;
  void SetCursor(CursorShape shape) override;
  void SetFocus(WindowId id) override;
  void AnnounceFocus(WindowId id) override;
  void MinimizeApplication() override;
  void RestoreApplication() override;

  // ITimerHost
  void StartTimer(int id, unsigned intervalMs) override;
  void StopTimer(int id) override;
  // The system timer's period while a timer under kFastTimerMs runs (an
  // animation); 0 at rest, when the default period is left alone.
  static constexpr unsigned kFastTimerMs = 50;
  unsigned TimerPeriodMs() const { return finePeriod_.PeriodMs(); }

 private:
  struct WindowRecord {
    Win32Windows* owner = nullptr;
    WindowId id = kNoWindow;
    std::string name;
    UniqueWindow window;  // set at WM_NCCREATE, released at WM_NCDESTROY
    bool isMain = false;
    bool shown = false;          // the core's wish; on screen only while the main form is
    bool layered = false;        // shown by its pictures
    bool pictured = false;       // has had its first picture
    bool showOnPicture = false;  // shown, and to be put on screen with its first picture
    bool onDesktop = false;      // parented to the shell's desktop window
    bool textIsName = false;     // the window text follows the name
    bool pointerInside = false;  // between the first move and the leave
    int wheelRemainder = 0;      // wheel rotation short of a whole notch
  };

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  LRESULT HandleMessage(WindowRecord& record, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  std::optional<LRESULT> HandleMainMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  std::optional<LRESULT> HandleInputMessage(WindowRecord& record, UINT message, WPARAM wParam, LPARAM lParam);
  std::optional<LRESULT> HandleAccessibleMessage(WindowRecord& record, UINT message, WPARAM wParam, LPARAM lParam);
  void HandleDestroyed(WindowRecord& record) noexcept;
  void MakeHiddenOwner();
  void ReattachToDesktop();
  void DeliverDrop(HWND hwnd, HDROP drop);

  bool EnsureClass(const std::wstring& className);
  static bool WaitsForPicture(const WindowRecord& record);
  void ShowOnTop(HWND hwnd);
  WindowRecord* Find(WindowId id) const;
  HWND HandleOf(WindowId id) const;
  void ArmTimer(int id, unsigned intervalMs) const;
  static HCURSOR CursorHandle(CursorShape shape);
  // The scale of the screen, and of the monitor a window is on (the
  // screen's where the system cannot tell monitors apart).
  static int SystemDpi();
  static int WindowDpi(HWND hwnd);
  static constexpr UINT kDpiChangedMessage = 0x02E0;  // WM_DPICHANGED, newer than some headers

  HINSTANCE instance_;
  IPlatformEvents* sink_ = nullptr;
  AccessibleItems accessible_;  // outlives the windows, whose going it hears of
  std::map<WindowId, std::unique_ptr<WindowRecord>> windows_;
  WindowId nextId_ = 1;
  WindowRecord* main_ = nullptr;
  // The application's hidden owner of the main window: on the desktop layer
  // it becomes a child of the shell's desktop window and takes the whole
  // program down to desktop level, while the main window keeps its taskbar button.
  UniqueWindow hiddenOwner_;
  UINT taskbarCreatedMessage_ = 0;
  bool ending_ = false;  // the main window goes by the program's own doing
  std::map<int, unsigned> timers_;  // running timers: id -> interval
  FinestTimerPeriod finePeriod_;    // held while a fast timer runs
  std::set<std::wstring> registeredClasses_;
  UniqueIcon largeIcon_;
  UniqueIcon smallIcon_;
  LayeredCanvas canvas_;
  CursorShape cursor_ = CursorShape::Default;
  int dpi_ = kBaseDpi;  // of the main form's monitor: every bound and point is scaled by it
  // The tooltip control is made when the pointer first moves over a window
  // with a tip (MakePendingToolTips), not when the tips are set at start:
  // it loads the common controls, which a start need not wait for. Until
  // then the tips wait in pendingTips_.
  void MakePendingToolTips(const MSG& firstMove);

  // One tooltip control for every window that has a tip; declared last so
  // that it goes before the windows it names.
  UniqueWindow toolTips_;
  std::set<HWND> toolTipped_;
  std::map<HWND, std::wstring> pendingTips_;
  bool toolTipsFailed_ = false;
};

}  // namespace qv::win32
