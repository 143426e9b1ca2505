// The window procedure shared by all of the program's windows, and the
// translation of the main form's messages into core events.

#include <exception>
#include <string>
#include <vector>

#include "platform/win32/Diagnostics.h"
#include "platform/win32/GeometryWin32.h"
#include "platform/win32/StartupTrace.h"
#include "platform/win32/Utf.h"
#include "platform/win32/Win32Windows.h"

namespace qv::win32 {
namespace {

constexpr const wchar_t* kReadyProperty = L"QuorvelReady";

// Mouse message coordinates are signed: a captured pointer left or above the
// window gives negative ones.
Point ClientPoint(LPARAM lParam) {
  return Point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

// The message's pixels are the display's; the core's points are logical.
PointerEvent MakePointerEvent(HWND hwnd, WindowId id, MouseButton button, WPARAM wParam, LPARAM lParam, int dpi) {
  PointerEvent event;
  event.window = id;
  event.button = button;
  const Point client = ClientPoint(lParam);
  POINT screen = ToPOINT(client);
  ::ClientToScreen(hwnd, &screen);
  event.client = UnscaleForDpi(client, dpi);
  event.screen = UnscaleForDpi(FromPOINT(screen), dpi);
  event.leftHeld = (wParam & MK_LBUTTON) != 0;
  return event;
}

}  // namespace

// A property rather than a message: a test tool polls it with GetPropW
// without disturbing the program.
void Win32Windows::MarkReady() {
  TracePhase("ready");
  if (HWND hwnd = MainWindow()) ::SetPropW(hwnd, kReadyProperty, reinterpret_cast<HANDLE>(1));
}

// Only a thunk: finds the record stored at WM_NCCREATE and forwards to it.
LRESULT CALLBACK Win32Windows::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  WindowRecord* record = nullptr;
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    record = static_cast<WindowRecord*>(create->lpCreateParams);
    if (record) {
      record->window.Reset(hwnd);
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record));
    }
  } else {
    record = reinterpret_cast<WindowRecord*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!record) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    record->owner->HandleDestroyed(*record);
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
  }
  return record->owner->HandleMessage(*record, message, wParam, lParam);
}

void Win32Windows::HandleDestroyed(WindowRecord& record) noexcept {
  HWND hwnd = record.window.Release();
  accessible_.Forget(hwnd);
  if (!record.isMain) return;
  ::RemovePropW(hwnd, kReadyProperty);
  if (main_ == &record) main_ = nullptr;
  if (ending_) return;
  // Taken from us (with the desktop window it sat on, say): a process
  // without its main window is unreachable yet holds the single-instance
  // mutex, so the program runs its shutdown and ends.
  ending_ = true;
  ReportFailure(Severity::Error, "The main window was destroyed from outside; the program ends");
  try {
    if (sink_) sink_->OnClose();
  } catch (...) {
    ReportFailure(Severity::Error, "The shutdown after the main window's loss failed");
  }
  ::PostQuitMessage(0);
}

