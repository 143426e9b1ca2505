// Showing a premultiplied surface as the whole picture of a layered window.

#include <algorithm>
#include <cstring>

#include "platform/win32/StartupTrace.h"
#include "platform/win32/Win32Windows.h"

namespace qv::win32 {

bool LayeredCanvas::Reserve(int width, int height) {
  if (width <= 0 || height <= 0) return false;
  if (bitmap_ && width <= width_ && height <= height_) return true;
  if (!dc_) dc_.Reset(::CreateCompatibleDC(nullptr));
  if (!dc_) return false;
  int newWidth = std::max(width, width_);
  int newHeight = std::max(height, height_);
  // A section that holds both a wide picture and a tall one (the dock's bar
  // and the ring's skin) is mostly memory neither uses: past twice the
  // larger of the two, the new picture's own size is taken.
  const auto area = [](long long w, long long h) { return w * h; };
  if (area(newWidth, newHeight) > 2 * std::max(area(width, height), area(width_, height_))) {
    newWidth = width;
    newHeight = height;
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = newWidth;
  info.bmiHeader.biHeight = -newHeight;  // top row first, as in LayeredSurface
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return false;
  // GDI may still be reading the old section from the last push.
  ::GdiFlush();
  const HGDIOBJ previous = ::SelectObject(dc_.Get(), bitmap.Get());
  if (!previous) return false;
  if (!original_) original_ = previous;
  bitmap_ = std::move(bitmap);  // the old section, no longer selected, goes
  bits_ = static_cast<std::uint32_t*>(bits);
  width_ = newWidth;
  height_ = newHeight;
  return true;
}

void LayeredCanvas::Release() {
  // GDI may still be reading the section from the last push.
  ::GdiFlush();
  if (dc_ && original_) ::SelectObject(dc_.Get(), original_);
  original_ = nullptr;
  bitmap_.Reset();
  dc_.Reset();
  bits_ = nullptr;
  width_ = 0;
  height_ = 0;
}

void LayeredCanvas::CopyFrom(const LayeredSurface& surface) {
  // GDI may still be reading the section from an earlier push.
  ::GdiFlush();
  const std::size_t rowBytes = static_cast<std::size_t>(surface.width) * sizeof(std::uint32_t);
  for (int y = 0; y < surface.height; ++y) {
    std::memcpy(bits_ + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_),
                surface.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(surface.width),
                rowBytes);
  }
}

void Win32Windows::PushLayered(WindowId id, const LayeredSurface& surface, std::uint8_t alpha) {
  WindowRecord* record = Find(id);
  HWND hwnd = record ? record->window.Get() : nullptr;
  if (!hwnd || surface.Empty()) return;
  if (!surface.Whole()) return;
  TracePhase("push");
  if (!canvas_.Reserve(surface.width, surface.height)) return;
  canvas_.CopyFrom(surface);

  const LONG_PTR exStyle = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  if (!(exStyle & WS_EX_LAYERED)) ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);

  // No screen DC and no position: the window stays where it is, and the
  // system's own screen is what it is drawn on.
  SIZE size{surface.width, surface.height};
  POINT source{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
  if (!::UpdateLayeredWindow(hwnd, nullptr, nullptr, &size, canvas_.Dc(), &source, 0, &blend, ULW_ALPHA)) {
    // A window given a constant alpha with SetLayeredWindowAttributes (the
    // main form) refuses per-pixel pictures until its layered style is set
    // afresh.
    ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    if (!::UpdateLayeredWindow(hwnd, nullptr, nullptr, &size, canvas_.Dc(), &source, 0, &blend, ULW_ALPHA)) return;
  }
  record->pictured = true;
  if (record->showOnPicture) {
    record->showOnPicture = false;
    ShowOnTop(hwnd);
  }
}

}  // namespace qv::win32
