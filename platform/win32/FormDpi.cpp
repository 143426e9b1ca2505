// The forms at the display's scale: the program is aware of each monitor's
// DPI, so the system scales nothing of a form for it. Designs are in logical
// pixels; here every control, font and picture is made at the DPI of the
// monitor the form is on, and made again when the form moves to another.

#include <algorithm>
#include <vector>

// First: the seam's names must be read before <windows.h> makes macros of them.
#include "platform/win32/FormLayout.h"
#include "platform/win32/Forms.h"
#include "platform/win32/GeometryWin32.h"
#include "platform/win32/Utf.h"

// After <windows.h>.
#include <commctrl.h>

namespace qv::win32 {

namespace {

// Looked up by name: the per-window and per-DPI calls came with Windows 10.
template <typename Function>
Function User32(const char* name) {
  static HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name))) : nullptr;
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

// Labels and links without a width take the size of their text.
Size TextSize(HWND window, HFONT font, const std::wstring& text) {
  WindowDc dc(window);
  SelectionGuard guard(dc.Get(), font);
  RECT r{0, 0, 0, 0};
  ::DrawTextW(dc.Get(), text.empty() ? L" " : text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  return {static_cast<int>(r.right), static_cast<int>(r.bottom)};
}

// The thumb of a track bar at 96 DPI. The control keeps its own at 96 DPI;
// at any other it is given this length scaled, as the rest of the bar is.
constexpr int kTrackBarThumb = 21;

}  // namespace

int SystemDpi() {
  WindowDc screen;
  const int dpi = ::GetDeviceCaps(screen.Get(), LOGPIXELSX);
  return dpi > 0 ? dpi : kBaseDpi;
}

int WindowDpi(HWND window) {
  static const auto getDpiForWindow = User32<GetDpiForWindowFn>("GetDpiForWindow");
  if (getDpiForWindow && window)
    if (const UINT dpi = getDpiForWindow(window); dpi > 0) return static_cast<int>(dpi);
  return SystemDpi();
}

Size FrameForClient(Size client, DWORD style, DWORD exStyle, int dpi) {
  static const auto adjustForDpi = User32<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
  const Rect inner = ScaleEdges({0, 0, client.width, client.height}, dpi);
  RECT frame = ToRECT(inner);
  // Without the per-DPI call the frame is the system's, drawn at its DPI.
  if (!adjustForDpi || !adjustForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi)))
    ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  return {static_cast<int>(frame.right - frame.left), static_cast<int>(frame.bottom - frame.top)};
}