LRESULT Win32Windows::HandleMessage(WindowRecord& record, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  HWND hwnd = record.window.Get();
  try {
    if (message == WM_DROPFILES) {
      DeliverDrop(hwnd, reinterpret_cast<HDROP>(wParam));
      return 0;
    }
    if (std::optional<LRESULT> result = HandleInputMessage(record, message, wParam, lParam)) return *result;
    if (std::optional<LRESULT> result = HandleAccessibleMessage(record, message, wParam, lParam)) return *result;
    if (record.isMain) {
      if (std::optional<LRESULT> result = HandleMainMessage(hwnd, message, wParam, lParam)) return *result;
    }
  } catch (const std::exception& e) {
    ReportFailure(Severity::Error, "Message " + std::to_string(message) + " failed: " + e.what());
    return message == WM_QUERYENDSESSION ? TRUE : 0;
  } catch (...) {
    // A failure in the launcher's handling ends here, not in the window
    // system's stack. A session end is never refused because of it.
    ReportFailure(Severity::Error, "Message " + std::to_string(message) + " failed");
    return message == WM_QUERYENDSESSION ? TRUE : 0;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

// Pointer, wheel and keys, the same for every window. The core may run a
// nested loop inside a handler, in which the window can be destroyed: the
// record is not touched once the core has been called.
std::optional<LRESULT> Win32Windows::HandleInputMessage(WindowRecord& record, UINT message, WPARAM wParam,
                                                        LPARAM lParam) {
  HWND hwnd = record.window.Get();
  const WindowId id = record.id;
  IPlatformEvents* sink = sink_;
  auto pointer = [&](MouseButton button) { return MakePointerEvent(hwnd, id, button, wParam, lParam, dpi_); };
  switch (message) {
    // With CS_DBLCLKS the second press of a quick pair comes as a double
    // click; to the core it is a press like any other.
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (sink) sink->OnMouseDown(pointer(MouseButton::Left));
      return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      if (sink) sink->OnMouseDown(pointer(MouseButton::Right));
      return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      if (sink) sink->OnMouseDown(pointer(MouseButton::Middle));
      return 0;
    case WM_LBUTTONUP:
      if (sink) sink->OnMouseUp(pointer(MouseButton::Left));
      return 0;
    case WM_RBUTTONUP:
      // Answered here, so no WM_CONTEXTMENU follows: the core opens its
      // menus on this release.
      if (sink) sink->OnMouseUp(pointer(MouseButton::Right));
      return 0;
    case WM_MBUTTONUP:
      if (sink) sink->OnMouseUp(pointer(MouseButton::Middle));
      return 0;
    case WM_MOUSEMOVE: {
      // Only a window with a tip needs the control; the pointer resting
      // where a new window appears moves over it too.
      if (pendingTips_.count(hwnd) != 0) {
        MSG move{hwnd, message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
        const DWORD at = ::GetMessagePos();
        move.pt = {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
        MakePendingToolTips(move);
      }
      const PointerEvent event = pointer(MouseButton::Left);
      // The system reports only the leave; the enter is the first move after
      // it, and each enter asks for the next leave.
      const bool entered = !record.pointerInside;
      if (entered) {
        TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, hwnd, 0};
        record.pointerInside = ::TrackMouseEvent(&track) != 0;
      }
      if (sink && entered) sink->OnMouseEnter(id);
      if (sink) sink->OnMouseMove(event);
      return 0;
    }
    case WM_MOUSELEAVE:
      // A leave asked for before an earlier leave arrived comes twice.
      if (!record.pointerInside) return 0;
      record.pointerInside = false;
      if (sink) sink->OnMouseLeave(id);
      return 0;
    case WM_MOUSEWHEEL: {
      // Fine-grained wheels send parts of a notch; they add up, and a turn
      // the other way starts afresh.
      const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
      int& remainder = record.wheelRemainder;
      if ((remainder > 0 && delta < 0) || (remainder < 0 && delta > 0)) remainder = 0;
      remainder += delta;
      const int notches = remainder / WHEEL_DELTA;
      remainder -= notches * WHEEL_DELTA;
      if (sink && notches != 0) sink->OnMouseWheel(id, notches);
      return 0;
    }
    case WM_KEYDOWN:
      if (sink) sink->OnKeyDown(id, static_cast<unsigned>(wParam), ::GetKeyState(VK_SHIFT) < 0);
      return 0;
    case WM_SYSKEYDOWN:
      // F10 alone comes as a system key; the others (Alt+F4 among them) keep the system's meaning.
      if (wParam != VK_F10) return std::nullopt;
      if (sink) sink->OnKeyDown(id, static_cast<unsigned>(wParam), ::GetKeyState(VK_SHIFT) < 0);
      return 0;
    case WM_MOUSEACTIVATE:
      // A press must not activate the popup: the window manager would take
      // over the activated window on its first move and cancel the capture of
      // an item being dragged. The core gives the keyboard focus itself.
      return MA_NOACTIVATE;
    case WM_SETCURSOR:
      // Over our windows the core's cursor wins over the class cursor.
      if (cursor_ != CursorShape::Default && LOWORD(lParam) == HTCLIENT) {
        ::SetCursor(CursorHandle(cursor_));
        return TRUE;
      }
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

// What assistive clients ask of an item window. The answers come from the
// core on this thread: the providers send or post these messages.
std::optional<LRESULT> Win32Windows::HandleAccessibleMessage(WindowRecord& record, UINT message, WPARAM wParam,
                                                             LPARAM lParam) {
  IPlatformEvents* sink = sink_;
  switch (message) {
    case WM_GETOBJECT: {
      if (!AccessibleItems::Answers(lParam)) return std::nullopt;
      const bool item = sink && sink->OnAccessibleQuery(record.id).has_value();
      return accessible_.Answer(record.window.Get(), wParam, lParam, item);
    }
    case kAccessibleQueryMessage: {
      const std::optional<AccessibleItem> item = sink ? sink->OnAccessibleQuery(record.id) : std::nullopt;
      AccessibleAnswer answer;
      answer.item = item.has_value();
      if (item) {
        answer.name = Widen(item->name);
        answer.automationId = Widen(record.name);
        answer.focused = item->focused;
      }
      FillAnswer(lParam, answer);
      return 0;
    }
    case kAccessibleInvokeMessage:
      if (sink) sink->OnAccessibleInvoke(record.id);
      return 0;
    default:
      return std::nullopt;
  }
}

void Win32Windows::AnnounceFocus(WindowId id) { accessible_.FocusMoved(HandleOf(id)); }

std::optional<LRESULT> Win32Windows::HandleMainMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  IPlatformEvents* sink = sink_;
  switch (message) {
    case WM_TIMER: {
      // A tick already queued when its timer was stopped is dropped.
      const int id = static_cast<int>(wParam);
      if (sink && timers_.contains(id)) sink->OnTimer(id);
      return 0;
    }
    case WM_CLOSE:
      // Never destroyed here: the core runs its shutdown and then asks the
      // loop to end; the windows go when the platform does.
      if (sink) sink->OnClose();
      return 0;
    case WM_QUERYENDSESSION:
      return sink ? (sink->OnQueryEndSession() ? TRUE : FALSE) : TRUE;
    case WM_POWERBROADCAST:
      if (sink) sink->OnPowerBroadcast(static_cast<unsigned>(wParam));
      return std::nullopt;
    case WM_ACTIVATEAPP:
      // Every top-level window of the program hears this; the main window
      // alone reports it, once.
      if (!wParam && sink) sink->OnDeactivate();
      return 0;
    case WM_DISPLAYCHANGE: {
      const LRESULT result = ::DefWindowProcW(hwnd, message, wParam, lParam);
      if (sink) sink->OnDisplayChange();
      return result;
    }
    case kDpiChangedMessage: {
      // The main form went to a monitor of another scale (or the scale was
      // changed): the core places every window itself, in logical numbers,
      // so the suggested rectangle is not applied.
      const int dpi = static_cast<int>(LOWORD(wParam));
      if (dpi > 0 && dpi != dpi_) {
        dpi_ = dpi;
        if (sink) sink->OnDpiChanged(dpi);
      }
      return 0;
    }
    default:
      break;
  }
  if (message == kTrayCallbackMessage) {
    if (sink) sink->OnTrayCallback(static_cast<std::uintptr_t>(wParam), static_cast<std::intptr_t>(lParam));
    return 0;
  }
  if (taskbarCreatedMessage_ != 0 && message == taskbarCreatedMessage_) {
    ReattachToDesktop();
    if (sink) sink->OnTaskbarCreated();
    return 0;
  }
  return std::nullopt;
}

void Win32Windows::DeliverDrop(HWND hwnd, HDROP drop) {
  std::vector<std::string> paths;
  POINT where{};
  {
    // Finished before the core sees the paths: the core may run a long
    // handler (icon extraction) and the dragging program waits for this.
    UniqueDrop finish(drop);
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    paths.reserve(count);
    for (UINT i = 0; i < count; ++i) {
      const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
      std::wstring path(static_cast<std::size_t>(length) + 1, L'\0');
      const UINT copied = ::DragQueryFileW(drop, i, path.data(), length + 1);
      path.resize(copied);
      if (!path.empty()) paths.push_back(Narrow(path));
    }
    ::DragQueryPoint(drop, &where);
    ::ClientToScreen(hwnd, &where);
  }
  if (sink_ && !paths.empty()) sink_->OnDropFiles(paths, UnscaleForDpi(FromPOINT(where), dpi_));
}

}  // namespace qv::win32
