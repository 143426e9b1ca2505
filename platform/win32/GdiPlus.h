#pragma once

// GDI+ as the backend includes it, and our surfaces seen as GDI+ bitmaps.

#include <algorithm>
#include <cstdint>

#include "platform/Surface.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Api.h"

// GDI+'s headers expect min and max as the Windows headers define them.
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

namespace qv::win32 {

namespace traits {

// Objects of GDI+'s flat interface, each freed by its own function.
template <typename Object, auto DeleteFn>
struct GdiPlusObject {
  using Handle = Object*;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { DeleteFn(h); }
};

}  // namespace traits

using UniqueGpBitmap = UniqueHandle<traits::GdiPlusObject<Gdiplus::GpBitmap, Gdiplus::DllExports::GdipDisposeImage>>;
using UniqueGpGraphics =
    UniqueHandle<traits::GdiPlusObject<Gdiplus::GpGraphics, Gdiplus::DllExports::GdipDeleteGraphics>>;
using UniqueGpFont = UniqueHandle<traits::GdiPlusObject<Gdiplus::GpFont, Gdiplus::DllExports::GdipDeleteFont>>;
using UniqueGpFontFamily =
    UniqueHandle<traits::GdiPlusObject<Gdiplus::GpFontFamily, Gdiplus::DllExports::GdipDeleteFontFamily>>;
using UniqueGpStringFormat =
    UniqueHandle<traits::GdiPlusObject<Gdiplus::GpStringFormat, Gdiplus::DllExports::GdipDeleteStringFormat>>;
using UniqueGpBrush = UniqueHandle<traits::GdiPlusObject<Gdiplus::GpBrush, Gdiplus::DllExports::GdipDeleteBrush>>;

// Surfaces are premultiplied BGRA rows without padding: exactly GDI+'s PARGB
// layout, so GDI+ works on the pixels in place.
inline Gdiplus::Bitmap WrapSurface(const LayeredSurface& surface) {
  // GDI+ takes a non-const pointer even for a picture it only reads.
  auto* scan0 = reinterpret_cast<BYTE*>(const_cast<std::uint32_t*>(surface.pixels.data()));
  return Gdiplus::Bitmap(surface.width, surface.height, surface.width * 4, PixelFormat32bppPARGB, scan0);
}

// A surface whose pixels are all there: anything else is not handed to GDI+.
inline bool WholeSurface(const LayeredSurface& surface) { return surface.Whole(); }

}  // namespace qv::win32
