#pragma once

// Owners for the window system's handles. Each kind gets its own type so a
// bitmap can never be handed to DestroyIcon; all of them are move-only, so a
// handle has exactly one owner and is closed exactly once.

#include <utility>

#include "platform/win32/Win32Api.h"

namespace qv::win32 {

template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() noexcept = default;
  explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
  ~UniqueHandle() { Reset(); }

  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  Handle Get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != Traits::Invalid(); }

  // Gives up ownership without closing: for handles that something else has
  // already destroyed (a window destroyed along with its owner).
  Handle Release() noexcept { return std::exchange(handle_, Traits::Invalid()); }

  void Reset(Handle handle = Traits::Invalid()) noexcept {
    Handle old = std::exchange(handle_, handle);
    if (old != Traits::Invalid()) Traits::Close(old);
  }

 private:
  Handle handle_ = Traits::Invalid();
};

namespace traits {

template <typename H, auto CloseFn>
struct Nullable {
  using Handle = H;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { CloseFn(h); }
};

struct File {
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) noexcept { ::CloseHandle(h); }
};

struct FindHandle {
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) noexcept { ::FindClose(h); }
};

template <typename Gdi>
struct GdiObject {
  using Handle = Gdi;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { ::DeleteObject(h); }
};

inline void DestroyWindowQuietly(HWND h) noexcept { ::DestroyWindow(h); }
inline void DeleteDcQuietly(HDC h) noexcept { ::DeleteDC(h); }
inline void DestroyIconQuietly(HICON h) noexcept { ::DestroyIcon(h); }
inline void CloseHandleQuietly(HANDLE h) noexcept { ::CloseHandle(h); }
inline void CloseKeyQuietly(HKEY h) noexcept { ::RegCloseKey(h); }
inline void FinishDrop(HDROP h) noexcept { ::DragFinish(h); }
inline void UnmapViewQuietly(const void* h) noexcept { ::UnmapViewOfFile(h); }
inline void CoTaskMemFreeQuietly(void* h) noexcept { ::CoTaskMemFree(h); }
inline void DestroyMenuQuietly(HMENU h) noexcept { ::DestroyMenu(h); }

// A COM interface pointer holds one reference, given back once.
template <typename Interface>
struct ComReference {
  using Handle = Interface*;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { h->Release(); }
};

}  // namespace traits

using UniqueWindow = UniqueHandle<traits::Nullable<HWND, traits::DestroyWindowQuietly>>;
using UniqueMemoryDc = UniqueHandle<traits::Nullable<HDC, traits::DeleteDcQuietly>>;
using UniqueIcon = UniqueHandle<traits::Nullable<HICON, traits::DestroyIconQuietly>>;
using UniqueMutex = UniqueHandle<traits::Nullable<HANDLE, traits::CloseHandleQuietly>>;
using UniqueRegKey = UniqueHandle<traits::Nullable<HKEY, traits::CloseKeyQuietly>>;
using UniqueDrop = UniqueHandle<traits::Nullable<HDROP, traits::FinishDrop>>;
using UniqueFileMapping = UniqueHandle<traits::Nullable<HANDLE, traits::CloseHandleQuietly>>;
// A menu destroys the submenus attached to it; a submenu is released once attached.
using UniqueMenu = UniqueHandle<traits::Nullable<HMENU, traits::DestroyMenuQuietly>>;
using UniqueMappedView = UniqueHandle<traits::Nullable<const void*, traits::UnmapViewQuietly>>;
template <typename Interface>
using ComPtr = UniqueHandle<traits::ComReference<Interface>>;
// Memory a COM method allocated for the caller (an item ID list).
template <typename Block>
using UniqueCoTaskMemory = UniqueHandle<traits::Nullable<Block*, traits::CoTaskMemFreeQuietly>>;
using UniqueFile = UniqueHandle<traits::File>;
using UniqueFind = UniqueHandle<traits::FindHandle>;
using UniqueBitmap = UniqueHandle<traits::GdiObject<HBITMAP>>;
using UniqueFont = UniqueHandle<traits::GdiObject<HFONT>>;
using UniqueBrush = UniqueHandle<traits::GdiObject<HBRUSH>>;

// A device context from GetDC: released to the window it came from
// (the whole screen when the window is null).
class WindowDc {
 public:
  explicit WindowDc(HWND window = nullptr) noexcept : window_(window), dc_(::GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  WindowDc(WindowDc&& other) noexcept
      : window_(std::exchange(other.window_, nullptr)), dc_(std::exchange(other.dc_, nullptr)) {}
  WindowDc& operator=(WindowDc&&) = delete;
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;

  HDC Get() const noexcept { return dc_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// Puts an object into a device context for the length of a scope and puts the
// previous one back, so the object can be deleted afterwards.
class SelectionGuard {
 public:
  SelectionGuard(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(::SelectObject(dc, object)) {}
  ~SelectionGuard() {
    if (previous_ && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
  }
  SelectionGuard(const SelectionGuard&) = delete;
  SelectionGuard& operator=(const SelectionGuard&) = delete;

  bool Selected() const noexcept { return previous_ && previous_ != HGDI_ERROR; }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace qv::win32
