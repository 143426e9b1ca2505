// floor: the least a program that shows per-pixel-alpha windows can do
// before it is ready, to measure Quorvel's start-up and memory against
// (e2e/startup_floor.py). It registers one class, shows a layered main
// window and one 300 x 300 per-pixel-alpha window, and marks the main window
// ready the way Quorvel does, so that wintool's launch-and-wait-ready times
// both alike. No GDI+, no files, no tray icon: pure user32 and gdi32.
// WM_CLOSE on the main window ends it.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <type_traits>

#include "WindowQueries.h"

using namespace qvtool;

namespace {

constexpr int kMainWidth = 194;  // the size of Quorvel's main form
constexpr int kMainHeight = 168;
constexpr int kSkinSize = 300;

struct DcRelease {
  void operator()(HDC dc) const { ::DeleteDC(dc); }
};
struct ObjectRelease {
  void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcRelease>;
using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, ObjectRelease>;

// Hands a premultiplied BGRA picture to a layered window; paint(pixels) fills it.
template <typename Paint>
bool PushLayered(HWND hwnd, int width, int height, Paint paint) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  Bitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  MemoryDc dc(::CreateCompatibleDC(nullptr));
  if (!bitmap || !dc) return false;
  paint(static_cast<std::uint32_t*>(bits));
  HGDIOBJ old = ::SelectObject(dc.get(), bitmap.get());
  SIZE size{width, height};
  POINT origin{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  const BOOL pushed = ::UpdateLayeredWindow(hwnd, nullptr, nullptr, &size, dc.get(), &origin, 0, &blend, ULW_ALPHA);
  ::SelectObject(dc.get(), old);
  return pushed != FALSE;
}

// A disc fading out toward its edge: every alpha from 0 to 255 occurs.
void PaintDisc(std::uint32_t* pixels) {
  const int centre = kSkinSize / 2;
  for (int y = 0; y < kSkinSize; ++y) {
    for (int x = 0; x < kSkinSize; ++x) {
      const int dx = x - centre, dy = y - centre;
      const int distanceSquared = dx * dx + dy * dy;
      const int limit = centre * centre;
      const std::uint32_t alpha = distanceSquared >= limit ? 0 : 255 - 255 * distanceSquared / limit;
      const std::uint32_t grey = alpha * 0x80 / 255;  // premultiplied
      pixels[y * kSkinSize + x] = alpha << 24 | grey << 16 | grey << 8 | grey;
    }
  }
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      ::DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      ::RemovePropW(hwnd, kReadyProperty);
      if (!::GetWindow(hwnd, GW_OWNER)) ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = MainProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kMainClass;
  if (!::RegisterClassExW(&windowClass)) return 1;

  HWND main = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, kMainClass, kMainTitle, WS_POPUP, 600, 230,
                                kMainWidth, kMainHeight, nullptr, nullptr, instance, nullptr);
  if (!main) return 2;
  // The skin window is owned by the main window, as Quorvel's are.
  HWND skin = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, kMainClass, L"BackGroundForm", WS_POPUP, 547, 164,
                                kSkinSize, kSkinSize, main, nullptr, instance, nullptr);
  if (!skin) return 3;
  if (!PushLayered(main, kMainWidth, kMainHeight,
                   [](std::uint32_t* p) { std::fill_n(p, kMainWidth * kMainHeight, 0u); }))
    return 4;
  if (!PushLayered(skin, kSkinSize, kSkinSize, PaintDisc)) return 5;
  ::ShowWindow(main, SW_SHOWNOACTIVATE);
  ::ShowWindow(skin, SW_SHOWNOACTIVATE);
  ::SetPropW(main, kReadyProperty, reinterpret_cast<HANDLE>(1));

  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return 0;
}
