// floor: the least a program that shows per-pixel-alpha windows can do
// before it is ready, to measure Quorvel's start-up and memory against
// (bench/startup/startup_floor.py). It registers one class, shows a layered main
// window and one 300 x 300 per-pixel-alpha window, and marks the main window
// ready the way Quorvel does, so that wintool's launch-and-wait-ready times
// both alike. No GDI+, no files, no tray icon: pure user32 and gdi32.
// WM_CLOSE on the main window ends it.
//
// With "--windows N" it also shows N more 50 x 50 per-pixel-alpha windows
// that accept dropped files (Quorvel's item, dock and label windows), and
// with "--tray" a notification icon: the same floor for a program with
// Quorvel's windows, to tell the window system's share of a start from the
// program's own.

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>
#include <memory>
#include <type_traits>

#include "WindowQueries.h"

// After <windows.h>.
#include <shellapi.h>

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
void PaintDisc(std::uint32_t* pixels, int side) {
  const int centre = side / 2;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      const int dx = x - centre, dy = y - centre;
      const int distanceSquared = dx * dx + dy * dy;
      const int limit = centre * centre;
      const std::uint32_t alpha = distanceSquared >= limit ? 0 : 255 - 255 * distanceSquared / limit;
      const std::uint32_t grey = alpha * 0x80 / 255;  // premultiplied
      pixels[y * side + x] = alpha << 24 | grey << 16 | grey << 8 | grey;
    }
  }
}

constexpr int kItemSize = 50;
constexpr const wchar_t* kItemClass = L"FloorItem";
constexpr UINT kTrayId = 1;

struct Options {
  int windows = 0;
  bool tray = false;
};

// The options as words of the command line (no quoting needed for them).
// Parsed by hand: the shell's parser would load shell32 for every floor.
Options ParseOptions() {
  Options options;
  std::wstring line = ::GetCommandLineW();
  std::vector<std::wstring> words;
  std::size_t at = 0;
  while (at < line.size()) {
    const std::size_t start = line.find_first_not_of(L' ', at);
    if (start == std::wstring::npos) break;
    const std::size_t end = line.find(L' ', start);
    words.push_back(line.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
    at = end == std::wstring::npos ? line.size() : end;
  }
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (words[i] == L"--tray") options.tray = true;
    if (words[i] == L"--windows" && i + 1 < words.size())
      options.windows = std::clamp(_wtoi(words[++i].c_str()), 0, 1000);
  }
  return options;
}

// Quorvel's item windows: in rows below the skin, each pushed and shown.
bool ShowItemWindows(HWND main, HINSTANCE instance, int count) {
  for (int i = 0; i < count; ++i) {
    const int x = 40 + (i % 20) * (kItemSize + 4), y = 480 + (i / 20) * (kItemSize + 4);
    HWND item = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_ACCEPTFILES, kItemClass, L"Item", WS_POPUP,
                                  x, y, kItemSize, kItemSize, main, nullptr, instance, nullptr);
    if (!item || !PushLayered(item, kItemSize, kItemSize, [](std::uint32_t* p) { PaintDisc(p, kItemSize); }))
      return false;
    ::ShowWindow(item, SW_SHOWNOACTIVATE);
  }
  return true;
}

// The shell is loaded only for the tray icon, as a plain floor does without.
using NotifyIconFn = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAW);

NotifyIconFn NotifyIcon() {
  HMODULE shell = ::LoadLibraryW(L"shell32.dll");
  return shell ? reinterpret_cast<NotifyIconFn>(reinterpret_cast<void*>(::GetProcAddress(shell, "Shell_NotifyIconW")))
               : nullptr;
}

bool TrayIcon(HWND main, DWORD message) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = main;
  data.uID = kTrayId;
  data.uFlags = NIF_ICON | NIF_TIP;
  data.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
  std::wcscpy(data.szTip, L"floor");
  const NotifyIconFn notify = NotifyIcon();
  return notify && notify(message, &data) != FALSE;
}

bool trayShown = false;

LRESULT CALLBACK MainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      ::DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      ::RemovePropW(hwnd, kReadyProperty);
      if (trayShown && !::GetWindow(hwnd, GW_OWNER)) TrayIcon(hwnd, NIM_DELETE);
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
  windowClass.lpfnWndProc = ::DefWindowProcW;
  windowClass.lpszClassName = kItemClass;
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
  if (!PushLayered(skin, kSkinSize, kSkinSize, [](std::uint32_t* p) { PaintDisc(p, kSkinSize); })) return 5;
  ::ShowWindow(main, SW_SHOWNOACTIVATE);
  ::ShowWindow(skin, SW_SHOWNOACTIVATE);
  const Options options = ParseOptions();
  if (options.tray) {
    trayShown = TrayIcon(main, NIM_ADD);
    if (!trayShown) return 6;
  }
  if (!ShowItemWindows(main, instance, options.windows)) return 7;
  ::SetPropW(main, kReadyProperty, reinterpret_cast<HANDLE>(1));

  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return 0;
}
