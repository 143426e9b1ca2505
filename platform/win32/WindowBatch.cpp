// Moving many windows as one change, and the system tooltips of the windows.

// clang-format off
#include "platform/win32/Win32Api.h"
#include <commctrl.h>
// clang-format on

#include "platform/win32/Diagnostics.h"
#include "platform/win32/Utf.h"
#include "platform/win32/Win32Windows.h"

namespace qv::win32 {
namespace {

// A tip shown over the whole window while the control watches its moves; the
// text must outlive the message that hands it over.
TTTOOLINFOW ToolOf(HWND hwnd, std::wstring& text) {
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = hwnd;
  tool.uId = reinterpret_cast<UINT_PTR>(hwnd);
  tool.lpszText = text.data();
  return tool;
}

}  // namespace

void Win32Windows::SetBoundsMany(const std::vector<std::pair<WindowId, Rect>>& moves) {
  if (moves.empty()) return;
  // Deferred positioning shows the whole row moved at once; should the
  // system refuse the batch, each window still moves on its own.
  HDWP batch = ::BeginDeferWindowPos(static_cast<int>(moves.size()));
  for (const auto& [id, bounds] : moves) {
    HWND hwnd = HandleOf(id);
    if (!hwnd) continue;
    const Rect physical = ScaleForDpi(bounds, dpi_);
    POINT origin{physical.left, physical.top};
    if (HWND parent = ::GetAncestor(hwnd, GA_PARENT); parent && parent != ::GetDesktopWindow())
      ::MapWindowPoints(HWND_DESKTOP, parent, &origin, 1);
    constexpr UINT kFlags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    if (batch)
      batch = ::DeferWindowPos(batch, hwnd, nullptr, origin.x, origin.y, physical.width, physical.height, kFlags);
    if (!batch) ::SetWindowPos(hwnd, nullptr, origin.x, origin.y, physical.width, physical.height, kFlags);
  }
  if (batch) ::EndDeferWindowPos(batch);
}

void Win32Windows::SetToolTip(WindowId id, const std::string& text) {
  HWND hwnd = HandleOf(id);
  if (!hwnd) return;
  std::wstring wide = Widen(text);
  if (!toolTips_) {
    if (toolTipsFailed_) return;
    if (wide.empty()) {
      pendingTips_.erase(hwnd);
      toolTipped_.erase(hwnd);
    } else {
      pendingTips_[hwnd] = std::move(wide);
      toolTipped_.insert(hwnd);
    }
    return;
  }
  TTTOOLINFOW tool = ToolOf(hwnd, wide);
  const bool known = toolTipped_.count(hwnd) != 0;
  if (wide.empty()) {
    if (known) ::SendMessageW(toolTips_.Get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    toolTipped_.erase(hwnd);
  } else if (known) {
    ::SendMessageW(toolTips_.Get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  } else if (::SendMessageW(toolTips_.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) {
    toolTipped_.insert(hwnd);
  }
}

void Win32Windows::MakePendingToolTips(const MSG& firstMove) {
  if (toolTips_ || pendingTips_.empty()) return;
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  toolTips_.Reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, MainWindow(), nullptr,
                                    instance_, nullptr));
  std::map<HWND, std::wstring> pending = std::move(pendingTips_);
  pendingTips_.clear();
  if (!toolTips_) {
    toolTipsFailed_ = true;
    toolTipped_.clear();
    ReportFailure(Severity::Warning, WithLastError("The tooltip control could not be made: items show no tips"));
    return;
  }
  for (auto& [hwnd, text] : pending) {
    TTTOOLINFOW tool = ToolOf(hwnd, text);
    if (!::SendMessageW(toolTips_.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) toolTipped_.erase(hwnd);
  }
  // The tools watch the moves from the next one on; this one starts the
  // control's hover delay as it would have, had it been there all along.
  MSG relayed = firstMove;
  ::SendMessageW(toolTips_.Get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

}  // namespace qv::win32