// The tab row's height and the body's borders come from the font in
// unscaled pixels: measured at a larger font they grow less than the rest of
// the form. So the page control is measured once with the form's font at
// 96 DPI: its body's top-left there is the logical origin of every page, and
// its tab row, scaled, the height the row is given at this DPI.
UniqueFont Win32Forms::FontAt96(const Form& form, const Control& c) const {
  const ControlFont font = c.design.font.value_or(ControlFont{});
  const std::wstring face = Widen(font.face.empty() ? form.design.fontFace : font.face);
  return UniqueFont(::CreateFontW(FontHeight(font, form.design.fontPoints, kBaseDpi), 0, 0, 0,
                                  font.bold ? FW_BOLD : FW_NORMAL, font.italic, font.underline, font.strikeout,
                                  DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                  DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
}

// A combo box's closed height is its selection field, which follows the
// font, and a frame of unscaled pixels. Its closed height with the font at
// 96 DPI, taken once, is scaled; the field is then grown or shrunk by what
// the closed box lacks or has over that.
void Win32Forms::ScaleComboHeight(const Form& form, Control& combo) const {
  auto closedHeight = [&] {
    RECT box{};
    ::GetWindowRect(combo.window, &box);
    return static_cast<int>(box.bottom - box.top);
  };
  // At 96 DPI, until the form has been at another, the box keeps its own height.
  if (form.dpi == kBaseDpi && combo.comboClosed96 < 0) return;
  if (combo.comboClosed96 < 0) {
    const UniqueFont logicalFont = FontAt96(form, combo);
    ::SendMessageW(combo.window, WM_SETFONT, reinterpret_cast<WPARAM>(logicalFont.Get()), FALSE);
    combo.comboClosed96 = closedHeight();
    ::SendMessageW(combo.window, WM_SETFONT, reinterpret_cast<WPARAM>(combo.font), FALSE);
  }
  // The field's height as read and as set may differ by the edit's border:
  // a second step takes up what the first left.
  const int target = ScaleForDpi(combo.comboClosed96, form.dpi);
  for (int step = 0; step < 3; ++step) {
    const int lacking = target - closedHeight();
    const LRESULT field = ::SendMessageW(combo.window, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    if (lacking == 0 || field <= 0 || field + lacking <= 0) break;
    ::SendMessageW(combo.window, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field + lacking);
  }
}

void Win32Forms::ScaleTrackBarThumb(const Form& form, Control& bar) const {
  const LONG style = ::GetWindowLongW(bar.window, GWL_STYLE);
  if (form.dpi == kBaseDpi && !(style & TBS_FIXEDLENGTH)) return;
  ::SetWindowLongW(bar.window, GWL_STYLE, style | TBS_FIXEDLENGTH);
  ::SendMessageW(bar.window, TBM_SETTHUMBLENGTH, static_cast<WPARAM>(ScaleForDpi(kTrackBarThumb, form.dpi)), 0);
}

Point Win32Forms::PageBodyAt96(Form& form, Control& pages) {
  const UniqueFont logicalFont = FontAt96(form, pages);
  const Rect logical = pages.design.bounds;
  ::SendMessageW(pages.window, TCM_SETITEMSIZE, 0, MAKELPARAM(0, 0));  // the row's own height for that font
  ::SendMessageW(pages.window, WM_SETFONT, reinterpret_cast<WPARAM>(logicalFont.Get()), FALSE);
  RECT tab{};
  const bool measured = ::SendMessageW(pages.window, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tab)) != FALSE;
  RECT body{0, 0, logical.width, logical.height};
  ::SendMessageW(pages.window, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&body));
  ::SendMessageW(pages.window, WM_SETFONT, reinterpret_cast<WPARAM>(pages.font), FALSE);
  if (measured && form.dpi != kBaseDpi)
    ::SendMessageW(pages.window, TCM_SETITEMSIZE, 0,
                   MAKELPARAM(0, ScaleForDpi(static_cast<int>(tab.bottom - tab.top), form.dpi)));
  return {logical.left + static_cast<int>(body.left), logical.top + static_cast<int>(body.top)};
}

void Win32Forms::LayOut(Form& form) {
  // New fonts first; the old ones go once no control uses them.
  std::vector<UniqueFont> old = std::move(form.fonts);
  form.fonts.clear();
  HFONT formFont = MakeFont(form, {form.design.fontFace, form.design.fontPoints, 0, false, false});
  for (Control& c : form.controls) {
    if (!c.window) continue;
    c.font = c.design.font ? MakeFont(form, *c.design.font) : formFont;
    if (c.design.kind == ControlKind::LinkLabel) {
      ControlFont hover = c.design.font.value_or(ControlFont{});
      hover.underline = c.design.hoverUnderline || hover.underline;
      c.hoverFont = MakeFont(form, hover);
    }
    const HFONT shown = c.hovered && c.hoverFont ? c.hoverFont : c.font;
    ::SendMessageW(c.window, WM_SETFONT, reinterpret_cast<WPARAM>(shown), FALSE);
  }

  // The page control first: where its body starts is where the controls of
  // the pages start.
  Point pageOrigin{0, 0};
  auto place = [&](Control& c) {
    Rect r = ControlPlace(form.design, c.design, pageOrigin, form.dpi);
    if ((c.design.kind == ControlKind::Label || c.design.kind == ControlKind::LinkLabel) &&
        c.design.bounds.width <= 0) {
      const Size s = TextSize(c.window, c.hovered && c.hoverFont ? c.hoverFont : c.font, WindowText(c.window));
      r.width = s.width;
      r.height = s.height;
    }
    ::SetWindowPos(c.window, nullptr, r.left, r.top, r.width, r.height,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    if (c.design.kind == ControlKind::ComboBox) ScaleComboHeight(form, c);
    if (c.design.kind == ControlKind::TrackBar) ScaleTrackBarThumb(form, c);
  };
  for (Control& c : form.controls) {
    if (!c.window || c.design.kind != ControlKind::PageControl) continue;
    pageOrigin = PageBodyAt96(form, c);
    place(c);
  }
  for (Control& c : form.controls)
    if (c.window && c.design.kind != ControlKind::PageControl) place(c);
  ::InvalidateRect(form.window.Get(), nullptr, TRUE);
}

void Win32Forms::ChangeDpi(Form& form, int dpi, const RECT* suggested) {
  HWND hwnd = form.window.Get();
  if (dpi <= 0 || dpi == form.dpi || !hwnd) return;
  form.dpi = dpi;
  const DWORD style = static_cast<DWORD>(::GetWindowLongW(hwnd, GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(::GetWindowLongW(hwnd, GWL_EXSTYLE));
  // The system's suggestion scales the whole frame; the client area must be
  // the design's size exactly, so only its top-left is taken.
  const Size frame = FrameForClient(form.design.clientSize, style, exStyle, dpi);
  RECT now{};
  ::GetWindowRect(hwnd, &now);
  const POINT at = suggested ? POINT{suggested->left, suggested->top} : POINT{now.left, now.top};
  ::SetWindowPos(hwnd, nullptr, at.x, at.y, frame.width, frame.height, SWP_NOZORDER | SWP_NOACTIVATE);
  FitClientArea(form);
  LayOut(form);
}

// The frame the system draws may not be the one computed for the DPI (a
// caption drawn at the system's DPI, a window manager's frame): the window
// is grown or shrunk by the difference until its client area is the design's.
void Win32Forms::FitClientArea(Form& form) {
  HWND hwnd = form.window.Get();
  const Rect want = ScaleEdges({0, 0, form.design.clientSize.width, form.design.clientSize.height}, form.dpi);
  RECT client{}, frame{};
  if (!::GetClientRect(hwnd, &client) || !::GetWindowRect(hwnd, &frame)) return;
  const int dx = want.width - static_cast<int>(client.right - client.left);
  const int dy = want.height - static_cast<int>(client.bottom - client.top);
  if (dx == 0 && dy == 0) return;
  ::SetWindowPos(hwnd, nullptr, 0, 0, static_cast<int>(frame.right - frame.left) + dx,
                 static_cast<int>(frame.bottom - frame.top) + dy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
}

void Win32Forms::DrawPicture(Control& c, int dpi, const DRAWITEMSTRUCT& item) const {
  const RECT area = item.rcItem;
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  const int boxW = area.right - area.left;
  const int boxH = area.bottom - area.top;
  if (boxW <= 0 || boxH <= 0) return;
  // The picture is scaled and laid over the dialog's colour here, and the
  // result copied opaque: no alpha blending left to the display driver.
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(boxW) * static_cast<std::size_t>(boxH),
                                    0xFF000000u | (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face));
  if (!c.picture.Empty()) {
    const Size size = FittedPicture({c.picture.width, c.picture.height}, {boxW, boxH}, dpi);
    if (c.fitted.width != size.width || c.fitted.height != size.height)
      c.fitted = size.width == c.picture.width && size.height == c.picture.height
                     ? c.picture
                     : Resample(c.picture, size.width, size.height);
    const int left = (boxW - c.fitted.width) / 2;
    const int top = (boxH - c.fitted.height) / 2;
    for (int y = 0; y < c.fitted.height; ++y) {
      for (int x = 0; x < c.fitted.width; ++x) {
        const std::uint32_t p = c.fitted.At(x, y);
        const std::uint32_t a = AlphaOf(p);
        // Premultiplied over the background: c + bg * (255 - a) / 255.
        const std::uint32_t b = BlueOf(p) + GetBValue(face) * (255 - a) / 255;
        const std::uint32_t g = GreenOf(p) + GetGValue(face) * (255 - a) / 255;
        const std::uint32_t r = RedOf(p) + GetRValue(face) * (255 - a) / 255;
        pixels[static_cast<std::size_t>(top + y) * static_cast<std::size_t>(boxW) +
               static_cast<std::size_t>(left + x)] =
            0xFF000000u | (std::min(r, 255u) << 16) | (std::min(g, 255u) << 8) | std::min(b, 255u);
      }
    }
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = boxW;
  info.bmiHeader.biHeight = -boxH;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  ::SetDIBitsToDevice(item.hDC, area.left, area.top, static_cast<DWORD>(boxW), static_cast<DWORD>(boxH), 0, 0, 0,
                      static_cast<UINT>(boxH), pixels.data(), &info, DIB_RGB_COLORS);
}

}  // namespace qv::win32
